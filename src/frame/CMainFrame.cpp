#include "frame/CMainFrame.h"

#include "commands/Command.h"
#include "commands/CommandHelp.h"
#include "doc/CVantorpadDoc.h"
#include "frame/CChildFrame.h"
#include "frame/FrameHost.h"
#include "frame/MenuBarKeys.h"
#include "frame/ProgramFileDialogs.h"
#include "platform/Prompt.h"
#include "platform/ScopedOverride.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "settings/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

CMainFrame::CMainFrame(FrameHost& host) : m_host(host) {
    setWindowTitle(QStringLiteral("Vantorpad"));
}

CMainFrame::~CMainFrame() {
    // Child windows go with the MDI area; their going must not switch menus of a window that
    // is being destroyed.
    if (m_mdi)
        m_mdi->disconnect(this);
}

bool CMainFrame::create() {
    m_mdi = new QMdiArea(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    createActions();
    createBars();
    createFindBar();
    m_menus.insert(MainMenu, buildMenus(MainMenu));
    m_menus.insert(DocumentMenu, buildMenus(DocumentMenu));
    showMenu(MainMenu);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* child) {
        showMenu(child ? DocumentMenu : MainMenu);
        refreshCommandStates();
        checkActiveDiskFile();
    });
    // Coming back from the program that changed a file is the moment to ask about it.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    checkActiveDiskFile();
            });
    new MenuBarKeys(this);
    // The idle text comes back whenever a menu item's tip or a passing message has gone.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->showMessage(QStringLiteral("レディ"));
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &CMainFrame::refreshCommandStates);
    statusBar()->showMessage(QStringLiteral("レディ"));
    restoreBarLayout();
    refreshCommandStates();
    return true;
}

QMdiSubWindow* CMainFrame::activeChild() const {
    return m_mdi ? m_mdi->activeSubWindow() : nullptr;
}

QAction* CMainFrame::addCommand(int command, const QString& text, QKeySequence shortcut) {
    auto* action = new QAction(text, this);
    action->setData(command);
    action->setStatusTip(commandHelp(command));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    m_actions.insert(command, action);
    return action;
}

void CMainFrame::createActions() {
    auto wire = [this](int command, const QString& text, auto handler, QKeySequence keys = {}) {
        QAction* a = addCommand(command, text, keys);
        connect(a, &QAction::triggered, this, [this, handler] {
            handler();
            refreshCommandStates();
        });
    };
    auto application = [this](int command) {
        return [this, command] { m_host.runCommand(command); };
    };
    wire(CmdAppAbout, QStringLiteral("バージョン情報 Vantorpad(&A)..."), application(CmdAppAbout));
    wire(CmdFilePageSetup, QStringLiteral("プリンタの設定(&R)..."), [this] {
        // With an editor active its page setup runs, else the application's.
        if (!activeView() || !runViewCommand(CmdFilePageSetup))
            m_host.runCommand(CmdFilePageSetup);
    });
    wire(CmdOptions, QStringLiteral("オプション設定(&O)"), application(CmdOptions));
    wire(CmdKeywordSettings, QStringLiteral("ｷｰﾜｰﾄﾞ設定(&K)"), application(CmdKeywordSettings));
    wire(CmdFileNew, QStringLiteral("新規作成(&N)\tCtrl+N"), application(CmdFileNew),
         QKeySequence(Qt::CTRL | Qt::Key_N));
    wire(CmdFileOpen, QStringLiteral("ｸﾗｲｱﾝﾄﾌｧｲﾙを開く(&O)\tCtrl+O"), application(CmdFileOpen),
         QKeySequence(Qt::CTRL | Qt::Key_O));
    wire(CmdOpenServerFile, QStringLiteral("ｻｰﾊﾞﾌｧｲﾙを開く(&S)\tCtrl+S"),
         application(CmdOpenServerFile), QKeySequence(Qt::CTRL | Qt::Key_S));
    wire(CmdInsertFile, QStringLiteral("ｶｰｿﾙ位置に読込む(&I)"), application(CmdInsertFile));
    wire(CmdFtpTransfer, QStringLiteral("FTP転送(&F)\tAlt+F"), application(CmdFtpTransfer),
         QKeySequence(Qt::ALT | Qt::Key_F));
    wire(CmdAppExit, QStringLiteral("アプリケーションの終了(&X)"), [this] { close(); });
    createDocumentActions();
    createEditWindowActions();
    createViewActions();
    createSearchActions();
}

