#include "grid/GridCellStore.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

// The first byte of a block.
constexpr quint8 kWidthMask = 0x03; // 0, 1, 2: end offsets of 1, 2 or 4 bytes
constexpr quint8 kHasStates = 0x04;
constexpr quint8 kPooled = 0x08; // cut from a chunk, not from the allocator
// Bits 4 to 7 of the first byte hold a count of 1 to 15; 0 there: the count follows as a u32.
constexpr int kCountShift = 4;
constexpr quint32 kShortCount = 15;
constexpr size_t kLongHeader = 1 + sizeof(quint32);
constexpr qsizetype kChunkSize = qsizetype(1) << 20;
// A block of up to seven bytes lives in its row's slot instead of a pointer, the slot's last
// byte set to kInlineTag: no pointer of a process has its top byte set.
static_assert(sizeof(char*) == 8 && std::endian::native == std::endian::little);
constexpr size_t kInlineSize = sizeof(char*) - 1;
constexpr char kInlineTag = char(0x80);

bool isInline(const char* const& slot) {
    return reinterpret_cast<const char*>(&slot)[kInlineSize] == kInlineTag;
}

quint32 readU32(const char* p) {
    quint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
void writeU32(char* p, quint32 v) {
    std::memcpy(p, &v, sizeof v);
}
quint8 flagsOf(const char* block) {
    return quint8(block[0]);
}
size_t widthOf(quint8 flags) {
    return size_t(1) << (flags & kWidthMask);
}
quint32 readEnd(const char* ends, size_t width, int k) {
    const char* p = ends + width * size_t(k);
    switch (width) {
    case 1:
        return quint8(p[0]);
    case 2:
        return quint32(quint8(p[0])) | quint32(quint8(p[1])) << 8;
    default:
        return readU32(p);
    }
}
void writeEnd(char* ends, size_t width, int k, quint32 end) {
    char* p = ends + width * size_t(k);
    if (width == 4)
        writeU32(p, end);
    else
        for (size_t b = 0; b < width; ++b)
            p[b] = char(end >> (8 * b));
}
size_t headerSize(const char* block) {
    return (quint8(block[0]) >> kCountShift) ? 1 : kLongHeader;
}
size_t headerFor(quint32 cells) {
    return cells <= kShortCount ? 1 : kLongHeader;
}
quint32 countOf(const char* block) {
    const quint32 shortCount = quint8(block[0]) >> kCountShift;
    return shortCount ? shortCount : readU32(block + 1);
}
size_t statesOffset(const char* block) {
    return headerSize(block) + widthOf(flagsOf(block)) * size_t(countOf(block));
}

} // namespace

GridCellStore::~GridCellStore() {
    for (char* block : m_rows)
        if (block && !isInline(block) && !(flagsOf(block) & kPooled))
            std::free(block);
    for (const Chunk& chunk : m_chunks)
        std::free(chunk.begin);
}

const char* GridCellStore::blockOf(int row) const {
    const char* const& slot = m_rows[size_t(row)];
    return isInline(slot) ? reinterpret_cast<const char*>(&slot) : slot;
}

char* GridCellStore::blockOf(int row) {
    char*& slot = m_rows[size_t(row)];
    return isInline(slot) ? reinterpret_cast<char*>(&slot) : slot;
}

int GridCellStore::cellCount(const char* block) {
    return block ? int(countOf(block)) : 0;
}

GridCellStore::Cell GridCellStore::cellOf(const char* block, int col) {
    const int n = cellCount(block);
    if (col < 0 || col >= n)
        return {};
    const quint8 flags = flagsOf(block);
    const size_t width = widthOf(flags);
    const char* ends = block + headerSize(block);
    const char* states = ends + width * size_t(n);
    const char* text = states + ((flags & kHasStates) ? n : 0);
    const quint32 begin = col == 0 ? 0 : readEnd(ends, width, col - 1);
    const quint32 end = readEnd(ends, width, col);
    return {QByteArrayView(text + begin, qsizetype(end - begin)),
            (flags & kHasStates) ? quint8(states[col]) : quint8(0)};
}

size_t GridCellStore::blockSize(const char* block) {
    const int n = cellCount(block);
    const quint8 flags = flagsOf(block);
    const size_t width = widthOf(flags);
    return headerSize(block) + width * size_t(n) + ((flags & kHasStates) ? size_t(n) : 0) +
           readEnd(block + headerSize(block), width, n - 1);
}

