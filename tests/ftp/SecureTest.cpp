#include "FtpTestSupport.h"
#include "FtpsServerFixture.h"
#include "ScriptedPrompt.h"
#include "SftpServerFixture.h"
#include "TempDir.h"
#include "TrustPlace.h"
#include "encoding/LosslessCodec.h"
#include "ftp/ServerTrust.h"
#include "settings/ServerProfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::unique_ptr<CFtpClient> clientFor(const FtpsServerFixture& server, ServerTrust& trust,
                                      int code = CodeSystemSjis) {
    auto client = CFtpClient::create(server.network(), false, server.profile(code), trust);
    client->setTimeouts(shortTimeouts());
    return client;
}

} // namespace

TEST(Ftps, TheTrustQuestionShowsTheCertificateAndEachAnswerIsKeptAsLongAsItSays) {
    FtpsServerFixture server;
    ASSERT_TRUE(server.isRunning());
    struct Case {
        PromptAnswer answer;
        ResultStatus result;
        bool inFile;
        bool trustedThisSession;
    } cases[] = {{PromptAnswer::Yes, ResultStatus::Done, true, true},
                 {PromptAnswer::No, ResultStatus::Done, false, true},
                 {PromptAnswer::Cancel, ResultStatus::Cancelled, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.answer));
        TrustPlace trust;
        ScriptedPrompt prompt;
        prompt.expectQuestion(c.answer);
        auto client = clientFor(server, trust.trust());
        EXPECT_EQ(client->OpenSession().status(), c.result);
        ASSERT_EQ(prompt.texts().size(), 1);
        EXPECT_TRUE(prompt.texts()[0].contains(server.fingerprint()));
        EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("CN = localhost")));
        EXPECT_TRUE(prompt.texts()[0].contains(QRegularExpression(
            QStringLiteral("有効期間: \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d ～ \\d{4}/"))))
            << "dates as the program shows them";
        EXPECT_EQ(trust.file().contains(server.fingerprint().toLatin1()), c.inFile);

        // A second session asks again only when nothing was trusted.
        prompt.clear();
        if (!c.trustedThisSession)
            prompt.expectQuestion(PromptAnswer::Cancel);
        EXPECT_EQ(clientFor(server, trust.trust())->OpenSession().status(), c.result);
        EXPECT_EQ(prompt.texts().size(), c.trustedThisSession ? 0 : 1);

        // After a restart only the permanent choice holds.
        trust.restart();
        prompt.clear();
        if (!c.inFile)
            prompt.expectQuestion(PromptAnswer::Cancel);
        EXPECT_EQ(clientFor(server, trust.trust())->OpenSession().status(),
                  c.inFile ? ResultStatus::Done : ResultStatus::Cancelled);
    }
}

TEST(Ftps, AChangedCertificateIsRefusedWithAWarningWhetherTrustedForeverOrForNow) {
    FtpsServerFixture server;
    for (PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No}) {
        TrustPlace trust;
        ScriptedPrompt prompt;
        prompt.expectQuestion(answer);
        ASSERT_EQ(clientFor(server, trust.trust())->OpenSession().status(), ResultStatus::Done);
        const QString trustedFingerprint = server.fingerprint();
        const QByteArray trustFile = trust.file();

        server.replaceCertificate();
        prompt.clear();
        EXPECT_EQ(clientFor(server, trust.trust())->OpenSession().status(), ResultStatus::Failed);
        ASSERT_EQ(prompt.shown().size(), 1);
        EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Warning);
        EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("変わっています")));
        EXPECT_TRUE(prompt.texts()[0].contains(trustedFingerprint));
        EXPECT_TRUE(prompt.texts()[0].contains(server.fingerprint()));
        EXPECT_EQ(trust.file(), trustFile);
    }
}

