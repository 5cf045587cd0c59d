#include "settings/ServerProfile.h"

#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

FtpServerFixture::Options withFaults(const QStringList& faults) {
    FtpServerFixture::Options options;
    options.faults = faults;
    return options;
}

const QString SessionError = QStringLiteral("FTPセッションでエラーになりました。\n");

ServerProfile logOnTo(const QString& server, const char* user, const char* password,
                      int port = 21) {
    ServerProfile profile;
    profile.Server = server;
    profile.User = QString::fromUtf8(user);
    profile.Passwd = QString::fromUtf8(password);
    profile.Port = port;
    return profile;
}

} // namespace

TEST(Failure, MissingOrUnsafeLogonDataIsRefusedBeforeAnythingIsSent) {
    ScriptedPrompt prompt;
    CFtpClient client(1, QString(), true, false, false, false, plainFtpTrust());
    for (const auto& [user, password] :
         {std::pair{"u", ""}, std::pair{"u", "p\r\nDELE x"}, std::pair{"u\nx", "p"}}) {
        client.useProfile(logOnTo(QStringLiteral("127.0.0.1"), user, password));
        EXPECT_EQ(client.OpenSession().status(), ResultStatus::Refused);
    }
    const QString text = QStringLiteral("OpenSession : パラメータエラー　環境を確認して下さい。");
    EXPECT_EQ(prompt.texts(), (QStringList{text, text, text}));
    EXPECT_FALSE(client.isConnected());
}

TEST(Failure, ALogonErrorShowsTheServersTextButNeverThePassword) {
    FtpServerFixture server;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ServerProfile wrong = client->profile();
    wrong.Passwd = QStringLiteral("wrong-secret");
    client->useProfile(wrong);
    const Result<> opened = client->OpenSession();
    EXPECT_EQ(opened.status(), ResultStatus::Failed);
    EXPECT_FALSE(client->isConnected());
    ASSERT_EQ(prompt.texts().size(), 1);
    const QString text = prompt.texts()[0];
    EXPECT_TRUE(text.startsWith(SessionError + QStringLiteral("530 "))) << text.toStdString();
    EXPECT_TRUE(
        text.endsWith(QStringLiteral("\nSv=127.0.0.1 Usr=vantorpad Pwd=******** Port=%1 Pass=1")
                          .arg(server.port())))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("wrong-secret")));
    EXPECT_EQ(opened.code(), 530);

    FtpServerFixture refusing(withFaults({QStringLiteral("refuse=PASS")}));
    auto other = clientFor(refusing);
    prompt.clear();
    EXPECT_EQ(other->OpenSession().status(), ResultStatus::Failed);
    EXPECT_TRUE(prompt.texts().value(0).startsWith(SessionError +
                                                   QStringLiteral("530 Login incorrect.\n")));
}

TEST(Failure, AnUnreachableServerFailsWithinTheConnectTimeOut) {
    // A port that nobody listens on any more.
    int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
    int port = ntohs(address.sin_port);
    ::close(probe);
    ScriptedPrompt prompt;
    CFtpClient client(1, QString(), true, false, false, false, plainFtpTrust());
    client.useProfile(logOnTo(QStringLiteral("127.0.0.1"), "u", "p", port));
    EXPECT_EQ(client.OpenSession().status(), ResultStatus::Failed);
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts()[0].startsWith(SessionError +
                                             QStringLiteral("サーバに接続出来ませんでした。")))
        << prompt.texts()[0].toStdString();
}

TEST(Failure, ServerDirectoryRules) {
    FtpServerFixture server;
    server.makeDir("pub");
    server.makeDir("pub/sub");
    server.writeFile("pub/sub/f.txt", "in sub");
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);

    // Empty: nothing to do, names stay relative to the logon directory.
    client->serverDirectory.clear();
    EXPECT_EQ(client->SetServerDir().status(), ResultStatus::Done);
    EXPECT_EQ(client->currentDirectory(), "/");

    client->serverDirectory = "pub";
    EXPECT_EQ(client->SetServerDir().status(), ResultStatus::Done);
    EXPECT_EQ(client->currentDirectory(), "/pub");
    client->serverDirectory = "sub"; // relative to where the server is now, as CWD is
    EXPECT_EQ(client->SetServerDir().status(), ResultStatus::Done);
    EXPECT_EQ(client->currentDirectory(), "/pub/sub");
    ServerFileList list;
    EXPECT_EQ(client->GetServerFileList("*", list, ServerFileKindAll).status(), ResultStatus::Done);
    EXPECT_EQ(list.size(), 1u);

    client->serverDirectory = "/no/such/dir";
    const Result<> entered = client->SetServerDir();
    EXPECT_EQ(entered.status(), ResultStatus::Failed);
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts()[0].startsWith(QStringLiteral("550 ")))
        << prompt.texts()[0].toStdString();
    EXPECT_EQ(entered.code(), 550);
    EXPECT_EQ(client->currentDirectory(), "/pub/sub");
}

