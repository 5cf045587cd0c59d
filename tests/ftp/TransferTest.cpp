#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "encoding/LosslessCodec.h"
#include "ftp/FtpNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QByteArray SjisText = toCp932(QStringLiteral("日本語のテキスト\n二行目：ソース\n"));
const QByteArray EucText =
    LosslessCodec::eucJp().encode(QStringLiteral("日本語のテキスト\n二行目：ソース\n")).bytes;

QByteArray bigContent(int size) {
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char((i * 131 + i / 251) & 0xFF);
    return data;
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(Transfer, ShiftJisTextGoesDownAndUpUnchangedInAsciiMode) {
    FtpServerFixture server;
    server.writeFile("memo.txt", SjisText);
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);

    ASSERT_EQ(
        client->GetFileAuto(local.filePath(QStringLiteral("memo.txt")), "memo.txt", 1).status(),
        ResultStatus::Done)
        << prompt.texts().join(u'\n').toStdString();
    // Text comes as the server sends it, with CR LF line ends, the characters the same bytes.
    EXPECT_EQ(local.read(QStringLiteral("memo.txt")), QByteArray(SjisText).replace("\n", "\r\n"));

    ASSERT_EQ(
        client->PutFileAuto(local.filePath(QStringLiteral("memo.txt")), "copy.txt", 1, 0).status(),
        ResultStatus::Done);
    EXPECT_EQ(server.readFile("copy.txt"), SjisText);
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}

TEST(Transfer, EucServerFilesAreConvertedThroughIntermediateFilesThatAreGoneAfterwards) {
    FtpServerFixture server;
    server.makeDir("docs");
    server.writeFile("docs/euc.txt", EucText);
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server, true, false, QStringLiteral("/docs"));
    const QString path = local.filePath(QStringLiteral("euc.txt"));

    ASSERT_EQ(client->GetFileEUCAuto(path, "euc.txt").status(), ResultStatus::Done);
    EXPECT_TRUE(fromCp932(local.read(QStringLiteral("euc.txt")))
                    .contains(QStringLiteral("日本語のテキスト")));
    EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("euc.txt")});
    EXPECT_FALSE(client->isConnected());

    ASSERT_EQ(client->PutFileEUCAuto(path, "back.txt", 1).status(), ResultStatus::Done);
    EXPECT_EQ(server.readFile("docs/back.txt"), EucText);
    EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("euc.txt")});
    EXPECT_EQ(server.names("docs"), (QByteArrayList{"back.txt", "euc.txt"}));
    EXPECT_FALSE(client->isConnected());
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}

TEST(Transfer, IntermediateFilesNeverTakeTheNameOfAUsersFile) {
    FtpServerFixture server;
    server.writeFile("euc.txt", EucText);
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    const QString path = local.filePath(QStringLiteral("euc.txt"));
    const QStringList users{QStringLiteral("euc.txt.$$$"), QStringLiteral("euc.txt.$$$.sjis")};
    for (const QString& name : users)
        local.write(name, "the user's own file");

    ASSERT_EQ(client->GetFileEUCAuto(path, "euc.txt").status(), ResultStatus::Done);
    ASSERT_EQ(client->PutFileEUCAuto(path, "back.txt", 0).status(), ResultStatus::Done);
    EXPECT_EQ(server.readFile("back.txt"), EucText);
    for (const QString& name : users)
        EXPECT_EQ(local.read(name), "the user's own file");
    EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("euc.txt")} + users);
}

