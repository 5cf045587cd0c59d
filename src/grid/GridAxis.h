#pragma once

#include "grid/GridSizeList.h"

#include <QtGlobal>

#include <vector>

// The sizes of the rows (heights) or of the columns (widths) of a grid. A size of 0 hides the
// entry. Besides the sizes it keeps a Fenwick tree of the sums of groups of 64 entries, so
// "where does entry i start" and "which entry covers pixel p" cost O(log n) plus a walk of one
// group however many entries are hidden, and changing one size costs O(log n) too; the tree
// adds an eighth of a byte per entry to the sizes' one byte (GridSizeList). Inserting or removing
// entries rebuilds the tree in O(n).
class GridAxis {
public:
    int count() const { return int(m_sizes.count()); }
    // Size of entry i; 0 outside.
    int size(int i) const;
    // Sets the size of entry i (negative sizes count as 0); nothing happens outside.
    void setSize(int i, int size);
    bool isHidden(int i) const { return size(i) == 0; }

    // Pixel where entry i starts: the sum of the sizes before it. i may equal count() (the
    // total); clamped outside.
    qint64 start(int i) const;
    qint64 total() const { return start(count()); }
    // The entry whose span [start, start + size) holds `pixel`; hidden entries never do. -1 when
    // pixel is negative or at or past the total.
    int indexAt(qint64 pixel) const;

    // The first entry at or after i that is not hidden, -1 when none (O(log n)).
    int visibleAtOrAfter(int i) const;
    // The last entry at or before i that is not hidden, -1 when none (O(log n)).
    int visibleAtOrBefore(int i) const;

    // Inserts n entries of `size` before entry `at` (at == count() appends).
    void insert(int at, int n, int size);
    // Removes n entries starting at `at`.
    void remove(int at, int n);
    // Grows with entries of `size` or shrinks to n entries.
    void resize(int n, int size);
    // Puts entry order[k] at position k for every k (order is a permutation of 0..count()-1).
    void reorder(const std::vector<int>& order);

    // The bytes an axis of `entries` entries takes.
    static qint64 bytesFor(qint64 entries);

private:
    static constexpr int kGroup = 64;

    void replace(GridSizeList&& sizes);
    void add(int i, qint64 delta);

    GridSizeList m_sizes;
    // Fenwick tree over the groups, 1-based: m_tree[k] sums groups (k - lowbit(k), k]
    std::vector<qint64> m_tree;
};
