#include "AppHarness.h"
#include "ScriptedPrompt.h"
#include "settings/ServerProfile.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/BarLayout.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "frame/FindBar.h"
#include "frame/MainStatusBar.h"
#include "frame/MainToolBar.h"
#include "frame/WindowSwitchBar.h"
#include "platform/IniFile.h"
#include "platform/ScopedOverride.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QEnterEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QStringList tabTexts(const WindowSwitchBar* bar) {
    QStringList texts;
    for (int i = 0; i < bar->count(); ++i)
        texts.append(bar->tabText(i));
    return texts;
}

QStringList names(std::initializer_list<const char*> list) {
    QStringList texts;
    for (const char* name : list)
        texts.append(QString::fromUtf8(name));
    return texts;
}

void dropFiles(QWidget* target, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    // As the desktop delivers a drop: the window is entered first, then dropped on.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace

TEST(MainStatusBar, PanesFollowTheActiveDocument) {
    ScriptedPrompt prompt;
    AppHarness h;
    CMainFrame& frame = h.frame();
    frame.refreshStatus();
    StatusTexts none = frame.mainStatusBar()->shown();
    EXPECT_EQ(none.server, QString());
    EXPECT_EQ(none.modified, QString());
    EXPECT_EQ(none.line, QStringLiteral("xxxx/xxxx"));
    EXPECT_EQ(none.overwrite, QStringLiteral("挿入"));

    h.dir().write(QStringLiteral("pc/a.txt"), "one\ntwo\nthree");
    ServerProfile profile;
    profile.Server = QStringLiteral("ftp.example.jp");
    profile.Dir = QStringLiteral("/www/htdocs");
    ASSERT_TRUE(h.app().OpenTextDocument(h.pcFile(QStringLiteral("a.txt")), profile, false, true));
    CChildFrame* readOnly = frame.activeChildFrame();
    ASSERT_TRUE(frame.triggerCommand(CmdFileNew));
    CChildFrame* fresh = frame.activeChildFrame();

    struct Step {
        CChildFrame* window;
        const char* typed;
        bool toggleInsert;
        QString line, modified, overwrite;
    };
    const Step steps[] = {
        {fresh, "", false, QStringLiteral("   1/   1"), QStringLiteral("　　"),
         QStringLiteral("挿入")},
        {fresh, "xy", true, QStringLiteral("   2/   2"), QStringLiteral("変更"),
         QStringLiteral("上書")},
        // Each document keeps its own insert mode; read-only wins over modified.
        {readOnly, "", false, QStringLiteral("   1/   3"), QStringLiteral("読取"),
         QStringLiteral("挿入")},
        {fresh, "", false, QStringLiteral("   2/   2"), QStringLiteral("変更"),
         QStringLiteral("上書")},
    };
    for (const Step& step : steps) {
        frame.mdiArea()->setActiveSubWindow(step.window);
        if (*step.typed) {
            QTest::keyClicks(step.window->view(), QString::fromLatin1(step.typed));
            QTest::keyClick(step.window->view(), Qt::Key_Return);
        }
        if (step.toggleInsert)
            QTest::keyClick(step.window->view(), Qt::Key_Insert);
        frame.refreshStatus();
        const StatusTexts& shown = frame.mainStatusBar()->shown();
        EXPECT_EQ(shown.line, step.line);
        EXPECT_EQ(shown.modified, step.modified);
        EXPECT_EQ(shown.overwrite, step.overwrite);
        EXPECT_EQ(shown.server, step.window == readOnly ? profile.Server : QString());
        EXPECT_EQ(shown.directory, step.window == readOnly ? profile.Dir : QString());
    }
    fresh->document()->setModified(false);

    // Five digits widen the line pane rather than being cut short.
    h.dir().write(QStringLiteral("pc/long.txt"), QByteArray("x\n").repeated(12344) + "x");
    ASSERT_TRUE(h.app().OpenTextDocument(h.pcFile(QStringLiteral("long.txt")), {}, false, false));
    frame.refreshStatus();
    QStringList panes;
    for (const QLabel* pane : frame.mainStatusBar()->findChildren<QLabel*>())
        panes.append(pane->text());
    EXPECT_TRUE(panes.contains(QStringLiteral("   1/12345"))) << panes.join(u'|').toStdString();
}

TEST(MainStatusBar, MenuItemsAndToolbarButtonsShowTheirHelpInTheMessagePane) {
    ScriptedPrompt prompt;
    AppHarness h;
    CMainFrame& frame = h.frame();
    ASSERT_TRUE(frame.triggerCommand(CmdFileNew));
    frame.activeView()->setText(QStringLiteral("text"));
    frame.activeView()->selectAll();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QStatusBar* status = frame.statusBar();
    int seen = 0;
    auto hoverItems = [&](QMenu* menu) {
        for (QAction* item : menu->actions()) {
            if (item->isSeparator() || item->menu() || !item->isVisible() || !item->isEnabled())
                continue;
            menu->setActiveAction(item);
            EXPECT_FALSE(item->statusTip().isEmpty()) << item->text().toStdString();
            EXPECT_EQ(status->currentMessage(), item->statusTip()) << item->text().toStdString();
            ++seen;
        }
    };
    for (QAction* title : frame.menuBar()->actions()) {
        frame.menuBar()->setActiveAction(title);
        hoverItems(title->menu());
        title->menu()->close();
    }
    QMenu* context = frame.activeView()->createContextMenu();
    context->popup(frame.geometry().center());
    hoverItems(context);
    for (QMenu* sub : context->findChildren<QMenu*>()) {
        context->setActiveAction(sub->menuAction());
        QApplication::processEvents();
        hoverItems(sub);
    }
    context->close();
    delete context;
    EXPECT_GT(seen, 40);
    EXPECT_EQ(status->currentMessage(), QStringLiteral("レディ"));

    for (QToolBar* bar :
         {static_cast<QToolBar*>(frame.mainToolBar()), static_cast<QToolBar*>(frame.findBar())}) {
        for (QToolButton* button : bar->findChildren<QToolButton*>()) {
            if (!button->defaultAction() || !button->isVisible())
                continue;
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(button, &enter);
            EXPECT_FALSE(status->currentMessage().isEmpty() ||
                         status->currentMessage() == QStringLiteral("レディ"))
                << button->defaultAction()->text().toStdString();
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(button, &leave);
            EXPECT_EQ(status->currentMessage(), QStringLiteral("レディ"));
        }
    }
}

TEST(MainToolBar, SizeSwitchKeepsTheDockSideAndTheSettingSurvivesARestart) {
    ScriptedPrompt prompt;
    QByteArray savedIni;
    {
        AppHarness h;
        CMainFrame& frame = h.frame();
        MainToolBar* bar = frame.mainToolBar();
        EXPECT_TRUE(bar->isLarge()) << "large buttons by default";
        EXPECT_TRUE(frame.action(CmdToolbarSize)->isChecked());
        frame.addToolBar(Qt::LeftToolBarArea, bar);
        ASSERT_TRUE(frame.triggerCommand(CmdToolbarSize));
        EXPECT_FALSE(bar->isLarge());
        EXPECT_FALSE(frame.action(CmdToolbarSize)->isChecked());
        EXPECT_EQ(frame.toolBarArea(bar), Qt::LeftToolBarArea);
        ASSERT_TRUE(frame.triggerCommand(CmdViewStatusBar));
        EXPECT_TRUE(frame.mainStatusBar()->isHidden());
        ASSERT_TRUE(frame.action(CmdFindBox)->isChecked());
        ASSERT_TRUE(frame.triggerCommand(CmdFindBox));
        EXPECT_TRUE(frame.findBar()->isHidden());
        EXPECT_EQ(h.app().settings.FindBox, 0);
        // Shown again by other means (its own toggle), the setting follows.
        frame.findBar()->toggleViewAction()->trigger();
        EXPECT_EQ(h.app().settings.FindBox, 1);
        frame.findBar()->toggleViewAction()->trigger();
        EXPECT_EQ(h.app().settings.FindBox, 0);
        frame.close();
        EXPECT_EQ(h.app().ExitInstance(), 0);
        savedIni = h.dir().read(QStringLiteral("Vantorpad.ini"));
    }
    EXPECT_TRUE(savedIni.contains("[General]"));
    AppHarness again(savedIni);
    EXPECT_FALSE(again.frame().mainToolBar()->isLarge());
    EXPECT_EQ(again.frame().toolBarArea(again.frame().mainToolBar()), Qt::LeftToolBarArea);
    EXPECT_TRUE(again.frame().findBar()->isHidden());
    EXPECT_FALSE(again.frame().action(CmdFindBox)->isChecked());
}

TEST(MainToolBar, TheFindBarSharesTheToolbarsRowWhenBothFit) {
    ScriptedPrompt prompt;
    AppHarness h;
    CMainFrame& frame = h.frame();
    MainToolBar* toolBar = frame.mainToolBar();
    FindBar* findBar = frame.findBar();
    frame.resize(1200, 500);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    ASSERT_TRUE(toolBar->isLarge());
    const int both = toolBar->sizeHint().width() + findBar->sizeHint().width();
    const struct Step {
        bool large;
        int width;
        bool sameRow;
    } steps[] = {
        {false, 1200, true}, {false, 300, false}, {true, 1200, both <= 1200}, {false, 1200, true}};
    for (const Step& step : steps) {
        if (toolBar->isLarge() != step.large) {
            ASSERT_TRUE(frame.triggerCommand(CmdToolbarSize));
        }
        frame.resize(step.width, 500);
        QApplication::processEvents();
        EXPECT_EQ(findBar->y() == toolBar->y(), step.sameRow) << step.large << " " << step.width;
        EXPECT_EQ(frame.toolBarBreak(findBar), !step.sameRow) << step.large << " " << step.width;
    }
}

TEST(BarLayout, DamagedOrForeignLayoutsAreIgnored) {
    const QByteArray state(700, '\x07'); // longer than one INI value
    IniFile ini;
    BarLayout::store(ini, state, QSize(1280, 900));
    EXPECT_EQ(BarLayout::load(ini, QSize(1280, 900)).value_or(QByteArray()), state);
    EXPECT_FALSE(BarLayout::load(ini, QSize(1920, 1080))) << "made on another screen";

    const struct {
        const char* key;
        const char* value;
    } damage[] = {{"State1", ""}, {"State0", "!!not base64!!"}, {"Parts", "9999"}};
    for (const auto& d : damage) {
        IniFile damaged;
        BarLayout::store(damaged, state, QSize(1280, 900));
        ASSERT_TRUE(damaged.writeString("General", d.key, d.value).ok());
        EXPECT_FALSE(BarLayout::load(damaged, QSize(1280, 900))) << d.key;
    }

    // A frame given a layout its own code cannot read keeps the default one.
    ScriptedPrompt prompt;
    QSize screen = QGuiApplication::primaryScreen()->size();
    IniFile junk;
    BarLayout::store(junk, QByteArray(300, 'j'), screen);
    AppHarness h(junk.contents());
    EXPECT_EQ(h.frame().toolBarArea(h.frame().mainToolBar()), Qt::TopToolBarArea);
    EXPECT_FALSE(h.frame().mainToolBar()->isHidden());
}

TEST(WindowSwitchBar, TabsKeepTheirOrderAndFollowTitles) {
    ScriptedPrompt prompt;
    AppHarness h;
    CMainFrame& frame = h.frame();
    WindowSwitchBar* bar = frame.switchBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isHidden()) << "no window, no strip";
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        h.dir().write(QStringLiteral("pc/") + QLatin1String(name), name);
        ASSERT_TRUE(h.app().OpenTextDocument(h.pcFile(QLatin1String(name)), {}, false, false));
    }
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(tabTexts(bar), names({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(bar->currentIndex(), 2);

    // A click brings its window to the front; the Window menu's choice selects its tab.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(frame.activeChildFrame()->document()->title(), QStringLiteral("a.txt"));
    frame.mdiArea()->setActiveSubWindow(frame.childFrames()[1]);
    EXPECT_EQ(bar->currentIndex(), 1);

    frame.childFrames()[1]->close();
    QApplication::processEvents();
    EXPECT_EQ(tabTexts(bar), names({"a.txt", "c.txt"}));
    frame.childFrames()[0]->document()->setTitle(QStringLiteral("renamed.txt"));
    EXPECT_EQ(tabTexts(bar), names({"renamed.txt", "c.txt"}));
    ASSERT_TRUE(frame.triggerCommand(CmdFileNew));
    EXPECT_EQ(tabTexts(bar).last(), QStringLiteral("新規"));

    QTest::mouseDClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_TRUE(frame.childFrames()[1]->isMaximized());
}

TEST(MainFrame, DroppedFilesOpenInOrderAndABadOneDoesNotStopTheRest) {
    ScriptedPrompt prompt;
    AppHarness h;
    const QString first = h.dir().write(QStringLiteral("pc/1.txt"), "1");
    const QString second = h.dir().write(QStringLiteral("pc/2.txt"), "2");
    const QString third = h.dir().write(QStringLiteral("pc/3.txt"), "3");
    // Dropped on an editor, files are not text to insert: the main window opens them.
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileNew));
    CVantorpadView* editor = h.frame().activeView();
    dropFiles(editor->viewport(),
              {first, h.pcDir(), second, h.pcFile(QStringLiteral("gone.txt")), third});
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    QStringList titles;
    for (CChildFrame* child : h.frame().childFrames().mid(1)) {
        titles.append(child->document()->title());
        EXPECT_FALSE(child->document()->serverFile());
        EXPECT_FALSE(child->document()->readOnly());
    }
    EXPECT_EQ(titles, names({"1.txt", "2.txt", "3.txt"}));
    EXPECT_EQ(prompt.shown().size(), 2) << prompt.texts().join(u'\n').toStdString();
}

TEST(MainFrame, HelpOpensThePageOrSaysWhyNot) {
    ScriptedPrompt prompt;
    AppHarness h;
    QList<QUrl> opened;
    bool viewerWorks = true;
    const ScopedOverride viewer(h.app().hooks().openHelp, [&](const QUrl& url) {
        opened.append(url);
        return viewerWorks;
    });
    QDir(h.dir().path()).mkpath(QStringLiteral("help"));
    h.dir().write(QStringLiteral("help/index.html"), "<html></html>");
    ASSERT_TRUE(h.frame().triggerCommand(CmdHelp));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith(QStringLiteral("help/index.html")));
    EXPECT_TRUE(prompt.shown().isEmpty());

    viewerWorks = false;
    ASSERT_TRUE(h.frame().triggerCommand(CmdHelp));
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_TRUE(prompt.shown()[0].text.startsWith(QStringLiteral("表示ファイル<")));
    EXPECT_TRUE(prompt.shown()[0].text.endsWith(QStringLiteral(">が起動出来ませんでした。(31)")));
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Error);
}
