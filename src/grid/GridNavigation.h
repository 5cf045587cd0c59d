#pragma once

#include "grid/GridTypes.h"

class GridModel;

// Where a key moves the focused cell: always onto a data cell that is not hidden, never off the
// table. Each function returns the cell it starts from when there is nowhere to go.
namespace GridNavigation {

enum class Move { Left, Right, Up, Down, Home, End, First, Last, TabForward, TabBackward };

// The cell a key moves `from` to (Home/End within the row, First/Last the whole grid, Tab
// wrapping to the next or previous visible row).
GridCellId step(const GridModel& grid, GridCellId from, Move move);

// The visible data row `count` visible rows below (negative: above) `row`, stopping at the
// first or last one.
int rowsAway(const GridModel& grid, int row, int count);
// The same for columns.
int columnsAway(const GridModel& grid, int col, int count);

// The first data cell that is not hidden; (-1,-1) in a grid without one.
GridCellId firstVisibleDataCell(const GridModel& grid);

} // namespace GridNavigation
