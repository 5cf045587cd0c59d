#include "FtpServerFixture.h"
#include "FtpTestSupport.h"
#include "TempDir.h"
#include "encoding/LosslessCodec.h"
#include "ftp/FtpNames.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include "ScriptedPrompt.h"
#include "SftpServerFixture.h"
#include "ftp/ServerTrust.h"
#include "settings/ServerProfile.h"

#include <gtest/gtest.h>

namespace {

struct CtlRun {
    int status = -1;
    QString out;
    QString err;
    QByteArray outBytes;
};

// vantorpadctl as a script runs it: in a directory that holds Vantorpad.ini.
class Ctl {
public:
    // `server00` adds lines to the first profile.
    explicit Ctl(const FtpServerFixture& server, const QByteArray& server00 = {}) {
        QByteArray ini = "[Server00]\r\nServer=127.0.0.1\r\nUser=" + server.user().toLatin1() +
                         "\r\nPasswd=" + server.password().toLatin1() +
                         "\r\nCode=1\r\nPort=" + QByteArray::number(server.port()) +
                         "\r\nDir=/pub\r\nSvDel=1\r\n" + server00 +
                         "[Server01]\r\nServer=127.0.0.1\r\nUser=" + server.user().toLatin1() +
                         "\r\nPasswd=" + server.password().toLatin1() +
                         "\r\nCode=0\r\nPort=" + QByteArray::number(server.port()) +
                         "\r\nDir=/euc\r\n" + "[Network]\r\nProxy=1\r\nPassive=1\r\n";
        m_dir.write(QStringLiteral("Vantorpad.ini"), ini);
    }

    CtlRun operator()(const QStringList& args) const {
        return run(QStringLiteral(VANTORPADCTL_PATH), args);
    }

    CtlRun run(const QString& program, const QStringList& args) const {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(program, args);
        CtlRun run;
        if (!process.waitForFinished(60000)) {
            ADD_FAILURE() << "vantorpadctl did not finish";
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.outBytes = process.readAllStandardOutput();
        run.out = QString::fromLocal8Bit(run.outBytes);
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    // The same with words given as bytes, which need not be UTF-8, as a shell passes them.
    CtlRun typed(const QList<QByteArray>& words) const {
        QString script = QStringLiteral("exec \"$0\"");
        for (const QByteArray& word : words) {
            QString octal;
            for (char c : word)
                octal += QStringLiteral("\\%1").arg(uint(uchar(c)), 3, 8, QLatin1Char('0'));
            script += QStringLiteral(" \"$(printf '%1')\"").arg(octal);
        }
        return run(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"), script, QStringLiteral(VANTORPADCTL_PATH)});
    }

    const TempDir& dir() const { return m_dir; }

private:
    TempDir m_dir;
};

} // namespace

TEST(CtlFtp, ListsTheProfileDirectoryDirectoriesFirst) {
    FtpServerFixture server;
    server.makeDir("pub");
    server.makeDir("pub/zdir");
    server.writeFile("pub/b.txt", "12345");
    server.writeFile("pub/A.txt", "1");
    server.writeFile("pub/" + toCp932(QStringLiteral("日本語.txt")), "xy");
    Ctl ctl(server);
    CtlRun ls = ctl({QStringLiteral("ls")});
    ASSERT_EQ(ls.status, 0) << ls.err.toStdString();
    QStringList lines = ls.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << ls.out.toStdString();
    static const QRegularExpression format(
        QStringLiteral("^([d-]) +(\\d+) (\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d) (.+)$"));
    QStringList kinds;
    QStringList names;
    for (const QString& line : lines) {
        QRegularExpressionMatch m = format.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        kinds << m.captured(1);
        names << m.captured(4);
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("zdir"), QStringLiteral("A.txt"),
                                  QStringLiteral("b.txt"), QStringLiteral("日本語.txt")}));
    EXPECT_EQ(kinds.join(QString()), QStringLiteral("d---"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("-          5 ")));

