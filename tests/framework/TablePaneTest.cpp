// Under wine: the table pane in a field dialog, driven by messages. The
// signal table (current and new name), its in-place editor, keys, clicks,
// header-border drags in a second pane, a large and a shrinking model, and a
// picture of the dialog after the edits.
//
//   framework_table_test PNG-PATH
#include "Application.h"
#include "Bitmap.h"
#include "Dialog.h"
#include "ErrorReporter.h"
#include "FieldCellFormatter.h"
#include "Frame.h"
#include "IntlSettings.h"
#include "NumericMask.h"
#include "TableModel.h"
#include "TablePane.h"
#include "WineCheck.h"
#include "WineRecordingSink.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using winecheck::check;
using winecheck::pixelOf;

namespace {

const int kTableDialog = 120;
const int kEditorId = 500;

using winecheck::RecordingSink;

RecordingSink sink;

// What the pane asked of ClipCursor: "null" for a release.
std::vector<std::string> clips;

BOOL WINAPI recordClip(const RECT* r)
{
    clips.push_back(r ? "rect" : "null");
    return TRUE;
}

struct HookLog {
    std::vector<std::string> calls;
    void current() { calls.push_back("current"); }
    void selection() { calls.push_back("selection"); }
};

void setShift(bool held)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

std::string textOf(HWND hwnd)
{
    char buffer[256] = "";
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string cellText(TableModelBase& model, uint32_t column, uint32_t row)
{
    TableCell* cell = model.getCell(CellPos(column, row));
    return cell ? cell->getText() : std::string("<none>");
}

void typeInto(HWND hwnd, const char* text)
{
    for (const char* p = text; *p; ++p)
        SendMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(*p), 1);
}

// A cursor-block key: bit 24 set.
void key(HWND hwnd, int vk, bool extended = true)
{
    SendMessageA(hwnd, WM_KEYDOWN, vk, extended ? (1 | (1 << 24)) : 1);
}

Point centreOf(const Rect& r)
{
    return Point((r.left() + r.right()) / 2, (r.top() + r.bottom()) / 2);
}

void click(HWND hwnd, const Point& p)
{
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x(), p.y()));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x(), p.y()));
}

bool sameColour(COLORREF c, int r, int g, int b)
{
    return GetRValue(c) == r && GetGValue(c) == g && GetBValue(c) == b;
}

bool editorOverCell(TableEditCL* editor, TablePaneCL* pane, const CellPos& pos)
{
    RECT w;
    GetWindowRect(editor->hwnd, &w);
    MapWindowPoints(nullptr, pane->hwnd, reinterpret_cast<POINT*>(&w), 2);
    const Rect c = pane->cellRect(pos);
    return w.left == c.left() && w.top == c.top() && w.right == c.right() && w.bottom == c.bottom();
}