TEST(Failure, OperationsWithoutAConnectionArePreconditionFailures) {
    TempDir local;
    ScriptedPrompt prompt;
    CFtpClient client(1, QString(), true, false, false, false, plainFtpTrust());
    EXPECT_EQ(client.FileSend(local.write(QStringLiteral("a"), "x"), "a", 1, 0).status(),
              ResultStatus::Refused);
    EXPECT_EQ(client.FileReceive(1, local.filePath(QStringLiteral("b")), "b").status(),
              ResultStatus::Refused);
    EXPECT_EQ(
        prompt.texts(),
        (QStringList{QStringLiteral("FileSend : ＦＴＰセッションが確立されていません。"),
                     QStringLiteral("FileReceive : ＦＴＰセッションが確立されていません。")}));
    EXPECT_FALSE(local.exists(QStringLiteral("b")));
    ServerFileList list;
    EXPECT_EQ(client.GetServerFileList("*", list, ServerFileKindAll).status(),
              ResultStatus::Refused);
    EXPECT_EQ(list.size(), 0u);
}

TEST(Failure, CompositeOperationsCheckTheirParameters) {
    ScriptedPrompt prompt;
    CFtpClient client(1, QString(), true, false, false, false, plainFtpTrust());
    client.useProfile(logOnTo(QStringLiteral("h"), "u", "p"));
    EXPECT_EQ(client.PutFileAuto(QString(), "r", 1, 0).status(), ResultStatus::Refused);
    EXPECT_EQ(client.PutFileEUCAuto(QStringLiteral("l"), QByteArray(), 0).status(),
              ResultStatus::Refused);
    EXPECT_EQ(client.GetFileAuto(QStringLiteral("l"), QByteArray(), 1).status(),
              ResultStatus::Refused);
    client.useProfile(logOnTo(QStringLiteral("h"), "u", ""));
    EXPECT_EQ(client.GetFileEUCAuto(QStringLiteral("l"), "r").status(), ResultStatus::Refused);
    EXPECT_EQ(
        prompt.texts(),
        (QStringList{QStringLiteral("PutFileAuto : パラメータエラー"),
                     QStringLiteral("PutFileEUCAuto : パラメータエラー　環境を確認して下さい。"),
                     QStringLiteral("GetFileAuto : パラメータエラー　環境を確認して下さい。"),
                     QStringLiteral("GetFileEUCAuto : パラメータエラー　環境を確認して下さい。")}));
}

TEST(Failure, ConversionFailureEndsAnEucUploadBeforeAnyConnection) {
    TempDir local;
    ScriptedPrompt prompt;
    CFtpClient client(1, QString(), true, false, false, false, plainFtpTrust());
    // Nothing listens on port 1: a connection attempt would add its own message.
    client.useProfile(logOnTo(QStringLiteral("127.0.0.1"), "u", "p", 1));
    EXPECT_EQ(
        client.PutFileEUCAuto(local.filePath(QStringLiteral("missing.txt")), "r.txt", 0).status(),
        ResultStatus::Failed);
    EXPECT_EQ(prompt.texts().size(), 1);
    EXPECT_FALSE(prompt.texts().value(0).startsWith(SessionError));
    EXPECT_FALSE(client.isConnected());
}

TEST(Failure, RefusedTransfersShowTheServersReply) {
    FtpServerFixture server(withFaults({QStringLiteral("refuse=STOR")}));
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    const Result<> sent =
        client->PutFileAuto(local.write(QStringLiteral("a"), "abc"), "a.txt", 1, 0);
    EXPECT_EQ(sent.status(), ResultStatus::Failed);
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("553 Could not create file.")});
    EXPECT_EQ(sent.code(), 553);

    prompt.clear();
    EXPECT_EQ(client->GetFileAuto(local.filePath(QStringLiteral("m")), "missing.txt", 1).status(),
              ResultStatus::Failed);
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts()[0].startsWith(QStringLiteral("550 ")))
        << prompt.texts()[0].toStdString();
    EXPECT_FALSE(local.exists(QStringLiteral("m")));
}

TEST(Failure, ServerFileOperationsReportByTheirResult) {
    FtpServerFixture server;
    server.writeFile("a.txt", "a");
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    EXPECT_TRUE(client->MakeDir("newdir").ok());
    EXPECT_TRUE(server.exists("newdir"));
    EXPECT_TRUE(client->Rename("a.txt", "newdir/b.txt").ok());
    EXPECT_EQ(server.readFile("newdir/b.txt"), "a");
    EXPECT_FALSE(client->Rename("a.txt", "c.txt").ok()); // gone already
    EXPECT_FALSE(client->RmDir("newdir").ok());          // not empty
    EXPECT_TRUE(client->Remove("newdir/b.txt").ok());
    EXPECT_TRUE(client->RmDir("newdir").ok());
    const Result<> removed = client->Remove("nothing.txt");
    EXPECT_FALSE(removed.ok());
    EXPECT_EQ(removed.code(), 550);
    EXPECT_FALSE(client->Remove("bad\r\nDELE a").ok());
    EXPECT_TRUE(server.names().isEmpty());
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}

