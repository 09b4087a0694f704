// The table pane: a grid window that shows the cells of a table model with
// row and column headers, scrolls by whole cells, keeps a current cell and a
// rectangular selection, lets header borders be dragged, and edits the
// current cell in place with a formatted edit that it moves over the cell.
// The arithmetic is TableGeometry's and TableSelection's (framework core);
// this layer turns messages into calls on it and draws.
#ifndef KYT_FRAMEWORK_TABLEPANE_H
#define KYT_FRAMEWORK_TABLEPANE_H

#include "DeviceContext.h"
#include "MemberCall.h"
#include "Pane.h"
#include "Scrollers.h"
#include "TableGeometry.h"
#include "FormattedEdit.h"
#include "TableModel.h"

#include <windows.h>

#include <string>
#include <vector>

class Bitmap;
class CellEditCL;
class TablePaneCL;

// Cells paint into a device context through this canvas; the attributes'
// brushes and fonts are made on first use and kept by the attribute.
class DeviceCellCanvas : public CellCanvas {
public:
    DeviceCellCanvas(DeviceContext& context, Pen* black) : dc(context), blackPen(black) {}
    void select(CellAttribute& attribute) override;
    void restore(CellAttribute& attribute) override;
    void drawRect(const Rect& r, bool black) override;
    void drawText(int x, int y, const std::string& text) override;
    int textWidth(const std::string& text) override;
    void invert(const Rect& r) override;
    void focusFrame(const Rect& r) override;
    DeviceContext& context() { return dc; }

private:
    DeviceContext& dc;
    Pen* blackPen;
};

// A cell that shows a bitmap (owned) instead of text, with only the
// background attribute.
class BitmapCell : public TableCell {
public:
    BitmapCell(TableModelBase* model, const CellPos& pos, Bitmap* owned);
    ~BitmapCell() override;
    void paint(CellCanvas& canvas, CellStyle& style, const Rect& r) override;

    Bitmap* bitmap;
};

// Cursor resources of the framework for dragging header borders.
const int kColumnResizeCursor = 30000;
const int kRowResizeCursor = 30001;

// The pane confines the pointer during a border drag through this call, so
// that a test can see the rectangles (and the release) it asked for.
typedef BOOL(WINAPI* ClipCursorCall)(const RECT*);
void setClipCursorCall(ClipCursorCall call);

class TableScroller : public RangeScroller {
public:
    explicit TableScroller(TablePaneCL* tablePane);
    void updateBars() override {}
    int scrollVertPage() override;
    int scrollVertThumb() override;
    int scrollHorzPage() override;
    int scrollHorzThumb() override;

private:
    int afterPage(bool vertical);
    int toThumbPosition(bool vertical);
    TablePaneCL* table;
};

// Header text modes.
enum HeaderTextMode { HEADER_NUMBER = 0, HEADER_EMPTY = 1, HEADER_STORED = 2, HEADER_LETTERS = 3 };
// Header styles.
enum HeaderStyle { HEADER_FLAT = 0, HEADER_RAISED = 1, HEADER_BUTTON = 2 };
// Enter directions.
enum EnterDirection { ENTER_LEFT = 0, ENTER_RIGHT = 1, ENTER_UP = 2, ENTER_DOWN = 3 };

typedef MemberCall<void()> TableHook;

class TablePaneCL : public PaneWindowCL {
public:
    // Without a model the pane makes one of 100 x 100 cells and owns it.
    TablePaneCL(WindowCL* parent, Geometry* geometry, DWORD style, TableModelBase* model = nullptr);
    // The two resize cursors from the caller (not owned).
    TablePaneCL(WindowCL* parent, Geometry* geometry, DWORD style, TableModelBase* model, Cursor* columnCursor,
                Cursor* rowCursor);
    ~TablePaneCL() override;

    LRESULT defaultEvent(EventRecord* event) override;
    LRESULT onSize(EventRecord* event) override;
    LRESULT onMouseMove(EventRecord* event) override;
    LRESULT onButtonUp(EventRecord* event) override;
    LRESULT onButtonDown(EventRecord* event) override;
    LRESULT onFocus(EventRecord* event) override;
    LRESULT onChar(EventRecord* event) override;
    LRESULT paint(DeviceContext& dc) override;
    void dcChanged() override;
    void scrollWindow(int dx, int dy, const Rect* clip) override;
    virtual void paintEmptyCell(const Rect& r, CellStyle& style);
    virtual void paintHeaderCell(const Rect& r, uint32_t index, int kind);

