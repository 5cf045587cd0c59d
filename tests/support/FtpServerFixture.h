#pragma once

#include "encoding/CodeSystem.h"
#include "settings/NetworkSettings.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

struct ServerProfile;

// A real FTP server for tests: pyftpdlib (tests/support/ftp_server.py) on 127.0.0.1 with an
// ephemeral port and a temporary root, started by the constructor and stopped by the destructor.
// Names in the root are bytes: helpers take and give raw name bytes, so Shift_JIS and EUC-JP
// names can be laid out and checked exactly.
class FtpServerFixture {
public:
    struct Options {
        // Switches of the scripted server (tests/support/ftp_server.py says what each does):
        //   "refuse=VERB" (e.g. STOR, DELE, CWD; "refuse=LIST" / "refuse=MLSD" answer 550),
        //   "reply421=VERB", "mute=VERB", "longreply=VERB",
        //   "dropretr", "shortretr" (RETR sends half the file and reports success),
        //   "stallretr", "dropstor", "dropstor=N" (only the N-th STOR drops),
        //   "stallstor" (STOR holds after 64 KiB until the client is gone),
        //   "badmdtm" (MDTM answers a time of another shape),
        //   "undersize" (SIZE announces half the file's size, RETR sends all of it),
        //   "under150" (SIZE refused, the 150 reply announces "(N bytes)" with half the size,
        //               RETR sends all of it),
        //   "noclobber" (RNTO onto an existing name is refused),
        //   "droplist" (LIST and MLSD send half the listing, then drop both connections).
        QStringList faults;
        bool mlsd = true;       // offer MLST/MLSD in FEAT
        bool epsv = true;       // accept EPSV (off: clients fall back to PASV)
        QString masquerade;     // address named in PASV replies instead of the real one
        QByteArray listing;     // when set, served as the data of every LIST
        QByteArray mlsdListing; // when set, served as the data of every MLSD
        // Raw names of 3-byte files that every LIST and MLSD of a directory lists after its
        // real entries (not files on disk: RETR of them fails). See hostileNames().
        QByteArrayList extraNames;
    };

    // Names a hostile server lists: a "/" inside, "../x", "/../x", "..", ".", and control
    // bytes 0x01, ESC (0x1B) and CSI (0x9B). Use them as Options::extraNames beside a real
    // file to check that every window shows them escaped and refuses to download them.
    static QByteArrayList hostileNames();

    FtpServerFixture();
    explicit FtpServerFixture(const Options& options);
    ~FtpServerFixture();
    FtpServerFixture(const FtpServerFixture&) = delete;
    FtpServerFixture& operator=(const FtpServerFixture&) = delete;

    // Faults added to those of the options from the next command on, on every connection
    // (an empty list takes them away again).
    void setFaults(const QStringList& faults) const;

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
    // Another client's change: `content` written to `relative`, with a time a minute later.
    void changeFile(const QByteArray& relative, const QByteArray& content) const;
    QByteArray readFile(const QByteArray& relative) const;
    bool exists(const QByteArray& relative) const;
    void makeDir(const QByteArray& relative) const;
    // The names in a directory of the root, sorted bytewise.
    QByteArrayList names(const QByteArray& relativeDir = QByteArray()) const;

private:
    void start(const Options& options);
    QString faultFile() const;

    QTemporaryDir m_root;
    QTemporaryDir m_work;
    QProcess m_process;
    int m_port = 0;
};
