#include "editor/SearchDialogs.h"

#include "editor/CVantorpadView.h"
#include "editor/ComboHistory.h"
#include "editor/DialogPlacement.h"
#include "platform/Prompt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QValidator>

namespace {

class OneLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        input = ComboHistory::firstLine(input);
        pos = std::min(pos, int(input.size()));
        return Acceptable;
    }
};

QPushButton* button(QWidget* parent, const QString& objectName, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    return b;
}

} // namespace

namespace SearchCombo {

void searchWhatIsTyped(QComboBox* combo) {
    // The combo's own completer writes the rest of a listed entry into the field as the user
    // types, and its Enter picks the entry that equals the text in another letter case.
    combo->setCompleter(nullptr);
    combo->setDuplicatesEnabled(true);
}

void setUp(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    searchWhatIsTyped(combo);
    combo->setMaxVisibleItems(ComboHistory::MaxItems);
    combo->lineEdit()->setValidator(new OneLineValidator(combo));
    // Typing never lets the list grow past its limit.
    QObject::connect(combo, &QComboBox::editTextChanged, combo, [combo] {
        while (combo->count() > ComboHistory::MaxItems)
            combo->removeItem(combo->count() - 1);
    });
}

QStringList items(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list.append(combo->itemText(i));
    return list;
}

void setItems(QComboBox* combo, const QStringList& list) {
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(list);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

void record(QComboBox* combo, const QString& text) {
    QStringList list = items(combo);
    const qsizetype selected = ComboHistory::add(list, ComboHistory::firstLine(text));
    if (selected < 0)
        return;
    if (list != items(combo)) {
        combo->clear();
        combo->addItems(list);
    }
    combo->setCurrentIndex(int(selected));
}

} // namespace SearchCombo

SearchDialogBase::SearchDialogBase(CVantorpadView* view, const QStringList& history, bool preselect,
                                   QWidget* parent)
    : QDialog(parent), m_view(view), m_history(history) {
    m_search = addCombo(QStringLiteral("1049"), preselect);
    m_wholeWord = new QCheckBox(QStringLiteral("単語単位で探す"), this);
    m_wholeWord->setObjectName(QStringLiteral("1052"));
    m_matchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別する"), this);
    m_matchCase->setObjectName(QStringLiteral("1055"));
    m_down = new QRadioButton(QStringLiteral("下へ(&D)"), this);
    m_down->setObjectName(QStringLiteral("1064"));
    m_up = new QRadioButton(QStringLiteral("上へ(U)"), this);
    m_up->setObjectName(QStringLiteral("1068"));
    m_down->setChecked(true);
}

QComboBox* SearchDialogBase::addCombo(const QString& objectName, bool preselect) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(objectName);
    SearchCombo::setUp(combo);
    combo->setMinimumWidth(220);
    combo->addItems(m_history.mid(0, ComboHistory::MaxItems));
    combo->setCurrentIndex(!m_history.isEmpty() && preselect ? 0 : -1);
    if (combo->currentIndex() < 0)
        combo->setEditText(QString());
    return combo;
}

void SearchDialogBase::findNext(bool up) {
    const QString text = m_search->currentText();
    if (text.isEmpty() || !m_view)
        return;
    noteSearch(text, up);
    if (m_view->FindInView(text, up, m_wholeWord->isChecked(), m_matchCase->isChecked()))
        uncoverSelection();
    activateWindow(); // the dialog stays in front for the next press
}

void SearchDialogBase::noteSearch(const QString& text, bool up) {
    m_lastSearch = {text, {up, m_wholeWord->isChecked(), m_matchCase->isChecked()}};
}

void SearchDialogBase::uncoverSelection() {
    const QRect match = m_view->characterRect(m_view->selectionStart())
                            .united(m_view->characterRect(m_view->selectionEnd()));
    const QRect onScreen(m_view->viewport()->mapToGlobal(match.topLeft()), match.size());
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QPoint place = placeClearOf(frameGeometry(), onScreen, screen->availableGeometry());
    if (place != frameGeometry().topLeft())
        move(place);
}

void SearchDialogBase::reject() {
    SearchCombo::record(m_search, m_search->currentText());
    m_history = SearchCombo::items(m_search);
    m_recorded = true;
    QDialog::reject();
}

QGroupBox* SearchDialogBase::directionBox() {
    auto* box = new QGroupBox(QStringLiteral("検索する方向"), this);
    auto* radios = new QHBoxLayout(box);
    radios->addWidget(m_down);
    radios->addWidget(m_up);
    return box;
}

