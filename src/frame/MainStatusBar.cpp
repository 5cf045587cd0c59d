#include "frame/MainStatusBar.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace {

std::array<QString StatusTexts::*, 7> paneFields() {
    return {&StatusTexts::server,   &StatusTexts::directory, &StatusTexts::line,
            &StatusTexts::modified, &StatusTexts::caps,      &StatusTexts::num,
            &StatusTexts::overwrite};
}

// The width of a pane that shows `text` whole.
int widthFor(const QLabel* pane, const QString& text) {
    const QMargins m = pane->contentsMargins();
    return pane->fontMetrics().horizontalAdvance(text) + m.left() + m.right() + 8;
}

} // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    const StatusTexts sizing = statusSizingTexts();
    const auto fields = paneFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        auto* pane = new QLabel(this);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        m_sizingWidths[i] = widthFor(pane, sizing.*fields[i]);
        pane->setFixedWidth(m_sizingWidths[i]);
        addPermanentWidget(pane);
        m_panes[i] = pane;
    }
    m_panes[0]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_panes[1]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_shown.line = QStringLiteral("-"); // forces the first show to fill every pane
    show(statusTextsFor({}));
}

void MainStatusBar::show(const StatusTexts& texts) {
    if (texts == m_shown)
        return;
    const auto fields = paneFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const QString& text = texts.*fields[i];
        if (text == m_shown.*fields[i])
            continue;
        QLabel* pane = m_panes[i];
        if (i >= ElidedPanes) {
            // A number or state is never cut: a line count of five digits or more widens its
            // pane, which keeps the wider size while the texts stay long.
            pane->setFixedWidth(std::max(m_sizingWidths[i], widthFor(pane, text)));
            pane->setText(text);
            continue;
        }
        // The server name and directory panes keep their width: a longer text is shortened in
        // the middle and shown whole in the pane's tip.
        const QMargins m = pane->contentsMargins();
        const int room = pane->maximumWidth() - m.left() - m.right() - 8;
        const QString fitted = pane->fontMetrics().elidedText(text, Qt::ElideMiddle, room);
        pane->setText(fitted);
        pane->setToolTip(fitted == text ? QString() : text);
    }
    m_shown = texts;
}
