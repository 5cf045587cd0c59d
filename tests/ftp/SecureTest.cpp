#include "FtpTestSupport.h"
#include "FtpsServerFixture.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "encoding/LosslessCodec.h"
#include "ftp/ServerTrust.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Trusted certificates of the test go to a directory of its own, and nothing of an earlier
// test is trusted for this session.
class TrustPlace {
public:
    TrustPlace() {
        ServerTrust::setDirectory(m_dir.path());
        ServerTrust::forgetSession();
    }
    ~TrustPlace() { ServerTrust::forgetSession(); }
    QByteArray file() const {
        QFile f(m_dir.filePath(QStringLiteral("VantorpadTrust.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    TempDir m_dir;
};

std::unique_ptr<CFtpClient> clientFor(const FtpsServerFixture& server, int code = CodeSystemSjis) {
    auto client = CFtpClient::create(server.network(), false, server.profile(code));
    client->setTimeouts(shortTimeouts());
    return client;
}

} // namespace

TEST(Ftps, TheTrustQuestionShowsTheCertificateAndEachAnswerIsKeptAsLongAsItSays) {
    FtpsServerFixture server;
    ASSERT_TRUE(server.isRunning());
    struct Case {
        PromptAnswer answer;
        OpResult result;
        bool inFile;
        bool trustedThisSession;
    } cases[] = {{PromptAnswer::Yes, OpResult::Done, true, true},
                 {PromptAnswer::No, OpResult::Done, false, true},
                 {PromptAnswer::Cancel, OpResult::Cancelled, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.answer));
        TrustPlace trust;
        ScriptedPrompt prompt;
        prompt.expectQuestion(c.answer);
        auto client = clientFor(server);
        EXPECT_EQ(client->OpenSession(), c.result);
        ASSERT_EQ(prompt.texts().size(), 1);
        EXPECT_TRUE(prompt.texts()[0].contains(server.fingerprint()));
        EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("CN = localhost")));
        EXPECT_EQ(trust.file().contains(server.fingerprint().toLatin1()), c.inFile);

        // A second session asks again only when nothing was trusted.
        prompt.clear();
        if (!c.trustedThisSession)
            prompt.expectQuestion(PromptAnswer::Cancel);
        EXPECT_EQ(clientFor(server)->OpenSession(), c.result);
        EXPECT_EQ(prompt.texts().size(), c.trustedThisSession ? 0 : 1);

        // After a restart only the permanent choice holds.
        ServerTrust::forgetSession();
        prompt.clear();
        if (!c.inFile)
            prompt.expectQuestion(PromptAnswer::Cancel);
        EXPECT_EQ(clientFor(server)->OpenSession(),
                  c.inFile ? OpResult::Done : OpResult::Cancelled);
    }
}

TEST(Ftps, AChangedCertificateIsRefusedWithAWarningWhetherTrustedForeverOrForNow) {
    FtpsServerFixture server;
    for (PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No}) {
        TrustPlace trust;
        ScriptedPrompt prompt;
        prompt.expectQuestion(answer);
        ASSERT_EQ(clientFor(server)->OpenSession(), OpResult::Done);
        const QString trustedFingerprint = server.fingerprint();
        const QByteArray trustFile = trust.file();

        server.replaceCertificate();
        prompt.clear();
        EXPECT_EQ(clientFor(server)->OpenSession(), OpResult::Failed);
        ASSERT_EQ(prompt.shown().size(), 1);
        EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Warning);
        EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("変わっています")));
        EXPECT_TRUE(prompt.texts()[0].contains(trustedFingerprint));
        EXPECT_TRUE(prompt.texts()[0].contains(server.fingerprint()));
        EXPECT_EQ(trust.file(), trustFile);
    }
}

TEST(Ftps, FilesGoBothWaysWithAndWithoutConversionAndTheServerCommandsWork) {
    FtpsServerFixture server;
    TrustPlace trust;
    ScriptedPrompt prompt;
    prompt.expectQuestion(PromptAnswer::No);
    TempDir local;
    const QString text = QStringLiteral("日本語のテキスト\n二行目\n");
    server.writeFile(QStringLiteral("euc.txt"), LosslessCodec::eucJp().encode(text).bytes);

    auto sjis = clientFor(server);
    ASSERT_EQ(sjis->OpenSession(), OpResult::Done);
    const QString up = local.write(QStringLiteral("up.txt"), toCp932(text));
    EXPECT_EQ(sjis->PutFileAuto(up, "sjis.txt", true, true), OpResult::Done);
    EXPECT_EQ(server.readFile(QStringLiteral("sjis.txt")), toCp932(text));
    EXPECT_EQ(sjis->GetFileAuto(local.filePath(QStringLiteral("down.txt")), "sjis.txt", false),
              OpResult::Done);
    EXPECT_EQ(local.read(QStringLiteral("down.txt")), toCp932(text));
    ASSERT_EQ(sjis->OpenSession(), OpResult::Done); // the transfers above closed theirs
    EXPECT_TRUE(sjis->Rename("sjis.txt", "sjis.bak"));
    EXPECT_TRUE(sjis->MakeDir("sub"));
    ServerFileList list;
    EXPECT_EQ(sjis->GetServerFileList("*", list, ServerFileKindAll), OpResult::Done);
    QByteArrayList names;
    for (const ServerFileEntry& e : list)
        names << e.name + (e.directory ? "/" : "");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (QByteArrayList{"euc.txt", "sjis.bak", "sub/"}));
    EXPECT_TRUE(sjis->RmDir("sub"));
    EXPECT_TRUE(sjis->Remove("sjis.bak"));
    EXPECT_FALSE(QFile::exists(QDir(server.rootDir()).filePath(QStringLiteral("sjis.bak"))));

    auto euc = clientFor(server, CodeSystemEuc);
    EXPECT_EQ(euc->GetFileEUCAuto(local.filePath(QStringLiteral("euc-down.txt")), "euc.txt"),
              OpResult::Done);
    EXPECT_EQ(local.read(QStringLiteral("euc-down.txt")),
              toCp932(QString(text).replace(u'\n', QStringLiteral("\r\n"))));
    EXPECT_EQ(euc->PutFileEUCAuto(up, "euc-up.txt", false), OpResult::Done);
    EXPECT_EQ(server.readFile(QStringLiteral("euc-up.txt")),
              LosslessCodec::eucJp().encode(text).bytes);
    EXPECT_EQ(prompt.texts().size(), 1); // the one trust question
}

TEST(Ftps, AServerThatRefusesAuthTlsIsReportedInOurWords) {
    FtpServerFixture plain;
    ScriptedPrompt prompt;
    ServerProfile profile = plain.profile();
    profile.Protocol = ProtocolFtps;
    auto client = CFtpClient::create(plain.network(), false, profile);
    client->setTimeouts(shortTimeouts());
    EXPECT_EQ(client->OpenSession(), OpResult::Failed);
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("AUTH TLS")));
}
