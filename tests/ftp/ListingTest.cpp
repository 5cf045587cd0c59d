#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "encoding/LosslessCodec.h"
#include "ftp/FtpNames.h"
#include "platform/ScopedOverride.h"
#include "settings/ServerProfile.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace {

const QByteArray SjisName = toCp932(QStringLiteral("見積書.txt"));
const QByteArray EucName = LosslessCodec::eucJp().encode(QStringLiteral("議事録.csv")).bytes;

void layOut(const FtpServerFixture& server) {
    server.makeDir("pub");
    server.makeDir("pub/images");
    server.makeDir("pub/empty");
    server.writeFile("pub/" + SjisName, "sjis");
    server.writeFile("pub/" + EucName, "euc");
    server.writeFile("pub/name with spaces.html", "12345");
    server.writeFile("pub/noext", "");
    server.writeFile("pub/.profile", "p");
}

const ServerFileEntry* find(const ServerFileList& list, const QByteArray& name) {
    for (const ServerFileEntry& e : list) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

ServerFileList listOf(CFtpClient& client, const QByteArray& path = "*",
                      int kinds = ServerFileKindAll) {
    ServerFileList list;
    EXPECT_EQ(client.GetServerFileList(path, list, kinds).status(), ResultStatus::Done);
    return list;
}

} // namespace

TEST(Listing, EntriesOfMlsdAndOfTheRawListingAgree) {
    FtpServerFixture server;
    layOut(server);
    ScriptedPrompt prompt;
    for (int raw : {0, 1}) {
        SCOPED_TRACE(raw ? "LIST" : "MLSD");
        auto client = clientFor(server, true, false, QStringLiteral("/pub"), raw);
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
        ASSERT_EQ(client->SetServerDir().status(), ResultStatus::Done);
        ServerFileList all = listOf(*client);
        ASSERT_EQ(all.size(), 7u);

        const ServerFileEntry* images = find(all, "images");
        ASSERT_TRUE(images);
        EXPECT_EQ(images->directory, 1);
        EXPECT_EQ(images->path, "/pub/images");
        EXPECT_EQ(images->extension, "");
        EXPECT_EQ(images->size, 0);

        const ServerFileEntry* spaced = find(all, "name with spaces.html");
        ASSERT_TRUE(spaced);
        EXPECT_EQ(spaced->size, 5);
        EXPECT_EQ(spaced->extension, ".html");
        EXPECT_EQ(spaced->path, "/pub/name with spaces.html");
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d$"))
                        .match(spaced->date)
                        .hasMatch())
            << spaced->date.toStdString();
        EXPECT_EQ(spaced->date.left(4).toInt(), QDate::currentDate().year());

        ASSERT_TRUE(find(all, SjisName));
        EXPECT_EQ(find(all, SjisName)->extension, ".txt");
        ASSERT_TRUE(find(all, EucName));
        EXPECT_EQ(find(all, EucName)->extension, ".csv");
        EXPECT_EQ(find(all, "noext")->extension, "");
        EXPECT_EQ(find(all, ".profile")->extension, ".profile");

        EXPECT_EQ(listOf(*client, "*", ServerFileKindDirectories).size(), 2u);
        EXPECT_EQ(listOf(*client, "*", ServerFileKindFiles).size(), 5u);
        EXPECT_EQ(listOf(*client, "*.txt", ServerFileKindAll).size(), 1u);
        EXPECT_TRUE(listOf(*client, "empty/*").empty());
        ServerFileList none;
        EXPECT_EQ(client->GetServerFileList("no/such/dir/*", none, ServerFileKindAll).status(),
                  ResultStatus::Failed)
            << "a directory that cannot be listed is not an empty one";
        EXPECT_TRUE(none.empty());
        // One name: the entry itself, or nothing.
        ServerFileList one = listOf(*client, "noext", ServerFileKindFiles);
        ASSERT_EQ(one.size(), 1u);
        EXPECT_EQ(one[0].path, "/pub/noext");
        EXPECT_TRUE(listOf(*client, "missing.txt", ServerFileKindFiles).empty());
    }
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}

TEST(Listing, ErrorLinesOfServersGiveNoEntriesSoNothingIsDeletedBeforeAnUpload) {
    FtpServerFixture::Options options;
    options.mlsd = false;
    options.listing = "ls: report.txt: No such file or directory\r\n"
                      "report.txt not found\r\n" +
                      toCp932(QStringLiteral("report.txt が見つかりません。\r\n"));
    options.faults << QStringLiteral("refuse=DELE");
    FtpServerFixture server(options);
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server, true, false, QString(), 0, 1);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    EXPECT_TRUE(listOf(*client, "report.txt").empty());
    EXPECT_EQ(
        client->FileSend(local.write(QStringLiteral("r"), "report"), "report.txt", 1, 1).status(),
        ResultStatus::Done);
    EXPECT_EQ(server.readFile("report.txt"), "report");
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}

