// Under wine: plot frames in the workspace's slots, fed as a run feeds them.
// The window at its first size, 400 x 400: readable tick labels clear of
// each other and of the plot area, thinned when wide, status fields that
// hold their texts (saved as plot-small.png and plot-small-wide.png).
// Title and date stamp, close refused during a run, the drawing (saved as
// plot-run.png), the clipboard picture, solid grid lines, the background
// colour, rescale, scrolling with its beep, zoom by mouse, the tool bar and
// status bars, printing with no printer (a box) and onto a stand-in printer
// (saved as plot-print.png), freezing (also from a free frame), the exports
// (also through the real save dialog, and names without an extension), the
// font dialog, the options dialog (saved as plot-options.png), and the
// frames' lifetime.
//
//   plot_frame_test PNG-PATH
#include "ActivePlotServices.h"
#include "Application.h"
#include "Dialog.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "Menu.h"
#include "NumberFormat.h"
#include "PlotBars.h"
#include "PlotFrame.h"
#include "PlotNetErrorSystem.h"
#include "PlotOptionsDialog.h"
#include "PlotPane.h"
#include "Printing.h"
#include "Profile.h"
#include "RecordingUi.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "StandInPrinter.h"
#include "WineCheck.h"
#include "WinMap.h"
#include "Workspace.h"
#include "WorkspacePlotHost.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

using winecheck::check;

namespace {

const COLORREF kBack = RGB(255, 255, 232);
const COLORREF kGrid = RGB(0, 64, 128);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 128, 0);

int beeps = 0;
void countBeep()
{
    ++beeps;
}

uint32_t chooserAnswer = 0;
bool answerChooser(WindowCL*, uint32_t& colour)
{
    colour = chooserAnswer;
    return true;
}

// The tool bar and status bars as the seam sees them.
struct RecordingBars : PlotFrameBars {
    std::vector<std::string> calls;
    void enableCommand(int command, bool enabled) override
    {
        calls.push_back("enable " + std::to_string(command) + (enabled ? " on" : " off"));
    }
    void checkCommand(int command, bool checked) override
    {
        calls.push_back("check " + std::to_string(command) + (checked ? " on" : " off"));
    }
    void setStatusField(int bar, int field, const char* text) override
    {
        calls.push_back("field " + std::to_string(bar) + "." + std::to_string(field) + " " + text);
    }
};
RecordingBars recordingBars;
int barsMade = 0;
PlotFrameBars* makeRecordingBars(PlotFrame*)
{
    ++barsMade;
    return &recordingBars;
}

bool recorded(const std::string& call)
{
    for (const std::string& c : recordingBars.calls)
        if (c == call)
            return true;
    return false;
}

PlotFrame* slotFrame(Workspace& ws, int n)
{
    return dynamic_cast<PlotFrame*>(ws.plotWindows[n - 1]);
}

std::string windowTitle(HWND hwnd)
{
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// "dd.mm.yyyy, hh:mm:ss"
bool isDateStamp(const char* s)
{
    const char* shape = "00.00.0000, 00:00:00";
    if (strlen(s) != strlen(shape))
        return false;
    for (size_t i = 0; shape[i]; ++i)
        if (shape[i] == '0' ? !(s[i] >= '0' && s[i] <= '9') : s[i] != shape[i])
            return false;
    return true;
}

// What a run feeds: sin t, cos t and a ramp over 0 .. tEnd.
void feedRun(PlotServices& plot, double tEnd, double step)
{
    plot.setRunState(0);
    plot.setSignals(3);
    plot.setTitle("Zeit");
    plot.setSignal(0, "sinus", plotColour(255, 0, 0));
    plot.setSignal(1, "cosinus", plotColour(0, 128, 0));
    plot.setSignal(2, "rampe", plotColour(0, 0, 128));
    plot.setPagingMode(kPlotPagingTime);
    plot.stampDateTime();
    plot.setStatusText("regelkreis.kyt");
    plot.setRunState(1);
    plot.clearPoints();
    int n = static_cast<int>(std::lround(tEnd / step));
    for (int i = 0; i <= n; ++i) {
        double t = i * step;
        double v[3] = {std::sin(t), std::cos(t), t / tEnd};
        plot.addPoint(t, v, 3);
    }
    plot.rescale();
}

RECT windowRectIn(HWND child, HWND parent)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT fieldRect(StatusField* f)
{
    const Rect b = f->bounds();
    return RECT{b.left(), b.top(), b.right(), b.bottom()};
}

void clickButton(HWND button)
{
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 12));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(13, 12));
}

void checkText(bool ok, const std::string& what)
{
    check(ok, what.c_str());
}

// Whether the text fits into the field's inside.
bool fieldHolds(StatusBarCL* bar, StatusField* field, const std::string& text)
{
    if (!bar || !field)
        return false;
    RECT inner = field->innerRect();
    return bar->textWidth(text.c_str()) <= inner.right - inner.left;
}

// The longest texts of a run ("t=%12.6g", "h=%12.6g", "tsim=%.1f") and the
// date stamp fit their fields.
void checkFieldsHoldTheirTexts(PlotFrame* frame, const std::string& where)
{
    PlotBars* bars = dynamic_cast<PlotBars*>(frame->frameBars());
    StatusBarCL* status = bars ? bars->statusBar(kPlotStatusBar) : nullptr;
    StatusBarCL* second = bars ? bars->statusBar(kPlotSecondBar) : nullptr;
    if (!status || !second) {
        checkText(false, "the frame has its status bars " + where);
        return;
    }
    const std::string date = second->fieldById(2) ? second->fieldById(2)->getText() : std::string();
    checkText(fieldHolds(status, status->fieldById(1), "t=-1.23457e-05") &&
              fieldHolds(status, status->fieldById(2), "h= 1.23457e-05") &&
              fieldHolds(status, status->fieldById(3), "tsim=12345.6"),
          "\"t=-1.23457e-05\", \"h= 1.23457e-05\" and \"tsim=12345.6\" fit their fields " + where);
    checkText(isDateStamp(date.c_str()) && fieldHolds(second, second->fieldById(2), date),
          "the date stamp \"" + date + "\" fits its field " + where);
}

// The frame's own tool bar and status bars: a 30-pixel bar at the top
// with the eight buttons in order, "status" at the bottom with three
// fields and the second bar above it with two, the pane between them.
void checkBars(PlotFrame* frame)
{
    PlotBars* bars = dynamic_cast<PlotBars*>(frame->frameBars());
    check(bars != nullptr, "a frame has its own tool bar and status bars");
    if (!bars)
        return;
    ToolBarCL* tbar = bars->toolBar();
    StatusBarCL* status = bars->statusBar(kPlotStatusBar);
    StatusBarCL* second = bars->statusBar(kPlotSecondBar);
    RECT client;
    GetClientRect(frame->hwnd, &client);
    RECT barRect = windowRectIn(tbar->hwnd, frame->hwnd);
    check(barRect.top == 0 && barRect.bottom == 30 && barRect.left == 0 && barRect.right == client.right,
          "the tool bar is 30 pixels high across the top");

    // Button order and gaps: 27 x 25 buttons side by side, 16 pixels
    // between the groups.
    bool ordered = true;
    int expectedX = -1, n = 0;
    for (int i = 0; i < kPlotToolButtonCount; ++i) {
        const PlotToolButton& entry = kPlotToolButtons[i];
        if (!entry.command) {
            expectedX += entry.gap;
            continue;
        }
        BmpButtonCL* button = tbar->button(kKytPlotFrameIds.*entry.command);
        if (!button) {
            ordered = false;
            continue;
        }
        RECT r = windowRectIn(button->hwnd, tbar->hwnd);
        if (expectedX < 0)
            expectedX = r.left;
        ordered = ordered && r.left == expectedX && r.right - r.left == 27 && r.bottom - r.top == 25 && r.top >= 2;
        expectedX = r.left + 27;
        ++n;
    }
    const int expectedOrder[] = {2003, 151, 116, 158, 7834, 1124, 150, 4711};
    std::vector<std::pair<int, int>> found;
    for (int id : expectedOrder)
        if (BmpButtonCL* b = tbar->button(id))
            found.push_back({windowRectIn(b->hwnd, tbar->hwnd).left, id});
    std::sort(found.begin(), found.end());
    bool order = found.size() == 8;
    for (size_t i = 0; order && i < found.size(); ++i)
        order = found[i].second == expectedOrder[i];
    check(ordered && n == 8 && order, "eight 27 x 25 buttons: 2003 151 116 | 158 7834 1124 | 150 | 4711");
    check(tbar->button(161) == nullptr && tbar->button(12780) == nullptr, "copy and the colours have no button");

    // The status bars.
    RECT statusRect = windowRectIn(status->hwnd, frame->hwnd);
    RECT secondRect = windowRectIn(second->hwnd, frame->hwnd);
    RECT paneRect = windowRectIn(frame->pane()->hwnd, frame->hwnd);
    check(statusRect.bottom == client.bottom && secondRect.bottom == statusRect.top,
          "\"status\" is the lowest bar, the second bar right above it");
    check(paneRect.top == 30 && paneRect.bottom == secondRect.top && paneRect.right == client.right,
          "the pane fills the rest");
    check(status->fields.size() == 3 && second->fields.size() == 2, "three fields in \"status\", two in the second");
    StatusField* f1 = status->fieldById(1);
    StatusField* f2 = status->fieldById(2);
    StatusField* f3 = status->fieldById(3);
    StatusField* g1 = second->fieldById(1);
    StatusField* g2 = second->fieldById(2);
    if (!f1 || !f2 || !f3 || !g1 || !g2) {
        check(false, "the fields are addressed by their numbers");
        return;
    }
    RECT r1 = fieldRect(f1), r2 = fieldRect(f2), r3 = fieldRect(f3), q1 = fieldRect(g1), q2 = fieldRect(g2);
    printf("status fields %d | %d | %d, second %d | %d\n", int(r1.right - r1.left), int(r2.right - r2.left),
           int(r3.right - r3.left), int(q1.right - q1.left), int(q2.right - q2.left));
    check(r1.left < r2.left && r1.right <= r2.left && r2.right <= r3.left && r3.right > r2.right,
          "\"status\": field 1 at the left, field 3 at the right, field 2 between");
    check(q1.right <= q2.left && q1.right - q1.left > q2.right - q2.left,
          "second bar: field 2 at the right, field 1 the rest");
    check(isDateStamp(g2->getText().c_str()), "the second bar's field 2 shows the date stamp");
    checkFieldsHoldTheirTexts(frame, "at 640 x 520");

    // A click on a button is the command; two-state buttons follow it.
    HMENU menu = GetMenu(frame->hwnd);
    PlotModel& m = frame->pane()->model;
    int before = m.gridStyle;
    clickButton(tbar->button(1124)->hwnd);
    check(m.gridStyle != before && tbar->isButtonChecked(1124) == (m.gridStyle == 1 ? 1 : 0) &&
              ((GetMenuState(menu, 1124, MF_BYCOMMAND) & MF_CHECKED) != 0) == (m.gridStyle == 1),
          "a click on 1124 toggles the grid lines; button and menu item show the state");
    clickButton(tbar->button(1124)->hwnd);
    check(m.gridStyle == before && tbar->isButtonChecked(1124) == (m.gridStyle == 1 ? 1 : 0),
          "a second click toggles back");
}

