// SftpSession against a real OpenSSH server: the ways an SSH user logs on, host keys, the
// user's ~/.ssh read and never written, and the session's operations.
#include "ftp/SftpSession.h"
#include "FtpTestSupport.h"
#include "ScriptedPrompt.h"
#include "SshdFixture.h"
#include "TempDir.h"
#include "TrustPlace.h"
#include "ftp/CFtpClient.h"
#include "ftp/ServerTrust.h"
#include "settings/ServerProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// The program's trust files and the user's SSH directory, both in temporary directories; no
// agent unless a test starts one.
class SshPlace {
public:
    SshPlace() : m_agent(qgetenv("SSH_AUTH_SOCK")) {
        QDir().mkpath(sshDir());
        qunsetenv("SSH_AUTH_SOCK");
    }
    ~SshPlace() {
        if (!m_agent.isEmpty())
            qputenv("SSH_AUTH_SOCK", m_agent);
    }
    ServerTrust& trust() const { return m_trust.trust(); }
    QString home() const { return m_home.path(); }
    QString sshDir() const { return m_home.filePath(QStringLiteral(".ssh")); }
    QString sshFile(const QString& name) const { return QDir(sshDir()).filePath(name); }
    // The user's ~/.ssh as the test left it, to prove nothing was written there.
    QStringList sshEntries() const { return QDir(sshDir()).entryList(QDir::Files); }
    void trustServer(const SshdFixture& server) const {
        writeFileBytes(sshFile(QStringLiteral("known_hosts")), server.knownHostsLine());
    }

private:
    QByteArray m_agent;
    TrustPlace m_trust;
    TempDir m_home;
};

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char& c : bytes)
        c = char(generator.generate());
    return bytes;
}

} // namespace

TEST(SshLogOn, KeysOfEveryKindAndFormatLogOn) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    place.trustServer(server);
    ScriptedPrompt prompt;
    const struct {
        const char* type;
        SshdFixture::KeyFormat format;
    } keys[] = {{"ed25519", SshdFixture::KeyFormat::OpenSsh},
                {"rsa", SshdFixture::KeyFormat::OpenSsh},
                {"rsa", SshdFixture::KeyFormat::Pem},
                {"ecdsa", SshdFixture::KeyFormat::Pem}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.type);
        const QString key =
            server.makeKey(QStringLiteral("id_%1_%2").arg(QLatin1String(k.type)).arg(int(k.format)),
                           QLatin1String(k.type), {}, k.format);
        SftpSession session(server.endpoint(place.sshDir(), key), shortTimeouts(), place.trust());
        const auto home = session.logOn();
        ASSERT_TRUE(home.ok()) << home.message().toStdString();
        EXPECT_EQ(*home, QFile::encodeName(server.rootDir()));
    }
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST(SshLogOn, APassPhraseIsAskedOnceAndAWrongOneOrANonKeySaysSo) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    place.trustServer(server);
    const QString key = server.makeKey(QStringLiteral("locked"), QStringLiteral("ed25519"),
                                       QStringLiteral("open sesame"));
    QFile::remove(key + QStringLiteral(".pub")); // nothing to ask the server about first
    {
        ScriptedPrompt prompt;
        prompt.expectSecret(QStringLiteral("open sesame"));
        SftpSession session(server.endpoint(place.sshDir(), key), shortTimeouts(), place.trust());
        const auto r = session.logOn();
        EXPECT_TRUE(r.ok()) << r.message().toStdString();
        EXPECT_EQ(prompt.shown().size(), 1);
    }
    {
        ScriptedPrompt prompt;
        prompt.expectSecret(QStringLiteral("wrong"));
        SftpSession session(server.endpoint(place.sshDir(), key), shortTimeouts(), place.trust());
        const auto r = session.logOn();
        EXPECT_EQ(r.status(), ResultStatus::Failed);
        EXPECT_TRUE(r.message().contains(QStringLiteral("パスフレーズが違います")))
            << r.message().toStdString();
    }
    {
        ScriptedPrompt prompt;
        prompt.expectSecret(std::nullopt);
        SftpSession session(server.endpoint(place.sshDir(), key), shortTimeouts(), place.trust());
        EXPECT_TRUE(session.logOn().status() == ResultStatus::Cancelled);
    }
    {
        TempDir dir;
        const QString notAKey = dir.write(QStringLiteral("notakey"), "hello\n");
        ScriptedPrompt prompt;
        SftpSession session(server.endpoint(place.sshDir(), notAKey), shortTimeouts(),
                            place.trust());
        const auto r = session.logOn();
        EXPECT_EQ(r.status(), ResultStatus::Failed);
        EXPECT_TRUE(r.message().contains(QStringLiteral("秘密鍵のファイルではない")))
            << r.message().toStdString();
        EXPECT_TRUE(r.message().contains(QStringLiteral("ログオン出来ませんでした")));
    }
}

