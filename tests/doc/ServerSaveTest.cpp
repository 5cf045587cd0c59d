#include "AppHarness.h"
#include "DocTestSupport.h"
#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"

#include "commands/Command.h"
#include "frame/WindowSwitchBar.h"
#include "platform/ScopedOverride.h"
#include "settings/ServerProfile.h"

#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString AskServer = QStringLiteral("ｻｰﾊﾞ(%1)へ %2 の変更を保存しますか？");

// Lays out a downloaded copy in the transfer directory and opens it as a server document.
CVantorpadDoc* openServerCopy(AppHarness& h, const QString& name, const QByteArray& bytes,
                              const ServerProfile& profile) {
    h.dir().write(QStringLiteral("tran/") + name, bytes);
    if (!h.app().OpenTextDocument(h.tranFile(name), profile, true, false))
        return nullptr;
    return activeDoc(h.frame());
}

void closeActive(AppHarness& h) {
    h.frame().triggerCommand(CmdFileClose);
    QApplication::processEvents();
}

} // namespace

TEST(ServerSave, BackupByRenameThenUploadAndTheCopyGoesOnClose) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    server.writeFile("index.html", "old");
    server.writeFile("index.html.bak", "older");
    ScriptedPrompt prompt;
    AppHarness h;
    h.app().settings.Network = server.network();
    ServerProfile profile = server.profile(CodeSystemSjis, QStringLiteral("/"));
    profile.BackMode = 1;
    profile.BackExt = QStringLiteral(".bak");
    CVantorpadDoc* doc = openServerCopy(h, QStringLiteral("index.html"), "old", profile);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->serverFile());
    h.frame().refreshCommandStates();
    EXPECT_TRUE(h.frame().action(CmdSaveToServer)->isEnabled());

    appendText(h.frame(), QStringLiteral(" + 新"));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(server.readFile("index.html"), QByteArray("old + \x90\x56"));
    EXPECT_EQ(server.readFile("index.html.bak"), QByteArray("old"));
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(doc->serverCopyPending());

    closeActive(h);
    EXPECT_TRUE(prompt.shown().isEmpty()) << "saved text closes without a question";
    EXPECT_FALSE(QFile::exists(h.tranFile(QStringLiteral("index.html"))));
}

TEST(ServerSave, LowerCaseNamesEucConversionAndDeleteBeforeUpdate) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    server.writeFile("mixed.txt", "old");
    ScriptedPrompt prompt;
    AppHarness h("SvFileDel=0\r\n");
    h.app().settings.Network = server.network();
    ServerProfile profile = server.profile(CodeSystemEuc, QStringLiteral("/"));
    profile.NameSmall = 1;
    profile.SvDel = 1;
    CVantorpadDoc* doc =
        openServerCopy(h, QStringLiteral("Mixed.txt"), "\x93\xfa\x96\x7b\n", profile);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(server.readFile("mixed.txt"), QByteArray("\xc6\xfc\xcb\xdc\n")) << "EUC-JP";
    EXPECT_FALSE(server.exists("Mixed.txt"));
    EXPECT_FALSE(QFile::exists(h.tranFile(QStringLiteral("Mixed.txt.$$$"))));
    closeActive(h);
    EXPECT_TRUE(QFile::exists(h.tranFile(QStringLiteral("Mixed.txt")))) << "SvFileDel 0 keeps it";
}

TEST(ServerSave, FailedLogonKeepsTheOnlyCopyAndClosingSaysWhere) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    server.writeFile("a.txt", "server text");
    ScriptedPrompt prompt;
    AppHarness h;
    h.app().settings.Network = server.network();
    ServerProfile profile = server.profile(CodeSystemSjis, QStringLiteral("/"));
    profile.Passwd = QStringLiteral("wrong");
    CVantorpadDoc* doc = openServerCopy(h, QStringLiteral("a.txt"), "server text", profile);
    ASSERT_NE(doc, nullptr);
    appendText(h.frame(), QStringLiteral(" and mine"));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    ASSERT_GE(prompt.texts().size(), 2);
    EXPECT_TRUE(prompt.texts().front().startsWith(QStringLiteral("FTPセッション")))
        << prompt.texts().front().toStdString();
    EXPECT_EQ(prompt.texts().back(), QStringLiteral("ＦＴＰセッションOPENに失敗しました。"));
    EXPECT_EQ(h.dir().read(QStringLiteral("tran/a.txt")), QByteArray("server text and mine"));
    EXPECT_FALSE(doc->isModified()) << "the local file was written";
    EXPECT_TRUE(doc->serverCopyPending());
    EXPECT_EQ(server.readFile("a.txt"), QByteArray("server text"));

    // Unchanged since the failed save, closing still asks; No keeps the copy and says where.
    prompt.clear();
    prompt.expectQuestion(PromptAnswer::Cancel);
    closeActive(h);
    EXPECT_EQ(h.frame().childFrames().size(), 1);
    prompt.expectQuestion(PromptAnswer::No);
    closeActive(h);
    EXPECT_TRUE(h.frame().childFrames().isEmpty());
    EXPECT_EQ(prompt.texts(),
              (QStringList{AskServer.arg(server.host(), QStringLiteral("a.txt")),
                           AskServer.arg(server.host(), QStringLiteral("a.txt")),
                           QStringLiteral("サーバへの保存が完了していない為、%1 を残しました。")
                               .arg(h.tranFile(QStringLiteral("a.txt")))}));
    EXPECT_EQ(prompt.shown().back().icon, PromptIcon::Information);
    EXPECT_EQ(h.dir().read(QStringLiteral("tran/a.txt")), QByteArray("server text and mine"));
}

