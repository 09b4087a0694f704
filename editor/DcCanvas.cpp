#include "DcCanvas.h"

#include "Bitmap.h"
#include "FileLayer.h"

#include <cstdio>
#include <cstdlib>

void DcCanvas::pushPen(const PenSpec& pen)
{
    if (pen.style == PEN_NULL)
        dc.pushPen(new Pen(StockObject{NULL_PEN}));
    else
        dc.pushPen(new Pen(pen.style, pen.width, pen.color));
}

void DcCanvas::popPen()
{
    delete dc.popPen();
}

void DcCanvas::pushBrush(const BrushSpec& brush)
{
    if (brush.style == BRUSH_HOLLOW)
        dc.pushBrush(new Brush(StockObject{NULL_BRUSH}));
    else if (brush.style == BRUSH_SOLID)
        dc.pushBrush(new Brush(brush.color));
    else
        dc.pushBrush(new Brush(brush.style, brush.color));
}

void DcCanvas::popBrush()
{
    delete dc.popBrush();
}

void DcCanvas::pushFont(const FontSpec& font)
{
    dc.pushFont(new Font(font.face.text(), 0, font.height, font.weight, FF_SWISS, VARIABLE_PITCH, 0));
}

void DcCanvas::popFont()
{
    delete dc.popFont();
}

int DcCanvas::setBackgroundMode(int mode)
{
    return dc.setBackMode(mode);
}

int DcCanvas::setRop2(int rop)
{
    return dc.setROP2(rop);
}

void DcCanvas::setTextColor(const Color& color)
{
    dc.setTextColor(color);
}

void DcCanvas::setClipRect(const Rect& r)
{
    if (!dc.hdc)
        return;
    // The rectangle is in logical units; the clip region in device units.
    POINT corners[2] = {{r.left(), r.top()}, {r.right(), r.bottom()}};
    LPtoDP(dc.hdc, corners, 2);
    HRGN region = CreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    SelectClipRgn(dc.hdc, region);
    DeleteObject(region);
}

void DcCanvas::clearClip()
{
    if (dc.hdc)
        SelectClipRgn(dc.hdc, nullptr);
}

void DcCanvas::moveTo(int x, int y)
{
    dc.moveTo(x, y);
}

void DcCanvas::lineTo(int x, int y)
{
    dc.lineTo(x, y);
}

void DcCanvas::rectangle(int left, int top, int right, int bottom)
{
    dc.rectangle(left, top, right, bottom);
}

void DcCanvas::ellipse(int x, int y, int r)
{
    dc.ellipse(x, y, r);
}

void DcCanvas::ellipseBox(int left, int top, int right, int bottom)
{
    if (dc.hdc)
        Ellipse(dc.hdc, left, top, right, bottom);
}

void DcCanvas::textOut(int x, int y, const char* text)
{
    dc.textOut(x, y, text);
}

Point DcCanvas::textExtent(const char* text)
{
    return dc.textExtent(text, 0);
}

int DcCanvas::externalLeading()
{
    TEXTMETRICA metrics;
    if (!dc.hdc || !GetTextMetricsA(dc.hdc, &metrics))
        return 0;
    return metrics.tmExternalLeading;
}

void DcCanvas::drawBitmapFile(const char* path, int x, int y, int width, int height)
{
    // The file is read at each call, as the pictures may change on disk.
    FILE* file = openFile(path, "rb");
    if (!file)
        return;
    DibBlock dib;
    bool ok = readDibFile(file, dib);
    fclose(file);
    if (!ok || !dc.hdc)
        return;
    const DibHeader header = parseDibHeader(dib.data());
    int old = SetStretchBltMode(dc.hdc, COLORONCOLOR);
    stretchDib(dc, x, y, width, height, &dib, 0, 0, header.width, std::abs(header.height), SRCCOPY);
    SetStretchBltMode(dc.hdc, old);
}
