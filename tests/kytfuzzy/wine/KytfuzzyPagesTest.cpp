// Under wine: a block on the editor pages. The variable page shows the
// current variable, the graphic draws its sets where the geometry puts them,
// the read-out follows the pointer, a dragged support point is written back
// snapped, a triangle's apex drags to the right, Tab commits a field and
// moves on, a refused range and a comment commit, the clipboard bitmap, a
// print into a recorded context, the frame grown back from too small a size
// and a variable whose range cannot be drawn.
//
//   kytfuzzy_pages_test PNG-PATH SCRATCH-FOLDER
#include "Application.h"
#include "CommandLine.h"
#include "ComPage.h"
#include "EditorDialogs.h"
#include "ErrorReporter.h"
#include "FsetPage.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyKernel.h"
#include "FuzzyModel.h"
#include "FuzzyOptions.h"
#include "Layout.h"
#include "LvarPage.h"
#include "MsfPage.h"
#include "ResString.h"
#include "RuleEditorWindow.h"
#include "TextEditCtrl.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "WineCheck.h"

#include <windows.h>

#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

using winecheck::writeText;

std::string picturesFolder;

const char* const kHead =
    "FBLOCK \"Seiten\";\n"
    "CONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_prod;\n"
    " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n";
const char* const kTail =
    "OUTPUTVAR u;\n XMIN 0;\n XMAX 1;\n MEMBER klein;\n  SINGLETON 0;\n ENDMEMBER;\nENDOUTPUTVAR;\n"
    "RULEBASE;\nIF (e==neg) THEN u=klein;\nENDRULEBASE;\nENDFBLOCK;\n";

std::string block(const char* xmin, const char* xmax)
{
    return std::string(kHead) + "INPUTVAR e;\n XMIN " + xmin + ";\n XMAX " + xmax +
           ";\n GRID 0.5;\n"
           " MEMBER neg;\n  TRAPEZ 0, 0, 2, 4;\n  COLOR blue;\n ENDMEMBER;\n"
           " MEMBER zero;\n  TRAPEZ 2, 4, 6, 8;\n  COLOR red;\n ENDMEMBER;\n"
           " MEMBER pos;\n  SINGLETON 8;\n  COLOR green;\n ENDMEMBER;\nENDINPUTVAR;\n" +
           kTail;
}

using winecheck::dosPath;

using winecheck::windowText;

std::string fieldText(FuzzyEditorFrame* frame, int id)
{
    StatusField* f = frame->getStatusBar()->fieldById(id);
    return f ? f->getText() : std::string("(none)");
}

// A colour within one pixel of (x, y).
bool colourNear(HDC dc, int x, int y, COLORREF colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (GetPixel(dc, x + dx, y + dy) == colour)
                return true;
    return false;
}

bool colourNear(HWND hwnd, int x, int y, COLORREF colour)
{
    HDC dc = GetDC(hwnd);
    bool found = colourNear(dc, x, y, colour);
    ReleaseDC(hwnd, dc);
    return found;
}

FuzzyMember* member(FuzzyEditorFrame* frame, const char* name)
{
    return findModelMember(findModelVariable(frame->block(), "e"), name);
}

std::string texts(const FuzzyMember* m)
{
    std::string s;
    for (int i = 0; i < 4 && m && m->set->text[i]; ++i)
        s += std::string(i ? " " : "") + m->set->text[i];
    return s;
}

void mouse(HWND hwnd, UINT message, int x, int y, WPARAM keys = 0)
{
    SendMessageA(hwnd, message, keys, MAKELPARAM(x, y));
}