    // Current cell and selection.
    CellPos getCurrentCell() const { return selection.current; }
    CellRange getSelection() const { return selection.range(); }
    CellRange getVisibleRange() const { return geo.visibleRange; }
    void setCurrentCell(const CellPos& pos) { setCurrentCell(pos, true); }
    void setCurrentCell(const CellPos& pos, bool force);
    // False when the end would leave the table.
    bool extendSelection(int dx, int dy, bool update);
    void selectRange(const CellRange& range);
    void selectHeader(int kind, uint32_t index) { selectHeaderRange(kind, index, index); }
    void selectHeaderRange(int kind, uint32_t first, uint32_t last);
    int hitHeader(const Point& p, uint32_t& index, int& kind) const { return geo.hitHeader(p, index, kind); }
    bool cellAtPoint(const Point& p, CellPos& pos) const { return geo.cellAtPoint(p, pos); }
    Rect cellRect(const CellPos& pos) const { return geo.cellRect(pos); }

    // Settings.
    int getEnterDirection() const { return enterDirection; }
    void setEnterDirection(int direction) { enterDirection = direction; }
    void getHeaderSize(int& width, int& height) const;
    void setHeaderSize(int width, int height);
    void setHeaderShown(bool shown);
    void setOption(int kind, int mode);
    int getOption(int kind) const { return kind >= 0 && kind < 3 ? headerTextMode[kind] : 0; }
    void setHeaderText(int kind, uint32_t index, const std::string& text);
    void setHeaderStyle(int s) { headerStyle = s; }
    int getHeaderStyle() const { return headerStyle; }
    // Dragging over headers extends the header selection (else each header
    // passed acts as a click).
    void setHeaderDragExtend(bool on) { headerDragExtend = on; }
    bool getHeaderDragExtend() const { return headerDragExtend; }
    void setSelectOption(bool on) { selectOption = on; }
    bool getSelectOption() const { return selectOption; }
    void setHeaderSelect(bool on) { headerSelect = on; }
    bool getHeaderSelect() const { return headerSelect; }
    void allowRowResize(bool on) { rowResize = on; }
    void allowColumnResize(bool on) { columnResize = on; }
    bool rowResizeAllowed() const { return rowResize; }
    bool columnResizeAllowed() const { return columnResize; }
    void setGridColor(const Color& colour);
    void setColumnWidth(uint32_t column, int width);
    void setColumnWidths(uint32_t first, uint32_t last, int width);
    void setRowHeight(uint32_t row, int height);
    int columnWidth(uint32_t column) const { return geo.columnWidth(column); }
    int rowHeight(uint32_t row) const { return geo.rowHeight(row); }
    void setCurrentCellHook(const TableHook& hook) { currentCellHook = hook; }
    void setSelectionHook(const TableHook& hook) { selectionHook = hook; }
    TableModelBase* getModel() const { return model; }
    const TableGeometry& geometryOf() const { return geo; }
    int dragMode() const { return drag; }

    // Invalidation without erasing.
    void invalidateCell(const CellPos& pos);
    void invalidateRange(const CellRange& range);
    void invalidateHeaders(int kind, uint32_t first, uint32_t last);

    // The in-place editor.
    void attachEditor(CellEditCL* editor);
    CellEditCL* getEditor() const { return editor; }
    // Enter: stores the editor's text into the current cell, then (when
    // asked) moves by the Enter direction; the pane takes the focus.
    void commitEdit(bool move);
    // Up (0) or Down (1) after the commit.
    void commitAndMoveVertically(int direction);
    void cancelEdit();

    // The model's change callback.
    int modelChanged(TableModelBase* changed, const CellRange* range);

private:
    friend class TableScroller;
    enum EditorLoad { LOAD_MOVING, LOAD_PLAIN };