void testEditing(TableModel& model, TablePaneCL* pane, TableEditCL* editor)
{
    HWND paneHwnd = pane->hwnd;
    HWND editHwnd = editor->hwnd;

    pane->setCurrentCell(CellPos(2, 1));
    SetFocus(paneHwnd);
    check(!IsWindowVisible(editHwnd), "the editor is hidden until the user types");
    typeInto(paneHwnd, "M");
    check(IsWindowVisible(editHwnd) && editorOverCell(editor, pane, CellPos(2, 1)) && GetFocus() == editHwnd &&
              textOf(editHwnd) == "M",
          "a character typed into the pane opens the editor over the current cell with that character");
    typeInto(editHwnd, "otor");
    SendMessageA(editHwnd, WM_CHAR, 13, 1);
    printf("after Enter: (2,1) \"%s\", current (%u,%u)\n", cellText(model, 2, 1).c_str(),
           pane->getCurrentCell().column, pane->getCurrentCell().row);
    check(cellText(model, 2, 1) == "Motor" && pane->getCurrentCell() == CellPos(2, 2) && !IsWindowVisible(editHwnd) &&
              GetFocus() == paneHwnd,
          "Enter stores the text, moves one row down, hides the editor and gives the pane the focus");

    pane->setCurrentCell(CellPos(2, 5));
    typeInto(paneHwnd, "X");
    SendMessageA(editHwnd, WM_CHAR, 13, 1);
    check(cellText(model, 2, 5) == "X" && pane->getCurrentCell() == CellPos(2, 5), "at the last row Enter stores and stays");

    pane->setCurrentCell(CellPos(2, 3));
    typeInto(paneHwnd, "Y");
    key(editHwnd, VK_DOWN);
    check(cellText(model, 2, 3) == "Y" && pane->getCurrentCell() == CellPos(2, 4) && !IsWindowVisible(editHwnd),
          "Down in the shown editor commits and moves down");

    pane->setCurrentCell(CellPos(1, 3));
    SetFocus(paneHwnd);
    typeInto(paneHwnd, "Q");
    check(!IsWindowVisible(editHwnd) && !IsWindowEnabled(editHwnd) && textOf(editHwnd) == "Sig 3" &&
              cellText(model, 1, 3) == "Sig 3" && GetFocus() == paneHwnd,
          "in a marked range typing never reaches the editor");

    pane->setCurrentCell(CellPos(2, 1));
    typeInto(paneHwnd, "Z");
    const bool typed = textOf(editHwnd) == "Z";
    SendMessageA(editHwnd, WM_CHAR, 27, 1);
    check(typed && textOf(editHwnd) == "Motor" && cellText(model, 2, 1) == "Motor" && !IsWindowVisible(editHwnd) &&
              GetFocus() == paneHwnd && pane->getCurrentCell() == CellPos(2, 1),
          "Esc restores the editor's text, leaves the model and gives the pane the focus");
}

void testKeys(TablePaneCL* pane, DialogFrameCL* dialog)
{
    HWND paneHwnd = pane->hwnd;
    SetFocus(paneHwnd);
    SendMessageA(paneHwnd, WM_CHAR, 9, 1);
    HWND forward = GetFocus();
    SetFocus(paneHwnd);
    setShift(true);
    SendMessageA(paneHwnd, WM_CHAR, 9, 1);
    setShift(false);
    HWND backward = GetFocus();
    check(forward && backward && forward != paneHwnd && backward != paneHwnd && forward != backward &&
              GetParent(forward) == dialog->hwnd && GetParent(backward) == dialog->hwnd,
          "Tab and Shift+Tab in the pane move the dialog focus on and back");
    SetFocus(paneHwnd);

    pane->setCurrentCell(CellPos(1, 1));
    key(paneHwnd, VK_RIGHT, false);
    const bool padIgnored = pane->getCurrentCell() == CellPos(1, 1);
    key(paneHwnd, VK_RIGHT);
    check(padIgnored && pane->getCurrentCell() == CellPos(2, 1),
          "Right acts only with the extended-key flag (the cursor block, not the pad)");

    struct Edge {
        CellPos from;
        int vk;
        const char* what;
    };
    for (Edge e : {Edge{CellPos(1, 2), VK_LEFT, "Left at column 1 does nothing"},
                   Edge{CellPos(2, 5), VK_DOWN, "Down at row 5 does nothing"},
                   Edge{CellPos(2, 1), VK_UP, "Up at row 1 does nothing"},
                   Edge{CellPos(2, 3), VK_RIGHT, "Right at the last column does nothing"}}) {
        pane->setCurrentCell(e.from);
        key(paneHwnd, e.vk);
        check(pane->getCurrentCell() == e.from, e.what);
    }

    pane->setCurrentCell(CellPos(1, 2));
    setShift(true);
    key(paneHwnd, VK_RIGHT);
    key(paneHwnd, VK_DOWN);
    setShift(false);
    check(pane->getSelection() == CellRange(1, 2, 2, 3) && pane->getCurrentCell() == CellPos(1, 2),
          "Shift+Right and Shift+Down extend the selection from the current cell");
    key(paneHwnd, VK_DOWN);
    check(pane->getSelection() == CellRange(1, 3, 1, 3), "a move without Shift drops the selection");
}