TEST(Listing, SpaceDelimitedNamesKeepTheirLastWord) {
    FtpServerFixture::Options options;
    options.mlsd = false;
    options.listing = "-rw-r--r-- 1 u g 10 Jan 12 12:00 2024-01-02 10:00 report.txt\r\n"
                      "drwxr-xr-x 2 u g 0 Jan 12 12:00 old stuff\r\n"
                      "2024/01/02 10:00 data.csv\r\n"
                      "plain\r\n";
    FtpServerFixture server(options);
    ScriptedPrompt prompt;
    auto client = clientFor(server, true, false, QString(), 0, 1);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    ServerFileList list = listOf(*client);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].name, "report.txt");
    EXPECT_EQ(list[0].path, "/report.txt");
    EXPECT_EQ(list[0].extension, ".txt");
    EXPECT_EQ(list[0].date, QStringLiteral("----/--/--"));
    EXPECT_EQ(list[0].size, 10);
    EXPECT_EQ(list[1].name, "stuff");
    EXPECT_EQ(list[1].directory, 1);
    EXPECT_EQ(list[1].extension, "");
    // Lines of no known format are still offered to the space-delimited rule.
    EXPECT_EQ(list[2].name, "data.csv");
    EXPECT_EQ(list[2].extension, ".csv");
    EXPECT_EQ(list[3].name, "plain");
}

TEST(Listing, OddNamesComeBackAsTheServersBytes) {
    const QByteArray longName = QByteArray(996, 'n') + ".txt";
    FtpServerFixture::Options options;
    options.mlsdListing = "type=file;size=1;modify=20240102030405; tab\there\r\n"
                          "type=file;size=1;modify=20240102030405; bell\x07.txt\r\n"
                          "type=file;size=1;modify=20240102030405; " +
                          longName +
                          "\r\n"
                          "type=file;size=1;modify=20240102030405; Case.txt\r\n"
                          "type=file;size=1;modify=20240102030405; CASE.TXT\r\n";
    FtpServerFixture server(options);
    TempDir local;
    ScriptedPrompt prompt;
    auto client = clientFor(server);
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    ServerFileList list = listOf(*client);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].name, "tab\there");
    EXPECT_EQ(FtpNames::display(list[1].name), QStringLiteral("bell\\x07.txt"));
    EXPECT_EQ(list[2].name.size(), 1000);
    EXPECT_EQ(list[3].name, "Case.txt");
    EXPECT_EQ(list[4].name, "CASE.TXT");
    client->CloseSession();

    // None of these exists as a file on the server: each download fails with a message and
    // writes nothing, whatever the name holds.
    for (const ServerFileEntry& e : list) {
        prompt.clear();
        EXPECT_EQ(client->GetFileAuto(local.filePath(QStringLiteral("x")), e.name, 0).status(),
                  ResultStatus::Failed);
        EXPECT_EQ(prompt.texts().size(), 1);
    }
    EXPECT_FALSE(local.exists(QStringLiteral("x")));
}

TEST(Listing, LargeDirectoriesAreReadWhole) {
    QByteArray mlsd;
    QByteArray unixListing;
    for (int i = 0; i < 100000; ++i) {
        QByteArray name = "file" + QByteArray::number(i) + ".dat";
        mlsd +=
            "type=file;size=" + QByteArray::number(i) + ";modify=20240102030405; " + name + "\r\n";
        unixListing +=
            "-rw-r--r-- 1 u g " + QByteArray::number(i) + " Jan  2  2024 " + name + "\r\n";
    }
    FtpServerFixture::Options options;
    options.mlsdListing = mlsd;
    options.listing = unixListing;
    FtpServerFixture server(options);
    ScriptedPrompt prompt;
    for (int raw : {0, 1}) {
        auto client = clientFor(server, true, false, QString(), raw);
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
        ServerFileList list = listOf(*client);
        ASSERT_EQ(list.size(), 100000u);
        EXPECT_EQ(list[99999].name, "file99999.dat");
        EXPECT_EQ(list[99999].size, 99999);
    }
}