void repaint(FuzzyEditorFrame* frame)
{
    winecheck::pump();
    RedrawWindow(frame->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    winecheck::pump();
}

// A recording context: an enhanced metafile with a page of its own size.
class RecordedPage : public DeviceContext {
public:
    RecordedPage()
    {
        RECT frame = {0, 0, 21000, 29700};
        recorder = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
        contextKind = DC_METAFILE;
    }
    HDC acquireHandle() override { return recorder; }
    Rect drawingArea() override { return Rect(0, 0, 2100, 2970); }
    HENHMETAFILE close() { return CloseEnhMetaFile(recorder); }

private:
    HDC recorder;
};

int CALLBACK collectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    std::vector<std::string>* out = reinterpret_cast<std::vector<std::string>*>(data);
    if (record->iType == EMR_EXTTEXTOUTW) {
        const EMREXTTEXTOUTW* t = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const WCHAR* chars = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(record) + t->emrtext.offString);
        std::string s;
        for (DWORD i = 0; i < t->emrtext.nChars; ++i)
            s += static_cast<char>(chars[i] & 0xFF);
        out->push_back(s);
    } else if (record->iType == EMR_EXTTEXTOUTA) {
        const EMREXTTEXTOUTA* t = reinterpret_cast<const EMREXTTEXTOUTA*>(record);
        out->push_back(std::string(reinterpret_cast<const char*>(record) + t->emrtext.offString, t->emrtext.nChars));
    }
    return 1;
}

bool contains(const std::vector<std::string>& list, const std::string& s)
{
    for (const std::string& item : list)
        if (item == s)
            return true;
    return false;
}