char* GridCellStore::allocate(size_t size, bool& pooled) {
    if (!pooled || qsizetype(size) > kChunkSize / 16) {
        pooled = false; // a long row is a block of its own
        char* block = static_cast<char*>(std::malloc(size));
        if (!block)
            throw std::bad_alloc();
        return block;
    }
    auto filling = m_filling ? chunkOf(m_filling) : m_chunks.end();
    if (filling == m_chunks.end() || filling->size - filling->used < qsizetype(size)) {
        Chunk chunk;
        chunk.begin = static_cast<char*>(std::malloc(size_t(kChunkSize)));
        if (!chunk.begin)
            throw std::bad_alloc();
        chunk.size = kChunkSize;
        const auto at = std::upper_bound(
            m_chunks.begin(), m_chunks.end(), chunk.begin,
            [](const char* p, const Chunk& c) { return std::less<const char*>()(p, c.begin); });
        try {
            filling = m_chunks.insert(at, chunk);
        } catch (...) {
            std::free(chunk.begin);
            throw;
        }
        m_filling = chunk.begin;
    }
    char* block = filling->begin + filling->used;
    filling->used += qsizetype(size);
    ++filling->live;
    return block;
}

std::vector<GridCellStore::Chunk>::iterator GridCellStore::chunkOf(const char* block) {
    auto it = std::upper_bound(
        m_chunks.begin(), m_chunks.end(), block,
        [](const char* p, const Chunk& c) { return std::less<const char*>()(p, c.begin); });
    return it == m_chunks.begin() ? m_chunks.end() : it - 1;
}

void GridCellStore::release(char* block) {
    if (!block || isInline(block))
        return;
    if (!(flagsOf(block) & kPooled)) {
        std::free(block);
        return;
    }
    const auto chunk = chunkOf(block);
    if (chunk == m_chunks.end() || --chunk->live > 0)
        return;
    if (chunk->begin == m_filling)
        m_filling = nullptr;
    std::free(chunk->begin);
    m_chunks.erase(chunk);
}

void GridCellStore::setBlock(int row, char* block) {
    char* old = m_rows[size_t(row)];
    m_rows[size_t(row)] = block;
    release(old);
}

// Builds a block of `cells` cells from cellOf(c); trailing empty cells are left out and a row
// of empty cells gets no block.
template <typename CellOf> char* GridCellStore::buildBlock(int cells, CellOf cellOf, bool pooled) {
    size_t textSize = 0;
    int used = 0;
    bool anyState = false;
    for (int c = 0; c < cells; ++c) {
        const Cell cell = cellOf(c);
        textSize += size_t(cell.bytes.size());
        anyState = anyState || cell.state != 0;
        if (!cell.bytes.isEmpty() || cell.state != 0)
            used = c + 1;
    }
    if (used == 0)
        return nullptr;
    if (textSize > std::numeric_limits<quint32>::max() - kLongHeader - 9 * size_t(used))
        throw std::bad_alloc(); // the offsets are 32 bits: a row holds less than 4 GB
    const quint8 widthCode = textSize <= 0xFF ? 0 : textSize <= 0xFFFF ? 1 : 2;
    const size_t width = size_t(1) << widthCode;
    const size_t header = headerFor(quint32(used));
    const size_t size = header + width * size_t(used) + (anyState ? size_t(used) : 0) + textSize;
    char* slot = nullptr;
    char* block = reinterpret_cast<char*>(&slot);
    if (size <= kInlineSize)
        pooled = false;
    else
        block = allocate(size, pooled);
    block[0] = char(widthCode | (anyState ? kHasStates : 0) | (pooled ? kPooled : 0));
    if (header == 1)
        block[0] = char(quint8(block[0]) | quint8(used << kCountShift));
    else
        writeU32(block + 1, quint32(used));
    char* ends = block + header;
    char* states = ends + width * size_t(used);
    char* text = states + (anyState ? used : 0);
    quint32 end = 0;
    for (int c = 0; c < used; ++c) {
        const Cell cell = cellOf(c);
        if (!cell.bytes.isEmpty())
            std::memcpy(text + end, cell.bytes.data(), size_t(cell.bytes.size()));
        end += quint32(cell.bytes.size());
        writeEnd(ends, width, c, end);
        if (anyState)
            states[c] = char(cell.state);
    }
    if (size > kInlineSize)
        return block;
    block[kInlineSize] = kInlineTag;
    return slot;
}

void GridCellStore::setRowCount(int n) {
    n = std::max(n, 0);
    if (!m_numbers.empty())
        m_numbers.resize(size_t(n), -1);
    m_identityEnd = std::min(m_identityEnd, n);
    if (n < rowCount()) {
        for (int r = n; r < rowCount(); ++r)
            release(m_rows[size_t(r)]);
        m_rows.erase(m_rows.begin() + n, m_rows.end());
        for (auto it = m_attributes.lower_bound(n); it != m_attributes.end();) {
            m_attributed -= qsizetype(it->second.size());
            it = m_attributes.erase(it);
        }
    } else {
        m_rows.resize(size_t(n), nullptr);
    }
}

