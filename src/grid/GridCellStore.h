#pragma once

#include "grid/GridCellAttributes.h"

#include <QByteArrayView>
#include <QList>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

// The cells of a grid, stored compactly. A row is one block of memory:
//     [cell count n : u32] [end offset of each cell's bytes : u32 x n] [stored state : u8 x n]
//     [the cells' bytes, one after the other]
// Cells at or past n are empty with no state, so a new or empty row costs no block at all and a
// cell that holds only text costs five bytes besides its text. The few cells with attributes of
// their own keep them in a side table per row. Changing a cell rewrites its row's block, which
// is short; loading fills a row in one pass (setRowBytes).
class GridCellStore {
public:
    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return m_columns; }
    void setRowCount(int n);
    void insertRows(int at, int n);
    void removeRows(int at, int n);
    void setColumnCount(int n);
    void insertColumns(int at, int n);
    void removeColumns(int at, int n);
    // Puts row order[k] at position k (order is a permutation of 0..rowCount()-1).
    void reorderRows(const std::vector<int>& order);

    QByteArrayView bytes(int row, int col) const;
    void setBytes(int row, int col, QByteArrayView bytes);
    void setRowBytes(int row, int firstCol, const QList<QByteArrayView>& fields);
    quint8 state(int row, int col) const;
    void setState(int row, int col, quint8 state);
    // Clears `bits` in every cell.
    void clearStateBits(quint8 bits);
    // The first cell at or after `col` in `row` whose stored state has any of `bits`, -1 none.
    int nextWithState(int row, int col, quint8 bits) const;

    const GridCellAttributes* attributes(int row, int col) const;
    void setAttributes(int row, int col, const GridCellAttributes& attributes);
    qsizetype attributedCount() const { return m_attributed; }

    // Bytes held by the cells (blocks, row table and side table), for the benchmarks.
    qsizetype memoryUsed() const;
    // At most the bytes `rows` rows holding `cells` non-empty cells with `textBytes` bytes of
    // text in all take.
    static qint64 estimate(qint64 rows, qint64 cells, qint64 textBytes);

private:
    struct FreeBlock {
        void operator()(char* block) const { std::free(block); }
    };
    using Block = std::unique_ptr<char, FreeBlock>;
    using RowAttributes = std::vector<std::pair<int, GridCellAttributes>>; // sorted by column
    struct Row {
        Block block;
        std::unique_ptr<RowAttributes> attributes;
    };
    struct Cell {
        QByteArrayView bytes;
        quint8 state = 0;
    };
    template <typename CellOf> static Block buildBlock(int cells, CellOf cellOf);
    static int cellCount(const char* block);
    static Cell cellOf(const char* block, int col);
    void shiftAttributeColumns(int from, int delta, int dropBelow);

    std::vector<Row> m_rows;
    int m_columns = 0;
    qsizetype m_attributed = 0;
};
