#pragma once

#include "app/ServerProfile.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real FTP server for tests: pyftpdlib (tests/support/ftp_server.py) on 127.0.0.1 with an
// ephemeral port and a temporary root, started by the constructor and stopped by the destructor.
// Names in the root are bytes: helpers take and give raw name bytes, so Shift_JIS and EUC-JP
// names can be laid out and checked exactly.
class FtpServerFixture {
public:
    struct Options {
        // Switches of the scripted server, e.g. "refuse=STOR", "reply421=LIST", "mute=CWD",
        // "longreply=DELE", "dropretr", "shortretr", "stallretr", "dropstor".
        QStringList faults;
        bool mlsd = true;       // offer MLST/MLSD in FEAT
        bool epsv = true;       // accept EPSV (off: clients fall back to PASV)
        QString masquerade;     // address named in PASV replies instead of the real one
        QByteArray listing;     // when set, served as the data of every LIST
        QByteArray mlsdListing; // when set, served as the data of every MLSD
    };

    FtpServerFixture();
    explicit FtpServerFixture(const Options& options);
    ~FtpServerFixture();
    FtpServerFixture(const FtpServerFixture&) = delete;
    FtpServerFixture& operator=(const FtpServerFixture&) = delete;

    bool isRunning() const { return m_port > 0; }
    int port() const { return m_port; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    QString user() const { return QStringLiteral("vantorpad"); }
    QString password() const { return QStringLiteral("pass-w0rd"); }
    QString rootDir() const { return m_root.path(); }

    // A profile that logs on to this server, with the given code system and start directory.
    ServerProfile profile(int code = CodeSystemSjis, const QString& dir = QString()) const;
    // Network settings that reach it: direct connection, passive transfers by default.
    NetworkSettings network(bool passive = true) const;

    // Files under the root, named by their raw bytes relative to the root.
    QByteArray localPath(const QByteArray& relative) const;
    void writeFile(const QByteArray& relative, const QByteArray& content) const;
    QByteArray readFile(const QByteArray& relative) const;
    bool exists(const QByteArray& relative) const;
    void makeDir(const QByteArray& relative) const;
    // The names in a directory of the root, sorted bytewise.
    QByteArrayList names(const QByteArray& relativeDir = QByteArray()) const;

private:
    void start(const Options& options);

    QTemporaryDir m_root;
    QTemporaryDir m_work;
    QProcess m_process;
    int m_port = 0;
};