void GridCellStore::insertRows(int at, int n) {
    if (at < 0 || at > rowCount() || n <= 0)
        return;
    if (numbering() && (at < m_identityEnd || !m_numbers.empty())) {
        spellOutNumbers();
        m_numbers.insert(m_numbers.begin() + at, size_t(n), -1);
    }
    m_rows.insert(m_rows.begin() + at, size_t(n), nullptr);
    shiftAttributeRows(at, n);
}

void GridCellStore::removeRows(int at, int n) {
    if (at < 0 || at >= rowCount() || n <= 0)
        return;
    n = std::min(n, rowCount() - at);
    if (numbering() && (at + n < m_identityEnd || !m_numbers.empty())) {
        spellOutNumbers();
        m_numbers.erase(m_numbers.begin() + at, m_numbers.begin() + at + n);
    }
    m_identityEnd = std::min(m_identityEnd, at);
    for (int r = at; r < at + n; ++r)
        release(m_rows[size_t(r)]);
    m_rows.erase(m_rows.begin() + at, m_rows.begin() + at + n);
    for (auto it = m_attributes.lower_bound(at); it != m_attributes.end() && it->first < at + n;) {
        m_attributed -= qsizetype(it->second.size());
        it = m_attributes.erase(it);
    }
    shiftAttributeRows(at + n, -n);
}

// Moves the attributes of rows >= from by delta.
void GridCellStore::shiftAttributeRows(int from, int delta) {
    if (m_attributes.empty() || m_attributes.rbegin()->first < from)
        return;
    std::map<int, RowAttributes> moved;
    for (auto& [row, list] : m_attributes)
        moved.emplace(row >= from ? row + delta : row, std::move(list));
    m_attributes.swap(moved);
}

void GridCellStore::setColumnCount(int n) {
    n = std::max(n, 0);
    if (n == 0) {
        m_identityEnd = m_identityBegin;
        m_numbers.clear();
    }
    if (n < m_columns) {
        for (int r = 0; r < rowCount(); ++r) {
            const char* old = blockOf(r);
            if (cellCount(old) > n)
                setBlock(r, buildBlock(
                                n, [&](int c) { return cellOf(old, c); }, false));
        }
        shiftAttributeColumns(n, 0, n);
    }
    m_columns = n;
}

void GridCellStore::insertColumns(int at, int n) {
    if (at < 0 || at > m_columns || n <= 0)
        return;
    if (at == 0)
        storeNumberedCells();
    for (int r = 0; r < rowCount(); ++r) {
        const char* old = blockOf(r);
        const int cells = cellCount(old);
        if (cells > at)
            setBlock(r, buildBlock(
                            cells + n,
                            [&](int c) {
                                return c < at ? cellOf(old, c)
                                              : (c < at + n ? Cell{} : cellOf(old, c - n));
                            },
                            false));
    }
    shiftAttributeColumns(at, n, at);
    m_columns += n;
}

void GridCellStore::removeColumns(int at, int n) {
    if (at < 0 || at >= m_columns || n <= 0)
        return;
    if (at == 0)
        storeNumberedCells();
    n = std::min(n, m_columns - at);
    for (int r = 0; r < rowCount(); ++r) {
        const char* old = blockOf(r);
        const int cells = cellCount(old);
        if (cells > at)
            setBlock(r, buildBlock(
                            cells - std::min(n, cells - at),
                            [&](int c) { return c < at ? cellOf(old, c) : cellOf(old, c + n); },
                            false));
    }
    shiftAttributeColumns(at + n, -n, at);
    m_columns -= n;
}

// Moves the attributes of columns >= from by delta and drops those of columns in
// [dropBelow, from) (and, with delta 0, every column >= from).
void GridCellStore::shiftAttributeColumns(int from, int delta, int dropBelow) {
    for (auto it = m_attributes.begin(); it != m_attributes.end();) {
        RowAttributes& list = it->second;
        const size_t before = list.size();
        std::erase_if(list, [&](const auto& entry) {
            return entry.first >= dropBelow && (entry.first < from || delta == 0);
        });
        m_attributed -= qsizetype(before - list.size());
        for (auto& entry : list)
            if (entry.first >= from)
                entry.first += delta;
        it = list.empty() ? m_attributes.erase(it) : std::next(it);
    }
}