RECT areaOf(PlotPane* pane)
{
    PlotModel& m = pane->model;
    return RECT{m.areaLeft() + 1, m.areaTop() + 1, m.areaRight(), m.areaBottom()};
}

// The character height of the system's dialog font.
int dialogFontHeight()
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}

bool overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

RECT textBox(HDC dc, const String& text, int x, int y, UINT align)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.text(), static_cast<int>(text.getLength()), &size);
    int left = align == TA_CENTER ? x - size.cx / 2 : align == TA_RIGHT ? x - size.cx : x;
    return RECT{left, y, left + size.cx, y + size.cy};
}

// Whether the tick labels, the x title and the legend lines, as the pane
// draws them in its tick font, are clear of each other and of the plot
// area; inside tells whether they lie within the pane.
bool labelsClear(PlotPane* pane, bool* inside)
{
    PlotModel& m = pane->model;
    RECT client;
    GetClientRect(pane->hwnd, &client);
    HDC dc = GetDC(pane->hwnd);
    HGDIOBJ oldFont = SelectObject(dc, pane->tickFont()->font());
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    // Every text as the pane draws it.
    std::vector<RECT> boxes;
    for (int i = 0; i <= m.xDivisions(); i += m.xLabelStep())
        boxes.push_back(textBox(dc, m.xTickLabel(i), m.deviceX(m.left + i * m.gridPx), m.xLabelTop(), TA_CENTER));
    for (int k = 0; k <= m.yDivisions(); k += m.yLabelStep())
        boxes.push_back(textBox(dc, m.yTickLabel(k), m.yLabelRight(),
                                m.deviceY(m.bottom + k * m.gridPx) - tm.tmHeight / 2, TA_RIGHT));
    int maxW = textBox(dc, m.xTitle, 0, 0, TA_LEFT).right;
    for (const SignalEntry& s : m.signals)
        maxW = std::max<int>(maxW, textBox(dc, s.name, 0, 0, TA_LEFT).right);
    const int legendX = m.drawingWidth() - 10 - maxW;
    boxes.push_back(textBox(dc, m.xTitle, legendX, m.xLabelTop(), TA_LEFT));
    const int legendTop = static_cast<int>(std::lround(m.bottom * m.yFactor));
    int line = 0;
    for (int i : m.legendOrder())
        boxes.push_back(textBox(dc, m.signals[i].name, legendX, legendTop + (++line + 1) * (tm.tmHeight + tm.tmExternalLeading),
                                TA_LEFT));
    SelectObject(dc, oldFont);
    ReleaseDC(pane->hwnd, dc);
    const RECT area = {m.areaLeft(), m.areaTop(), m.areaRight() + 1, m.areaBottom() + 1};
    bool clear = true;
    *inside = true;
    for (size_t i = 0; i < boxes.size(); ++i) {
        clear = clear && !overlap(boxes[i], area);
        *inside = *inside && boxes[i].left >= 0 && boxes[i].top >= 0 && boxes[i].right <= client.right &&
                 boxes[i].bottom <= client.bottom;
        for (size_t j = i + 1; j < boxes.size(); ++j)
            clear = clear && !overlap(boxes[i], boxes[j]);
    }
    return clear;
}

