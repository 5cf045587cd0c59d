// FtpSession against a real FTP server: the answers of RemoteSession, over MLSD and over LIST.

#include "ftp/FtpSession.h"
#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

FtpEndpoint endpointOf(const FtpServerFixture& server) {
    FtpEndpoint e;
    e.host = server.host().toLatin1();
    e.port = server.port();
    e.user = server.user().toLatin1();
    e.password = server.password().toLatin1();
    e.proxyMode = 1;
    e.passive = true;
    return e;
}

std::vector<ListedEntry>
entriesOf(const std::function<Result<>(const RemoteSession::EntrySink&)>& call,
          ResultStatus* status) {
    std::vector<ListedEntry> entries;
    *status = call([&entries](ListedEntry&& e) { entries.push_back(std::move(e)); }).status();
    return entries;
}

} // namespace

TEST(FtpSessionOps, FilesDirectoriesAndRefusalsInTheServersWordsOverMlsdAndList) {
    for (const bool mlsd : {true, false}) {
        SCOPED_TRACE(mlsd ? "MLSD" : "LIST");
        FtpServerFixture::Options options;
        options.mlsd = mlsd;
        FtpServerFixture server(options);
        ScriptedPrompt prompt;
        FtpSession session(endpointOf(server), shortTimeouts(), plainFtpTrust(), FtpListingMode{});
        const Result<QByteArray> root = session.logOn();
        ASSERT_TRUE(root.ok()) << root.message().toStdString();
        EXPECT_EQ(*root, "/");

        ASSERT_TRUE(session.makeDirectory("sub").ok());
        const Result<QByteArray> entered = session.changeDirectory("sub");
        ASSERT_TRUE(entered.ok());
        EXPECT_EQ(*entered, "/sub");

        QByteArray data;
        for (int i = 0; data.size() < 200 * 1024; ++i)
            data += "line " + QByteArray::number(i) + "\r\n" + QByteArray("\x82\xa0\0\xff", 4);
        qsizetype at = 0;
        const Result<qint64> stored = session.store(
            "a.txt", TransferType::Binary, data.size(), [&](char* buffer, qint64 capacity) {
                const qint64 n = qMin(capacity, qint64(data.size() - at));
                memcpy(buffer, data.constData() + at, size_t(n));
                at += n;
                return n;
            });
        ASSERT_TRUE(stored.ok()) << stored.message().toStdString();
        EXPECT_EQ(*stored, data.size());
        EXPECT_EQ(server.readFile("sub/a.txt"), data);
        QByteArray back;
        const Result<qint64> got =
            session.retrieve("a.txt", TransferType::Binary, [&](const char* d, qsizetype n) {
                back.append(d, n);
                return true;
            });
        ASSERT_TRUE(got.ok()) << got.message().toStdString();
        EXPECT_EQ(*got, data.size());
        EXPECT_EQ(back, data);

        const Result<RemoteFileInfo> info = session.stat("a.txt");
        ASSERT_TRUE(info.ok()) << info.message().toStdString();
        EXPECT_EQ(info->size, data.size());
        EXPECT_EQ(info->modifiedAsTold.left(14).size(), 14);
        EXPECT_NEAR(double(info->modified.value_or(0)),
                    double(QFileInfo(QFile::decodeName(server.localPath("sub/a.txt")))
                               .lastModified()
                               .toSecsSinceEpoch()),
                    1.0);

        ResultStatus status = ResultStatus::Failed;
        auto one = entriesOf([&](auto sink) { return session.lookUp("a.txt", sink); }, &status);
        EXPECT_EQ(status, ResultStatus::Done);
        ASSERT_EQ(one.size(), 1u);
        EXPECT_TRUE(one[0].name.endsWith("a.txt"));
        EXPECT_EQ(one[0].size, data.size());
        EXPECT_TRUE(
            entriesOf([&](auto sink) { return session.lookUp("missing.txt", sink); }, &status)
                .empty());
        EXPECT_EQ(status, ResultStatus::Done) << "a name that is not there is an answer";
        ASSERT_TRUE(session.rename("a.txt", "b.txt").ok());
        auto listed = entriesOf([&](auto sink) { return session.list("/sub", sink); }, &status);
        EXPECT_EQ(status, ResultStatus::Done);
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_EQ(listed[0].name, "b.txt");

        const Result<> refused = session.remove("missing.txt");
        EXPECT_EQ(refused.status(), ResultStatus::Failed);
        EXPECT_EQ(refused.code(), 550);
        EXPECT_TRUE(refused.message().startsWith(QStringLiteral("550 ")))
            << refused.message().toStdString();
        EXPECT_FALSE(session.rename("missing.txt", "c.txt").ok());
        ASSERT_TRUE(session.remove("b.txt").ok());
        ASSERT_TRUE(session.changeDirectory("/").ok());
        ASSERT_TRUE(session.removeDirectory("sub").ok());
        EXPECT_FALSE(server.exists("sub"));
        EXPECT_EQ(session.changeDirectory("sub").code(), 550);
        EXPECT_EQ(session.currentDirectory(), "/") << "a refused CWD goes nowhere";

        session.close();
        const Result<RemoteFileInfo> closed = session.stat("b.txt");
        EXPECT_EQ(closed.status(), ResultStatus::Refused);
        EXPECT_EQ(closed.message(), QStringLiteral("サーバとの接続が切断されました。"));
        EXPECT_TRUE(prompt.texts().isEmpty()) << "a session shows nothing itself";
    }
}

TEST(FtpSessionOps, ACallFromAnEventDuringATransferIsRefusedAndTheTransferGoesOn) {
    FtpServerFixture server;
    const QByteArray data(2 * 1024 * 1024, 'x');
    server.writeFile("big.bin", data);
    ScriptedPrompt prompt;
    FtpSession session(endpointOf(server), shortTimeouts(), plainFtpTrust(), FtpListingMode{});
    ASSERT_TRUE(session.logOn().ok());
    bool called = false;
    Result<> inner = Result<>::done();
    bool busyAfterwards = false;
    session.setProgressHandler([&](qint64 done, qint64) {
        if (!called && done > 0) {
            called = true;
            inner = session.list("/", [](ListedEntry&&) {});
            busyAfterwards = session.busy();
        }
        return true;
    });
    const Result<qint64> got = session.retrieve("big.bin", TransferType::Binary,
                                                [](const char*, qsizetype) { return true; });
    ASSERT_TRUE(got.ok()) << got.message().toStdString();
    EXPECT_EQ(*got, data.size());
    ASSERT_TRUE(called);
    EXPECT_FALSE(inner.ok());
    EXPECT_TRUE(busyAfterwards) << "the refused call must not end the transfer's busy state";
    EXPECT_FALSE(session.busy());
}
