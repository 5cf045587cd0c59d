#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include "doc/ServerUpload.h"

#include <gtest/gtest.h>

namespace {

struct SafeCase {
    const char* name;
    int code;
    QString fault;
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
    const QString none;
    const SafeCase cases[] = {
        {"sjis", CodeSystemSjis, none, true, "new \x90\x56", OpResult::Done, "new \x90\x56"},
        {"euc", CodeSystemEuc, none, true, "new \x90\x56", OpResult::Done, "new \xbf\xb7"},
        {"broken", CodeSystemSjis, QStringLiteral("dropstor"), true, big, OpResult::Failed, "old"},
        {"no rename over a file", CodeSystemSjis, QStringLiteral("noclobber"), false, "new",
         OpResult::Done, "new"},
    };
    for (const SafeCase& c : cases) {
        SCOPED_TRACE(c.name);
        FtpServerFixture::Options options;
        if (!c.fault.isEmpty())
            options.faults = {c.fault};
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
