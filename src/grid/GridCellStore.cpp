#include "grid/GridCellStore.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>

namespace {
constexpr size_t kHeader = sizeof(quint32);

quint32 readU32(const char* p) {
    quint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
void writeU32(char* p, quint32 v) {
    std::memcpy(p, &v, sizeof v);
}
} // namespace

int GridCellStore::cellCount(const char* block) {
    return block ? int(readU32(block)) : 0;
}

GridCellStore::Cell GridCellStore::cellOf(const char* block, int col) {
    const int n = cellCount(block);
    if (col < 0 || col >= n)
        return {};
    const char* ends = block + kHeader;
    const char* states = ends + sizeof(quint32) * size_t(n);
    const char* text = states + n;
    const quint32 begin = col == 0 ? 0 : readU32(ends + sizeof(quint32) * size_t(col - 1));
    const quint32 end = readU32(ends + sizeof(quint32) * size_t(col));
    return {QByteArrayView(text + begin, qsizetype(end - begin)), quint8(states[col])};
}

// Builds a block of `cells` cells from cellOf(c); trailing empty cells are left out and a row
// of empty cells gets no block.
template <typename CellOf>
GridCellStore::Block GridCellStore::buildBlock(int cells, CellOf cellOf) {
    size_t textSize = 0;
    int used = 0;
    for (int c = 0; c < cells; ++c) {
        const Cell cell = cellOf(c);
        textSize += size_t(cell.bytes.size());
        if (!cell.bytes.isEmpty() || cell.state != 0)
            used = c + 1;
    }
    if (used == 0)
        return {};
    if (textSize > std::numeric_limits<quint32>::max() - kHeader - 5 * size_t(used))
        throw std::bad_alloc(); // the offsets are 32 bits: a row holds less than 4 GB
    const size_t size = kHeader + 5 * size_t(used) + textSize;
    char* block = static_cast<char*>(std::malloc(size));
    if (!block)
        throw std::bad_alloc();
    writeU32(block, quint32(used));
    char* ends = block + kHeader;
    char* states = ends + sizeof(quint32) * size_t(used);
    char* text = states + used;
    quint32 end = 0;
    for (int c = 0; c < used; ++c) {
        const Cell cell = cellOf(c);
        if (!cell.bytes.isEmpty())
            std::memcpy(text + end, cell.bytes.data(), size_t(cell.bytes.size()));
        end += quint32(cell.bytes.size());
        writeU32(ends + sizeof(quint32) * size_t(c), end);
        states[c] = char(cell.state);
    }
    return Block(block);
}

void GridCellStore::setRowCount(int n) {
    n = std::max(n, 0);
    if (n < rowCount()) {
        for (int r = n; r < rowCount(); ++r)
            if (m_rows[size_t(r)].attributes)
                m_attributed -= qsizetype(m_rows[size_t(r)].attributes->size());
        m_rows.erase(m_rows.begin() + n, m_rows.end());
    } else {
        m_rows.resize(size_t(n));
    }
}

void GridCellStore::insertRows(int at, int n) {
    if (at < 0 || at > rowCount() || n <= 0)
        return;
    std::vector<Row> fresh(static_cast<size_t>(n));
    m_rows.insert(m_rows.begin() + at, std::make_move_iterator(fresh.begin()),
                  std::make_move_iterator(fresh.end()));
}

void GridCellStore::removeRows(int at, int n) {
    if (at < 0 || at >= rowCount() || n <= 0)
        return;
    n = std::min(n, rowCount() - at);
    for (int r = at; r < at + n; ++r)
        if (m_rows[size_t(r)].attributes)
            m_attributed -= qsizetype(m_rows[size_t(r)].attributes->size());
    m_rows.erase(m_rows.begin() + at, m_rows.begin() + at + n);
}

void GridCellStore::setColumnCount(int n) {
    n = std::max(n, 0);
    if (n < m_columns) {
        for (Row& row : m_rows) {
            const char* old = row.block.get();
            if (cellCount(old) > n)
                row.block = buildBlock(n, [&](int c) { return cellOf(old, c); });
        }
        shiftAttributeColumns(n, 0, n);
    }
    m_columns = n;
}

void GridCellStore::insertColumns(int at, int n) {
    if (at < 0 || at > m_columns || n <= 0)
        return;
    for (Row& row : m_rows) {
        const char* old = row.block.get();
        const int cells = cellCount(old);
        if (cells > at)
            row.block = buildBlock(cells + n, [&](int c) {
                return c < at ? cellOf(old, c) : (c < at + n ? Cell{} : cellOf(old, c - n));
            });
    }
    shiftAttributeColumns(at, n, at);
    m_columns += n;
}

void GridCellStore::removeColumns(int at, int n) {
    if (at < 0 || at >= m_columns || n <= 0)
        return;
    n = std::min(n, m_columns - at);
    for (Row& row : m_rows) {
        const char* old = row.block.get();
        const int cells = cellCount(old);
        if (cells > at)
            row.block = buildBlock(cells - std::min(n, cells - at), [&](int c) {
                return c < at ? cellOf(old, c) : cellOf(old, c + n);
            });
    }
    shiftAttributeColumns(at + n, -n, at);
    m_columns -= n;
}

// Moves the attributes of columns >= from by delta and drops those of columns in
// [dropBelow, from) (and, with delta 0, every column >= from).
void GridCellStore::shiftAttributeColumns(int from, int delta, int dropBelow) {
    for (Row& row : m_rows) {
        if (!row.attributes)
            continue;
        RowAttributes& list = *row.attributes;
        const size_t before = list.size();
        std::erase_if(list, [&](const auto& entry) {
            return entry.first >= dropBelow && (entry.first < from || delta == 0);
        });
        m_attributed -= qsizetype(before - list.size());
        for (auto& entry : list)
            if (entry.first >= from)
                entry.first += delta;
        if (list.empty())
            row.attributes.reset();
    }
}

void GridCellStore::reorderRows(const std::vector<int>& order) {
    if (int(order.size()) != rowCount())
        return;
    std::vector<Row> rows(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        rows[k] = std::move(m_rows[size_t(order[k])]);
    m_rows.swap(rows);
}

QByteArrayView GridCellStore::bytes(int row, int col) const {
    if (row < 0 || row >= rowCount())
        return {};
    return cellOf(m_rows[size_t(row)].block.get(), col).bytes;
}

quint8 GridCellStore::state(int row, int col) const {
    if (row < 0 || row >= rowCount())
        return 0;
    return cellOf(m_rows[size_t(row)].block.get(), col).state;
}

void GridCellStore::setBytes(int row, int col, QByteArrayView bytes) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns)
        return;
    Row& target = m_rows[size_t(row)];
    const char* old = target.block.get();
    const int cells = cellCount(old);
    if (col >= cells && bytes.isEmpty())
        return;
    // The new bytes may point into the old block: it lives until the new one is built.
    target.block = buildBlock(std::max(cells, col + 1), [&](int c) {
        Cell cell = cellOf(old, c);
        if (c == col)
            cell.bytes = bytes;
        return cell;
    });
}