TEST(SshLogOn, TheAgentsKeysLogOnWithoutAKeyFile) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    place.trustServer(server);
    const QString key = server.makeKey(QStringLiteral("agentkey"), QStringLiteral("rsa"),
                                       QStringLiteral("agent pass"));
    TempDir agentDir;
    const QString socket = agentDir.filePath(QStringLiteral("agent.sock"));
    QProcess agent;
    agent.start(QStringLiteral("ssh-agent"), {QStringLiteral("-D"), QStringLiteral("-a"), socket});
    ASSERT_TRUE(agent.waitForStarted(10000));
    for (int i = 0; i < 200 && !QFileInfo::exists(socket); ++i)
        QThread::msleep(25);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SSH_AUTH_SOCK"), socket);
    env.insert(QStringLiteral("SSH_ASKPASS_REQUIRE"), QStringLiteral("never"));
    // ssh-add reads the pass phrase from a key file that has none: add an unlocked copy.
    runTool(QStringLiteral("ssh-keygen"),
            {QStringLiteral("-q"), QStringLiteral("-p"), QStringLiteral("-P"),
             QStringLiteral("agent pass"), QStringLiteral("-N"), QString(), QStringLiteral("-f"),
             key});
    runTool(QStringLiteral("ssh-add"), {QStringLiteral("-q"), key}, env);
    QFile::remove(key);
    qputenv("SSH_AUTH_SOCK", QFile::encodeName(socket));

    ScriptedPrompt prompt; // no pass phrase, no password is asked
    SftpSession session(server.endpoint(place.sshDir()), shortTimeouts(), place.trust());
    const auto r = session.logOn();
    EXPECT_TRUE(r.ok()) << r.message().toStdString();
    session.close();
    agent.kill();
    agent.waitForFinished(3000);
}

TEST(SshLogOn, ConfigAliasGivesHostPortUserAndKeyAndBrokenLinesAreReported) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    place.trustServer(server);
    const QString key = server.makeKey(QStringLiteral("configured"), QStringLiteral("ed25519"));
    const QByteArray alias = "Host work\n  HostName 127.0.0.1\n  Port " +
                             QByteArray::number(server.port()) + "\n  User " + SshdFixture::user() +
                             "\n  IdentityFile " + QFile::encodeName(key) + "\n";
    // Lines ssh would stop at or does not know are passed over, as long as the alias stands.
    writeFileBytes(place.sshFile(QStringLiteral("config")),
                   alias + "  SomeFutureOption yes\n  Port\n  Compression maybe\n");
    ScriptedPrompt prompt;
    SshEndpoint e;
    e.host = "work";
    e.sshDirectory = place.sshDir();
    {
        SftpSession session(e, shortTimeouts(), place.trust());
        const auto r = session.logOn();
        ASSERT_TRUE(r.ok()) << r.message().toStdString();
        EXPECT_EQ(session.serverName(), "127.0.0.1:" + QByteArray::number(server.port()));
        EXPECT_EQ(session.user(), SshdFixture::user());
    }
    // A line that leaves the rest of the file in doubt stops the logon, naming the file.
    writeFileBytes(place.sshFile(QStringLiteral("config")), "Match nonsense\n" + alias);
    SftpSession session(e, shortTimeouts(), place.trust());
    const auto r = session.logOn();
    EXPECT_EQ(r.status(), ResultStatus::Failed);
    EXPECT_TRUE(r.message().contains(place.sshFile(QStringLiteral("config"))))
        << r.message().toStdString();
    EXPECT_FALSE(session.isOpen());
}

