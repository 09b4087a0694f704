// The canvas of blocks and icons on a framework device context, and a pane
// view over such a context. The context must be attached while drawing.
#ifndef KYT_EDITOR_DCCANVAS_H
#define KYT_EDITOR_DCCANVAS_H

#include "Canvas.h"
#include "DeviceContext.h"
#include "GraphicObject.h"

class DcCanvas : public Canvas {
public:
    explicit DcCanvas(DeviceContext& context) : dc(context) {}

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

private:
    DeviceContext& dc;
};

// A pane view over a device context that has no window of its own to
// invalidate (memory contexts, printing).
class ContextPane : public PaneView {
public:
    explicit ContextPane(DeviceContext& context) : canvasOnContext(context) {}
    Canvas& canvas() override { return canvasOnContext; }
    Point scrollOffset() const override { return offset; }
    void notePainted() override { painted = 1; }
    void invalidateRect(const Rect&, int) override {}

    Point offset;
    int painted = 0;

private:
    DcCanvas canvasOnContext;
};

#endif
