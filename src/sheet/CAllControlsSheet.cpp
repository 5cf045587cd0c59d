#include "sheet/CAllControlsSheet.h"

#include "editor/ComboHistory.h"
#include "editor/SearchDialogs.h"
#include "grid/CGridCtrl.h"
#include "grid/GridModel.h"
#include "platform/BusyGuard.h"
#include "settings/AppSettings.h"
#include "sheet/SheetContext.h"
#include "sheet/SheetEditor.h"
#include "sheet/SheetSearch.h"
#include "widgets/DialogButtons.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPushButton* addButton(QWidget* page, QLayout* layout, const QString& text, const char* name,
                       int id) {
    auto* button = new QPushButton(text, page);
    setControlId(button, name, id);
    layout->addWidget(button);
    return button;
}

// The history entries after the first, each once, up to the list's limit.
void appendHistory(QStringList& items, const QStringList& history) {
    for (const QString& entry : history) {
        if (items.size() >= ComboHistory::MaxItems)
            break;
        if (!entry.isEmpty() && ComboHistory::indexOf(items, entry) < 0)
            items.append(entry);
    }
}

} // namespace

GridSheetPage::GridSheetPage(CGridCtrl* view, const QStringList& history, QWidget* parent)
    : QWidget(parent), m_grid(view ? &view->model() : nullptr), m_view(view), m_history(history) {}

bool GridSheetPage::writeCell(int row, int col, const QString& text) {
    return m_view && m_view->UpdateCellText(row, col, text);
}

QComboBox* GridSheetPage::addCombo(const char* name, int id) {
    auto* combo = new QComboBox(this);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    SearchCombo::searchWhatIsTyped(combo);
    combo->setMaxCount(ComboHistory::MaxItems);
    combo->setMinimumContentsLength(24);
    setControlId(combo, name, id);
    return combo;
}

void GridSheetPage::fill(QComboBox* combo, const QStringList& items, int current) {
    const QString typed = combo->currentText();
    combo->clear();
    combo->addItems(items);
    if (current >= 0)
        combo->setCurrentIndex(current);
    else
        combo->setEditText(typed);
}

QString GridSheetPage::take(QComboBox* combo, QStringList& items) {
    const QString text = combo->currentText();
    const int index = int(ComboHistory::add(items, text));
    fill(combo, items, index);
    combo->setEditText(text);
    return text;
}

QString GridSheetPage::takeSearchText() {
    return take(m_search, m_searchItems);
}

void GridSheetPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shown || !m_grid)
        return;
    m_shown = true;
    initialise();
}

void GridSheetPage::initialise() {
    ComboHistory::add(m_searchItems, SheetSearch::prepare(*m_grid));
    appendHistory(m_searchItems, m_history);
    fill(m_search, m_searchItems, m_searchItems.isEmpty() ? -1 : 0);
}

void GridSheetPage::notFound() {
    QApplication::beep();
    emit nothingFound();
}

void GridSheetPage::showCell(int row, int col) const {
    if (m_view)
        m_view->EnsureVisible(row, col);
}

CGridRep::CGridRep(Mode mode, CGridCtrl* view, const QStringList& history, QWidget* parent)
    : GridSheetPage(view, history, parent), m_mode(mode) {
    setObjectName(mode == Mode::Search ? QStringLiteral("SearchPage")
                                       : QStringLiteral("ReplacePage"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("検索する文字列"), this), 0, 0);
    m_search = addCombo("Search", 1049);
    layout->addWidget(m_search, 0, 1);
    auto* buttons = new QVBoxLayout;
    QPushButton* next = addButton(this, buttons, QStringLiteral("次を検索"), "FindNext", 1165);
    next->setDefault(true);
    connect(next, &QPushButton::clicked, this, &CGridRep::findNext);
    if (mode == Mode::Replace) {
        auto* label = new QLabel(QStringLiteral("置換後の文字列"), this);
        setControlId(label, "ReplacementLabel", 1219);
        layout->addWidget(label, 1, 0);
        m_replacement = addCombo("Replacement", 1062);
        layout->addWidget(m_replacement, 1, 1);
        connect(addButton(this, buttons, QStringLiteral("置換して次に"), "ReplaceNext", 1071),
                &QPushButton::clicked, this, &CGridRep::replaceAndNext);
        connect(addButton(this, buttons, QStringLiteral("全て置換"), "ReplaceAll", 1075),
                &QPushButton::clicked, this, &CGridRep::replaceAll);
    }
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 3, 1);
    layout->setRowStretch(2, 1);
}

void CGridRep::initialise() {
    GridSheetPage::initialise();
    if (!m_replacement)
        return;
    appendHistory(m_replacementItems, m_history);
    fill(m_replacement, m_replacementItems, -1);
}

QString CGridRep::takeReplacement() {
    return m_replacement ? take(m_replacement, m_replacementItems) : QString();
}

void CGridRep::findNext() {
    const QString search = takeSearchText();
    if (!m_grid)
        return;
    const GridCellId found = SheetSearch::findNextSelected(*m_grid, search);
    if (found.isValid())
        showCell(found.row, found.col);
    else
        notFound();
}

