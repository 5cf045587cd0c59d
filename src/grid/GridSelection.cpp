#include "grid/GridSelection.h"

#include <algorithm>

void GridSelection::add(const GridRange& range) {
    if (!range.isValid())
        return;
    for (const GridRange& held : m_ranges)
        if (held.contains(range.top, range.left) && held.contains(range.bottom, range.right))
            return; // already selected: keep the list short
    std::erase_if(m_ranges, [&](const GridRange& held) {
        return range.contains(held.top, held.left) && range.contains(held.bottom, held.right);
    });
    m_ranges.push_back(range);
}

void GridSelection::remove(int row, int col) {
    std::vector<GridRange> kept;
    kept.reserve(m_ranges.size() + 4);
    for (const GridRange& r : m_ranges) {
        if (!r.contains(row, col)) {
            kept.push_back(r);
            continue;
        }
        // The rows above and below, and the cells left and right of it in its row.
        const GridRange parts[] = {{r.top, r.left, row - 1, r.right},
                                   {row + 1, r.left, r.bottom, r.right},
                                   {row, r.left, row, col - 1},
                                   {row, col + 1, row, r.right}};
        for (const GridRange& part : parts)
            if (part.isValid())
                kept.push_back(part);
    }
    m_ranges.swap(kept);
}

bool GridSelection::contains(int row, int col) const {
    return std::any_of(m_ranges.begin(), m_ranges.end(),
                       [&](const GridRange& r) { return r.contains(row, col); });
}

GridRange GridSelection::bounds(const GridRange& table) const {
    GridRange result;
    for (const GridRange& r : m_ranges) {
        const GridRange clipped{std::max(r.top, table.top), std::max(r.left, table.left),
                                std::min(r.bottom, table.bottom), std::min(r.right, table.right)};
        if (!clipped.isValid())
            continue;
        if (!result.isValid()) {
            result = clipped;
            continue;
        }
        result = {std::min(result.top, clipped.top), std::min(result.left, clipped.left),
                  std::max(result.bottom, clipped.bottom), std::max(result.right, clipped.right)};
    }
    return result;
}

int GridSelection::nextInRow(int row, int col, int lastCol) const {
    int best = -1;
    for (const GridRange& r : m_ranges) {
        if (row < r.top || row > r.bottom || r.right < col)
            continue;
        const int first = std::max(r.left, col);
        if (first <= lastCol && (best < 0 || first < best))
            best = first;
    }
    return best;
}