TEST(Failure, RefusalsOfTheServerLeaveBothSidesAsTheyWere) {
    FtpServerFixture server(
        withFaults({QStringLiteral("refuse=DELE"), QStringLiteral("refuse=RNFR"),
                    QStringLiteral("refuse=MKD")}));
    server.writeFile("keep.txt", "keep");
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    const QString denied = QStringLiteral("550 Permission denied.");
    EXPECT_EQ(client->Remove("keep.txt").message(), denied);
    EXPECT_EQ(client->Rename("keep.txt", "other.txt").message(), denied);
    const Result<> made = client->MakeDir("d");
    EXPECT_FALSE(made.ok());
    EXPECT_EQ(made.message(), denied);
    EXPECT_EQ(server.names(), QByteArrayList{"keep.txt"});
    // The refusals did not cost the session.
    ServerFileList list;
    EXPECT_EQ(client->GetServerFileList("*", list, ServerFileKindAll).status(), ResultStatus::Done);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(Failure, ADirectoryThatCannotBeEnteredStopsServerFileOperations) {
    FtpServerFixture server(withFaults({QStringLiteral("refuse=CWD")}));
    server.makeDir("d");
    server.writeFile("d/x", "x");
    ScriptedPrompt prompt;
    auto client = clientFor(server, true, false, QStringLiteral("d"));
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    const QString dirFailed = QStringLiteral("ディレクトリ変更に失敗しました。");
    const QString refused = QStringLiteral("550 No such file or directory.");
    EXPECT_FALSE(client->Remove("x").ok());
    EXPECT_FALSE(client->Rename("x", "y").ok());
    EXPECT_FALSE(client->RmDir("x").ok());
    EXPECT_FALSE(client->MakeDir("x").ok());
    EXPECT_EQ(prompt.texts(), (QStringList{refused, dirFailed, refused, dirFailed, refused,
                                           dirFailed, refused, dirFailed}));
    EXPECT_EQ(server.readFile("d/x"), "x");

    // The composite operations stop at the directory and keep their result.
    prompt.clear();
    TempDir local;
    EXPECT_EQ(client->GetFileAuto(local.filePath(QStringLiteral("x")), "x", 1).status(),
              ResultStatus::Failed);
    EXPECT_EQ(prompt.texts(), QStringList{refused});
    EXPECT_FALSE(local.exists(QStringLiteral("x")));
}

TEST(Failure, A421EndsTheSessionAndNothingReconnectsBehindTheCallersBack) {
    FtpServerFixture server(withFaults({QStringLiteral("reply421=MKD")}));
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    const Result<> made = client->MakeDir("d");
    EXPECT_FALSE(made.ok());
    EXPECT_EQ(made.message(),
              QStringLiteral("421 Service not available, closing control connection."));
    EXPECT_EQ(made.code(), 421);

    EXPECT_EQ(client->FileSend(local.write(QStringLiteral("f"), "data"), "f.txt", 1, 0).status(),
              ResultStatus::Failed);
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("サーバとの接続が切断されました。")});
    EXPECT_FALSE(server.exists("f.txt"));
    // A new logon is the caller's decision.
    prompt.clear();
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    EXPECT_EQ(client->FileSend(local.filePath(QStringLiteral("f")), "f.txt", 1, 0).status(),
              ResultStatus::Done);
    EXPECT_EQ(server.readFile("f.txt"), "data");
}

TEST(Failure, AServerThatStopsAnsweringOrStallsEndsWithATimeOut) {
    TempDir local;
    const QString path = local.write(QStringLiteral("f.bin"), "old");
    const QString timedOut = QStringLiteral("操作がタイムアウトしました。");
    for (const char* fault : {"mute=RETR", "stallretr", "mute=CWD"}) {
        SCOPED_TRACE(fault);
        FtpServerFixture server(withFaults({QString::fromLatin1(fault)}));
        server.writeFile("f.bin", QByteArray(2 * 1024 * 1024, 'x'));
        ScriptedPrompt prompt;
        auto client = clientFor(server, true, false, QStringLiteral("/"));
        client->setTimeouts(quickTimeouts());
        EXPECT_EQ(client->GetFileAuto(path, "f.bin", 0).status(), ResultStatus::Failed);
        ASSERT_EQ(prompt.texts().size(), 1);
        EXPECT_TRUE(prompt.texts()[0].startsWith(timedOut)) << prompt.texts()[0].toStdString();
        EXPECT_EQ(local.read(QStringLiteral("f.bin")), "old");
        client.reset(); // ends the connection to the silent server without waiting for it
    }
}

TEST(Failure, ARefusalWithAnEndlessReplyLineIsReportedAndTheSessionGoesOn) {
    FtpServerFixture server(withFaults({QStringLiteral("longreply=DELE")}));
    server.writeFile("f.txt", "f");
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    const Result<> removed = client->Remove("f.txt");
    EXPECT_FALSE(removed.ok());
    EXPECT_TRUE(removed.message().startsWith(QStringLiteral("550 xxx")));
    EXPECT_LE(removed.message().size(), 1023);
    EXPECT_TRUE(client->MakeDir("after").ok());
    EXPECT_TRUE(server.exists("after"));
    EXPECT_TRUE(server.exists("f.txt"));
}