// Plot window 1 as the workspace opens it, 400 x 400, fed by a run: tick
// labels, legend and x title in a font as high as the dialog font at
// least, thinned where neighbours would touch, clear of each other and of
// the plot area, and the status fields hold the run's texts.
void checkSmallWindow(PlotFrame* frame, Workspace& ws, const std::string& picture)
{
    RECT window;
    GetWindowRect(frame->hwnd, &window);
    check(window.right - window.left == 400 && window.bottom - window.top == 400, "plot window 1 opens at 400 x 400");
    ActivePlotServices active;
    ws.setSimulationRunningUi(0);
    feedRun(active, 10.0, 0.01);
    ActivePlotServices::setStatus(1, "t=          10");
    ActivePlotServices::setStatus(2, "h= 1.23457e-05");
    ActivePlotServices::setStatus(3, "tsim=12345.6");
    ws.setSimulationStoppedUi(0);
    PlotPane* pane = frame->pane();
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::pump();

    PlotModel& m = pane->model;
    RECT client;
    GetClientRect(pane->hwnd, &client);
    HDC dc = GetDC(pane->hwnd);
    HGDIOBJ oldFont = SelectObject(dc, pane->tickFont()->font());
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    const int dialog = dialogFontHeight();
    printf("400 x 400: pane %d x %d, tick font %d pixels high (dialog font %d, %d by the millimetres), labels on "
           "every %d. / %d. line, plot area %d x %d\n",
           int(client.right), int(client.bottom), int(tm.tmHeight), dialog, m.tickFontHeight(0), m.xLabelStep(),
           m.yLabelStep(), m.areaRight() - m.areaLeft(), m.areaBottom() - m.areaTop());
    check(dialog >= 11 && tm.tmHeight >= dialog, "the tick font is at least as high as the dialog font");
    SelectObject(dc, oldFont);

    bool inside = false;
    const bool clear = labelsClear(pane, &inside);
    check(clear, "tick labels, x title and legend are clear of each other and of the plot area");
    check(inside, "... and inside the pane");

    // The numbers under the plot area as drawn: digits of readable height.
    const COLORREF scale = RGB(GetRValue(m.scaleColour), GetGValue(m.scaleColour), GetBValue(m.scaleColour));
    int rows = 0;
    for (int y = m.areaBottom() + 2; y < client.bottom; ++y) {
        RECT row = {m.areaLeft() + 1, y, m.areaRight(), y + 1};
        if (winecheck::countPixels(dc, row, scale) > 0)
            ++rows;
    }
    ReleaseDC(pane->hwnd, dc);
    printf("x labels drawn %d pixel rows high\n", rows);
    check(rows >= 7, "the x labels' digits are drawn 7 pixels high at least");
    checkFieldsHoldTheirTexts(frame, "at 400 x 400");

    // The clipboard's bitmap keeps the layout of tenths of a millimetre (its
    // plot area ends 1150 units from the left); the window keeps its own,
    // whose legend took room.
    const int fittedRight = m.areaRight();
    const double fittedFactor = m.xFactor;
    const int ruleRight = static_cast<int>(std::lround(1150 * client.right / 1300.0));
    const int midY = (m.areaTop() + m.areaBottom()) / 2 + 2;
    SendMessageA(frame->hwnd, WM_COMMAND, 161, 0);
    winecheck::pump();
    COLORREF atRule = CLR_INVALID, atFitted = CLR_INVALID;
    if (OpenClipboard(frame->hwnd)) {
        if (HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
            HDC mem = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(mem, bitmap);
            atRule = GetPixel(mem, ruleRight, midY);
            atFitted = GetPixel(mem, fittedRight, midY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        CloseClipboard();
    }
    printf("plot area to x = %d in the window, %d in the bitmap\n", fittedRight, ruleRight);
    check(ruleRight != fittedRight && atRule == kGrid && atFitted != kGrid,
          "the clipboard's bitmap has its plot area where tenths of a millimetre put it");
    check(m.areaRight() == fittedRight && m.xFactor == fittedFactor, "... and the window keeps its layout");
    if (!picture.empty())
        check(winecheck::saveWindowPicture(frame->hwnd, winecheck::pictureFolder(picture) + "plot-small.png"),
              "the picture of the 400 x 400 window is saved");

    // A run to t = 100000: labels "10000." to "100000." would touch, so
    // every second one is left out.
    ws.setSimulationRunningUi(0);
    feedRun(active, 100000.0, 100.0);
    ws.setSimulationStoppedUi(0);
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::pump();
    printf("to t = 100000: labels on every %d. / %d. line, x from %s to %s\n", m.xLabelStep(), m.yLabelStep(),
           m.xTickLabel(0).text(), m.xTickLabel(m.xDivisions()).text());
    const bool wideClear = labelsClear(pane, &inside);
    check(m.xLabelStep() == 2 && wideClear && inside,
          "wide x labels are thinned to every second one, clear of each other and of the plot area");
    if (!picture.empty())
        check(winecheck::saveWindowPicture(frame->hwnd, winecheck::pictureFolder(picture) + "plot-small-wide.png"),
              "its picture is saved");
}

void checkDrawing(PlotFrame* frame, const std::string& picture)
{
    PlotPane* pane = frame->pane();
    HDC dc = GetDC(pane->hwnd);
    RECT area = areaOf(pane);
    RECT client;
    GetClientRect(pane->hwnd, &client);
    RECT legend = {pane->model.areaRight() + 2, 0, client.right, client.bottom};
    int back = winecheck::countPixels(dc, area, kBack);
    int cells = (area.right - area.left) * (area.bottom - area.top);
    check(back > cells / 2, "the plot area is mostly the background (255,255,232)");
    RECT frameLine = {pane->model.areaLeft(), pane->model.areaTop(), pane->model.areaRight() + 1,
                      pane->model.areaTop() + 1};
    check(winecheck::countPixels(dc, frameLine, kGrid) > (frameLine.right - frameLine.left) / 2,
          "the frame line is drawn in (0,64,128)");
    check(winecheck::countPixels(dc, area, kRed) > 50 && winecheck::countPixels(dc, area, kGreen) > 50,
          "the plot area holds the red and green curves");
    check(winecheck::countPixels(dc, legend, kRed) > 5 && winecheck::countPixels(dc, legend, kGreen) > 5,
          "the legend right of it holds red and green names");
    ReleaseDC(pane->hwnd, dc);
    if (!picture.empty())
        check(winecheck::saveWindowPicture(frame->hwnd, picture), "the plot picture is saved");
}

void checkClipboard(PlotFrame* frame)
{
    PlotPane* pane = frame->pane();
    SendMessageA(frame->hwnd, WM_COMMAND, 161, 0);
    winecheck::pump();
    RECT client;
    GetClientRect(pane->hwnd, &client);
    bool ok = false;
    bool same = true;
    if (OpenClipboard(frame->hwnd)) {
        HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        BITMAP info = {};
        if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
            ok = info.bmWidth == client.right && info.bmHeight == client.bottom;
            HDC screen = GetDC(nullptr);
            HDC mem = CreateCompatibleDC(screen);
            HGDIOBJ old = SelectObject(mem, bitmap);
            HDC paneDc = GetDC(pane->hwnd);
            PlotModel& m = pane->model;
            POINT probes[3] = {{m.areaLeft(), (m.areaTop() + m.areaBottom()) / 2},
                               {(m.areaLeft() + m.areaRight()) / 2, m.areaTop() + 3},
                               {client.right - 3, client.bottom - 3}};
            for (const POINT& p : probes)
                if (GetPixel(mem, p.x, p.y) != GetPixel(paneDc, p.x, p.y))
                    same = false;
            ReleaseDC(pane->hwnd, paneDc);
            SelectObject(mem, old);
            DeleteDC(mem);
            ReleaseDC(nullptr, screen);
        }
        CloseClipboard();
    }
    check(ok, "161 leaves a CF_BITMAP of the pane's client size");
    check(same, "its pixels equal the window's at three points");
}

// Pixels of the grid colour along horizontal grid line 5, inside the area.
int gridPixelsOnLine(PlotPane* pane, int* length)
{
    PlotModel& m = pane->model;
    int y = m.deviceY(m.bottom + 5 * m.gridPx);
    RECT line = {m.areaLeft() + 1, y, m.areaRight(), y + 1};
    *length = line.right - line.left;
    HDC dc = GetDC(pane->hwnd);
    int n = winecheck::countPixels(dc, line, RGB(GetRValue(m.gridColour), GetGValue(m.gridColour),
                                                 GetBValue(m.gridColour)));
    ReleaseDC(pane->hwnd, dc);
    return n;
}

StandInPrinter standIn;

bool confirmSetup(WindowCL*, PrinterDC&)
{
    return true;
}

bool cancelSetup(WindowCL*, PrinterDC&)
{
    return false;
}

// A top-level window of this process with that title, of any class (the
// framework's dialogs have classes of their own).
struct TitleSearch {
    const char* title;
    HWND found;
};

BOOL CALLBACK matchTitle(HWND hwnd, LPARAM p)
{
    TitleSearch* s = reinterpret_cast<TitleSearch*>(p);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char text[100] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (process == GetCurrentProcessId() && strcmp(text, s->title) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND findOwnWindow(const char* title)
{
    TitleSearch search = {title, nullptr};
    EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int idleCount()
{
    return theApplication->idleTasks.getCount();
}

// Idle passes (with the messages between them) until the job is done.
void finishJob()
{
    for (int i = 0; i < 20 && idleCount() > 0; ++i) {
        theApplication->runIdleTasks();
        winecheck::pump();
    }
    winecheck::pump();
}

// A printed page: white, with a black grid and frame, the status and date
// line above the plot area, whose width is 10 cm of the page (15 with
// printLarge).
bool checkPage(HDC page, bool large, int* width)
{
    const double xmetric = kPageWidth / 2100.0;
    const double ymetric = kPageHeight / 2970.0;
    const double k = large ? 1.5 : 1.0;
    const int h = static_cast<int>(std::lround(1250 * ymetric * k));
    const int left = static_cast<int>(std::lround(150 * xmetric * k));
    const int right = static_cast<int>(std::lround(1150 * xmetric * k));
    const int top = h - static_cast<int>(std::lround(1100 * ymetric * k));
    const int bottom = h - static_cast<int>(std::lround(100 * ymetric * k));
    int inkLeft = -1, inkRight = -1;
    for (int x = left - 5; x <= right + 5; ++x)
        if (GetPixel(page, x, top) != RGB(255, 255, 255)) {
            if (inkLeft < 0)
                inkLeft = x;
            inkRight = x;
        }
    *width = inkRight - inkLeft;
    RECT inside = {left + 2, top + 2, right - 1, bottom - 1};
    const int cells = (inside.right - inside.left) * (inside.bottom - inside.top);
    RECT above = {left, 0, right, top};
    RECT below = {0, h + 5, kPageWidth, kPageHeight};
    const int midY = (top + bottom) / 2 + 3;
    return std::abs(*width - (large ? 591 : 394)) <= 2 && GetPixel(page, left, midY) == RGB(0, 0, 0) &&
           winecheck::countPixels(page, inside, RGB(255, 255, 255)) > cells / 2 &&
           winecheck::countPixels(page, inside, kGrid) == 0 &&
           winecheck::countPixels(page, inside, RGB(0, 0, 0)) > 0 &&
           winecheck::countPixels(page, above, RGB(0, 0, 0)) > 20 && !winecheck::hasInk(page, below, RGB(255, 255, 255));
}

// 2003: no printer, a cancelled set-up, one page on the stand-in printer
// (normal and large), a second 2003 during a job, and a frame that goes
// while its job still runs.
void checkPrinting(PlotFrame* frame, AppFrameCL* mainFrame, PlotFrameHost* host, const std::string& picture)
{
    PlotModel& m = frame->pane()->model;
    setPrinterDevice(&standIn);

    TableProfile none;
    setProfileSource(&none);
    standIn.begin();
    beeps = 0;
    setPlotBeepHook(countBeep);
    {
        winecheck::BoxWatcher box("Kann nicht drucken", IDOK);
        SendMessageA(frame->hwnd, WM_COMMAND, 2003, 0);
        check(box.found() && box.text() == "Kein Druckertreiber vorhanden",
              "2003 with no printer says \"Kein Druckertreiber vorhanden\" in a box \"Kann nicht drucken\"");
    }
    check(standIn.created == 0 && idleCount() == 0 && !findOwnWindow("Drucken ...") && !PrintJob::current(),
          "... and starts no job");

    TableProfile profile;
    profile.set("windows", "Device", "Testdrucker,teststub,FILE:");
    setProfileSource(&profile);
    standIn.begin();
    setPlotPrintSetup(cancelSetup);
    SendMessageA(frame->hwnd, WM_COMMAND, 2003, 0);
    check(standIn.count("StartDoc:Oszi-Ausdruck") == 0 && standIn.count("DeleteDC") == 1 && idleCount() == 0,
          "a cancelled set-up prints nothing and lets the printer go");
    setPlotPrintSetup(confirmSetup);
    for (int large = 0; large <= 1; ++large) {
        m.printLarge = large;
        standIn.begin();
        bool pageOk = false;
        int width = -1;
        standIn.onPage = [&](HDC page) {
            pageOk = checkPage(page, large != 0, &width);
            if (!picture.empty())
                winecheck::savePicture(page, 0, 0, kPageWidth, kPageHeight,
                                       winecheck::pictureFolder(picture) +
                                           (large ? "plot-print-large.png" : "plot-print.png"));
        };
        beeps = 0;
        SendMessageA(frame->hwnd, WM_COMMAND, 2003, 0);
        HWND dialog = findOwnWindow("Drucken ...");
        char said[100] = "";
        GetDlgItemTextA(dialog, 101, said, sizeof said);
        check(dialog && IsWindowVisible(dialog) && GetDlgItem(dialog, IDCANCEL) &&
                  strcmp(said, "Das Dokument wird gedruckt.") == 0 && PrintJob::current(),
              "2003 runs a job with the abort dialog \"Drucken ...\" (21001)");
        SendMessageA(frame->hwnd, WM_COMMAND, 2003, 0);
        check(beeps == 1 && standIn.count("StartDoc:Oszi-Ausdruck") == 1, "a second 2003 meanwhile only beeps");
        finishJob();
        printf("printed plot area %d pixels wide\n", width);
        const std::vector<std::string> expected = {"SetAbortProc", "StartDoc:Oszi-Ausdruck", "StartPage",
                                                   "EndPage", "EndDoc", "DeleteDC"};
        check(standIn.log == expected, "the job \"Oszi-Ausdruck\" prints one page");
        check(pageOk, large ? "printed large: the plot area is 15 cm, white with black grid and frame, text above"
                            : "printed: the plot area is 10 cm, white with black grid and frame, text above");
        check(!IsWindow(dialog) && !PrintJob::current() && idleCount() == 0, "then the job and its dialog are gone");
    }
    m.printLarge = 1;

    // A frame that goes while its job runs abandons the job.
    PlotFrame* extra = new PlotFrame(mainFrame, 500, 0, 400, 300, WS_OVERLAPPEDWINDOW, "Druck", host, kKytPlotFrameIds);
    extra->show(SW_SHOW);
    standIn.begin();
    SendMessageA(extra->hwnd, WM_COMMAND, 2003, 0);
    DestroyWindow(extra->hwnd);
    finishJob();
    check(standIn.count("AbortDoc") == 1 && standIn.count("EndDoc") == 0 && standIn.count("DeleteDC") == 1 &&
              idleCount() == 0 && !PrintJob::current(),
          "a frame destroyed while printing abandons its job");

    setPlotPrintSetup(nullptr);
    setPlotBeepHook(nullptr);
    setProfileSource(nullptr);
    setPrinterDevice(nullptr);
}

// The name field of the file dialogs: a combo box with an edit.
const int kNameCombo = 0x47c;

// The answers of the exports' questions, and what they were asked.
std::string chosenPath;
std::string askedTitle;
std::vector<std::string> offeredFilters;
std::string offeredExtension;
bool replaceAnswer = false;
std::string askedText;
std::string askedCaption;

bool answerFile(WindowCL*, const char* title, const char* const* filters, const char* extension, String& path)
{
    askedTitle = title ? title : "";
    offeredExtension = extension ? extension : "";
    offeredFilters.clear();
    for (const char* const* f = filters; f && *f; ++f)
        offeredFilters.push_back(*f);
    path = chosenPath.c_str();
    return true;
}

bool answerReplace(WindowCL*, const char* text, const char* caption)
{
    askedText = text ? text : "";
    askedCaption = caption ? caption : "";
    return replaceAnswer;
}

class RecordingSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char* title) override { boxes.push_back(std::string(title) + "|" + text); }
    [[noreturn]] void endProcess(int exitCode) override
    {
        fflush(stdout);
        ExitProcess(static_cast<UINT>(exitCode));
    }
    std::vector<std::string> boxes;
};

std::string fileText(const std::string& path)
{
    std::string text;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        fclose(f);
    }
    return text;
}

void writeText(const std::string& path, const char* text)
{
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fputs(text, f);
        fclose(f);
    }
}

