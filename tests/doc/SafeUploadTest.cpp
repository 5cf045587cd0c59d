#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"
#include "SftpServerFixture.h"
#include "TempDir.h"

#include "doc/ServerUpload.h"
#include "ftp/ServerTrust.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

struct SafeCase {
    const char* name;
    int code;
    QStringList faults;
    bool backup;
    QByteArray text; // the local file's bytes
    OpResult expected;
    QByteArray onServer; // the live file afterwards
};

} // namespace

// Whatever happens to the transfer, the directory ends with the live file (new or untouched)
// and, after a complete upload, its backup: no temporary name is left behind.
TEST(SafeUpload, ReplacesTheLiveFileOnlyWhenCompleteAndLeavesNoTemporaryFile) {
    const QByteArray big(200 * 1024, 'x'); // past the 64 KiB after which "dropstor" cuts
    const QStringList none;
    const QString noclobber = QStringLiteral("noclobber");
    const SafeCase cases[] = {
        {"sjis", CodeSystemSjis, none, true, "new \x90\x56", OpResult::Done, "new \x90\x56"},
        {"euc", CodeSystemEuc, none, true, "new \x90\x56", OpResult::Done, "new \xbf\xb7"},
        {"broken",
         CodeSystemSjis,
         {QStringLiteral("dropstor")},
         true,
         big,
         OpResult::Failed,
         "old"},
        {"no rename over a file", CodeSystemSjis, {noclobber}, false, "new", OpResult::Done, "new"},
        {"no rename over a file, broken",
         CodeSystemSjis,
         {noclobber, QStringLiteral("dropstor")},
         false,
         big,
         OpResult::Failed,
         "old"},
        // Only one transfer is ever made: a second one could break with the live file gone.
        {"no rename over a file, a second transfer would break",
         CodeSystemSjis,
         {noclobber, QStringLiteral("dropstor=2")},
         false,
         big,
         OpResult::Done,
         big},
        {"no rename over a file, euc",
         CodeSystemEuc,
         {noclobber},
         true,
         "new \x90\x56",
         OpResult::Done,
         "new \xbf\xb7"},
    };
    for (const SafeCase& c : cases) {
        SCOPED_TRACE(c.name);
        FtpServerFixture::Options options;
        options.faults = c.faults;
        FtpServerFixture server(options);
        ASSERT_TRUE(server.isRunning());
        server.writeFile("page.txt", "old");
        TempDir dir;
        ScriptedPrompt prompt;

        ServerUploadRequest request;
        request.network = server.network();
        request.profile = server.profile(c.code, QStringLiteral("/"));
        request.profile.SafeUpload = 1;
        request.profile.BackMode = c.backup ? 1 : 0;
        request.profile.BackExt = QStringLiteral(".bak");
        request.localPath = dir.write(QStringLiteral("page.txt"), c.text);
        request.fileName = QStringLiteral("page.txt");
        EXPECT_EQ(uploadToServer(request), c.expected) << prompt.texts().join(u'|').toStdString();

        EXPECT_EQ(server.readFile("page.txt"), c.onServer);
        QByteArrayList expectedNames{"page.txt"};
        if (c.backup && c.expected == OpResult::Done)
            expectedNames.append("page.txt.bak");
        EXPECT_EQ(server.names(), expectedNames);
        if (expectedNames.size() > 1) {
            EXPECT_EQ(server.readFile("page.txt.bak"), QByteArray("old"));
        }
    }
}

// A backup that was asked for and cannot be made (this server renames nothing) is named, and
// the user decides whether the file goes up without one; a new file has nothing to keep.
TEST(SafeUpload, ABackupThatCannotBeMadeIsNamedAndTheUserDecides) {
    const QString asked =
        QStringLiteral("page.txt のバックアップ(page.txt.bak)を作成出来ませんでした。");
    const struct {
        const char* name;
        int safe;
        bool existing; // the server has page.txt
        bool question; // asked, and answered Yes or No
        bool goOn;
        OpResult expected;
        const char* live; // page.txt afterwards
    } cases[] = {
        {"direct, stop", 0, true, true, false, OpResult::Cancelled, "old"},
        {"direct, go on", 0, true, true, true, OpResult::Done, "new"},
        {"safe, stop", 1, true, true, false, OpResult::Cancelled, "old"},
        // Going on cannot replace the file either, and the live file stays.
        {"safe, go on", 1, true, true, true, OpResult::Failed, "old"},
        {"a new file", 0, false, false, false, OpResult::Done, "new"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpServerFixture::Options options;
        options.faults = {QStringLiteral("refuse=RNFR")};
        FtpServerFixture server(options);
        ASSERT_TRUE(server.isRunning());
        if (c.existing)
            server.writeFile("page.txt", "old");
        TempDir dir;
        ScriptedPrompt prompt;
        if (c.question)
            prompt.expectQuestion(c.goOn ? PromptAnswer::Yes : PromptAnswer::No);

        ServerUploadRequest request;
        request.network = server.network();
        request.profile = server.profile(CodeSystemSjis, QStringLiteral("/"));
        request.profile.SafeUpload = c.safe;
        request.profile.BackMode = 1;
        request.profile.BackExt = QStringLiteral(".bak");
        request.localPath = dir.write(QStringLiteral("page.txt"), "new");
        request.fileName = QStringLiteral("page.txt");
        EXPECT_EQ(uploadToServer(request), c.expected) << prompt.texts().join(u'|').toStdString();

        const QStringList texts = prompt.texts();
        EXPECT_EQ(!texts.isEmpty() && texts.front().startsWith(asked), c.question)
            << texts.join(u'|').toStdString();
        if (c.expected == OpResult::Cancelled) {
            EXPECT_EQ(texts.size(), 1) << "stopping is no failure to report";
        }
        EXPECT_EQ(server.names(), QByteArrayList{"page.txt"});
        EXPECT_EQ(server.readFile("page.txt"), QByteArray(c.live));
    }
}

// An SFTP server that never renames over an existing file, as OpenSSH's: the new file still
// takes the live name, and nothing else is left beside it.
TEST(SafeUpload, OverSftpTheLiveFileIsReplacedThoughTheServerWillNotRenameOverIt) {
    SftpServerFixture server;
    TempDir trust;
    ServerTrust::setDirectory(trust.path());
    ServerTrust::forgetSession();
    const QDir root(server.rootDir());
    writeFileBytes(root.filePath(QStringLiteral("page.txt")), "old");
    TempDir dir;
    ScriptedPrompt prompt;
    prompt.expectQuestion(PromptAnswer::No); // trust the host key for this session

    ServerUploadRequest request;
    request.network = server.network();
    request.profile = server.profile(CodeSystemSjis);
    request.profile.Dir = QStringLiteral("/");
    request.profile.SafeUpload = 1;
    request.localPath = dir.write(QStringLiteral("page.txt"), "new");
    request.fileName = QStringLiteral("page.txt");
    EXPECT_EQ(uploadToServer(request), OpResult::Done) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(readFileBytes(root.filePath(QStringLiteral("page.txt"))), QByteArray("new"));
    EXPECT_EQ(root.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("page.txt")});
    ServerTrust::forgetSession();
}
