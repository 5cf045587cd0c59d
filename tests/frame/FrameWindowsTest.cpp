#include "AppHarness.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "editor/CVantorpadView.h"
#include "frame/CChildFrame.h"
#include "frame/CFileDialogEx.h"
#include "frame/CMainFrame.h"
#include "frame/FolderBrowser.h"
#include "frame/ProgramFileDialogs.h"
#include "platform/ScopedOverride.h"
#include "widgets/CToolTipDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <gtest/gtest.h>

TEST(FileDialogEx, ExtraRowShowsTheChoiceAndRecordsItOnEveryExit) {
    TempDir dir;
    const QStringList items{QStringLiteral("標準（エディタ画面）"),
                            QStringLiteral("スプレット画面")};
    CFileDialogEx dialog(nullptr, QStringLiteral("クライアントファイル選択"), dir.path(),
                         {QStringLiteral("TXTﾌｧｲﾙ (*.txt)")});
    dialog.setChoices(QStringLiteral("読み込み先指定"), items, 0);
    dialog.setReadOnlyBoxShown(true);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("9001"))->text(),
              QStringLiteral("読み込み先指定"));
    QComboBox* list = dialog.findChild<QComboBox*>(QStringLiteral("9000"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_FALSE(list->isHidden());
    EXPECT_FALSE(dialog.readOnlyBox()->isHidden());

    list->setCurrentIndex(1);
    dialog.readOnlyBox()->setChecked(true);
    QTimer::singleShot(0, &dialog, &QDialog::reject);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.choiceIndex(), 1) << "Cancel records the selection too";
    EXPECT_TRUE(dialog.readOnlyChecked());

    CFileDialogEx beyond(nullptr, QString(), dir.path(), {});
    beyond.setChoices(QStringLiteral("x"), items, 5);
    QTimer::singleShot(0, &beyond, &QDialog::reject);
    beyond.exec();
    EXPECT_EQ(beyond.choiceIndex(), -1) << "an index beyond the list selects nothing";
}

TEST(ToolTipDialog, ControlsWithAStringGetItAndTheSwitchSilencesThem) {
    CToolTipDialog::stringTable().insert(4711, QStringLiteral("接続します\n接続"));
    struct Probe : CToolTipDialog {
        using CToolTipDialog::eventFilter;
    } dialog;
    auto* tipped = new QPushButton(QStringLiteral("a"), &dialog);
    tipped->setProperty("controlId", 4711);
    auto* plain = new QPushButton(QStringLiteral("b"), &dialog);
    plain->setProperty("controlId", 4712);
    dialog.show();
    EXPECT_EQ(tipped->toolTip(), QStringLiteral("接続します\n接続"));
    EXPECT_TRUE(plain->toolTip().isEmpty());

    QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), tipped->mapToGlobal(QPoint(1, 1)));
    {
        const ScopedOverride off(CToolTipDialog::setToolTipsEnabled, false);
        EXPECT_TRUE(dialog.eventFilter(tipped, &tip)) << "swallowed while the switch is off";
    }
    EXPECT_FALSE(dialog.eventFilter(tipped, &tip));
    CToolTipDialog::stringTable().remove(4711);
}

TEST(FolderBrowser, StartsOnTheInitialFolderAndShowsItAsStatus) {
    TempDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("sub"));
    const QString sub = dir.filePath(QStringLiteral("sub"));
    FolderBrowser browser(nullptr, QStringLiteral("フォルダの選択"), sub);
    EXPECT_EQ(browser.statusText(), sub);
    emit browser.currentChanged(dir.path());
    EXPECT_EQ(browser.statusText(), dir.path());
    emit browser.currentChanged(QStringLiteral("/no/such/folder"));
    EXPECT_TRUE(browser.statusText().isEmpty()) << "an item without a path shows nothing";
}

