#pragma once

#include "grid/GridCellAttributes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <functional>
#include <map>
#include <utility>
#include <vector>

// The cells of a grid, stored compactly. A row is one block of memory:
//     [flags, and n when under 16 : u8] [cell count n : u32, only when 16 or more]
//     [end offset of each cell's bytes : 1, 2 or 4 bytes x n]
//     [stored state : u8 x n, only when a cell has one] [the cells' bytes, one after the other]
// The offsets take the fewest bytes the row's text allows. Cells at or past n are empty with
// no state, so a new or empty row costs no block at all, and a short row of text only costs
// one byte besides one per cell and its text; a block of up to seven bytes is kept in the row's
// slot instead of the pointer, so a line of a character or two costs no block. Blocks made while
// loading (setRowBytes) come out of large chunks of the store's own, without an allocator's word
// and rounding each; a chunk is given back when its last block goes. The few cells with attributes
// of their own keep them in a side table. Changing a cell rewrites its row's block, which is short.
// The first cell of a row may be numbered instead of stored (numberRows): its text is made from
// the row's number when read, so a million row headings take no memory of their own.
class GridCellStore {
public:
    GridCellStore() = default;
    ~GridCellStore();
    GridCellStore(const GridCellStore&) = delete;
    GridCellStore& operator=(const GridCellStore&) = delete;

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
    // The bytes of cells firstCol..columnCount()-1 of a row, in one pass over its block.
    void rowBytes(int row, int firstCol, QList<QByteArrayView>& out) const;
    void setBytes(int row, int col, QByteArrayView bytes);
    void setRowBytes(int row, int firstCol, const QList<QByteArrayView>& fields);
    quint8 state(int row, int col) const;
    void setState(int row, int col, quint8 state);
    // Clears `bits` in every cell.
    void clearStateBits(quint8 bits);
    // The first cell at or after `col` in `row` whose stored state has any of `bits`, -1 none.
    int nextWithState(int row, int col, quint8 bits) const;

    // Makes the first cell of rows first..rowCount()-1 (empty until now) read heading(number),
    // where a row's number is its index now. The number stays with the row when rows are
    // reordered, inserted before it or removed; setting the cell's bytes stores them instead,
    // and so does inserting or removing column 0. While no row has moved the numbers take no
    // memory; after that four bytes a row.
    using HeadingRule = std::function<QByteArray(int number)>;
    void numberRows(int first, HeadingRule heading);
    // True when the cell's bytes are made from its row's number (a view of them lasts only
    // until the next such cell is read).
    bool isNumbered(int row, int col) const { return col == 0 && numberOf(row) >= 0; }

    const GridCellAttributes* attributes(int row, int col) const;
    void setAttributes(int row, int col, const GridCellAttributes& attributes);
    qsizetype attributedCount() const { return m_attributed; }

    // Bytes held by the cells (blocks, chunks, row table and side table), for the benchmarks.
    qsizetype memoryUsed() const;
    // At most the bytes `rows` rows holding `cells` non-empty cells with `textBytes` bytes of
    // text in all take.
    static qint64 estimate(qint64 rows, qint64 cells, qint64 textBytes);

private:
    using RowAttributes = std::vector<std::pair<int, GridCellAttributes>>; // sorted by column
    struct Cell {
        QByteArrayView bytes;
        quint8 state = 0;
    };
    // A chunk that blocks made while loading are cut from.
    struct Chunk {
        char* begin = nullptr;
        qsizetype size = 0;
        qsizetype used = 0;
        qsizetype live = 0; // blocks in it not yet released
    };
    template <typename CellOf> char* buildBlock(int cells, CellOf cellOf, bool pooled);
    // The row's block: where its slot points, or the slot itself for a block of a few bytes.
    const char* blockOf(int row) const;
    char* blockOf(int row);
    static int cellCount(const char* block);
    static Cell cellOf(const char* block, int col);
    static size_t blockSize(const char* block);
    // A block of `size` bytes, from a chunk when `pooled` and it is small enough (pooled then
    // says whether it came from one).
    char* allocate(size_t size, bool& pooled);
    // Puts `block` in the row and releases the row's old block.
    void setBlock(int row, char* block);
    void release(char* block);
    std::vector<Chunk>::iterator chunkOf(const char* block);
    void shiftAttributeRows(int from, int delta);
    int numberOf(int row) const;
    bool numbering() const { return !m_numbers.empty() || m_identityEnd > m_identityBegin; }
    // Writes the numbers out, one per row, before rows move (it may throw; nothing has changed
    // then).
    void spellOutNumbers();
    // Stores the made text in every numbered first cell and ends the numbering.
    void storeNumberedCells();
    QByteArrayView numberedBytes(int row) const;
    void shiftAttributeColumns(int from, int delta, int dropBelow);

    std::vector<char*> m_rows; // a block per row (or the block itself), null for empty cells
    int m_columns = 0;
    std::map<int, RowAttributes> m_attributes; // by row
    qsizetype m_attributed = 0;
    std::vector<Chunk> m_chunks; // sorted by address
    char* m_filling = nullptr;   // the chunk new pooled blocks come from
    HeadingRule m_heading;
    // Until a row moves, rows m_identityBegin..m_identityEnd-1 are numbered by their index and
    // m_numbers is empty; after that it holds every row's number, -1 for none.
    int m_identityBegin = 0;
    int m_identityEnd = 0;
    std::vector<qint32> m_numbers;
    mutable QByteArray m_numberedText; // the last numbered cell read
};
