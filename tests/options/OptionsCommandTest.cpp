#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CMainFrame.h"
#include "options/CEditOpt.h"
#include "options/CFtpOpt.h"
#include "options/CNetOpt.h"
#include "options/COptionDlg.h"

#include "AppHarness.h"
#include "OptionsTestSupport.h"
#include "ScriptedPrompt.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

CVantorpadView* openLocalFile(AppHarness& harness, const QString& name) {
    const QString path = harness.pcFile(name);
    writeFileBytes(path, "line\tone\r\n");
    EXPECT_TRUE(harness.app().OpenTextDocument(path, harness.app().profile(0), false, false));
    return harness.frame().activeView();
}

} // namespace

TEST(OptionsCommand, OkMovesToTheDefaultProfileAndRestylesOpenViewsUnmodified) {
    ScriptedPrompt prompt;
    AppHarness harness("[Server02]\r\nServer=two\r\nUser=u\r\nPasswd=p\r\nDir=/\r\n");
    CVantorpadView* view = openLocalFile(harness, QStringLiteral("a.txt"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->wrapMode(), QsciScintilla::WrapNone);
    const int eightColumns = view->tabWidth();
    harness.app().currentServer = 1;

    onNextModal<COptionDlg>([](COptionDlg* dialog) {
        child<QCheckBox>(dialog->editorPage(), "WordWrap")->click();
        child<QSpinBox>(dialog->editorPage(), "TabCount")->setValue(4);
        dialog->tabs()->setCurrentIndex(COptionDlg::FtpTab);
        choose(child<QComboBox>(dialog->ftpPage(), "DefaultNo"), 2);
        dialog->tabs()->setCurrentIndex(COptionDlg::NetworkTab);
        child<QCheckBox>(dialog->networkPage(), "DebugLog")->click();
        child<QPushButton>(dialog, "OK")->click();
    });
    EXPECT_TRUE(harness.frame().triggerCommand(CmdOptions));
    EXPECT_EQ(harness.app().settings.DefaultNo, 2);
    EXPECT_EQ(harness.app().currentServer, 2);
    EXPECT_TRUE(harness.app().ftpDebugLog);
    EXPECT_NE(view->wrapMode(), QsciScintilla::WrapNone);
    EXPECT_EQ(view->tabWidth(), eightColumns / 2);
    EXPECT_FALSE(view->doc()->isModified()) << "a new look is no edit";
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST(OptionsCommand, CancelLeavesViewsAndTheProfileInUseAlone) {
    ScriptedPrompt prompt;
    AppHarness harness("[Server03]\r\nServer=three\r\nUser=u\r\nPasswd=p\r\nDir=/\r\n");
    CVantorpadView* view = openLocalFile(harness, QStringLiteral("b.txt"));
    ASSERT_NE(view, nullptr);
    harness.app().currentServer = 1;
    onNextModal<COptionDlg>([](COptionDlg* dialog) {
        child<QCheckBox>(dialog->editorPage(), "WordWrap")->click();
        dialog->tabs()->setCurrentIndex(COptionDlg::FtpTab);
        choose(child<QComboBox>(dialog->ftpPage(), "DefaultNo"), 3);
        dialog->tabs()->setCurrentIndex(COptionDlg::EditorTab);
        child<QPushButton>(dialog, "Cancel")->click();
    });
    EXPECT_TRUE(harness.frame().triggerCommand(CmdOptions));
    EXPECT_EQ(harness.app().settings.DefaultNo, 3) << "kept from the tab change";
    EXPECT_EQ(harness.app().settings.WordWrap, 0);
    EXPECT_EQ(harness.app().currentServer, 1);
    EXPECT_EQ(view->wrapMode(), QsciScintilla::WrapNone);
}

TEST(OptionsCommand, BothMenusOfferOptionsAndKeywordSettings) {
    ScriptedPrompt prompt;
    AppHarness harness;
    for (int command : {CmdOptions, CmdKeywordSettings}) {
        QAction* action = harness.frame().action(command);
        ASSERT_NE(action, nullptr) << command;
        EXPECT_TRUE(action->isEnabled());
        EXPECT_GE(action->associatedObjects().size(), 2) << "in menus 128 and 129";
    }
    EXPECT_EQ(harness.frame().action(CmdOptions)->text(), QStringLiteral("オプション設定(&O)"));
}

TEST(OptionsCommand, MissingTransferDirectoryAtStartUpOpensTheDialogToSetItRight) {
    ScriptedPrompt prompt;
    TempDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    dir.write(QStringLiteral("Vantorpad.ini"),
              "[Env]\r\nPcDir=" + dir.path().toUtf8() + "\r\nTranDir=/nonexistent/tran\r\n");
    {
        CVantorpadApp app;
        onNextModal<COptionDlg>([&](COptionDlg* dialog) {
            EXPECT_EQ(prompt.texts().size(), 1) << "the message comes first";
            retype(child<QLineEdit>(dialog->editorPage(), "TranDir"), dir.path());
            child<QPushButton>(dialog, "OK")->click();
        });
        ASSERT_TRUE(app.InitInstance({}));
        EXPECT_EQ(prompt.texts(),
                  QStringList{QStringLiteral(
                      "転送Dir：/nonexistent/tran が存在しない為、再度環境設定を行って下さい。")});
        EXPECT_EQ(app.settings.TranDir, dir.path());
        app.ExitInstance();
    }
    EXPECT_TRUE(dir.read(QStringLiteral("Vantorpad.ini"))
                    .contains("TranDir=" + dir.path().toUtf8() + "\r\n"));
    QDir::setCurrent(previous);
}
