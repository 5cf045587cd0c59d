#include "grid/CGridEditBox.h"

#include <QKeyEvent>

CGridEditBox::CGridEditBox(QWidget* parent, int row, int column, const QString& text,
                           const QRect& cellRect, int rightLimit, Qt::Alignment alignment)
    : QLineEdit(text, parent), m_row(row), m_column(column), m_initial(text), m_cellRect(cellRect),
      m_rightLimit(rightLimit) {
    setAlignment(alignment | Qt::AlignVCenter);
    setFrame(true);
    setFont(parent->font());
    setGeometry(cellRect);
    connect(this, &QLineEdit::textChanged, this, &CGridEditBox::fitToText);
    fitToText();
}

void CGridEditBox::start(GridEditStart how, const QString& typed) {
    m_arrowsEnd = how != GridEditStart::Mouse;
    switch (how) {
    case GridEditStart::Mouse:
    case GridEditStart::Enter:
        end(false);
        break;
    case GridEditStart::Backspace:
        end(false);
        backspace();
        break;
    case GridEditStart::SelectAll:
        selectAll();
        break;
    case GridEditStart::Character:
        selectAll();
        insert(typed);
        break;
    }
}

void CGridEditBox::finish(int key) {
    if (m_ended)
        return;
    m_ended = true;
    if (key == Qt::Key_Escape)
        setText(m_initial);
    emit editEnded(m_row, m_column, text(), key);
}

bool CGridEditBox::endsEdit(const QKeyEvent* event) const {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return m_arrowsEnd || event->modifiers().testFlag(Qt::ControlModifier);
    default:
        return false;
    }
}

void CGridEditBox::keyPressEvent(QKeyEvent* event) {
    if (!endsEdit(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The grid carries on with Shift+Tab as a Tab with Shift, the way it reads its own keys.
    finish(event->key() == Qt::Key_Enter ? int(Qt::Key_Return) : event->key());
}

void CGridEditBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A focus change inside the input method's own window is not the end of the edit.
    if (event->reason() != Qt::PopupFocusReason)
        finish(0);
}

void CGridEditBox::fitToText() {
    // A text longer than any screen is wide needs no measuring: the box takes all the room.
    constexpr qsizetype kMeasuredLength = 4096;
    if (text().size() > kMeasuredLength) {
        resize(qMax(m_cellRect.width(), m_rightLimit - m_cellRect.left()), m_cellRect.height());
        return;
    }
    const int wanted = fontMetrics().horizontalAdvance(text()) +
                       fontMetrics().averageCharWidth() * 2 + (hasFrame() ? 8 : 4);
    const int width = qMax(m_cellRect.width(), qMin(wanted, m_rightLimit - m_cellRect.left()));
    resize(width, m_cellRect.height());
}