void testClicks(TableModel& model, TablePaneCL* pane, TableEditCL* editor, HookLog& hooks)
{
    HWND paneHwnd = pane->hwnd;
    pane->setCurrentCell(CellPos(1, 1));
    hooks.calls.clear();
    SendMessageA(paneHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centreOf(pane->cellRect(CellPos(2, 3))).x(),
                                                                  centreOf(pane->cellRect(CellPos(2, 3))).y()));
    check(pane->getCurrentCell() == CellPos(2, 3) &&
              hooks.calls == std::vector<std::string>({"current", "selection"}),
          "a click makes the cell current and calls the current-cell hook, then the selection hook");
    SendMessageA(paneHwnd, WM_LBUTTONUP, 0, 0);
    check(hooks.calls.size() == 3 && hooks.calls.back() == "selection", "the button going up calls the selection hook");

    pane->setCurrentCell(CellPos(2, 4));
    SetFocus(paneHwnd);
    typeInto(paneHwnd, "W");
    const bool editing = GetFocus() == editor->hwnd;
    click(paneHwnd, centreOf(pane->cellRect(CellPos(2, 4))));
    check(editing && cellText(model, 2, 4) == "W" && pane->getCurrentCell() == CellPos(2, 4) &&
              GetFocus() == paneHwnd && !IsWindowVisible(editor->hwnd),
          "a click during an edit commits the text without moving");

    int headerWidth = 0, headerHeight = 0;
    pane->getHeaderSize(headerWidth, headerHeight);
    const Rect row3 = pane->cellRect(CellPos(1, 3));
    click(paneHwnd, Point(headerWidth / 2, centreOf(row3).y()));
    check(pane->getSelection() == CellRange(1, 3, 2, 3), "a row-header click selects the whole row");
    click(paneHwnd, Point(headerWidth / 2, headerHeight / 2));
    check(pane->getSelection() == CellRange(1, 1, 2, 5), "the corner selects every cell");

    // Dragging over the row headers from row 2 to row 4.
    const Point from(headerWidth / 2, centreOf(pane->cellRect(CellPos(1, 2))).y());
    const Point to(headerWidth / 2, centreOf(pane->cellRect(CellPos(1, 4))).y());
    SendMessageA(paneHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x(), from.y()));
    SendMessageA(paneHwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x(), to.y()));
    SendMessageA(paneHwnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x(), to.y()));
    check(pane->getSelection() == CellRange(1, 2, 2, 4) && pane->getCurrentCell() == CellPos(1, 2),
          "dragging over row headers selects the rows passed");

    // Dragging over cells spans the selection from the first cell.
    const Point a = centreOf(pane->cellRect(CellPos(1, 1)));
    const Point b = centreOf(pane->cellRect(CellPos(2, 3)));
    SendMessageA(paneHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x(), a.y()));
    SendMessageA(paneHwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x(), b.y()));
    SendMessageA(paneHwnd, WM_LBUTTONUP, 0, MAKELPARAM(b.x(), b.y()));
    check(pane->getSelection() == CellRange(1, 1, 2, 3) && pane->getCurrentCell() == CellPos(1, 1),
          "dragging over cells selects the rectangle from the first cell");
    pane->selectRange(CellRange(2, 2, 2, 2));
    check(pane->getSelection() == CellRange(2, 2, 2, 2) && pane->getCurrentCell() == CellPos(2, 2),
          "selectRange of one cell makes it current");
    pane->selectRange(CellRange(0, 0, 0, 0));
    check(pane->getCurrentCell() == CellPos(2, 2), "selectRange of the empty range does nothing");
}

