#include "GridTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::vector<GridCellId> walk(const GridModel& grid, quint32 bits) {
    std::vector<GridCellId> cells;
    for (GridCellId at = grid.NextCellWith({}, bits); at.isValid();
         at = grid.NextCellWith(at, bits))
        cells.push_back(at);
    return cells;
}

// A 6 x 6 grid, one heading row and column: selections built the ways the user builds them.
TEST(GridSelection, WalksAndBoundsRectanglesRowsColumnsAndHoles) {
    const struct {
        const char* name;
        void (*select)(GridModel&);
        std::vector<GridCellId> cells;
        GridRange bounds;
    } cases[] = {
        {"rectangle",
         [](GridModel& g) {
             g.SelectRange({2, 2, 3, 3});
         },
         {{2, 2}, {2, 3}, {3, 2}, {3, 3}},
         {2, 2, 3, 3}},
        {"two rectangles",
         [](GridModel& g) {
             g.SelectRange({4, 1, 4, 1});
             g.SelectRange({1, 5, 2, 5}, true);
         },
         {{1, 5}, {2, 5}, {4, 1}},
         {1, 1, 4, 5}},
        {"row",
         [](GridModel& g) { g.SelectRows(5, 5); },
         {{5, 1}, {5, 2}, {5, 3}, {5, 4}, {5, 5}},
         {5, 1, 5, 5}},
        {"column with a hole",
         [](GridModel& g) {
             g.SelectColumns(3, 3);
             g.DeselectCell(2, 3);
         },
         {{1, 3}, {3, 3}, {4, 3}, {5, 3}},
         {1, 3, 5, 3}},
        {"headings are not selected",
         [](GridModel& g) {
             g.SelectRange({0, 0, 1, 1});
         },
         {{1, 1}},
         {1, 1, 1, 1}},
        {"nothing", [](GridModel& g) { g.ClearSelection(); }, {}, {}},
    };
    for (const auto& c : cases) {
        GridModel grid;
        fillGrid(grid, 6, 6);
        c.select(grid);
        EXPECT_EQ(walk(grid, GridState::Selected), c.cells) << c.name;
        EXPECT_EQ(grid.SelectionBounds(), c.bounds) << c.name;
    }
}

TEST(GridSelection, NextCellWithStartsRightOfTheStartAndFindsStoredBits) {
    GridModel grid;
    fillGrid(grid, 4, 4);
    grid.SetCellState(1, 1, GridState::Modified);
    grid.SetCellState(3, 2, GridState::ReadOnly);
    grid.SetFocusCell({2, 3});
    const struct {
        GridCellId start;
        quint32 bits;
        GridCellId found;
    } cases[] = {
        {{-1, -1}, GridState::Modified, {1, 1}}, // before the data: the first cell counts
        {{1, 1}, GridState::Modified, {-1, -1}}, // right of the start
        {{0, 3}, GridState::Modified, {1, 1}},
        {{1, 0}, GridState::ReadOnly | GridState::Focused, {2, 3}},
        {{2, 3}, GridState::ReadOnly | GridState::Focused, {3, 2}},
        {{1, 1}, GridState::Fixed, {-1, -1}}, // data cells are never fixed
    };
    for (const auto& c : cases)
        EXPECT_EQ(grid.NextCellWith(c.start, c.bits), c.found)
            << c.start.row << "," << c.start.col << " bits " << c.bits;
}

TEST(GridSelection, WholeRowsColumnsAndAllStayOneRange) {
    GridModel grid;
    ASSERT_TRUE(grid.SetColumnTotal(10));
    ASSERT_TRUE(grid.SetRowTotal(1000000));
    grid.SelectAll();
    grid.SelectRows(5, 900000, true);
    grid.SelectColumns(2, 3, true);
    EXPECT_EQ(grid.Selection().ranges().size(), 1u);
    grid.DeselectCell(500, 5); // a hole: split into a few ranges, not into cells
    EXPECT_LE(grid.Selection().ranges().size(), 4u);
    EXPECT_FALSE(grid.IsCellSelected(500, 5));
    EXPECT_TRUE(grid.IsCellSelected(500, 6));
}

} // namespace
