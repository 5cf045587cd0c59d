#include "settings/ServerProfile.h"

#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

TEST(Session, LogsOnAndReadsTheRootDirectory) {
    FtpServerFixture server;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done)
        << prompt.texts().join(u'\n').toStdString();
    EXPECT_TRUE(client->isConnected());
    EXPECT_EQ(client->rootDirectory(), "/");
    client->CloseSession();
    EXPECT_FALSE(client->isConnected());
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(Session, TheEventLoopRunsDuringAnOperationAndItsCancelEndsItQuietly) {
    FtpServerFixture::Options options;
    options.faults << QStringLiteral("stallretr");
    FtpServerFixture server(options);
    server.writeFile("slow.bin", QByteArray(4 * 1024 * 1024, 's'));
    TempDir local;
    const QString path = local.write(QStringLiteral("slow.bin"), "before");
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    FtpTimeouts patient = shortTimeouts();
    patient.stallSeconds = 20; // only the cancel can end the transfer in time
    client->setTimeouts(patient);
    bool cancelled = false;
    ResultStatus reentrantOpen = ResultStatus::Done;
    client->setProgressHandler([&](qint64, qint64) { return !cancelled; });
    // A window's timer: it fires while the transfer waits, and its slot may even try to use
    // the busy client.
    QTimer::singleShot(300, [&] {
        reentrantOpen = client->OpenSession().status();
        cancelled = true;
    });
    EXPECT_EQ(client->GetFileAuto(path, "slow.bin", 0).status(), ResultStatus::Cancelled);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(reentrantOpen, ResultStatus::Refused);
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
    EXPECT_EQ(local.read(QStringLiteral("slow.bin")), "before");
}

TEST(Session, ProxySettingsDecideWhereTheConnectionGoes) {
    FtpServerFixture server;
    ScriptedPrompt prompt;
    const QString closedProxy = QStringLiteral("127.0.0.1:1");
    auto make = [&](int proxyMode) {
        NetworkSettings network = server.network();
        network.Proxy = proxyMode;
        network.Name = closedProxy;
        auto client = CFtpClient::create(network, false, server.profile(), plainFtpTrust());
        client->setTimeouts(shortTimeouts());
        return client;
    };
    // The named proxy is used, and nothing listens there.
    EXPECT_EQ(make(2)->OpenSession().status(), ResultStatus::Failed);
    EXPECT_TRUE(prompt.texts().value(0).startsWith(
        QStringLiteral("FTPセッションでエラーになりました。\n")));

    // The environment's proxy settings count for mode 0 only.
    qputenv("ftp_proxy", "http://127.0.0.1:1");
    prompt.clear();
    EXPECT_EQ(make(0)->OpenSession().status(), ResultStatus::Failed);
    EXPECT_EQ(prompt.texts().size(), 1);
    EXPECT_EQ(make(1)->OpenSession().status(), ResultStatus::Done);
    qputenv("no_proxy", "127.0.0.1");
    EXPECT_EQ(make(0)->OpenSession().status(), ResultStatus::Done);
    qunsetenv("ftp_proxy");
    qunsetenv("no_proxy");
    EXPECT_EQ(prompt.texts().size(), 1);
}

TEST(Session, ANamedProxyCarriesTheSessionAndItsTransfers) {
    FtpServerFixture server;
    server.writeFile("via-proxy.txt", "tunnelled");
    TempDir work;
    QProcess proxy;
    proxy.setStandardErrorFile(QProcess::nullDevice());
    proxy.start(QStringLiteral(VANTORPAD_SYSTEM_PYTHON),
                {QStringLiteral(VANTORPAD_TESTS_DIR "/support/connect_proxy.py"),
                 QStringLiteral("--log"), work.filePath(QStringLiteral("tunnels.log"))});
    ASSERT_TRUE(proxy.waitForReadyRead(15000));
    const int proxyPort = proxy.readAllStandardOutput().mid(5).trimmed().toInt();
    ASSERT_GT(proxyPort, 0);

    ScriptedPrompt prompt;
    NetworkSettings network = server.network();
    network.Proxy = 2;
    network.Name = QStringLiteral("127.0.0.1:%1").arg(proxyPort);
    auto client = CFtpClient::create(network, false, server.profile(), plainFtpTrust());
    client->setTimeouts(shortTimeouts());
    EXPECT_EQ(
        client->GetFileAuto(work.filePath(QStringLiteral("got.txt")), "via-proxy.txt", 0).status(),
        ResultStatus::Done);
    EXPECT_EQ(work.read(QStringLiteral("got.txt")), "tunnelled");
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
    // The control connection and the data connection both went through the tunnel.
    QByteArrayList tunnels = work.read(QStringLiteral("tunnels.log")).trimmed().split('\n');
    ASSERT_EQ(tunnels.size(), 2);
    EXPECT_EQ(tunnels[0], "127.0.0.1:" + QByteArray::number(server.port()));

    proxy.closeWriteChannel();
    proxy.waitForFinished(3000);
}
