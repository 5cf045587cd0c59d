#pragma once

#include "grid/GridTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class GridModel;

// Where the cells of a grid lie in its window: the fixed rows and columns stay at the top and
// left, the data part is scrolled by `scroll` pixels. Coordinates are the window's.
class GridViewport {
public:
    GridViewport(const GridModel& grid, QPoint scroll, QSize size);

    int fixedWidth() const { return m_fixedWidth; }
    int fixedHeight() const { return m_fixedHeight; }
    QSize size() const { return m_size; }
    // The data part's full extent, and how much of it the window shows at once.
    qint64 dataWidth() const;
    qint64 dataHeight() const;
    int pageWidth() const { return qMax(0, m_size.width() - m_fixedWidth); }
    int pageHeight() const { return qMax(0, m_size.height() - m_fixedHeight); }

    int columnX(int col) const;
    int rowY(int row) const;
    QRect cellRect(int row, int col) const;
    // The column (row) at window x (y); -1 outside the table or beyond its end.
    int columnAt(int x) const;
    int rowAt(int y) const;

    // The data rows (columns) the window shows, at least partly: first and last; -1 when none.
    int firstDataRow() const;
    int lastDataRow() const;
    int firstDataColumn() const;
    int lastDataColumn() const;

    // The scroll position that brings a data cell wholly into view (as far as it fits),
    // changing as little as it can.
    QPoint scrollToShow(int row, int col) const;

private:
    const GridModel& m_grid;
    QPoint m_scroll;
    QSize m_size;
    int m_fixedWidth;
    int m_fixedHeight;
};
