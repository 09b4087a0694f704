#include "FieldCellFormatter.h"
#include "IntlSettings.h"
#include "NumericMask.h"
#include "TableModel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct ViewLog {
    std::vector<std::string> calls;
    static std::string describe(const char* who, const CellRange* r)
    {
        if (!r)
            return std::string(who) + " full";
        return std::string(who) + " " + std::to_string(r->column1) + "," + std::to_string(r->row1) + "," +
               std::to_string(r->column2) + "," + std::to_string(r->row2);
    }
    int first(TableModelBase*, const CellRange* r)
    {
        calls.push_back(describe("first", r));
        return 1;
    }
    int second(TableModelBase*, const CellRange* r)
    {
        calls.push_back(describe("second", r));
        return 1;
    }
};

// Marks what it formatted, so that a test sees which attribute's formatter ran.
class MarkingFormatter : public CellFormatter {
public:
    MarkingFormatter(const char* o, const char* c) : open(o), close(c) {}
    std::string format(const std::string& characters, int first, int last) override
    {
        EXPECT_EQ(0, first);
        EXPECT_EQ(32767, last);
        return open + characters + close;
    }
    std::string open, close;
};

TEST(TableModelTest, OverlappingAttributesTheLastAddedWinsWithinAKind)
{
    TableModel model(10, 10);
    auto* early = model.addAttribute(new BackgroundAttribute(CellRange(1, 1, 5, 5), Color(255, 0, 0)));
    auto* late = model.addAttribute(new BackgroundAttribute(CellRange(4, 4, 8, 8), Color(0, 255, 0)));
    auto* mark = model.addAttribute(new MarkAttribute(CellRange(1, 1, 1, 10)));
    CellStyle style(&model);

    style.lookup(CellPos(4, 5));
    EXPECT_EQ(late, style.slot(ATTR_BACKGROUND));
    EXPECT_EQ(nullptr, style.slot(ATTR_MARK));
    style.lookup(CellPos(1, 2));
    EXPECT_EQ(early, style.slot(ATTR_BACKGROUND));
    EXPECT_EQ(mark, style.slot(ATTR_MARK));
    style.lookup(CellPos(9, 9));
    EXPECT_EQ(nullptr, style.slot(ATTR_BACKGROUND));

    // Removed, the earlier one shows again; an unknown one changes nothing.
    EXPECT_EQ(late, model.removeAttribute(late));
    style.lookup(CellPos(4, 5));
    EXPECT_EQ(early, style.slot(ATTR_BACKGROUND));
    EXPECT_EQ(nullptr, model.removeAttribute(late));
    delete late;
}

TEST(TableModelTest, ViewsGetTheirChangedRangeOrAFullRefresh)
{
    TableModel model(10, 10);
    ViewLog log;
    model.addView(ViewCall(&log, &ViewLog::first));
    model.addView(ViewCall(&log, &ViewLog::second));

    model.invalidateCell(CellPos(2, 3));
    const CellRange block(5, 1, 6, 2);
    model.invalidate(&block);
    CellRange pending;
    ASSERT_EQ(1, model.pendingRange(&log, pending));
    EXPECT_EQ(CellRange(2, 1, 6, 3), pending);
    model.notifyViews();
    EXPECT_EQ((std::vector<std::string>{"first 2,1,6,3", "second 2,1,6,3"}), log.calls);
    EXPECT_EQ(0, model.pendingRange(&log, pending));

    // setSize with ranges pending: every view is refreshed in full, at once.
    log.calls.clear();
    model.invalidateCell(CellPos(1, 1));
    model.setSize(4, 4);
    EXPECT_EQ((std::vector<std::string>{"first full", "second full"}), log.calls);

    log.calls.clear();
    model.removeView(ViewCall(&log, &ViewLog::first));
    model.invalidateCell(CellPos(1, 1));
    model.notifyViews();
    EXPECT_EQ((std::vector<std::string>{"second 1,1,1,1"}), log.calls);
}

