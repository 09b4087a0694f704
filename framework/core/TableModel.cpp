#include "TableModel.h"

#include <algorithm>

namespace {

const int kFormatLast = 32767;

CellRange widened(const CellRange& a, const CellRange& b)
{
    return CellRange(std::min(a.column1, b.column1), std::min(a.row1, b.row1), std::max(a.column2, b.column2),
                     std::max(a.row2, b.row2));
}

} // namespace

// ---------------------------------------------------------------- CellStyle

void CellStyle::lookup(const CellPos& pos)
{
    clear();
    if (!model)
        return;
    // In list order, so that within a kind the attribute added last wins.
    for (CellAttribute* a : model->attributeList())
        if (a->kind > 0 && a->kind < kStyleSlots && a->range.contains(pos))
            slots[a->kind] = a;
}

CellFormatter* CellStyle::formatter(bool second) const
{
    auto* a = static_cast<FormatterAttribute*>(slot(second ? ATTR_ALT_FORMATTER : ATTR_FORMATTER));
    return a ? a->getFormatter() : nullptr;
}

// ---------------------------------------------------------------- painting

void paintCellFrame(CellCanvas& canvas, CellStyle& style, const Rect& r, bool textAttributes,
                    const std::function<int(CellCanvas&, const Rect&)>& content)
{
    CellAttribute* textColour = textAttributes ? style.slot(ATTR_TEXT_COLOR) : nullptr;
    CellAttribute* background = style.slot(ATTR_BACKGROUND);
    CellAttribute* font = textAttributes ? style.slot(ATTR_FONT) : nullptr;
    if (textColour)
        canvas.select(*textColour);
    if (background)
        canvas.select(*background);
    if (font)
        canvas.select(*font);
    canvas.drawRect(r, style.focused);
    const int drewMarks = content(canvas, r);
    if (textColour)
        canvas.restore(*textColour);
    if (font)
        canvas.restore(*font);
    if (!drewMarks) {
        if (style.selected)
            canvas.invert(r);
        if (style.focused)
            canvas.focusFrame(r);
    }
    if (background)
        canvas.restore(*background);
}

void paintTextCell(CellCanvas& canvas, CellStyle& style, const Rect& r, const std::string& text)
{
    paintCellFrame(canvas, style, r, true, [&text](CellCanvas& c, const Rect& cell) {
        if (!text.empty())
            c.drawText(cell.left() + 3, cell.top() + 3, text);
        return 0;
    });
}

// ---------------------------------------------------------------- cells

TableCell::TableCell(TableModelBase* m, const CellPos& pos, uint32_t cellFlags)
    : model(m), column(pos.column), row(pos.row), flags(cellFlags)
{
    if (model)
        model->setCell(pos, this);
}

TableCell::~TableCell()
{
    // A mended fault: the cell used to clear its position whenever it was not
    // detached, and so removed a successor that had replaced it there.
    if (model && !(flags & CELL_DETACHED))
        model->releaseCell(CellPos(column, row), this);
}

void TableCell::paint(CellCanvas&, CellStyle&, const Rect&) {}

void TableCell::setText(const std::string&)
{
    markChanged();
}

void TableCell::markChanged()
{
    if (model)
        model->invalidateCell(CellPos(column, row));
}

void TextCell::paint(CellCanvas& canvas, CellStyle& style, const Rect& r)
{
    paintTextCell(canvas, style, r, text);
}

void TextCell::setText(const std::string& t)
{
    markChanged();
    text = t;
}

FormattedCell::FormattedCell(TableModelBase* m, const CellPos& pos, const std::string& initial, uint32_t cellFlags)
    : TableCell(m, pos, cellFlags)
{
    FormattedCell::setText(initial);
}

void FormattedCell::paint(CellCanvas& canvas, CellStyle& style, const Rect& r)
{
    paintTextCell(canvas, style, r, display);
}

void FormattedCell::setText(const std::string& t)
{
    markChanged();
    value = t;
    CellFormatter* formatter = nullptr;
    if ((flags & CELL_FORMATTED) && model) {
        CellStyle style(model);
        style.lookup(CellPos(column, row));
        formatter = style.formatter((flags & CELL_SECOND_FORMATTER) != 0);
    }
    display = formatter ? formatter->format(value, 0, kFormatLast) : value;
}

void CustomCell::paint(CellCanvas& canvas, CellStyle& style, const Rect& r)
{
    paintCellFrame(canvas, style, r, true,
                   [this, &style](CellCanvas& c, const Rect& cell) { return paintContent(cell, c, style); });
}

int CellFactory::classify(const std::string& text) const
{
    if (text.empty())
        return 2;
    for (char ch : text)
        if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+'))
            return 2;
    return 1;
}

TableCell* CellFactory::create(TableModelBase* model, int kind, const CellPos& pos, const std::string& value)
{
    if (kind == 1)
        return new AltFormattedCell(model, pos, value);
    return new FormattedCell(model, pos, value, CELL_ORDINARY | CELL_FORMATTED);
}

// ---------------------------------------------------------------- TableModelBase

