#include "RecordingCanvas.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>

void RecordingCanvas::note(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    ops.push_back(text);
}

void RecordingCanvas::pushPen(const PenSpec& pen)
{
    pens.push_back(pen);
    note("pen %d %d %d,%d,%d", pen.style, pen.width, pen.color.red, pen.color.green, pen.color.blue);
}

void RecordingCanvas::popPen()
{
    if (!pens.empty())
        pens.pop_back();
    note("popPen");
}

void RecordingCanvas::pushBrush(const BrushSpec& brush)
{
    brushes.push_back(brush);
    note("brush %d %d,%d,%d", brush.style, brush.color.red, brush.color.green, brush.color.blue);
}

void RecordingCanvas::popBrush()
{
    if (!brushes.empty())
        brushes.pop_back();
    note("popBrush");
}

void RecordingCanvas::pushFont(const FontSpec& font)
{
    fonts.push_back(font);
    note("font %s %d %d", font.face.text(), font.height, font.weight);
}

void RecordingCanvas::popFont()
{
    if (!fonts.empty())
        fonts.pop_back();
    note("popFont");
}

int RecordingCanvas::setBackgroundMode(int mode)
{
    int old = backgroundMode;
    backgroundMode = mode;
    note("bkMode %d", mode);
    return old;
}

int RecordingCanvas::setRop2(int rop)
{
    int old = rop2;
    rop2 = rop;
    note("rop2 %d", rop);
    return old;
}

void RecordingCanvas::setTextColor(const Color& c)
{
    note("textColor %d,%d,%d", c.red, c.green, c.blue);
}

void RecordingCanvas::setClipRect(const Rect& r)
{
    clipped = true;
    note("clip %d %d %d %d", r.left(), r.top(), r.right(), r.bottom());
}

void RecordingCanvas::clearClip()
{
    clipped = false;
    note("unclip");
}

void RecordingCanvas::moveTo(int x, int y)
{
    note("moveTo %d %d", x, y);
}

void RecordingCanvas::lineTo(int x, int y)
{
    note("lineTo %d %d", x, y);
}

void RecordingCanvas::rectangle(int l, int t, int r, int b)
{
    note("rectangle %d %d %d %d", l, t, r, b);
}

void RecordingCanvas::ellipse(int x, int y, int r)
{
    note("ellipse %d %d %d", x, y, r);
}

void RecordingCanvas::ellipseBox(int l, int t, int r, int b)
{
    note("ellipseBox %d %d %d %d", l, t, r, b);
}

void RecordingCanvas::textOut(int x, int y, const char* text)
{
    note("textOut %d %d %.400s", x, y, text ? text : "");
}

Point RecordingCanvas::textExtent(const char* text)
{
    int h = fonts.empty() ? 16 : std::abs(fonts.back().height);
    int cw = charWidth ? charWidth : (h + 1) / 2;
    int lh = lineHeight ? lineHeight : h;
    return Point(static_cast<int32_t>(strlen(text ? text : "")) * cw, lh);
}

int RecordingCanvas::externalLeading()
{
    return leading;
}

void RecordingCanvas::drawBitmapFile(const char* path, int x, int y, int width, int height)
{
    note("bitmap %s %d %d %d %d", path, x, y, width, height);
}

namespace {

void toggle(std::vector<RecordingPane::XorPrimitive>& layer, const std::string& text, const Rect& box)
{
    for (auto it = layer.begin(); it != layer.end(); ++it)
        if (it->text == text) {
            layer.erase(it);
            return;
        }
    layer.push_back(RecordingPane::XorPrimitive{text, box});
}

} // namespace

std::string RecordingPane::pointText(const Point& p)
{
    return std::to_string(p.x()) + " " + std::to_string(p.y());
}

void RecordingPane::invalidateRect(const Rect& pixels, int erase)
{
    invalidated.push_back(pixels);
    erases.push_back(erase);
    xorLayer.erase(std::remove_if(xorLayer.begin(), xorLayer.end(),
                                  [&pixels](const XorPrimitive& p) {
                                      return p.box.left() >= pixels.left() && p.box.top() >= pixels.top() &&
                                             p.box.right() <= pixels.right() && p.box.bottom() <= pixels.bottom();
                                  }),
                   xorLayer.end());
}

void RecordingPane::xorLine(const Point& a, const Point& b)
{
    ++xorDrawn;
    toggle(xorLayer, "line " + pointText(a) + " " + pointText(b),
           Rect(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

void RecordingPane::xorBand(const Rect& r)
{
    ++xorDrawn;
    toggle(xorLayer, "band " + pointText(r.topLeft()) + " " + pointText(r.bottomRight()), r);
}

void RecordingPane::xorOutline(const Rect& r)
{
    ++xorDrawn;
    toggle(xorLayer, "outline " + pointText(r.topLeft()) + " " + pointText(r.bottomRight()), r);
}

int RecordingPane::askYesNo(unsigned int text, unsigned int caption)
{
    questions.emplace_back(text, caption);
    if (answers.empty())
        return 0;
    int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}
