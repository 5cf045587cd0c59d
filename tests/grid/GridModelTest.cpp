#include "GridTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(GridModel, OutsideTheTableNothingHappens) {
    GridModel grid;
    fillGrid(grid, 3, 3);
    grid.MarkModified(false);
    EXPECT_TRUE(grid.CellAt(3, 0).isNull());
    EXPECT_EQ(grid.CellText(-1, 0), u""_s);
    EXPECT_FALSE(grid.SetCellText(0, 3, u"x"_s));
    EXPECT_FALSE(grid.RemoveRow(3));
    EXPECT_FALSE(grid.RemoveColumn(-1));
    EXPECT_FALSE(grid.FitColumn(3));
    EXPECT_FALSE(grid.SortByColumn(7, true));
    EXPECT_FALSE(grid.SetRowTotal(-1));
    grid.SetRowHeight(5, 0);
    grid.SetCellState(9, 9, GridState::ReadOnly);
    EXPECT_FALSE(grid.CellAt(3, 3).SetText(u"x"_s));
    EXPECT_FALSE(grid.IsModified());
    EXPECT_EQ(grid.RowTotal(), 3);
    EXPECT_EQ(grid.Rows().total(), 3 * grid.DefaultRowHeight());

    GridModel empty; // no rows, no columns: every query is empty
    EXPECT_FALSE(empty.SelectionBounds().isValid());
    EXPECT_FALSE(empty.NextCellWith({}, GridState::Selected).isValid());
    empty.SelectAll();
    empty.FitAll();
    EXPECT_TRUE(empty.Selection().isEmpty());
}

// State bits from the position, focus and selection; stored bits kept by the cell.
TEST(GridModel, StateWordCombinesPositionFocusSelectionAndStoredBits) {
    GridModel grid;
    fillGrid(grid, 4, 4);
    grid.SetFocusCell({2, 2});
    grid.SelectRange({2, 1, 3, 2});
    grid.SetCellState(2, 2, GridState::ReadOnly | GridState::Fixed); // Fixed is not stored
    using namespace GridState;
    EXPECT_EQ(grid.CellState(0, 0), Fixed | FixedRow | FixedColumn);
    EXPECT_EQ(grid.CellState(0, 2), Fixed | FixedRow);
    EXPECT_EQ(grid.CellState(2, 0), Fixed | FixedColumn);
    EXPECT_EQ(grid.CellState(2, 2), Focused | Selected | ReadOnly);
    EXPECT_TRUE(grid.CellAt(3, 1).IsSelected());
    ASSERT_TRUE(grid.SetFixedRowTotal(3)); // rows 1 and 2 become headings; selection cleared
    EXPECT_EQ(grid.CellState(2, 2), Focused | ReadOnly | Fixed | FixedRow);
    ASSERT_TRUE(grid.SetFixedRowTotal(6)); // grows the table
    EXPECT_EQ(grid.RowTotal(), 6);
}

TEST(GridModel, AttributesFallBackToTheMatchingDefaultCell) {
    GridModel grid;
    fillGrid(grid, 3, 3);
    grid.DefaultCell(true, true).SetBackClr(0x010101);
    grid.DefaultCell(true, false).SetBackClr(0x020202);
    grid.DefaultCell(false, true).SetBackClr(0x030303);
    grid.DefaultCell(false, false).SetBackClr(0x040404);
    grid.DefaultCell(false, false).SetMargin(9);
    EXPECT_EQ(grid.CellAt(0, 0).GetBackClr(), 0x010101u);
    EXPECT_EQ(grid.CellAt(0, 1).GetBackClr(), 0x020202u);
    EXPECT_EQ(grid.CellAt(1, 0).GetBackClr(), 0x030303u);
    CGridCell cell = grid.CellAt(1, 1);
    EXPECT_EQ(cell.GetBackClr(), 0x040404u);
    EXPECT_EQ(cell.GetMargin(), 9u);
    EXPECT_TRUE(cell.IsDefaultFont());
    cell.SetBackClr(0x123456);
    cell.SetFont(GridFont{u"IPAGothic"_s, 20});
    EXPECT_EQ(cell.GetBackClr(), 0x123456u);
    EXPECT_EQ(cell.GetFont().family, u"IPAGothic"_s);
    EXPECT_EQ(cell.GetMargin(), 9u);
    EXPECT_EQ(grid.AttributedCellCount(), 1);
    cell.Reset();
    EXPECT_EQ(cell.GetBackClr(), 0x040404u);
    EXPECT_EQ(cell.GetText(), u""_s);
    EXPECT_EQ(grid.AttributedCellCount(), 0);
}