TEST(Transfer, ADownloadKeepsTheTargetsModeAndWritesThroughASymbolicLink) {
    FtpServerFixture server;
    server.writeFile("euc.txt", EucText);
    const QByteArray expected = QByteArray(SjisText).replace("\n", "\r\n");
    using Download = Result<> (*)(CFtpClient&, const QString&);
    const std::pair<const char*, Download> downloads[] = {
        {"EUC", [](CFtpClient& c, const QString& l) { return c.GetFileEUCAuto(l, "euc.txt"); }},
        {"binary", [](CFtpClient& c, const QString& l) { return c.GetFileAuto(l, "euc.txt", 0); }},
    };
    for (const auto& [what, download] : downloads) {
        SCOPED_TRACE(what);
        TempDir local;
        ScriptedPrompt prompt;
        auto client = clientFor(server);
        const QString target = local.write(QStringLiteral("target.txt"), "old");
        ::chmod(QFile::encodeName(target).constData(), 0600);
        const QString link = local.filePath(QStringLiteral("link.txt"));
        ASSERT_TRUE(QFile::link(target, link));
        ASSERT_EQ(download(*client, link).status(), ResultStatus::Done);
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(local.read(QStringLiteral("target.txt")),
                  QByteArray(what) == "EUC" ? expected : EucText);
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        EXPECT_EQ(filesIn(local.path()).size(), 2);
    }
}

TEST(Transfer, AFileThatIsNotEucJpIsReportedAndThenTakenAsItIsOrConvertedAnyway) {
    const QString text = QStringLiteral("日本語のテキスト\n");
    struct Case {
        const char* name;
        QByteArray bytes;
        std::optional<TextCode> looksLike;
    };
    const Case cases[] = {
        {"sjis.txt", toCp932(text), TextCode::ShiftJis},
        {"utf8.txt", text.toUtf8(), TextCode::Utf8},
        {"euc.txt", EucText, std::nullopt},
    };
    FtpServerFixture server;
    for (const Case& c : cases)
        server.writeFile(c.name, c.bytes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir local;
        ScriptedPrompt prompt;
        auto client = clientFor(server);
        const QString path = local.write(QStringLiteral("t.txt"), "old");

        EucDownload asked = client->GetFileEUCAuto(path, c.name, NotEucJp::Report);
        EXPECT_EQ(asked.looksLike, c.looksLike);
        if (c.looksLike) {
            EXPECT_EQ(asked.result.status(), ResultStatus::Refused);
            EXPECT_EQ(local.read(QStringLiteral("t.txt")), "old");
            EXPECT_TRUE(prompt.texts().isEmpty());
            EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("t.txt")});

            EucDownload asIs = client->GetFileEUCAuto(path, c.name, NotEucJp::AsIs);
            EXPECT_EQ(asIs.result.status(), ResultStatus::Done);
            EXPECT_EQ(asIs.looksLike, c.looksLike);
            EXPECT_EQ(local.read(QStringLiteral("t.txt")), c.bytes);
        } else {
            EXPECT_EQ(asked.result.status(), ResultStatus::Done);
            EXPECT_TRUE(fromCp932(local.read(QStringLiteral("t.txt"))).startsWith(text.trimmed()));
        }
        EucDownload converted = client->GetFileEUCAuto(path, c.name, NotEucJp::Convert);
        EXPECT_EQ(converted.result.status(), ResultStatus::Done);
        EXPECT_EQ(converted.looksLike, c.looksLike);
        EXPECT_EQ(converted.looksLike.has_value(),
                  !fromCp932(local.read(QStringLiteral("t.txt"))).startsWith(text.trimmed()));
        EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("t.txt")});
        EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
    }
}

TEST(Transfer, PutFileAutoKeepsAnOpenConnectionAndClosesOneItOpened) {
    FtpServerFixture server;
    TempDir local;
    ScriptedPrompt prompt;
    const QString path = local.write(QStringLiteral("a.txt"), "abc");
    auto client = clientFor(server);

    ASSERT_EQ(client->PutFileAuto(path, "one.txt", 0, 0).status(), ResultStatus::Done);
    EXPECT_FALSE(client->isConnected());

    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    ASSERT_EQ(client->PutFileAuto(path, "two.txt", 0, 0).status(), ResultStatus::Done);
    EXPECT_TRUE(client->isConnected());
    ASSERT_EQ(client->PutFileAuto(path, "three.txt", 0, 0).status(), ResultStatus::Done);
    EXPECT_TRUE(client->isConnected());
    EXPECT_EQ(server.names(), (QByteArrayList{"one.txt", "three.txt", "two.txt"}));
}