TableModelBase::TableModelBase(uint32_t columnCount, uint32_t rowCount)
    : columns(columnCount), rows(rowCount), cellFactory(new CellFactory)
{
}

TableModelBase::~TableModelBase()
{
    for (CellAttribute* a : attributes)
        delete a;
}

void TableModelBase::setSize(uint32_t columnCount, uint32_t rowCount)
{
    columns = columnCount;
    rows = rowCount;
    invalidate(nullptr);
    notifyViews();
}

CellAttribute* TableModelBase::addAttribute(CellAttribute* attribute)
{
    if (!attribute)
        return nullptr;
    attributes.push_back(attribute);
    invalidate(&attribute->range);
    return attribute;
}

CellAttribute* TableModelBase::removeAttribute(CellAttribute* attribute)
{
    auto it = std::find(attributes.begin(), attributes.end(), attribute);
    if (it == attributes.end())
        return nullptr;
    attributes.erase(it);
    invalidate(&attribute->range);
    return attribute;
}

void TableModelBase::addView(const ViewCall& call)
{
    views.push_back(ViewRecord{CellRange(), false, false, call});
}

void TableModelBase::removeView(const ViewCall& call)
{
    for (auto it = views.begin(); it != views.end(); ++it)
        if (it->call.isFor(call)) {
            views.erase(it);
            return;
        }
}

void TableModelBase::invalidate(const CellRange* range)
{
    for (ViewRecord& v : views) {
        if (!range) {
            v.fullRefresh = true;
            v.pending = true;
        } else if (!v.pending) {
            v.changed = *range;
            v.pending = true;
        } else {
            v.changed = widened(v.changed, *range);
        }
    }
}

void TableModelBase::invalidateCell(const CellPos& pos)
{
    const CellRange one(pos.column, pos.row, pos.column, pos.row);
    invalidate(&one);
}

void TableModelBase::notify(ViewRecord& record)
{
    const bool full = record.fullRefresh;
    const CellRange changed = record.changed;
    const ViewCall call = record.call;
    record.pending = false;
    record.fullRefresh = false;
    call(this, full ? nullptr : &changed);
}

void TableModelBase::notifyViews()
{
    // By index: a view may unregister itself while it is called.
    for (size_t i = 0; i < views.size(); ++i)
        if (views[i].pending)
            notify(views[i]);
}

void TableModelBase::notifyViewsExcept(void* view)
{
    for (size_t i = 0; i < views.size(); ++i) {
        if (views[i].call.target() == view) {
            views[i].pending = false;
            views[i].fullRefresh = false;
        } else if (views[i].pending) {
            notify(views[i]);
        }
    }
}

int TableModelBase::pendingRange(void* view, CellRange& range) const
{
    for (const ViewRecord& v : views)
        if (v.call.target() == view && v.pending) {
            range = v.fullRefresh ? fullRange() : v.changed;
            return 1;
        }
    return 0;
}

TableCell* TableModelBase::setCellText(const CellPos& pos, const std::string& text)
{
    // A mended fault: outside the size the new cell was made, not stored and
    // lost with its text.
    if (!inside(pos))
        return nullptr;
    TableCell* old = getCell(pos);
    if (old && !(old->flags & CELL_ORDINARY)) {
        old->setText(text);
        return nullptr;
    }
    if (old)
        old->flags |= CELL_DETACHED;
    cellFactory->create(this, cellFactory->classify(text), pos, text);
    return old;
}

// ---------------------------------------------------------------- TableModel

namespace {

// The framework arrays' growth rule: the larger of size plus step and index
// plus one.
void growFor(std::vector<TableCell*>& cells, size_t index, size_t step)
{
    if (index < cells.size())
        return;
    cells.resize(std::max(cells.size() + step, index + 1), nullptr);
}

} // namespace

TableModel::~TableModel()
{
    for (auto& r : rowArrays)
        for (TableCell*& c : r)
            if (c) {
                TableCell* cell = c;
                c = nullptr;
                cell->flags |= CELL_DETACHED;
                delete cell;
            }
}

TableCell** TableModel::slotOf(const CellPos& pos)
{
    if (pos.row >= rowArrays.size() || pos.column >= rowArrays[pos.row].size())
        return nullptr;
    return &rowArrays[pos.row][pos.column];
}

void TableModel::setCell(const CellPos& pos, TableCell* cell)
{
    if (!inside(pos))
        return;
    if (pos.row >= rowArrays.size()) {
        if (!cell)
            return;
        rowArrays.resize(std::max(rowArrays.size() + 100, size_t(pos.row) + 1));
    }
    std::vector<TableCell*>& line = rowArrays[pos.row];
    if (pos.column >= line.size() && !cell)
        return;
    growFor(line, pos.column, 16);
    line[pos.column] = cell;
}

TableCell* TableModel::getCell(const CellPos& pos)
{
    if (!inside(pos))
        return nullptr;
    TableCell** slot = slotOf(pos);
    return slot ? *slot : nullptr;
}