TEST(GridModel, DefaultCellsTakeTheirSizesFromTheFont) {
    GridModel grid;
    EXPECT_EQ(grid.DefaultRowHeight(), 16); // no measurer: no drawing context
    EXPECT_EQ(grid.DefaultColumnWidth(), 40);
    EXPECT_EQ(grid.DefaultCell(false, false).GetMargin(), 3u);
    FixedMeasurer measurer;
    grid.SetTextMeasurer(&measurer);
    grid.SetDefaultFont(GridFont{u"IPAGothic"_s, 12});
    for (bool fixedRow : {false, true})
        for (bool fixedCol : {false, true}) {
            const CGridDefaultCell& cell = grid.DefaultCell(fixedRow, fixedCol);
            EXPECT_EQ(cell.GetMargin(), 7u);
            EXPECT_EQ(cell.GetWidth(), 14 * 7);
            EXPECT_EQ(cell.GetHeight(), 18);
        }
    (void)grid.SetRowTotal(2);
    EXPECT_EQ(grid.RowHeight(1), 18);
    measurer.lineHeight = 0; // a font that draws nothing must not hide new rows
    grid.SetDefaultFont(GridFont{u"Broken"_s, 0});
    EXPECT_EQ(grid.DefaultRowHeight(), 16);
    EXPECT_EQ(grid.AddRow(u""_s), 2);
    EXPECT_EQ(grid.RowHeight(2), 16);
}

// AddColumn and AddRow: where they may insert, what the new heading gets, and the focus.
TEST(GridModel, AddsColumnsAndRowsWhereAllowed) {
    const struct {
        bool column;
        int before;
        int expected;
    } cases[] = {
        {true, -1, 4},  {true, 4, 4},  {true, 1, 1},  {true, 0, -1},  {true, 5, -1},
        {false, -1, 4}, {false, 3, 3}, {false, 1, 1}, {false, 4, -1}, {false, 0, -1},
    };
    FixedMeasurer measurer;
    for (const auto& c : cases) {
        GridModel grid;
        grid.SetTextMeasurer(&measurer);
        fillGrid(grid, 4, 4);
        grid.SetFocusCell({2, 2});
        grid.MarkModified(false);
        const int got = c.column ? grid.AddColumn(u"Head"_s, GridFormat::Right, c.before)
                                 : grid.AddRow(u"Head"_s, c.before);
        EXPECT_EQ(got, c.expected) << c.column << " before " << c.before;
        EXPECT_EQ(grid.IsModified(), got >= 0);
        if (got < 0)
            continue;
        const CGridCell heading = c.column ? grid.CellAt(0, got) : grid.CellAt(got, 0);
        EXPECT_EQ(heading.GetText(), u"Head"_s);
        EXPECT_TRUE(heading.IsModified());
        const GridCellId focus = grid.FocusCell();
        if (c.column) {
            EXPECT_EQ(grid.ColumnWidth(got), 4 * 7 + 4 * 3); // text + four margins
            EXPECT_EQ(grid.CellAt(3, got).GetFormat(), GridFormat::Right);
            EXPECT_EQ(focus.col, got <= 2 ? 3 : 2);
        } else {
            EXPECT_EQ(grid.RowHeight(got), 12 + 2 * 3); // text + two margins
            EXPECT_EQ(focus.row, got <= 2 ? 3 : 2);
        }
    }
}

TEST(GridModel, RowWithEmptyHeadingGetsTheDefaultHeightAndEmptyGridsGrow) {
    GridModel grid;
    EXPECT_EQ(grid.AddRow(u""_s), 0);
    EXPECT_EQ(grid.ColumnTotal(), 1); // a grid without columns first gets one
    EXPECT_EQ(grid.RowHeight(0), grid.DefaultRowHeight());
    GridModel other;
    EXPECT_EQ(other.AddColumn(u"A"_s), 0);
    EXPECT_EQ(other.RowTotal(), 1);
}

