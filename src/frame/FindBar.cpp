#include "frame/FindBar.h"

#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "editor/ComboHistory.h"
#include "editor/SearchDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

FindBar::FindBar(const std::function<QAction*(int)>& action, QWidget* parent)
    : QToolBar(QStringLiteral("検索"), parent), m_box(new QComboBox(this)) {
    setObjectName(QStringLiteral("FindBar"));
    m_box->setObjectName(QStringLiteral("FindBox"));
    SearchCombo::setUp(m_box);
    m_box->setFixedWidth(150);
    m_box->setFont(QApplication::font());
    // Keys reach the combo box, which hands them to its edit field without event filters.
    m_box->installEventFilter(this);
    connect(m_box, &QComboBox::editTextChanged, this, &FindBar::textChanged);

    m_boxItem = addWidget(m_box);
    // Docked upright the box has no room: a button that opens the search dialog stands there.
    QAction* find = action(EditorCommand::EditFind);
    m_findButton = addAction(find->icon(), find->iconText());
    m_findButton->setStatusTip(find->statusTip());
    m_findButton->setVisible(false);
    connect(m_findButton, &QAction::triggered, find, &QAction::trigger);
    connect(find, &QAction::changed, m_findButton,
            [this, find] { m_findButton->setEnabled(find->isEnabled()); });
    addSeparator();
    addAction(action(EditorCommand::FindToBox));
    addSeparator();
    addAction(find);
    addSeparator();
    m_findDown = action(EditorCommand::FindDown);
    addAction(m_findDown);
    addAction(action(EditorCommand::FindUp));
    connect(this, &QToolBar::orientationChanged, this, &FindBar::followOrientation);
}

QString FindBar::text() const {
    return m_box->currentText();
}

QStringList FindBar::items() const {
    return SearchCombo::items(m_box);
}

void FindBar::refill(const QStringList& history) {
    SearchCombo::setItems(m_box, ComboHistory::refill(history));
}

void FindBar::repeatSearch(const QString& text, const TextSearch::Options& options) {
    m_repeatedText = text;
    m_repeatedOptions = options;
    m_box->setEditText(text);
}

TextSearch::Options FindBar::options() const {
    return text() == m_repeatedText ? m_repeatedOptions : TextSearch::Options{};
}

void FindBar::followOrientation(Qt::Orientation orientation) {
    const bool horizontal = orientation == Qt::Horizontal;
    m_boxItem->setVisible(horizontal);
    m_findButton->setVisible(!horizontal);
}

// Enter records the text in the list and searches down for it; held down, it does so once.
// The focus stays in the box, so that the next Enter finds the next match and never reaches
// the text, where it would replace the selected match with a line break.
bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_box && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (!key->isAutoRepeat()) {
                SearchCombo::record(m_box, m_box->currentText());
                m_findDown->trigger();
                m_box->setFocus();
            }
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}
