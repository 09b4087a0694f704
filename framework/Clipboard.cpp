#include "Clipboard.h"

#include "Bitmap.h"
#include "String.h"
#include "Window.h"

#include <cstring>
#include <memory>

namespace {

// A copy of the bitmap through two memory contexts, compatible with the
// display; 0 on failure.
HBITMAP copyBitmap(HBITMAP source)
{
    BITMAP info;
    if (!source || !GetObjectA(source, sizeof info, &info))
        return nullptr;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight);
    ReleaseDC(nullptr, screen);
    if (copy) {
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, copy);
        BOOL copied = BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        if (!copied) {
            DeleteObject(copy);
            copy = nullptr;
        }
    }
    DeleteDC(from);
    DeleteDC(to);
    return copy;
}

} // namespace

ClipboardFormat::ClipboardFormat(UINT id)
{
    setId(id);
}

ClipboardFormat::ClipboardFormat(const char* name)
{
    setId(name && *name ? RegisterClipboardFormatA(name) : 0);
    formatKind = KIND_REGISTERED;
}

ClipboardFormat::ClipboardFormat(const String& name) : ClipboardFormat(name.text())
{
}

void ClipboardFormat::setId(UINT id)
{
    formatId = id;
    formatKind = id >= 1 && id <= 9 ? static_cast<int>(id) : KIND_REGISTERED;
}

bool ClipboardFormat::hasName(const char* name) const
{
    if (formatKind != KIND_REGISTERED || !name)
        return false;
    char buffer[50];
    int length = GetClipboardFormatNameA(formatId, buffer, sizeof buffer);
    if (length <= 0)
        return false;
    return strcmp(buffer, name) == 0;
}

Clipboard::Clipboard(WindowCL* owner) : ownerHandle(owner ? owner->hwnd : nullptr), opened(FALSE)
{
}

bool Clipboard::open()
{
    opened = OpenClipboard(ownerHandle);
    return opened != FALSE;
}

int Clipboard::empty()
{
    if (!open())
        return 0;
    EmptyClipboard();
    CloseClipboard();
    return 1;
}

int Clipboard::putText(const char* text)
{
    if (!text)
        return 0;
    return putData(text, strlen(text), ClipboardFormat(CF_TEXT));
}

int Clipboard::putData(const void* bytes, size_t length, const ClipboardFormat& format)
{
    if (!bytes && length)
        return 0;
    if (!open())
        return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    int result = 0;
    if (block) {
        void* target = GlobalLock(block);
        if (target) {
            if (length)
                memcpy(target, bytes, length);
            GlobalUnlock(block);
            result = SetClipboardData(format.id(), block) != nullptr;
        }
        if (!result)
            GlobalFree(block);
    }
    CloseClipboard();
    return result;
}

int Clipboard::putBitmap(Bitmap* bitmap)
{
    std::unique_ptr<Bitmap> owned(bitmap);
    if (!bitmap || !bitmap->bitmap())
        return 0;
    if (!open())
        return 0;
    HBITMAP copy = copyBitmap(bitmap->bitmap());
    int result = copy && SetClipboardData(CF_BITMAP, copy) != nullptr;
    if (copy && !result)
        DeleteObject(copy);
    CloseClipboard();
    return result;
}

int Clipboard::putMetafile(MetafileDC& metafile)
{
    MetafilePicture picture = metafile.picture();
    if (!picture.metafile)
        return 0;
    if (!open())
        return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT) + 1);
    int result = 0;
    if (block) {
        METAFILEPICT* p = static_cast<METAFILEPICT*>(GlobalLock(block));
        if (p) {
            p->mm = picture.mapMode;
            p->xExt = picture.width;
            p->yExt = picture.height;
            // The clipboard gets a copy: the context's owner keeps its own.
            p->hMF = CopyMetaFileA(picture.metafile, nullptr);
            GlobalUnlock(block);
            result = p->hMF && SetClipboardData(CF_METAFILEPICT, block) != nullptr;
        }
        if (!result)
            GlobalFree(block);
    }
    CloseClipboard();
    return result;
}

bool Clipboard::hasText() const
{
    return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

bool Clipboard::hasBitmap() const
{
    return IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
}

bool Clipboard::hasFormat(const ClipboardFormat& format) const
{
    return format.id() && IsClipboardFormatAvailable(format.id()) != FALSE;
}

char* Clipboard::getText()
{
    if (!hasText() || !open())
        return nullptr;
    char* text = nullptr;
    HANDLE block = GetClipboardData(CF_TEXT);
    const char* source = block ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (source) {
        size_t size = GlobalSize(block);
        const void* end = memchr(source, 0, size);
        size_t length = end ? static_cast<const char*>(end) - source : size;
        text = new char[length + 1];
        memcpy(text, source, length);
        text[length] = 0;
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

HBITMAP Clipboard::getBitmap()
{
    if (!hasBitmap() || !open())
        return nullptr;
    HBITMAP copy = copyBitmap(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));
    CloseClipboard();
    return copy;
}

uint8_t* Clipboard::getData(const ClipboardFormat& format, size_t* size)
{
    if (size)
        *size = 0;
    if (!hasFormat(format) || !open())
        return nullptr;
    uint8_t* data = nullptr;
    HANDLE block = GetClipboardData(format.id());
    const void* source = block ? GlobalLock(block) : nullptr;
    if (source) {
        size_t length = GlobalSize(block);
        data = new uint8_t[length ? length : 1];
        memcpy(data, source, length);
        if (size)
            *size = length;
        GlobalUnlock(block);
    }
    CloseClipboard();
    return data;
}
