// Sorting the data rows by the bytes of one column.
#include "grid/GridModel.h"

#include "grid/GridCellStore.h"

#include <numeric>
#include <utility>
#include <vector>

namespace {

// The quicksort on rows: the pivot is the middle row's cell; from the left advance while the
// cell sorts before the pivot, from the right retreat while it sorts after; exchange the two
// rows unless their cells compare equal, and step both. Not stable. It runs on the row order
// (keys cached), so exchanging costs nothing; the rows and their heights are moved once at the
// end. The smaller part is sorted first and the larger one by the loop, so the depth stays low.
template <typename Less>
void quickSortRows(std::vector<int>& order, const std::vector<QByteArrayView>& keys, int lo, int hi,
                   Less before) {
    while (lo < hi) {
        const QByteArrayView pivot = keys[size_t(order[size_t((lo + hi) / 2)])];
        int i = lo;
        int j = hi;
        while (i <= j) {
            while (i < hi && before(keys[size_t(order[size_t(i)])], pivot) < 0)
                ++i;
            while (j > lo && before(pivot, keys[size_t(order[size_t(j)])]) < 0)
                --j;
            if (i <= j) {
                if (before(keys[size_t(order[size_t(i)])], keys[size_t(order[size_t(j)])]) != 0)
                    std::swap(order[size_t(i)], order[size_t(j)]);
                ++i;
                --j;
            }
        }
        if (j - lo < hi - i) {
            quickSortRows(order, keys, lo, j, before);
            lo = i;
        } else {
            quickSortRows(order, keys, i, hi, before);
            hi = j;
        }
    }
}

} // namespace

bool GridModel::SortByColumn(int col, bool ascending) {
    if (col < 0 || col >= ColumnTotal())
        return false;
    m_sortColumn = col;
    m_sortAscending = ascending;
    ClearSelection();
    const int rows = RowTotal();
    std::vector<QByteArrayView> keys(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        keys[size_t(r)] = m_store->bytes(r, col);
    std::vector<int> order(static_cast<size_t>(rows));
    std::iota(order.begin(), order.end(), 0);

    const GridTextCodec codec = m_codec;
    const int sign = ascending ? 1 : -1;
    // "before(a, b) < 0": a sorts before b in the chosen direction; 0: equal.
    if (m_compare)
        quickSortRows(order, keys, m_fixedRows, rows - 1,
                      [&](QByteArrayView a, QByteArrayView b) { return sign * m_compare(a, b); });
    else
        quickSortRows(order, keys, m_fixedRows, rows - 1, [&](QByteArrayView a, QByteArrayView b) {
            return sign * GridText::compare(codec, a, b);
        });

    keys.clear(); // views into the rows: gone before the rows move
    m_store->reorderRows(order);
    m_rows.reorder(order);
    emit contentChanged();
    emit layoutChanged();
    return true;
}