// 151 and 116 on a fed frame (title "Zeit", sinus, cosinus, rampe).
void checkExports(PlotFrame* frame, const std::string& picture)
{
    std::string folder = winecheck::pictureFolder(picture);
    if (folder.compare(0, 2, "Z:") == 0 || folder.compare(0, 2, "z:") == 0)
        folder.erase(0, 2);
    if (folder.empty())
        folder = "/tmp/";
    const std::string ascii = folder + "plot-export.txt";
    const std::string matlab = folder + "plot-export.m";
    remove(ascii.c_str());
    remove(matlab.c_str());
    setPlotFileChooser(answerFile);
    setPlotReplaceQuestion(answerReplace);
    RecordingSink sink;
    setErrorSink(&sink);
    const size_t points = frame->pane()->model.pointCount();

    chosenPath = ascii;
    SendMessageA(frame->hwnd, WM_COMMAND, 151, 0);
    std::string text = fileText(ascii);
    check(askedTitle == "Speichere als ASCII Datei ..." && text.rfind("#Zeit sinus cosinus rampe\n0. ", 0) == 0 &&
              static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) == points + 1,
          "151 asks \"Speichere als ASCII Datei ...\" and writes a header and one line per point");

    chosenPath = matlab;
    SendMessageA(frame->hwnd, WM_COMMAND, 116, 0);
    text = fileText(matlab);
    check(askedTitle == "Speichere als *.m Datei ..." && offeredFilters.size() == 2 &&
              offeredFilters[0] == "MATLAB command (*.m)" && offeredFilters[1] == "*.m",
          "116 asks \"Speichere als *.m Datei ...\" offering \"MATLAB command (*.m)\"");
    check(text.rfind("Zeit = [\n0.,\n", 0) == 0 && endsWith(text, "];\nplot(Zeit,sinus, Zeit,cosinus, Zeit,rampe);\n"),
          "and writes the MATLAB command file");

    // An existing file: the question, and No writes nothing.
    writeText(ascii, "alt\n");
    chosenPath = ascii;
    replaceAnswer = false;
    askedText.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, 151, 0);
    check(askedText == "Soll die bereits existierende Datei\n" + ascii + "\nersetzt werden?" &&
              askedCaption == "Warnung:",
          "an existing file asks \"Soll die bereits existierende Datei ... ersetzt werden?\", \"Warnung:\"");
    check(fileText(ascii) == "alt\n", "declining writes nothing");
    replaceAnswer = true;
    SendMessageA(frame->hwnd, WM_COMMAND, 151, 0);
    check(fileText(ascii).compare(0, 5, "#Zeit") == 0, "Yes replaces it");

    // Names typed without an extension get the export's own: MATLAB and
    // Octave run only *.m files.
    const std::string loop = folder + "loop";
    for (const std::string& stale : {loop, loop + ".m", loop + ".txt"})
        remove(stale.c_str());
    chosenPath = loop;
    SendMessageA(frame->hwnd, WM_COMMAND, 116, 0);
    check(offeredExtension == "m" && fileText(loop + ".m").rfind("Zeit = [\n", 0) == 0 &&
              GetFileAttributesA(loop.c_str()) == INVALID_FILE_ATTRIBUTES,
          "116 with the name \"loop\" writes loop.m, no file \"loop\"");
    chosenPath = loop;
    SendMessageA(frame->hwnd, WM_COMMAND, 151, 0);
    check(offeredExtension == "txt" && fileText(loop + ".txt").rfind("#Zeit", 0) == 0,
          "151 with the name \"loop\" writes loop.txt");
    chosenPath = loop;
    replaceAnswer = false;
    askedText.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, 116, 0);
    check(askedText == "Soll die bereits existierende Datei\n" + loop + ".m\nersetzt werden?",
          "the question about an existing file names loop.m");
    chosenPath = folder + "loop.dat";
    SendMessageA(frame->hwnd, WM_COMMAND, 151, 0);
    check(fileText(folder + "loop.dat").rfind("#Zeit", 0) == 0, "a name with an extension keeps it");
    remove((folder + "loop.dat").c_str());

    // The same through the real save dialog, as the user types the name.
    setPlotFileChooser(nullptr);
    const std::string typed = winecheck::dosPath("Z:" + folder + "dialog");
    for (const char* extension : {"", ".m", ".txt"})
        remove((folder + "dialog" + extension).c_str());
    {
        winecheck::BoxWatcher watcher("Speichere als *.m Datei ...", kNameCombo, typed.c_str(), IDOK);
        SendMessageA(frame->hwnd, WM_COMMAND, 116, 0);
        check(watcher.found() && watcher.fieldBefore().empty(), "116 opens the save dialog with an empty name");
    }
    check(fileText(folder + "dialog.m").rfind("Zeit = [\n", 0) == 0 &&
              GetFileAttributesA((folder + "dialog").c_str()) == INVALID_FILE_ATTRIBUTES,
          "\"dialog\" typed into the save dialog of 116 gives dialog.m");
    {
        winecheck::BoxWatcher watcher("Speichere als ASCII Datei ...", kNameCombo, typed.c_str(), IDOK);
        SendMessageA(frame->hwnd, WM_COMMAND, 151, 0);
        check(watcher.found(), "151 opens the save dialog");
    }
    check(fileText(folder + "dialog.txt").rfind("#Zeit", 0) == 0, "... and \"dialog\" typed into it gives dialog.txt");
    setPlotFileChooser(answerFile);

    // A file that cannot be created.
    const std::string missing = folder + "fehlt-hier/plot.txt";
    chosenPath = missing;
    sink.boxes.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, 151, 0);
    check(sink.boxes.size() == 1 &&
              sink.boxes[0].find("Die Datei " + missing + " kann nicht ge\xf6" "ffnet werden!") != std::string::npos,
          "a file that cannot be created gives 20907 with its name");

    setErrorSink(nullptr);
    setPlotFileChooser(nullptr);
    setPlotReplaceQuestion(nullptr);
}