// Everything the editor and the transfer window do on a server, over one secure server whose
// files live in `root`; the trust question is answered "this session" once.
static void exerciseServer(const NetworkSettings& network, const ServerProfile& sjisProfile,
                           const QString& root) {
    TrustPlace trust;
    ScriptedPrompt prompt;
    prompt.expectQuestion(PromptAnswer::No);
    TempDir local;
    TempDir server;
    auto onServer = [&root](const char* name) { return QDir(root).filePath(QLatin1String(name)); };
    const QString text = QStringLiteral("日本語のテキスト\n二行目\n");
    writeFileBytes(onServer("euc.txt"), LosslessCodec::eucJp().encode(text).bytes);
    auto make = [&network, &trust](ServerProfile profile, int code) {
        profile.Code = code;
        auto client = CFtpClient::create(network, false, profile, trust.trust());
        client->setTimeouts(shortTimeouts());
        return client;
    };

    auto sjis = make(sjisProfile, CodeSystemSjis);
    ASSERT_EQ(sjis->OpenSession().status(), ResultStatus::Done);
    const QString up = local.write(QStringLiteral("up.txt"), toCp932(text));
    EXPECT_EQ(sjis->PutFileAuto(up, "sjis.txt", true, true).status(), ResultStatus::Done);
    EXPECT_EQ(readFileBytes(onServer("sjis.txt")), toCp932(text));
    EXPECT_EQ(
        sjis->GetFileAuto(local.filePath(QStringLiteral("down.txt")), "sjis.txt", false).status(),
        ResultStatus::Done);
    EXPECT_EQ(local.read(QStringLiteral("down.txt")), toCp932(text));
    ASSERT_EQ(sjis->OpenSession().status(),
              ResultStatus::Done); // the transfers above closed theirs
    EXPECT_TRUE(sjis->Rename("sjis.txt", "sjis.bak").ok());
    EXPECT_TRUE(sjis->MakeDir("sub").ok());
    ServerFileList list;
    EXPECT_EQ(sjis->GetServerFileList("*", list, ServerFileKindAll).status(), ResultStatus::Done);
    QByteArrayList names;
    for (const ServerFileEntry& e : list)
        names << e.name + (e.directory ? "/" : "");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (QByteArrayList{"euc.txt", "sjis.bak", "sub/"}));
    ServerFileList own; // the transfer window's listing, over a connection of its own
    EXPECT_EQ(sjis->GetServerFileListSDK("*", own, ServerFileKindAll).status(), ResultStatus::Done);
    EXPECT_EQ(own.size(), list.size());
    // A name that merely ends in the one asked for is another file.
    writeFileBytes(onServer("x sjis.bak"), "other");
    ServerFileList one;
    EXPECT_EQ(sjis->GetServerFileList("sjis.bak", one, ServerFileKindFiles).status(),
              ResultStatus::Done);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].name, QByteArray("sjis.bak"));
    QFile::remove(onServer("x sjis.bak"));
    EXPECT_EQ(one[0].size, toCp932(text).size());
    EXPECT_EQ(sjis->SetServerDir().status(), ResultStatus::Done);
    EXPECT_TRUE(sjis->RmDir("sub").ok());
    EXPECT_TRUE(sjis->Remove("sjis.bak").ok());
    EXPECT_FALSE(QFile::exists(onServer("sjis.bak")));

    auto euc = make(sjisProfile, CodeSystemEuc);
    EXPECT_EQ(
        euc->GetFileEUCAuto(local.filePath(QStringLiteral("euc-down.txt")), "euc.txt").status(),
        ResultStatus::Done);
    EXPECT_EQ(local.read(QStringLiteral("euc-down.txt")),
              toCp932(QString(text).replace(u'\n', QStringLiteral("\r\n"))));
    EXPECT_EQ(euc->PutFileEUCAuto(up, "euc-up.txt", false).status(), ResultStatus::Done);
    EXPECT_EQ(readFileBytes(onServer("euc-up.txt")), LosslessCodec::eucJp().encode(text).bytes);
    EXPECT_EQ(prompt.texts().size(), 1); // the one trust question
}

TEST(Ftps, FilesGoBothWaysWithAndWithoutConversionAndTheServerCommandsWork) {
    FtpsServerFixture server;
    exerciseServer(server.network(), server.profile(), server.rootDir());
}

TEST(Sftp, FilesGoBothWaysWithAndWithoutConversionAndTheServerCommandsWork) {
    SftpServerFixture server;
    exerciseServer(server.network(), server.profile(), server.rootDir());
}

