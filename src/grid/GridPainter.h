#pragma once

#include "grid/GridViewport.h"

#include <QPalette>

class GridFontMetrics;
class GridModel;
class QPainter;

// Paints what a grid window shows: the background outside the cells, the heading cells
// (raised, or sunken for the focused row and column), the data cells with their colours, the
// selection highlight and the focus frame, the sort mark and the grid lines.
class GridPainter {
public:
    GridPainter(GridModel& grid, const GridViewport& viewport, const QPalette& palette,
                const GridFontMetrics& fonts);

    void paint(QPainter& painter, const QRect& area) const;

private:
    void paintCell(QPainter& painter, int row, int col) const;
    void paintHeadingEdges(QPainter& painter, const QRect& rect, bool sunken) const;
    void paintSortMark(QPainter& painter, const QRect& rect) const;
    void paintText(QPainter& painter, const QRect& rect, const QString& text, quint32 format) const;
    void paintGridLines(QPainter& painter, int firstRow, int lastRow, int firstCol,
                        int lastCol) const;
    template <typename Visit>
    void forEachVisible(int first, int last, bool rows, Visit visit) const;

    GridModel& m_grid;
    const GridViewport& m_viewport;
    const QPalette& m_palette;
    const GridFontMetrics& m_fonts;
};
