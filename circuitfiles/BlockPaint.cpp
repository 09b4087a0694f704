// Painting a block: frame, ports and signal names, marks, icon and text,
// and the outline drawn while the block is dragged.
#include "BlockObject.h"

#include "Canvas.h"
#include "Icon.h"
#include "Workspace.h"

#include <algorithm>
#include <string>

String inputSignalName(const BlockObject& block, int input);

namespace {

const Color kBlack(0, 0, 0);
const Color kWhite(255, 255, 255);
const Color kRed(255, 0, 0);
const Color kLightGrey(192, 192, 192);
const Color kGrey(128, 128, 128);
const Color kBlue(0, 0, 255);
const int kNormalWeight = 400;

bool printing()
{
    return theWorkspace && theWorkspace->printing;
}

} // namespace

Rect BlockObject::pixelRect(int zoomX, int zoomY, const Point& offset) const
{
    int left = position.x() * zoomX - offset.x();
    int top = position.y() * zoomY - offset.y();
    return Rect(left, top, left + size.x() * zoomX, top + size.y() * zoomY);
}

void BlockObject::paint(PaneView& pane, int zoomX, int zoomY)
{
    // A text block that took a new size is painted once more at it.
    for (int pass = 0; pass < 2; ++pass)
        if (!paintOnce(pane, zoomX, zoomY))
            break;
}

bool BlockObject::paintOnce(PaneView& pane, int zoomX, int zoomY)
{
    Canvas& dc = pane.canvas();
    dc.setBackgroundMode(kBkTransparent);
    pane.notePainted();

    rect = Rect(position.x(), position.y(), position.x() + size.x() + 2, position.y() + size.y() + 2);
    rightOverhang = leftOverhang = 0;
    const Rect px = pixelRect(zoomX, zoomY, pane.scrollOffset());
    const bool frameBlock = (kindFlags & kKindFrame) != 0;
    const bool textBlock = (kindFlags & kKindText) != 0;

    PenSpec pen = {PEN_SOLID, 1, kBlack};
    if (frameBlock) {
        pen.color = textColour;
        pen.style = markWord ? PEN_DASH : PEN_SOLID;
        if (!frameOutline && !markWord)
            pen.style = PEN_NULL;
    }
    dc.pushPen(pen);

    BrushSpec fill = {BRUSH_SOLID, kWhite};
    if (frameBlock) {
        fill = frameFill ? BrushSpec{BRUSH_SOLID, frameColour} : BrushSpec{BRUSH_HOLLOW, kBlack};
    } else if (markWord) {
        fill.color = kLightGrey;
    } else if (highlightWord) {
        fill.color = kRed;
    }
    dc.pushBrush(fill);

    if (!textBlock)
        drawFrame(dc, px, 1);
    else if (markWord)
        drawFrame(dc, px, 0);

    // Names and marks go over the fill without one of their own.
    dc.pushBrush(BrushSpec{BRUSH_HOLLOW, kBlack});
    drawSignalNames(dc, px, zoomX, zoomY);
    for (int i = 1; i <= inputCount; ++i)
        paintPortMark(dc, 1, i, px, zoomX, zoomY);
    for (int i = 1; i <= outputCount; ++i)
        paintPortMark(dc, 2, i, px, zoomX, zoomY);
    dc.popBrush();

    if (anyOtherSymbolMarked()) {
        int r = static_cast<int>(0.2 * zoomX);
        dc.pushPen(PenSpec{PEN_SOLID, 1, kRed});
        dc.pushBrush(BrushSpec{BRUSH_SOLID, kRed});
        dc.ellipse(px.right() - r, px.top() + static_cast<int>(0.2 * zoomY), r);
        dc.popBrush();
        dc.popPen();
    }

    dc.setClipRect(px);

    if (layout[6])
        iconDim = Point(size.x() - 2, size.y() - 1);
    {
        int iw = iconDim.x() * zoomX;
        int ih = iconDim.y() * zoomY;
        int ix = px.left() + zoomX;
        int iy = px.top() + zoomY / 2;
        if (layout[2] == 1)
            ix += ((size.x() - 2) * zoomX - iw) / 2;
        else if (layout[2] == 2)
            ix += (size.x() - 2) * zoomX - iw;
        if (layout[3] == 1)
            iy += ((size.y() - 1) * zoomY - ih) / 2;
        else if (layout[3] == 2)
            iy += (size.y() - 1) * zoomY - ih;
        if (iconBase)
            iconBase->draw(iconName.text(), dc, ix, iy, iw, ih);
    }

    dc.setTextColor(kBlack);
    double height = textBlock ? -0.85 * zoomY * scale - 0.5 : -0.85 * zoomY - 0.5;
    if (!(height > -1e6 && height < 1e6))
        height = -1;
    dc.pushFont(FontSpec{String("Arial"), static_cast<int>(height), kNormalWeight});

    std::vector<String> lines = textLines;
    if (layout[5])
        for (int i = 0; i < parameterCount; ++i) {
            String line = at(parameterNames, i);
            if (at(parameterKinds, i) & kParamText)
                line = line + "=\"" + at(parameterValues, i) + "\"";
            else
                line = line + "=" + at(parameterValues, i);
            lines.push_back(line);
        }
    const int leading = dc.externalLeading();
    int textWidth = 0, textHeight = 0;
    std::vector<Point> extents;
    for (size_t i = 0; i < lines.size(); ++i) {
        Point e = dc.textExtent(lines[i].text());
        extents.push_back(e);
        textWidth = std::max(textWidth, static_cast<int>(e.x()));
        textHeight += e.y() + (i + 1 < lines.size() ? leading : 0);
    }

    bool again = false;
    if (textBlock && !printing() && zoomX >= 1 && zoomY >= 1) {
        int w = static_cast<int>(static_cast<double>(textWidth) / zoomX + 2.5);
        int h = static_cast<int>(static_cast<double>(textHeight) / zoomY + 1.5);
        if (w != size.x() || h != size.y()) {
            setGeometry(w, h);
            again = true;
        }
    }

    if (!again) {
        int tx = px.left() + zoomX;
        int ty = px.top() + zoomY / 2;
        if (layout[0] == 1)
            tx += ((size.x() - 2) * zoomX - textWidth) / 2;
        else if (layout[0] == 2)
            tx += (size.x() - 2) * zoomX - textWidth;
        if (layout[1] == 1)
            ty += ((size.y() - 1) * zoomY - textHeight) / 2;
        else if (layout[1] == 2)
            ty += (size.y() - 1) * zoomY - textHeight;
        for (size_t i = 0; i < lines.size(); ++i) {
            int lx = tx + (layout[4] ? (textWidth - extents[i].x()) / 2 : 0);
            dc.textOut(lx, ty, lines[i].text());
            ty += extents[i].y() + leading;
        }
    }

    dc.popFont();
    dc.clearClip();

    if (!again && printing() && !textBlock && !frameBlock) {
        dc.pushBrush(BrushSpec{BRUSH_HOLLOW, kBlack});
        drawFrame(dc, px, 1);
        dc.popBrush();
    }
    dc.popBrush();
    dc.popPen();
    return again;
}

