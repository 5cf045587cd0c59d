#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "encoding/LosslessCodec.h"
#include "ftp/FtpDebugLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The debug log is written to the current directory: each test runs in a directory of its own.
class InDirectory {
public:
    explicit InDirectory(const QString& dir) : m_previous(QDir::currentPath()) {
        QDir::setCurrent(dir);
    }
    ~InDirectory() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

QStringList logLines(const TempDir& dir) {
    QStringList lines = fromCp932(dir.read(QStringLiteral("ftp.log"))).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The message part of each line, after checking the "MM/DD hh:mm:ss " stamp.
QStringList messages(const QStringList& lines) {
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d "));
    QStringList result;
    for (const QString& line : lines) {
        EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
        result << line.mid(15);
    }
    return result;
}

} // namespace

TEST(DebugLog, RecordsEachOperationWithoutThePassword) {
    FtpServerFixture server;
    server.makeDir("pub");
    server.writeFile("pub/a.txt", "a");
    TempDir dir;
    InDirectory here(dir.path());
    ScriptedPrompt prompt;
    {
        auto client = clientFor(server, true, true, QStringLiteral("/pub"));
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
        ASSERT_EQ(client->SetServerDir().status(), ResultStatus::Done);
        ServerFileList list;
        EXPECT_EQ(client->GetServerFileList("*", list, ServerFileKindAll).status(),
                  ResultStatus::Done);
        client->CloseSession();
    }
    QStringList m = messages(logLines(dir));
    const QString port = QString::number(server.port());
    EXPECT_EQ(m,
              (QStringList{
                  QStringLiteral("CInternetSession Create 1  67108864"),
                  QStringLiteral("OpenSession START 127.0.0.1 vantorpad PORT=%1 RAW=1").arg(port),
                  QStringLiteral("OpenSession END ROOT=/"),
                  QStringLiteral("SetServerDir START /pub"),
                  QStringLiteral("SetServerDir END"),
                  QStringLiteral("★★★GetServerFileList START * 17 RAW=0"),
                  QStringLiteral("★★★GetServerFileList Name=a.txt Path=/pub/a.txt "
                                 "URL=ftp://127.0.0.1/pub/a.txt"),
                  QStringLiteral("★★★GetServerFileList END 1"),
                  QStringLiteral("CloseSession START"),
                  QStringLiteral("Internetセッションの解放"),
              }));
    EXPECT_FALSE(dir.read(QStringLiteral("ftp.log")).contains(server.password().toLatin1()));
}

TEST(DebugLog, LongMessagesAreCutAndEveryClientStartsTheFileAnew) {
    TempDir dir;
    InDirectory here(dir.path());
    {
        CFtpClient first(0, QStringLiteral("proxy:8080"), false, false, false, true,
                         plainFtpTrust());
        first.Log("%s", QByteArray(3000, 'a').constData());
        CFtpClient second(2, QStringLiteral("proxy:8080"), false, false, false, true,
                          plainFtpTrust());
        second.Log("second %d", 2);
        first.Log("first again");
    }
    QStringList m = messages(logLines(dir));
    ASSERT_EQ(m.size(), 5);
    // The first client's earlier lines went when the second one created the file.
    EXPECT_EQ(m[0], QStringLiteral("CInternetSession Create 3 proxy:8080 67108864"));
    EXPECT_EQ(m[1], QStringLiteral("second 2"));
    EXPECT_EQ(m[2], QStringLiteral("first again"));

    TempDir cut;
    InDirectory there(cut.path());
    {
        CFtpClient client(1, QString(), false, false, false, true, plainFtpTrust());
        client.Log("%s", QByteArray(3000, 'a').constData());
    }
    EXPECT_EQ(messages(logLines(cut)).value(1), QString(1023, u'a'));
}

TEST(DebugLog, NoFileIsCreatedOrChangedWithLoggingOff) {
    FtpServerFixture server;
    TempDir dir;
    InDirectory here(dir.path());
    ScriptedPrompt prompt;
    {
        auto client = clientFor(server, true, false);
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
        client->Log("never");
    }
    EXPECT_FALSE(dir.exists(QStringLiteral("ftp.log")));
    dir.write(QStringLiteral("ftp.log"), "earlier");
    {
        auto client = clientFor(server, true, false);
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    }
    EXPECT_EQ(dir.read(QStringLiteral("ftp.log")), "earlier");
}

TEST(DebugLog, ALinkInThePlaceOfTheLogIsNotFollowed) {
    TempDir dir;
    const QString target = dir.write(QStringLiteral("precious.txt"), "keep me");
    ASSERT_TRUE(QFile::link(target, dir.filePath(QStringLiteral("ftp.log"))));
    FtpDebugLog log;
    EXPECT_FALSE(log.open(dir.filePath(QStringLiteral("ftp.log"))));
    log.write("never");
    EXPECT_EQ(dir.read(QStringLiteral("precious.txt")), "keep me");
}