void CGridRep::replaceAndNext() {
    const QString search = takeSearchText();
    const QString replacement = takeReplacement();
    if (!m_grid)
        return;
    switch (SheetSearch::replaceAndNext(
        *m_grid, [this](int r, int c, const QString& t) { return writeCell(r, c, t); }, search,
        replacement)) {
    case SheetSearch::ReplaceOutcome::Found:
        showCell(m_grid->FocusCell().row, m_grid->FocusCell().col);
        break;
    case SheetSearch::ReplaceOutcome::NotFound:
        notFound();
        break;
    case SheetSearch::ReplaceOutcome::NotChanged:
        break;
    }
}

void CGridRep::replaceAll() {
    const QString search = takeSearchText();
    const QString replacement = takeReplacement();
    if (!m_grid)
        return;
    {
        BusyGuard busy;
        static_cast<void>(SheetSearch::replaceAll(
            *m_grid, [this](int r, int c, const QString& t) { return writeCell(r, c, t); }, search,
            replacement));
    }
    notFound();
}

CGridFilter::CGridFilter(CGridCtrl* view, const QStringList& history, QWidget* parent)
    : GridSheetPage(view, history, parent) {
    setObjectName(QStringLiteral("FilterPage"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("検索する文字列"), this), 0, 0);
    m_search = addCombo("Search", 1049);
    layout->addWidget(m_search, 0, 1);
    const auto radio = [this](const QString& text, const char* name, int id) {
        auto* button = new QRadioButton(text, this);
        setControlId(button, name, id);
        return button;
    };
    auto* what = new QVBoxLayout;
    QRadioButton* rows = radio(QStringLiteral("行を非表示"), "HideRows", 1223);
    m_columns = radio(QStringLiteral("列を非表示"), "HideColumns", 1224);
    what->addWidget(rows);
    what->addWidget(m_columns);
    auto* keep = new QVBoxLayout;
    QRadioButton* match = radio(QStringLiteral("一致を絞込"), "KeepMatching", 1225);
    m_mismatch = radio(QStringLiteral("不一致を絞込"), "KeepMismatching", 1226);
    keep->addWidget(match);
    keep->addWidget(m_mismatch);
    auto* whatGroup = new QButtonGroup(this);
    whatGroup->addButton(rows);
    whatGroup->addButton(m_columns);
    auto* keepGroup = new QButtonGroup(this);
    keepGroup->addButton(match);
    keepGroup->addButton(m_mismatch);
    rows->setChecked(true);
    match->setChecked(true);
    layout->addLayout(what, 1, 0);
    layout->addLayout(keep, 1, 1);
    auto* buttons = new QVBoxLayout;
    QPushButton* narrowButton = addButton(this, buttons, QStringLiteral("絞込"), "Narrow", 1222);
    narrowButton->setDefault(true);
    connect(narrowButton, &QPushButton::clicked, this, &CGridFilter::narrow);
    connect(addButton(this, buttons, QStringLiteral("全て表示"), "ShowAll", 196),
            &QPushButton::clicked, this, &CGridFilter::showAll);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 3, 1);
    layout->setRowStretch(2, 1);
}

void CGridFilter::narrow() {
    const QString search = takeSearchText();
    if (!m_grid)
        return;
    {
        BusyGuard busy;
        SheetSearch::narrow(*m_grid, search, m_columns->isChecked(), !m_mismatch->isChecked());
    }
    notFound();
}

void CGridFilter::showAll() {
    if (!m_grid)
        return;
    BusyGuard busy;
    SheetEditor::revealHidden(*m_grid);
}

CAllControlsSheet::CAllControlsSheet(const SheetContext& context, CGridCtrl* view, QWidget* parent)
    : QDialog(parent), m_settings(context.settings), m_searchText(context.searchText) {
    setObjectName(QStringLiteral("AllControlsSheet"));
    setWindowTitle(QStringLiteral("検索＆置換＆絞込"));
    const QStringList& history = m_settings.SearchHistory;
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_search = new CGridRep(CGridRep::Mode::Search, view, history, m_tabs);
    m_replace = new CGridRep(CGridRep::Mode::Replace, view, history, m_tabs);
    m_filter = new CGridFilter(view, history, m_tabs);
    m_tabs->addTab(m_search, QStringLiteral("検索"));
    m_tabs->addTab(m_replace, QStringLiteral("置換"));
    m_tabs->addTab(m_filter, QStringLiteral("絞込"));
    if (m_searchText)
        for (GridSheetPage* page : pages())
            connect(page, &GridSheetPage::nothingFound, this,
                    [sink = m_searchText] { sink->searchFailed(); });
    layout->addWidget(m_tabs);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

void CAllControlsSheet::done(int result) {
    for (GridSheetPage* page : pages()) {
        if (!page->wasShown())
            continue;
        page->takeSearchText();
        m_settings.SearchHistory = page->searchList();
    }
    if (m_searchText)
        m_searchText->takeSearchHistory(m_settings.SearchHistory);
    QDialog::done(result);
}
