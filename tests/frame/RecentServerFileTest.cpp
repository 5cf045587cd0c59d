#include "AppHarness.h"
#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CMainFrame.h"
#include "settings/ServerProfile.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

namespace {

void closeActive(AppHarness& h) {
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileClose));
    QApplication::processEvents();
}

} // namespace

TEST(RecentServerFiles, AServerFileReopensFromItsServerAndSavesBackThere) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    server.makeDir("www");
    server.writeFile("www/a.txt", "first");
    ScriptedPrompt prompt;
    AppHarness h;
    h.app().settings.Network = server.network();
    h.app().settings.Profiles[1] = server.profile(CodeSystemSjis, QStringLiteral("/"));
    h.app().currentServer = 1;
    ServerProfile opened = h.app().settings.Profiles[1];
    opened.Dir = QStringLiteral("/www");
    // Opened as the open-from-server dialog leaves it: its copy in the transfer directory.
    h.dir().write(QStringLiteral("tran/a.txt"), "first");
    ASSERT_TRUE(h.app().OpenTextDocument(h.tranFile(QStringLiteral("a.txt")), opened, true, false));
    const QString entry = QStringLiteral("NO:1 127.0.0.1:/www/a.txt");
    EXPECT_EQ(h.app().recentFiles.files(), QStringList{entry});
    EXPECT_EQ(h.frame().action(CmdFileMru1)->text(), QStringLiteral("&1 ") + entry);
    closeActive(h);

    server.writeFile("www/a.txt", "changed meanwhile");
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileMru1));
    CVantorpadDoc* doc = h.frame().activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->serverFile());
    EXPECT_EQ(h.frame().activeView()->toPlainText(), QStringLiteral("changed meanwhile"));
    CVantorpadView* view = h.frame().activeView();
    view->select(view->toPlainText().size(), view->toPlainText().size());
    view->insertPlainText(QStringLiteral(" + mine"));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(server.readFile("www/a.txt"), QByteArray("changed meanwhile + mine"));
    closeActive(h);

    // The number now names another server: nothing is fetched from it, and the entry stays.
    h.app().settings.Profiles[1].Server = QStringLiteral("localhost");
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileMru1));
    EXPECT_EQ(h.frame().activeDocument(), nullptr);
    EXPECT_EQ(
        prompt.texts(),
        QStringList{QStringLiteral("サーバ設定 NO:1 のサーバが変更された為、%1 を開けません。")
                        .arg(entry)});
    EXPECT_EQ(h.app().recentFiles.files(), QStringList{entry});
}
