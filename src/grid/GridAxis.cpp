#include "grid/GridAxis.h"

#include <algorithm>
#include <bit>

int GridAxis::size(int i) const {
    if (i < 0 || i >= count())
        return 0;
    return int(m_sizes[size_t(i)]);
}

void GridAxis::setSize(int i, int size) {
    if (i < 0 || i >= count())
        return;
    const quint32 value = quint32(std::max(size, 0));
    const qint64 delta = qint64(value) - qint64(m_sizes[size_t(i)]);
    m_sizes.set(size_t(i), value);
    if (delta != 0)
        add(i, delta);
}

qint64 GridAxis::start(int i) const {
    i = std::clamp(i, 0, count());
    const int group = i / kGroup;
    qint64 sum = 0;
    for (int k = group; k > 0; k -= k & -k)
        sum += m_tree[size_t(k)];
    for (int k = group * kGroup; k < i; ++k)
        sum += m_sizes[size_t(k)];
    return sum;
}

int GridAxis::indexAt(qint64 pixel) const {
    if (pixel < 0 || pixel >= total())
        return -1;
    // Descend the tree to the group that holds the pixel, then walk its entries. Hidden
    // entries (size 0) never hold a pixel, since the walk passes over empty spans.
    const int groups = int(m_tree.size()) - 1;
    int group = 0;
    qint64 rest = pixel;
    for (int step = int(std::bit_floor(unsigned(groups))); step > 0; step >>= 1) {
        const int next = group + step;
        if (next <= groups && m_tree[size_t(next)] <= rest) {
            group = next;
            rest -= m_tree[size_t(next)];
        }
    }
    for (int k = group * kGroup; k < count(); ++k) {
        if (rest < qint64(m_sizes[size_t(k)]))
            return k;
        rest -= m_sizes[size_t(k)];
    }
    return -1;
}

int GridAxis::visibleAtOrAfter(int i) const {
    i = std::max(i, 0);
    if (i >= count())
        return -1;
    return indexAt(start(i));
}

int GridAxis::visibleAtOrBefore(int i) const {
    i = std::min(i, count() - 1);
    if (i < 0)
        return -1;
    const qint64 end = start(i + 1);
    return end == 0 ? -1 : indexAt(end - 1);
}

void GridAxis::insert(int at, int n, int size) {
    if (n <= 0 || at < 0 || at > count())
        return;
    GridSizeList sizes = m_sizes;
    sizes.insert(size_t(at), size_t(n), quint32(std::max(size, 0)));
    replace(std::move(sizes));
}

void GridAxis::remove(int at, int n) {
    if (at < 0 || at >= count() || n <= 0)
        return;
    n = std::min(n, count() - at);
    GridSizeList sizes = m_sizes;
    sizes.erase(size_t(at), size_t(n));
    replace(std::move(sizes));
}

void GridAxis::resize(int n, int size) {
    n = std::max(n, 0);
    if (n == count())
        return;
    GridSizeList sizes = m_sizes;
    sizes.resize(size_t(n), quint32(std::max(size, 0)));
    replace(std::move(sizes));
}

qint64 GridAxis::bytesFor(qint64 entries) {
    return GridSizeList::bytesFor(entries) + (entries / kGroup + 2) * qint64(sizeof(qint64));
}

void GridAxis::reorder(const std::vector<int>& order) {
    if (int(order.size()) != count())
        return;
    replace(m_sizes.reordered(order));
}

// Builds the new tree before anything changes, so running out of memory leaves the axis as it
// was. O(n): each node passes its sum on to its parent.
void GridAxis::replace(GridSizeList&& sizes) {
    std::vector<qint64> tree((sizes.count() + kGroup - 1) / kGroup + 1, 0);
    for (size_t i = 0; i < sizes.count(); ++i)
        tree[i / kGroup + 1] += sizes[i];
    for (size_t k = 1; k < tree.size(); ++k) {
        const size_t parent = k + (k & (~k + 1));
        if (parent < tree.size())
            tree[parent] += tree[k];
    }
    m_sizes = std::move(sizes);
    m_tree.swap(tree);
}

void GridAxis::add(int i, qint64 delta) {
    for (size_t k = size_t(i / kGroup) + 1; k < m_tree.size(); k += k & (~k + 1))
        m_tree[k] += delta;
}
