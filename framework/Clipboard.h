// The Windows clipboard: text, bitmaps, metafile pictures and formats
// registered by name. Every put or get opens the clipboard for the owner
// window and closes it again; when it does not open the operation does
// nothing and answers 0 (or null).
#ifndef KYT_FRAMEWORK_CLIPBOARD_H
#define KYT_FRAMEWORK_CLIPBOARD_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

class Bitmap;
class MetafileDC;
class String;
class WindowCL;

// A clipboard format: a standard one (ids 1 to 9, kind = id) or any other,
// registered by name (kind 10). Also the format of DDE transactions.
class ClipboardFormat {
public:
    enum { KIND_REGISTERED = 10 };
    explicit ClipboardFormat(UINT id);
    // RegisterClipboardFormat.
    explicit ClipboardFormat(const char* name);
    explicit ClipboardFormat(const String& name);

    UINT id() const { return formatId; }
    int kind() const { return formatKind; }
    bool isFormat(const ClipboardFormat& other) const { return formatId == other.formatId; }
    // For registered formats: the format's name equals name byte for byte.
    bool hasName(const char* name) const;

private:
    void setId(UINT id);
    int formatKind;
    UINT formatId;
};

class Clipboard {
public:
    explicit Clipboard(WindowCL* owner);
    explicit Clipboard(HWND owner) : ownerHandle(owner), opened(FALSE) {}

    int empty();
    // The text with its terminator as CF_TEXT.
    int putText(const char* text);
    // length bytes and one zero byte in the format.
    int putData(const void* bytes, size_t length, const ClipboardFormat& format);
    // A copy of the bitmap as CF_BITMAP. The clipboard call owns bitmap on
    // every path: it is deleted whether or not the clipboard opens.
    int putBitmap(Bitmap* bitmap);
    // The closed recording of the context as CF_METAFILEPICT.
    int putMetafile(MetafileDC& metafile);

    bool hasText() const;
    bool hasBitmap() const;
    bool hasFormat(const ClipboardFormat& format) const;

    // A copy of the clipboard's text, always terminated and never longer
    // than the clipboard's block (foreign text may lack its terminator);
    // the caller frees it with delete[]. Null without text.
    char* getText();
    // A copy of the clipboard's bitmap, owned by the caller; 0 without one.
    HBITMAP getBitmap();
    // A copy of the data (delete[]) and its size; null and 0 without it.
    uint8_t* getData(const ClipboardFormat& format, size_t* size);

    BOOL lastOpen() const { return opened; }

private:
    bool open();
    HWND ownerHandle;
    BOOL opened;
};

#endif
