#pragma once

#include "ftp/SftpSession.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real OpenSSH server for tests: /usr/sbin/sshd on 127.0.0.1 with a configuration, host key
// and authorized_keys of its own, serving SFTP only, its sessions starting in rootDir(). It logs
// on the user the tests run as, with the keys the test makes and authorizes.
class SshdFixture {
public:
    SshdFixture();
    ~SshdFixture();
    SshdFixture(const SshdFixture&) = delete;
    SshdFixture& operator=(const SshdFixture&) = delete;

    bool running() const { return m_port > 0; }
    int port() const { return m_port; }
    QString rootDir() const { return m_root.path(); }
    static QByteArray user();

    enum class KeyFormat { OpenSsh, Pem };
    // A new client key pair in the work directory (`name` and `name`.pub), of ssh-keygen's
    // `type` ("ed25519", "ecdsa", "rsa"), encrypted with `passphrase` when one is given;
    // authorized unless `authorize` is false. Returns the private key's path.
    QString makeKey(const QString& name, const QString& type, const QString& passphrase = {},
                    KeyFormat format = KeyFormat::OpenSsh, bool authorize = true);
    // The host key's line of a known_hosts file ("[127.0.0.1]:port ssh-ed25519 AAAA...").
    QByteArray knownHostsLine() const;
    // Serves a new host key on the same port, as a server that was replaced.
    void replaceHostKey();
    // Kills the processes that serve the connections made so far (the listener stays), as a
    // server that drops its connections.
    void dropConnections();

    // An endpoint for this server as `user()`, reading its SSH setup from `sshDirectory`.
    SshEndpoint endpoint(const QString& sshDirectory, const QString& keyFile = {}) const;

private:
    void start();
    void stop();
    QString work(const QString& name) const { return m_work.filePath(name); }

    QTemporaryDir m_work;
    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
};

// Runs `program` with `args` to its end; its standard output, or a failure of the test.
QByteArray
runTool(const QString& program, const QStringList& args,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
