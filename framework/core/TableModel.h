// The contents of a table pane: cells addressed by column and row (both from
// 1), attributes that apply to rectangles of cells, and the views that are
// told which rectangle changed. Free of any window: a cell paints through the
// small CellCanvas interface, which the window layer implements over a device
// context and the tests record.
#ifndef KYT_FRAMEWORK_TABLEMODEL_H
#define KYT_FRAMEWORK_TABLEMODEL_H

#include "MemberCall.h"
#include "ValueTypes.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

class FieldFormatter;

struct CellPos {
    uint32_t column;
    uint32_t row;
    CellPos() : column(0), row(0) {}
    CellPos(uint32_t c, uint32_t r) : column(c), row(r) {}
    bool operator==(const CellPos& o) const { return column == o.column && row == o.row; }
    bool operator!=(const CellPos& o) const { return !(*this == o); }
};

// Inclusive rectangle of cells.
struct CellRange {
    uint32_t column1;
    uint32_t row1;
    uint32_t column2;
    uint32_t row2;
    CellRange() : column1(0), row1(0), column2(0), row2(0) {}
    CellRange(uint32_t c1, uint32_t r1, uint32_t c2, uint32_t r2) : column1(c1), row1(r1), column2(c2), row2(r2) {}
    bool contains(const CellPos& p) const
    {
        return p.column >= column1 && p.column <= column2 && p.row >= row1 && p.row <= row2;
    }
    bool operator==(const CellRange& o) const
    {
        return column1 == o.column1 && row1 == o.row1 && column2 == o.column2 && row2 == o.row2;
    }
    bool operator!=(const CellRange& o) const { return !(*this == o); }
};

// Cell flags.
enum CellFlag : uint32_t {
    CELL_ORDINARY = 0x02,
    CELL_FORMATTED = 0x04,
    CELL_SECOND_FORMATTER = 0x08,
    CELL_DETACHED = 0x80
};

// Attribute kinds, also the slots of a CellStyle.
enum AttributeKind {
    ATTR_TEXT_COLOR = 1,
    ATTR_BACKGROUND = 2,
    ATTR_FONT = 3,
    ATTR_MARK = 4,
    ATTR_FORMATTER = 5,
    ATTR_ALT_FORMATTER = 6,
    ATTR_ALIGNMENT = 7
};
const int kStyleSlots = 10;

// Turns a raw cell value into the text shown: the edit-field formatter's
// edit request on an empty text with the value as the typed characters and
// the selection (first, last).
class CellFormatter {
public:
    virtual ~CellFormatter() {}
    virtual std::string format(const std::string& characters, int first, int last) = 0;
    // The edit field formatter behind it, which the in-place editor types
    // through (null when there is none).
    virtual FieldFormatter* fieldFormatter() { return nullptr; }
};

// What the window layer keeps for an attribute (a brush, a font); owned by
// the attribute.
class AttributeResource {
public:
    virtual ~AttributeResource() {}
};

class CellAttribute {
public:
    CellAttribute(int attributeKind, const CellRange& cells) : kind(attributeKind), range(cells) {}
    virtual ~CellAttribute() {}

    int kind;
    CellRange range;
    // Made by the window layer on first use.
    std::unique_ptr<AttributeResource> resource;

private:
    CellAttribute(const CellAttribute&) = delete;
    CellAttribute& operator=(const CellAttribute&) = delete;
};

class TextColorAttribute : public CellAttribute {
public:
    TextColorAttribute(const CellRange& cells, const Color& c) : CellAttribute(ATTR_TEXT_COLOR, cells), colour(c) {}
    Color colour;
    Color saved;
};

class BackgroundAttribute : public CellAttribute {
public:
    BackgroundAttribute(const CellRange& cells, const Color& c) : CellAttribute(ATTR_BACKGROUND, cells), colour(c) {}
    Color colour;
};

class FontAttribute : public CellAttribute {
public:
    FontAttribute(const CellRange& cells, const std::string& face, int tenthPoints, int fontWeight)
        : CellAttribute(ATTR_FONT, cells), faceName(face), height(tenthPoints), weight(fontWeight)
    {
    }
    std::string faceName;
    // In 1/720 inch.
    int height;
    int weight;
};

// Only marks a range; the program marks the rows that may not be edited.
class MarkAttribute : public CellAttribute {
public:
    explicit MarkAttribute(const CellRange& cells) : CellAttribute(ATTR_MARK, cells) {}
};

class FormatterAttribute : public CellAttribute {
public:
    FormatterAttribute(const CellRange& cells, CellFormatter* owned) : FormatterAttribute(ATTR_FORMATTER, cells, owned) {}
    ~FormatterAttribute() override { delete formatter; }
    // The old formatter comes back to the caller, not deleted.
    CellFormatter* setFormatter(CellFormatter* replacement)
    {
        CellFormatter* old = formatter;
        formatter = replacement;
        return old;
    }
    CellFormatter* getFormatter() const { return formatter; }

protected:
    FormatterAttribute(int attributeKind, const CellRange& cells, CellFormatter* owned)
        : CellAttribute(attributeKind, cells), formatter(owned)
    {
    }

private:
    CellFormatter* formatter;
};

