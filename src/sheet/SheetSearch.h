#pragma once

#include "grid/GridTypes.h"

#include <QString>
#include <QStringList>

#include <functional>

class GridModel;

// Search, replace and narrowing over the selected cells of the spreadsheet's grid. A cell
// matches when its text holds the search text (case-sensitive, by characters); an empty search
// text matches every cell. The selected cells are visited from the focused cell on, row by row
// and left to right.
namespace SheetSearch {

// A page opening: a selection of more than one cell moves the focus to its top-left corner.
// Returns the focused cell's text (empty without a focused cell).
QString prepare(GridModel& grid);

// Finds the next selected cell that matches, starting at the focused cell when it is selected;
// focuses it and takes it out of the selection, so a run of searches consumes the selection.
// The cell found, or an invalid one (the caller sounds the not-found signal).
GridCellId findNextSelected(GridModel& grid, const QString& search);

// Writes a cell's new text the way an edit does (the grid window's guarded update): only what
// an edit could change is changed. True when the text changed.
using CellWriter = std::function<bool(int row, int col, const QString& text)>;

enum class ReplaceOutcome {
    NotChanged, // the focused cell did not hold the search text (or may not change): no search
    Found,      // replaced (or already as replaced), and the next match is focused
    NotFound,   // replaced, and no further match: the caller sounds the not-found signal
};
ReplaceOutcome replaceAndNext(GridModel& grid, const CellWriter& write, const QString& search,
                              const QString& replacement);

// Replaces in the focused cell and in every matching selected cell after it, each at most once;
// returns how many cells changed. Ends, as a search that finds nothing, with the not-found
// signal.
int replaceAll(GridModel& grid, const CellWriter& write, const QString& search,
               const QString& replacement);

// Hides the row (or column) of every visited cell that matches (keepMatching false) or does not
// match (keepMatching true); the focused cell is always tested. Nothing without a focused cell.
void narrow(GridModel& grid, const QString& search, bool hideColumns, bool keepMatching);

} // namespace SheetSearch
