#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "frame/CMainFrame.h"
#include "settings/ServerProfile.h"
#include "transfer/CFtpDlg.h"

#include "AppHarness.h"
#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"
#include "TransferWindowTestSupport.h"

#include <QPointer>

#include <gtest/gtest.h>

namespace {

QByteArray iniFor(const FtpServerFixture& server, const QByteArray& extra = QByteArray()) {
    return "[Server00]\r\nServer=127.0.0.1\r\nUser=" + server.user().toUtf8() +
           "\r\nPasswd=" + server.password().toUtf8() +
           "\r\nCode=1\r\nDir=/\r\nPort=" + QByteArray::number(server.port()) +
           "\r\n[Network]\r\nProxy=1\r\nPassive=1\r\n" + extra;
}

} // namespace

TEST(FtpTransferCommand, OneWindowIsShownAgainUntilShutDownAndOpensServerDocuments) {
    FtpServerFixture server;
    server.makeDir("sub");
    server.writeFile("sub/page.txt", "server text\r\n");
    ScriptedPrompt prompt;
    QPointer<QWidget> first;
    {
        AppHarness harness(iniFor(server));
        CVantorpadApp& app = harness.app();
        ASSERT_TRUE(harness.frame().triggerCommand(CmdFtpTransfer));
        first = app.transferWindow;
        ASSERT_TRUE(first);
        auto* window = qobject_cast<CFtpDlg*>(first.data());
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(app.transferWindowOpen, 1);
        EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane), utf8List({"sub"}));

        doubleClickName(*window, CFtpDlg::ServerPane, QStringLiteral("sub"));
        doubleClickName(*window, CFtpDlg::ServerPane, QStringLiteral("page.txt"));
        CVantorpadDoc* document = harness.frame().activeDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->pathName(), harness.tranFile(QStringLiteral("page.txt")));
        EXPECT_TRUE(document->serverFile());
        EXPECT_EQ(document->profile().Dir, QStringLiteral("/sub"));

        window->close();
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(app.settings.Profiles[0].HisDir[0], QStringLiteral("/sub"))
            << "closing stores the directory history";
        ASSERT_TRUE(harness.frame().triggerCommand(CmdFtpTransfer));
        EXPECT_EQ(app.transferWindow.data(), first.data()) << "the same window, not a new one";
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->serverDirectory(), QByteArray("/sub")) << "as it was left";

        app.settings.FtpUse = 0;
        EXPECT_FALSE(app.isCommandEnabled(CmdFtpTransfer));
        EXPECT_TRUE(app.isCommandEnabled(CmdOpenServerFile));
        EXPECT_FALSE(harness.frame().triggerCommand(CmdFtpTransfer));
        app.settings.FtpUse = 1;
        app.settings.Profiles[0].Passwd.clear();
        EXPECT_FALSE(app.isCommandEnabled(CmdFtpTransfer));
    }
    EXPECT_TRUE(first.isNull()) << "shut-down destroys the window";
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
}