CSearchDlg::CSearchDlg(CVantorpadView* view, const QStringList& history, bool preselect,
                       QWidget* parent)
    : SearchDialogBase(view, history, preselect, parent) {
    setWindowTitle(QStringLiteral("検索"));
    auto* clear = button(this, QStringLiteral("1164"), QStringLiteral("履歴ｸﾘｱ"));
    auto* next = button(this, QStringLiteral("1058"), QStringLiteral("次を検索"));
    auto* cancel = button(this, QStringLiteral("2"), QStringLiteral("ｷｬﾝｾﾙ"));
    next->setDefault(true);
    QGroupBox* direction = directionBox();

    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("検索する文字列"), this);
    label->setBuddy(m_search);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_search, 0, 1);
    grid->addWidget(clear, 0, 2);
    grid->addWidget(next, 0, 3);
    grid->addWidget(m_wholeWord, 1, 0, 1, 2);
    grid->addWidget(m_matchCase, 2, 0, 1, 2);
    grid->addWidget(direction, 1, 2, 2, 1);
    grid->addWidget(cancel, 1, 3);

    connect(next, &QPushButton::clicked, this, [this] { findNext(m_up->isChecked()); });
    connect(clear, &QPushButton::clicked, this, &CSearchDlg::clearHistory);
    connect(cancel, &QPushButton::clicked, this, &CSearchDlg::reject);
}

void CSearchDlg::clearHistory() {
    if (Prompt::question(QStringLiteral("検索履歴文字列を全て削除します。宜しいですか？")) !=
        PromptAnswer::Yes)
        return;
    SearchCombo::setItems(m_search, {});
    m_history.clear();
}

void CSearchDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

CReplaseDlg::CReplaseDlg(CVantorpadView* view, const QStringList& history, bool preselect,
                         QWidget* parent)
    : SearchDialogBase(view, history, preselect, parent) {
    setWindowTitle(QStringLiteral("置換"));
    m_replacement = addCombo(QStringLiteral("1062"), false);
    auto* next = button(this, QStringLiteral("1165"), QStringLiteral("次を検索"));
    auto* replace = button(this, QStringLiteral("1071"), QStringLiteral("置換して次に"));
    auto* all = button(this, QStringLiteral("1075"), QStringLiteral("全て置換"));
    auto* cancel = button(this, QStringLiteral("2"), QStringLiteral("ｷｬﾝｾﾙ"));
    next->setDefault(true);
    QGroupBox* direction = directionBox();

    auto* grid = new QGridLayout(this);
    auto* searchLabel = new QLabel(QStringLiteral("検索する文字列"), this);
    searchLabel->setBuddy(m_search);
    auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列"), this);
    replaceLabel->setBuddy(m_replacement);
    grid->addWidget(searchLabel, 0, 0);
    grid->addWidget(m_search, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(m_replacement, 1, 1);
    grid->addWidget(m_wholeWord, 2, 0, 1, 2);
    grid->addWidget(m_matchCase, 3, 0, 1, 2);
    grid->addWidget(direction, 4, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {next, replace, all, cancel})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 5, 1);

    // Tab follows the dialog from the top: both texts first, then the choices and the buttons.
    const QList<QWidget*> order = {m_search, m_replacement, m_wholeWord, m_matchCase, m_down,
                                   m_up,     next,          replace,     all,         cancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    // The direction radios steer "次を検索" (and so "置換して次に"); "全て置換" runs downward.
    connect(next, &QPushButton::clicked, this, [this] { findNext(m_up->isChecked()); });
    connect(replace, &QPushButton::clicked, this, &CReplaseDlg::replaceAndFindNext);
    connect(all, &QPushButton::clicked, this, &CReplaseDlg::replaceAll);
    connect(cancel, &QPushButton::clicked, this, &CReplaseDlg::reject);
}

void CReplaseDlg::replaceAndFindNext() {
    const QString replacement = m_replacement->currentText();
    if (replacement.isEmpty() || !m_view)
        return;
    const bool up = m_up->isChecked();
    m_view->replaceSelection(replacement, up);
    findNext(up);
}

void CReplaseDlg::replaceAll() {
    const QString text = m_search->currentText();
    const QString replacement = m_replacement->currentText();
    if (text.isEmpty() || replacement.isEmpty() || !m_view)
        return;
    noteSearch(text, false);
    m_view->replaceAll(text, replacement, m_wholeWord->isChecked(), m_matchCase->isChecked());
    activateWindow();
}

void CReplaseDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    QDialog::reject();
}
