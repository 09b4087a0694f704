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
    // Invalidating wipes the XOR primitives that lie wholly in the area,
    // as repainting does on the screen.
    void invalidateRect(const Rect& pixels, int erase) override;
    void beep() override { ++beeps; }
    void invalidateAll() override
    {
        ++invalidatedAll;
        xorLayer.clear();
    }

    void xorLine(const Point& a, const Point& b) override;
    void xorBand(const Rect& r) override;
    void xorOutline(const Rect& r) override;
    void setCursorShape(int id) override { cursors.push_back(id); }
    void setStatusHint(unsigned int id) override { hints.push_back(id); }
    void captureMouse(int on) override { capture = on; }
    // Answers from the front of answers; No when none is left.
    int askYesNo(unsigned int text, unsigned int caption) override;
    void showInsertMenu(const Point& client) override { calls.push_back("insertMenu " + pointText(client)); }
    void showBlockMenu(const Point& client, BlockObject&) override { calls.push_back("blockMenu " + pointText(client)); }
    int editTextBlock(BlockObject&) override
    {
        calls.push_back("textBlock");
        return 0;
    }
    int editFrameBlock(BlockObject&) override
    {
        calls.push_back("frameBlock");
        return 0;
    }
    void copyToClipFile() override { calls.push_back("copy"); }
    void cutToClipFile() override { calls.push_back("cut"); }
    void pasteFromClipFile() override { calls.push_back("paste"); }

    static std::string pointText(const Point& p);

    struct XorPrimitive {
        std::string text;
        Rect box;
    };
    std::vector<XorPrimitive> xorLayer;
    std::vector<int> cursors;
    std::vector<unsigned int> hints;
    std::vector<int> answers;
    std::vector<std::pair<unsigned int, unsigned int>> questions;
    std::vector<std::string> calls;
    int capture = 0;
    int xorDrawn = 0;

    RecordingCanvas dc;
    Point offset;
    int painted = 0;
    int beeps = 0;
    int invalidatedAll = 0;
    std::vector<Rect> invalidated;
    std::vector<int> erases;
};

#endif