TEST(Listing, TheOwnConnectionListingUsesTheProfilesPortAndItsOwnRules) {
    FtpServerFixture server;
    layOut(server);
    ::chmod(server.localPath("pub/images").constData(), 0555);
    ScriptedPrompt prompt;
    auto client = clientFor(server, true, false, QStringLiteral("/pub"), 1);
    ServerFileList list;
    // No session of the client is needed: the listing logs on by itself.
    ASSERT_EQ(client->GetServerFileListSDK("*", list, ServerFileKindFiles).status(),
              ResultStatus::Done);
    EXPECT_EQ(list.size(), 7u);
    EXPECT_FALSE(client->isConnected());
    const ServerFileEntry* noext = find(list, "noext");
    ASSERT_TRUE(noext);
    EXPECT_EQ(noext->path, "/pub/noext");
    EXPECT_EQ(find(list, "name with spaces.html")->extension, ""); // never set here
    EXPECT_EQ(find(list, "empty")->directory, 1);
    // A directory with further attributes (read-only here) is taken as a file.
    EXPECT_EQ(find(list, "images")->directory, 0);
    ::chmod(server.localPath("pub/images").constData(), 0755);

    list.clear();
    client->serverDirectory = "/";
    ASSERT_EQ(client->GetServerFileListSDK("*", list, ServerFileKindAll).status(),
              ResultStatus::Done);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].path, "/pub");

    list.clear();
    client->serverDirectory = "/pub/empty";
    EXPECT_EQ(client->GetServerFileListSDK("*", list, ServerFileKindAll).status(),
              ResultStatus::Done);
    EXPECT_EQ(list.size(), 0u);
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();

    client->serverDirectory = "/nowhere";
    EXPECT_EQ(client->GetServerFileListSDK("*", list, ServerFileKindAll).status(),
              ResultStatus::Failed);
    ServerProfile wrong = client->profile();
    wrong.Passwd = QStringLiteral("wrong");
    client->useProfile(wrong);
    EXPECT_EQ(client->GetServerFileListSDK("*", list, ServerFileKindAll).status(),
              ResultStatus::Failed);
    EXPECT_EQ(prompt.texts(), (QStringList{QStringLiteral("FtpSetCurrentDirectory ERROR <550>"),
                                           QStringLiteral("InternetConnect ERROR <530>")}));
}

TEST(Listing, HostileNamesComeBackAsTheServersBytesAndNoneBecomesALocalPath) {
    FtpServerFixture::Options options;
    options.extraNames = FtpServerFixture::hostileNames();
    FtpServerFixture server(options);
    server.writeFile("real.txt", "abc");
    ScriptedPrompt prompt;
    for (int raw : {0, 1}) {
        SCOPED_TRACE(raw ? "LIST" : "MLSD");
        auto client = clientFor(server, true, false, QString(), raw);
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
        ServerFileList list = listOf(*client);
        QByteArrayList names;
        for (const ServerFileEntry& e : list)
            names << e.name;
        EXPECT_EQ(names, QByteArrayList{"real.txt"} + FtpServerFixture::hostileNames());
        for (const QByteArray& name : FtpServerFixture::hostileNames())
            EXPECT_FALSE(FtpNames::localPathFor(QStringLiteral("/tmp/t"), name, 1, false))
                << name.toHex().toStdString();
    }
}

TEST(Listing, AListingThatBreaksOffIsAFailureNotAnEmptyDirectory) {
    for (const char* fault : {"refuse=LIST", "droplist", "reply421=LIST"}) {
        SCOPED_TRACE(fault);
        FtpServerFixture::Options options;
        options.mlsd = false;
        options.faults << QString::fromLatin1(fault);
        options.extraNames = QByteArrayList(400, "padding-entry-name.txt");
        FtpServerFixture server(options);
        ScriptedPrompt prompt;
        auto client = clientFor(server);
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
        ServerFileList list;
        const Result<> listed = client->GetServerFileList("*", list, ServerFileKindAll);
        EXPECT_EQ(listed.status(), ResultStatus::Failed);
        EXPECT_TRUE(list.empty());
        EXPECT_FALSE(listed.message().isEmpty());
    }
}

TEST(Listing, ACarriageReturnInANameStaysInIt) {
    FtpServerFixture server;
    server.writeFile("cr", "another file");
    server.writeFile("cr\r", "abc");
    server.writeFile("a\rb.txt", "abc");
    ScriptedPrompt prompt;
    for (int raw : {0, 1}) {
        SCOPED_TRACE(raw ? "LIST" : "MLSD");
        auto client = clientFor(server, true, false, QString(), raw);
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
        QByteArrayList names;
        for (const ServerFileEntry& e : listOf(*client))
            names << e.name;
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (QByteArrayList{"a\rb.txt", "cr", "cr\r"}));
    }
}

TEST(Listing, AListingPastTheLimitKeepsTheFirstEntriesAndSaysHowManyItShows) {
    const ScopedOverride limit(CFtpClient::setListingLimit, qsizetype(3));
    FtpServerFixture server;
    for (const char* name : {"a", "b", "c", "d", "e"})
        server.writeFile(name, "x");
    for (int raw : {0, 1}) {
        SCOPED_TRACE(raw ? "LIST" : "MLSD");
        ScriptedPrompt prompt;
        auto client = clientFor(server, true, false, QString(), raw);
        ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
        EXPECT_EQ(listOf(*client).size(), 3u);
        EXPECT_EQ(prompt.texts(),
                  QStringList{QStringLiteral(
                      "サーバの一覧は 5 件ありますが、最初の 3 件だけを表示します。")});
    }
}
