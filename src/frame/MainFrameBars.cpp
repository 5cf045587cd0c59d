// The main window's bars: the main toolbar in two sizes, the status bar refreshed on idle, the
// window switch bar, the "表示" menu, the bar layout kept between runs, dropped files and help.
#include "frame/CMainFrame.h"

#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "editor/EditorViewMenu.h"
#include "frame/CChildFrame.h"
#include "frame/FindBar.h"
#include "frame/FrameHost.h"
#include "frame/HelpFile.h"
#include "frame/KeyboardLocks.h"
#include "frame/MainStatusBar.h"
#include "frame/MainToolBar.h"
#include "frame/WindowSwitchBar.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QResizeEvent>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The lock keys are asked of the window system at most this often; everything else of the
// status bar is read on every idle cycle.
constexpr int LockReadIntervalMs = 100;

KeyboardLocks cachedLocks() {
    static QElapsedTimer lastRead;
    static KeyboardLocks locks;
    if (!lastRead.isValid() || lastRead.elapsed() >= LockReadIntervalMs) {
        locks = KeyboardLocks::read();
        lastRead.restart();
    }
    return locks;
}

QList<QString> droppedFiles(const QMimeData* data) {
    QList<QString> files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

} // namespace

void CMainFrame::createBars() {
    m_toolBar = new MainToolBar([this](int id) { return action(id); },
                                m_host.settings().ToolBar == 1, this);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);
    if (m_host.settings().WindBar) {
        auto* centre = new QWidget(this);
        auto* layout = new QVBoxLayout(centre);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        m_mdi->setParent(centre);
        layout->addWidget(m_mdi, 1);
        m_switchBar = new WindowSwitchBar(m_mdi, centre);
        layout->addWidget(m_switchBar);
        setCentralWidget(centre);
        connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::syncSwitchBar);
    }
    setAcceptDrops(true);
    // The platform's idle cycle: the moment the event loop has nothing more to do.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CMainFrame::refreshStatus);
}

void CMainFrame::createViewActions() {
    auto checkable = [this](int command, const QString& text, auto handler) {
        QAction* a = addCommand(command, text);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, handler] {
            handler();
            refreshCommandStates();
        });
    };
    checkable(CmdViewToolbar, QStringLiteral("ツール バー(&T)"),
              [this] { m_toolBar->setVisible(!m_toolBar->isVisible()); });
    checkable(CmdViewStatusBar, QStringLiteral("ステータス バー(&S)"),
              [this] { m_statusBar->setVisible(!m_statusBar->isVisible()); });
    checkable(CmdToolbarSize, QStringLiteral("ﾎﾞﾀﾝの文字列(&B)"), [this] {
        m_host.settings().ToolBar = m_host.settings().ToolBar == 1 ? 0 : 1;
        m_toolBar->setLarge(m_host.settings().ToolBar == 1);
        fitFindBarBesideToolBar();
    });
    checkable(CmdFindBox, QStringLiteral("検索BOX(&F)"), [this] {
        if (QToolBar* bar = findBar())
            setFindBarVisible(!bar->isVisible());
    });
    QAction* help = addCommand(CmdHelp, QStringLiteral("ヘルプ(&H)"));
    connect(help, &QAction::triggered, this, &CMainFrame::OnHelp);
}

QMenu* CMainFrame::buildViewMenu() {
    auto* view = new QMenu(QStringLiteral("表示(&V)"), this);
    for (int id : {CmdViewToolbar, CmdViewStatusBar})
        view->addAction(action(id));
    view->addSeparator();
    for (int id : {CmdToolbarSize, CmdFindBox})
        view->addAction(action(id));
    addEditorViewItems(
        view, m_host.settings(), [this] { return activeView(); },
        [this] {
            QList<CVantorpadView*> views;
            for (CChildFrame* child : childFrames())
                views.append(child->view());
            return views;
        });
    return view;
}

void CMainFrame::setFindBarVisible(bool visible) {
    m_host.settings().FindBox = visible ? 1 : 0;
    if (QToolBar* bar = findBar())
        bar->setVisible(visible);
}