void GridCellStore::reorderRows(const std::vector<int>& order) {
    if (int(order.size()) != rowCount())
        return;
    if (numbering()) {
        spellOutNumbers();
        std::vector<qint32> numbers(order.size());
        for (size_t k = 0; k < order.size(); ++k)
            numbers[k] = m_numbers[size_t(order[k])];
        m_numbers.swap(numbers);
    }
    std::vector<char*> rows(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        rows[k] = m_rows[size_t(order[k])];
    m_rows.swap(rows);
    if (m_attributes.empty())
        return;
    std::vector<int> position(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        position[size_t(order[k])] = int(k);
    std::map<int, RowAttributes> moved;
    for (auto& [row, list] : m_attributes)
        moved.emplace(position[size_t(row)], std::move(list));
    m_attributes.swap(moved);
}

QByteArrayView GridCellStore::bytes(int row, int col) const {
    if (row < 0 || row >= rowCount())
        return {};
    if (isNumbered(row, col))
        return numberedBytes(row);
    return cellOf(blockOf(row), col).bytes;
}

void GridCellStore::rowBytes(int row, int firstCol, QList<QByteArrayView>& out) const {
    out.resize(0);
    if (row < 0 || row >= rowCount() || firstCol < 0 || firstCol >= m_columns)
        return;
    out.resize(m_columns - firstCol);
    const char* block = blockOf(row);
    const int cells = std::min(cellCount(block), m_columns);
    if (isNumbered(row, firstCol))
        out[0] = numberedBytes(row);
    if (cells <= firstCol)
        return;
    const quint8 flags = flagsOf(block);
    const size_t width = widthOf(flags);
    const char* ends = block + headerSize(block);
    const char* text = ends + (width + ((flags & kHasStates) ? 1 : 0)) * size_t(cellCount(block));
    // A numbered cell is empty in the block and already read.
    const int from = isNumbered(row, firstCol) ? firstCol + 1 : firstCol;
    quint32 begin = from == 0 ? 0 : readEnd(ends, width, from - 1);
    for (int c = from; c < cells; ++c) {
        const quint32 end = readEnd(ends, width, c);
        out[c - firstCol] = QByteArrayView(text + begin, qsizetype(end - begin));
        begin = end;
    }
}

quint8 GridCellStore::state(int row, int col) const {
    if (row < 0 || row >= rowCount())
        return 0;
    return cellOf(blockOf(row), col).state;
}

void GridCellStore::setBytes(int row, int col, QByteArrayView bytes) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns)
        return;
    const bool numbered = isNumbered(row, col); // then the cell is empty in the block
    if (numbered)
        spellOutNumbers();
    const char* old = blockOf(row);
    const int cells = cellCount(old);
    // The new bytes may point into the old block: it lives until the new one is built.
    if (col < cells || !bytes.isEmpty())
        setBlock(row, buildBlock(
                          std::max(cells, col + 1),
                          [&](int c) {
                              Cell cell = cellOf(old, c);
                              if (c == col)
                                  cell.bytes = bytes;
                              return cell;
                          },
                          false));
    if (numbered)
        m_numbers[size_t(row)] = -1;
}

void GridCellStore::setRowBytes(int row, int firstCol, const QList<QByteArrayView>& fields) {
    if (row < 0 || row >= rowCount() || firstCol < 0 || firstCol >= m_columns)
        return;
    const bool numbered = isNumbered(row, firstCol) && !fields.isEmpty();
    if (numbered)
        spellOutNumbers();
    const char* old = blockOf(row);
    const int last = std::min(m_columns, firstCol + int(fields.size()));
    setBlock(row, buildBlock(
                      std::max(cellCount(old), last),
                      [&](int c) {
                          Cell cell = cellOf(old, c);
                          if (c >= firstCol && c < last)
                              cell.bytes = fields[c - firstCol];
                          return cell;
                      },
                      true));
    if (numbered)
        m_numbers[size_t(row)] = -1;
}

void GridCellStore::setState(int row, int col, quint8 state) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns)
        return;
    char* block = blockOf(row);
    const int cells = cellCount(block);
    if (col >= cells && state == 0)
        return;
    if (col < cells && (flagsOf(block) & kHasStates)) { // the block keeps its size
        (block + statesOffset(block))[col] = char(state);
        return;
    }
    if (col < cells && state == 0)
        return; // a block without states has none to clear
    setBlock(row, buildBlock(
                      std::max(cells, col + 1),
                      [&](int c) {
                          Cell cell = cellOf(block, c);
                          if (c == col)
                              cell.state = state;
                          return cell;
                      },
                      false));
}

