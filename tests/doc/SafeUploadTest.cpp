#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "TrustPlace.h"

#include "doc/ServerUpload.h"

#include <gtest/gtest.h>

namespace {

struct SafeCase {
    const char* name;
    int code;
    const char* faults; // of the server, blank-separated
    bool backup;
    QByteArray text; // the local file's bytes
    ResultStatus expected;
    QByteArray onServer; // the live file afterwards
};

} // namespace

// Whatever happens to the transfer, the directory ends with the live file (new or untouched)
// and, after a complete upload, its backup: no temporary name is left behind.
TEST(SafeUpload, ReplacesTheLiveFileOnlyWhenCompleteAndLeavesNoTemporaryFile) {
    const QByteArray big(200 * 1024, 'x'); // past the 64 KiB after which "dropstor" cuts
    const SafeCase cases[] = {
        {"sjis", CodeSystemSjis, "", true, "new \x90\x56", ResultStatus::Done, "new \x90\x56"},
        {"euc", CodeSystemEuc, "", true, "new \x90\x56", ResultStatus::Done, "new \xbf\xb7"},
        {"broken", CodeSystemSjis, "dropstor", true, big, ResultStatus::Failed, "old"},
        {"no rename over a file", CodeSystemSjis, "noclobber", false, "new", ResultStatus::Done,
         "new"},
        {"no rename over a file, euc", CodeSystemEuc, "noclobber", true, "new \x90\x56",
         ResultStatus::Done, "new \xbf\xb7"},
        {"no rename over a file, broken", CodeSystemSjis, "noclobber dropstor", false, big,
         ResultStatus::Failed, "old"},
        // Only one transfer is ever made: a second one could break with the live file gone.
        {"no rename over a file, a second transfer would break", CodeSystemSjis,
         "noclobber dropstor=2", false, big, ResultStatus::Done, big},
    };
    for (const SafeCase& c : cases) {
        SCOPED_TRACE(c.name);
        FtpServerFixture::Options options;
        options.faults = QString::fromLatin1(c.faults).split(u' ', Qt::SkipEmptyParts);
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
        std::optional<ServerFileStamp> unknown;
        EXPECT_EQ(uploadToServer(request, plainFtpTrust(), unknown).status(), c.expected)
            << prompt.texts().join(u'|').toStdString();

        EXPECT_EQ(server.readFile("page.txt"), c.onServer);
        QByteArrayList expectedNames{"page.txt"};
        if (c.backup && c.expected == ResultStatus::Done)
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
        ResultStatus expected;
        const char* live; // page.txt afterwards
    } cases[] = {
        {"direct, stop", 0, true, true, false, ResultStatus::Cancelled, "old"},
        {"direct, go on", 0, true, true, true, ResultStatus::Done, "new"},
        {"safe, stop", 1, true, true, false, ResultStatus::Cancelled, "old"},
        // Going on cannot replace the file either, and the live file stays.
        {"safe, go on", 1, true, true, true, ResultStatus::Failed, "old"},
        {"a new file", 0, false, false, false, ResultStatus::Done, "new"},
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
        std::optional<ServerFileStamp> unknown;
        EXPECT_EQ(uploadToServer(request, plainFtpTrust(), unknown).status(), c.expected)
            << prompt.texts().join(u'|').toStdString();

        const QStringList texts = prompt.texts();
        EXPECT_EQ(!texts.isEmpty() && texts.front().startsWith(asked), c.question)
            << texts.join(u'|').toStdString();
        if (c.expected == ResultStatus::Cancelled) {
            EXPECT_EQ(texts.size(), 1) << "stopping is no failure to report";
        }
        EXPECT_EQ(server.names(), QByteArrayList{"page.txt"});
        EXPECT_EQ(server.readFile("page.txt"), QByteArray(c.live));
    }
}
