#include "grid/GridSizeList.h"

#include <algorithm>

namespace {
constexpr size_t kPaletteSize = 256;
}

bool GridSizeList::codeOf(quint32 size, quint8& code) {
    const auto found = std::find(m_palette.begin(), m_palette.end(), size);
    if (found != m_palette.end()) {
        code = quint8(found - m_palette.begin());
        return true;
    }
    if (m_palette.size() == kPaletteSize)
        return false;
    m_palette.push_back(size);
    code = quint8(m_palette.size() - 1);
    return true;
}

void GridSizeList::widen() {
    std::vector<quint32> sizes(m_codes.size());
    for (size_t i = 0; i < m_codes.size(); ++i)
        sizes[i] = m_palette[m_codes[i]];
    m_sizes.swap(sizes);
    m_codes = {};
    m_palette = {};
    m_wide = true;
}

void GridSizeList::set(size_t i, quint32 size) {
    quint8 code = 0;
    if (!m_wide && !codeOf(size, code))
        widen();
    if (m_wide)
        m_sizes[i] = size;
    else
        m_codes[i] = code;
}

void GridSizeList::insert(size_t at, size_t n, quint32 size) {
    quint8 code = 0;
    if (!m_wide && !codeOf(size, code))
        widen();
    if (m_wide)
        m_sizes.insert(m_sizes.begin() + qsizetype(at), n, size);
    else
        m_codes.insert(m_codes.begin() + qsizetype(at), n, code);
}

void GridSizeList::erase(size_t at, size_t n) {
    if (m_wide)
        m_sizes.erase(m_sizes.begin() + qsizetype(at), m_sizes.begin() + qsizetype(at + n));
    else
        m_codes.erase(m_codes.begin() + qsizetype(at), m_codes.begin() + qsizetype(at + n));
}

template <typename T> static void resizeExactly(std::vector<T>& v, size_t n, T value) {
    std::vector<T> resized;
    resized.reserve(n); // a loaded grid keeps this array as long as it lives
    resized.assign(v.begin(), v.begin() + qsizetype(std::min(n, v.size())));
    resized.resize(n, value);
    v.swap(resized);
}

void GridSizeList::resize(size_t n, quint32 size) {
    quint8 code = 0;
    if (!m_wide && n > m_codes.size() && !codeOf(size, code))
        widen();
    if (m_wide)
        resizeExactly(m_sizes, n, size);
    else
        resizeExactly(m_codes, n, code);
}

GridSizeList GridSizeList::reordered(const std::vector<int>& order) const {
    GridSizeList list;
    list.m_wide = m_wide;
    list.m_palette = m_palette;
    if (m_wide) {
        list.m_sizes.resize(order.size());
        for (size_t k = 0; k < order.size(); ++k)
            list.m_sizes[k] = m_sizes[size_t(order[k])];
    } else {
        list.m_codes.resize(order.size());
        for (size_t k = 0; k < order.size(); ++k)
            list.m_codes[k] = m_codes[size_t(order[k])];
    }
    return list;
}

qint64 GridSizeList::bytesFor(qint64 entries) {
    return entries + qint64(kPaletteSize * sizeof(quint32));
}