void GridCellStore::clearStateBits(quint8 bits) {
    for (int r = 0; r < rowCount(); ++r) {
        char* block = blockOf(r);
        if (!block || !(flagsOf(block) & kHasStates))
            continue;
        char* states = (block + statesOffset(block));
        const int cells = cellCount(block);
        for (int c = 0; c < cells; ++c)
            states[c] = char(quint8(states[c]) & ~bits);
    }
}

int GridCellStore::nextWithState(int row, int col, quint8 bits) const {
    if (row < 0 || row >= rowCount())
        return -1;
    const char* block = blockOf(row);
    if (!block || !(flagsOf(block) & kHasStates))
        return -1;
    const char* states = block + statesOffset(block);
    const int cells = std::min(cellCount(block), m_columns);
    for (int c = std::max(col, 0); c < cells; ++c)
        if (quint8(states[c]) & bits)
            return c;
    return -1;
}

void GridCellStore::numberRows(int first, HeadingRule heading) {
    m_heading = std::move(heading);
    m_numbers.clear();
    m_identityBegin = std::max(first, 0);
    m_identityEnd = m_columns > 0 ? std::max(rowCount(), m_identityBegin) : m_identityBegin;
}

int GridCellStore::numberOf(int row) const {
    if (!m_numbers.empty())
        return row >= 0 && row < int(m_numbers.size()) ? m_numbers[size_t(row)] : -1;
    return row >= m_identityBegin && row < m_identityEnd ? row : -1;
}

void GridCellStore::spellOutNumbers() {
    if (!m_numbers.empty() || m_identityEnd <= m_identityBegin)
        return;
    m_numbers.assign(size_t(rowCount()), -1);
    for (int r = m_identityBegin; r < m_identityEnd; ++r)
        m_numbers[size_t(r)] = r;
    m_identityEnd = m_identityBegin;
}

void GridCellStore::storeNumberedCells() {
    if (!numbering())
        return;
    spellOutNumbers();
    for (int r = 0; r < rowCount(); ++r)
        if (m_numbers[size_t(r)] >= 0)
            setBytes(r, 0, m_heading(m_numbers[size_t(r)])); // drops the row's number
    m_numbers.clear();
}

QByteArrayView GridCellStore::numberedBytes(int row) const {
    m_numberedText = m_heading(numberOf(row));
    return m_numberedText;
}

const GridCellAttributes* GridCellStore::attributes(int row, int col) const {
    const auto found = m_attributes.find(row);
    if (found == m_attributes.end())
        return nullptr;
    const RowAttributes& list = found->second;
    const auto it = std::lower_bound(list.begin(), list.end(), col,
                                     [](const auto& entry, int c) { return entry.first < c; });
    return it != list.end() && it->first == col ? &it->second : nullptr;
}

void GridCellStore::setAttributes(int row, int col, const GridCellAttributes& attributes) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns)
        return;
    auto found = m_attributes.find(row);
    if (found == m_attributes.end()) {
        if (attributes.isReset())
            return;
        found = m_attributes.emplace(row, RowAttributes()).first;
    }
    RowAttributes& list = found->second;
    const auto it = std::lower_bound(list.begin(), list.end(), col,
                                     [](const auto& entry, int c) { return entry.first < c; });
    const bool present = it != list.end() && it->first == col;
    if (attributes.isReset()) {
        if (present) {
            list.erase(it);
            --m_attributed;
        }
        if (list.empty())
            m_attributes.erase(found);
    } else if (present) {
        it->second = attributes;
    } else {
        list.insert(it, {col, attributes});
        ++m_attributed;
    }
}

qsizetype GridCellStore::memoryUsed() const {
    // malloc keeps a word before each block and rounds to 16 bytes; chunks count whole.
    qsizetype total =
        qsizetype(m_rows.capacity() * sizeof(char*) + m_numbers.capacity() * sizeof(qint32));
    for (const char* block : m_rows)
        if (block && !isInline(block) && !(flagsOf(block) & kPooled))
            total += qsizetype((blockSize(block) + 8 + 15) / 16 * 16);
    for (const Chunk& chunk : m_chunks)
        total += chunk.size;
    for (const auto& [row, list] : m_attributes)
        total += qsizetype(64 + list.capacity() * sizeof(RowAttributes::value_type));
    return total;
}

qint64 GridCellStore::estimate(qint64 rows, qint64 cells, qint64 textBytes) {
    // A row's pointer and header, at most four bytes of offset per cell, the text.
    return rows * qint64(sizeof(char*) + kLongHeader) + cells * 4 + textBytes;
}