class AltFormatterAttribute : public FormatterAttribute {
public:
    AltFormatterAttribute(const CellRange& cells, CellFormatter* owned)
        : FormatterAttribute(ATTR_ALT_FORMATTER, cells, owned)
    {
    }
};

class TableModelBase;

// The attributes that apply to one cell, one slot per kind, and the two
// flags the pane sets before painting.
class CellStyle {
public:
    explicit CellStyle(TableModelBase* m) : model(m), selected(false), focused(false) { clear(); }
    void lookup(const CellPos& pos);
    void clear()
    {
        for (auto& s : slots)
            s = nullptr;
    }
    CellAttribute* slot(int kind) const { return kind > 0 && kind < kStyleSlots ? slots[kind] : nullptr; }
    // The formatter of the kind-6 (second) or kind-5 attribute, or null.
    CellFormatter* formatter(bool second) const;

    TableModelBase* model;
    bool selected;
    bool focused;

private:
    CellAttribute* slots[kStyleSlots];
};

// Where a cell paints: the window layer implements it over a device context.
class CellCanvas {
public:
    virtual ~CellCanvas() {}
    virtual void select(CellAttribute& attribute) = 0;
    virtual void restore(CellAttribute& attribute) = 0;
    // Outline in the current pen (the black one when asked), filled with the
    // current brush.
    virtual void drawRect(const Rect& r, bool blackPen) = 0;
    virtual void drawText(int x, int y, const std::string& text) = 0;
    virtual int textWidth(const std::string& text) = 0;
    virtual void invert(const Rect& r) = 0;
    // The inner black frame of the current cell.
    virtual void focusFrame(const Rect& r) = 0;
};

// Steps 1-2 and 4-7 of painting a cell around its content; the content
// painter returns non-zero when it drew selection and focus itself.
void paintCellFrame(CellCanvas& canvas, CellStyle& style, const Rect& r, bool textAttributes,
                    const std::function<int(CellCanvas&, const Rect&)>& content);
// A text cell (and an empty cell with an empty text).
void paintTextCell(CellCanvas& canvas, CellStyle& style, const Rect& r, const std::string& text);

class TableCell {
public:
    // Enters the cell into the model at pos.
    TableCell(TableModelBase* m, const CellPos& pos, uint32_t cellFlags = 0);
    // Takes the cell out of the model, unless it is detached or the model
    // holds another cell there now.
    virtual ~TableCell();

    virtual void paint(CellCanvas& canvas, CellStyle& style, const Rect& r);
    virtual std::string getText() const { return std::string(); }
    virtual void setText(const std::string& text);

    void markChanged();

    TableModelBase* model;
    uint32_t column;
    uint32_t row;
    uint32_t flags;

private:
    TableCell(const TableCell&) = delete;
    TableCell& operator=(const TableCell&) = delete;
};

class TextCell : public TableCell {
public:
    TextCell(TableModelBase* m, const CellPos& pos, const std::string& initial)
        : TableCell(m, pos, CELL_ORDINARY), text(initial)
    {
    }
    void paint(CellCanvas& canvas, CellStyle& style, const Rect& r) override;
    std::string getText() const override { return text; }
    void setText(const std::string& t) override;

    std::string text;
};

class FormattedCell : public TableCell {
public:
    FormattedCell(TableModelBase* m, const CellPos& pos, const std::string& initial,
                  uint32_t cellFlags = CELL_ORDINARY);
    void paint(CellCanvas& canvas, CellStyle& style, const Rect& r) override;
    std::string getText() const override { return display; }
    void setText(const std::string& t) override;

    std::string value;
    std::string display;
};

class AltFormattedCell : public FormattedCell {
public:
    AltFormattedCell(TableModelBase* m, const CellPos& pos, const std::string& initial)
        : FormattedCell(m, pos, initial, CELL_ORDINARY | CELL_FORMATTED | CELL_SECOND_FORMATTER)
    {
    }
};

// A cell whose content the program draws.
class CustomCell : public TableCell {
public:
    CustomCell(TableModelBase* m, const CellPos& pos) : TableCell(m, pos) {}
    void paint(CellCanvas& canvas, CellStyle& style, const Rect& r) override;
    // Non-zero when it drew selection and focus itself.
    virtual int paintContent(const Rect& r, CellCanvas& canvas, CellStyle& style) = 0;
};

class CellFactory {
public:
    virtual ~CellFactory() {}
    // 1 for a number-like text (digits, '.', '-', '+' only), else 2.
    virtual int classify(const std::string& text) const;
    virtual TableCell* create(TableModelBase* model, int kind, const CellPos& pos, const std::string& value);
};

typedef MemberCall<int(TableModelBase*, const CellRange*)> ViewCall;

class TableModelBase {
public:
    TableModelBase(uint32_t columnCount, uint32_t rowCount);
    virtual ~TableModelBase();