TEST(TableModelTest, SetCellTextMakesCellsByClassAndHandsBackTheOldOne)
{
    TableModel model(2, 5);
    EXPECT_EQ(nullptr, model.setCellText(CellPos(1, 1), "12.5"));
    TableCell* number = model.getCell(CellPos(1, 1));
    ASSERT_NE(nullptr, dynamic_cast<AltFormattedCell*>(number));
    EXPECT_EQ(0x0Eu, number->flags);
    EXPECT_EQ("12.5", number->getText());

    TableCell* old = model.setCellText(CellPos(1, 1), "abc");
    EXPECT_EQ(number, old);
    EXPECT_EQ(0x80u, old->flags & 0x80u);
    TableCell* text = model.getCell(CellPos(1, 1));
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(nullptr, dynamic_cast<AltFormattedCell*>(text));
    EXPECT_EQ(0x06u, text->flags);
    delete old;
    EXPECT_EQ(text, model.getCell(CellPos(1, 1)));
    EXPECT_EQ("abc", model.getCell(CellPos(1, 1))->getText());

    // A cell without the ordinary flag takes the text itself.
    struct OwnText : CustomCell {
        OwnText(TableModelBase* m, const CellPos& p) : CustomCell(m, p) {}
        int paintContent(const Rect&, CellCanvas&, CellStyle&) override { return 0; }
        void setText(const std::string& t) override { got = t; }
        std::string got;
    };
    auto* custom = new OwnText(&model, CellPos(2, 2));
    EXPECT_EQ(nullptr, model.setCellText(CellPos(2, 2), "7"));
    EXPECT_EQ(custom, model.getCell(CellPos(2, 2)));
    EXPECT_EQ("7", custom->got);
}

TEST(TableModelTest, FormattedCellsUseTheFormatterOfTheirKind)
{
    TableModel model(3, 3);
    model.addAttribute(new FormatterAttribute(CellRange(1, 1, 3, 3), new MarkingFormatter("<", ">")));
    auto* alt = static_cast<AltFormatterAttribute*>(
        model.addAttribute(new AltFormatterAttribute(CellRange(1, 1, 3, 3), new MarkingFormatter("[", "]"))));

    delete model.setCellText(CellPos(1, 1), "-1234");
    delete model.setCellText(CellPos(2, 1), "abc");
    new TextCell(&model, CellPos(3, 1), "raw");
    EXPECT_EQ("[-1234]", model.getCell(CellPos(1, 1))->getText());
    EXPECT_EQ("<abc>", model.getCell(CellPos(2, 1))->getText());
    EXPECT_EQ("raw", model.getCell(CellPos(3, 1))->getText());

    // A formatter handed back is the caller's; without one the value shows.
    std::unique_ptr<CellFormatter> old(alt->setFormatter(nullptr));
    delete model.setCellText(CellPos(1, 1), "-1234");
    EXPECT_EQ("-1234", model.getCell(CellPos(1, 1))->getText());
}

// Shaped like the edit fields' formatters: a number mask "-#,###" that
// groups thousands, one that takes the characters as typed in capitals, and
// one that refuses everything.
struct FieldSelection {
    int start;
    int end;
};
struct GroupingMask {
    int apply(std::string& text, char* chars, int count, FieldSelection& selection)
    {
        std::string digits(chars, count);
        const bool negative = !digits.empty() && digits[0] == '-';
        if (negative)
            digits.erase(0, 1);
        for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
            digits.insert(static_cast<size_t>(i), ",");
        text = (negative ? "-" : "") + digits;
        seen = selection;
        selection = FieldSelection{static_cast<int>(text.size()), static_cast<int>(text.size())};
        return 2;
    }
    FieldSelection seen{-1, -1};
};
struct CapitalFilter {
    int apply(std::string&, char* chars, int count, FieldSelection&)
    {
        for (int i = 0; i < count; ++i)
            chars[i] = static_cast<char>(chars[i] >= 'a' && chars[i] <= 'z' ? chars[i] - 32 : chars[i]);
        return 1;
    }
};
struct Refuser {
    int apply(std::string&, char*, int, FieldSelection&) { return 0; }
};

TEST(TableModelTest, FieldFormattersShowTheTextTheirEditRequestMakes)
{
    TableModel model(3, 1);
    auto* grouping = new FieldCellFormatter<GroupingMask>(new GroupingMask);
    model.addAttribute(new AltFormatterAttribute(CellRange(1, 1, 1, 1), grouping));
    model.addAttribute(new FormatterAttribute(CellRange(2, 1, 2, 1), new FieldCellFormatter<CapitalFilter>(new CapitalFilter)));
    model.addAttribute(new FormatterAttribute(CellRange(3, 1, 3, 1), new FieldCellFormatter<Refuser>(new Refuser)));

    delete model.setCellText(CellPos(1, 1), "-1234");
    delete model.setCellText(CellPos(2, 1), "regler");
    delete model.setCellText(CellPos(3, 1), "bleibt");
    EXPECT_EQ("-1,234", model.getCell(CellPos(1, 1))->getText());
    EXPECT_EQ(0, grouping->formatter()->seen.start);
    EXPECT_EQ(32767, grouping->formatter()->seen.end);
    EXPECT_EQ("REGLER", model.getCell(CellPos(2, 1))->getText());
    EXPECT_EQ("bleibt", model.getCell(CellPos(3, 1))->getText());
    EXPECT_EQ("-1234", static_cast<FormattedCell*>(model.getCell(CellPos(1, 1)))->value);
}

