// Sorting the data rows by the bytes of one column.
#include "grid/GridModel.h"

#include "grid/GridCellStore.h"

#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace {

// One data row while sorting: its key (a view into the row's cell) and where it came from.
struct SortEntry {
    const char* key;
    qint32 size;
    qint32 row;
    QByteArrayView view() const { return {key, size}; }
};

// The quicksort on rows: the pivot is the middle row's cell; from the left advance while the
// cell sorts before the pivot, from the right retreat while it sorts after; exchange the two
// rows unless their cells compare equal, and step both. Not stable. It runs on small entries
// (key and row), so exchanging costs little; the rows and their heights are moved once at the
// end. The smaller part is sorted first and the larger one by the loop, so the depth stays low.
template <typename Before>
void quickSortRows(std::vector<SortEntry>& rows, int lo, int hi, Before before) {
    while (lo < hi) {
        const QByteArrayView pivot = rows[size_t((lo + hi) / 2)].view();
        int i = lo;
        int j = hi;
        while (i <= j) {
            while (i < hi && before(rows[size_t(i)].view(), pivot) < 0)
                ++i;
            while (j > lo && before(pivot, rows[size_t(j)].view()) < 0)
                --j;
            if (i <= j) {
                if (before(rows[size_t(i)].view(), rows[size_t(j)].view()) != 0)
                    std::swap(rows[size_t(i)], rows[size_t(j)]);
                ++i;
                --j;
            }
        }
        if (j - lo < hi - i) {
            quickSortRows(rows, lo, j, before);
            lo = i;
        } else {
            quickSortRows(rows, i, hi, before);
            hi = j;
        }
    }
}

// A cell read as a decimal number: spaces around it, an optional sign, digits with at most one
// point. Kept as digit runs, so numbers of any length compare exactly.
struct Number {
    bool negative = false;
    QByteArrayView whole;    // without leading zeros
    QByteArrayView fraction; // without trailing zeros
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<Number> readNumber(QByteArrayView text) {
    qsizetype i = 0, end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    Number n;
    if (i < end && (text[i] == '-' || text[i] == '+'))
        n.negative = text[i++] == '-';
    const qsizetype wholeStart = i;
    while (i < end && isDigit(text[i]))
        ++i;
    qsizetype wholeEnd = i, fractionStart = i, fractionEnd = i;
    if (i < end && text[i] == '.') {
        fractionStart = ++i;
        while (i < end && isDigit(text[i]))
            ++i;
        fractionEnd = i;
    }
    if (i != end || (wholeEnd == wholeStart && fractionEnd == fractionStart))
        return std::nullopt;
    qsizetype w = wholeStart;
    while (w < wholeEnd && text[w] == '0')
        ++w;
    while (fractionEnd > fractionStart && text[fractionEnd - 1] == '0')
        --fractionEnd;
    n.whole = text.sliced(w, wholeEnd - w);
    n.fraction = text.sliced(fractionStart, fractionEnd - fractionStart);
    if (n.whole.isEmpty() && n.fraction.isEmpty())
        n.negative = false; // -0 is 0
    return n;
}

int sign(int v) {
    return (v > 0) - (v < 0);
}

// Two numbers by value; empty cells come first, as they do among texts.
int compareNumbers(QByteArrayView a, QByteArrayView b) {
    if (a.isEmpty() || b.isEmpty())
        return int(b.isEmpty()) - int(a.isEmpty());
    const Number x = *readNumber(a);
    const Number y = *readNumber(b);
    if (x.negative != y.negative)
        return x.negative ? -1 : 1;
    int magnitude = sign(int(x.whole.size() - y.whole.size()));
    if (magnitude == 0)
        magnitude = sign(x.whole.compare(y.whole));
    if (magnitude == 0)
        magnitude = sign(x.fraction.compare(y.fraction));
    return x.negative ? -magnitude : magnitude;
}

} // namespace

bool GridModel::ColumnHoldsNumbers(int col) const {
    bool any = false;
    for (int r = m_fixedRows; r < RowTotal(); ++r) {
        const QByteArrayView text = m_store->bytes(r, col);
        if (text.isEmpty())
            continue;
        if (!readNumber(text))
            return false;
        any = true;
    }
    return any;
}

bool GridModel::SortByColumn(int col, bool ascending) {
    if (col < 0 || col >= ColumnTotal())
        return false;
    m_sortColumn = col;
    m_sortAscending = ascending;
    ClearSelection();
    const int total = RowTotal();
    std::vector<SortEntry> rows(static_cast<size_t>(total));
    std::deque<QByteArray> made; // numbered headings are made when read: keep them while sorting
    for (int r = 0; r < total; ++r) {
        QByteArrayView key = m_store->bytes(r, col);
        if (m_store->isNumbered(r, col))
            key = made.emplace_back(key.toByteArray());
        rows[size_t(r)] = {key.data(), qint32(key.size()), r};
    }
    const GridTextCodec codec = m_codec;
    const int direction = ascending ? 1 : -1;
    // before(a, b) < 0: a sorts before b in the chosen direction; 0: equal.
    if (m_compare)
        quickSortRows(rows, m_fixedRows, total - 1, [&](QByteArrayView a, QByteArrayView b) {
            return direction * m_compare(a, b);
        });
    else if (ColumnHoldsNumbers(col))
        quickSortRows(rows, m_fixedRows, total - 1,
                      [direction](QByteArrayView a, QByteArrayView b) {
                          return direction * compareNumbers(a, b);
                      });
    else if (ascending)
        quickSortRows(rows, m_fixedRows, total - 1, [codec](QByteArrayView a, QByteArrayView b) {
            return GridText::compare(codec, a, b);
        });
    else
        quickSortRows(rows, m_fixedRows, total - 1, [codec](QByteArrayView a, QByteArrayView b) {
            return GridText::compare(codec, b, a);
        });

    std::vector<int> order(rows.size()); // the keys point into the rows: read before they move
    for (size_t k = 0; k < rows.size(); ++k)
        order[k] = rows[k].row;
    rows.clear();
    made.clear();
    m_store->reorderRows(order);
    m_rows.reorder(order);
    emit contentChanged();
    emit layoutChanged();
    return true;
}