void GridCellStore::setRowBytes(int row, int firstCol, const QList<QByteArrayView>& fields) {
    if (row < 0 || row >= rowCount() || firstCol < 0 || firstCol >= m_columns)
        return;
    Row& target = m_rows[size_t(row)];
    const char* old = target.block.get();
    const int last = std::min(m_columns, firstCol + int(fields.size()));
    target.block = buildBlock(std::max(cellCount(old), last), [&](int c) {
        Cell cell = cellOf(old, c);
        if (c >= firstCol && c < last)
            cell.bytes = fields[c - firstCol];
        return cell;
    });
}

void GridCellStore::setState(int row, int col, quint8 state) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns)
        return;
    Row& target = m_rows[size_t(row)];
    const char* old = target.block.get();
    const int cells = cellCount(old);
    if (col >= cells && state == 0)
        return;
    if (col < cells) { // the block keeps its size: change the byte in place
        char* block = target.block.get();
        block[kHeader + sizeof(quint32) * size_t(cells) + size_t(col)] = char(state);
        return;
    }
    target.block = buildBlock(col + 1, [&](int c) {
        Cell cell = cellOf(old, c);
        if (c == col)
            cell.state = state;
        return cell;
    });
}

void GridCellStore::clearStateBits(quint8 bits) {
    for (Row& row : m_rows) {
        char* block = row.block.get();
        const int cells = cellCount(block);
        char* states = block ? block + kHeader + sizeof(quint32) * size_t(cells) : nullptr;
        for (int c = 0; c < cells; ++c)
            states[c] = char(quint8(states[c]) & ~bits);
    }
}

int GridCellStore::nextWithState(int row, int col, quint8 bits) const {
    if (row < 0 || row >= rowCount())
        return -1;
    const char* block = m_rows[size_t(row)].block.get();
    const int cells = std::min(cellCount(block), m_columns);
    for (int c = std::max(col, 0); c < cells; ++c)
        if (quint8(block[kHeader + sizeof(quint32) * size_t(cellCount(block)) + size_t(c)]) & bits)
            return c;
    return -1;
}

const GridCellAttributes* GridCellStore::attributes(int row, int col) const {
    if (row < 0 || row >= rowCount() || !m_rows[size_t(row)].attributes)
        return nullptr;
    const RowAttributes& list = *m_rows[size_t(row)].attributes;
    const auto it = std::lower_bound(list.begin(), list.end(), col,
                                     [](const auto& entry, int c) { return entry.first < c; });
    return it != list.end() && it->first == col ? &it->second : nullptr;
}

void GridCellStore::setAttributes(int row, int col, const GridCellAttributes& attributes) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns)
        return;
    auto& slot = m_rows[size_t(row)].attributes;
    if (!slot) {
        if (attributes.isReset())
            return;
        slot = std::make_unique<RowAttributes>();
    }
    RowAttributes& list = *slot;
    const auto it = std::lower_bound(list.begin(), list.end(), col,
                                     [](const auto& entry, int c) { return entry.first < c; });
    const bool present = it != list.end() && it->first == col;
    if (attributes.isReset()) {
        if (present) {
            list.erase(it);
            --m_attributed;
        }
        if (list.empty())
            slot.reset();
    } else if (present) {
        it->second = attributes;
    } else {
        list.insert(it, {col, attributes});
        ++m_attributed;
    }
}

qsizetype GridCellStore::memoryUsed() const {
    // malloc keeps a word before each block and rounds to 16 bytes.
    qsizetype total = qsizetype(m_rows.capacity() * sizeof(Row));
    for (const Row& row : m_rows) {
        if (const char* block = row.block.get()) {
            const int n = cellCount(block);
            const size_t size = kHeader + 5 * size_t(n) +
                                readU32(block + kHeader + sizeof(quint32) * size_t(n - 1));
            total += qsizetype((size + 8 + 15) / 16 * 16);
        }
        if (row.attributes)
            total += qsizetype(sizeof(RowAttributes) +
                               row.attributes->capacity() * sizeof(RowAttributes::value_type));
    }
    return total;
}

qint64 GridCellStore::estimate(qint64 rows, qint64 cells, qint64 textBytes) {
    // A block per row with its allocator's word and rounding.
    constexpr qint64 perBlock = qint64(kHeader) + 8 + 15;
    return rows * (qint64(sizeof(Row)) + perBlock) + cells * 5 + textBytes;
}