    // Stores the cell (null clears); a replaced cell is not deleted.
    virtual void setCell(const CellPos& pos, TableCell* cell) = 0;
    virtual TableCell* getCell(const CellPos& pos) = 0;
    virtual void setSize(uint32_t columnCount, uint32_t rowCount);
    virtual CellRange fullRange() const { return CellRange(1, 1, columns, rows); }
    // Takes the cell out of the storage when the model holds that very cell
    // at pos, whatever the size now is; nothing is loaded or reordered.
    virtual void releaseCell(const CellPos& pos, const TableCell* cell) = 0;

    CellAttribute* addAttribute(CellAttribute* attribute);
    CellAttribute* removeAttribute(CellAttribute* attribute);
    const std::vector<CellAttribute*>& attributeList() const { return attributes; }

    void addView(const ViewCall& call);
    void removeView(const ViewCall& call);
    void invalidate(const CellRange* range);
    void invalidateCell(const CellPos& pos);
    void notifyViews();
    void notifyViewsExcept(void* view);
    int pendingRange(void* view, CellRange& range) const;

    // A new cell from the text where there is none or an ordinary one (the
    // old cell comes back detached for the caller to delete), else the
    // cell's own setText and null. Outside the size nothing happens: null.
    TableCell* setCellText(const CellPos& pos, const std::string& text);

    uint32_t getColumns() const { return columns; }
    uint32_t getRows() const { return rows; }
    bool inside(const CellPos& pos) const
    {
        return pos.column >= 1 && pos.column <= columns && pos.row >= 1 && pos.row <= rows;
    }
    CellFactory* factory() const { return cellFactory.get(); }

protected:
    uint32_t columns;
    uint32_t rows;

private:
    struct ViewRecord {
        CellRange changed;
        bool fullRefresh;
        bool pending;
        ViewCall call;
    };
    void notify(ViewRecord& record);

    std::vector<CellAttribute*> attributes;
    std::vector<ViewRecord> views;
    std::unique_ptr<CellFactory> cellFactory;

    TableModelBase(const TableModelBase&) = delete;
    TableModelBase& operator=(const TableModelBase&) = delete;
};

// Dense storage: an array of rows, each an array of cells.
class TableModel : public TableModelBase {
public:
    TableModel(uint32_t columnCount, uint32_t rowCount) : TableModelBase(columnCount, rowCount) {}
    ~TableModel() override;
    void setCell(const CellPos& pos, TableCell* cell) override;
    TableCell* getCell(const CellPos& pos) override;
    void releaseCell(const CellPos& pos, const TableCell* cell) override;

private:
    TableCell** slotOf(const CellPos& pos);
    std::vector<std::vector<TableCell*>> rowArrays;
};

// Nothing is allocated for empty regions: blocks of 256 rows, each row in
// groups of 256 columns.
class SparseTableModel : public TableModelBase {
public:
    SparseTableModel(uint32_t columnCount, uint32_t rowCount) : TableModelBase(columnCount, rowCount) {}
    ~SparseTableModel() override;
    void setCell(const CellPos& pos, TableCell* cell) override;
    TableCell* getCell(const CellPos& pos) override;
    void releaseCell(const CellPos& pos, const TableCell* cell) override;

private:
    TableCell** slotOf(const CellPos& pos);
    typedef std::vector<std::vector<TableCell*>> SparseRow;
    struct Block {
        SparseRow* rows[256] = {};
    };
    std::vector<Block*> blocks;
};

// Keeps only some lines (rows or columns) in memory, most recently used last;
// the program loads and releases lines.
class LineCacheTableModel : public TableModelBase {
public:
    ~LineCacheTableModel() override;
    void setCell(const CellPos& pos, TableCell* cell) override;
    TableCell* getCell(const CellPos& pos) override;
    void releaseCell(const CellPos& pos, const TableCell* cell) override;
    void setSize(uint32_t columnCount, uint32_t rowCount) override;

    // Non-zero when the line may be dropped.
    virtual int releaseLine(uint32_t line) = 0;
    // Non-zero when the line has been entered with setCell.
    virtual int loadLine(uint32_t line) = 0;

    // The cached lines, least recently used first.
    std::vector<uint32_t> cachedLines() const;
    uint32_t lineLimit() const { return limit; }

protected:
    LineCacheTableModel(uint32_t columnCount, uint32_t rowCount, bool rowLines);

private:
    struct Entry {
        std::vector<TableCell*> cells;
        uint32_t line;
    };
    uint32_t lineOf(const CellPos& pos) const { return byRows ? pos.row : pos.column; }
    uint32_t placeOf(const CellPos& pos) const { return byRows ? pos.column : pos.row; }
    static void deleteCells(Entry& entry);

    bool byRows;
    uint32_t limit;
    std::list<Entry> entries;
};

class RowCacheTableModel : public LineCacheTableModel {
protected:
    RowCacheTableModel(uint32_t columnCount, uint32_t rowCount) : LineCacheTableModel(columnCount, rowCount, true) {}
};

class ColumnCacheTableModel : public LineCacheTableModel {
protected:
    ColumnCacheTableModel(uint32_t columnCount, uint32_t rowCount)
        : LineCacheTableModel(columnCount, rowCount, false)
    {
    }
};

#endif
