#include "CommonDialogs.h"

#include "Window.h"

#include <commdlg.h>

#include <cstring>
#include <string>

FileDialog::FileDialog(WindowCL* owner, const char* title, const char* initialName, const char* const* filters,
                       bool save)
    : ok(0)
{
    FileDialogStart start = fileDialogStart(initialName, filters, save);
    memset(path, 0, sizeof path);
    strncpy(path, start.path.c_str(), kFileDialogPathMax);
    std::string filter = flattenFileFilter(filters);

    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner ? owner->hwnd : nullptr;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.nMaxFileTitle = sizeof path;
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_HIDEREADONLY;
    dialog.lpstrDefExt = start.extension.empty() ? nullptr : start.extension.c_str();
    char before[sizeof path];
    memcpy(before, path, sizeof path);
    ok = (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != 0;
    if (!ok)
        memcpy(path, before, sizeof path);
    path[kFileDialogPathMax] = 0;
}

COLORREF* ColorChooser::customColors()
{
    static COLORREF table[16];
    static bool initialised = false;
    if (!initialised) {
        for (COLORREF& c : table)
            c = RGB(255, 255, 255);
        initialised = true;
    }
    return table;
}

ColorChooser::ColorChooser(WindowCL* owner, const Color& initial) : ok(0), color(initial)
{
    CHOOSECOLORA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner ? owner->hwnd : nullptr;
    dialog.rgbResult = RGB(initial.red, initial.green, initial.blue);
    dialog.lpCustColors = customColors();
    dialog.Flags = CC_RGBINIT;
    ok = ChooseColorA(&dialog) != 0;
    if (ok)
        color = Color(GetRValue(dialog.rgbResult), GetGValue(dialog.rgbResult), GetBValue(dialog.rgbResult), 0);
}

FontChooser::FontChooser(WindowCL* owner, const Color& initial, const FontDescription* start) : ok(0), color(initial)
{
    memset(&description, 0, sizeof description);
    if (start)
        description = *start;
    CHOOSEFONTA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner ? owner->hwnd : nullptr;
    dialog.lpLogFont = &description.logFont;
    dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | (start ? CF_INITTOLOGFONTSTRUCT : 0);
    dialog.rgbColors = colorRefOf(initial);
    ok = ChooseFontA(&dialog) != 0;
    if (ok) {
        color = Color(GetRValue(dialog.rgbColors), GetGValue(dialog.rgbColors), GetBValue(dialog.rgbColors), 0);
        description.pointSize = dialog.iPointSize;
    }
}
