#include "grid/GridPainter.h"

#include "grid/GridFontMetrics.h"
#include "grid/GridModel.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

QColor colour(GridColour c) {
    return QColor::fromRgb(QRgb(c & 0xFFFFFF));
}

Qt::Alignment alignment(quint32 format) {
    Qt::Alignment a = Qt::AlignLeft;
    if (format & GridFormat::Center)
        a = Qt::AlignHCenter;
    else if (format & GridFormat::Right)
        a = Qt::AlignRight;
    if (format & GridFormat::Bottom)
        return a | Qt::AlignBottom;
    if ((format & GridFormat::VCenter) || (format & GridFormat::SingleLine))
        return a | Qt::AlignVCenter;
    return a | Qt::AlignTop;
}

bool isSingleLine(quint32 format) {
    return (format & GridFormat::SingleLine) || !(format & GridFormat::WordBreak);
}

} // namespace

GridPainter::GridPainter(GridModel& grid, const GridViewport& viewport, const QPalette& palette,
                         const GridFontMetrics& fonts)
    : m_grid(grid), m_viewport(viewport), m_palette(palette), m_fonts(fonts) {}

// Calls visit(i) for every visible row (or column) from first to last, jumping over hidden ones
// through the axis, so that a long run of hidden rows costs nothing.
template <typename Visit>
void GridPainter::forEachVisible(int first, int last, bool rows, Visit visit) const {
    const GridAxis& axis = rows ? m_grid.Rows() : m_grid.Columns();
    for (int i = axis.visibleAtOrAfter(first); i >= 0 && i <= last;
         i = axis.visibleAtOrAfter(i + 1))
        visit(i);
}

void GridPainter::paint(QPainter& painter, const QRect& area) const {
    const GridColours& colours = m_grid.Colours();
    painter.fillRect(area, colour(colours.background));
    const int fixedRows = m_grid.FixedRowTotal();
    const int fixedCols = m_grid.FixedColumnTotal();
    const int firstRow = m_viewport.firstDataRow();
    const int lastRow = m_viewport.lastDataRow();
    const int firstCol = m_viewport.firstDataColumn();
    const int lastCol = m_viewport.lastDataColumn();

    // Normal cells lie on one fill of the normal default cell's background.
    if (firstRow >= 0 && firstCol >= 0) {
        const QRect last = m_viewport.cellRect(lastRow, lastCol);
        const QRect data(QPoint(m_viewport.fixedWidth(), m_viewport.fixedHeight()),
                         last.bottomRight());
        painter.fillRect(data & area, colour(m_grid.DefaultCell(false, false).GetBackClr()));
    }
    auto cell = [&](int row, int col) { paintCell(painter, row, col); };
    const int fixedWidth = m_viewport.fixedWidth();
    const int fixedHeight = m_viewport.fixedHeight();
    // Corner, heading row, heading column, data: each part clipped to its own area so that
    // scrolled cells never reach into the headings.
    forEachVisible(0, fixedRows - 1, true, [&](int row) {
        forEachVisible(0, fixedCols - 1, false, [&](int col) { cell(row, col); });
    });
    painter.save();
    painter.setClipRect(QRect(fixedWidth, 0, m_viewport.pageWidth(), fixedHeight));
    if (firstCol >= 0)
        forEachVisible(0, fixedRows - 1, true, [&](int row) {
            forEachVisible(firstCol, lastCol, false, [&](int col) { cell(row, col); });
        });
    painter.setClipRect(QRect(0, fixedHeight, fixedWidth, m_viewport.pageHeight()));
    if (firstRow >= 0)
        forEachVisible(firstRow, lastRow, true, [&](int row) {
            forEachVisible(0, fixedCols - 1, false, [&](int col) { cell(row, col); });
        });
    painter.restore();
    if (firstRow < 0 || firstCol < 0)
        return;
    painter.save();
    painter.setClipRect(
        QRect(fixedWidth, fixedHeight, m_viewport.pageWidth(), m_viewport.pageHeight()));
    forEachVisible(firstRow, lastRow, true, [&](int row) {
        forEachVisible(firstCol, lastCol, false, [&](int col) { cell(row, col); });
    });
    paintGridLines(painter, firstRow, lastRow, firstCol, lastCol);
    painter.restore();
}

