// Every key a window claims, walked over every menu and dialog of the program: no key or
// mnemonic may be claimed twice within one window, and the keys that were once ambiguous work.
#include "AppHarness.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CAboutDlg.h"
#include "frame/CMainFrame.h"
#include "ftp/CFtpClient.h"
#include "options/COptionDlg.h"
#include "transfer/CFtpDlg.h"
#include "transfer/CProgressDlg.h"
#include "transfer/CSaveSv.h"
#include "transfer/CServerDir.h"
#include "transfer/CServerTree.h"
#include "transfer/CSvMakeDir.h"
#include "transfer/CSvRename.h"
#include "transfer/ServerDialogContext.h"
#include "widgets/FixedPitchFontDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// One claim on a key: who claims it and where it holds (nullptr: the whole window).
struct Claim {
    QKeySequence key;
    QString owner;
    const QWidget* scope;
};

void addActionClaims(QAction* action, QList<Claim>& claims) {
    const bool local = action->shortcutContext() == Qt::WidgetShortcut ||
                       action->shortcutContext() == Qt::WidgetWithChildrenShortcut;
    const QObjectList owners = action->associatedObjects();
    const QWidget* scope =
        local && !owners.isEmpty() ? qobject_cast<QWidget*>(owners.front()) : nullptr;
    for (const QKeySequence& key : action->shortcuts())
        claims.append({key, action->text(), scope});
}

void addMnemonic(const QString& text, const QWidget* widget, QList<Claim>& claims) {
    const QKeySequence key = QKeySequence::mnemonic(text);
    if (!key.isEmpty() && widget->isVisibleTo(widget->window()))
        claims.append({key, text, nullptr});
}

// The keys of a window: its actions' shortcuts, its QShortcuts, the mnemonics of its menu bar,
// buttons, labels with a buddy, group boxes and tabs.
QList<Claim> windowClaims(QWidget* window) {
    QList<Claim> claims;
    QSet<QAction*> actions;
    for (QAction* a : window->findChildren<QAction*>())
        actions.insert(a);
    for (QWidget* w : window->findChildren<QWidget*>())
        for (QAction* a : w->actions())
            actions.insert(a);
    for (QAction* a : actions)
        addActionClaims(a, claims);
    for (QShortcut* s : window->findChildren<QShortcut*>()) {
        const bool local =
            s->context() == Qt::WidgetShortcut || s->context() == Qt::WidgetWithChildrenShortcut;
        claims.append({s->key(), s->parent()->objectName(),
                       local ? qobject_cast<QWidget*>(s->parent()) : nullptr});
    }
    if (auto* main = qobject_cast<QMainWindow*>(window))
        for (QAction* title : main->menuBar()->actions())
            if (!title->isSeparator())
                claims.append({QKeySequence::mnemonic(title->text()), title->text(), nullptr});
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        addMnemonic(b->text(), b, claims);
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->buddy())
            addMnemonic(l->text(), l, claims);
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
        addMnemonic(g->title(), g, claims);
    for (QTabBar* t : window->findChildren<QTabBar*>())
        for (int i = 0; i < t->count(); ++i)
            addMnemonic(t->tabText(i), t, claims);
    return claims;
}

QStringList keyClashes(QWidget* window) {
    const QList<Claim> claims = windowClaims(window);
    QStringList clashes;
    for (qsizetype i = 0; i < claims.size(); ++i)
        for (qsizetype j = i + 1; j < claims.size(); ++j) {
            const Claim& a = claims[i];
            const Claim& b = claims[j];
            const bool overlap = !a.scope || !b.scope || a.scope == b.scope;
            if (!a.key.isEmpty() && a.key == b.key && overlap)
                clashes.append(
                    QStringLiteral("%1: %2 / %3").arg(a.key.toString(), a.owner, b.owner));
        }
    return clashes;
}

// The File menu's own fixed texts share "&R" ("再読込(&R)", "プリンタの設定(&R)..."): there the
// letter moves between the two items and Enter runs the one it stands on, as menus do with a
// shared letter. No other pair may share one.
bool isFixedPair(const QString& a, const QString& b) {
    const QStringList fixed = {QStringLiteral("再読込(&R)"),
                               QStringLiteral("プリンタの設定(&R)...")};
    return fixed.contains(a) && fixed.contains(b);
}

// Within one popup menu, a letter opens one item.
QStringList menuClashes(const QMenu* menu) {
    QStringList clashes;
    QHash<QKeySequence, QString> seen;
    for (QAction* a : menu->actions()) {
        const QKeySequence key = QKeySequence::mnemonic(a->text());
        if (a->isSeparator() || !a->isVisible() || key.isEmpty())
            continue;
        if (seen.contains(key) && !isFixedPair(seen[key], a->text()))
            clashes.append(QStringLiteral("%1: %2 / %3").arg(menu->title(), seen[key], a->text()));
        seen.insert(key, a->text());
        if (a->menu())
            clashes += menuClashes(a->menu());
    }
    return clashes;
}