QList<QMenu*> CMainFrame::buildMenus(MenuId id) {
    // No mnemonic marker: Alt+F is the transfer command's (see MenuBarKeys).
    auto* file = new QMenu(QStringLiteral("ファイル(F)"), this);
    file->addAction(action(CmdFileNew));
    file->addAction(action(CmdFileOpen));
    file->addAction(action(CmdOpenServerFile));
    if (id == DocumentMenu) {
        file->addAction(action(CmdInsertFile));
        addDocumentFileItems(file);
    }
    file->addSeparator();
    file->addAction(action(CmdFtpTransfer));
    file->addSeparator();
    file->addAction(action(CmdFilePageSetup));
    addRecentFileItems(file);
    file->addSeparator();
    file->addAction(action(CmdAppExit));

    auto* tools = new QMenu(QStringLiteral("ツール(&T)"), this);
    tools->addAction(action(CmdOptions));
    tools->addAction(action(CmdKeywordSettings));
    if (id == DocumentMenu)
        addDocumentToolItems(tools);

    auto* help = new QMenu(QStringLiteral("ヘルプ(&H)"), this);
    help->addAction(action(CmdHelp));
    help->addSeparator();
    help->addAction(action(CmdAppAbout));

    QList<QMenu*> menus{file};
    if (id == DocumentMenu)
        menus.append(buildEditMenu());
    menus.append(buildViewMenu());
    menus.append(tools);
    if (id == DocumentMenu)
        menus.append(buildWindowMenu());
    menus.append(help);
    for (QMenu* menu : menus)
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::refreshCommandStates);
    return menus;
}

void CMainFrame::showMenu(MenuId id) {
    if (m_shownMenu == id)
        return;
    menuBar()->clear();
    for (QMenu* menu : m_menus.value(id))
        menuBar()->addMenu(menu);
    m_shownMenu = id;
}

bool CMainFrame::triggerCommand(int command) {
    QAction* a = action(command);
    if (!a)
        return false;
    refreshCommandStates();
    if (!a->isEnabled())
        return false;
    a->trigger();
    return true;
}

void CMainFrame::refreshCommandStates() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(isCommandEnabled(it.key()));
    refreshCheckMarks();
}

void CMainFrame::storePlacement() {
    AppSettings& s = m_host.settings();
    s.Show = isMaximized() ? ShowMaximized : isMinimized() ? ShowMinimized : ShowNormal;
    QRect r = normalGeometry().isValid() ? normalGeometry() : geometry();
    s.Left = r.left();
    s.Top = r.top();
    s.Right = r.left() + r.width();
    s.Bottom = r.top() + r.height();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    storePlacement();
    m_host.barLayout() = barState();
    storeSearchHistory();
    if (!letGoOfUnsentTexts()) {
        event->ignore();
        return;
    }
    // One by one, stopping at the first window that stays open (the user cancelled or its save
    // failed): the program keeps running and the other documents are not asked about.
    for (QMdiSubWindow* child : m_mdi->subWindowList()) {
        if (!child->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

bool CMainFrame::letGoOfUnsentTexts() {
    QStringList unsent;
    for (CChildFrame* child : childFrames()) {
        const CVantorpadDoc* document = child->document();
        if (document->serverFile() && document->serverCopyPending())
            unsent.append(QStringLiteral("・ｻｰﾊﾞ(%1) %2\n　（%3）")
                              .arg(document->profile().Server, document->fileName(),
                                   QDir::toNativeSeparators(document->pathName())));
    }
    if (unsent.isEmpty())
        return true;
    // Each window still offers to send its text again; this says first what is at stake.
    return Prompt::question(QStringLiteral("次のファイルはサーバへの保存が完了していません。\n"
                                           "テキストは（　）内のファイルに残っています。\n\n%1"
                                           "\n\n終了処理を続けますか？")
                                .arg(unsent.join(u'\n'))) == PromptAnswer::Yes;
}

void CMainFrame::checkActiveDiskFile() {
    // After the activation has run its course: the question is a window of its own.
    QTimer::singleShot(0, this, [document = QPointer<CVantorpadDoc>(activeDocument())] {
        if (document)
            document->checkDiskFile();
    });
}