    CtlRun sub = ctl({QStringLiteral("ls"), QStringLiteral("zdir")});
    EXPECT_EQ(sub.status, 0);
    EXPECT_TRUE(sub.out.isEmpty());
    CtlRun missing = ctl({QStringLiteral("ls"), QStringLiteral("/nowhere")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("550 "))) << missing.err.toStdString();
}

TEST(CtlFtp, GetsPutsAndManagesFiles) {
    FtpServerFixture server;
    server.makeDir("pub");
    Ctl ctl(server);
    const QString local = ctl.dir().write(QStringLiteral("note.txt"), "line one\r\nline two\r\n");

    EXPECT_EQ(ctl({QStringLiteral("put"), local}).status, 0);
    EXPECT_EQ(server.readFile("pub/note.txt"), "line one\nline two\n");
    EXPECT_EQ(ctl({QStringLiteral("mkdir"), QStringLiteral("keep")}).status, 0);
    EXPECT_EQ(
        ctl({QStringLiteral("mv"), QStringLiteral("note.txt"), QStringLiteral("keep/renamed.txt")})
            .status,
        0);
    EXPECT_EQ(server.names("pub/keep"), QByteArrayList{"renamed.txt"});

    CtlRun get = ctl(
        {QStringLiteral("get"), QStringLiteral("keep/renamed.txt"), QStringLiteral("back.txt")});
    EXPECT_EQ(get.status, 0) << get.err.toStdString();
    EXPECT_EQ(ctl.dir().read(QStringLiteral("back.txt")), "line one\r\nline two\r\n");

    CtlRun refused = ctl({QStringLiteral("rmdir"), QStringLiteral("keep")});
    EXPECT_EQ(refused.status, 1);
    // The server's refusal travels in the result and stands under the program's own line.
    EXPECT_TRUE(refused.err.contains(QStringLiteral("keep を削除出来ませんでした。\n550 ")))
        << refused.err.toStdString();
    EXPECT_EQ(ctl({QStringLiteral("rm"), QStringLiteral("keep/renamed.txt")}).status, 0);
    EXPECT_EQ(ctl({QStringLiteral("rmdir"), QStringLiteral("keep")}).status, 0);
    EXPECT_EQ(server.names("pub"), QByteArrayList{});

    CtlRun missing = ctl({QStringLiteral("get"), QStringLiteral("missing.txt")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(ctl.dir().exists(QStringLiteral("missing.txt")));
    EXPECT_EQ(ctl({QStringLiteral("rm")}).status, 1);
}

// Killed while its data moves, a put on a profile with safe uploads has touched only its
// temporary file: the server's file is as it was.
TEST(CtlFtp, APutKilledHalfWayLeavesTheServerFileOfASafeUploadProfile) {
    FtpServerFixture::Options options;
    options.faults = {QStringLiteral("stallstor")}; // holds the upload after 64 KiB
    FtpServerFixture server(options);
    server.makeDir("pub");
    server.writeFile("pub/big.txt", "older");
    Ctl ctl(server, "SafeUpload=1\r\n");
    const QString local = ctl.dir().write(QStringLiteral("big.txt"), QByteArray(1 << 20, 'p'));
    QProcess put;
    put.setWorkingDirectory(ctl.dir().path());
    put.start(QStringLiteral(VANTORPADCTL_PATH), {QStringLiteral("put"), local});
    const auto holdsPartOfTheUpload = [&server] {
        for (const QByteArray& name : server.names("pub")) {
            if (QFileInfo(QFile::decodeName(server.localPath("pub/" + name))).size() > 65536)
                return true;
        }
        return false;
    };
    bool arrived = false;
    for (int turn = 0; turn < 600 && !arrived && put.state() != QProcess::NotRunning; ++turn) {
        put.waitForFinished(50);
        arrived = holdsPartOfTheUpload();
    }
    ASSERT_TRUE(arrived) << put.readAllStandardError().toStdString();
    put.kill();
    put.waitForFinished();
    EXPECT_EQ(server.readFile("pub/big.txt"), QByteArray("older"));
}

TEST(CtlFtp, EucProfilesConvertOnTheWayAsTheEditorDoes) {
    FtpServerFixture server;
    server.makeDir("euc");
    Ctl ctl(server);
    const QString text = QStringLiteral("日本語のメモ\r\n");
    const QString local = ctl.dir().write(QStringLiteral("memo.txt"), toCp932(text));
    CtlRun put = ctl({QStringLiteral("put"), QStringLiteral("-p"), QStringLiteral("1"), local});
    ASSERT_EQ(put.status, 0) << put.err.toStdString();
    QByteArray onServer = server.readFile("euc/memo.txt");
    EXPECT_TRUE(LosslessCodec::eucJp().decode(onServer).contains(QStringLiteral("日本語のメモ")));
    EXPECT_FALSE(onServer.contains(toCp932(QStringLiteral("日本語"))));

    CtlRun get = ctl({QStringLiteral("get"), QStringLiteral("-p"), QStringLiteral("1"),
                      QStringLiteral("memo.txt"), QStringLiteral("again.txt")});
    ASSERT_EQ(get.status, 0) << get.err.toStdString();
    EXPECT_TRUE(fromCp932(ctl.dir().read(QStringLiteral("again.txt")))
                    .contains(QStringLiteral("日本語のメモ")));
    EXPECT_FALSE(ctl.dir().exists(QStringLiteral("again.txt.$$$")));
    EXPECT_FALSE(ctl.dir().exists(QStringLiteral("memo.txt.$$$")));
}

TEST(CtlFtp, ListingsShowControlCharactersOfNamesEscaped) {
    FtpServerFixture::Options options;
    options.extraNames = {"esc\x1B[2J.txt", "csi\x9B"
                                            "2J.txt"};
    FtpServerFixture server(options);
    server.makeDir("pub");
    server.makeDir("euc");
    Ctl ctl(server);
    for (const char* profile : {"0", "1"}) {
        SCOPED_TRACE(profile);
        CtlRun ls = ctl({QStringLiteral("ls"), QStringLiteral("-p"), QString::fromLatin1(profile)});
        ASSERT_EQ(ls.status, 0) << ls.err.toStdString();
        EXPECT_TRUE(ls.out.contains(QStringLiteral(" esc\\x1B[2J.txt\n"))) << ls.out.toStdString();
        EXPECT_TRUE(ls.out.contains(QStringLiteral(" csi\\x9B2J.txt\n"))) << ls.out.toStdString();
        EXPECT_FALSE(ls.outBytes.contains('\x1B'));
        EXPECT_FALSE(ls.outBytes.contains('\x9B'));
    }
}

TEST(CtlFtp, AListingThatFailsIsReportedAndExitsOne) {
    for (const char* fault : {"refuse=MLSD", "droplist"}) {
        SCOPED_TRACE(fault);
        FtpServerFixture::Options options;
        options.faults << QString::fromLatin1(fault);
        options.extraNames = QByteArrayList(400, "padding-entry-name.txt");
        FtpServerFixture server(options);
        server.makeDir("pub");
        Ctl ctl(server);
        CtlRun ls = ctl({QStringLiteral("ls")});
        EXPECT_EQ(ls.status, 1);
        EXPECT_TRUE(ls.err.contains(QStringLiteral("一覧を取得出来ませんでした。")))
            << ls.err.toStdString();
        const QString reason = ls.err.section(QStringLiteral("一覧を取得出来ませんでした。\n"), 1);
        EXPECT_FALSE(reason.trimmed().isEmpty()) << "the reason follows the message";
        EXPECT_TRUE(ls.out.isEmpty()) << ls.out.toStdString();
    }
}

TEST(CtlFtp, SettingsThatCannotBeReadAreNamed) {
    FtpServerFixture server;
    Ctl ctl(server);
    const QString ini = ctl.dir().filePath(QStringLiteral("Vantorpad.ini"));
    ASSERT_TRUE(QFile::remove(ini));
    ASSERT_TRUE(QDir().mkdir(ini));
    CtlRun ls = ctl({QStringLiteral("ls")});
    EXPECT_EQ(ls.status, 1);
    EXPECT_TRUE(ls.err.contains(QStringLiteral("設定ファイル %1 が読み込めません。").arg(ini)))
        << ls.err.toStdString();
}

TEST(CtlFtp, GetWritesOnlyIntoTheTargetDirectory) {
    FtpServerFixture server;
    server.makeDir("pub");
    server.writeFile("up.txt", "from the root");
    server.writeFile("pub/bell\x01.txt", "x");
    Ctl ctl(server);
    const QString into = ctl.dir().filePath(QStringLiteral("into"));
    ASSERT_TRUE(QDir().mkdir(into));
    const char* const refused[] = {"..", "sub/..", ".", "bell\x01.txt"};
    for (const char* name : refused) {
        SCOPED_TRACE(name);
        CtlRun get = ctl({QStringLiteral("get"), QString::fromLatin1(name), into});
        EXPECT_EQ(get.status, 1);
        const QByteArray last = FtpNames::lastComponent(name);
        EXPECT_TRUE(get.err.contains(FtpNames::unreceivableMessage(last))) << get.err.toStdString();
    }
    // A typed path names a server directory; the file still lands in the target directory.
    CtlRun up = ctl({QStringLiteral("get"), QStringLiteral("../up.txt"), into});
    EXPECT_EQ(up.status, 0) << up.err.toStdString();
    EXPECT_EQ(QDir(into).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("up.txt")});
    EXPECT_EQ(QDir(ctl.dir().path())
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                             QDir::Name | QDir::IgnoreCase),
              (QStringList{QStringLiteral("into"), QStringLiteral("Vantorpad.ini")}));
}

TEST(CtlFtp, TypedNamesTheServersCodeSystemCannotHoldAreRefused) {
    FtpServerFixture server;
    server.makeDir("pub");
    server.makeDir("euc");
    Ctl ctl(server);
    const QString local = ctl.dir().write(QStringLiteral("a.txt"), "a\r\n");
    const QString name = QStringLiteral("絵文字\U0001F600.txt");
    const QStringList commands[] = {
        {QStringLiteral("put"), local, name},
        {QStringLiteral("mkdir"), name},
        {QStringLiteral("ls"), name},
        {QStringLiteral("get"), name},
    };
    for (const char* profile : {"0", "1"}) {
        for (const QStringList& command : commands) {
            SCOPED_TRACE(command.join(u' ').toStdString() + " -p " + profile);
            CtlRun run =
                ctl(command + QStringList{QStringLiteral("-p"), QString::fromLatin1(profile)});
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(run.err.contains(FtpNames::unencodableMessage(name)))
                << run.err.toStdString();
        }
    }
    EXPECT_TRUE(server.names("pub").isEmpty());
    EXPECT_TRUE(server.names("euc").isEmpty());
}

// On a UTF-8 profile a typed name goes to the server as the bytes it was typed as: with a
// leading byte order mark, or with bytes that are no UTF-8, never as another file's name.
// A port past the last one is named as such, not as a name that cannot be used.
TEST(CtlFtp, AUtf8ProfileSendsTypedNamesAsTheirBytesAndABadPortIsNamed) {
    const QByteArray bom = "\xef\xbb\xbf";
    FtpServerFixture server;
    server.makeDir("pub");
    server.writeFile("pub/" + bom + "bom.txt", "marked");
    server.writeFile("pub/bom.txt", "unmarked");
    server.writeFile("pub/bad\xff.txt", "bad");
    server.writeFile("pub/bad\xef\xbf\xbd.txt", "replaced"); // the name with U+FFFD
    Ctl ctl(server);
    QByteArray ini = ctl.dir().read(QStringLiteral("Vantorpad.ini"));
    ini.replace("Code=1", "Code=2")
        .replace("Port=" + QByteArray::number(server.port()) + "\r\nDir=/euc",
                 "Port=65536\r\nDir=/euc");
    ctl.dir().write(QStringLiteral("Vantorpad.ini"), ini);
    const QString up = ctl.dir().write(QStringLiteral("up.txt"), "up");

    for (const auto& [name, content] :
         {std::pair{bom + "bom.txt", "marked"}, std::pair{QByteArray("bad\xff.txt"), "bad"}}) {
        SCOPED_TRACE(name.toHex().toStdString());
        CtlRun run = ctl.typed({"get", name, "got.txt"});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(ctl.dir().read(QStringLiteral("got.txt")), content);
        EXPECT_EQ(ctl.typed({"put", up.toUtf8(), "new" + name}).status, 0);
        EXPECT_EQ(server.readFile("pub/new" + name), "up");
    }
    EXPECT_EQ(ctl.typed({"rm", "bad\xff.txt"}).status, 0);
    EXPECT_FALSE(server.exists("pub/bad\xff.txt"));
    EXPECT_TRUE(server.exists("pub/bad\xef\xbf\xbd.txt"));

    CtlRun ls = ctl({QStringLiteral("ls"), QStringLiteral("-p"), QStringLiteral("1")});
    EXPECT_EQ(ls.status, 1);
    EXPECT_EQ(
        ls.err.trimmed(),
        QStringLiteral("ポート番号 65536 は使用出来ません。1～65535 の範囲で設定して下さい。"));
}

TEST(CtlFtp, AnSftpProfileWorksOnceItsHostKeyIsTrustedAndIsRefusedBefore) {
    SftpServerFixture server;
    FtpServerFixture plain;
    Ctl ctl(plain);
    const ServerProfile sftp = server.profile();
    writeFileBytes(QDir(server.rootDir()).filePath(QStringLiteral("a.txt")), "12345");
    // Profile NO:1 becomes the SFTP server's, the rest of the file as it was.
    QByteArray ini = ctl.dir().read(QStringLiteral("Vantorpad.ini"));
    ini.replace("Port=" + QByteArray::number(plain.port()) + "\r\nDir=/euc",
                "Port=" + QByteArray::number(server.port()) + "\r\nDir=/\r\nProtocol=2");
    ini.replace("Code=0", "Code=1");
    ctl.dir().write(QStringLiteral("Vantorpad.ini"), ini);
    const QStringList ls{QStringLiteral("ls"), QStringLiteral("-p"), QStringLiteral("1")};

    CtlRun refused = ctl(ls);
    EXPECT_NE(refused.status, 0);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("SHA256:"))) << refused.err.toStdString();

    // Trusted once, permanently, as the editor would: the script then gets through.
    {
        ServerTrust editor(ctl.dir().path());
        ScriptedPrompt prompt;
        prompt.expectQuestion(PromptAnswer::Yes);
        auto client = CFtpClient::create(server.network(), false, sftp, editor);
        client->setTimeouts(shortTimeouts());
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    }
    CtlRun listed = ctl(ls);
    EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("a.txt"))) << listed.out.toStdString();
}