TEST(ServerSave, AnUnsentTextIsMarkedUntilItArrivesAndListedBeforeTheProgramCloses) {
    FtpServerFixture::Options options;
    options.faults = {QStringLiteral("refuse=STOR")};
    FtpServerFixture refusing(options);
    FtpServerFixture working;
    ASSERT_TRUE(refusing.isRunning() && working.isRunning());
    ScriptedPrompt prompt;
    AppHarness h;
    h.app().settings.Network = refusing.network();
    CVantorpadDoc* doc = openServerCopy(h, QStringLiteral("c.txt"), "c",
                                        refusing.profile(CodeSystemSjis, QStringLiteral("/")));
    ASSERT_NE(doc, nullptr);
    const QString marked = QStringLiteral("c.txt (サーバ未保存)");
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_EQ(h.frame().activeChildFrame()->windowTitle(), marked + QStringLiteral("[*]"));
    EXPECT_EQ(h.frame().switchBar()->tabText(0), marked);

    // Closing the program names the text first; No keeps every window open.
    prompt.clear();
    prompt.expectQuestion(PromptAnswer::No);
    EXPECT_FALSE(h.frame().close());
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("ｻｰﾊﾞ(127.0.0.1) c.txt")));
    EXPECT_TRUE(prompt.texts()[0].contains(h.tranFile(QStringLiteral("c.txt"))));
    EXPECT_EQ(h.frame().childFrames().size(), 1);

    doc->setProfile(working.profile(CodeSystemSjis, QStringLiteral("/")));
    h.app().settings.Network = working.network();
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_EQ(working.readFile("c.txt"), QByteArray("c"));
    EXPECT_EQ(h.frame().switchBar()->tabText(0), QStringLiteral("c.txt"));
}

TEST(ServerSave, RefusedUploadReportsTwiceAndYesOnCloseRetries) {
    FtpServerFixture::Options options;
    options.faults = {QStringLiteral("refuse=STOR")};
    FtpServerFixture refusing(options);
    ASSERT_TRUE(refusing.isRunning());
    FtpServerFixture working;
    ASSERT_TRUE(working.isRunning());
    ScriptedPrompt prompt;
    AppHarness h;
    h.app().settings.Network = refusing.network();
    ServerProfile profile = refusing.profile(CodeSystemSjis, QStringLiteral("/"));
    CVantorpadDoc* doc = openServerCopy(h, QStringLiteral("b.txt"), "b", profile);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    ASSERT_EQ(prompt.texts().size(), 2) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(prompt.texts().back(), QStringLiteral("ファイル送信に失敗しました。(1)"));
    EXPECT_TRUE(doc->serverCopyPending());

    // The server comes back (here: the profile points at one that accepts): Yes on closing
    // saves, and the copy goes as usual.
    doc->setProfile(working.profile(CodeSystemSjis, QStringLiteral("/")));
    h.app().settings.Network = working.network();
    prompt.clear();
    prompt.expectQuestion(PromptAnswer::Yes);
    closeActive(h);
    EXPECT_EQ(prompt.texts().size(), 1) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(working.readFile("b.txt"), QByteArray("b"));
    EXPECT_FALSE(QFile::exists(h.tranFile(QStringLiteral("b.txt"))));
}

TEST(ServerSave, ClosingUnchangedServerDocumentDeletesItsCopyOnlyWithSvFileDel) {
    ScriptedPrompt prompt;
    for (int svFileDel : {1, 0}) {
        AppHarness h("SvFileDel=" + QByteArray::number(svFileDel) + "\r\n");
        ServerProfile profile;
        profile.Server = QStringLiteral("host");
        ASSERT_NE(openServerCopy(h, QStringLiteral("c.txt"), "c", profile), nullptr);
        closeActive(h);
        EXPECT_EQ(QFile::exists(h.tranFile(QStringLiteral("c.txt"))), svFileDel == 0);
        // Changed and answered No: the text is dropped and the copy with it.
        ASSERT_NE(openServerCopy(h, QStringLiteral("d.txt"), "d", profile), nullptr);
        appendText(h.frame(), QStringLiteral("x"));
        prompt.expectQuestion(PromptAnswer::No);
        closeActive(h);
        EXPECT_EQ(QFile::exists(h.tranFile(QStringLiteral("d.txt"))), svFileDel == 0);
    }
    EXPECT_EQ(prompt.texts(),
              QStringList(2, AskServer.arg(QStringLiteral("host"), QStringLiteral("d.txt"))));
}

