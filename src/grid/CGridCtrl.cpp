#include "grid/CGridCtrl.h"

#include "grid/GridPainter.h"
#include "platform/Prompt.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

GridColour fromQColor(const QColor& c) {
    return GridColour(c.rgb() & 0xFFFFFF);
}

Qt::Alignment editAlignment(quint32 format) {
    if (format & GridFormat::Right)
        return Qt::AlignRight;
    return format & GridFormat::Center ? Qt::AlignHCenter : Qt::AlignLeft;
}

bool carriesOn(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

CGridCtrl::CGridCtrl(QWidget* parent) : QAbstractScrollArea(parent), m_fonts(font()) {
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);

    const QPalette& p = palette();
    GridColours colours;
    colours.windowText = fromQColor(p.color(QPalette::Text));
    colours.windowBack = fromQColor(p.color(QPalette::Base));
    colours.buttonFace = fromQColor(p.color(QPalette::Button));
    colours.buttonShadow = fromQColor(p.color(QPalette::Dark));
    colours.background = colours.buttonShadow;
    m_model.SetColours(colours);
    m_model.SetTextMeasurer(&m_fonts);
    m_model.SetDefaultFont(GridFontMetrics::describe(font()));
    m_wheelLines = QApplication::wheelScrollLines() > 0 ? QApplication::wheelScrollLines() : 3;

    auto repaint = [this] { viewport()->update(); };
    connect(&m_model, &GridModel::layoutChanged, this, &CGridCtrl::followLayout);
    connect(&m_model, &GridModel::cellChanged, this, repaint);
    connect(&m_model, &GridModel::contentChanged, this, repaint);
    connect(&m_model, &GridModel::selectionChanged, this, repaint);
    connect(&m_model, &GridModel::focusChanged, this, repaint);
    m_autoScroll.setInterval(25);
    connect(&m_autoScroll, &QTimer::timeout, this, &CGridCtrl::autoScroll);
    updateScrollBars();
}

CGridCtrl::~CGridCtrl() {
    // The edit box must not report into a grid that is going away.
    if (m_editBox)
        m_editBox->disconnect(this);
}

GridViewport CGridCtrl::viewportMap() const {
    return GridViewport(m_model,
                        QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()),
                        viewport()->size());
}

QRect CGridCtrl::CellRect(int row, int col) const {
    return m_model.IsValid(row, col) ? viewportMap().cellRect(row, col) : QRect();
}

GridCellId CGridCtrl::CellFromPoint(QPoint point) const {
    const GridViewport map = viewportMap();
    const int row = map.rowAt(point.y());
    const int col = map.columnAt(point.x());
    return row < 0 || col < 0 ? GridCellId{} : GridCellId{row, col};
}

void CGridCtrl::updateScrollBars() {
    const GridViewport map = viewportMap();
    const auto clampInt = [](qint64 v) { return int(qBound<qint64>(0, v, qint64(INT_MAX))); };
    verticalScrollBar()->setRange(0, clampInt(map.dataHeight() - map.pageHeight()));
    verticalScrollBar()->setPageStep(qMax(1, map.pageHeight()));
    verticalScrollBar()->setSingleStep(qMax(1, m_model.DefaultRowHeight()));
    horizontalScrollBar()->setRange(0, clampInt(map.dataWidth() - map.pageWidth()));
    horizontalScrollBar()->setPageStep(qMax(1, map.pageWidth()));
    horizontalScrollBar()->setSingleStep(qMax(1, m_model.DefaultColumnWidth()));
    viewport()->update();
}

void CGridCtrl::followLayout() {
    updateScrollBars();
    if (!m_editBox)
        return;
    // The edit box stays on its cell as sizes change, and ends when its cell is gone.
    if (!m_model.IsValid(m_editBox->row(), m_editBox->column()))
        m_editBox->finish();
    else
        m_editBox->move(CellRect(m_editBox->row(), m_editBox->column()).topLeft());
}

void CGridCtrl::EnsureVisible(int row, int col) {
    const QPoint scroll = viewportMap().scrollToShow(row, col);
    horizontalScrollBar()->setValue(scroll.x());
    verticalScrollBar()->setValue(scroll.y());
}

void CGridCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const GridViewport map = viewportMap();
    GridPainter(m_model, map, palette(), m_fonts).paint(painter, event->rect());
    if (m_sizingLine >= 0) {
        // The line that follows the pointer while a border is dragged, inverted as it was drawn.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        const QRect line = m_sizing.column ? QRect(m_sizingLine, 0, 2, map.size().height())
                                           : QRect(0, m_sizingLine, map.size().width(), 2);
        painter.fillRect(line, Qt::white);
    }
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CGridCtrl::scrollContentsBy(int, int) {
    if (m_editBox)
        m_editBox->move(CellRect(m_editBox->row(), m_editBox->column()).topLeft());
    viewport()->update();
}

// --- keyboard ------------------------------------------------------------------------------

bool CGridCtrl::focusNextPrevChild(bool next) {
    // Tab moves between cells, also out of the edit box, which asks its parents first.
    if (m_model.Behaviour().handleTabKey)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    const GridCellId focus = m_model.FocusCell();
    if (!m_model.IsValid(focus.row, focus.col)) {
        event->ignore();
        return;
    }
    if (handleCommandKey(event) || handleMoveKey(event->key(), event->modifiers()))
        return;
    const QString text = event->text();
    // Alt and Meta combinations are the window's menus and shortcuts, never cell text.
    const bool ctrl =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (text.isEmpty() || ctrl || event->key() == Qt::Key_Escape || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab) {
        event->ignore();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        BeginCellEdit(focus.row, focus.col, GridEditStart::Enter);
        return;
    case Qt::Key_Backspace:
        BeginCellEdit(focus.row, focus.col, GridEditStart::Backspace);
        return;
    case Qt::Key_Space:
        BeginCellEdit(focus.row, focus.col, GridEditStart::SelectAll);
        return;
    default:
        if (text.front().isPrint() || text.front().isSurrogate())
            BeginCellEdit(focus.row, focus.col, GridEditStart::Character, text);
        else
            event->ignore();
    }
}

bool CGridCtrl::handleCommandKey(const QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const GridCellId focus = m_model.FocusCell();
    switch (event->key()) {
    case Qt::Key_C:
        return ctrl && (Copy(), true);
    case Qt::Key_X:
        return ctrl && (Cut(), true);
    case Qt::Key_V:
        return ctrl && (Paste(), true);
    case Qt::Key_A:
        return ctrl && (m_model.SelectAll(), true);
    case Qt::Key_Insert:
        if (ctrl)
            Copy();
        else if (shift)
            Paste();
        return ctrl || shift;
    case Qt::Key_Delete:
        if (m_model.Behaviour().editable)
            ClearSelectedCells();
        return true;
    case Qt::Key_F2:
        BeginCellEdit(focus.row, focus.col, GridEditStart::Mouse);
        return true;
    default:
        return false;
    }
}

bool CGridCtrl::handleMoveKey(int key, Qt::KeyboardModifiers modifiers) {
    using GridNavigation::Move;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    Move move;
    switch (key) {
    case Qt::Key_Left:
        move = Move::Left;
        break;
    case Qt::Key_Right:
        move = Move::Right;
        break;
    case Qt::Key_Up:
        move = Move::Up;
        break;
    case Qt::Key_Down:
        move = Move::Down;
        break;
    case Qt::Key_Home:
        move = ctrl ? Move::First : Move::Home;
        break;
    case Qt::Key_End:
        move = ctrl ? Move::Last : Move::End;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!m_model.Behaviour().handleTabKey || ctrl)
            return false;
        moveFocus(GridNavigation::step(m_model, m_model.FocusCell(),
                                       key == Qt::Key_Backtab || shift ? Move::TabBackward
                                                                       : Move::TabForward),
                  false);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        pageMove(key == Qt::Key_PageDown ? 1 : -1, shift);
        return true;
    default:
        return false;
    }
    moveFocus(GridNavigation::step(m_model, m_model.FocusCell(), move), shift);
    return true;
}

void CGridCtrl::pageMove(int direction, bool extend) {
    const GridCellId focus = m_model.FocusCell();
    QScrollBar* bar = verticalScrollBar();
    const int before = bar->value();
    bar->setValue(before + direction * bar->pageStep());
    const int scrolled = bar->value() - before;
    int row;
    if (scrolled != 0) {
        // The focus keeps its place in the window: it moves by the rows scrolled.
        const int found = m_model.Rows().indexAt(m_model.Rows().start(focus.row) + scrolled);
        row = found >= m_model.FixedRowTotal()
                  ? found
                  : GridNavigation::rowsAway(m_model, focus.row, direction * INT_MAX);
    } else {
        row = GridNavigation::rowsAway(m_model, focus.row, direction * INT_MAX);
    }
    moveFocus({row, focus.col}, extend);
}

