#pragma once

#include <QtGlobal>

#include <vector>

// The sizes of a grid's rows or columns, one byte each: a row of a million is rarely more than a
// few different heights (the default, hidden, fitted ones), so each entry is an index into a
// table of the sizes in use. Once more than 256 different sizes have been set the list keeps
// every size whole instead (four bytes each).
class GridSizeList {
public:
    size_t count() const { return m_wide ? m_sizes.size() : m_codes.size(); }
    quint32 operator[](size_t i) const { return m_wide ? m_sizes[i] : m_palette[m_codes[i]]; }
    void set(size_t i, quint32 size);
    void insert(size_t at, size_t n, quint32 size);
    void erase(size_t at, size_t n);
    // Grows with entries of `size` or shrinks to n entries, taking no more memory than n needs.
    void resize(size_t n, quint32 size);
    // Entry order[k] at position k.
    GridSizeList reordered(const std::vector<int>& order) const;

    static qint64 bytesFor(qint64 entries);

private:
    // The index of `size` in the table, added when missing; false when the table is full.
    bool codeOf(quint32 size, quint8& code);
    // Keeps every size whole from now on.
    void widen();

    bool m_wide = false;
    std::vector<quint8> m_codes;
    std::vector<quint32> m_palette;
    std::vector<quint32> m_sizes; // while wide
};