void checkPages(FuzzyEditorFrame* frame, const std::string& scratch, const std::string& picture)
{
    const std::string path = scratch + "\\seiten.kyb";
    writeText(path, block("0", "10"));
    {
        BoxWatcher any("*", IDOK, 5000);
        check(frame->getSession().openBlock(path) == 1, "the fixture opens");
        check(!any.found(), "... without a box");
    }
    repaint(frame);
    LvarPage* lvar = frame->getVariablePage();
    MsfPage* msf = frame->getMembershipPage();
    ComPage* com = frame->getCommentPage();
    check(lvar && msf && com && frame->getSetPage(), "New and Open build the four pages");
    if (!lvar || !msf || !com)
        return;
    check(winecheck::saveWindowPicture(frame->hwnd, picture), "the picture of the pages is saved");

    printf("%lu ms: the pages are open\n", GetTickCount());
    // The variable page.
    check(windowText(lvar->c_box1->hwnd) == "e" && windowText(lvar->e_line1->hwnd) == "0." &&
              windowText(lvar->e_line2->hwnd) == "10." && windowText(lvar->e_line3->hwnd) == "0.5" &&
              windowText(lvar->c_box5->hwnd) == "Eingang",
          "the variable page shows e, 0., 10., 0.5 and Eingang");
    printf("variable page: %s %s %s %s %s\n", windowText(lvar->c_box1->hwnd).c_str(),
           windowText(lvar->e_line1->hwnd).c_str(), windowText(lvar->e_line2->hwnd).c_str(),
           windowText(lvar->e_line3->hwnd).c_str(), windowText(lvar->c_box5->hwnd).c_str());

    // The graphic, where the geometry puts it.
    const ValueMapping m = msf->mapping();
    const double zero[4] = {2, 4, 6, 8}, neg[4] = {0, 0, 2, 4};
    check(m.valid(), "the graphic maps the range 0 ... 10");
    check(colourNear(msf->hwnd, m.pixelOf(3.5), m.heightOf(trapezMembership(3.5, zero)), RGB(255, 0, 0)),
          "red on zero's rising slope at 3.5");
    check(colourNear(msf->hwnd, m.pixelOf(2.5), m.heightOf(trapezMembership(2.5, neg)), RGB(0, 0, 255)),
          "blue on neg's falling slope at 2.5");
    check(winecheck::pixelOf(msf->hwnd, m.pixelOf(9.3), m.heightOf(0.3)) == RGB(255, 255, 232),
          "the options' colour at an empty plot point");

    // The read-out.
    const int middle = m.heightOf(0.3);
    PostMessageA(msf->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(m.pixelOf(2.3), middle));
    winecheck::pump();
    check(fieldText(frame, kFuzzyStatusText) == " x-pos: 2.5", "the pointer at 2.3 shows \" x-pos: 2.5\" in 1112");
    FuzzyVariable* shown = frame->pageState().variable;
    frame->pageState().variable = nullptr;
    PostMessageA(msf->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(m.pixelOf(2.3), middle));
    winecheck::pump();
    frame->pageState().variable = shown;
    check(fieldText(frame, kFuzzyStatusText) == " x-pos: 0.0", "without a current variable: \" x-pos: 0.0\"");

    // The set page: the alphabetically first set is current; zero chosen in
    // its list shows its form, colour and points.
    FsetPage* fset = frame->getSetPage();
    check(windowText(fset->c_box2->hwnd) == "neg" && frame->pageState().set == member(frame, "neg"),
          "the set page starts with the alphabetically first set, neg");
    SendMessageA(fset->c_box2->hwnd, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("zero"));
    SendMessageA(fset->hwnd, WM_COMMAND, MAKEWPARAM(fset->c_box2->id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(fset->c_box2->hwnd));
    repaint(frame);
    check(frame->pageState().set == member(frame, "zero") && windowText(fset->c_box2->hwnd) == "zero" &&
              windowText(fset->c_box3->hwnd) == "Trapez" && windowText(fset->c_box4->hwnd) == "rot",
          "zero chosen: the set page shows zero, Trapez and rot");
    check(windowText(fset->e_line_p[0]->hwnd) == "2." && windowText(fset->e_line_p[1]->hwnd) == "4." &&
              windowText(fset->e_line_p[2]->hwnd) == "6." && windowText(fset->e_line_p[3]->hwnd) == "8.",
          "... its points 2., 4., 6. and 8.");
    check(winecheck::pixelOf(fset->sample->hwnd, 18, 18) == RGB(255, 0, 0), "... and a red sample");
    check(windowText(fset->sample->hwnd) == "HH" && (GetWindowLongA(fset->sample->hwnd, GWL_STYLE) & SS_TYPEMASK) == 7 &&
              winecheck::pixelOf(fset->sample->hwnd, 0, 12) == RGB(0, 0, 0) &&
              winecheck::pixelOf(fset->sample->hwnd, 3, 3) == RGB(255, 0, 0),
          "... a black-frame static with the text \"HH\", framed in black and filled to its edge");
    check(winecheck::saveWindowPicture(frame->hwnd, winecheck::pictureFolder(picture) + "kytfuzzy-setpage.png"),
          "the picture of the set page is saved");
    check(!frame->getSession().isModified(), "choosing a set changes nothing");

    // Pick zero on its plateau, then drag its point 1 to the pixel of 3.4.
    check(!frame->getSession().isModified(), "the opened block is not modified");
    mouse(msf->hwnd, WM_LBUTTONDOWN, m.pixelOf(5), m.plot.top, MK_LBUTTON);
    mouse(msf->hwnd, WM_LBUTTONUP, m.pixelOf(5), m.plot.top);
    winecheck::pump();
    check(frame->pageState().set == member(frame, "zero") && std::string(frame->pageState().setName.text()) == "zero",
          "a press on zero's plateau makes zero the current set");
    mouse(msf->hwnd, WM_LBUTTONDOWN, m.pixelOf(4), m.plot.top, MK_LBUTTON);
    mouse(msf->hwnd, WM_MOUSEMOVE, m.pixelOf(3.7), m.plot.top + 10, MK_LBUTTON);
    mouse(msf->hwnd, WM_MOUSEMOVE, m.pixelOf(3.5), m.plot.top + 10, MK_LBUTTON);
    mouse(msf->hwnd, WM_LBUTTONUP, m.pixelOf(3.4), m.plot.top + 10);
    winecheck::pump();
    FuzzyMember* z = member(frame, "zero");
    check(z && std::string(z->set->text[1]) == "3.5" && z->set->value[1] == 3.5,
          "the point dropped at the pixel of 3.4 makes b 3.5");
    printf("zero: %s\n", texts(z).c_str());
    check(texts(member(frame, "neg")) == "0 0 2 4" && texts(member(frame, "pos")) == "8",
          "... the other sets are unchanged");
    check(frame->getSession().isModified(), "... and the block is modified");
    check(windowText(fset->e_line_p[1]->hwnd) == "3.5", "... the set page shows b 3.5");
    repaint(frame);

    // A refused XMIN.
    const bool modifiedBefore = frame->getSession().isModified();
    frame->getSession();
    SetWindowTextA(lvar->e_line1->hwnd, "11");
    {
        BoxWatcher box(getResString(17723), IDOK);
        SendMessageA(lvar->hwnd, WM_COMMAND, MAKEWPARAM(lvar->e_line1->id, EN_VSCROLL),
                     reinterpret_cast<LPARAM>(lvar->e_line1->hwnd));
        check(box.found() && box.text() == getResString(17724), "XMIN 11 with Enter is answered with 17724");
    }
    check(windowText(lvar->e_line1->hwnd) == findModelVariable(frame->block(), "e")->xmin &&
              std::string(findModelVariable(frame->block(), "e")->xmin) == "0",
          "... the field shows the old XMIN text, the model keeps it");
    check(frame->getSession().isModified() == modifiedBefore, "... and the modified flag is as it was");

    // A decimal comma, as German students type it, and a text that is no
    // number: refused naming the field, the focus back on it.
    SetWindowTextA(lvar->e_line1->hwnd, "-0,5");
    SendMessageA(lvar->hwnd, WM_COMMAND, MAKEWPARAM(lvar->e_line1->id, EN_VSCROLL),
                 reinterpret_cast<LPARAM>(lvar->e_line1->hwnd));
    check(std::string(findModelVariable(frame->block(), "e")->xmin) == "-0.5" &&
              windowText(lvar->e_line1->hwnd) == "-0.5",
          "XMIN -0,5 is stored and shown as -0.5");
    SetWindowTextA(lvar->e_line1->hwnd, "abc");
    // The focus is the active window's: other tests' windows on the shared
    // display must not hold the activation while the box comes and goes.
    winecheck::bringToFront(frame->hwnd);
    {
        BoxWatcher box("Nachricht", IDOK);
        SendMessageA(lvar->hwnd, WM_COMMAND, MAKEWPARAM(lvar->e_line1->id, EN_VSCROLL),
                     reinterpret_cast<LPARAM>(lvar->e_line1->hwnd));
        check(box.found() && box.text().find("Im Feld \"xmin\" steht keine Zahl: \"abc\"") == 0,
              ("XMIN abc is refused naming the field: " + box.text()).c_str());
    }
    winecheck::pump();
    if (GetFocus() != lvar->e_line1->hwnd)
        winecheck::bringToFront(frame->hwnd);
    check(std::string(findModelVariable(frame->block(), "e")->xmin) == "-0.5" &&
              GetFocus() == lvar->e_line1->hwnd && windowText(lvar->e_line1->hwnd) == "-0.5",
          "... the model keeps -0.5, the field shows it again and has the focus");

    // The comment's first line.
    SetWindowTextA(com->e_line->hwnd, "abc\r\ndef");
    SendMessageA(com->hwnd, WM_COMMAND, MAKEWPARAM(com->e_line->id, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(com->e_line->hwnd));
    check(frame->block()->comment && std::string(frame->block()->comment) == "abc" &&
              windowText(com->e_line->hwnd) == "abc",
          "a comment field of abc, CR LF, def, when left, makes the comment abc");

    // The print button, enabled with a block, shows its printer: the white sheet.
    repaint(frame);
    BmpButtonCL* print = frame->getToolBar()->button(CMD_PRINT);
    check(print && winecheck::pixelOf(print->hwnd, 13, 7) == RGB(255, 255, 255),
          "the print button shows the printer's white sheet");

    // The clipboard: a bitmap of the page's size with the red plateau.
    frame->runCommand(CMD_COPY);
    RECT client;
    GetClientRect(msf->hwnd, &client);
    bool sized = false, red = false;
    if (OpenClipboard(frame->hwnd)) {
        HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        BITMAP info = {};
        if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
            sized = info.bmWidth == client.right && info.bmHeight == client.bottom;
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(dc, bitmap);
            red = colourNear(dc, m.pixelOf(5), m.plot.top, RGB(255, 0, 0));
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        CloseClipboard();
    }
    check(sized, "11036 puts a bitmap of the page's size on the clipboard");
    check(red, "... with the red plateau of zero");

    // Printing into a recorded context: the head names the frame, the axis the variable.
    RecordedPage page;
    MsfPage::setPrintTarget(&page);
    frame->runCommand(CMD_PRINT);
    MsfPage::setPrintTarget(nullptr);
    HENHMETAFILE recording = page.close();
    std::vector<std::string> printed;
    EnumEnhMetaFile(nullptr, recording, collectText, &printed, nullptr);
    DeleteEnhMetaFile(recording);
    check(contains(printed, windowText(frame->hwnd)), "9001 records the frame's title as text");
    check(contains(printed, "e"), "... and the variable's name");
    check(contains(printed, "abc"), "... and the comment");

    printf("%lu ms: printed\n", GetTickCount());
    // Too small a frame grows back.
    SetWindowPos(frame->hwnd, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    repaint(frame);
    RECT r;
    GetWindowRect(frame->hwnd, &r);
    check(r.right - r.left == 640 && r.bottom - r.top == 450, "a frame sized to 500 x 400 comes back at 640 x 450");
    printf("frame after shrinking: %ld x %ld\n", r.right - r.left, r.bottom - r.top);
    SetWindowPos(frame->hwnd, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    repaint(frame);
}

// Tab in a field of the pages commits it and moves the focus on, as Enter
// commits it: typed keys go through the message loop as the user's do.
void checkTab(FuzzyEditorFrame* frame)
{
    LvarPage* lvar = frame->getVariablePage();
    FsetPage* fset = frame->getSetPage();
    if (!lvar || !fset)
        return;
    winecheck::bringToFront(frame->hwnd);
    SetFocus(lvar->e_line2->hwnd);
    SetWindowTextA(lvar->e_line2->hwnd, "12");
    PostMessageA(lvar->e_line2->hwnd, WM_KEYDOWN, VK_TAB, 0x000f0001);
    PostMessageA(lvar->e_line2->hwnd, WM_KEYUP, VK_TAB, 0xc00f0001);
    winecheck::pump();
    FuzzyVariable* e = findModelVariable(frame->block(), "e");
    check(e && std::string(e->xmax) == "12." && windowText(lvar->e_line2->hwnd) == "12.",
          "Tab in the XMAX field commits 12 (model and field 12.)");
    HWND focus = GetFocus();
    check(focus == lvar->e_line3->hwnd, "... and moves the focus on to the next field, Raster");
    printf("focus after Tab: id %d; xmax %s, field [%s]\n", focus ? GetDlgCtrlID(focus) : -1, e ? e->xmax : "-",
           windowText(lvar->e_line2->hwnd).c_str());

    // A point field of the set page, with the tab typed as a character too.
    SetFocus(fset->e_line_p[0]->hwnd);
    const std::string before = windowText(fset->e_line_p[0]->hwnd);
    SetWindowTextA(fset->e_line_p[0]->hwnd, "1");
    PostMessageA(fset->e_line_p[0]->hwnd, WM_KEYDOWN, VK_TAB, 0x000f0001);
    winecheck::pump();
    PostMessageA(fset->e_line_p[0]->hwnd, WM_CHAR, '\t', 0x000f0001);
    winecheck::pump();
    check(GetFocus() == fset->e_line_p[1]->hwnd, "Tab in point a goes on to point b");
    check(windowText(fset->e_line_p[0]->hwnd) == "1." && frame->pageState().set &&
              frame->pageState().set->set->value[0] == 1.0,
          "... committing a = 1 without a tab in the field");
    printf("a before: %s, after: [%s]\n", before.c_str(), windowText(fset->e_line_p[0]->hwnd).c_str());
}

// The apex of a triangle (b = c) is one handle over two points: a drag to
// the right moves c, the point that can go there.
void checkApexDrag(FuzzyEditorFrame* frame, const std::string& scratch)
{
    std::string text = block("0", "10");
    const std::string zero = "TRAPEZ 2, 4, 6, 8;";
    text.replace(text.find(zero), zero.size(), "TRAPEZ 2, 5, 5, 8;");
    const std::string path = scratch + "\\dreieck.kyb";
    writeText(path, text);
    if (frame->getSession().isModified()) {
        BoxWatcher any("*", IDOK, 5000);
        frame->getSession().save();
    }
    check(frame->getSession().openBlock(path) == 1, "the block with the triangle opens");
    repaint(frame);
    MsfPage* msf = frame->getMembershipPage();
    FsetPage* fset = frame->getSetPage();
    if (!msf || !fset)
        return;
    SendMessageA(fset->c_box2->hwnd, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("zero"));
    SendMessageA(fset->hwnd, WM_COMMAND, MAKEWPARAM(fset->c_box2->id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(fset->c_box2->hwnd));
    repaint(frame);
    const ValueMapping m = msf->mapping();
    mouse(msf->hwnd, WM_LBUTTONDOWN, m.pixelOf(5), m.plot.top, MK_LBUTTON);
    mouse(msf->hwnd, WM_MOUSEMOVE, m.pixelOf(5.5), m.plot.top + 5, MK_LBUTTON);
    mouse(msf->hwnd, WM_MOUSEMOVE, m.pixelOf(6.5), m.plot.top + 5, MK_LBUTTON);
    mouse(msf->hwnd, WM_LBUTTONUP, m.pixelOf(6.5), m.plot.top + 5);
    winecheck::pump();
    FuzzyMember* z = member(frame, "zero");
    check(z && z->set->value[0] == 2 && z->set->value[1] == 5 && z->set->value[2] == 6.5 && z->set->value[3] == 8,
          "the apex dragged to the right moves c to 6.5 and keeps b at 5");
    printf("zero after the apex drag: %s\n", texts(z).c_str());
    check(windowText(fset->e_line_p[2]->hwnd) == "6.5", "... the set page shows c 6.5");
    repaint(frame);
    check(winecheck::saveWindowPicture(frame->hwnd, picturesFolder + "kytfuzzy-apex.png"),
          "the picture of the dragged apex is saved");
}

void checkBadRange(FuzzyEditorFrame* frame, const std::string& scratch)
{
    printf("%lu ms: a bad range\n", GetTickCount());
    const std::string path = scratch + "\\flach.kyb";
    writeText(path, block("3", "3"));
    // Saved first, so that Open asks nothing before its box.
    {
        // Any box is answered (a busy machine may show it late), and counts as a failure.
        BoxWatcher failure("*", IDOK, 8000);
        check(frame->getSession().save() == 1 && !failure.found(), "the changed block is saved");
    }
    {
        BoxWatcher box(getResString(17723), IDOK, 10000);
        check(frame->getSession().openBlock(path) == 1, "a block with XMIN = XMAX opens");
        check(box.found() && box.text().find("\"e\"") != std::string::npos, "... with a box naming the variable");
    }
    repaint(frame);
    MsfPage* msf = frame->getMembershipPage();
    check(msf && !msf->mapping().valid() && msf->shapes().size() == 3, "... its sets are there, without a mapping");
    if (!msf)
        return;
    bool hidden = true;
    for (const SetShape& s : msf->shapes())
        hidden = hidden && !s.anyVisible();
    check(hidden, "... none of them is drawn");
    const PixelRect& f = msf->layout().frame;
    check(colourNear(msf->hwnd, f.left, (f.top + f.bottom) / 2, RGB(0, 0, 0)) &&
              colourNear(msf->hwnd, (f.left + f.right) / 2, f.bottom, RGB(0, 0, 0)),
          "... and the axes are painted");
    PostMessageA(msf->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(f.left + 20, f.bottom - 20));
    winecheck::pump();
    check(fieldText(frame, kFuzzyStatusText) == " x-pos: 3.", "... the read-out shows the XMIN text");
}

// Answers the framework's dialogs of this process, one after the other: the
// dialog's title, the text typed into the name field (none: left as it is)
// and the button pressed. What the name field showed is kept.
struct DialogAnswer {
    const char* title;
    const char* typed;
    int button;
    std::string shown;
    std::string lists[4];
    bool found = false;
};

class DialogAnswerer {
public:
    explicit DialogAnswerer(std::vector<DialogAnswer>* script) : answers(script)
    {
        thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    ~DialogAnswerer() { wait(); }
    void wait()
    {
        if (thread) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
            thread = nullptr;
        }
    }

private:
    static DWORD WINAPI run(LPVOID p)
    {
        DialogAnswerer* self = static_cast<DialogAnswerer*>(p);
        HWND last = nullptr;
        for (DialogAnswer& a : *self->answers) {
            for (int waited = 0; waited < 10000; waited += 50) {
                HWND dialog = winecheck::findOwnWindow(a.title);
                if (dialog && dialog != last && IsWindowVisible(dialog)) {
                    Sleep(150);
                    char text[200] = "";
                    GetDlgItemTextA(dialog, 1012, text, sizeof text);
                    a.shown = text;
                    const int lists[4] = {1004, 1005, 1006, 1007};
                    for (int i = 0; i < 4; ++i) {
                        char item[100] = "";
                        if (HWND list = GetDlgItem(dialog, lists[i]))
                            GetWindowTextA(list, item, sizeof item);
                        a.lists[i] = item;
                    }
                    if (a.typed)
                        SendMessageA(GetDlgItem(dialog, 1012), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.typed));
                    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(a.button, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, a.button)));
                    a.found = true;
                    // The same dialog may be asked again (a refused name).
                    last = a.button == 1017 || a.button == IDOK ? nullptr : dialog;
                    Sleep(300);
                    break;
                }
                Sleep(50);
            }
        }
        return 0;
    }
    std::vector<DialogAnswer>* answers;
    HANDLE thread;
};

void checkDialogs(FuzzyEditorFrame* frame)
{
    EditorDialogHooks hooks(frame);
    frame->setHooks(&hooks);
    const std::string variableTitle = "Hinzuf\xfcgen einer Variable ...";
    const std::string setTitle = "Hinzuf\xfcgen eines Fuzzy-Sets ...";

    // New, cancelled in its first dialog: no block.
    std::vector<DialogAnswer> cancelled = {{"Konfiguration ...", nullptr, IDCANCEL}};
    {
        DialogAnswerer answerer(&cancelled);
        frame->runCommand(CMD_NEW);
        answerer.wait();
    }
    check(cancelled[0].found && !frame->getSession().model() && !frame->hasPages(),
          "New cancelled in the configuration dialog leaves no block");
    printf("%lu ms: New cancelled\n", GetTickCount());

    // New: the configuration as offered, a name refused, then e and neg.
    std::vector<DialogAnswer> script = {{"Konfiguration ...", nullptr, IDOK},
                                        {variableTitle.c_str(), "Temp 1", 1017},
                                        {variableTitle.c_str(), "e", 1017},
                                        {setTitle.c_str(), "neg", 1017}};
    if (frame->getSession().isModified()) {
        BoxWatcher any("*", IDOK, 5000);
        frame->getSession().save();
    }
    {
        BoxWatcher refusal(getResString(17723), IDOK, 20000);
        DialogAnswerer answerer(&script);
        frame->runCommand(CMD_NEW);
        answerer.wait();
        check(refusal.found() && refusal.text() == getResString(17751), "a name like \"Temp 1\" is refused with 17751");
    }
    check(script[0].found && script[0].shown == "FBlock1" && script[0].lists[0] == "min" &&
              script[0].lists[1] == "max" && script[0].lists[2] == "max_prod" && script[0].lists[3] == "Schwerpunkt",
          "New offers FBlock1, min, max, max_prod and Schwerpunkt");
    printf("configuration: %s %s %s %s %s\n", script[0].shown.c_str(), script[0].lists[0].c_str(),
           script[0].lists[1].c_str(), script[0].lists[2].c_str(), script[0].lists[3].c_str());
    check(script[1].shown == "Variable1", "... then proposes Variable1");
    FuzzyBlock* b = frame->block();
    FuzzyVariable* e = b ? findModelVariable(b, "e") : nullptr;
    check(b && b->name && std::string(b->name) == "FBlock1" && e && std::string(e->xmin) == "0" &&
              std::string(e->xmax) == "100",
          "... makes the block FBlock1 with the input e from 0 to 100");
    check(e && e->members && std::string(e->members->name) == "neg" && e->members->color == 1,
          "... with its first set neg in cyan");
    check(frame->hasPages() && frame->pageState().variable == e, "... and shows e on the pages");

    // 117: a taken name, then u with its set pos.
    std::vector<DialogAnswer> more = {{variableTitle.c_str(), "e", 1017},
                                      {variableTitle.c_str(), "u", 1017},
                                      {setTitle.c_str(), "pos", 1017}};
    {
        BoxWatcher taken(getResString(17723), IDOK, 20000);
        DialogAnswerer answerer(&more);
        frame->runCommand(CMD_ADD_VARIABLE);
        answerer.wait();
        check(taken.found() && taken.text() == getResString(17631), "a variable name in use is answered with 17631");
    }
    FuzzyVariable* u = findModelVariable(frame->block(), "u");
    check(more[0].shown == "Variable2" && u && u->members && std::string(u->members->name) == "pos",
          "117 proposes Variable2 and adds u with its set pos");

    // u becomes an output, as the usage list makes it.
    if (u)
        moveVariable(frame->block(), u);
    frame->getVariablePage()->refresh();

    // The rule editor: checked, left, and a syntax error left with Yes.
    frame->runCommand(CMD_RULE_EDITOR);
    RuleEditorWindow* editor = hooks.ruleEditor();
    check(editor && windowText(editor->hwnd) == getResString(17664) && windowText(editor->editor()->hwnd).empty(),
          "116 opens the empty rule editor \"Regelbasis  Editor\" on a block without rules");
    if (!editor) {
        frame->setHooks(nullptr);
        return;
    }

    SetWindowTextA(editor->editor()->hwnd, "IF (e==neg) THEN u=pos;\r\n\r\n\r\n");
    const bool modified = frame->getSession().isModified();
    {
        BoxWatcher correct("*", IDOK);
        SendMessageA(editor->hwnd, WM_COMMAND, 9013, 0);
        check(correct.found() && correct.text() == getResString(17651), "9013 on correct rules shows 17651");
    }
    check(frame->getSession().isModified() == modified && frame->block()->rules,
          "... the rules are in the model, the modified flag as it was");
    winecheck::pump();
    UpdateWindow(editor->hwnd);
    check(winecheck::saveWindowPicture(editor->hwnd, std::string(picturesFolder) + "kytfuzzy-rules.png"),
          "the picture of the rule editor is saved");
    SendMessageA(editor->hwnd, WM_COMMAND, 11023, 0);
    winecheck::pump();
    check(!hooks.ruleEditor() && frame->getSession().getRuleText() == "IF (e==neg) THEN u=pos;\r\n" &&
              frame->getSession().isModified(),
          "leaving stores the text with one line end, closes the editor and sets modified");

    frame->runCommand(CMD_RULE_EDITOR);
    editor = hooks.ruleEditor();
    check(editor && windowText(editor->editor()->hwnd).find("IF (e==neg) THEN u=pos;") == 0,
          "the editor opens again with the stored rules");
    if (editor) {
        SetWindowTextA(editor->editor()->hwnd, "IF (e==neg) THEN u=;\r\n");
        // The editor's box only: the parser keeps its message for it.
        BoxWatcher parser(getResString(20912), IDOK, 8000);
        BoxWatcher boxes(getResString(17664), IDYES, 10000, 2);
        SendMessageA(editor->hwnd, WM_COMMAND, 11023, 0);
        winecheck::pump();
        check(boxes.texts().size() == 2 && boxes.texts()[0].find("Rulebase : In oder vor Zeile 1:") == 0 &&
                  boxes.texts()[0].find("erwartet wird: ") != std::string::npos &&
                  boxes.texts()[1] == getResString(17650),
              "a syntax error on leaving is shown with its line and expected token, then 17650 asks");
        check(!parser.found(), "... and the parser shows no box of its own");
        check(!hooks.ruleEditor() && frame->getSession().getRuleText() == "IF (e==neg) THEN u=pos;\r\n" &&
                  frame->block()->rules && frame->block()->rules->rule->conclusion->term &&
                  std::string(frame->block()->rules->rule->conclusion->term) == "pos",
              "... Yes closes the editor and keeps the old rules and text");
    }
    frame->setHooks(nullptr);
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(200);
    disableErrorLog();
    std::vector<std::string> args = splitCommandLine(app->commandLine.text());
    if (args.size() != 2) {
        printf("usage: kytfuzzy_pages_test PNG-PATH SCRATCH-FOLDER\n");
        app->exitCode = 2;
        return;
    }
    const std::string scratch = dosPath(args[1]);
    CreateDirectoryA(scratch.c_str(), nullptr);

    FuzzyOptions* options = new FuzzyOptions;
    options->setTempDir(scratch);
    options->color = FuzzyOptions::kDefaultColor;
    FuzzyEditorFrame* frame = new FuzzyEditorFrame(nullptr, new Layout(0, 0, 900, 700), WS_OVERLAPPEDWINDOW,
                                                   getResString(17723), options);
    frame->rebuildMenus();
    frame->show(SW_SHOW);
    winecheck::pump();
    picturesFolder = winecheck::pictureFolder(args[0]);
    checkPages(frame, scratch, args[0]);
    checkTab(frame);
    checkApexDrag(frame, scratch);
    checkBadRange(frame, scratch);
    checkDialogs(frame);
    delete frame;
    delete options;
    app->exitCode = winecheck::summary();
}