TEST(TableModelTest, TheNumericMaskOfTheEditFieldsFormatsCells)
{
    TableModel model(2, 1);
    // A number goes to the alternative formatter, as "-1234" does above.
    model.addAttribute(new AltFormatterAttribute(
        CellRange(1, 1, 1, 1), new FieldCellFormatter<NumericMask>(new NumericMask(0, "-#,###", new IntlSettings()))));
    delete model.setCellText(CellPos(1, 1), "-1234");
    EXPECT_EQ("-1,234", model.getCell(CellPos(1, 1))->getText());
}

TEST(TableModelTest, DeletingACellClearsOnlyItsOwnPosition)
{
    TableModel model(4, 4);
    TableCell* plain = new TextCell(&model, CellPos(1, 1), "a");
    delete plain;
    EXPECT_EQ(nullptr, model.getCell(CellPos(1, 1)));

    // Detached: the cell now at its position stays.
    TableCell* detached = new TextCell(&model, CellPos(2, 2), "b");
    TableCell* successor = new TextCell(&model, CellPos(2, 2), "c");
    detached->flags |= CELL_DETACHED;
    delete detached;
    EXPECT_EQ(successor, model.getCell(CellPos(2, 2)));

    // Replaced by setCell without being marked: the successor stays too.
    TableCell* replaced = new TextCell(&model, CellPos(3, 3), "d");
    TableCell* next = new TextCell(&model, CellPos(3, 3), "e");
    delete replaced;
    EXPECT_EQ(next, model.getCell(CellPos(3, 3)));
    EXPECT_EQ("e", model.getCell(CellPos(3, 3))->getText());

    // A cell left outside a shrunk model still leaves the storage when deleted.
    TableCell* outer = new TextCell(&model, CellPos(4, 4), "f");
    model.setSize(2, 2);
    delete outer;
    model.setSize(4, 4);
    EXPECT_EQ(nullptr, model.getCell(CellPos(4, 4)));
}

TEST(TableModelTest, BoundsOfDenseAndSparseModels)
{
    SparseTableModel sparse(1000, 1000000);
    auto* far = new TextCell(&sparse, CellPos(700, 999999), "x");
    EXPECT_EQ(far, sparse.getCell(CellPos(700, 999999)));
    EXPECT_EQ(nullptr, sparse.getCell(CellPos(700, 999998)));
    EXPECT_EQ(nullptr, sparse.getCell(CellPos(701, 999999)));

    TableModel dense(2, 5);
    new TextCell(&dense, CellPos(2, 5), "y");
    struct Case {
        uint32_t column, row;
    };
    for (TableModelBase* model : {static_cast<TableModelBase*>(&sparse), static_cast<TableModelBase*>(&dense)}) {
        const CellRange full = model->fullRange();
        for (Case c : {Case{0, 1}, Case{1, 0}, Case{0, 0}, Case{full.column2 + 1, 1}, Case{1, full.row2 + 1}}) {
            SCOPED_TRACE(std::to_string(c.column) + "," + std::to_string(c.row));
            EXPECT_EQ(nullptr, model->getCell(CellPos(c.column, c.row)));
            EXPECT_EQ(nullptr, model->setCellText(CellPos(c.column, c.row), "lost"));
            EXPECT_EQ(nullptr, model->getCell(CellPos(c.column, c.row)));
        }
    }
    // Outside the size a cell is not entered; it stays its maker's.
    std::unique_ptr<TextCell> outside(new TextCell(&dense, CellPos(3, 1), "z"));
    EXPECT_EQ(nullptr, dense.getCell(CellPos(3, 1)));
}

class LoggingRowCache : public RowCacheTableModel {
public:
    LoggingRowCache(uint32_t columnCount, uint32_t rowCount) : RowCacheTableModel(columnCount, rowCount) {}
    int releaseLine(uint32_t line) override
    {
        offered.push_back(line);
        return line != refused;
    }
    int loadLine(uint32_t line) override
    {
        loaded.push_back(line);
        if (line != loadable)
            return 0;
        new TextCell(this, CellPos(1, line), "loaded");
        return 1;
    }
    std::vector<uint32_t> offered, loaded;
    uint32_t refused = 0;
    uint32_t loadable = 0;
};

