#include "AppHarness.h"
#include "DocTestSupport.h"
#include "FtpsServerFixture.h"
#include "ScriptedPrompt.h"
#include "SftpServerFixture.h"
#include "TempDir.h"

#include "commands/Command.h"
#include "settings/ServerProfile.h"

#include <QDir>

#include <gtest/gtest.h>

// The main task over FTPS and SFTP: open a server file, edit it and save it back, the old file
// kept as a backup by rename; the trust question comes once, at the first logon.
TEST(SecureServerSave, OpenEditAndSaveBackWithBackupOverFtpsAndSftp) {
    FtpsServerFixture ftps;
    SftpServerFixture sftp;
    struct Case {
        const char* what;
        ServerProfile profile;
        NetworkSettings network;
        QString root;
    } cases[] = {
        {"FTPS", ftps.profile(CodeSystemSjis, ftps.rootDir()), ftps.network(), ftps.rootDir()},
        {"SFTP", sftp.profile(CodeSystemSjis), sftp.network(), sftp.rootDir()},
    };
    cases[1].profile.Dir = QStringLiteral("/");
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString live = QDir(c.root).filePath(QStringLiteral("index.html"));
        writeFileBytes(live, "old");
        ScriptedPrompt prompt;
        prompt.expectQuestion(PromptAnswer::No); // trust for this session
        AppHarness h;
        h.app().settings.Network = c.network;
        c.profile.BackMode = 1;
        c.profile.BackExt = QStringLiteral(".bak");
        h.dir().write(QStringLiteral("tran/index.html"), "old");
        ASSERT_TRUE(h.app().OpenTextDocument(h.tranFile(QStringLiteral("index.html")), c.profile,
                                             true, false));
        appendText(h.frame(), QStringLiteral(" + 新"));
        ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
        EXPECT_EQ(prompt.texts().size(), 1) << prompt.texts().join(u'|').toStdString();
        EXPECT_EQ(readFileBytes(live), QByteArray("old + \x90\x56"));
        EXPECT_EQ(readFileBytes(live + QStringLiteral(".bak")), QByteArray("old"));
    }
}
