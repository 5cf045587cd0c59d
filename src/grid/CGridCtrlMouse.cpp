// The grid window's mouse: selecting by press and drag, the headings, sizing and hiding rows and
// columns by their borders, double clicks, the wheel and auto-scrolling.
#include "grid/CGridCtrl.h"

#include "platform/BusyGuard.h"

#include <QMouseEvent>
#include <QScrollBar>

namespace {

constexpr int kBorderZone = 3; // pixels around a border where the resize cursor shows

GridRange spanning(GridCellId a, GridCellId b) {
    return {qMin(a.row, b.row), qMin(a.col, b.col), qMax(a.row, b.row), qMax(a.col, b.col)};
}

} // namespace

// The entry whose border lies within the zone at window position `pos` on an axis: the entry
// whose right (bottom) edge it is, or, just past the edge, the last of the hidden entries that
// follow, so that a hidden column or row can be dragged open again. Only the entry under the
// pointer and the one before it are looked at.
template <typename ToWindow>
static int borderEntry(const GridAxis& axis, int pos, int under, ToWindow toWindow,
                       bool revealHidden) {
    if (under < 0 && pos >= 0)
        under = axis.visibleAtOrBefore(axis.count() - 1);
    if (under < 0)
        return -1;
    for (int i : {under, axis.visibleAtOrBefore(under - 1)}) {
        if (i < 0)
            continue;
        const int edge = toWindow(i) + axis.size(i);
        if (qAbs(pos - edge) > kBorderZone)
            continue;
        if (revealHidden && pos >= edge && i + 1 < axis.count() && axis.isHidden(i + 1)) {
            const int next = axis.visibleAtOrAfter(i + 1);
            return next < 0 ? axis.count() - 1 : next - 1;
        }
        return i;
    }
    return -1;
}

CGridCtrl::Border CGridCtrl::borderAt(QPoint point) const {
    const GridViewport map = viewportMap();
    const GridBehaviour& behaviour = m_model.Behaviour();
    if (point.y() < map.fixedHeight() && behaviour.columnResize) {
        const int col = borderEntry(
            m_model.Columns(), point.x(), map.columnAt(point.x()),
            [&](int c) { return map.columnX(c); }, behaviour.revealHiddenByDrag);
        if (col >= 0)
            return {true, col};
    }
    if (point.x() < map.fixedWidth() && behaviour.rowResize) {
        const int row = borderEntry(
            m_model.Rows(), point.y(), map.rowAt(point.y()), [&](int r) { return map.rowY(r); },
            behaviour.revealHiddenByDrag);
        if (row >= 0)
            return {false, row};
    }
    return {};
}

