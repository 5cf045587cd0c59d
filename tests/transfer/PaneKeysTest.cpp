// The transfer window's panes take the file-manager keys for the pane that has the focus.
#include "transfer/CFtpDlg.h"
#include "transfer/FileListView.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"
#include "TransferWindowTestSupport.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void renameInNextDialog(const QString& name) {
    whenModalShown([name](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("NewName"))->setText(name);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
}

} // namespace

TEST(PaneKeys, DeleteF2AndF5ActOnThePaneThatHasTheFocus) {
    for (CFtpDlg::Pane pane : {CFtpDlg::ServerPane, CFtpDlg::PcPane}) {
        SCOPED_TRACE(pane == CFtpDlg::ServerPane ? "server pane" : "PC pane");
        TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
        // Both sides hold the same names, so a key that reaches the wrong pane shows.
        for (const char* name : {"doomed.txt", "old.txt"}) {
            world.server.writeFile(name, "s");
            world.pc.write(QString::fromUtf8(name), "p");
        }
        const auto exists = [&](const char* name) {
            return pane == CFtpDlg::ServerPane ? world.server.exists(name)
                                               : world.pc.exists(QString::fromUtf8(name));
        };
        ScriptedPrompt prompt;
        auto window = world.open();
        window->show();
        FileListView* list = window->pane(pane);
        // Without a window manager nothing gives the window back the keyboard after a dialog:
        // the user's click into the pane does.
        const auto focusPane = [&] {
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
            list->setFocus();
        };
        focusPane();

        selectNames(*window, pane, {QStringLiteral("doomed.txt")});
        prompt.expectQuestion(PromptAnswer::Yes);
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_FALSE(exists("doomed.txt"));

        selectNames(*window, pane, {QStringLiteral("old.txt")});
        renameInNextDialog(QStringLiteral("new.txt"));
        QTest::keyClick(list, Qt::Key_F2);
        EXPECT_TRUE(exists("new.txt"));
        EXPECT_FALSE(exists("old.txt"));

        world.server.writeFile("later.txt", "s");
        world.pc.write(QStringLiteral("later.txt"), "p");
        focusPane();
        QTest::keyClick(list, Qt::Key_F5);
        EXPECT_TRUE(paneNames(*window, pane).contains(QStringLiteral("later.txt")));

        const CFtpDlg::Pane other =
            pane == CFtpDlg::ServerPane ? CFtpDlg::PcPane : CFtpDlg::ServerPane;
        EXPECT_TRUE(paneNames(*window, other).contains(QStringLiteral("doomed.txt")))
            << "the other pane keeps its lines";
        EXPECT_EQ(prompt.texts(), utf8List({"doomed.txt を削除しても宜しいですか？"}));
    }
}
