#include "sheet/SheetSearch.h"

#include "grid/GridModel.h"
#include "sheet/SheetRules.h"

#include <QSignalBlocker>

namespace SheetSearch {
namespace {

bool matches(const GridModel& grid, GridCellId cell, const QString& search) {
    return search.isEmpty() ||
           grid.CellText(cell.row, cell.col).contains(search, Qt::CaseSensitive);
}

bool selected(const GridModel& grid, GridCellId cell) {
    return grid.IsCellSelected(cell.row, cell.col);
}

// The first selected cell to visit: the focused cell when selected, else the next selected one.
GridCellId firstVisited(const GridModel& grid) {
    const GridCellId focus = grid.FocusCell();
    if (!focus.isValid())
        return grid.NextCellWith(GridCellId{0, 0}, GridState::Selected);
    if (selected(grid, focus))
        return focus;
    return grid.NextCellWith(focus, GridState::Selected);
}

enum class CellReplace {
    None,    // the cell does not hold the search text, or may not change
    Same,    // the replaced text is the text the cell holds: nothing to write
    Written, // the cell holds the replaced text now
};

// Writes the replacement into `cell` when it holds the search text.
CellReplace replaceIn(GridModel& grid, const CellWriter& write, GridCellId cell,
                      const QString& search, const QString& replacement) {
    if (!grid.IsValid(cell.row, cell.col))
        return CellReplace::None;
    const QString now = grid.CellText(cell.row, cell.col);
    const std::optional<QString> text = SheetRules::replaced(now, search, replacement);
    if (!text)
        return CellReplace::None;
    if (*text == now)
        return CellReplace::Same;
    return write(cell.row, cell.col, *text) ? CellReplace::Written : CellReplace::None;
}

} // namespace

QString prepare(GridModel& grid) {
    const GridRange s = grid.SelectionBounds();
    if (s.isValid() && (s.top != s.bottom || s.left != s.right))
        grid.SetFocusCell(GridCellId{s.top, s.left});
    const GridCellId focus = grid.FocusCell();
    return focus.isValid() ? grid.CellText(focus.row, focus.col) : QString();
}

GridCellId findNextSelected(GridModel& grid, const QString& search) {
    for (GridCellId cell = firstVisited(grid); cell.isValid();
         cell = grid.NextCellWith(cell, GridState::Selected)) {
        if (!matches(grid, cell, search))
            continue;
        grid.SetFocusCell(cell);
        grid.DeselectCell(cell.row, cell.col);
        return cell;
    }
    return {};
}

ReplaceOutcome replaceAndNext(GridModel& grid, const CellWriter& write, const QString& search,
                              const QString& replacement) {
    const GridCellId cell = grid.FocusCell();
    if (replaceIn(grid, write, cell, search, replacement) == CellReplace::None)
        return ReplaceOutcome::NotChanged;
    // The search goes on after the cell, even when the replacement is the search text itself.
    grid.DeselectCell(cell.row, cell.col);
    return findNextSelected(grid, search).isValid() ? ReplaceOutcome::Found
                                                    : ReplaceOutcome::NotFound;
}

int replaceAll(GridModel& grid, const CellWriter& write, const QString& search,
               const QString& replacement) {
    if (!grid.Behaviour().editable)
        return 0; // a read-only spreadsheet: not even the selection is consumed
    int changed = 0;
    {
        // One repaint at the end rather than one per cell.
        const QSignalBlocker quiet(&grid);
        const GridCellId start = grid.FocusCell();
        if (replaceIn(grid, write, start, search, replacement) == CellReplace::Written)
            ++changed;
        // The starting cell has had its turn: a search from it must not find it again.
        if (start.isValid())
            grid.DeselectCell(start.row, start.col);
        for (GridCellId cell = findNextSelected(grid, search); cell.isValid();
             cell = findNextSelected(grid, search))
            if (replaceIn(grid, write, cell, search, replacement) == CellReplace::Written)
                ++changed;
    }
    emit grid.contentChanged();
    emit grid.selectionChanged();
    emit grid.focusChanged();
    return changed;
}

void narrow(GridModel& grid, const QString& search, bool hideColumns, bool keepMatching) {
    GridCellId cell = grid.FocusCell();
    if (!cell.isValid())
        return;
    {
        const QSignalBlocker quiet(&grid);
        const int lastCol = grid.ColumnTotal() - 1;
        while (cell.isValid()) {
            GridCellId next = cell;
            if (matches(grid, cell, search) != keepMatching) {
                if (hideColumns) {
                    grid.SetColumnWidth(cell.col, 0);
                } else {
                    grid.SetRowHeight(cell.row, 0);
                    next.col = lastCol; // the rest of a hidden row needs no test
                }
            }
            cell = grid.NextCellWith(next, GridState::Selected);
        }
    }
    emit grid.layoutChanged();
}

} // namespace SheetSearch
