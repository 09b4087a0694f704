// A canvas that notes every call as one line of text, with a fixed-width
// text measurer, and a pane around it. Used where no device context exists.
#ifndef KYT_CIRCUITFILES_RECORDINGCANVAS_H
#define KYT_CIRCUITFILES_RECORDINGCANVAS_H

#include "Canvas.h"
#include "GraphicObject.h"

#include <string>
#include <vector>

class RecordingCanvas : public Canvas {
public:
    void pushPen(const PenSpec& pen) override;
    void popPen() override;
    void pushBrush(const BrushSpec& brush) override;
    void popBrush() override;
    void pushFont(const FontSpec& font) override;
    void popFont() override;
    int setBackgroundMode(int mode) override;
    int setRop2(int rop) override;
    void setTextColor(const Color& color) override;
    void setClipRect(const Rect& r) override;
    void clearClip() override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void ellipse(int x, int y, int r) override;
    void ellipseBox(int left, int top, int right, int bottom) override;
    void textOut(int x, int y, const char* text) override;
    Point textExtent(const char* text) override;
    int externalLeading() override;
    void drawBitmapFile(const char* path, int x, int y, int width, int height) override;

    // Text measure: each character charWidth wide, each line lineHeight
    // high; 0 derives both from the current font's height (a character
    // half as wide as high).
    int charWidth = 0;
    int lineHeight = 0;
    int leading = 0;

    std::vector<std::string> ops;
    std::vector<PenSpec> pens;
    std::vector<BrushSpec> brushes;
    std::vector<FontSpec> fonts;
    int backgroundMode = kBkOpaque;
    int rop2 = kRop2CopyPen;
    bool clipped = false;

private:
    void note(const char* format, ...);
};

class RecordingPane : public PaneView {
public:
    Canvas& canvas() override { return dc; }
    Point scrollOffset() const override { return offset; }
    void notePainted() override { ++painted; }
    void invalidateRect(const Rect& pixels, int erase) override
    {
        invalidated.push_back(pixels);
        erases.push_back(erase);
    }
    void beep() override { ++beeps; }
    void invalidateAll() override { ++invalidatedAll; }

    RecordingCanvas dc;
    Point offset;
    int painted = 0;
    int beeps = 0;
    int invalidatedAll = 0;
    std::vector<Rect> invalidated;
    std::vector<int> erases;
};

#endif
