#include "AppHarness.h"
#include "DocTestSupport.h"
#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"
#include "SftpServerFixture.h"
#include "TempDir.h"

#include "commands/Command.h"
#include "settings/ServerProfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(ServerConflict, AChangeOnTheServerAsksWithThreeWaysOut) {
    const QString asked =
        QStringLiteral("サーバ上の page.txt は開いた後に変更されています。上書きしますか？");
    for (PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No, PromptAnswer::Cancel}) {
        SCOPED_TRACE(int(answer));
        FtpServerFixture server;
        ASSERT_TRUE(server.isRunning());
        server.writeFile("page.txt", "mine");
        ScriptedPrompt prompt;
        AppHarness h;
        h.app().settings.Network = server.network();
        const ServerProfile profile = server.profile(CodeSystemSjis, QStringLiteral("/"));
        CVantorpadDoc* doc = h.openFromServer(profile, "page.txt");
        ASSERT_NE(doc, nullptr);
        server.changeFile("page.txt", "theirs, longer");
        appendText(h.frame(), QStringLiteral("+"));

        prompt.expectQuestion(answer);
        ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
        ASSERT_FALSE(prompt.texts().isEmpty());
        EXPECT_TRUE(prompt.texts().front().startsWith(asked))
            << prompt.texts().front().toStdString();
        EXPECT_EQ(prompt.texts().size(), 1) << prompt.texts().join(u'|').toStdString();
        EXPECT_EQ(server.readFile("page.txt"),
                  answer == PromptAnswer::Yes ? QByteArray("mine+") : QByteArray("theirs, longer"));
        EXPECT_EQ(doc->serverCopyPending(), answer != PromptAnswer::Yes);
        // "No" shows the server's version in a window of its own, read-only.
        const QString theirs = h.tranFile(QStringLiteral("page_server.txt"));
        EXPECT_EQ(h.frame().childFrames().size(), answer == PromptAnswer::No ? 2 : 1);
        EXPECT_EQ(QFile::exists(theirs), answer == PromptAnswer::No);
        if (answer == PromptAnswer::No) {
            EXPECT_EQ(h.dir().read(QStringLiteral("tran/page_server.txt")),
                      QByteArray("theirs, longer"));
        }
        if (answer == PromptAnswer::Yes) {
            // The server now has the document's text: the next save asks nothing.
            prompt.clear();
            appendText(h.frame(), QStringLiteral("+"));
            ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
            EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
            EXPECT_EQ(server.readFile("page.txt"), QByteArray("mine++"));
        }
    }
}

TEST(ServerConflict, AServerThatTellsNeitherTimeNorSizeSavesAsBefore) {
    FtpServerFixture::Options options;
    options.faults = {QStringLiteral("refuse=MDTM"), QStringLiteral("refuse=SIZE")};
    FtpServerFixture server(options);
    ASSERT_TRUE(server.isRunning());
    server.writeFile("page.txt", "mine");
    ScriptedPrompt prompt;
    AppHarness h;
    h.app().settings.Network = server.network();
    ASSERT_NE(h.openFromServer(server.profile(CodeSystemSjis, QStringLiteral("/")), "page.txt"),
              nullptr);
    server.changeFile("page.txt", "theirs");
    appendText(h.frame(), QStringLiteral("+"));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(server.readFile("page.txt"), QByteArray("mine+"));
}

// The time the server gave at opening cannot be had at saving, or the server never gave one:
// what can still be compared is, and what cannot is asked about before anything is sent.
TEST(ServerConflict, AServerThatNoLongerTellsTheTimeIsAskedAboutOrComparedBySize) {
    const QString unsure =
        QStringLiteral("サーバ上の page.txt "
                       "が開いた後に変更されたかどうか、サーバの応答からは確認出来ませんでした。");
    const QString changed =
        QStringLiteral("サーバ上の page.txt は開いた後に変更されています。上書きしますか？");
    const QString none;
    const struct {
        const char* name;
        const char* atOpen; // faults from the start, blank-separated
        const char* atSave; // faults added before saving
        const char* theirs; // the other user's text, nullptr: no change
        QString asked;      // the question's start, empty: none
        PromptAnswer answer;
        const char* onServer; // afterwards
    } cases[] = {
        {"MDTM refused at saving", "", "refuse=MDTM", "ours", unsure, PromptAnswer::No, "ours"},
        {"MDTM malformed at saving", "", "badmdtm", "ours", unsure, PromptAnswer::Yes, "mine+"},
        {"MDTM and SIZE refused at saving", "", "refuse=MDTM refuse=SIZE", nullptr, unsure,
         PromptAnswer::No, "mine"},
        {"no MDTM, another size", "refuse=MDTM", "", "theirs, longer", changed,
         PromptAnswer::Cancel, "theirs, longer"},
        {"no MDTM, the same size", "badmdtm", "", nullptr, none, PromptAnswer::Yes, "mine+"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpServerFixture::Options options;
        options.faults = QString::fromLatin1(c.atOpen).split(u' ', Qt::SkipEmptyParts);
        FtpServerFixture server(options);
        ASSERT_TRUE(server.isRunning());
        server.writeFile("page.txt", "mine");
        ScriptedPrompt prompt;
        AppHarness h;
        h.app().settings.Network = server.network();
        ASSERT_NE(h.openFromServer(server.profile(CodeSystemSjis, QStringLiteral("/")), "page.txt"),
                  nullptr);
        if (c.theirs)
            server.changeFile("page.txt", c.theirs);
        server.setFaults(QString::fromLatin1(c.atSave).split(u' ', Qt::SkipEmptyParts));
        appendText(h.frame(), QStringLiteral("+"));
        if (!c.asked.isEmpty())
            prompt.expectQuestion(c.answer);
        ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
        const QStringList texts = prompt.texts();
        ASSERT_EQ(texts.size(), c.asked.isEmpty() ? 0 : 1) << texts.join(u'|').toStdString();
        if (!c.asked.isEmpty()) {
            EXPECT_TRUE(texts.front().startsWith(c.asked)) << texts.front().toStdString();
        }
        EXPECT_EQ(server.readFile("page.txt"), QByteArray(c.onServer));
    }
}

TEST(ServerConflict, OverSftpTheFilesAttributesTellAChange) {
    SftpServerFixture server;
    const QString live = QDir(server.rootDir()).filePath(QStringLiteral("page.txt"));
    writeFileBytes(live, "mine");
    ScriptedPrompt prompt;
    prompt.expectQuestion(PromptAnswer::No); // trust the host key for this session
    AppHarness h;
    h.app().settings.Network = server.network();
    ServerProfile profile = server.profile(CodeSystemSjis);
    profile.Dir = QStringLiteral("/");
    ASSERT_NE(h.openFromServer(profile, "page.txt"), nullptr);

    writeFileBytes(live, "theirs");
    QFile file(live);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(60),
                                 QFileDevice::FileModificationTime));
    file.close();
    appendText(h.frame(), QStringLiteral("+"));
    prompt.clear();
    prompt.expectQuestion(PromptAnswer::Cancel);
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    ASSERT_EQ(prompt.texts().size(), 1) << prompt.texts().join(u'|').toStdString();
    EXPECT_TRUE(prompt.texts().front().startsWith(QStringLiteral("サーバ上の page.txt は")));
    EXPECT_EQ(readFileBytes(live), QByteArray("theirs"));
}