// Keys as the program's loop delivers them to a modeless dialog: through
// IsDialogMessage, then translated and dispatched.
void dialogPump(HWND dialog)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void postKey(HWND hwnd, int vk, bool extended = false)
{
    const LPARAM bits = 1 | (MapVirtualKeyA(vk, 0) << 16) | (extended ? (1 << 24) : 0);
    PostMessageA(hwnd, WM_KEYDOWN, vk, bits);
    PostMessageA(hwnd, WM_KEYUP, vk, bits | (3u << 30));
}

void testDialogKeys(TableModel& model, TablePaneCL* pane, TableEditCL* editor, DialogFrameCL* dialog)
{
    // Focus goes only to the active window: another test's new window on
    // the shared display may have taken the activation.
    winecheck::bringToFront(dialog->hwnd);
    pane->setCurrentCell(CellPos(2, 2));
    SetFocus(pane->hwnd);
    PostMessageA(pane->hwnd, WM_CHAR, 'K', 1);
    dialogPump(dialog->hwnd);
    PostMessageA(editor->hwnd, WM_CHAR, 'i', 1);
    postKey(editor->hwnd, VK_RETURN);
    dialogPump(dialog->hwnd);
    check(cellText(model, 2, 2) == "Ki" && pane->getCurrentCell() == CellPos(2, 3) && GetFocus() == pane->hwnd,
          "through the dialog's key handling Enter in the editor commits and moves");
    postKey(pane->hwnd, VK_UP, true);
    dialogPump(dialog->hwnd);
    check(pane->getCurrentCell() == CellPos(2, 2), "through the dialog's key handling Up reaches the pane");
}

void testBorderDrags(DialogFrameCL* dialog)
{
    setClipCursorCall(recordClip);
    TablePaneCL* pane = new TablePaneCL(dialog, new Geometry(10, 220, 330, 110), 0);
    pane->show(SW_SHOW);
    winecheck::pump();
    HWND hwnd = pane->hwnd;
    int headerWidth = 0, headerHeight = 0;
    pane->getHeaderSize(headerWidth, headerHeight);

    // Column 1: its border zone is the last pixel left of its right edge.
    const Rect c1 = pane->cellRect(CellPos(1, 1));
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(c1.right() - 1, headerHeight / 2));
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c1.right() - 1, headerHeight / 2));
    const bool confined = pane->dragMode() == 1 && !clips.empty() && clips.back() == "rect";
    SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c1.left() + 50, headerHeight / 2));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(c1.left() + 70, headerHeight / 2));
    check(confined && pane->columnWidth(1) == 70 && clips.back() == "null" && pane->dragMode() == 0,
          "a column border released at x gives the width x - left and frees the pointer");

    // Row 2 released on its own top edge.
    const Rect r2 = pane->cellRect(CellPos(1, 2));
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(headerWidth / 2, r2.bottom() - 1));
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(headerWidth / 2, r2.bottom() - 1));
    const bool rowDrag = pane->dragMode() == 1;
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(headerWidth / 2, r2.top()));
    check(rowDrag && pane->rowHeight(2) == 0, "a row border released on the row's own top edge gives height 0");

    // A lost capture ends the drag and keeps the size.
    const Rect c2 = pane->cellRect(CellPos(2, 1));
    const int width2 = pane->columnWidth(2);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(c2.right() - 1, headerHeight / 2));
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c2.right() - 1, headerHeight / 2));
    const bool started = pane->dragMode() == 1;
    SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c2.right() + 30, headerHeight / 2));
    clips.clear();
    SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
    check(started && clips == std::vector<std::string>({"null"}) && pane->columnWidth(2) == width2 &&
              pane->dragMode() == 0 && GetCapture() != hwnd,
          "WM_CANCELMODE in mid-drag frees the pointer, ends the drag and keeps the width");
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(c2.right() + 30, headerHeight / 2));
    check(pane->columnWidth(2) == width2, "the button going up after the lost capture changes nothing");

    // Another window takes the capture (a message box, Alt+Tab).
    const int width1 = pane->columnWidth(1);
    const Rect c1again = pane->cellRect(CellPos(1, 1));
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(c1again.right() - 1, headerHeight / 2));
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c1again.right() - 1, headerHeight / 2));
    const bool dragging = pane->dragMode() == 1 && GetCapture() == hwnd;
    clips.clear();
    SetCapture(dialog->hwnd);
    ReleaseCapture();
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(c1again.left() + 20, headerHeight / 2));
    check(dragging && clips == std::vector<std::string>({"null"}) && pane->dragMode() == 0 &&
              pane->columnWidth(1) == width1,
          "a capture taken by another window ends the drag and keeps the width");

    delete pane;
    setClipCursorCall(nullptr);
}