void TableModel::releaseCell(const CellPos& pos, const TableCell* cell)
{
    TableCell** slot = slotOf(pos);
    if (slot && *slot == cell)
        *slot = nullptr;
}

// ---------------------------------------------------------------- SparseTableModel

SparseTableModel::~SparseTableModel()
{
    for (Block* b : blocks) {
        if (!b)
            continue;
        for (SparseRow* r : b->rows) {
            if (!r)
                continue;
            for (auto& group : *r)
                for (TableCell*& c : group)
                    if (c) {
                        TableCell* cell = c;
                        c = nullptr;
                        cell->flags |= CELL_DETACHED;
                        delete cell;
                    }
            delete r;
        }
        delete b;
    }
}

TableCell** SparseTableModel::slotOf(const CellPos& pos)
{
    const size_t b = pos.row / 256;
    if (b >= blocks.size() || !blocks[b])
        return nullptr;
    SparseRow* r = blocks[b]->rows[pos.row % 256];
    const size_t g = pos.column / 256;
    if (!r || g >= r->size() || pos.column % 256 >= (*r)[g].size())
        return nullptr;
    return &(*r)[g][pos.column % 256];
}

void SparseTableModel::setCell(const CellPos& pos, TableCell* cell)
{
    if (!inside(pos))
        return;
    if (!cell) {
        if (TableCell** slot = slotOf(pos))
            *slot = nullptr;
        return;
    }
    const size_t b = pos.row / 256;
    if (b >= blocks.size())
        blocks.resize(b + 1, nullptr);
    if (!blocks[b])
        blocks[b] = new Block;
    SparseRow*& r = blocks[b]->rows[pos.row % 256];
    if (!r)
        r = new SparseRow;
    const size_t g = pos.column / 256;
    if (g >= r->size())
        r->resize(g + 1);
    growFor((*r)[g], pos.column % 256, 8);
    (*r)[g][pos.column % 256] = cell;
}

TableCell* SparseTableModel::getCell(const CellPos& pos)
{
    if (!inside(pos))
        return nullptr;
    TableCell** slot = slotOf(pos);
    return slot ? *slot : nullptr;
}

void SparseTableModel::releaseCell(const CellPos& pos, const TableCell* cell)
{
    TableCell** slot = slotOf(pos);
    if (slot && *slot == cell)
        *slot = nullptr;
}

// ---------------------------------------------------------------- line caches

LineCacheTableModel::LineCacheTableModel(uint32_t columnCount, uint32_t rowCount, bool rowLines)
    : TableModelBase(columnCount, rowCount), byRows(rowLines),
      limit(std::min<uint32_t>(100, rowLines ? rowCount : columnCount))
{
}

LineCacheTableModel::~LineCacheTableModel()
{
    for (Entry& e : entries)
        deleteCells(e);
}

void LineCacheTableModel::deleteCells(Entry& entry)
{
    for (TableCell*& c : entry.cells)
        if (c) {
            TableCell* cell = c;
            c = nullptr;
            cell->flags |= CELL_DETACHED;
            delete cell;
        }
    entry.cells.clear();
}

std::vector<uint32_t> LineCacheTableModel::cachedLines() const
{
    std::vector<uint32_t> lines;
    for (const Entry& e : entries)
        lines.push_back(e.line);
    return lines;
}

void LineCacheTableModel::setSize(uint32_t columnCount, uint32_t rowCount)
{
    limit = std::min(limit, byRows ? rowCount : columnCount);
    TableModelBase::setSize(columnCount, rowCount);
}

TableCell* LineCacheTableModel::getCell(const CellPos& pos)
{
    if (!inside(pos))
        return nullptr;
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->line != lineOf(pos))
                continue;
            entries.splice(entries.end(), entries, it);
            const uint32_t place = placeOf(pos);
            return place < it->cells.size() ? it->cells[place] : nullptr;
        }
        if (attempt == 0 && !loadLine(lineOf(pos)))
            return nullptr;
    }
    return nullptr;
}

void LineCacheTableModel::setCell(const CellPos& pos, TableCell* cell)
{
    if (!inside(pos))
        return;
    const uint32_t place = placeOf(pos);
    for (Entry& e : entries)
        if (e.line == lineOf(pos)) {
            if (place >= e.cells.size() && !cell)
                return;
            growFor(e.cells, place, 16);
            e.cells[place] = cell;
            return;
        }
    if (!cell)
        return;
    auto taken = entries.end();
    if (entries.size() >= limit) {
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (releaseLine(it->line)) {
                deleteCells(*it);
                taken = it;
                break;
            }
    }
    if (taken == entries.end())
        taken = entries.insert(entries.end(), Entry());
    taken->line = lineOf(pos);
    entries.splice(entries.end(), entries, taken);
    growFor(taken->cells, place, 16);
    taken->cells[place] = cell;
}

void LineCacheTableModel::releaseCell(const CellPos& pos, const TableCell* cell)
{
    const uint32_t place = placeOf(pos);
    for (Entry& e : entries)
        if (e.line == lineOf(pos) && place < e.cells.size() && e.cells[place] == cell)
            e.cells[place] = nullptr;
}