void CMainFrame::restoreBarLayout() {
    // However the find bar comes to show or hide (its command, its close box while it floats,
    // a restored layout), the setting records it.
    if (QToolBar* bar = findBar())
        connect(bar, &QToolBar::visibilityChanged, this, [this](bool visible) {
            m_host.settings().FindBox = visible ? 1 : 0;
            refreshCheckMarks();
            fitFindBarBesideToolBar();
        });
    if (!m_host.barLayout().isEmpty() && restoreState(m_host.barLayout())) {
        fitFindBarBesideToolBar();
        return;
    }
    // No layout of this screen, or a damaged one: the default layout, the find bar as last
    // recorded.
    m_host.barLayout().clear();
    setFindBarVisible(m_host.settings().FindBox != 0);
    fitFindBarBesideToolBar();
}

// Docked on the same side as the toolbar, the find bar stands to its right on the same row
// when both fit the window's width, else at the start of the next row (side by side, both
// would be cut short). Asked again whenever the buttons, the window's width or the find
// bar's visibility change.
void CMainFrame::fitFindBarBesideToolBar() {
    QToolBar* bar = findBar();
    if (!bar || !m_toolBar || bar->isHidden() || m_toolBar->isHidden())
        return;
    const Qt::ToolBarArea area = toolBarArea(m_toolBar);
    if (toolBarArea(bar) != area || (area != Qt::TopToolBarArea && area != Qt::BottomToolBarArea))
        return;
    const bool fits = m_toolBar->sizeHint().width() + bar->sizeHint().width() <= width();
    if (toolBarBreak(bar) == !fits)
        return;
    if (fits)
        removeToolBarBreak(bar);
    else
        insertToolBarBreak(bar);
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (event->oldSize().width() != event->size().width())
        fitFindBarBesideToolBar();
}

QByteArray CMainFrame::barState() const {
    return saveState();
}

void CMainFrame::refreshCheckMarks() {
    auto mark = [this](int command, bool on) {
        if (QAction* a = action(command))
            a->setChecked(on);
    };
    mark(CmdViewToolbar, m_toolBar && !m_toolBar->isHidden());
    mark(CmdViewStatusBar, m_statusBar && !m_statusBar->isHidden());
    mark(CmdToolbarSize, m_host.settings().ToolBar == 1);
    const QToolBar* bar = findBar();
    mark(CmdFindBox, bar && !bar->isHidden());
}

void CMainFrame::syncSwitchBar() {
    if (m_switchBar)
        m_switchBar->SyncTabs();
}

void CMainFrame::refreshStatus() {
    if (!m_statusBar || m_statusBar->isHidden())
        return;
    StatusSnapshot s;
    if (CChildFrame* child = activeChildFrame()) {
        const CVantorpadDoc* document = child->document();
        s.hasDocument = true;
        s.server = document->profile().Server;
        s.directory = document->profile().Dir;
        s.readOnly = document->readOnly();
        s.modified = document->isModified();
        s.insertMode = document->insertMode();
        if (const CVantorpadView* view = child->view()) {
            s.hasView = true;
            s.caretLine = view->caretLine();
            s.lineCount = view->lineCount();
        }
    }
    const KeyboardLocks locks = cachedLocks();
    s.capsLock = locks.capsLock;
    s.numLock = locks.numLock;
    m_statusBar->show(statusTextsFor(s));
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QString> files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // In drop order; a file that cannot be opened has said so and the others still open.
    for (const QString& path : files)
        (void)openTextDocument(path, defaultProfile(), false, false);
    refreshCommandStates();
}

void CMainFrame::OnHelp() {
    const QString page =
        HelpFile::locate(QCoreApplication::applicationDirPath(), m_host.startDir());
    if (page.isEmpty()) {
        Prompt::error(HelpFile::failureMessage(
            HelpFile::candidates(QCoreApplication::applicationDirPath(), m_host.startDir()).first(),
            HelpFile::NotFoundCode));
        return;
    }
    if (!m_host.openHelp(QUrl::fromLocalFile(page)))
        Prompt::error(HelpFile::failureMessage(page, HelpFile::NoViewerCode));
}