// The font dialog's script: what it showed, and what it is told.
struct FontScript {
    std::string caption;
    std::string sizeText;
    int faceCount = 0;
    bool hasSansSerif = false;
    const char* newFace = nullptr;
    const char* newSize = nullptr;
    int button = IDCANCEL;
    bool help = false;
} fontScript;

// The workspace's help viewer, as the dialogs' "Hilfe" reaches it.
FakeHelpFactory helpViewers;

void scriptFontDialog(DialogFrameCL* dialog)
{
    HWND d = dialog->hwnd;
    char text[100] = "";
    GetWindowTextA(d, text, sizeof text);
    fontScript.caption = text;
    GetDlgItemTextA(d, 1004, text, sizeof text);
    fontScript.sizeText = text;
    HWND list = GetDlgItem(d, 1003);
    fontScript.faceCount = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    fontScript.hasSansSerif = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>("MS Sans Serif")) != CB_ERR;
    if (fontScript.newFace)
        SendMessageA(list, CB_SETCURSEL,
                     SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(fontScript.newFace)),
                     0);
    if (fontScript.newSize)
        SetDlgItemTextA(d, 1004, fontScript.newSize);
    if (fontScript.help)
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(4444, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, 4444)));
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(fontScript.button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(d, fontScript.button)));
}

int CALLBACK collectFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM names)
{
    reinterpret_cast<std::set<std::string>*>(names)->insert(font->lfFaceName);
    return 1;
}

// 12890: the faces, the size, OK and Cancel.
void checkFontDialog(PlotFrame* frame)
{
    PlotModel& m = frame->pane()->model;
    setPlotDialogHook(scriptFontDialog);
    const std::string face = m.fontFace.text();
    const int size = m.fontSize;
    HDC dc = GetDC(frame->pane()->hwnd);
    std::set<std::string> names;
    EnumFontsA(dc, nullptr, collectFace, reinterpret_cast<LPARAM>(&names));
    ReleaseDC(frame->pane()->hwnd, dc);
    std::string other;
    for (const std::string& n : names)
        if (n != face && n[0] != '@') {
            other = n;
            break;
        }
    names.insert(face);
    const int families = static_cast<int>(names.size());
    fontScript = FontScript();
    fontScript.newFace = other.c_str();
    fontScript.newSize = "30";
    fontScript.button = IDCANCEL;
    SendMessageA(frame->hwnd, WM_COMMAND, 12890, 0);
    printf("font dialog \"%s\": %d faces listed, %d enumerated with the pane's \"%s\", MS Sans Serif %d; size "
           "field \"%s\"\n",
           fontScript.caption.c_str(), fontScript.faceCount, families, face.c_str(), fontScript.hasSansSerif ? 1 : 0,
           fontScript.sizeText.c_str());
    check(fontScript.caption == "Schriftart ausw\xe4hlen ..." && fontScript.hasSansSerif &&
              fontScript.faceCount == families,
          "12890 opens \"Schriftart ausw\xe4hlen ...\" listing the enumerated faces and the pane's (\"MS Sans Serif\")");
    check(fontScript.sizeText == std::to_string(size), "the size field shows the pane's size");
    check(face == m.fontFace.text() && m.fontSize == size, "\"Abbrechen\" changes nothing");

    fontScript = FontScript();
    fontScript.newFace = other.c_str();
    fontScript.newSize = "30";
    fontScript.button = IDOK;
    SendMessageA(frame->hwnd, WM_COMMAND, 12890, 0);
    check(!other.empty() && std::string(m.fontFace.text()) == other && m.fontSize == 30,
          "OK with another face and 30 sets the pane's face and size");

    // "Hilfe": the workspace's viewer shows the section.
    helpViewers.made.clear();
    fontScript = FontScript();
    fontScript.help = true;
    SendMessageA(frame->hwnd, WM_COMMAND, 12890, 0);
    check(helpViewers.made.size() == 1 &&
              helpViewers.made[0]->text == "Der Dialog setzt die Schrift der Skala.\r\n",
          "\"Hilfe\" shows the section IDH_HELP_FontSelDlg");
    winecheck::pump();
    setPlotDialogHook(nullptr);
}

// ---------------------------------------------------------------- options dialog

PlotOptionsDialog* openOptions(PlotFrame* frame)
{
    SendMessageA(frame->hwnd, WM_COMMAND, 7834, 0);
    winecheck::pump();
    return frame->pane()->optionsDialog;
}

HWND item(PlotOptionsDialog* dialog, int id)
{
    return GetDlgItem(dialog->hwnd, id);
}

std::string itemText(PlotOptionsDialog* dialog, int id)
{
    char text[256] = "";
    GetDlgItemTextA(dialog->hwnd, id, text, sizeof text);
    return text;
}

void press(PlotOptionsDialog* dialog, int id)
{
    SendMessageA(item(dialog, id), BM_CLICK, 0, 0);
    winecheck::pump();
}

bool isChecked(PlotOptionsDialog* dialog, int id)
{
    return SendMessageA(item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Types text into an edit and leaves it: by the focus going to another
// control, or by Enter.
void typeAndLeave(PlotOptionsDialog* dialog, int id, const char* text, bool byEnter)
{
    HWND edit = item(dialog, id);
    SetFocus(edit);
    SetWindowTextA(edit, text);
    if (byEnter)
        SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    else
        SetFocus(item(dialog, PlotOptionsDialog::kSignalList));
    winecheck::pump();
}

struct WindowSearch {
    const char* title;
    int count;
};

BOOL CALLBACK countTitled(HWND hwnd, LPARAM p)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(p);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && strcmp(text, s->title) == 0)
        ++s->count;
    return TRUE;
}

