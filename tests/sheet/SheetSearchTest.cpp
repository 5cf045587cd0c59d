#include "sheet/SheetSearch.h"
#include "grid/CGridCtrl.h"
#include "grid/GridModel.h"
#include "sheet/SheetRules.h"

#include <gtest/gtest.h>

namespace {

// A grid of `rows` data rows: the texts row by row, with one heading row and column.
using Texts = std::vector<std::vector<QString>>;

void fill(GridModel& grid, const Texts& rows) {
    ASSERT_TRUE(grid.SetColumnTotal(int(rows.front().size()) + 1));
    ASSERT_TRUE(grid.SetRowTotal(int(rows.size()) + 1));
    ASSERT_TRUE(grid.SetFixedRowTotal(1));
    ASSERT_TRUE(grid.SetFixedColumnTotal(1));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            ASSERT_TRUE(grid.SetCellText(int(r) + 1, int(c) + 1, rows[r][c]));
    grid.MarkModified(false);
}

QStringList column(const GridModel& grid, int col) {
    QStringList out;
    for (int r = 1; r < grid.RowTotal(); ++r)
        out << grid.CellText(r, col);
    return out;
}

QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* s : items)
        out << QString::fromUtf8(s);
    return out;
}

// The grid window's guarded update, as the replace page uses it.
SheetSearch::CellWriter writerOf(CGridCtrl& ctrl) {
    return [&ctrl](int r, int c, const QString& t) { return ctrl.UpdateCellText(r, c, t); };
}

} // namespace

TEST(SheetSearch, FindNextConsumesTheSelection) {
    GridModel grid;
    fill(grid, {{QStringLiteral("xa"), QStringLiteral("A")},
                {QStringLiteral("b"), QStringLiteral("a")},
                {QStringLiteral("a"), QStringLiteral("c")}});
    grid.SelectAll();
    EXPECT_EQ(SheetSearch::prepare(grid), QStringLiteral("xa"));
    EXPECT_EQ(grid.FocusCell(), (GridCellId{1, 1}));

    const GridCellId first = SheetSearch::findNextSelected(grid, QStringLiteral("a"));
    EXPECT_EQ(first, (GridCellId{1, 1}));
    EXPECT_FALSE(grid.IsCellSelected(1, 1));
    EXPECT_EQ(SheetSearch::findNextSelected(grid, QStringLiteral("a")), (GridCellId{2, 2}));
    EXPECT_EQ(SheetSearch::findNextSelected(grid, QStringLiteral("a")), (GridCellId{3, 1}));
    EXPECT_FALSE(SheetSearch::findNextSelected(grid, QStringLiteral("a")).isValid());
    EXPECT_TRUE(grid.IsCellSelected(1, 2)); // "A": case-sensitive, not found, still selected

    // One selected cell: only that cell is examined.
    grid.SelectRange({2, 1, 2, 1});
    grid.SetFocusCell({2, 1});
    EXPECT_FALSE(SheetSearch::findNextSelected(grid, QStringLiteral("a")).isValid());
}

TEST(SheetSearch, ReplaceAllChangesEachCellOnce) {
    struct Case {
        const char* name;
        const char* search;
        const char* replacement;
        QStringList before, after;
    };
    const Case cases[] = {
        {"replacement holds the search text", "a", "ab", list({"a", "ba", "c", "aa"}),
         list({"ab", "bab", "c", "abab"})},
        {"empty search fills empty cells", "", "-", list({"", "x", ""}), list({"-", "x", "-"})},
        {"no overlap", "aa", "b", list({"aaa", "aaaa"}), list({"ba", "bb"})},
    };
    for (const Case& c : cases) {
        CGridCtrl ctrl;
        GridModel& grid = ctrl.model();
        Texts rows;
        for (const QString& t : c.before)
            rows.push_back({t});
        fill(grid, rows);
        grid.SelectColumns(1, 1);
        SheetSearch::prepare(grid);
        SheetSearch::replaceAll(grid, writerOf(ctrl), QString::fromUtf8(c.search),
                                QString::fromUtf8(c.replacement));
        EXPECT_EQ(column(grid, 1), c.after) << c.name;
        EXPECT_TRUE(grid.IsModified()) << c.name;
    }
}