TEST(Sftp, HostKeyAnswersHoldAsLongAsTheySayAndAChangedKeyIsRefused) {
    SftpServerFixture server;
    for (PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No, PromptAnswer::Cancel}) {
        SCOPED_TRACE(int(answer));
        TrustPlace trust;
        ScriptedPrompt prompt;
        prompt.expectQuestion(answer);
        auto connect = [&server, &trust] {
            auto client =
                CFtpClient::create(server.network(), false, server.profile(), trust.trust());
            client->setTimeouts(shortTimeouts());
            return client->OpenSession();
        };
        const bool trusted = answer != PromptAnswer::Cancel;
        EXPECT_EQ(connect().status(), trusted ? ResultStatus::Done : ResultStatus::Cancelled);
        ASSERT_EQ(prompt.texts().size(), 1);
        EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("SHA256:")));
        prompt.clear();
        if (!trusted)
            continue;
        EXPECT_EQ(connect().status(), ResultStatus::Done); // not asked again
        EXPECT_EQ(prompt.texts().size(), 0);
        if (answer != PromptAnswer::Yes)
            continue;
        server.replaceHostKey();
        EXPECT_EQ(connect().status(), ResultStatus::Failed);
        ASSERT_EQ(prompt.shown().size(), 1);
        EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Warning);
        EXPECT_TRUE(prompt.texts()[0].contains(
            QStringLiteral("ホスト鍵が、記録されている鍵から変わっています")));
        server.replaceHostKey();
    }
}

TEST(Sftp, LogOnByKeyFileAndEachWrongLogOnEndsWithItsMessage) {
    SftpServerFixture server(QStringLiteral("secret phrase"));
    struct Case {
        const char* what;
        QString keyFile;
        QString password;
        ResultStatus result;
        QString message;
        std::optional<QString> asked = std::nullopt; // the pass phrase typed when asked
    } cases[] = {
        {"key and pass phrase", server.clientKey(), QStringLiteral("secret phrase"),
         ResultStatus::Done, QString()},
        {"key, pass phrase asked for", server.clientKey(), QString(), ResultStatus::Done, QString(),
         QStringLiteral("secret phrase")},
        {"wrong password", QString(), QStringLiteral("wrong"), ResultStatus::Failed,
         QStringLiteral("ログオン出来ませんでした")},
        {"key without its pass phrase", server.clientKey(), QStringLiteral("wrong"),
         ResultStatus::Failed, QStringLiteral("パスフレーズが違います"),
         QStringLiteral("wrong too")},
        {"missing key file", server.clientKey() + QStringLiteral(".gone"),
         QStringLiteral("secret phrase"), ResultStatus::Failed, QStringLiteral("が見つかりません")},
    };
    TrustPlace trust;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompt prompt;
        if (&c == cases)
            prompt.expectQuestion(PromptAnswer::No); // asked on the first contact only
        if (c.asked)
            prompt.expectSecret(c.asked);
        ServerProfile profile = server.profile();
        profile.KeyFile = c.keyFile;
        profile.Passwd = c.password;
        auto client = CFtpClient::create(server.network(), false, profile, trust.trust());
        client->setTimeouts(shortTimeouts());
        EXPECT_EQ(client->OpenSession().status(), c.result);
        const QStringList errors = prompt.texts().filter(
            QRegularExpression(QStringLiteral("ホスト鍵|パスフレーズを入力")));
        const QStringList rest = QStringList(prompt.texts()).mid(errors.size());
        if (c.message.isEmpty())
            EXPECT_TRUE(rest.isEmpty()) << rest.join(u'|').toStdString();
        else
            EXPECT_TRUE(!rest.isEmpty() && rest.last().contains(c.message))
                << rest.join(u'|').toStdString();
    }
}

