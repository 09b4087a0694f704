// What blocks and icons draw with: a device context with stacks of pens,
// brushes and fonts. Under Wine a thin adapter onto the framework's device
// context; natively the RecordingCanvas, which notes every call.
#ifndef KYT_CIRCUITFILES_CANVAS_H
#define KYT_CIRCUITFILES_CANVAS_H

#include "String.h"
#include "ValueTypes.h"

// Windows pen styles.
enum CanvasPenStyle {
    PEN_SOLID = 0,
    PEN_DASH = 1,
    PEN_DOT = 2,
    PEN_DASHDOT = 3,
    PEN_DASHDOTDOT = 4,
    PEN_NULL = 5,
    PEN_INSIDEFRAME = 6
};

// Windows hatch styles; BRUSH_SOLID and BRUSH_HOLLOW stand beside them.
enum CanvasBrushStyle {
    BRUSH_BDIAGONAL = 3,
    BRUSH_FDIAGONAL = 2,
    BRUSH_CROSS = 4,
    BRUSH_DIAGCROSS = 5,
    BRUSH_HORIZONTAL = 0,
    BRUSH_VERTICAL = 1,
    BRUSH_SOLID = 100,
    BRUSH_HOLLOW = 101
};

// Windows background modes and the two raster operations used.
const int kBkTransparent = 1;
const int kBkOpaque = 2;
const int kRop2CopyPen = 13;
const int kRop2XorPen = 7;

struct PenSpec {
    int style;
    int width;
    Color color;
};

struct BrushSpec {
    int style;
    Color color;
};

struct FontSpec {
    String face;
    // Negative: the height of the characters without leading.
    int height;
    int weight;
};

class Canvas {
public:
    virtual ~Canvas() {}

    // Each push makes the object current; its pop restores the one before
    // and deletes it.
    virtual void pushPen(const PenSpec& pen) = 0;
    virtual void popPen() = 0;
    virtual void pushBrush(const BrushSpec& brush) = 0;
    virtual void popBrush() = 0;
    virtual void pushFont(const FontSpec& font) = 0;
    virtual void popFont() = 0;

    // Each returns the previous mode.
    virtual int setBackgroundMode(int mode) = 0;
    virtual int setRop2(int rop) = 0;
    virtual void setTextColor(const Color& color) = 0;
    // Clips to r (device pixels); clearClip removes the clip region.
    virtual void setClipRect(const Rect& r) = 0;
    virtual void clearClip() = 0;

    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
    // A circle of radius r round (x, y).
    virtual void ellipse(int x, int y, int r) = 0;
    virtual void ellipseBox(int left, int top, int right, int bottom) = 0;
    virtual void textOut(int x, int y, const char* text) = 0;
    // Width and height of text in the current font; the current font's
    // external leading.
    virtual Point textExtent(const char* text) = 0;
    virtual int externalLeading() = 0;

    // Stretches the bitmap file at path into the rectangle.
    virtual void drawBitmapFile(const char* path, int x, int y, int width, int height) = 0;
};

#endif