// The clashes, one a line ("" when there are none).
std::string allClashes(QWidget* window) {
    QStringList clashes = keyClashes(window);
    for (const QMenu* menu : window->findChildren<QMenu*>())
        clashes += menuClashes(menu);
    return clashes.join(u'\n').toStdString();
}

const QByteArray CompleteProfile = "[Server]\r\nFtpUse=1\r\nDefaultDisp=0\r\n"
                                   "[Server00]\r\nServer=127.0.0.1\r\nUser=u\r\nPasswd=p\r\n"
                                   "Dir=/\r\nSpecial=1\r\nPort=1\r\n";

} // namespace

TEST(Keyboard, NoWindowClaimsAKeyOrMnemonicTwice) {
    ScriptedPrompt prompt;
    AppHarness h(CompleteProfile);
    CMainFrame& frame = h.frame();
    CVantorpadApp& app = h.app();
    const QList<Claim> claims = windowClaims(&frame);
    ASSERT_TRUE(std::any_of(claims.begin(), claims.end(), [](const Claim& c) {
        return c.key == QKeySequence(Qt::ALT | Qt::Key_F);
    })) << "the walk must see the frame's keys";

    // The server tree's client outlives the windows.
    const std::unique_ptr<CFtpClient> client =
        CFtpClient::create(app.settings.Network, false, app.currentProfile(), app.serverTrust());
    std::vector<std::pair<QString, std::unique_ptr<QWidget>>> windows;
    auto add = [&windows](const char* name, QWidget* w) {
        windows.emplace_back(QString::fromUtf8(name), std::unique_ptr<QWidget>(w));
    };
    EXPECT_EQ(allClashes(&frame), "") << "main window, no document";
    app.OnFileNew();
    // A '&' in a file name is shown as it is: no access key in the window switch bar's tab.
    frame.activeDocument()->setTitle(QStringLiteral("r&d.txt"));
    EXPECT_EQ(allClashes(&frame), "") << "main window with a document";
    add("editor menu", frame.activeView()->createContextMenu());

    ASSERT_TRUE(frame.triggerCommand(CmdFtpTransfer));
    ServerDialogContext context{app.settings, app.currentServer, false, app.serverListOrder,
                                app.serverTrust()};
    add("open from server", new CServerDir(context, CServerDir::OpenMode, &frame));
    add("save to server", new CServerDir(context, CServerDir::SaveMode, &frame));
    add("options", new COptionDlg(app.settings, false, app.serverTrust(), &frame));
    add("make directory", new CSvMakeDir({}, &frame));
    add("rename", new CSvRename(QStringLiteral("a.txt"), &frame));
    add("save confirmation",
        new CSaveSv(context, app.currentProfile(), QStringLiteral("a.txt"), &frame));
    add("server tree", new CServerTree(*client, QStringLiteral("/"), 1, false, &frame));
    add("progress", new CProgressDlg(&frame));
    add("about", new CAboutDlg(&frame));
    add("font", new FixedPitchFontDialog(FontChoice{}, &frame));
    EXPECT_EQ(allClashes(app.transferWindow), "") << "transfer window";
    auto* transfer = static_cast<CFtpDlg*>(app.transferWindow.data());
    for (CFtpDlg::Pane pane : {CFtpDlg::ServerPane, CFtpDlg::PcPane})
        add("transfer pane menu", transfer->contextMenu(pane));
    for (const auto& [name, window] : windows)
        EXPECT_EQ(allClashes(window.get()), "") << name.toStdString();
}

TEST(Keyboard, AltFOpensTheTransferWindowWhileF10AndTheMenuBarReachTheFileMenu) {
    ScriptedPrompt prompt;
    AppHarness h(CompleteProfile);
    CMainFrame& frame = h.frame();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    QTest::keyClick(&frame, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(h.app().transferWindow);
    EXPECT_TRUE(h.app().transferWindow->isVisible());
    h.app().transferWindow->hide();

    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_F10);
    QAction* open = frame.menuBar()->activeAction();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open, frame.menuBar()->actions().front());
    EXPECT_TRUE(open->menu()->isVisible());
    open->menu()->close();

    // Menu-bar navigation (Alt released hands the bar the keyboard): the title's letter opens it.
    frame.menuBar()->setActiveAction(nullptr);
    frame.menuBar()->setFocus();
    QTest::keyClick(frame.menuBar(), Qt::Key_F);
    ASSERT_EQ(frame.menuBar()->activeAction(), frame.menuBar()->actions().front());
    EXPECT_TRUE(frame.menuBar()->activeAction()->menu()->isVisible());
    frame.menuBar()->activeAction()->menu()->close();
}