TEST(Transfer, DeleteFirstDeletesOnlyAFileThatExists) {
    FtpServerFixture::Options options;
    options.faults << QStringLiteral("refuse=DELE");
    FtpServerFixture server(options);
    server.writeFile("old.txt", "server copy");
    TempDir local;
    ScriptedPrompt prompt;
    const QString path = local.write(QStringLiteral("new.txt"), "local copy");
    auto client = clientFor(server);

    // No file of that name: nothing is deleted, so the refusing server never gets a DELE.
    EXPECT_EQ(client->PutFileAuto(path, "new.txt", 1, 1).status(), ResultStatus::Done);
    EXPECT_EQ(server.readFile("new.txt"), "local copy");
    EXPECT_TRUE(prompt.texts().isEmpty());

    // The file exists and cannot be deleted: the upload stops and the server file stays.
    EXPECT_EQ(client->PutFileAuto(path, "old.txt", 1, 1).status(), ResultStatus::Failed);
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("サーバファイルにアクセス権が有りません。(550)")});
    EXPECT_EQ(server.readFile("old.txt"), "server copy");
}

TEST(Transfer, DeleteFirstReplacesAnExistingFile) {
    FtpServerFixture server;
    server.writeFile("page.html", "old page");
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    EXPECT_EQ(client->PutFileAuto(local.write(QStringLiteral("p"), "new page"), "page.html", 0, 1)
                  .status(),
              ResultStatus::Done);
    EXPECT_EQ(server.readFile("page.html"), "new page");
}

TEST(Transfer, BrokenDownloadsLeaveTheOldLocalFileAndNoPartialFile) {
    const QByteArray content = bigContent(3 * 1024 * 1024);
    for (const char* fault : {"dropretr", "shortretr"}) {
        for (int ascii : {0, 1}) {
            if (QByteArray(fault) == "shortretr" && ascii)
                continue; // text transfers announce no size to hold the data against
            SCOPED_TRACE(std::string(fault) + (ascii ? " ascii" : " binary"));
            FtpServerFixture::Options options;
            options.faults << QString::fromLatin1(fault);
            FtpServerFixture server(options);
            server.writeFile("data.bin", content);
            TempDir local;
            const QString path = local.write(QStringLiteral("data.bin"), "the old file");
            ScriptedPrompt prompt;
            auto client = clientFor(server);
            EXPECT_EQ(client->GetFileAuto(path, "data.bin", ascii).status(), ResultStatus::Failed);
            EXPECT_EQ(prompt.texts().size(), 1);
            EXPECT_EQ(local.read(QStringLiteral("data.bin")), "the old file");
            EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("data.bin")});
        }
    }
}

TEST(Transfer, ADownloadLongerThanTheServerAnnouncedFailsAndKeepsTheOldFile) {
    const QByteArray content = bigContent(300 * 1024);
    const QString message = QStringLiteral("サーバが知らせた大きさ(153600 バイト)と受信したデータ"
                                           "(307200 バイト)が異なる為、受信出来ませんでした。");
    for (const char* fault : {"undersize", "under150"}) {
        SCOPED_TRACE(fault);
        FtpServerFixture::Options options;
        options.faults << QString::fromLatin1(fault);
        FtpServerFixture server(options);
        server.writeFile("data.bin", content);
        TempDir local;
        const QString path = local.write(QStringLiteral("data.bin"), "the old file");
        ScriptedPrompt prompt;
        auto client = clientFor(server);
        EXPECT_EQ(client->GetFileAuto(path, "data.bin", 0).status(), ResultStatus::Failed);
        EXPECT_EQ(client->GetFileEUCAuto(path, "data.bin").status(), ResultStatus::Failed);
        EXPECT_EQ(prompt.texts(), QStringList(2, message));
        EXPECT_EQ(local.read(QStringLiteral("data.bin")), "the old file");
        EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("data.bin")});
    }
}