void BlockObject::paintPortMark(Canvas& dc, int side, int index, const Rect& px, int zoomX,
                                int zoomY)
{
    int row = portPosition(side, index).y();
    int top = px.top() + (row - 1) * zoomY;
    int bottom = top + zoomY;
    int middle = top + zoomY / 2;
    bool onLeft = (side == 1) != (mirrored != 0);
    bool red = connectStart == PortRef{side, index};
    if (red)
        dc.pushPen(PenSpec{PEN_SOLID, 1, kRed});
    if (side == 1) {
        // An arrowhead pointing into the block.
        int edge = onLeft ? px.left() : px.right();
        int tip = onLeft ? px.left() + zoomX - 4 : px.right() - zoomX + 4;
        dc.moveTo(edge, top + 3);
        dc.lineTo(tip, middle);
        dc.lineTo(edge, bottom - 3);
    } else {
        // A stroke out of the block through the edge column.
        int inner = onLeft ? px.left() + zoomX : px.right() - zoomX;
        int outer = onLeft ? px.left() : px.right();
        dc.moveTo(inner, middle);
        dc.lineTo(outer, middle);
    }
    if (red)
        dc.popPen();
}

void BlockObject::drawSignalName(Canvas& dc, const char* text, bool rightEdge, int row,
                                 const Rect& px, int zoomX, int zoomY)
{
    if (!text || !*text)
        return;
    Point extent = dc.textExtent(text);
    int gap = static_cast<int>(0.4 * zoomX);
    int y = px.top() + (row - 1) * zoomY;
    int x = rightEdge ? px.right() + gap : px.left() - gap - extent.x();
    dc.textOut(x, y, text);
    int columns = static_cast<int>(static_cast<double>(extent.x()) / zoomX + 0.5) + 1;
    int& overhang = rightEdge ? rightOverhang : leftOverhang;
    if (columns > overhang) {
        if (rightEdge)
            rect.bottomRight().x() += columns - overhang;
        else
            rect.topLeft().x() -= columns - overhang;
        overhang = columns;
    }
}

void BlockObject::drawSignalNames(Canvas& dc, const Rect& px, int zoomX, int zoomY)
{
    if (zoomX < 1 || zoomY < 1)
        return;
    dc.pushFont(FontSpec{String("Arial"), zoomY, kNormalWeight});
    dc.setTextColor(kBlue);
    for (int i = 1; i <= outputCount; ++i)
        drawSignalName(dc, signalName(i).text(), !mirrored, portPosition(2, i).y(), px, zoomX, zoomY);
    if (theWorkspace && theWorkspace->showInputSignalNames)
        for (int i = 1; i <= inputCount; ++i)
            drawSignalName(dc, inputSignalName(*this, i).text(), mirrored != 0, portPosition(1, i).y(),
                           px, zoomX, zoomY);
    dc.popFont();
}

void BlockObject::paintTo(Canvas& dc, const Point& a, const Point& b, int zoomX, int zoomY)
{
    int oldRop = dc.setRop2(kRop2XorPen);
    dc.pushBrush(BrushSpec{BRUSH_HOLLOW, kBlack});
    dc.pushPen(PenSpec{PEN_DOT, 1, kGrey});
    int w = size.x() * zoomX;
    int h = size.y() * zoomY;
    dc.rectangle(a.x(), a.y(), a.x() + w, a.y() + h);
    dc.rectangle(b.x(), b.y(), b.x() + w, b.y() + h);
    dc.popPen();
    dc.popBrush();
    dc.setRop2(oldRop);
}
