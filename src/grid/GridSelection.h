#pragma once

#include "grid/GridTypes.h"

#include <vector>

// The selected cells as a short list of rectangles, added and cut out as the user selects: a
// selection of whole rows, whole columns or everything is one rectangle however many cells it
// holds. Rectangles may overlap; a cell is selected when any rectangle holds it. Indices are
// not clipped here: the grid clips them to its table when it asks.
class GridSelection {
public:
    bool isEmpty() const { return m_ranges.empty(); }
    void clear() { m_ranges.clear(); }
    void add(const GridRange& range);
    // Takes one cell out (the rectangles holding it are split around it).
    void remove(int row, int col);
    bool contains(int row, int col) const;
    // The smallest rectangle holding every selected cell within `table`; invalid when none.
    GridRange bounds(const GridRange& table) const;
    // The first selected cell of `row` at column >= col and <= lastCol, -1 when none.
    int nextInRow(int row, int col, int lastCol) const;
    const std::vector<GridRange>& ranges() const { return m_ranges; }
    friend bool operator==(const GridSelection&, const GridSelection&) = default;

private:
    std::vector<GridRange> m_ranges;
};
