#include "grid/GridNavigation.h"

#include "grid/GridModel.h"

namespace GridNavigation {
namespace {

// The visible entry of `axis` next to `i` in direction `dir` within [first, count), or i.
int neighbour(const GridAxis& axis, int first, int i, int dir) {
    const int found = dir > 0 ? axis.visibleAtOrAfter(i + 1) : axis.visibleAtOrBefore(i - 1);
    return found >= first ? found : i;
}

int firstVisible(const GridAxis& axis, int first) {
    return axis.visibleAtOrAfter(first);
}

int lastVisible(const GridAxis& axis, int first) {
    const int found = axis.visibleAtOrBefore(axis.count() - 1);
    return found >= first ? found : -1;
}

GridCellId tab(const GridModel& grid, GridCellId from, int dir) {
    const int fixedCols = grid.FixedColumnTotal();
    const int col = neighbour(grid.Columns(), fixedCols, from.col, dir);
    if (col != from.col)
        return {from.row, col};
    const int row = neighbour(grid.Rows(), grid.FixedRowTotal(), from.row, dir);
    if (row == from.row)
        return from;
    const int wrapped =
        dir > 0 ? firstVisible(grid.Columns(), fixedCols) : lastVisible(grid.Columns(), fixedCols);
    return wrapped < 0 ? from : GridCellId{row, wrapped};
}

} // namespace

int rowsAway(const GridModel& grid, int row, int count) {
    const int dir = count < 0 ? -1 : 1;
    for (int n = 0; n != count; n += dir) {
        const int next = neighbour(grid.Rows(), grid.FixedRowTotal(), row, dir);
        if (next == row)
            break;
        row = next;
    }
    return row;
}

int columnsAway(const GridModel& grid, int col, int count) {
    const int dir = count < 0 ? -1 : 1;
    for (int n = 0; n != count; n += dir) {
        const int next = neighbour(grid.Columns(), grid.FixedColumnTotal(), col, dir);
        if (next == col)
            break;
        col = next;
    }
    return col;
}

GridCellId firstVisibleDataCell(const GridModel& grid) {
    const int row = firstVisible(grid.Rows(), grid.FixedRowTotal());
    const int col = firstVisible(grid.Columns(), grid.FixedColumnTotal());
    return row < 0 || col < 0 ? GridCellId{} : GridCellId{row, col};
}

GridCellId step(const GridModel& grid, GridCellId from, Move move) {
    if (!grid.IsValid(from.row, from.col))
        return from;
    const int fixedRows = grid.FixedRowTotal();
    const int fixedCols = grid.FixedColumnTotal();
    auto orFrom = [&](int row, int col) {
        return row < 0 || col < 0 ? from : GridCellId{row, col};
    };
    switch (move) {
    case Move::Left:
        return {from.row, neighbour(grid.Columns(), fixedCols, from.col, -1)};
    case Move::Right:
        return {from.row, neighbour(grid.Columns(), fixedCols, from.col, 1)};
    case Move::Up:
        return {neighbour(grid.Rows(), fixedRows, from.row, -1), from.col};
    case Move::Down:
        return {neighbour(grid.Rows(), fixedRows, from.row, 1), from.col};
    case Move::Home:
        return orFrom(from.row, firstVisible(grid.Columns(), fixedCols));
    case Move::End:
        return orFrom(from.row, lastVisible(grid.Columns(), fixedCols));
    case Move::First:
        return orFrom(firstVisible(grid.Rows(), fixedRows),
                      firstVisible(grid.Columns(), fixedCols));
    case Move::Last:
        return orFrom(lastVisible(grid.Rows(), fixedRows), lastVisible(grid.Columns(), fixedCols));
    case Move::TabForward:
        return tab(grid, from, 1);
    case Move::TabBackward:
        return tab(grid, from, -1);
    }
    return from;
}

} // namespace GridNavigation