void testLargeModel(DialogFrameCL* dialog)
{
    SparseTableModel big(2, 100000);
    TablePaneCL* pane = new TablePaneCL(dialog, new Geometry(10, 220, 330, 110), 0, &big);
    pane->show(SW_SHOW);
    winecheck::pump();
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    GetScrollInfo(pane->hwnd, SB_VERT, &info);
    SendMessageA(pane->hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
    printf("large model: bar range %d..%d, first visible row %u\n", info.nMin, info.nMax,
           pane->getVisibleRange().row1);
    check(info.nMin == 1 && info.nMax == 25000 && pane->getVisibleRange().row1 == 9,
          "100000 rows: the bar runs to 25000 and thumb 3 shows row 9 first");

    const CellRange shown = pane->getVisibleRange();
    SendMessageA(pane->hwnd, WM_KEYDOWN, VK_NEXT, 1);
    check(pane->getVisibleRange().row1 == shown.row2, "Page Down brings the last visible row to the top");

    const CellRange before = pane->getVisibleRange();
    pane->setCurrentCell(CellPos(1, before.row2));
    key(pane->hwnd, VK_DOWN);
    check(pane->getCurrentCell() == CellPos(1, before.row2 + 1) && pane->getVisibleRange().row1 == before.row1 + 1,
          "Down past the visible rows scrolls one row");
    delete pane;
}

void testCellKinds(DialogFrameCL* dialog)
{
    TableModel model(3, 3);
    model.addAttribute(new BackgroundAttribute(CellRange(1, 1, 1, 3), Color(255, 255, 0)));
    model.addAttribute(new TextColorAttribute(CellRange(1, 1, 3, 3), Color(0, 0, 255)));
    new TextCell(&model, CellPos(1, 2), "gelb");
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP red = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ old = SelectObject(memory, red);
    HBRUSH fill = CreateSolidBrush(RGB(255, 0, 0));
    RECT all = {0, 0, 8, 8};
    FillRect(memory, &all, fill);
    SelectObject(memory, old);
    DeleteObject(fill);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    new BitmapCell(&model, CellPos(2, 2), new Bitmap(red));

    TablePaneCL* pane = new TablePaneCL(dialog, new Geometry(10, 220, 330, 110), 0, &model);
    pane->show(SW_SHOW);
    pane->setCurrentCell(CellPos(3, 3));
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    const Rect yellow = pane->cellRect(CellPos(1, 3));
    const Rect picture = pane->cellRect(CellPos(2, 2));
    const COLORREF inYellow = pixelOf(pane->hwnd, yellow.left() + 10, yellow.top() + 2);
    const COLORREF inPicture = pixelOf(pane->hwnd, picture.left() + 5, picture.top() + 5);
    const COLORREF besidePicture = pixelOf(pane->hwnd, picture.left() + 15, picture.top() + 5);
    check(sameColour(inYellow, 255, 255, 0), "a background attribute fills its cells");
    check(sameColour(inPicture, 255, 0, 0) && sameColour(besidePicture, 255, 255, 255),
          "a bitmap cell draws its bitmap 3 pixels in from the corner");
    delete pane;
}

// A column under a numeric mask: what is typed into its cells goes through
// the mask as in an edit field, and the cell stores the number; a plain
// column beside it takes any text.
void testFormattedCells(DialogFrameCL* dialog)
{
    TableModel model(2, 2);
    auto mask = [] { return new FieldCellFormatter<NumericMask>(new NumericMask(0, "-#,###", new IntlSettings())); };
    model.addAttribute(new FormatterAttribute(CellRange(1, 1, 1, 2), mask()));
    model.addAttribute(new AltFormatterAttribute(CellRange(1, 1, 1, 2), mask()));
    delete model.setCellText(CellPos(1, 1), "1234");
    TablePaneCL* pane = new TablePaneCL(dialog, new Geometry(10, 220, 330, 110), 0, &model);
    TableEditCL* editor = new TableEditCL(pane, 0, kEditorId + 1);
    pane->show(SW_SHOW);
    pane->setCurrentCell(CellPos(1, 1));
    check(editor->getCellFormatter() != nullptr && editor->formatter != nullptr,
          "the editor of a formatted cell types through the cell's edit mask");
    check(textOf(editor->hwnd) == "1,234", "it is loaded with the cell's masked text");
    check(!(GetWindowLongA(editor->hwnd, GWL_STYLE) & WS_BORDER), "the in-place editor has no border of its own");
    SetFocus(pane->hwnd);
    typeInto(pane->hwnd, "5");
    typeInto(editor->hwnd, "x678");
    check(textOf(editor->hwnd) == "5,678", "typed digits replace the text and are grouped, a letter is refused");
    SendMessageA(editor->hwnd, WM_CHAR, 13, 1);
    TableCell* cell = model.getCell(CellPos(1, 1));
    FormattedCell* number = dynamic_cast<FormattedCell*>(cell);
    check(number && number->getText() == "5,678" && number->value == "5678" && (number->flags & CELL_SECOND_FORMATTER),
          "Enter stores the plain number, which the model files as a number and shows grouped");

    pane->setCurrentCell(CellPos(2, 1));
    check(editor->getCellFormatter() == nullptr && editor->formatter == nullptr, "a plain cell has no mask");
    SetFocus(pane->hwnd);
    typeInto(pane->hwnd, "x");
    typeInto(editor->hwnd, "1,2");
    SendMessageA(editor->hwnd, WM_CHAR, 13, 1);
    check(cellText(model, 2, 1) == "x1,2", "... and takes any text");
    delete editor;
    delete pane;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    setErrorSink(&sink);
    disableErrorLog();
    std::string picture = app->commandLine.text() ? app->commandLine.text() : "";
    while (!picture.empty() && (picture[0] == ' ' || picture[0] == '"'))
        picture.erase(0, 1);
    while (!picture.empty() && (picture.back() == ' ' || picture.back() == '"'))
        picture.pop_back();

    check(LoadCursorA(app->instance, MAKEINTRESOURCEA(kColumnResizeCursor)) != nullptr &&
              LoadCursorA(app->instance, MAKEINTRESOURCEA(kRowResizeCursor)) != nullptr,
          "the two resize cursors are resources of the program");

    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(50, 50, 300, 200), WS_OVERLAPPEDWINDOW, "Tabellentest");
    frame->show(SW_SHOW);
    winecheck::pump();

    TableModel model(2, 5);
    for (uint32_t row = 1; row <= 5; ++row)
        new TextCell(&model, CellPos(1, row), "Sig " + std::to_string(row));
    model.addAttribute(new MarkAttribute(CellRange(1, 1, 1, 5)));

    FieldDialogCL* dialog = new FieldDialogCL(frame, ResourceId(kTableDialog));
    TablePaneCL* pane = new TablePaneCL(dialog, new Geometry(10, 10, 420, 200), 0, &model);
    pane->setColumnWidths(1, 2, 150);
    pane->setOption(HEADER_COLUMNS, HEADER_STORED);
    pane->setHeaderText(HEADER_COLUMNS, 1, "Aktueller Name");
    pane->setHeaderText(HEADER_COLUMNS, 2, "Neuer Name");
    pane->allowColumnResize(false);
    pane->allowRowResize(false);
    HookLog hooks;
    pane->setCurrentCellHook(TableHook(&hooks, &HookLog::current));
    pane->setSelectionHook(TableHook(&hooks, &HookLog::selection));
    TableEditCL* editor = new TableEditCL(pane, 0, kEditorId);
    dialog->show(SW_SHOW);
    pane->show(SW_SHOW);
    winecheck::pump();
    check(pane->columnWidth(1) == 150 && (GetWindowLongA(pane->hwnd, GWL_STYLE) & WS_TABSTOP) &&
              SendMessageA(pane->hwnd, WM_GETDLGCODE, 0, 0) == (DLGC_WANTARROWS | DLGC_WANTCHARS),
          "the pane is a tab stop that wants arrows and characters");
    int headerWidth = 0, headerHeight = 0;
    pane->getHeaderSize(headerWidth, headerHeight);
    const TableGeometry& g = pane->geometryOf();
    check(headerWidth == g.defaultColumnWidth - 10 && headerHeight == g.defaultRowHeight + 5,
          "the header sizes follow the default cell size");

    testEditing(model, pane, editor);
    testKeys(pane, dialog);
    testClicks(model, pane, editor, hooks);

    // The picture after the edits, with (2, 2) current and nothing selected.
    pane->setCurrentCell(CellPos(2, 2));
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::pump();
    if (!picture.empty())
        check(winecheck::saveWindowPicture(dialog->hwnd, picture), "the picture of the table dialog is written");
    const Rect current = pane->cellRect(CellPos(2, 2));
    const Rect plain = pane->cellRect(CellPos(2, 4));
    const Rect header = Rect(pane->cellRect(CellPos(1, 1)).left(), 0, pane->cellRect(CellPos(1, 1)).right(),
                             headerHeight);
    const COLORREF focusPixel = pixelOf(pane->hwnd, current.left() + 1, current.top() + 5);
    const COLORREF gridPixel = pixelOf(pane->hwnd, plain.left(), (plain.top() + plain.bottom()) / 2);
    const COLORREF headerLight = pixelOf(pane->hwnd, header.left(), header.top() + 1);
    const COLORREF headerShadow = pixelOf(pane->hwnd, header.left() + 2, header.bottom() - 1);
    printf("pixels: focus %06lx, grid %06lx, header %06lx / %06lx\n", static_cast<unsigned long>(focusPixel),
           static_cast<unsigned long>(gridPixel), static_cast<unsigned long>(headerLight),
           static_cast<unsigned long>(headerShadow));
    check(sameColour(focusPixel, 0, 0, 0), "the current cell has its inner black frame");
    check(sameColour(gridPixel, 200, 200, 200), "a plain cell's border is drawn in the grid colour");
    check(sameColour(headerLight, 255, 255, 255) && sameColour(headerShadow, 128, 128, 128),
          "a raised column header is white at the top left and gray at the bottom");

    testDialogKeys(model, pane, editor, dialog);
    testBorderDrags(dialog);
    testLargeModel(dialog);
    testCellKinds(dialog);
    testFormattedCells(dialog);

    // A model that shrinks under the current cell.
    pane->setCurrentCell(CellPos(2, 5));
    model.setSize(2, 3);
    SetFocus(pane->hwnd);
    typeInto(pane->hwnd, "S");
    SendMessageA(editor->hwnd, WM_CHAR, 13, 1);
    check(pane->getCurrentCell() == CellPos(2, 3) && cellText(model, 2, 3) == "S",
          "after the model shrank to 3 rows the next edit stores into row 3");

    TableCell* outside = model.setCellText(CellPos(3, 1), "verloren");
    check(outside == nullptr && model.getCell(CellPos(3, 1)) == nullptr,
          "text for a cell outside the model is refused and nothing is stored");

    delete editor;
    delete pane;
    DestroyWindow(dialog->hwnd);
    winecheck::pump();
    delete dialog;
    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
    check(sink.boxes.empty(), "no error was reported");
    app->exitCode = winecheck::summary();
}
