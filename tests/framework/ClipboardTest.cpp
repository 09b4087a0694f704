// Under wine: the clipboard carries text, bitmaps, metafile pictures and
// registered formats, with the faults of foreign data (text without its
// terminator) caught.
#include "Application.h"
#include "Bitmap.h"
#include "Clipboard.h"
#include "DeviceContext.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstring>
#include <string>

using winecheck::check;

namespace {

int gBitmapsDeleted = 0;

class CountedBitmap : public Bitmap {
public:
    explicit CountedBitmap(HBITMAP h) : Bitmap(h) {}
    ~CountedBitmap() override { ++gBitmapsDeleted; }
};

// A white 40 × 30 display bitmap with one red pixel at (5, 7).
HBITMAP makeMarkedBitmap()
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, 40, 30, WHITENESS);
    SetPixel(memory, 5, 7, RGB(255, 0, 0));
    SelectObject(memory, old);
    DeleteDC(memory);
    return bitmap;
}

void text(Clipboard& clipboard)
{
    // "Größe: 5 µm, Maß äöü" in the ANSI code page.
    const char umlauts[] = "Gr\xF6\xDF" "e: 5 \xB5m, Ma\xDF \xE4\xF6\xFC";
    check(clipboard.empty() == 1, "the clipboard empties");
    check(clipboard.getText() == nullptr, "an empty clipboard gives no text");
    check(!clipboard.hasText(), "an empty clipboard has no text");
    check(clipboard.putText(umlauts) == 1, "text is put");
    char* back = clipboard.getText();
    check(back && strcmp(back, umlauts) == 0, "umlaut text comes back byte for byte");
    delete[] back;

    // Foreign text of 16 'A' without a terminator.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
        memset(GlobalLock(block), 'A', 16);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
    }
    back = clipboard.getText();
    // Wine itself may give the block's last byte up for a terminator; the
    // copy never reads past the block.
    size_t length = back ? strlen(back) : 0;
    check(back && length >= 15 && length <= 16 && std::string(back) == std::string(length, 'A'),
          "text without a terminator comes back terminated, within its block");
    printf("foreign text: %zu bytes\n", back ? strlen(back) : 0);
    delete[] back;
}

DWORD WINAPI holdClipboard(LPVOID)
{
    OpenClipboard(nullptr);
    Sleep(1500);
    CloseClipboard();
    return 0;
}

void bitmaps(Clipboard& clipboard)
{
    clipboard.empty();
    gBitmapsDeleted = 0;
    check(clipboard.putBitmap(new CountedBitmap(makeMarkedBitmap())) == 1, "a bitmap is put");
    check(gBitmapsDeleted == 1, "the put bitmap is deleted by the call");
    check(clipboard.putBitmap(nullptr) == 0, "no bitmap puts nothing");
    check(clipboard.putText("danach") == 1, "text is put after the bitmap");
    check(clipboard.hasBitmap() && clipboard.hasText(), "text put after a bitmap keeps both");

    HBITMAP copy = clipboard.getBitmap();
    check(copy != nullptr, "the bitmap comes back");
    BITMAP info = {};
    GetObjectA(copy, sizeof info, &info);
    check(info.bmWidth == 40 && info.bmHeight == 30, "the copy is 40 x 30");
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, copy);
    check(GetPixel(memory, 5, 7) == RGB(255, 0, 0), "the red pixel stays at (5, 7)");
    check(GetPixel(memory, 6, 7) == RGB(255, 255, 255), "its neighbour stays white");
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(copy);
    char* back = clipboard.getText();
    check(back && strcmp(back, "danach") == 0, "the text is still there");
    delete[] back;

    // A clipboard held by another window does not open: the bitmap goes all
    // the same.
    HWND other = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DWORD held = 0;
    HANDLE thread = CreateThread(nullptr, 0, holdClipboard, nullptr, 0, &held);
    Sleep(300);
    gBitmapsDeleted = 0;
    Clipboard blocked(other);
    check(blocked.putBitmap(new CountedBitmap(makeMarkedBitmap())) == 0, "a clipboard held elsewhere takes nothing");
    check(gBitmapsDeleted == 1, "and the bitmap is deleted all the same");
    check(blocked.putText("x") == 0 && blocked.getText() == nullptr, "nor text");
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    DestroyWindow(other);
}

void formats(Clipboard& clipboard)
{
    ClipboardFormat text(CF_TEXT);
    check(text.kind() == 1 && text.id() == CF_TEXT, "a standard format is its own kind");
    ClipboardFormat wave(CF_WAVE);
    check(wave.kind() == 10, "a format above 9 is registered kind");
    ClipboardFormat own("KYT Testformat");
    ClipboardFormat again("KYT Testformat");
    check(own.kind() == 10 && own.id() >= 0xC000, "a name registers a format");
    check(own.isFormat(again) && !own.isFormat(text), "the same name is the same format");
    check(own.hasName("KYT Testformat") && !own.hasName("kyt testformat"), "names compare byte for byte");
    check(!text.hasName("CF_TEXT"), "a standard format has no name to compare");

    const unsigned char bytes[] = {1, 0, 2, 0xFF, 3};
    clipboard.empty();
    check(clipboard.putData(bytes, sizeof bytes, own) == 1, "data is put in the own format");
    check(clipboard.hasFormat(again), "the format is available");
    size_t size = 0;
    uint8_t* back = clipboard.getData(own, &size);
    check(back && size >= sizeof bytes + 1 && memcmp(back, bytes, sizeof bytes) == 0 && back[sizeof bytes] == 0,
          "the data comes back with its zero byte");
    delete[] back;
    ClipboardFormat absent("KYT Fehlt");
    back = clipboard.getData(absent, &size);
    check(back == nullptr && size == 0, "an absent format gives nothing");
}

void metafiles(Clipboard& clipboard, DeviceContext& screen)
{
    MetafileDC meta(&screen);
    meta.setBounds(Rect(0, 0, 200, 100));
    meta.attach();
    meta.rectangle(0, 0, 200, 100);
    meta.release();
    clipboard.empty();
    check(clipboard.putMetafile(meta) == 1, "a metafile picture is put");
    check(clipboard.hasFormat(ClipboardFormat(CF_METAFILEPICT)), "the clipboard holds a metafile picture");
    size_t size = 0;
    uint8_t* back = clipboard.getData(ClipboardFormat(CF_METAFILEPICT), &size);
    const METAFILEPICT* p = reinterpret_cast<const METAFILEPICT*>(back);
    check(p && size >= sizeof(METAFILEPICT) && p->mm == MM_ANISOTROPIC && p->xExt == 200 && p->yExt == 100,
          "the picture holds map mode and extents");
    delete[] back;
    clipboard.empty();
}

} // namespace

int main()
{
    winecheck::startWatchdog(60);
    Application* app = new Application(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
    HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    {
        Clipboard clipboard(owner);
        text(clipboard);
        bitmaps(clipboard);
        formats(clipboard);
        MemoryDC screen(static_cast<Bitmap*>(nullptr));
        metafiles(clipboard, screen);
    }
    DestroyWindow(owner);
    app->shutdown();
    delete app;
    return winecheck::summary();
}