void CGridCtrl::updateCursor(QPoint point) {
    const Border border = borderAt(point);
    if (border.index < 0)
        viewport()->unsetCursor();
    else
        viewport()->setCursor(border.column ? Qt::SplitHCursor : Qt::SplitVCursor);
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const GridCellId cell = CellFromPoint(pos);
    if (event->button() == Qt::RightButton) {
        emit rightClick(cell.row, cell.col, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    m_lastMouse = pos;
    const Border border = borderAt(pos);
    if (border.index >= 0) {
        m_mouseMode = border.column ? MouseMode::SizingColumn : MouseMode::SizingRow;
        m_sizing = border;
        m_sizingLine = border.column ? pos.x() : pos.y();
        viewport()->update();
        return;
    }
    if (!cell.isValid() || !m_model.Behaviour().enableSelection)
        return;
    if (cell.row < m_model.FixedRowTotal() || cell.col < m_model.FixedColumnTotal())
        pressOnHeading(cell, event->modifiers());
    else
        pressOnData(cell, event->modifiers());
}

void CGridCtrl::pressOnHeading(GridCellId cell, Qt::KeyboardModifiers modifiers) {
    const GridBehaviour& behaviour = m_model.Behaviour();
    const bool inFixedRow = cell.row < m_model.FixedRowTotal();
    const bool inFixedCol = cell.col < m_model.FixedColumnTotal();
    m_pressCell = cell;
    m_previousSelection =
        modifiers.testFlag(Qt::ControlModifier) ? m_model.Selection() : GridSelection{};
    if (inFixedRow && inFixedCol) {
        m_mouseMode = MouseMode::SelectAll;
        m_model.SelectAll();
        return;
    }
    if (inFixedRow) {
        if (behaviour.sortOnClick && cell.row == 0) {
            const bool ascending =
                m_model.SortColumn() == cell.col ? !m_model.SortAscending() : true;
            BusyGuard busy(viewport());
            (void)m_model.SortByColumn(cell.col, ascending);
        }
        if (!behaviour.selectColumnsByFixedRow)
            return;
        m_mouseMode = MouseMode::SelectColumn;
    } else {
        if (!behaviour.selectRowsByFixedColumn)
            return;
        m_mouseMode = MouseMode::SelectRow;
    }
    const GridCellId first = GridNavigation::firstVisibleDataCell(m_model);
    const GridCellId focus = m_model.FocusCell();
    GridCellId to = cell;
    if (inFixedRow)
        to.row = focus.isValid() ? focus.row : first.row;
    else
        to.col = focus.isValid() ? focus.col : first.col;
    m_selectionStart = to;
    selectTo(to);
}

void CGridCtrl::pressOnData(GridCellId cell, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    m_pressCell = cell;
    if (ctrl && m_model.IsCellSelected(cell.row, cell.col)) {
        m_model.SetFocusCell(cell);
        m_model.DeselectCell(cell.row, cell.col);
        m_mouseMode = MouseMode::None;
        return;
    }
    if (!ctrl && !shift && cell == m_model.FocusCell() && m_model.Behaviour().editable &&
        !(m_model.CellState(cell.row, cell.col) & GridState::ReadOnly)) {
        m_mouseMode = MouseMode::PrepareEdit;
        return;
    }
    m_previousSelection = ctrl ? m_model.Selection() : GridSelection{};
    if (!shift || !m_selectionStart.isValid())
        m_selectionStart = cell;
    m_mouseMode = MouseMode::SelectCells;
    selectTo(cell);
}

// The selection while the button is held: the one before the press (kept with Ctrl) plus the
// rectangle, rows or columns from where the selection began to `cell`.
void CGridCtrl::selectTo(GridCellId cell) {
    if (!m_model.IsValid(cell.row, cell.col))
        return;
    m_dragCell = cell;
    m_model.SetSelection(m_previousSelection);
    switch (m_mouseMode) {
    case MouseMode::SelectColumn:
        m_model.SelectColumns(qMin(m_pressCell.col, cell.col), qMax(m_pressCell.col, cell.col),
                              true);
        break;
    case MouseMode::SelectRow:
        m_model.SelectRows(qMin(m_pressCell.row, cell.row), qMax(m_pressCell.row, cell.row), true);
        break;
    default:
        m_model.SelectRange(spanning(m_selectionStart, cell), true);
        break;
    }
    m_model.SetFocusCell(cell);
}

// The data cell the pointer points at while selecting, held within the data cells: beyond the
// end it is the last row or column, over a heading the first one in view.
void CGridCtrl::dragSelection(QPoint point) {
    const GridViewport map = viewportMap();
    int row = map.rowAt(point.y());
    int col = map.columnAt(point.x());
    if (row < 0)
        row = point.y() < 0 ? map.firstDataRow()
                            : m_model.Rows().visibleAtOrBefore(m_model.RowTotal() - 1);
    else if (row < m_model.FixedRowTotal())
        row = map.firstDataRow();
    if (col < 0)
        col = point.x() < 0 ? map.firstDataColumn()
                            : m_model.Columns().visibleAtOrBefore(m_model.ColumnTotal() - 1);
    else if (col < m_model.FixedColumnTotal())
        col = map.firstDataColumn();
    if (m_mouseMode == MouseMode::SelectColumn)
        row = m_dragCell.row;
    if (m_mouseMode == MouseMode::SelectRow)
        col = m_dragCell.col;
    if (row >= m_model.FixedRowTotal() && col >= m_model.FixedColumnTotal())
        selectTo({row, col});
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    m_lastMouse = pos;
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        updateCursor(pos);
        return;
    }
    const QRect area = viewport()->rect();
    switch (m_mouseMode) {
    case MouseMode::SizingColumn:
    case MouseMode::SizingRow: {
        // The line stays within the grid, as the pointer did.
        m_sizingLine =
            m_sizing.column ? qBound(0, pos.x(), area.right()) : qBound(0, pos.y(), area.bottom());
        viewport()->update();
        return;
    }
    case MouseMode::PrepareEdit:
        if (CellFromPoint(pos) == m_pressCell)
            return;
        m_previousSelection = GridSelection{};
        m_selectionStart = m_pressCell;
        m_mouseMode = MouseMode::SelectCells;
        break;
    case MouseMode::SelectCells:
    case MouseMode::SelectColumn:
    case MouseMode::SelectRow:
        break;
    default:
        return;
    }
    const bool outside = autoScrollDirection(pos) != QPoint();
    if (outside && !m_autoScroll.isActive())
        m_autoScroll.start();
    else if (!outside)
        m_autoScroll.stop();
    dragSelection(pos);
}

// While the button is held outside the data area: one row or column towards the pointer each
// tick, as an arrow key would, the selection following to the cell at the edge.
QPoint CGridCtrl::autoScrollDirection(QPoint pos) const {
    const GridViewport map = viewportMap();
    const QRect area = viewport()->rect();
    QPoint toward;
    // Selecting whole columns scrolls only sideways, whole rows only up and down.
    if (m_mouseMode != MouseMode::SelectRow)
        toward.setX(pos.x() < map.fixedWidth() ? -1 : pos.x() > area.right() ? 1 : 0);
    if (m_mouseMode != MouseMode::SelectColumn)
        toward.setY(pos.y() < map.fixedHeight() ? -1 : pos.y() > area.bottom() ? 1 : 0);
    return toward;
}

void CGridCtrl::autoScroll() {
    const QPoint toward = autoScrollDirection(m_lastMouse);
    if (toward == QPoint() || !m_dragCell.isValid()) {
        m_autoScroll.stop();
        return;
    }
    GridCellId to = m_dragCell;
    to.row = GridNavigation::rowsAway(m_model, to.row, toward.y());
    to.col = GridNavigation::columnsAway(m_model, to.col, toward.x());
    EnsureVisible(to.row, to.col);
    selectTo(to);
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_autoScroll.stop();
    const QPoint pos = event->position().toPoint();
    const MouseMode mode = m_mouseMode;
    m_mouseMode = MouseMode::None;
    if (mode == MouseMode::SizingColumn || mode == MouseMode::SizingRow)
        finishSizing(pos);
    else if (mode == MouseMode::PrepareEdit && CellFromPoint(pos) == m_pressCell)
        BeginCellEdit(m_pressCell.row, m_pressCell.col, GridEditStart::Mouse);
}

void CGridCtrl::finishSizing(QPoint point) {
    const GridViewport map = viewportMap();
    const QRect area = viewport()->rect();
    const int index = m_sizing.index;
    m_sizingLine = -1;
    // Dragging to the left (top) edge or past it hides the entry, where the grid allows it.
    const int minimum = m_model.Behaviour().hideByDrag ? 0 : 1;
    // Sizing is the user's view of the table, not a change of its contents.
    const bool wasModified = m_model.IsModified();
    if (m_sizing.column)
        m_model.SetColumnWidth(
            index, qMax(minimum, qBound(0, point.x(), area.right()) - map.columnX(index)));
    else
        m_model.SetRowHeight(index,
                             qMax(minimum, qBound(0, point.y(), area.bottom()) - map.rowY(index)));
    if (!wasModified && m_model.IsModified())
        m_model.MarkModified(false);
    updateScrollBars();
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    const Border border = borderAt(pos);
    if (border.index >= 0) {
        m_mouseMode = MouseMode::None;
        m_sizingLine = -1;
        BusyGuard busy(viewport());
        (void)(border.column ? m_model.FitColumn(border.index) : m_model.FitRow(border.index));
        updateScrollBars();
        return;
    }
    const GridCellId cell = CellFromPoint(pos);
    if (!cell.isValid() || cell.row < m_model.FixedRowTotal() ||
        cell.col < m_model.FixedColumnTotal())
        return;
    emit doubleClick(cell.row, cell.col);
    BeginCellEdit(cell.row, cell.col, GridEditStart::Mouse);
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder %= 120;
    event->accept();
    const GridViewport map = viewportMap();
    const int top = map.firstDataRow();
    if (notches == 0 || top < 0)
        return;
    // Positive movement scrolls up.
    const int row = GridNavigation::rowsAway(m_model, top, -notches * m_wheelLines);
    verticalScrollBar()->setValue(int(m_model.Rows().start(row)) - map.fixedHeight());
}