TEST(ServerSave, SaveToServerCommandFollowsItsRuleAndItsDialog) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    ScriptedPrompt prompt;
    AppHarness h;
    h.app().settings.Network = server.network();
    ServerProfile profile = server.profile(CodeSystemSjis, QString());
    ASSERT_NE(openServerCopy(h, QStringLiteral("e.txt"), "e", profile), nullptr);
    h.frame().refreshCommandStates();
    EXPECT_FALSE(h.frame().action(CmdSaveToServer)->isEnabled()) << "no server directory";
    profile.Dir = QStringLiteral("/");
    activeDoc(h.frame())->setProfile(profile);
    h.frame().refreshCommandStates();
    EXPECT_TRUE(h.frame().action(CmdSaveToServer)->isEnabled());

    // The dialog renames: the local copy follows and the upload uses the new name. A change
    // of letter case only renames nothing.
    QString answer = QStringLiteral("f.txt");
    const ScopedOverride dialog(h.app().hooks().saveToServer,
                                [&](QWidget*, ServerProfile& p, QString& name) {
                                    EXPECT_EQ(p.Server, server.host());
                                    name = answer;
                                    return true;
                                });
    ASSERT_TRUE(h.frame().triggerCommand(CmdSaveToServer));
    EXPECT_EQ(server.readFile("f.txt"), QByteArray("e"));
    EXPECT_TRUE(QFile::exists(h.tranFile(QStringLiteral("f.txt"))));
    EXPECT_FALSE(QFile::exists(h.tranFile(QStringLiteral("e.txt"))));
    EXPECT_EQ(activeDoc(h.frame())->title(), QStringLiteral("f.txt"));
    answer = QStringLiteral("F.TXT");
    ASSERT_TRUE(h.frame().triggerCommand(CmdSaveToServer));
    EXPECT_EQ(activeDoc(h.frame())->fileName(), QStringLiteral("f.txt"));
    EXPECT_FALSE(server.exists("F.TXT"));
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.texts().join(u'|').toStdString();
}

// A new name the local copy cannot take stops the command: no file is replaced, nothing is
// sent, the document keeps its name.
TEST(ServerSave, SaveToServerUnderANameTheCopyCannotTakeStops) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    const struct {
        const char* newName;
        bool copyVanished;
        QString message;
    } cases[] = {
        {"f.txt", false, QStringLiteral("同一名称のファイルが存在します。")},
        {"g.txt", true, QStringLiteral("名称変更出来ませんでした。アクセス権を確認して下さい。")},
        {"\xf0\x9f\x98\x80.txt", false,
         QStringLiteral("ファイル名 😀.txt はサーバの文字コードで表せません。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.newName);
        ScriptedPrompt prompt;
        AppHarness h;
        h.app().settings.Network = server.network();
        h.dir().write(QStringLiteral("tran/f.txt"), "another file");
        CVantorpadDoc* doc = openServerCopy(h, QStringLiteral("e.txt"), "e",
                                            server.profile(CodeSystemSjis, QStringLiteral("/")));
        ASSERT_NE(doc, nullptr);
        appendText(h.frame(), QStringLiteral(" edited"));
        if (c.copyVanished)
            QFile::remove(h.tranFile(QStringLiteral("e.txt")));
        const ScopedOverride dialog(h.app().hooks().saveToServer,
                                    [&](QWidget*, ServerProfile&, QString& name) {
                                        name = QString::fromUtf8(c.newName);
                                        return true;
                                    });
        ASSERT_TRUE(h.frame().triggerCommand(CmdSaveToServer));
        EXPECT_EQ(prompt.texts(), QStringList{c.message});
        EXPECT_EQ(h.dir().read(QStringLiteral("tran/f.txt")), QByteArray("another file"));
        EXPECT_EQ(doc->fileName(), QStringLiteral("e.txt"));
        EXPECT_EQ(doc->pathName(), h.tranFile(QStringLiteral("e.txt")));
        EXPECT_TRUE(doc->isModified());
        EXPECT_TRUE(server.names().isEmpty());
    }
}

// The options may move the transfer directory while a server document is open: closing deletes
// the copy it was opened from, never a file of the same name in the new directory.
TEST(ServerSave, ClosingDeletesTheCopyItOpenedWhereverTheTransferDirectoryMoved) {
    ScriptedPrompt prompt;
    AppHarness h;
    ServerProfile profile;
    profile.Server = QStringLiteral("host");
    ASSERT_NE(openServerCopy(h, QStringLiteral("h.txt"), "h", profile), nullptr);
    h.dir().write(QStringLiteral("pc/h.txt"), "unrelated");
    h.app().settings.TranDir = h.pcDir();
    closeActive(h);
    EXPECT_FALSE(QFile::exists(h.tranFile(QStringLiteral("h.txt"))));
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/h.txt")), QByteArray("unrelated"));
}
