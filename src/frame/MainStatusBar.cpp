#include "frame/MainStatusBar.h"

#include <QFontMetrics>
#include <QLabel>

namespace {

std::array<QString StatusTexts::*, 7> paneFields() {
    return {&StatusTexts::server,   &StatusTexts::directory, &StatusTexts::line,
            &StatusTexts::modified, &StatusTexts::caps,      &StatusTexts::num,
            &StatusTexts::overwrite};
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
        const int margins = pane->contentsMargins().left() + pane->contentsMargins().right();
        pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(sizing.*fields[i]) + margins + 8);
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
        // A pane keeps its width: a longer server name or directory is shortened in the middle
        // and shown whole in the pane's tip.
        const QMargins m = pane->contentsMargins();
        const int room = pane->maximumWidth() - m.left() - m.right() - 8;
        const QString fitted = pane->fontMetrics().elidedText(text, Qt::ElideMiddle, room);
        pane->setText(fitted);
        pane->setToolTip(fitted == text ? QString() : text);
    }
    m_shown = texts;
}
