#pragma once

#include "encoding/CodeSystem.h"
#include "settings/NetworkSettings.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

struct ServerProfile;

// A real SFTP server for tests: python3-asyncssh (tests/support/sftp_server.py) on 127.0.0.1,
// its root a temporary directory, a host key of its own, logging on with a password or with a
// client key the server makes and authorizes (clientKey()).
class SftpServerFixture {
public:
    // How the server asks for the password: as a password, or by keyboard-interactive only.
    enum class PasswordMethod { Password, KeyboardInteractive };
    // `keyPassphrase`: the client key is written encrypted with it.
    explicit SftpServerFixture(const QString& keyPassphrase = QString(),
                               PasswordMethod method = PasswordMethod::Password);
    ~SftpServerFixture();
    SftpServerFixture(const SftpServerFixture&) = delete;
    SftpServerFixture& operator=(const SftpServerFixture&) = delete;

    int port() const { return m_port; }
    QString rootDir() const { return m_root.path(); }
    QString clientKey() const { return m_work.filePath(QStringLiteral("client")); }
    ServerProfile profile(int code = CodeSystemSjis) const;
    NetworkSettings network() const;
    // Serves a new host key on the same port, as a server that was replaced.
    void replaceHostKey();

private:
    void start();
    void stop();

    QString m_passphrase;
    PasswordMethod m_method;
    QTemporaryDir m_work;
    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
};
