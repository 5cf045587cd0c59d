#pragma once

#include "encoding/CodeSystem.h"
#include "settings/NetworkSettings.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

struct ServerProfile;

// A real FTPS server for tests: Debian's vsftpd with explicit TLS (AUTH TLS required on the
// control and data connections) on 127.0.0.1, running as the user of the test, with a
// self-signed certificate made by openssl for this server. Logs on anonymously into a
// temporary root that may be written.
class FtpsServerFixture {
public:
    FtpsServerFixture();
    ~FtpsServerFixture();
    FtpsServerFixture(const FtpsServerFixture&) = delete;
    FtpsServerFixture& operator=(const FtpsServerFixture&) = delete;

    bool isRunning() const { return m_process.state() == QProcess::Running; }
    int port() const { return m_port; }
    QString rootDir() const { return m_root.path(); }
    ServerProfile profile(int code = CodeSystemSjis, const QString& dir = QString()) const;
    NetworkSettings network() const;
    // The SHA-256 fingerprint of the certificate served now, as "AB:CD:...".
    QString fingerprint() const;

    // Serves a new self-signed certificate (a new key) on the same port, as a server whose
    // certificate was replaced.
    void replaceCertificate();

    void writeFile(const QString& name, const QByteArray& content) const;
    QByteArray readFile(const QString& name) const;

private:
    void makeCertificate();
    void start();
    void stop();

    QTemporaryDir m_work;
    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
};