TEST(SshLogOn, AProxyJumpOfTheConfigGoesThroughTheJumpHostAndOneThatFailsSaysSo) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    place.trustServer(server);
    const QByteArray key =
        QFile::encodeName(server.makeKey(QStringLiteral("jumper"), QStringLiteral("ed25519")));
    const QByteArray port = QByteArray::number(server.port());
    // The jump is made by OpenSSH's ssh, which reads the home of the passwd database, not this
    // test's: a wrapper first on PATH points it at the test's key and known hosts.
    TempDir bin;
    const QString jumpConfig = bin.write(
        QStringLiteral("jump_config"),
        "Host *\n  IdentityFile " + key + "\n  IdentitiesOnly yes\n  UserKnownHostsFile " +
            QFile::encodeName(place.sshFile(QStringLiteral("known_hosts"))) +
            "\n  StrictHostKeyChecking yes\n  BatchMode yes\n");
    const QString jumps = bin.filePath(QStringLiteral("jumps.log"));
    const QString wrapper =
        bin.write(QStringLiteral("ssh"), "#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(jumps) +
                                             "'\nexec /usr/bin/ssh -F '" +
                                             QFile::encodeName(jumpConfig) + "' \"$@\"\n");
    QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    struct PathRestored {
        QByteArray path = qgetenv("PATH");
        ~PathRestored() { qputenv("PATH", path); }
    } before;
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + before.path);
    const struct {
        const char* what;
        QByteArray jumpHost;
        ResultStatus result;
    } cases[] = {
        {"through the jump host", SshdFixture::user() + "@127.0.0.1:" + port, ResultStatus::Done},
        {"a jump host nobody listens on", SshdFixture::user() + "@127.0.0.1:1",
         ResultStatus::Failed},
    };
    ScriptedPrompt prompt;
    SshEndpoint e;
    e.host = "behind";
    e.sshDirectory = place.sshDir();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(jumps);
        writeFileBytes(place.sshFile(QStringLiteral("config")),
                       "Host behind\n  HostName 127.0.0.1\n  Port " + port + "\n  User " +
                           SshdFixture::user() + "\n  IdentityFile " + key + "\n  ProxyJump " +
                           c.jumpHost + "\n");
        SftpSession session(e, shortTimeouts(), place.trust());
        const auto r = session.logOn();
        EXPECT_EQ(r.status(), c.result) << r.message().toStdString();
        EXPECT_TRUE(readFileBytes(jumps).contains("[127.0.0.1]:" + port))
            << "the connection went through the jump: " << readFileBytes(jumps).toStdString();
        if (c.result == ResultStatus::Done) {
            EXPECT_EQ(session.serverName(), "127.0.0.1:" + port);
            EXPECT_TRUE(session.list(".", [](ListedEntry&&) {}).ok());
        } else {
            EXPECT_FALSE(r.message().isEmpty());
            EXPECT_FALSE(session.isOpen());
        }
    }
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST(SshHostKeys, UnknownIsAskedOnceChangedIsRefusedAndSshDirIsNeverWritten) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    const QString key = server.makeKey(QStringLiteral("k"), QStringLiteral("ed25519"));
    // The user's known_hosts knows other hosts only, one hashed, one broken.
    const QByteArray userKnown = "|1|bm90IGEgaG9zdA==|AAAAAAAAAAAAAAAAAAAAAAAAAAA= ssh-ed25519 "
                                 "AAAAC3NzaC1lZDI1NTE5AAAAIE1234\nbroken line without key\n";
    writeFileBytes(place.sshFile(QStringLiteral("known_hosts")), userKnown);
    {
        ScriptedPrompt prompt;
        prompt.expectQuestion(PromptAnswer::Yes); // always trust
        SftpSession session(server.endpoint(place.sshDir(), key), shortTimeouts(), place.trust());
        const auto r = session.logOn();
        ASSERT_TRUE(r.ok()) << r.message().toStdString();
        ASSERT_EQ(prompt.shown().size(), 1);
        EXPECT_TRUE(prompt.shown()[0].text.contains(QStringLiteral("SHA256:")));
    }
    {
        ScriptedPrompt prompt; // kept in the program's file: not asked again
        SftpSession session(server.endpoint(place.sshDir(), key), shortTimeouts(), place.trust());
        EXPECT_TRUE(session.logOn().ok());
    }
    server.replaceHostKey();
    {
        ScriptedPrompt prompt;
        SftpSession session(server.endpoint(place.sshDir(), key), shortTimeouts(), place.trust());
        const auto r = session.logOn();
        EXPECT_EQ(r.status(), ResultStatus::Refused);
        ASSERT_EQ(prompt.shown().size(), 1);
        EXPECT_TRUE(prompt.shown()[0].text.contains(QStringLiteral("警告")));
        EXPECT_FALSE(session.isOpen());
    }
    EXPECT_EQ(readFileBytes(place.sshFile(QStringLiteral("known_hosts"))), userKnown);
    EXPECT_EQ(place.sshEntries(), QStringList{QStringLiteral("known_hosts")});

    // A hashed entry in the user's known_hosts vouches for the server: nothing is asked.
    SshPlace fresh;
    writeFileBytes(fresh.sshFile(QStringLiteral("known_hosts")), server.knownHostsLine());
    runTool(QStringLiteral("ssh-keygen"), {QStringLiteral("-H"), QStringLiteral("-f"),
                                           fresh.sshFile(QStringLiteral("known_hosts"))});
    ASSERT_TRUE(readFileBytes(fresh.sshFile(QStringLiteral("known_hosts"))).startsWith("|1|"));
    ScriptedPrompt prompt;
    SftpSession session(server.endpoint(fresh.sshDir(), key), shortTimeouts(), fresh.trust());
    EXPECT_TRUE(session.logOn().ok());
}