TEST(GridModel, RemovingMovesOrDropsTheFocusAndShrinksFixedCounts) {
    GridModel grid;
    fillGrid(grid, 5, 5);
    grid.SetFocusCell({3, 3});
    ASSERT_TRUE(grid.RemoveColumn(1));
    EXPECT_EQ(grid.FocusCell(), (GridCellId{3, 2}));
    ASSERT_TRUE(grid.RemoveRow(0)); // a fixed row
    EXPECT_EQ(grid.FixedRowTotal(), 0);
    EXPECT_EQ(grid.FocusCell(), (GridCellId{2, 2}));
    EXPECT_EQ(grid.CellText(0, 0), u"1,0"_s);
    ASSERT_TRUE(grid.RemoveColumn(2)); // the focused column
    EXPECT_FALSE(grid.FocusCell().isValid());
    grid.SetFocusCell({3, 3});
    ASSERT_TRUE(grid.SetRowTotal(3)); // a focused cell beyond the end is dropped
    EXPECT_FALSE(grid.FocusCell().isValid());
}

TEST(GridModel, ModifiedFlagAndMarksFollowTheirRules) {
    GridModel grid;
    fillGrid(grid, 3, 3);
    ASSERT_TRUE(grid.SortByColumn(2, true));
    grid.MarkModified(false);
    EXPECT_EQ(grid.SortColumn(), -1); // a negative column forgets the sort column
    ASSERT_TRUE(grid.SortByColumn(2, true));
    EXPECT_FALSE(grid.IsModified()); // sorting does not mark
    grid.MarkModified(true, 1, 1);
    EXPECT_TRUE(grid.IsModified());
    EXPECT_TRUE(grid.CellAt(1, 1).IsModified());
    EXPECT_EQ(grid.SortColumn(), 2);
    grid.MarkModified(true, 2, 2); // the sort column
    EXPECT_EQ(grid.SortColumn(), -1);
    grid.MarkModified(false, 1, 1); // clears the mark, the grid stays modified
    EXPECT_FALSE(grid.CellAt(1, 1).IsModified());
    EXPECT_TRUE(grid.CellAt(2, 2).IsModified());
    EXPECT_TRUE(grid.IsModified());
    grid.MarkModified(false); // off: every mark goes
    EXPECT_FALSE(grid.CellAt(2, 2).IsModified());
    EXPECT_FALSE(grid.NextCellWith({}, GridState::Modified).isValid());
    ASSERT_TRUE(grid.SetColumnTotal(4));
    EXPECT_TRUE(grid.IsModified());
}

TEST(GridModel, FitAllLeavesHiddenRowsAndColumnsHiddenAndUnmeasured) {
    GridModel grid;
    FixedMeasurer measurer;
    grid.SetTextMeasurer(&measurer);
    fillGrid(grid, 4, 4);
    ASSERT_TRUE(grid.SetCellText(1, 1, u"wide text"_s));
    ASSERT_TRUE(grid.SetCellText(2, 2, u"two\nlines"_s));
    grid.CellAt(2, 2).SetFormat(GridFormat::WordBreak);
    grid.SetColumnWidth(3, 0);
    grid.SetRowHeight(3, 0);
    measurer.measured.clear();
    grid.FitAll();
    for (const QString& text : measurer.measured)
        EXPECT_FALSE(text.startsWith(u"3,"_s) || text.endsWith(u",3"_s)) << text.toStdString();
    EXPECT_EQ(grid.ColumnWidth(3), 0);
    EXPECT_EQ(grid.RowHeight(3), 0);
    EXPECT_EQ(grid.ColumnWidth(1), 9 * 7 + 4 * 3);
    EXPECT_EQ(grid.ColumnWidth(2), 5 * 7 + 4 * 3); // the widest line
    EXPECT_EQ(grid.RowHeight(2), 2 * 12 + 2 * 3);
    EXPECT_EQ(grid.RowHeight(0), 12 + 2 * 3);
    grid.FitAll(GridFit::Fixed); // heading rows only: data rows keep their height
    EXPECT_EQ(grid.RowHeight(2), 2 * 12 + 2 * 3);
    ASSERT_TRUE(grid.FitRow(2));
    EXPECT_EQ(grid.RowHeight(2), 2 * 12 + 2 * 3);
}

TEST(GridModel, ListStyleClearsSelectionAndSortColumn) {
    GridModel grid;
    fillGrid(grid, 3, 3);
    grid.SelectAll();
    ASSERT_TRUE(grid.SortByColumn(1, false));
    grid.SelectAll();
    grid.SetListStyle(true);
    EXPECT_TRUE(grid.Selection().isEmpty());
    EXPECT_EQ(grid.SortColumn(), -1);
    EXPECT_TRUE(grid.Behaviour().listMode);
    EXPECT_FALSE(grid.Behaviour().selectRowsByFixedColumn);
}

} // namespace
