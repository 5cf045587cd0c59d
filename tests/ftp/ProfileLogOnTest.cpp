#include "settings/ServerProfile.h"

#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

TEST(ProfileLogOn, ANewProfileClosesAnotherLogonsConnectionAndAnUnknownProtocolIsNeverSent) {
    FtpServerFixture server;
    server.makeDir("pub");
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done)
        << "the server takes it over plain FTP";

    // Another directory is the same logon: the connection stays, the directory follows.
    ServerProfile elsewhere = client->profile();
    elsewhere.Dir = QStringLiteral("/pub");
    client->useProfile(elsewhere);
    EXPECT_TRUE(client->isConnected());
    EXPECT_EQ(client->serverDirectory, QByteArray("/pub"));

    for (int protocol : {7, -1}) {
        SCOPED_TRACE(protocol);
        ServerProfile unknown = server.profile();
        unknown.Protocol = protocol;
        client->useProfile(unknown);
        EXPECT_FALSE(client->isConnected()) << "the open connection is another logon's";
        prompt.clear();
        EXPECT_EQ(client->OpenSession().status(), ResultStatus::Failed);
        ServerFileList list;
        EXPECT_EQ(client->GetServerFileListSDK("*", list, ServerFileKindAll).status(),
                  ResultStatus::Failed);
        EXPECT_FALSE(client->isConnected());
        const QString refusal =
            QStringLiteral("サーバ 127.0.0.1:%1 の接続方式(Protocol=%2)が正しくありません。\n")
                .arg(server.port())
                .arg(protocol);
        ASSERT_EQ(prompt.texts().size(), 2) << prompt.texts().join(u'|').toStdString();
        for (const QString& text : prompt.texts())
            EXPECT_TRUE(text.startsWith(refusal)) << text.toStdString();
    }
}