TEST(SftpSessionOps, FilesDirectoriesAndRefusalsInTheServersWords) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    place.trustServer(server);
    ScriptedPrompt prompt;
    SftpSession session(server.endpoint(place.sshDir(), server.makeKey(QStringLiteral("k"),
                                                                       QStringLiteral("ed25519"))),
                        shortTimeouts(), place.trust());
    ASSERT_TRUE(session.logOn().ok());
    ASSERT_TRUE(session.makeDirectory("sub").ok());
    ASSERT_TRUE(session.changeDirectory("sub").ok());
    // More than a read's size and not a multiple of it: the reads in flight must line up.
    const QByteArray data = randomBytes(3 * 1024 * 1024 + 12345);
    qsizetype at = 0;
    const auto stored = session.store("big.bin", TransferType::Binary, data.size(),
                                      [&](char* buffer, qint64 capacity) {
                                          const qint64 n = qMin(capacity, qint64(data.size() - at));
                                          memcpy(buffer, data.constData() + at, size_t(n));
                                          at += n;
                                          return n;
                                      });
    ASSERT_TRUE(stored.ok()) << stored.message().toStdString();
    EXPECT_EQ(readFileBytes(server.rootDir() + QStringLiteral("/sub/big.bin")), data);

    QByteArray back;
    qint64 lastDone = 0, lastTotal = 0;
    session.setProgressHandler([&](qint64 done, qint64 total) {
        lastDone = done;
        lastTotal = total;
        return true;
    });
    const auto got =
        session.retrieve("big.bin", TransferType::Binary, [&](const char* d, qsizetype n) {
            back.append(d, n);
            return true;
        });
    ASSERT_TRUE(got.ok());
    EXPECT_EQ(back, data);
    EXPECT_EQ(lastDone, data.size());
    EXPECT_EQ(lastTotal, data.size());

    session.setProgressHandler([](qint64, qint64) { return false; });
    EXPECT_TRUE(
        session
            .retrieve("big.bin", TransferType::Binary, [](const char*, qsizetype) { return true; })
            .status() == ResultStatus::Cancelled);
    session.setProgressHandler({});

    const auto info = session.stat(QFile::encodeName(server.rootDir()) + "/sub/big.bin");
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->size, data.size());
    EXPECT_NEAR(double(info->modified.value_or(0)),
                double(QFileInfo(server.rootDir() + QStringLiteral("/sub/big.bin"))
                           .lastModified()
                           .toSecsSinceEpoch()),
                1.0);

    ASSERT_TRUE(session.rename("big.bin", "moved.bin").ok());
    std::vector<ListedEntry> entries;
    ASSERT_TRUE(session.list(".", [&](ListedEntry&& e) { entries.push_back(std::move(e)); }).ok());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "moved.bin");
    EXPECT_EQ(entries[0].size, data.size());
    EXPECT_TRUE(entries[0].modified.isValid());
    entries.clear();
    ASSERT_TRUE(session.list("missing.txt", [&](ListedEntry&& e) { entries.push_back(e); }).ok());
    EXPECT_TRUE(entries.empty());

    const auto refused = session.remove("missing.txt");
    EXPECT_EQ(refused.status(), ResultStatus::Failed);
    EXPECT_TRUE(refused.message().contains(QStringLiteral("No such file")))
        << refused.message().toStdString();
    EXPECT_FALSE(session.removeDirectory(QFile::encodeName(server.rootDir()) + "/sub").ok());
    ASSERT_TRUE(session.remove("moved.bin").ok());
    ASSERT_TRUE(session.changeDirectory("..").ok());
    EXPECT_TRUE(session.removeDirectory("sub").ok());
    EXPECT_FALSE(session.changeDirectory("sub").ok());
    EXPECT_FALSE(QFileInfo::exists(server.rootDir() + QStringLiteral("/sub")));
}