TEST(Transfer, ATargetThatCannotBeReplacedIsReportedBeforeAnyDataIsAskedFor) {
    // The server would never answer RETR: the message proves it was not waited for.
    FtpServerFixture::Options options;
    options.faults << QStringLiteral("mute=RETR");
    FtpServerFixture server(options);
    server.writeFile("f.txt", "server");
    TempDir local;
    const QString path = local.write(QStringLiteral("f.txt"), "kept");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    ScriptedPrompt prompt;
    auto client = clientFor(server);

    EXPECT_EQ(client->GetFileAuto(path, "f.txt", 1).status(), ResultStatus::Failed);
    EXPECT_EQ(
        prompt.texts(),
        QStringList{QStringLiteral("ＰＣ側ファイル(%1)にアクセス権が有りません。受信出来ません。")
                        .arg(path)});
    EXPECT_EQ(local.read(QStringLiteral("f.txt")), "kept");
    prompt.clear();
    EXPECT_EQ(client->GetFileEUCAuto(path, "f.txt").status(), ResultStatus::Failed);
    EXPECT_EQ(
        prompt.texts(),
        QStringList{QStringLiteral("ＰＣ側ファイル(%1)にアクセス権が有りません。受信出来ません。")
                        .arg(path)});
    EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("f.txt")});
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    prompt.clear();
    const QString missingDir = local.filePath(QStringLiteral("no/such/dir/f.txt"));
    EXPECT_EQ(client->GetFileAuto(missingDir, "f.txt", 1).status(), ResultStatus::Failed);
    EXPECT_EQ(
        prompt.texts(),
        QStringList{QStringLiteral("ＰＣ側ファイル(%1)にアクセス権が有りません。受信出来ません。")
                        .arg(missingDir)});
}

TEST(Transfer, ServerNamesThatWouldLeaveTheirDirectoryAreNotDownloaded) {
    FtpServerFixture::Options options;
    options.mlsdListing = "type=file;size=3;modify=20240102030405; a/b\r\n"
                          "type=file;size=3;modify=20240102030405; ..\r\n"
                          "type=file;size=3;modify=20240102030405; ok.txt\r\n";
    FtpServerFixture server(options);
    server.writeFile("ok.txt", "abc");
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    ServerFileList list;
    ASSERT_EQ(client->GetServerFileList("*", list, ServerFileKindAll).status(), ResultStatus::Done);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "a/b");
    EXPECT_EQ(list[1].name, "..");
    client->CloseSession();

    for (const QByteArray& name : {QByteArray("a/b"), QByteArray(".."), QByteArray("."),
                                   QByteArray("x\ny"), QByteArray("/dir/..")}) {
        prompt.clear();
        EXPECT_EQ(
            client->GetFileAuto(local.path() + u'/' + QString::fromLatin1(name), name, 1).status(),
            ResultStatus::Failed);
        EXPECT_EQ(prompt.texts(),
                  QStringList{QStringLiteral("サーバのファイル名 %1 は受信出来ません。")
                                  .arg(FtpNames::display(name))});
    }
    EXPECT_TRUE(filesIn(local.path()).isEmpty());
    EXPECT_EQ(FtpNames::display("x\ny"), QStringLiteral("x\\x0Ay"));
}

TEST(Transfer, CancellingFromTheProgressHandlerFailsQuietlyAndKeepsTheTarget) {
    FtpServerFixture server;
    server.writeFile("big.bin", bigContent(8 * 1024 * 1024));
    TempDir local;
    const QString path = local.write(QStringLiteral("big.bin"), "previous");
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    qint64 seenTotal = 0;
    client->setProgressHandler([&](qint64 done, qint64 total) {
        seenTotal = total;
        return done == 0;
    });
    EXPECT_EQ(client->GetFileAuto(path, "big.bin", 0).status(), ResultStatus::Cancelled);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(local.read(QStringLiteral("big.bin")), "previous");
    EXPECT_EQ(seenTotal, 8 * 1024 * 1024);
    EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("big.bin")});

    int calls = 0;
    client->setProgressHandler([&](qint64, qint64) { return ++calls > 0; });
    EXPECT_EQ(client->GetFileAuto(path, "big.bin", 0).status(), ResultStatus::Done);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(local.read(QStringLiteral("big.bin")).size(), 8 * 1024 * 1024);
}

