// The main window's side of searching: the find bar, the search commands, the search and
// replace dialogs and the application's search history kept in step with the find box.
#include "frame/CMainFrame.h"

#include "commands/EditorCommands.h"
#include "editor/CVantorpadView.h"
#include "editor/ComboHistory.h"
#include "editor/SearchDialogs.h"
#include "frame/FindBar.h"
#include "frame/FrameHost.h"
#include "frame/MainToolBar.h"
#include "settings/AppSettings.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QToolBar>

#include <memory>

namespace {

struct SearchCommand {
    int id;
    const char16_t* text;
    QKeyCombination keys;
    const char* themeIcon;
    const char* ownIcon;
};

const SearchCommand SearchCommands[] = {
    {EditorCommand::EditFind, u"検索(&F)...\tCtrl+F", Qt::CTRL | Qt::Key_F, "edit-find",
     ":/search/find.svg"},
    {EditorCommand::EditReplace, u"置換(&E)\tCtrl+H", Qt::CTRL | Qt::Key_H, "edit-find-replace",
     nullptr},
    {EditorCommand::FindToBox, u"BOX挿入", {}, "edit-paste", ":/search/box-insert.svg"},
    {EditorCommand::FindDown, u"下方検索\tF3", Qt::Key_F3, "go-down-search",
     ":/search/find-down.svg"},
    {EditorCommand::FindUp, u"上方検索\tShift+F3", Qt::SHIFT | Qt::Key_F3, "go-up-search",
     ":/search/find-up.svg"},
};

} // namespace

void CMainFrame::createSearchActions() {
    for (const SearchCommand& c : SearchCommands) {
        QAction* a =
            addCommand(c.id, QString::fromUtf16(c.text),
                       c.keys == QKeyCombination() ? QKeySequence() : QKeySequence(c.keys));
        const QIcon own = c.ownIcon ? QIcon(QString::fromLatin1(c.ownIcon)) : QIcon();
        a->setIcon(QIcon::fromTheme(QString::fromLatin1(c.themeIcon), own));
        a->setIconText(MainToolBar::buttonText(a->text()));
        addAction(a); // the keys work wherever the focus is in the main window
        connect(a, &QAction::triggered, this, [this, id = c.id] {
            runSearchCommand(id);
            refreshCommandStates();
        });
    }
}

void CMainFrame::createFindBar() {
    m_findBar = new FindBar([this](int id) { return action(id); }, this);
    addToolBar(Qt::TopToolBarArea, m_findBar);
    m_findBar->refill(m_host.settings().SearchHistory);
    connect(m_findBar, &FindBar::textChanged, this, &CMainFrame::refreshCommandStates);
}

FindBar* CMainFrame::findBar() const {
    return m_findBar;
}

std::optional<bool> CMainFrame::searchCommandEnabled(int command) const {
    using namespace EditorCommand;
    CVantorpadView* view = activeView();
    switch (command) {
    case EditFind:
    case EditReplace:
        return view != nullptr;
    case FindToBox:
        return view && view->textCursor().hasSelection();
    case FindDown:
    case FindUp:
        return view && m_findBar && !m_findBar->text().isEmpty();
    default:
        return std::nullopt;
    }
}

void CMainFrame::runSearchCommand(int command) {
    using namespace EditorCommand;
    CVantorpadView* view = activeView();
    if (!view || !m_findBar)
        return;
    switch (command) {
    case EditFind:
    case EditReplace:
        openSearchDialog(view, command == EditReplace);
        break;
    case FindToBox:
        SearchCombo::record(m_findBar->findBox(), view->textCursor().selectedText());
        break;
    case FindDown:
    case FindUp: {
        m_findBar->findBox()->lineEdit()->selectAll();
        const QString text = m_findBar->text();
        QStringList& history = m_host.settings().SearchHistory;
        history.clear();
        if (text.isEmpty())
            break;
        history.append(text);
        const TextSearch::Options options = m_findBar->options();
        view->FindInView(text, command == FindUp, options.wholeWord, options.matchCase);
        break;
    }
    default:
        break;
    }
}

void CMainFrame::openSearchDialog(CVantorpadView* view, bool replace) {
    const ComboHistory::Seed seed = ComboHistory::seed(
        m_findBar->text(), view->textCursor().selectedText(), m_findBar->items());
    m_host.settings().SearchHistory = seed.history;
    std::unique_ptr<SearchDialogBase> dialog;
    if (replace)
        dialog = std::make_unique<CReplaseDlg>(view, seed.history, seed.preselect, this);
    else
        dialog = std::make_unique<CSearchDlg>(view, seed.history, seed.preselect, this);
    dialog->exec();
    if (dialog->recorded()) {
        m_host.settings().SearchHistory = dialog->history();
        m_findBar->refill(m_host.settings().SearchHistory);
    }
    if (const SearchDialogBase::Search& last = dialog->lastSearch(); !last.text.isEmpty())
        m_findBar->repeatSearch(last.text, last.options);
    refreshCommandStates();
}

void CMainFrame::takeSearchHistory(const QStringList& history) {
    if (m_findBar)
        m_findBar->refill(history);
}

void CMainFrame::searchFailed() {
    QApplication::alert(this, 500);
}

void CMainFrame::storeSearchHistory() {
    if (m_findBar)
        m_host.settings().SearchHistory = m_findBar->items();
}
