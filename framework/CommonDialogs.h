// The common file and colour dialogs, run modally with value results.
#ifndef KYT_FRAMEWORK_COMMONDIALOGS_H
#define KYT_FRAMEWORK_COMMONDIALOGS_H

#include "DeviceContext.h"
#include "PrintSetup.h"
#include "ValueTypes.h"

#include <windows.h>

class WindowCL;

// The file dialogs: filters is a null-terminated list of pairs (display
// text, pattern) or null. After the run, ok tells whether the user chose a
// file and path holds it; a cancelled dialog leaves the path as it started.
class FileDialog {
public:
    char path[kFileDialogPathMax + 1];
    int ok;

protected:
    FileDialog(WindowCL* owner, const char* title, const char* initialName, const char* const* filters, bool save);
};

class FileOpenDialog : public FileDialog {
public:
    FileOpenDialog(WindowCL* owner, const char* title, const char* initialName, const char* const* filters = nullptr)
        : FileDialog(owner, title, initialName, filters, false)
    {
    }
};

class FileSaveDialog : public FileDialog {
public:
    FileSaveDialog(WindowCL* owner, const char* title, const char* initialName, const char* const* filters = nullptr)
        : FileDialog(owner, title, initialName, filters, true)
    {
    }
};

// The colour dialog, starting at colour; its 16 custom colours are kept
// for the whole run (white at first).
class ColorChooser {
public:
    ColorChooser(WindowCL* owner, const Color& initial);
    int ok;
    Color color;
    // The table the dialogs share.
    static COLORREF* customColors();
};

// The font dialog for screen fonts with effects, starting at the
// description (none: an empty one) and the colour.
class FontChooser {
public:
    FontChooser(WindowCL* owner, const Color& initial, const FontDescription* start = nullptr);
    int ok;
    Color color;
    FontDescription description;
};

#endif