TEST(Transfer, ActiveModeAndForeignPassiveAddressesBothWork) {
    FtpServerFixture server;
    server.writeFile("a.bin", bigContent(300000));
    TempDir local;
    ScriptedPrompt prompt;
    auto active = clientFor(server, false);
    ASSERT_EQ(active->GetFileAuto(local.filePath(QStringLiteral("a.bin")), "a.bin", 0).status(),
              ResultStatus::Done);
    EXPECT_EQ(local.read(QStringLiteral("a.bin")), bigContent(300000));
    ASSERT_EQ(active->PutFileAuto(local.filePath(QStringLiteral("a.bin")), "b.bin", 0, 0).status(),
              ResultStatus::Done);
    EXPECT_EQ(server.readFile("b.bin"), bigContent(300000));

    // A PASV reply that names another address: the data connection goes to the server the
    // control connection reached.
    FtpServerFixture::Options options;
    options.epsv = false;
    options.masquerade = QStringLiteral("127.0.0.2");
    FtpServerFixture masquerading(options);
    masquerading.writeFile("c.txt", "via PASV");
    auto passive = clientFor(masquerading, true);
    ASSERT_EQ(passive->GetFileAuto(local.filePath(QStringLiteral("c.txt")), "c.txt", 0).status(),
              ResultStatus::Done);
    EXPECT_EQ(local.read(QStringLiteral("c.txt")), "via PASV");
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}

TEST(Transfer, UploadsOfLocalFilesThatCannotBeReadFailWithTheirMessages) {
    FtpServerFixture server;
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    const QString missing = local.filePath(QStringLiteral("missing.txt"));
    EXPECT_EQ(client->PutFileAuto(missing, "m.txt", 1, 0).status(), ResultStatus::Failed);
    EXPECT_EQ(prompt.texts(),
              QStringList{
                  QStringLiteral("PC上に%1が存在しない為、サーバに転送出来ません。").arg(missing)});

    prompt.clear();
    EXPECT_EQ(client->PutFileAuto(local.path(), "dir.txt", 1, 0).status(), ResultStatus::Failed);
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("ファイルの送信が出来ませんでした。")});
    EXPECT_TRUE(server.names().isEmpty());
}

TEST(Transfer, ADownloadWhoseLocalWriteFailsSaysSoAndKeepsTheOldFile) {
    FtpServerFixture server;
    server.writeFile("big.bin", bigContent(2 * 1024 * 1024));
    TempDir local;
    const QString path = local.write(QStringLiteral("big.bin"), "old");
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    // A file-size limit on this process (not the server's) makes the disk "full" half-way.
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = 256 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const Result<> received = client->GetFileAuto(path, "big.bin", false);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_EQ(received.status(), ResultStatus::Failed);
    // The sink's failure is the PC's, not the server's: the local wording, no transport text.
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("ファイルの受信が出来ませんでした。")});
    EXPECT_EQ(local.read(QStringLiteral("big.bin")), "old");
    EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("big.bin")});
}

TEST(Transfer, ADroppedUploadFailsAndLeavesTheLocalFile) {
    FtpServerFixture::Options options;
    options.faults << QStringLiteral("dropstor");
    FtpServerFixture server(options);
    TempDir local;
    const QByteArray content = bigContent(2 * 1024 * 1024);
    const QString path = local.write(QStringLiteral("up.bin"), content);
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    EXPECT_EQ(client->PutFileAuto(path, "up.bin", 0, 0).status(), ResultStatus::Failed);
    EXPECT_EQ(prompt.texts().size(), 1);
    EXPECT_EQ(local.read(QStringLiteral("up.bin")), content);
}

