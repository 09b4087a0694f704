// Panes: child windows that draw through a virtual paint(dc) into their own
// window context, or into another context (a memory bitmap, a metafile, a
// printer) pushed on their context stack; and the text pane, a grid of
// character cells written to like a terminal.
#ifndef KYT_FRAMEWORK_PANE_H
#define KYT_FRAMEWORK_PANE_H

#include "Collections.h"
#include "DeviceContext.h"
#include "Scroll.h"
#include "TextRows.h"
#include "Window.h"

#include <windows.h>

#include <map>

class PaneWindowCL;

// The caret of a pane.
struct CaretRecord {
    PaneWindowCL* pane;
    HBITMAP bitmap;
    int gray;
    int width;
    int height;
    int x;
    int y;
    int visibleCount;
    UINT blinkTime;
    UINT savedBlinkTime;
    int shown;

    void on();
    void off();
};

class PaneWindowCL : public VisualCtrl, public ScrollPane {
public:
    PaneWindowCL(WindowCL* parent, Geometry* geometry, DWORD style);
    // Around an existing window, which is subclassed to PaneWindowProc.
    PaneWindowCL(HWND existing, WindowCL* parent, Geometry* geometry, DWORD style);
    ~PaneWindowCL() override;

    // The class description on the first call only.
    WNDCLASSA* classInfo() override;
    LRESULT onScroll(EventRecord* event) override;
    LRESULT onFocus(EventRecord* event) override;
    void show(int cmd) override;

    virtual LRESULT paint(DeviceContext& dc);
    virtual void dcChanged() {}
    virtual int preparePrint(DeviceContext*, int) { return 0; }
    virtual int printTo(DeviceContext* dc, int flag);
    virtual int nextPage() { return 0; }
    virtual void scrollWindow(int dx, int dy, const Rect* rect);

    // The WM_PAINT step.
    LRESULT paintWith(EventRecord* event);
    // Draws the pane into another context: pushed, made current, painted,
    // popped; dcChanged runs at both switches.
    LRESULT paintInto(DeviceContext* dc);
    void pushContext(DeviceContext* dc);
    void popContext();
    DeviceContext* currentContext() const { return current; }
    WindowDC* ownContext() const { return own; }

    // A caret of that size; shown while the pane has the focus.
    void setCaret(int width, int height, int gray = 0);
    CaretRecord* caretRecord() const { return caret; }

    // ScrollPane.
    ScrollBarState* verticalBar() override { return vScrollState; }
    ScrollBarState* horizontalBar() override { return hScrollState; }
    Scroller* paneScroller() override { return scroller; }
    bool paneIsWindow() override { return isWindow(); }
    Rect paneClientRect() override;
    int paneExtent(Point& size) override { return getExtent(size); }
    void scrollContents(int dx, int dy, const Rect* clip) override { scrollWindow(dx, dy, clip); }
    Point contextOrigin() override { return own->windowOrigin(); }
    void setContextOrigin(const Point& origin) override { own->setWindowOrigin(origin); }
    void invalidatePane() override { own->invalidateRect(nullptr, true); }
    void updatePane() override;
    bool controlKeyDown() override { return GetKeyState(VK_CONTROL) < 0; }
    void addKeyHandler(KeyScroller* scroller) override;
    void removeKeyHandler(KeyScroller* scroller) override;

protected:
    void initPane();
    // The window's bars, for a style with WS_VSCROLL or WS_HSCROLL.
    void makeBarStates();

    DeviceContext* current;
    WindowDC* own;
    SList contexts;
    CaretRecord* caret;

private:
    struct KeyLink {
        KeyScroller* scroller;
        LRESULT onKey(EventRecord* event);
    };
    std::map<KeyScroller*, KeyLink*> keyLinks;
};

LRESULT CALLBACK PaneWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

class TextPaneCL : public PaneWindowCL, public TextRowsView {
public:
    TextPaneCL(WindowCL* parent, Geometry* geometry, DWORD style, int rows, int columns);

    void show(int cmd) override;
    LRESULT paint(DeviceContext& dc) override;
    int getExtent(Point& size) override;

    // The output stream: a text, or one character, at the cursor.
    TextPaneCL& operator<<(const char* text);
    TextPaneCL& operator<<(char c);
    void printAt(int column, int row, const char* format, ...);
    void lineDown(int n) { buffer.lineDown(n); }
    void lineUp(int n) { buffer.lineUp(n); }
    void columnRight(int n) { buffer.columnRight(n); }
    // Blanks the cells (all when null) and repaints them.
    void clear(const Rect* cells = nullptr);
    Point cellAt(const Point& p) const { return cells.cellAt(p); }
    Point pointOf(const Point& cell) const { return cells.pointOf(cell); }
    const CellGeometry& cellGeometry() const { return cells; }
    TextRows& rows() { return buffer; }

    // TextRowsView.
    void drawCells(int column, int row, const char* text, int count) override;
    void scrolled(int rowCount) override;

private:
    TextRows buffer;
    CellGeometry cells;
    Font* cellFont;
};

#endif