void CGridCtrl::moveFocus(GridCellId to, bool extend) {
    if (!m_model.IsValid(to.row, to.col))
        return;
    SetFocusCellTo(to, extend);
    EnsureVisible(to.row, to.col);
}

void CGridCtrl::SetFocusCellTo(GridCellId cell, bool extend) {
    if (!m_model.IsValid(cell.row, cell.col))
        return;
    if (!extend || !m_selectionStart.isValid())
        m_selectionStart = cell;
    const GridCellId a = m_selectionStart;
    m_model.SelectRange({qMin(a.row, cell.row), qMin(a.col, cell.col), qMax(a.row, cell.row),
                         qMax(a.col, cell.col)});
    m_model.SetFocusCell(cell);
}

// --- input method --------------------------------------------------------------------------

void CGridCtrl::inputMethodEvent(QInputMethodEvent* event) {
    const GridCellId focus = m_model.FocusCell();
    const bool typing = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
    if (!typing || !m_model.IsValid(focus.row, focus.col)) {
        event->ignore();
        return;
    }
    // Text from an input method starts an edit as a typed character does: the box opens with
    // the old text selected and takes the composition, which then replaces it.
    BeginCellEdit(focus.row, focus.col, GridEditStart::SelectAll);
    if (m_editBox)
        QCoreApplication::sendEvent(m_editBox, event);
}

QVariant CGridCtrl::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return m_model.Behaviour().editable;
    case Qt::ImCursorRectangle: {
        const GridCellId focus = m_model.FocusCell();
        return QRect(viewport()->mapTo(this, CellRect(focus.row, focus.col).topLeft()),
                     CellRect(focus.row, focus.col).size());
    }
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// --- editing -------------------------------------------------------------------------------

bool CGridCtrl::refusesEdit(int row, int col) {
    bool refuse = false;
    emit beforeEdit(row, col, &refuse);
    return refuse;
}

void CGridCtrl::BeginCellEdit(int row, int col, GridEditStart how, const QString& typed) {
    if (!m_model.IsValid(row, col) || !m_model.Behaviour().editable ||
        (m_model.CellState(row, col) & GridState::ReadOnly))
        return;
    if (m_editBox) {
        if (m_editBox->row() == row && m_editBox->column() == col)
            m_editBox->insert(typed);
        return;
    }
    EnsureVisible(row, col);
    const QRect rect = CellRect(row, col);
    if (rect.isEmpty() || !rect.intersects(viewport()->rect()) || refusesEdit(row, col))
        return;
    auto* box =
        new CGridEditBox(viewport(), row, col, m_model.CellText(row, col), rect,
                         viewport()->width(), editAlignment(m_model.CellAt(row, col).GetFormat()));
    box->setFont(m_fonts.font(m_model.CellAt(row, col).GetFont()));
    connect(box, &CGridEditBox::editEnded, this, &CGridCtrl::onEditEnded);
    m_editBox = box;
    m_model.SetEditingCell({row, col});
    box->show();
    box->setFocus(Qt::OtherFocusReason);
    box->start(how, typed);
}

bool CGridCtrl::EndCellEdit() {
    if (m_editBox)
        m_editBox->finish();
    return !m_editBox;
}

void CGridCtrl::onEditEnded(int row, int col, const QString& text, int key) {
    CGridEditBox* box = m_editBox;
    m_editBox = nullptr;
    m_model.SetEditingCell({});
    const CellUpdate update = key == Qt::Key_Escape ? CellUpdate{} : applyCellText(row, col, text);
    // The grid takes the focus back unless the edit ended because it went elsewhere.
    if (key != 0 || update.unencodableAt >= 0 || (box && box->hasFocus()))
        setFocus(Qt::OtherFocusReason);
    if (box) {
        box->hide();
        box->deleteLater();
    }
    viewport()->update();
    if (update.unencodableAt >= 0) {
        // The typed text is not lost: after the message the edit opens again with it.
        reportUnencodable(text, update.unencodableAt);
        BeginCellEdit(row, col, GridEditStart::Mouse);
        if (m_editBox)
            m_editBox->setText(text);
        return;
    }
    if (!carriesOn(key))
        return;
    // Tab, arrows and the page keys carry on into the next cell, still typing.
    handleMoveKey(key, Qt::NoModifier);
    const GridCellId focus = m_model.FocusCell();
    BeginCellEdit(focus.row, focus.col, GridEditStart::SelectAll);
}