TEST(SftpProfile, NeedsNoStoredPasswordOrUserWhenTheSshSetupGivesThem) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    place.trustServer(server);
    const QString key = server.makeKey(QStringLiteral("id_ed25519"), QStringLiteral("ed25519"));
    writeFileBytes(place.sshFile(QStringLiteral("config")),
                   "Host box\n  HostName 127.0.0.1\n  Port " + QByteArray::number(server.port()) +
                       "\n  User " + SshdFixture::user() + "\n  IdentityFile " +
                       QFile::encodeName(key) + "\n");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(place.home()));
    ServerProfile profile;
    profile.Server = QStringLiteral("box");
    profile.User.clear();
    profile.Passwd.clear();
    profile.Port = 0;
    profile.Protocol = ProtocolSftp;
    profile.Code = CodeSystemSjis;
    profile.Dir = server.rootDir();
    EXPECT_TRUE(profile.isComplete());
    ScriptedPrompt prompt;
    NetworkSettings network;
    auto client = CFtpClient::create(network, false, profile, place.trust());
    client->setTimeouts(shortTimeouts());
    TempDir local;
    const QString up = local.write(QStringLiteral("up.txt"), "text\r\n");
    EXPECT_TRUE(client->PutFileAuto(up, "up.txt", false, true).ok());
    EXPECT_EQ(readFileBytes(server.rootDir() + QStringLiteral("/up.txt")), "text\r\n");
    EXPECT_TRUE(
        client->GetFileAuto(local.filePath(QStringLiteral("down.txt")), "up.txt", true).ok());
    EXPECT_EQ(local.read(QStringLiteral("down.txt")), "text\r\n");
    EXPECT_TRUE(prompt.shown().isEmpty()) << prompt.texts().join(u'|').toStdString();
    qputenv("HOME", home);
}

TEST(SftpSessionOps, AConnectionDroppedDuringATransferEndsItWithAMessage) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    SshPlace place;
    place.trustServer(server);
    ScriptedPrompt prompt;
    writeFileBytes(server.rootDir() + QStringLiteral("/big.bin"), randomBytes(8 * 1024 * 1024));
    SftpSession session(server.endpoint(place.sshDir(), server.makeKey(QStringLiteral("k"),
                                                                       QStringLiteral("ed25519"))),
                        shortTimeouts(), place.trust());
    ASSERT_TRUE(session.logOn().ok());
    bool dropped = false;
    session.setProgressHandler([&](qint64, qint64) {
        if (!dropped)
            server.dropConnections();
        dropped = true;
        return true;
    });
    const auto got =
        session.retrieve(QFile::encodeName(server.rootDir()) + "/big.bin", TransferType::Binary,
                         [](const char*, qsizetype) { return true; });
    EXPECT_EQ(got.status(), ResultStatus::Failed);
    EXPECT_TRUE(got.message().contains(QStringLiteral("切断されました")))
        << got.message().toStdString();
    // Nothing is sent over a connection that is gone, and nothing hangs.
    EXPECT_FALSE(session.list(".", [](ListedEntry&&) {}).ok());
}