void GridPainter::paintCell(QPainter& painter, int row, int col) const {
    const CGridCell cell = m_grid.CellAt(row, col);
    const quint32 state = cell.GetState();
    const bool fixed = state & GridState::Fixed;
    const QRect rect = m_viewport.cellRect(row, col);
    const QColor ownText = colour(cell.GetTextClr());
    QColor text = ownText;
    if (state & GridState::Selected && !fixed) {
        painter.fillRect(rect.adjusted(0, 0, -1, -1), m_palette.color(QPalette::Highlight));
        text = m_palette.color(QPalette::HighlightedText);
    } else if (fixed || cell.OwnAttributes().backColour != kGridDefaultColour) {
        painter.fillRect(rect.adjusted(0, 0, -1, -1), colour(cell.GetBackClr()));
    }
    if (fixed) {
        const GridCellId focus = m_grid.FocusCell();
        const bool tracked = m_grid.Behaviour().trackFocusCell && focus.isValid() &&
                             ((state & GridState::FixedRow && col == focus.col) ||
                              (state & GridState::FixedColumn && row == focus.row));
        paintHeadingEdges(painter, rect, tracked);
    } else if (state & GridState::Focused && m_grid.Behaviour().frameFocusCell) {
        // In the cell's own text colour, so that it shows on the highlight as well.
        painter.setPen(ownText);
        painter.drawRect(rect.adjusted(0, 0, -2, -2));
    }
    const quint32 margin = cell.GetMargin();
    const int inset = int(qMin<quint32>(margin, quint32(rect.width() / 2)));
    QRect textRect = rect.adjusted(inset, 0, -inset, -1);
    if (row == 0 && col == m_grid.SortColumn() && fixed) {
        paintSortMark(painter, rect);
        textRect.setRight(textRect.right() - rect.height() / 2);
    }
    if (m_grid.EditingCell() == GridCellId{row, col})
        return; // the edit box shows the text
    painter.setPen(text);
    painter.setFont(m_fonts.font(cell.GetFont()));
    // Only the start of a long cell can show: every character is at least a pixel wide (and
    // high) and takes at most four bytes, so a cell of megabytes costs no more than a short one.
    const quint32 format = cell.GetFormat();
    const qsizetype pixels = qsizetype(qMax(0, textRect.width())) *
                             (isSingleLine(format) ? 1 : qMax(1, textRect.height()));
    paintText(painter, textRect, m_grid.CellTextPrefix(row, col, 4 * pixels + 8), format);
}

void GridPainter::paintHeadingEdges(QPainter& painter, const QRect& rect, bool sunken) const {
    const QColor light = m_palette.color(QPalette::Light);
    const QColor dark = m_palette.color(QPalette::Shadow);
    const QRect r = rect.adjusted(0, 0, -1, -1);
    painter.setPen(sunken ? dark : light);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(sunken ? light : dark);
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.drawLine(r.bottomLeft(), r.bottomRight());
}

void GridPainter::paintSortMark(QPainter& painter, const QRect& rect) const {
    const int size = qMax(4, rect.height() / 3);
    const int right = rect.right() - size / 2 - 2;
    const int middle = rect.center().y();
    const QPoint apex(right - size / 2,
                      m_grid.SortAscending() ? middle - size / 2 : middle + size / 2);
    const QPoint left(right - size, m_grid.SortAscending() ? middle + size / 2 : middle - size / 2);
    const QPoint rightPoint(right, left.y());
    painter.setPen(m_palette.color(QPalette::Dark));
    painter.drawLine(left, apex);
    painter.drawLine(left, rightPoint);
    painter.setPen(m_palette.color(QPalette::Light));
    painter.drawLine(apex, rightPoint);
}

void GridPainter::paintText(QPainter& painter, const QRect& rect, const QString& text,
                            quint32 format) const {
    if (text.isEmpty() || rect.width() <= 0)
        return;
    if (!isSingleLine(format)) {
        painter.drawText(rect, int(alignment(format)) | Qt::TextWordWrap, text);
        return;
    }
    QString line = text.left(rect.width() + 2);
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (format & GridFormat::EndEllipsis)
        line = painter.fontMetrics().elidedText(line, Qt::ElideRight, rect.width());
    painter.drawText(rect, int(alignment(format)) | Qt::TextSingleLine, line);
}

void GridPainter::paintGridLines(QPainter& painter, int firstRow, int lastRow, int firstCol,
                                 int lastCol) const {
    const int lines = m_grid.Behaviour().gridLines;
    const QRect last = m_viewport.cellRect(lastRow, lastCol);
    const int top = m_viewport.fixedHeight();
    const int left = m_viewport.fixedWidth();
    painter.setPen(colour(m_grid.Colours().gridLines));
    if (lines & GridLines::Horizontal)
        forEachVisible(firstRow, lastRow, true, [&](int row) {
            const int y = m_viewport.rowY(row) + m_grid.RowHeight(row) - 1;
            painter.drawLine(left, y, last.right(), y);
        });
    if (lines & GridLines::Vertical)
        forEachVisible(firstCol, lastCol, false, [&](int col) {
            const int x = m_viewport.columnX(col) + m_grid.ColumnWidth(col) - 1;
            painter.drawLine(x, top, x, last.bottom());
        });
}