// Visible top-level windows of this process with the title.
int countOwnWindows(const char* title)
{
    WindowSearch search = {title, 0};
    EnumWindows(countTitled, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

const char kOptionsTitle[] = "ZIZadir-Parameter \xe4ndern ...";

// The frame with the dialog over it, both read from their own DCs.
bool saveOptionsPicture(PlotFrame* frame, PlotOptionsDialog* dialog, const std::string& path)
{
    RECT f, d;
    GetWindowRect(frame->hwnd, &f);
    GetWindowRect(dialog->hwnd, &d);
    RECT all;
    UnionRect(&all, &f, &d);
    const int w = all.right - all.left, h = all.bottom - all.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, picture);
    PatBlt(mem, 0, 0, w, h, WHITENESS);
    for (HWND window : {frame->hwnd, dialog->hwnd}) {
        RECT r;
        GetWindowRect(window, &r);
        HDC dc = GetWindowDC(window);
        BitBlt(mem, r.left - all.left, r.top - all.top, r.right - r.left, r.bottom - r.top, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    bool ok = winecheck::savePicture(mem, 0, 0, w, h, path);
    SelectObject(mem, old);
    DeleteObject(picture);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

// 7834 on a fed frame (title "Zeit", sinus, cosinus, rampe).
void checkOptionsDialog(PlotFrame* frame, const std::string& picture)
{
    PlotPane* pane = frame->pane();
    PlotModel& m = pane->model;
    RecordingSink sink;
    setErrorSink(&sink);

    // An empty plot: nothing.
    {
        PlotFrame* empty = new PlotFrame(nullptr, 500, 0, 400, 300, WS_OVERLAPPEDWINDOW, "leer", nullptr,
                                         kKytPlotFrameIds);
        check(openOptions(empty) == nullptr && countOwnWindows(kOptionsTitle) == 0, "7834 on an empty plot does nothing");
        DestroyWindow(empty->hwnd);
        winecheck::pump();
    }

    m.autoY = 1;
    PlotOptionsDialog* dialog = openOptions(frame);
    check(dialog && IsWindowVisible(dialog->hwnd) && windowTitle(dialog->hwnd) == kOptionsTitle &&
              GetWindow(dialog->hwnd, GW_OWNER) == frame->hwnd,
          "7834 opens \"ZIZadir-Parameter \xe4ndern ...\", owned by the frame");
    if (!dialog)
        return;
    HWND list = item(dialog, PlotOptionsDialog::kSignalList);
    std::vector<std::string> names;
    for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
        char text[64] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        names.push_back(text);
    }
    check(names == std::vector<std::string>{"sinus", "cosinus", "rampe"} && SendMessageA(list, LB_GETCURSEL, 0, 0) == 0,
          "list 11011 shows the names in order, the first selected");
    check(itemText(dialog, PlotOptionsDialog::kXScale) == formatDouble(m.xscale).text() &&
              itemText(dialog, PlotOptionsDialog::kYScale) == formatDouble(m.yscale).text(),
          "1001 and 21002 show formatDouble of the scales");
    check(!IsWindowEnabled(item(dialog, PlotOptionsDialog::kYScale)) && isChecked(dialog, PlotOptionsDialog::kAutoY),
          "an automatic scale's edit is disabled");

    // Once more: the same dialog, to the front.
    HWND first = dialog->hwnd;
    check(openOptions(frame) == dialog && IsWindow(first) && countOwnWindows(kOptionsTitle) == 1,
          "a second 7834 brings the same dialog to the front");

    // The colour through "?" and "anzeigen" act at once and survive
    // "Abbrechen".
    chooserAnswer = plotColour(0, 0, 255);
    setPlotColourChooser(answerChooser);
    press(dialog, PlotOptionsDialog::kColourButton);
    setPlotColourChooser(nullptr);
    check(m.signals[0].colour == plotColour(0, 0, 255), "\"?\" colours the selected signal at once");
    press(dialog, PlotOptionsDialog::kShown);
    check(m.signals[0].shown == 0, "unchecking \"anzeigen\" hides it at once");
    press(dialog, IDCANCEL);
    check(m.signals[0].colour == plotColour(0, 0, 255) && m.signals[0].shown == 0,
          "both survive \"Abbrechen\"");
    check(pane->optionsDialog == nullptr && !IsWindow(first), "closing the dialog clears the open flag");
    m.signals[0].colour = plotColour(255, 0, 0);
    m.signals[0].shown = 1;

    // Scales that are refused, left by the focus or by Enter.
    dialog = openOptions(frame);
    if (!dialog)
        return;
    press(dialog, PlotOptionsDialog::kAutoY);
    const double yscale = m.yscale;
    const std::string shown = formatDouble(yscale).text();
    for (bool byEnter : {false, true})
        for (const char* bad : {"0", "-1", "abc"}) {
            sink.boxes.clear();
            typeAndLeave(dialog, PlotOptionsDialog::kYScale, bad, byEnter);
            // A number out of range gives 19303; a text that is no number the
            // number fields' message naming the field.
            const std::string expected =
                std::string(bad) == "abc" ? std::string("Im Feld \"Skalierung Y\" steht keine Zahl: \"abc\"")
                                          : std::string("Fehler: Ung\xfcltiger Wert f\xfcr yscale: ") + bad + "!";
            bool refused = sink.boxes.size() == 1 && sink.boxes[0].find(expected) != std::string::npos;
            bool kept = pane->optionsDialog == dialog && IsWindowVisible(dialog->hwnd) &&
                        GetFocus() == item(dialog, PlotOptionsDialog::kYScale) && m.yscale == yscale &&
                        itemText(dialog, PlotOptionsDialog::kYScale) == shown;
            printf("y scale \"%s\" left by %s: %zu boxes%s%s\n", bad, byEnter ? "Enter" : "the focus",
                   sink.boxes.size(), sink.boxes.empty() ? "" : ", ", sink.boxes.empty() ? "" : sink.boxes[0].c_str());
            check(refused && kept, (std::string("21002 \"") + bad + "\" left by " + (byEnter ? "Enter" : "the focus") +
                                    " is refused by name, keeps the dialog, the focus and the scale")
                                       .c_str());
        }
    sink.boxes.clear();
    typeAndLeave(dialog, PlotOptionsDialog::kYScale, "1,5", false);
    check(sink.boxes.empty() && itemText(dialog, PlotOptionsDialog::kYScale) == "1.5",
          "\"1,5\" is accepted and shown as 1.5");
    for (const char* bad : {"1,5,3", "1.000,5"}) {
        sink.boxes.clear();
        typeAndLeave(dialog, PlotOptionsDialog::kYScale, bad, true);
        check(sink.boxes.size() == 1 && sink.boxes[0].find("\"Skalierung Y\" steht keine Zahl") != std::string::npos &&
                  GetFocus() == item(dialog, PlotOptionsDialog::kYScale) && pane->optionsDialog == dialog,
              (std::string("\"") + bad + "\" is no number: refused by name, the dialog stays").c_str());
    }

    // The x scale likewise, with its own message.
    press(dialog, PlotOptionsDialog::kAutoX);
    const std::string xShown = formatDouble(m.xscale).text();
    sink.boxes.clear();
    typeAndLeave(dialog, PlotOptionsDialog::kXScale, "0", false);
    check(sink.boxes.size() == 1 &&
              sink.boxes[0].find("Fehler: Ung\xfcltiger Wert f\xfcr xscale: 0!") != std::string::npos &&
              GetFocus() == item(dialog, PlotOptionsDialog::kXScale) &&
              itemText(dialog, PlotOptionsDialog::kXScale) == xShown,
          "1001 \"0\" gives 19302 and the old text back");
    press(dialog, PlotOptionsDialog::kAutoX);
    check(!IsWindowEnabled(item(dialog, PlotOptionsDialog::kXScale)), "\"automatisch\" disables the x scale again");

    // The screenshot: the second signal selected, its colour in 1010.
    list = item(dialog, PlotOptionsDialog::kSignalList);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(PlotOptionsDialog::kSignalList, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    RedrawWindow(dialog->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    winecheck::pump();
    HWND field = item(dialog, PlotOptionsDialog::kColourField);
    RECT fr;
    GetClientRect(field, &fr);
    COLORREF centre = winecheck::pixelOf(field, fr.right / 2, fr.bottom / 2);
    check(centre == kGreen, "with the second signal selected, the centre of 1010 is (0,128,0)");
    const std::string shot = winecheck::pictureFolder(picture) + "plot-options.png";
    check(saveOptionsPicture(frame, dialog, shot), "the options dialog over the plot saved as plot-options.png");

    // "Hilfe".
    helpViewers.made.clear();
    press(dialog, PlotOptionsDialog::kHelpButton);
    check(helpViewers.made.size() == 1 &&
              helpViewers.made[0]->text == "Der Dialog stellt Farben, Skalen und den Infotext ein.\r\n",
          "\"Hilfe\" shows the section IDH_HELP_ZizAdirOptionsDlg");
    SetForegroundWindow(dialog->hwnd);

    // OK with the lock and "Versuch 3": a run's later texts leave it.
    SetDlgItemTextA(dialog->hwnd, PlotOptionsDialog::kStatusText, "Versuch 3");
    press(dialog, PlotOptionsDialog::kTextLock);
    check(!IsWindowEnabled(item(dialog, PlotOptionsDialog::kStatusText)), "\"Text verriegeln\" disables the text");
    press(dialog, IDOK);
    check(pane->optionsDialog == nullptr && m.yscale == 1.5 && m.autoY == 0 && m.textLocked == 1,
          "OK stores the y scale 1.5, manual scaling and the lock, and closes");
    frame->services().setStatusText("andere.kyt");
    check(std::string(m.statusText.text()) == "Versuch 3" &&
              std::string(frame->statusField(kPlotSecondBar, 1).text()) == "Versuch 3",
          "later status texts from a run leave \"Versuch 3\" in place");
    m.textLocked = 0;
    m.autoY = 1;

    // The close box closes it too.
    dialog = openOptions(frame);
    HWND closed = dialog ? dialog->hwnd : nullptr;
    SendMessageA(closed, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(dialog && pane->optionsDialog == nullptr && !IsWindow(closed), "the close box clears the open flag");

    // Two signals of one name keep their own colour and flag; the dialog
    // goes with its frame.
    PlotFrame* twins = new PlotFrame(nullptr, 500, 0, 400, 300, WS_OVERLAPPEDWINDOW, "x und x", nullptr,
                                     kKytPlotFrameIds);
    PlotServices& feed = twins->services();
    feed.setSignals(2);
    feed.setSignal(0, "x", plotColour(255, 0, 0));
    feed.setSignal(1, "x", plotColour(0, 128, 0));
    const double v[2] = {1, 2};
    feed.addPoint(0, v, 2);
    feed.addPoint(1, v, 2);
    dialog = openOptions(twins);
    if (dialog) {
        HWND twinList = item(dialog, PlotOptionsDialog::kSignalList);
        SendMessageA(twinList, LB_SETCURSEL, 1, 0);
        SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(PlotOptionsDialog::kSignalList, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(twinList));
        chooserAnswer = plotColour(0, 0, 255);
        setPlotColourChooser(answerChooser);
        press(dialog, PlotOptionsDialog::kColourButton);
        setPlotColourChooser(nullptr);
        press(dialog, PlotOptionsDialog::kShown);
        PlotModel& t = twins->pane()->model;
        check(t.signals[1].colour == plotColour(0, 0, 255) && t.signals[1].shown == 0 &&
                  t.signals[0].colour == plotColour(255, 0, 0) && t.signals[0].shown == 1,
              "the second of two signals named \"x\" takes its own colour and flag");
    }
    HWND twinDialog = dialog ? dialog->hwnd : nullptr;
    DestroyWindow(twins->hwnd);
    winecheck::pump();
    check(dialog && !IsWindow(twinDialog) && countOwnWindows(kOptionsTitle) == 0,
          "destroying the frame closes its dialog");

    setErrorSink(nullptr);
}

void checkCommands(PlotFrame* frame)
{
    PlotPane* pane = frame->pane();
    HMENU menu = GetMenu(frame->hwnd);

    // 1124: solid and dotted grid lines.
    int length = 0;
    int dotted = gridPixelsOnLine(pane, &length);
    SendMessageA(frame->hwnd, WM_COMMAND, 1124, 0);
    UpdateWindow(pane->hwnd);
    int solid = gridPixelsOnLine(pane, &length);
    check(solid == length && dotted < length * 3 / 4, "1124: a solid grid line is whole, a dotted one is not");
    check((GetMenuState(menu, 1124, MF_BYCOMMAND) & MF_CHECKED) != 0, "the item is checked while lines are solid");
    SendMessageA(frame->hwnd, WM_COMMAND, 1124, 0);
    UpdateWindow(pane->hwnd);
    check((GetMenuState(menu, 1124, MF_BYCOMMAND) & MF_CHECKED) == 0 && gridPixelsOnLine(pane, &length) == dotted,
          "and unchecked again with dotted lines");

    // 12780 with the chooser's answer.
    chooserAnswer = plotColour(200, 200, 255);
    setPlotColourChooser(answerChooser);
    SendMessageA(frame->hwnd, WM_COMMAND, 12780, 0);
    UpdateWindow(pane->hwnd);
    PlotModel& m = pane->model;
    HDC dc = GetDC(pane->hwnd);
    RECT area = areaOf(pane);
    int cells = (area.right - area.left) * (area.bottom - area.top);
    check(winecheck::countPixels(dc, area, RGB(200, 200, 255)) > cells / 2, "12780 paints the chosen background");
    ReleaseDC(pane->hwnd, dc);
    setPlotColourChooser(nullptr);

    // 2378 with the real colour dialog, cancelled: nothing changes.
    {
        uint32_t before = m.gridColour;
        winecheck::BoxWatcher watcher("Color", IDCANCEL);
        SendMessageA(frame->hwnd, WM_COMMAND, 2378, 0);
        check(watcher.found() && m.gridColour == before, "2378 opens the colour dialog; Cancel keeps the grid colour");
    }

    // 158: once with automatic scales, the flags as they were.
    feedRun(frame->services(), 10.0, 0.05);
    m.autoX = 0;
    m.autoY = 0;
    m.xscale = 7;
    m.yscale = 7;
    SendMessageA(frame->hwnd, WM_COMMAND, 158, 0);
    check(std::fabs(m.xscale - 1.0) < 1e-12 && std::fabs(m.yscale - 0.2) < 1e-12, "158 rescales automatically");
    check(m.autoX == 0 && m.autoY == 0, "and restores the auto flags");
}

void checkScrollAndZoom(PlotFrame* frame)
{
    PlotPane* pane = frame->pane();
    PlotModel& m = pane->model;
    PlotServices& feed = frame->services();

    // In time mode a point beyond the right edge pages the view on: the
    // drawing starts again with the labels of the new page.
    feed.setSignals(1);
    feed.setSignal(0, "sinus", plotColour(255, 0, 0));
    feed.setPagingMode(kPlotPagingTime);
    feed.clearPoints();
    UpdateWindow(pane->hwnd);
    m.autoX = 0;
    m.xscale = 1;
    m.xoff = 0;
    m.yscale = 0.2;
    m.yoff = -1;
    for (int i = 0; i <= 105; ++i) {
        double v = std::sin(i * 0.1);
        feed.addPoint(i * 0.1, &v, 1);
    }
    // The new points are drawn in the next idle pass.
    theApplication->runIdleTasks();
    HDC dc = GetDC(pane->hwnd);
    const int third = (m.areaRight() - m.areaLeft()) / 3;
    RECT leftPart = {m.areaLeft() + 1, m.areaTop() + 1, m.areaLeft() + third, m.areaBottom()};
    RECT rightPart = {m.areaRight() - third, m.areaTop() + 1, m.areaRight(), m.areaBottom()};
    int newCurve = winecheck::countPixels(dc, leftPart, kRed);
    int oldCurve = winecheck::countPixels(dc, rightPart, kRed);
    ReleaseDC(pane->hwnd, dc);
    check(std::fabs(m.xoff - 10.0) < 1e-12 && std::string(m.xTickLabel(0).text()) == "10." && newCurve > 0 &&
              oldCurve == 0,
          "t = 10.5 pages to 10: the old page is wiped, the curve goes on at the left");

    feed.setPagingMode(kPlotPagingNone);
    feed.clearPoints();
    for (int i = 0; i <= 30; ++i) {
        double v = i % 7;
        feed.addPoint(i, &v, 1);
    }
    m.autoX = 0;
    m.xscale = 1;
    feed.rescale();
    SendMessageA(pane->hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
    check(std::fabs(m.xoff - 3.0) < 1e-12, "WM_HSCROLL to position 3 gives xoff 3");
    SendMessageA(pane->hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    beeps = 0;
    setPlotBeepHook(countBeep);
    SendMessageA(pane->hwnd, WM_HSCROLL, SB_LINEUP, 0);
    check(beeps == 1 && m.xoff == 0.0, "a line step left from position 0 beeps, then applies");
    setPlotBeepHook(nullptr);
    winecheck::pump();

    // A drag by mouse messages equals the model's zoom of the same points.
    PlotModel expected = m;
    POINT a = {m.deviceX(m.left + 220), m.deviceY(m.bottom + 180)};
    POINT b = {m.deviceX(m.left + 610), m.deviceY(m.bottom + 770)};
    expected.zoom(a.x, a.y, b.x, b.y);
    SendMessageA(pane->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    SendMessageA(pane->hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((a.x + b.x) / 2, (a.y + b.y) / 2));
    SendMessageA(pane->hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
    SendMessageA(pane->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    check(m.xscale == expected.xscale && m.yscale == expected.yscale && m.xoff == expected.xoff &&
              m.yoff == expected.yoff && m.autoX == 0 && m.autoY == 0,
          "a drag by mouse messages zooms as the model does");
    double xs = m.xscale, xo = m.xoff, ys = m.yscale, yo = m.yoff;
    SendMessageA(pane->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    SendMessageA(pane->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(a.x, a.y));
    check(m.xscale == xs && m.xoff == xo && m.yscale == ys && m.yoff == yo, "press and release at one point change nothing");
    winecheck::pump();
}

void run(AppFrameCL* mainFrame, const std::string& picture)
{
    Workspace* ws = new Workspace;
    setWorkspace(ws);
    WorkspacePlotHost host;
    PlotFrameFactory factory(&host);
    ws->setPlotWindowFactory(&factory);
    ws->setHelpDir(KYT_PLOT_FIXTURES_WIN);
    ws->setHelpViewerFactory(&helpViewers);
    HHOOK hook = winecheck::watchDestroys();

    // The tool-bar bitmaps, 27 x 25 each.
    bool sized = true;
    for (int id : {9001, 153, 126, 9033, 9009, 9010, 9030, 136}) {
        HBITMAP b = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        BITMAP info = {};
        if (!b || !GetObjectA(b, sizeof info, &info) || info.bmWidth != 27 || info.bmHeight != 25)
            sized = false;
        if (b)
            DeleteObject(b);
    }
    check(sized, "the eight tool-bar bitmaps are 27 x 25");

    // A frame in slot 1.
    check(ws->openPlotWindow(mainFrame) == 0, "a plot frame opens");
    PlotFrame* frame = slotFrame(*ws, 1);
    check(frame && plotOszi == frame, "in slot 1, and active");
    if (!frame)
        return;
    checkSmallWindow(frame, *ws, picture);
    MoveWindow(frame->hwnd, 20, 20, 640, 520, TRUE);
    winecheck::pump();
    check(windowTitle(frame->hwnd) == "KYTide:ZIZAdir 1 - aktiv", "titled \"KYTide:ZIZAdir 1 - aktiv\"");
    check(isDateStamp(frame->statusField(kPlotSecondBar, 2).text()), "the second bar's field 2 holds the date stamp");
    checkBars(frame);
    check(frame->newSettings == 1, "a new frame asks for the plot defaults");

    // Fed as a run feeds the active frame.
    ActivePlotServices active;
    ws->setSimulationRunningUi(0);
    feedRun(active, 10.0, 0.01);
    ActivePlotServices::setStatus(1, "t=  10");
    check(std::string(frame->statusField(kPlotStatusBar, 1).text()) == "t=  10", "the run timer's text in field 1");
    if (PlotBars* bars = dynamic_cast<PlotBars*>(frame->frameBars()))
        check(bars->statusBar(kPlotStatusBar)->fieldById(1)->getText() == "t=  10" &&
                  bars->statusBar(kPlotSecondBar)->fieldById(1)->getText() == "regelkreis.kyt",
              "... shown in field 1 of \"status\", the circuit in field 1 of the second bar");
    check(std::string(frame->statusField(kPlotSecondBar, 1).text()) == "regelkreis.kyt",
          "the second bar shows the circuit");
    SendMessageA(frame->hwnd, WM_CLOSE, 0, 0);
    check(IsWindow(frame->hwnd) && slotFrame(*ws, 1) == frame, "WM_CLOSE is refused during the run");
    ws->setSimulationStoppedUi(0);
    check(frame->pane()->model.pointCount() == 1001, "every point arrived");
    UpdateWindow(frame->pane()->hwnd);
    winecheck::pump();
    checkDrawing(frame, picture);
    checkClipboard(frame);
    checkPrinting(frame, mainFrame, &host, picture);
    checkExports(frame, picture);
    checkFontDialog(frame);
    checkOptionsDialog(frame, picture);

    // Freezing by the tool bar's button: the data stay, the next run opens
    // slot 2.
    PlotBars* frameBars = dynamic_cast<PlotBars*>(frame->frameBars());
    if (frameBars)
        clickButton(frameBars->toolBar()->button(150)->hwnd);
    HMENU menu = GetMenu(frame->hwnd);
    UINT freezeState = GetMenuState(menu, 150, MF_BYCOMMAND);
    check(endsWith(windowTitle(frame->hwnd), "- eingefroren"), "150: the title ends \"- eingefroren\"");
    check((freezeState & MF_CHECKED) && (freezeState & MF_GRAYED), "150 is checked and greyed");
    check(frameBars && frameBars->toolBar()->isButtonChecked(150) == 1 &&
              frameBars->toolBar()->isButtonEnabled(150) == 0,
          "button 150 is checked and disabled");
    check(plotOszi == nullptr && frame->pane()->model.pointCount() == 1001, "nothing is active, the points stay");
    setPlotFrameBarsMaker(makeRecordingBars);
    check(ws->openPlotWindow(mainFrame) == 0 && slotFrame(*ws, 2) && plotOszi == slotFrame(*ws, 2),
          "the next run opens slot 2");
    setPlotFrameBarsMaker(nullptr);
    PlotFrame* second = slotFrame(*ws, 2);
    check(barsMade == 1 && recordingBars.calls.size() == 1 && recordingBars.calls[0].compare(0, 10, "field 2.2 ") == 0,
          "the bars plug in and get the date stamp in field 2 of the second bar");
    ws->setSimulationRunningUi(0);
    ActivePlotServices::setStatus(2, "h=0.01");
    ws->setSimulationStoppedUi(0);
    check(recorded("enable 150 off") && recorded("enable 150 on") && recorded("field 1.2 h=0.01"),
          "they follow the busy state and show the run timer's texts");

    // A free frame's 150 leaves the slots alone.
    PlotNetErrorSystem nets(mainFrame, &host);
    NetErrorPlot* errorPlot = nets.createErrorPlot(NetErrorPlotFrame{450, 0, 400, 400, 0xcf0000UL, "Error-Oszi"});
    check(errorPlot != nullptr, "the nets' error plot opens");
    HWND errorWindow = FindWindowA("PlotFrameCL", "Error-Oszi");
    PlotFrame* errorFrame = dynamic_cast<PlotFrame*>(theApplication->winMap->lookup(errorWindow));
    PlotBars* errorBars = errorFrame ? dynamic_cast<PlotBars*>(errorFrame->frameBars()) : nullptr;
    if (errorBars)
        clickButton(errorBars->toolBar()->button(150)->hwnd);
    check(errorBars && plotOszi == second && endsWith(windowTitle(second->hwnd), "- aktiv"),
          "the error plot's 150 freezes nothing else");
    check(errorBars && errorBars->toolBar()->isButtonChecked(150) == 0,
          "... and its button does not stay latched");
    errorPlot->setSignalCount(1);
    errorPlot->setDrawingMode(1);
    errorPlot->addPoint(1, 0.5);
    errorPlot->destroy();
    check(!IsWindow(errorWindow), "the error plot goes with its library");
    // Closed by the user while the library still holds it: calls go nowhere.
    errorPlot = nets.createErrorPlot(NetErrorPlotFrame{450, 0, 400, 400, 0xcf0000UL, "Error-Oszi"});
    errorWindow = FindWindowA("PlotFrameCL", "Error-Oszi");
    SendMessageA(errorWindow, WM_CLOSE, 0, 0);
    winecheck::pump();
    bool closed = !IsWindow(errorWindow);
    errorPlot->addPoint(2, 0.25);
    errorPlot->rescale();
    check(closed && errorPlot->xScale() == 1.0, "an error plot closed by the user takes no more points");
    errorPlot->release();

    // Commands, scrolling and zoom on the empty second frame.
    MoveWindow(second->hwnd, 40, 40, 640, 520, TRUE);
    winecheck::pump();
    UpdateWindow(second->pane()->hwnd);
    checkCommands(second);
    checkScrollAndZoom(second);

    // Closing: the slot and the active pointer are cleared.
    SendMessageA(second->hwnd, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(ws->plotWindows[1] == nullptr && plotOszi == nullptr, "WM_CLOSE closes the frame, frees slot 2");
    check(ws->openPlotWindow(mainFrame) == 0 && slotFrame(*ws, 2), "slot 2 is taken again");
    PlotFrame* third = slotFrame(*ws, 2);
    HWND thirdWindow = third->hwnd;
    DestroyWindow(thirdWindow);
    check(ws->plotWindows[1] == nullptr && plotOszi == nullptr, "DestroyWindow clears the slot and plotOszi");

    // All nine slots taken and 19700 answered Yes: slot 1's frame goes,
    // and its open options dialog with it.
    PlotFrame* oldest = slotFrame(*ws, 1);
    HWND oldestWindow = oldest ? oldest->hwnd : nullptr;
    PlotOptionsDialog* open = oldest ? openOptions(oldest) : nullptr;
    HWND openWindow = open ? open->hwnd : nullptr;
    for (int n = 2; n <= 9; ++n) {
        plotOszi = nullptr;
        ws->openPlotWindow(mainFrame);
    }
    plotOszi = nullptr;
    std::string asked;
    ws->setQuestionCallback([&asked](WindowCL*, const char* text, const char*) {
        asked = text;
        return kAnswerYes;
    });
    check(ws->openPlotWindow(mainFrame) == 0 && asked.rfind("Es sind bereits 9 ZIZadirs ge", 0) == 0 &&
              slotFrame(*ws, 1) && !IsWindow(oldestWindow) && IsWindow(slotFrame(*ws, 1)->hwnd),
          "with nine frames, 19700 Yes replaces the frame of slot 1");
    check(open && !IsWindow(openWindow) && countOwnWindows(kOptionsTitle) == 0,
          "the options dialog of the deleted frame is gone with it");
    ws->setQuestionCallback(nullptr);

    // The workspace destroys each open frame once.
    check(ws->openPlotWindow(mainFrame) == 0, "one more frame");
    HWND a = ws->plotWindows[0] ? static_cast<PlotFrame*>(slotFrame(*ws, 1))->hwnd : nullptr;
    HWND b = slotFrame(*ws, 2) ? slotFrame(*ws, 2)->hwnd : nullptr;
    winecheck::destroyCounts().clear();
    delete ws;
    winecheck::pump();
    check(a && b && winecheck::destroyCounts()[a] == 1 && winecheck::destroyCounts()[b] == 1 && !IsWindow(a) &&
              !IsWindow(b),
          "deleting the workspace destroys each open frame once");
    UnhookWindowsHookEx(hook);
}

std::string trimmed(const char* s)
{
    std::string t = s ? s : "";
    size_t a = t.find_first_not_of(" \t\"");
    size_t b = t.find_last_not_of(" \t\"");
    return a == std::string::npos ? std::string() : t.substr(a, b - a + 1);
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(200);
    AppFrameCL* mainFrame = new AppFrameCL(nullptr, new Layout(0, 0, 300, 200), WS_OVERLAPPEDWINDOW, "Editor");
    mainFrame->show(SW_SHOWNORMAL);
    run(mainFrame, trimmed(app->commandLine.text()));
    app->exitCode = winecheck::summary();
    DestroyWindow(mainFrame->hwnd);
}