TEST(ChildFrame, EveryEditorWindowOpensMaximisedWithItsTitle) {
    ScriptedPrompt prompt;
    AppHarness h;
    h.dir().write(QStringLiteral("pc/one.txt"), "1");
    ASSERT_TRUE(h.openLocalText(h.pcFile(QStringLiteral("one.txt"))));
    EXPECT_TRUE(h.frame().activeChildFrame()->isMaximized());
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileNew));
    EXPECT_TRUE(h.frame().activeChildFrame()->isMaximized());
    const QList<CChildFrame*> frames = h.frame().childFrames();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0]->windowTitle(), QStringLiteral("one.txt[*]"));
    EXPECT_EQ(frames[1]->windowTitle(), QStringLiteral("新規[*]"));
    // The title marks unsaved changes, and loses the mark when they are undone.
    frames[1]->view()->insertPlainText(QStringLiteral("x"));
    EXPECT_TRUE(frames[1]->isWindowModified());
    EXPECT_FALSE(frames[0]->isWindowModified());
    frames[1]->view()->undo();
    EXPECT_FALSE(frames[1]->isWindowModified());
    EXPECT_EQ(h.frame().activeChildFrame(), frames[1]);
    EXPECT_TRUE(h.frame().action(CmdFileClose)->isEnabled());
    // Closing the main window closes the editors, each asked about as usual.
    h.frame().close();
    QApplication::processEvents();
    EXPECT_TRUE(h.frame().childFrames().isEmpty());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST(MainFrame, ItsFileDialogsServeOnlyWhileItLives) {
    ScriptedPrompt prompt;
    {
        AppHarness h;
        EXPECT_NE(dynamic_cast<ProgramFileDialogs*>(&FileDialogs::current()), nullptr);
    }
    EXPECT_EQ(dynamic_cast<ProgramFileDialogs*>(&FileDialogs::current()), nullptr);
}

TEST(MainFrame, EditAndWindowMenusActOnTheActiveEditor) {
    ScriptedPrompt prompt;
    AppHarness h;
    CMainFrame& frame = h.frame();
    ASSERT_TRUE(frame.triggerCommand(CmdFileNew));
    ASSERT_TRUE(frame.triggerCommand(CmdFileNew));
    CVantorpadView* view = frame.activeView();
    EXPECT_FALSE(frame.triggerCommand(EditorCommand::EditCut)) << "nothing selected";
    view->insertPlainText(QStringLiteral("abc"));
    for (int command : {int(EditorCommand::EditSelectAll), int(EditorCommand::EditCut)})
        ASSERT_TRUE(frame.triggerCommand(command));
    EXPECT_TRUE(view->toPlainText().isEmpty());
    ASSERT_TRUE(frame.triggerCommand(EditorCommand::EditPaste));
    ASSERT_TRUE(frame.triggerCommand(CmdEditUndo));
    EXPECT_TRUE(view->toPlainText().isEmpty());
    ASSERT_TRUE(frame.triggerCommand(CmdEditRedo));
    EXPECT_EQ(view->toPlainText(), QStringLiteral("abc"));

    QMenu* windows = nullptr;
    for (QAction* title : frame.menuBar()->actions())
        if (title->text() == QStringLiteral("ウィンドウ(&W)"))
            windows = title->menu();
    ASSERT_NE(windows, nullptr);
    for (int shown = 0; shown < 2; ++shown) { // the list is built afresh each time
        emit windows->aboutToShow();
        const QList<QAction*> items = windows->actions().mid(3);
        ASSERT_EQ(items.size(), 2);
        EXPECT_EQ(items[0]->text(), QStringLiteral("&1 新規"));
        EXPECT_TRUE(items[1]->isChecked()) << "the active window is ticked";
    }
    windows->actions()[3]->trigger();
    EXPECT_EQ(frame.activeChildFrame(), frame.childFrames().front());

    frame.statusBar()->showMessage(QStringLiteral("tip"));
    frame.statusBar()->clearMessage(); // as a menu does when it closes
    EXPECT_EQ(frame.statusBar()->currentMessage(), QStringLiteral("レディ"));
}