TEST(Sftp, KeyboardInteractiveAnswersTheHiddenQuestionWithThePassword) {
    SftpServerFixture server(QString(), SftpServerFixture::PasswordMethod::KeyboardInteractive);
    const struct {
        const char* what;
        QString password;
        bool asked;
        std::optional<QString> typed;
        ResultStatus result;
    } cases[] = {
        {"stored password", QStringLiteral("pass-w0rd"), false, std::nullopt, ResultStatus::Done},
        {"password asked for", QString(), true, QStringLiteral("pass-w0rd"), ResultStatus::Done},
        {"asked and cancelled", QString(), true, std::nullopt, ResultStatus::Cancelled},
        {"wrong password", QStringLiteral("wrong"), false, std::nullopt, ResultStatus::Failed},
    };
    TrustPlace trust;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompt prompt;
        if (&c == cases)
            prompt.expectQuestion(PromptAnswer::No); // the host key, on the first contact only
        if (c.asked)
            prompt.expectSecret(c.typed);
        ServerProfile profile = server.profile();
        profile.Passwd = c.password;
        auto client = CFtpClient::create(server.network(), false, profile, trust.trust());
        client->setTimeouts(shortTimeouts());
        EXPECT_EQ(client->OpenSession().status(), c.result);
        const QStringList asked =
            prompt.texts().filter(QStringLiteral("vantorpad@127.0.0.1:%1").arg(server.port()));
        EXPECT_EQ(asked.size(), c.asked ? 1 : 0) << prompt.texts().join(u'|').toStdString();
        if (c.result == ResultStatus::Failed) {
            EXPECT_TRUE(prompt.texts().last().contains(QStringLiteral("キーボード対話")))
                << prompt.texts().join(u'|').toStdString();
        }
    }
}

TEST(Ftps, AServerThatRefusesAuthTlsIsReportedInOurWords) {
    FtpServerFixture plain;
    ScriptedPrompt prompt;
    ServerProfile profile = plain.profile();
    profile.Protocol = ProtocolFtps;
    TrustPlace trust;
    auto client = CFtpClient::create(plain.network(), false, profile, trust.trust());
    client->setTimeouts(shortTimeouts());
    EXPECT_EQ(client->OpenSession().status(), ResultStatus::Failed);
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("AUTH TLS")));
}

TEST(Sftp, NamesComeWholeWhateverTheyHold) {
    SftpServerFixture server;
    TrustPlace trust;
    ScriptedPrompt prompt;
    prompt.expectQuestion(PromptAnswer::No);
    const QByteArrayList names = {"x\n-rw-r--r--    1 u g 5 Jan  1  2020 made-up.txt", "end .",
                                  "cr\r", "a\rb.txt", "plain.txt"};
    for (const QByteArray& name : names)
        writeFileBytes(QDir(server.rootDir()).filePath(QFile::decodeName(name)), "12345");
    auto client = CFtpClient::create(server.network(), false, server.profile(), trust.trust());
    client->setTimeouts(shortTimeouts());
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    ServerFileList list;
    ASSERT_EQ(client->GetServerFileList("*", list, ServerFileKindAll).status(), ResultStatus::Done);
    QByteArrayList listed;
    for (const ServerFileEntry& e : list) {
        listed << e.name;
        EXPECT_EQ(e.size, 5);
    }
    std::sort(listed.begin(), listed.end());
    QByteArrayList expected = names;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    // The lookup of one such file finds it, and only it.
    ServerFileList one;
    ASSERT_EQ(client->GetServerFileList(names[1], one, ServerFileKindFiles).status(),
              ResultStatus::Done);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].name, names[1]);
}

TEST(ServerTrust, CertificateTimesAreShownInLocalTimeAsTheProgramShowsDates) {
    auto local = [](int y, int mo, int d, int h, int mi) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC)
            .toLocalTime()
            .toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    };
    EXPECT_EQ(PeerCertificate::localDate(QStringLiteral("Dec  8 05:39:39 2026 GMT")),
              local(2026, 12, 8, 5, 39));
    EXPECT_EQ(PeerCertificate::localDate(QStringLiteral("Feb 29 23:59:00 2028 GMT")),
              local(2028, 2, 29, 23, 59));
    EXPECT_EQ(PeerCertificate::localDate(QStringLiteral("20261208053939Z")),
              QStringLiteral("20261208053939Z"));
}