TEST(TableModelTest, RowCacheReleasesTheLeastRecentlyUsedLine)
{
    LoggingRowCache model(2, 3);
    ASSERT_EQ(3u, model.lineLimit());
    model.setSize(2, 10);
    for (uint32_t line = 1; line <= 3; ++line)
        new TextCell(&model, CellPos(1, line), "line " + std::to_string(line));
    ASSERT_NE(nullptr, model.getCell(CellPos(1, 1)));
    EXPECT_EQ((std::vector<uint32_t>{2, 3, 1}), model.cachedLines());

    new TextCell(&model, CellPos(2, 4), "line 4");
    EXPECT_EQ((std::vector<uint32_t>{2}), model.offered);
    EXPECT_EQ((std::vector<uint32_t>{3, 1, 4}), model.cachedLines());

    // A refused line is passed over; a miss loads the line.
    model.offered.clear();
    model.refused = 3;
    new TextCell(&model, CellPos(1, 5), "line 5");
    EXPECT_EQ((std::vector<uint32_t>{3, 1}), model.offered);
    EXPECT_EQ((std::vector<uint32_t>{3, 4, 5}), model.cachedLines());
    model.refused = 0;
    model.loadable = 7;
    TableCell* loaded = model.getCell(CellPos(1, 7));
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ("loaded", loaded->getText());
    EXPECT_EQ(nullptr, model.getCell(CellPos(1, 8)));
    EXPECT_EQ((std::vector<uint32_t>{7, 8}), model.loaded);
}

class LoggingColumnCache : public ColumnCacheTableModel {
public:
    LoggingColumnCache() : ColumnCacheTableModel(2, 50) {}
    int releaseLine(uint32_t line) override
    {
        offered.push_back(line);
        return 1;
    }
    int loadLine(uint32_t) override { return 0; }
    std::vector<uint32_t> offered;
};

TEST(TableModelTest, ColumnCacheKeepsColumns)
{
    LoggingColumnCache model;
    ASSERT_EQ(2u, model.lineLimit());
    auto* kept = new TextCell(&model, CellPos(1, 40), "a");
    new TextCell(&model, CellPos(2, 7), "b");
    EXPECT_EQ(kept, model.getCell(CellPos(1, 40)));
    EXPECT_EQ(nullptr, model.getCell(CellPos(1, 39)));
    model.setSize(3, 50);
    new TextCell(&model, CellPos(3, 1), "c");
    // Column 2 was used least recently: released, its cell deleted.
    EXPECT_EQ((std::vector<uint32_t>{2}), model.offered);
    EXPECT_EQ((std::vector<uint32_t>{1, 3}), model.cachedLines());
    EXPECT_EQ(nullptr, model.getCell(CellPos(2, 7)));
    EXPECT_EQ(kept, model.getCell(CellPos(1, 40)));
}

struct CanvasLog : CellCanvas {
    std::vector<std::string> steps;
    void select(CellAttribute& a) override { steps.push_back("select " + std::to_string(a.kind)); }
    void restore(CellAttribute& a) override { steps.push_back("restore " + std::to_string(a.kind)); }
    void drawRect(const Rect&, bool black) override { steps.push_back(black ? "rect black" : "rect"); }
    void drawText(int x, int y, const std::string& t) override
    {
        steps.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + t);
    }
    int textWidth(const std::string& t) override { return static_cast<int>(t.size()) * 8; }
    void invert(const Rect&) override { steps.push_back("invert"); }
    void focusFrame(const Rect&) override { steps.push_back("frame"); }
};

TEST(TableModelTest, TextCellPaintsInsideItsAttributes)
{
    TableModel model(2, 2);
    model.addAttribute(new TextColorAttribute(CellRange(1, 1, 2, 2), Color(0, 0, 255)));
    model.addAttribute(new BackgroundAttribute(CellRange(1, 1, 2, 2), Color(255, 255, 0)));
    auto* cell = new TextCell(&model, CellPos(1, 1), "Sig 1");
    CellStyle style(&model);
    style.lookup(CellPos(1, 1));
    style.focused = true;
    style.selected = true;
    CanvasLog canvas;
    cell->paint(canvas, style, Rect(10, 20, 60, 40));
    EXPECT_EQ((std::vector<std::string>{"select 1", "select 2", "rect black", "text 13,23 Sig 1", "restore 1",
                                        "invert", "frame", "restore 2"}),
              canvas.steps);
}

} // namespace
