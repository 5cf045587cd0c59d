#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <gtest/gtest.h>

TEST(Session, LogsOnAndReadsTheRootDirectory) {
    FtpServerFixture server;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession(), 0) << prompt.texts().join(u'\n').toStdString();
    EXPECT_TRUE(client->isConnected());
    EXPECT_EQ(client->rootDirectory(), "/");
    client->CloseSession();
    EXPECT_FALSE(client->isConnected());
    EXPECT_TRUE(prompt.texts().isEmpty());
}
