#include "grid/GridViewport.h"

#include "grid/GridModel.h"

namespace {

// The scroll offset that shows [start, start + size) within a page, moving as little as it can.
qint64 showSpan(qint64 scroll, qint64 start, qint64 size, qint64 page) {
    if (start < scroll || size > page)
        return start;
    if (start + size > scroll + page)
        return start + size - page;
    return scroll;
}

} // namespace

GridViewport::GridViewport(const GridModel& grid, QPoint scroll, QSize size)
    : m_grid(grid), m_scroll(scroll), m_size(size),
      m_fixedWidth(int(grid.Columns().start(grid.FixedColumnTotal()))),
      m_fixedHeight(int(grid.Rows().start(grid.FixedRowTotal()))) {}

qint64 GridViewport::dataWidth() const {
    return m_grid.Columns().total() - m_fixedWidth;
}

qint64 GridViewport::dataHeight() const {
    return m_grid.Rows().total() - m_fixedHeight;
}

int GridViewport::columnX(int col) const {
    const qint64 start = m_grid.Columns().start(col);
    return int(col < m_grid.FixedColumnTotal() ? start : start - m_scroll.x());
}

int GridViewport::rowY(int row) const {
    const qint64 start = m_grid.Rows().start(row);
    return int(row < m_grid.FixedRowTotal() ? start : start - m_scroll.y());
}

QRect GridViewport::cellRect(int row, int col) const {
    return QRect(columnX(col), rowY(row), m_grid.ColumnWidth(col), m_grid.RowHeight(row));
}

int GridViewport::columnAt(int x) const {
    if (x < 0)
        return -1;
    return m_grid.Columns().indexAt(x < m_fixedWidth ? x : qint64(x) + m_scroll.x());
}

int GridViewport::rowAt(int y) const {
    if (y < 0)
        return -1;
    return m_grid.Rows().indexAt(y < m_fixedHeight ? y : qint64(y) + m_scroll.y());
}

int GridViewport::firstDataRow() const {
    if (pageHeight() <= 0)
        return -1;
    const int row = m_grid.Rows().indexAt(m_fixedHeight + m_scroll.y());
    return row >= m_grid.FixedRowTotal() ? row : -1;
}

int GridViewport::lastDataRow() const {
    const int first = firstDataRow();
    if (first < 0)
        return -1;
    const int row = m_grid.Rows().indexAt(qint64(m_size.height()) - 1 + m_scroll.y());
    return row >= 0 ? row : m_grid.Rows().visibleAtOrBefore(m_grid.RowTotal() - 1);
}

int GridViewport::firstDataColumn() const {
    if (pageWidth() <= 0)
        return -1;
    const int col = m_grid.Columns().indexAt(m_fixedWidth + m_scroll.x());
    return col >= m_grid.FixedColumnTotal() ? col : -1;
}

int GridViewport::lastDataColumn() const {
    const int first = firstDataColumn();
    if (first < 0)
        return -1;
    const int col = m_grid.Columns().indexAt(qint64(m_size.width()) - 1 + m_scroll.x());
    return col >= 0 ? col : m_grid.Columns().visibleAtOrBefore(m_grid.ColumnTotal() - 1);
}

QPoint GridViewport::scrollToShow(int row, int col) const {
    QPoint scroll = m_scroll;
    if (row >= m_grid.FixedRowTotal() && row < m_grid.RowTotal())
        scroll.setY(int(showSpan(m_scroll.y(), m_grid.Rows().start(row) - m_fixedHeight,
                                 m_grid.RowHeight(row), pageHeight())));
    if (col >= m_grid.FixedColumnTotal() && col < m_grid.ColumnTotal())
        scroll.setX(int(showSpan(m_scroll.x(), m_grid.Columns().start(col) - m_fixedWidth,
                                 m_grid.ColumnWidth(col), pageWidth())));
    return scroll;
}