    void setUp(TableModelBase* given, Cursor* columnCursor, Cursor* rowCursor);
    void setScrollRanges();
    void relayoutScroller(bool onSizeForm);
    void loadEditor(EditorLoad how);
    void clearHeaderHighlight();
    void highlight(int kind, uint32_t first, uint32_t last);
    bool inVisibleRange(const CellPos& pos) const { return geo.visibleRange.contains(pos); }
    void invalidateWhole(bool erase);
    void update();
    void callHook(const TableHook& hook);
    std::string headerText(int kind, uint32_t index) const;

    LRESULT onKey(EventRecord* event);
    void moveLeft();
    void moveRight();
    void moveUp();
    void moveDown();
    void shiftMove(int dx, int dy);
    // One step of a bar back or forward, through the scroller's line step.
    void scrollOne(bool vertical, bool forward);
    void headerClick(int kind, uint32_t index);
    void headerDrag(int kind, uint32_t index);
    void drawFeedbackLine(const Point& p);
    void endBorderDrag(const Point* releasedAt);
    void stepSelectionTo(const CellPos& target, bool update);

    TableGeometry geo;
    TableSelection selection;
    bool ownsModel;
    int enterDirection;
    TableModelBase* model;
    int drag;
    bool buttonDown;
    bool releasingCapture;
    Point dragStart;
    Cursor* columnCursor;
    Cursor* rowCursor;
    bool ownsCursors;
    int resizeState;
    uint32_t resizedColumn;
    uint32_t resizedRow;
    Point lastMouse;
    int headerTextMode[3];
    int headerStyle;
    bool selectOption;
    bool headerSelect;
    bool headerDragExtend;
    bool rowResize;
    bool columnResize;
    uint32_t highlightFirst;
    uint32_t highlightLast;
    int highlightKind;
    uint32_t headerDragAnchor;
    uint32_t headerDragEnd;
    std::vector<std::string> rowHeaderTexts;
    std::vector<std::string> columnHeaderTexts;
    std::string cornerText;
    bool prepared;
    bool hasFocus;
    Brush* lightGrayBrush;
    Brush* whiteBrush;
    Brush* darkGrayBrush;
    Brush* blackBrush;
    Pen* gridPen;
    Pen* blackPen;
    Pen* whitePen;
    Pen* shadowPen;
    Pen* dragPen;
    Font* paneFont;
    int rowShift;
    int columnShift;
    TableHook currentCellHook;
    TableHook selectionHook;
    CellEditCL* editor;
    HRGN clipRegion;
};

// A formatted edit that edits a table cell: Enter commits and moves, Esc
// cancels, Up and Down commit and move vertically. What is typed goes
// through the edit formatter of the cell's formatter, as in a field.
class CellEditCL : public FormattedEditCL {
public:
    // No text, no mask.
    CellEditCL(WindowCL* parent, Geometry* geometry, DWORD style, int controlId);
    CellEditCL(WindowCL* parent, int controlId);
    // The formatters are the model's: forgotten, never deleted.
    ~CellEditCL() override;

    LRESULT defaultEvent(EventRecord* event) override;
    LRESULT onChar(EventRecord* event) override;
    virtual void moveToCell(const CellPos&) {}
    // Ends a shown edit before the pane commits or moves.
    virtual void hideEditor() {}

    // The formatter of the cell being edited (not owned; null: none); its
    // edit formatter, when it has one, formats what is typed.
    void setCellFormatter(CellFormatter* cellFormatter);
    CellFormatter* getCellFormatter() const { return cellFormatter; }
    void setReadOnly(bool flag);
    bool isReadOnly() const { return readOnly; }

    WindowCL* parentWindow;
    TablePaneCL* pane;

protected:
    CellFormatter* cellFormatter;
    bool readOnly;
};

class TableEditCL : public CellEditCL {
public:
    // A hidden child of the pane, handed to it at once.
    TableEditCL(TablePaneCL* tablePane, DWORD style, int controlId);
    ~TableEditCL() override;

    LRESULT onFocus(EventRecord* event) override;
    LRESULT onChar(EventRecord* event) override;
    void moveToCell(const CellPos& pos) override;
    void hideEditor() override;
    bool isShown() const { return shown; }
    CellPos getCell() const { return cell; }

private:
    bool shown;
    CellPos cell;
    Font* editFont;
};

#endif
