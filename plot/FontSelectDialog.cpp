#include "FontSelectDialog.h"

#include "Control.h"
#include "DeviceContext.h"
#include "FormattedEdit.h"
#include "PlotFrameParts.h"
#include "PlotPane.h"
#include "ResourceId.h"

#include <windows.h>

#include <set>
#include <string>

namespace {

// Two digits: the size in 0.1 mm.
const char* const kSizeMask = "##";

} // namespace

FontSelectDialog::FontSelectDialog(WindowCL* parentWindow, PlotPane* pane, PlotFrameHost* frameHost)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(kTemplate))), face(pane->model.fontFace),
      size(pane->model.fontSize), faces(nullptr), host(frameHost)
{
    new IntFieldCL(this, kSizeField, &size, kSizeMask, 0);
    faces = new ComboBoxCL(this, kFaceList);
    fillFaces(pane);
    loadAll();
}

void FontSelectDialog::fillFaces(PlotPane* pane)
{
    DeviceCaps caps(*pane->ownContext());
    FontList* list = caps.enumFonts(nullptr);
    std::set<std::string> names;
    for (FontInfo* info : *list)
        names.insert(info->faceName());
    DeviceCaps::freeFontList(list);
    // The pane's face may be one that the system maps to another (wine
    // enumerates no "MS Sans Serif"): it stays in the list, so that the
    // dialog shows it and OK keeps it.
    if (face.text() && face.text()[0])
        names.insert(face.text());
    for (const std::string& name : names)
        faces->addString(name.c_str());
    if (faces->isWindow()) {
        LRESULT at = SendMessageA(faces->hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(face.text()));
        if (at != CB_ERR)
            faces->setCurSel(static_cast<int>(at));
    }
}

String FontSelectDialog::chosenFace() const
{
    if (!faces || !faces->isWindow())
        return face;
    int at = faces->getCurSel();
    if (at < 0)
        return face;
    char text[LF_FACESIZE + 1] = "";
    SendMessageA(faces->hwnd, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
    return String(text);
}

LRESULT FontSelectDialog::onCommand(EventRecord* event)
{
    if (LOWORD(event->wParam) == kHelpButton && HIWORD(event->wParam) == BN_CLICKED) {
        if (host)
            host->showHelp("IDH_HELP_FontSelDlg");
        return 0;
    }
    return FieldDialogCL::onCommand(event);
}
