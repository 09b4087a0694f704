#include "MsfPage.h"

#include "Application.h"
#include "Bitmap.h"
#include "Clipboard.h"
#include "ErrorReporter.h"
#include "FsetPage.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyModel.h"
#include "FuzzyOptions.h"
#include "PageRules.h"
#include "Printing.h"
#include "ResString.h"
#include "strings/FrameworkStrings.h"
#include "strings/KytfuzzyStrings.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>

namespace {

const int kCursorPage = 147;
const int kCursorSet = 148;
const int kCursorPoint = 150;
const int kPrintAbortDialog = 125;
const char kPrintJobName[] = "Fuzzy - Print - Job";
const char kFace[] = "TmsRmn";

DeviceContext* printTarget = nullptr;

// A font of the graphic, selected while it lives.
class GraphicFont {
public:
    GraphicFont(HDC dc, int height, int weight) : hdc(dc)
    {
        font = CreateFontA(-height, 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN, kFace);
        old = SelectObject(hdc, font);
    }
    ~GraphicFont()
    {
        SelectObject(hdc, old);
        DeleteObject(font);
    }
    SIZE extent(const std::string& text) const
    {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

private:
    HDC hdc;
    HFONT font;
    HGDIOBJ old;
};

class GraphicPen {
public:
    GraphicPen(HDC dc, int style, int width, COLORREF colour) : hdc(dc)
    {
        pen = CreatePen(style, width, colour);
        old = SelectObject(hdc, pen);
    }
    ~GraphicPen()
    {
        SelectObject(hdc, old);
        DeleteObject(pen);
    }

private:
    HDC hdc;
    HPEN pen;
    HGDIOBJ old;
};

void line(HDC dc, int x0, int y0, int x1, int y1)
{
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void text(HDC dc, int x, int y, const std::string& s)
{
    TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

COLORREF colourOf(const ShapeColour& c)
{
    return RGB(c.red, c.green, c.blue);
}

void hollowRect(HDC dc, const PixelRect& r)
{
    HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, old);
}

} // namespace

void MsfPage::setPrintTarget(DeviceContext* dc)
{
    printTarget = dc;
}

MsfPage::MsfPage(FuzzyEditorFrame* owner, Geometry* g, DWORD windowStyle)
    : PaneWindowCL(owner, g, windowStyle | WS_CHILD | WS_VISIBLE), frame(owner), clipboard(new Clipboard(this))
{
    takeOptionsColour();
    setCursorResource(kCursorPage);
    if (frame->pageState().variable)
        build(frame->pageState().variable);
}

MsfPage::~MsfPage()
{
    if (GetCapture() == hwnd)
        ReleaseCapture();
    delete clipboard;
}

void MsfPage::takeOptionsColour()
{
    const FuzzyPaneColor& c = frame->getOptions()->color;
    setBackColor(Color(static_cast<uint8_t>(c.red), static_cast<uint8_t>(c.green), static_cast<uint8_t>(c.blue)));
}

ValueMapping MsfPage::mapping() const
{
    const FuzzyPageState& s = const_cast<FuzzyEditorFrame*>(frame)->pageState();
    if (!s.variable)
        return ValueMapping();
    return ValueMapping(geometryNow.plot, s.variable, s.grid.text());
}

void MsfPage::layOut()
{
    Rect area = current ? current->drawingArea() : Rect();
    PixelRect r;
    r.left = area.left();
    r.top = area.top();
    r.right = area.right();
    r.bottom = area.bottom();
    geometryNow = layoutMembership(r, printing);
}

int MsfPage::build(const FuzzyVariable* variable)
{
    layOut();
    if (variable && isWindow()) {
        shapeList.clear();
        const ValueMapping m = mapping();
        const int nameHeight = std::max(15, geometryNow.plot.height() / 17);
        current->attach();
        HDC dc = current->hdc;
        for (const FuzzyMember* member = variable->members; member; member = member->next) {
            SIZE extent = {0, 0};
            if (dc) {
                GraphicFont font(dc, nameHeight, 480);
                extent = font.extent(member->name ? member->name : "");
            }
            shapeList.push_back(buildSetShape(m, member, extent.cx, extent.cy));
        }
        current->release();
    } else if (!variable) {
        shapeList.clear();
    }
    selected = -1;
    return 1;
}

LRESULT MsfPage::onSize(EventRecord*)
{
    build(frame->pageState().variable);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

// ---------------------------------------------------------------- painting

LRESULT MsfPage::paint(DeviceContext& dc)
{
    HDC h = dc.hdc;
    if (!h)
        return 1;
    if (frameTooSmall(geometryNow)) {
        tooSmall = true;
        // The page cannot show a plot this small: the main window grows
        // back where it stands (a printer's page never is this small).
        if (!printing) {
            RECT r;
            GetWindowRect(frame->hwnd, &r);
            if (r.right - r.left != 640 || r.bottom - r.top != 450)
                SetWindowPos(frame->hwnd, nullptr, 0, 0, 640, 450, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 1;
    }
    tooSmall = false;
    const int oldMode = SetBkMode(h, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(h, RGB(0, 0, 0));
    if (printing)
        paintHead(h);
    paintAxes(h);
    if (frame->pageState().variable)
        paintSets(h, mapping());
    SetTextColor(h, oldColour);
    SetBkMode(h, oldMode);
    return 1;
}

void MsfPage::paintHead(HDC h)
{
    const MembershipLayout& l = geometryNow;
    const int centre = (l.frame.left + l.frame.right) / 2;
    GraphicPen pen(h, PS_SOLID, 1, RGB(0, 0, 0));
    {
        GraphicFont font(h, std::max(15, l.plot.height() / 14), 580);
        const std::string title = frame->getTitle().text() ? frame->getTitle().text() : "";
        text(h, centre - font.extent(title).cx / 2, l.frame.top - static_cast<int>(40 * l.verticalUnit), title);
    }
    GraphicFont font(h, std::max(15, l.plot.height() / 18), 380);
    // The standard 24-character date text without its line end.
    const std::time_t now = std::time(nullptr);
    char date[32] = "";
    std::strftime(date, sizeof date, "%a %b %d %H:%M:%S %Y", std::localtime(&now));
    text(h, centre - font.extent(date).cx / 2, l.frame.top - static_cast<int>(25 * l.verticalUnit), date);
    const std::string comment = frame->pageState().comment.text() ? frame->pageState().comment.text() : "";
    text(h, centre - font.extent(comment).cx / 2, l.frame.top - static_cast<int>(15 * l.verticalUnit), comment);
}

void MsfPage::paintAxes(HDC h)
{
    const MembershipLayout& l = geometryNow;
    const PixelRect& f = l.frame;
    const double hu = l.horizontalUnit, vu = l.verticalUnit;
    GraphicPen pen(h, PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(h, GetStockObject(BLACK_BRUSH));
    const int oldFill = SetPolyFillMode(h, WINDING);
    line(h, f.left, f.top, f.left, f.bottom);
    line(h, f.left, f.bottom, f.right, f.bottom);
    const POINT up[3] = {{f.left, f.top},
                         {f.left - static_cast<int>(3 * hu), f.top + static_cast<int>(15 * vu)},
                         {f.left + static_cast<int>(3 * hu), f.top + static_cast<int>(15 * vu)}};
    Polygon(h, up, 3);
    const POINT right[3] = {{f.right, f.bottom},
                            {f.right - static_cast<int>(15 * hu), f.bottom - static_cast<int>(4 * vu)},
                            {f.right - static_cast<int>(15 * hu), f.bottom + static_cast<int>(4 * vu)}};
    Polygon(h, right, 3);
    SetPolyFillMode(h, oldFill);
    SelectObject(h, oldBrush);
}

void MsfPage::paintSets(HDC h, const ValueMapping& m)
{
    const MembershipLayout& l = geometryNow;
    const PixelRect& p = l.plot;
    const PixelRect& f = l.frame;
    const double hu = l.horizontalUnit, vu = l.verticalUnit;
    const FuzzyPageState& s = frame->pageState();

    // Ticks, their grid lines and labels; four minor ticks between two.
    const AxisTicks ticks = axisTicks(m, printing);
    {
        GraphicFont font(h, std::max(13, p.height() / 19), 480);
        for (const AxisTick& t : ticks.major) {
            {
                GraphicPen pen(h, PS_SOLID, printing ? 10 : 1, RGB(0, 0, 0));
                line(h, t.x, p.bottom + static_cast<int>(5 * vu), t.x, p.bottom);
            }
            {
                GraphicPen dotted(h, PS_DOT, 1, RGB(0, 0, 0));
                line(h, t.x, p.bottom, t.x, p.top);
            }
            const std::string label = tickText(t.value);
            text(h, t.x - font.extent(label).cx / 2, p.bottom + static_cast<int>(12 * vu), label);
        }
        GraphicPen pen(h, PS_SOLID, 1, RGB(0, 0, 0));
        const int minor = std::max(2, static_cast<int>(3 * vu));
        for (int x : ticks.minor)
            line(h, x, p.bottom, x, p.bottom + minor);
    }
    // The membership grid at 1 and 0.5.
    {
        GraphicPen dotted(h, PS_DOT, 1, RGB(0, 0, 0));
        const int left = p.left - static_cast<int>(3 * hu);
        const int half = m.heightOf(0.5);
        MoveToEx(h, left, p.top, nullptr);
        LineTo(h, p.right, p.top);
        LineTo(h, p.right, p.bottom);
        line(h, left, half, p.right, half);
        GraphicFont font(h, std::max(13, p.height() / 19), 480);
        const int end = p.left - static_cast<int>(6 * hu);
        const SIZE one = font.extent("1"), fifty = font.extent("0,5");
        text(h, end - one.cx, p.top - one.cy / 2, "1");
        text(h, end - fifty.cx, half - fifty.cy / 2, "0,5");
    }
    // The sets; the current one with its handles.
    {
        GraphicFont font(h, std::max(15, p.height() / 17), 480);
        for (SetShape& shape : shapeList) {
            GraphicPen pen(h, PS_SOLID, shape.penWidth, colourOf(shape.colour));
            if (shape.kind == FZ_SHAPE_SINGLETON) {
                if (shape.point[0].visible)
                    line(h, shape.point[0].x, shape.point[0].y, shape.point[1].x, shape.point[1].y);
            } else {
                bool started = false;
                for (const SupportPoint& q : shape.point) {
                    if (!q.visible)
                        continue;
                    if (started)
                        LineTo(h, q.x, q.y);
                    else
                        MoveToEx(h, q.x, q.y, nullptr);
                    started = true;
                }
            }
            if (!shape.anyVisible())
                continue;
            SetTextColor(h, colourOf(shape.colour));
            text(h, shape.labelX, shape.labelY, shape.name);
            SetTextColor(h, RGB(0, 0, 0));
            shape.selected = s.setName.text() && shape.name == s.setName.text();
            if (shape.selected)
                for (const SupportPoint& q : shape.point)
                    if (q.visible)
                        hollowRect(h, q.handle);
        }
    }
    // The variable's name under the arrow's tip, and the membership axis' µ.
    GraphicFont font(h, std::max(15, p.height() / 14), 480);
    const std::string name = s.variable && s.variable->name ? s.variable->name : "";
    text(h, f.right - font.extent(name).cx / 2, f.bottom + static_cast<int>(9 * vu), name);
    const std::string mu = "\xb5";
    text(h, f.left - static_cast<int>(10 * hu) - font.extent(mu).cx, f.top, mu);
}

// ---------------------------------------------------------------- mouse

void MsfPage::setCursorResource(int id)
{
    if (id == cursorId)
        return;
    if (HCURSOR c = LoadCursorA(programInstance(), MAKEINTRESOURCEA(id))) {
        cursorId = id;
        setCursorHandle(c);
    }
}

void MsfPage::drawRubberBand()
{
    if (selected < 0 || !isWindow())
        return;
    const RubberBand band = rubberBand(shapeList[selected], dragIndex, lastBand, geometryNow.plot);
    HDC h = GetDC(hwnd);
    const int oldRop = SetROP2(h, R2_XORPEN);
    {
        GraphicPen pen(h, PS_SOLID, 2, RGB(128, 128, 128));
        for (int i = 0; i < band.handleCount; ++i)
            hollowRect(h, band.handles[i]);
        for (size_t i = 0; i + 1 < band.line.size(); i += 2) {
            if (i == 0)
                MoveToEx(h, band.line[i], band.line[i + 1], nullptr);
            else
                LineTo(h, band.line[i], band.line[i + 1]);
        }
    }
    SetROP2(h, oldRop);
    ReleaseDC(hwnd, h);
}

void MsfPage::chooseDragPoint(int x)
{
    // The press may lie on two handles at once (a triangle's apex): the
    // first move to either side decides which point goes with the pointer.
    if (directionKnown || x == pressX || selected < 0 || dragIndex < 0)
        return;
    directionKnown = true;
    SetShape& shape = shapeList[selected];
    const int chosen = dragPointFor(shape, pressX, pressY, x);
    if (chosen < 0 || chosen == dragIndex)
        return;
    shape.point[dragIndex].dragged = false;
    dragIndex = chosen;
    shape.point[dragIndex].dragged = true;
}

LRESULT MsfPage::onMouseMove(EventRecord* event)
{
    if (tooSmall)
        return 0;
    const MouseEvent* m = static_cast<const MouseEvent*>(event);
    const FuzzyPageState& s = frame->pageState();
    if (!s.variable) {
        frame->setStatusText(kFuzzyStatusText, " x-pos: 0.0");
        return 1;
    }
    const int x = m->x(), y = m->y();
    const ValueMapping map = mapping();
    if (buttonHeld && shapeHit && selected >= 0 && hitHandle(shapeList[selected], x, y) >= 0) {
        setCursorResource(kCursorPoint);
        frame->setStatusText(kFuzzyMenuHelp, getResString(kStrFzHintMovePoint));
    } else if (!dragging) {
        bool hit = false;
        for (const SetShape& shape : shapeList)
            hit = hit || hitShape(shape, x, y);
        if (hit) {
            setCursorResource(kCursorSet);
            frame->setStatusText(kFuzzyMenuHelp, getResString(kStrFzHintChooseSet));
        } else {
            const PixelRect& f = geometryNow.frame;
            const int dx = f.width() / 20, dy = f.height() / 20;
            const bool nearFrame = x >= f.left - dx && x <= f.right + dx && y >= f.top - dy && y <= f.bottom + dy;
            frame->setStatusText(kFuzzyMenuHelp, nearFrame ? getResString(kStrFzHintConfiguration) : "");
            setCursorResource(kCursorPage);
        }
    }
    frame->setStatusText(kFuzzyStatusText, " x-pos: " + readoutText(map, x, s.xmin.text(), s.xmax.text()));
    if (dragging && selected >= 0) {
        shapeList[selected].moved = true;
        if (!firstMove)
            drawRubberBand();
        chooseDragPoint(x);
        lastBand = dragPosition(map, x, y);
        drawRubberBand();
        firstMove = false;
    }
    return 1;
}

LRESULT MsfPage::onButtonDown(EventRecord* event)
{
    const MouseEvent* m = static_cast<const MouseEvent*>(event);
    if (dragging)
        return 1;
    if (m->isButton(2)) {
        SendMessageA(frame->hwnd, WM_COMMAND, CMD_GLOBAL_METHODS, 0);
        return 1;
    }
    if (!m->isButton(1))
        return 0;
    FuzzyPageState& s = frame->pageState();
    if (!s.set || tooSmall)
        return 1;
    const int x = m->x(), y = m->y();
    buttonHeld = true;
    auto startDrag = [&](int index) {
        dragging = true;
        dragIndex = index;
        firstMove = true;
        pressX = x;
        pressY = y;
        directionKnown = false;
        shapeList[selected].point[index].dragged = true;
        SetCapture(hwnd);
    };
    if (selected >= 0) {
        const int index = hitHandle(shapeList[selected], x, y);
        if (index >= 0) {
            shapeHit = true;
            startDrag(index);
            return 1;
        }
    }
    int hit = -1;
    for (size_t i = 0; i < shapeList.size(); ++i) {
        shapeList[i].selected = false;
        for (SupportPoint& q : shapeList[i].point)
            q.dragged = false;
        if (hit < 0 && hitShape(shapeList[i], x, y))
            hit = static_cast<int>(i);
    }
    // A press beside every set keeps the set picked before.
    if (hit < 0) {
        // The handles of the current set stay where they are drawn.
        for (size_t i = 0; i < shapeList.size(); ++i)
            if (shapeList[i].name == s.setName.text()) {
                const int index = hitHandle(shapeList[i], x, y);
                if (index >= 0) {
                    selected = static_cast<int>(i);
                    shapeHit = true;
                    startDrag(index);
                }
            }
        return 1;
    }
    shapeHit = true;
    selected = hit;
    shapeList[hit].selected = true;
    s.setName = shapeList[hit].name.c_str();
    s.set = findModelMember(s.variable, shapeList[hit].name.c_str());
    if (FsetPage* fset = frame->getSetPage())
        fset->showFset();
    InvalidateRect(hwnd, nullptr, TRUE);
    const int index = hitHandle(shapeList[hit], x, y);
    if (index >= 0)
        startDrag(index);
    return 1;
}

LRESULT MsfPage::onButtonUp(EventRecord* event)
{
    if (tooSmall)
        return 0;
    const MouseEvent* m = static_cast<const MouseEvent*>(event);
    if (!dragging || !buttonHeld || selected < 0) {
        buttonHeld = false;
        shapeHit = false;
        return 1;
    }
    if (!firstMove)
        drawRubberBand();
    chooseDragPoint(m->x());
    const ValueMapping map = mapping();
    SetShape& shape = shapeList[selected];
    dropPoint(shape, dragIndex, dragPosition(map, m->x(), m->y()), geometryNow.plot);
    shape.moved = true;
    shape.point[dragIndex].dragged = false;
    shapeHit = buttonHeld = dragging = false;
    dragIndex = -1;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    FsetPage* fset = frame->getSetPage();
    if (fset)
        fset->enablePointFields(1);
    FuzzyPageState& s = frame->pageState();
    if (!s.variable)
        return 1;
    frame->setModified();
    for (SetShape& moved : shapeList)
        if (moved.moved) {
            writeBackShape(map, moved, findModelMember(s.variable, moved.name.c_str()));
            moved.moved = false;
        }
    if (fset && fset->showFset()) {
        build(s.variable);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return 1;
}

// ---------------------------------------------------------------- print and clipboard

int MsfPage::printTo(DeviceContext* dc, int)
{
    pushContext(dc);
    dcChanged();
    printing = true;
    build(frame->pageState().variable);
    dc->attach();
    paint(*dc);
    dc->release();
    popContext();
    dcChanged();
    printing = false;
    build(frame->pageState().variable);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 1;
}

int MsfPage::print()
{
    if (printTarget)
        return printTo(printTarget, 0);
    PrinterDC* printer = new PrinterDC();
    if (!printer->hasPrinter()) {
        delete printer;
        MessageBoxObject(frame, getResString(kStrNoPrinter), getResString(kStrFzProgramTitle), MB_OK | MB_ICONHAND);
        return 1;
    }
    if (!printer->setup()) {
        delete printer;
        return 1;
    }
    PrintAbortDialogCL* dialog = new PrintAbortDialogCL(frame, ResourceId(kPrintAbortDialog));
    PrintJob* job = new PrintJob(this, printer, dialog);
    job->setDocName(kPrintJobName);
    job->print();
    return 1;
}

int MsfPage::copyToClipboard()
{
    Rect area = own->drawingArea();
    clipboard->empty();
    MemoryDC* memory = new MemoryDC(*own, area.width(), area.height());
    if (!memory->bitmap() || !memory->bitmap()->handle)
        reportError(ERR_FATAL, "Assertion failed: %s", "bit");
    pushContext(memory);
    dcChanged();
    build(frame->pageState().variable);
    memory->attach();
    if (memory->hdc) {
        HBRUSH background = CreateSolidBrush(backColor & 0xFFFFFF);
        RECT r = {0, 0, area.width(), area.height()};
        FillRect(memory->hdc, &r, background);
        DeleteObject(background);
        paint(*memory);
    }
    memory->release();
    popContext();
    dcChanged();
    build(frame->pageState().variable);
    Bitmap* picture = memory->selectBitmap(nullptr);
    delete memory;
    clipboard->putBitmap(picture);
    return 1;
}