TEST(SheetSearch, ReplaceChangesOnlyWhatAnEditCould) {
    CGridCtrl ctrl;
    GridModel& grid = ctrl.model();
    fill(grid, {{QStringLiteral("a")}, {QStringLiteral("a")}, {QStringLiteral("a")}});
    grid.SetCellState(2, 1, GridState::ReadOnly);
    grid.SelectColumns(1, 1);
    SheetSearch::prepare(grid);
    EXPECT_EQ(
        SheetSearch::replaceAndNext(grid, writerOf(ctrl), QStringLiteral("a"), QStringLiteral("b")),
        SheetSearch::ReplaceOutcome::Found);
    SheetSearch::replaceAll(grid, writerOf(ctrl), QStringLiteral("a"), QStringLiteral("b"));
    EXPECT_EQ(column(grid, 1), list({"b", "a", "b"}));

    // A replacement equal to the search text changes nothing and still moves on.
    grid.MarkModified(false);
    grid.SelectColumns(1, 1);
    SheetSearch::prepare(grid);
    const auto keep = [&] {
        return SheetSearch::replaceAndNext(grid, writerOf(ctrl), QStringLiteral("b"),
                                           QStringLiteral("b"));
    };
    EXPECT_EQ(keep(), SheetSearch::ReplaceOutcome::Found);
    EXPECT_EQ(grid.FocusCell(), (GridCellId{3, 1}));
    EXPECT_EQ(keep(), SheetSearch::ReplaceOutcome::NotFound);
    EXPECT_FALSE(grid.IsModified());

    CGridCtrl readOnlyCtrl;
    GridModel& readOnly = readOnlyCtrl.model();
    fill(readOnly, {{QStringLiteral("a")}});
    readOnly.Behaviour().editable = false;
    readOnly.SelectAll();
    SheetSearch::prepare(readOnly);
    const auto write = writerOf(readOnlyCtrl);
    EXPECT_EQ(
        SheetSearch::replaceAndNext(readOnly, write, QStringLiteral("a"), QStringLiteral("b")),
        SheetSearch::ReplaceOutcome::NotChanged);
    EXPECT_EQ(SheetSearch::replaceAll(readOnly, write, QStringLiteral("a"), QStringLiteral("b")),
              0);
    EXPECT_EQ(readOnly.CellText(1, 1), QStringLiteral("a"));
    EXPECT_FALSE(readOnly.IsModified());
}

TEST(SheetSearch, NarrowingHidesRowsOrColumnsOnMatchOrMismatch) {
    struct Case {
        const char* name;
        bool hideColumns, keepMatching;
        std::vector<int> hiddenRows, hiddenColumns;
    };
    // Column 1 selected for rows, row 1 selected for columns.
    const Case cases[] = {
        {"rows, keep matching", false, true, {2, 4}, {}},
        {"rows, keep mismatching", false, false, {1, 3}, {}},
        {"columns, keep matching", true, true, {}, {2}},
        {"columns, keep mismatching", true, false, {}, {1, 3}},
    };
    for (const Case& c : cases) {
        GridModel grid;
        fill(grid, {{QStringLiteral("xa"), QStringLiteral("b"), QStringLiteral("a")},
                    {QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("a")},
                    {QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("a")},
                    {QStringLiteral("c"), QStringLiteral("c"), QStringLiteral("c")}});
        if (c.hideColumns)
            grid.SelectRows(1, 1);
        else
            grid.SelectColumns(1, 1);
        SheetSearch::prepare(grid);
        SheetSearch::narrow(grid, QStringLiteral("a"), c.hideColumns, c.keepMatching);
        std::vector<int> rows, cols;
        for (int r = 1; r < grid.RowTotal(); ++r)
            if (grid.RowHeight(r) == 0)
                rows.push_back(r);
        for (int col = 1; col < grid.ColumnTotal(); ++col)
            if (grid.ColumnWidth(col) == 0)
                cols.push_back(col);
        EXPECT_EQ(rows, c.hiddenRows) << c.name;
        EXPECT_EQ(cols, c.hiddenColumns) << c.name;
        EXPECT_FALSE(grid.IsModified()) << c.name;
    }
}