TEST(Transfer, NamesInShiftJisAndEucBytesAndNamesDifferingInCaseStayApart) {
    FtpServerFixture server;
    const QByteArray sjisName = toCp932(QStringLiteral("日本語.txt"));
    const QByteArray eucName = LosslessCodec::eucJp().encode(QStringLiteral("日本語.txt")).bytes;
    server.writeFile(eucName, "euc named");
    server.writeFile("Readme.txt", "mixed");
    server.writeFile("README.TXT", "upper");
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    const QString up = local.write(QStringLiteral("up.txt"), "sjis named");

    ASSERT_EQ(client->PutFileAuto(up, sjisName, 0, 1).status(), ResultStatus::Done);
    EXPECT_EQ(server.readFile(sjisName), "sjis named");
    ASSERT_EQ(client->GetFileAuto(local.filePath(QStringLiteral("e")), eucName, 0).status(),
              ResultStatus::Done);
    EXPECT_EQ(local.read(QStringLiteral("e")), "euc named");
    ASSERT_EQ(client->GetFileAuto(local.filePath(QStringLiteral("m")), "Readme.txt", 0).status(),
              ResultStatus::Done);
    ASSERT_EQ(client->GetFileAuto(local.filePath(QStringLiteral("u")), "README.TXT", 0).status(),
              ResultStatus::Done);
    EXPECT_EQ(local.read(QStringLiteral("m")), "mixed");
    EXPECT_EQ(local.read(QStringLiteral("u")), "upper");
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}

TEST(Transfer, CancelDuringTheConversionOfALargeEucFileLeavesBothSidesAsTheyWere) {
    // A few MB, so the conversion runs through many blocks; cancelled after the first.
    QByteArray sjis, euc;
    for (int i = 0; i < 80000; ++i) {
        sjis += SjisText;
        euc += EucText;
    }
    struct Case {
        const char* name;
        bool upload;
    };
    for (const Case& c : {Case{"upload", true}, Case{"download", false}}) {
        SCOPED_TRACE(c.name);
        FtpServerFixture server;
        server.writeFile("big.txt", c.upload ? QByteArray("older on the server") : euc);
        TempDir local;
        const QString path = local.write(QStringLiteral("big.txt"), c.upload ? sjis : "older");
        ScriptedPrompt prompt;
        auto client = clientFor(server);
        int conversionBlocks = 0;
        qint64 dataDone = 0;
        client->setProgressHandler([&](qint64 done, qint64 total) {
            if (client->phase() == TransferPhase::Data) {
                dataDone = done;
                return true;
            }
            EXPECT_EQ(total, c.upload ? sjis.size() : euc.size());
            return ++conversionBlocks < 2;
        });
        const Result<> result = c.upload ? client->PutFileEUCAuto(path, "big.txt", true)
                                         : client->GetFileEUCAuto(path, "big.txt");
        EXPECT_EQ(result.status(), ResultStatus::Cancelled);
        EXPECT_EQ(conversionBlocks, 2);
        EXPECT_EQ(dataDone, c.upload ? 0 : euc.size()) << "an upload converts before it sends";
        EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
        EXPECT_EQ(local.read(QStringLiteral("big.txt")), c.upload ? sjis : QByteArray("older"));
        EXPECT_EQ(filesIn(local.path()), QStringList{QStringLiteral("big.txt")});
        EXPECT_EQ(server.readFile("big.txt"), c.upload ? QByteArray("older on the server") : euc);
        EXPECT_EQ(server.names(), QByteArrayList{"big.txt"});
    }
}

// Bytes that mean something in a URL (";type=", "%", "#", "?") reach the server as the name's
// own bytes, in the directory too, both ways.
TEST(Transfer, NamesWithUrlSyntaxTravelAsTheirOwnBytes) {
    FtpServerFixture server;
    const QByteArray directory = "d;type=d %2F";
    server.makeDir(directory);
    TempDir local;
    ScriptedPrompt prompt;
    const QString up = local.write(QStringLiteral("up.txt"), "body");
    const QString down = local.filePath(QStringLiteral("down.txt"));
    auto client = clientFor(server);
    for (const QByteArray& dir : {QByteArray(), directory}) {
        client->serverDirectory = dir;
        for (const QByteArray name : {"a;type=a", "100%41 #1?.txt"}) {
            SCOPED_TRACE((dir + '/' + name).constData());
            EXPECT_TRUE(client->PutFileAuto(up, name, false, false).ok());
            EXPECT_EQ(server.readFile(dir.isEmpty() ? name : dir + '/' + name), "body");
            EXPECT_TRUE(client->GetFileAuto(down, name, false).ok());
            EXPECT_EQ(local.read(QStringLiteral("down.txt")), "body");
        }
    }
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}
