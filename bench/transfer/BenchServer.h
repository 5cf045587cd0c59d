#pragma once

// The FTP server of the transfer benchmarks: pyftpdlib (tests/support/ftp_server.py) on
// 127.0.0.1 serving `root`, ended when its stdin closes.

#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

namespace BenchServer {
inline const QString User = QStringLiteral("bench");
inline const QString Password = QStringLiteral("bench-pass");
} // namespace BenchServer

class Server {
public:
    explicit Server(const QString& root) {
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(QStringLiteral(VANTORPAD_SYSTEM_PYTHON),
                        {QStringLiteral(VANTORPAD_FTP_SERVER_SCRIPT), QStringLiteral("--root"),
                         root, QStringLiteral("--user"), BenchServer::User,
                         QStringLiteral("--password"), BenchServer::Password});
        QByteArray line;
        while (m_process.waitForStarted(10000) && !line.contains('\n') &&
               m_process.waitForReadyRead(15000))
            line += m_process.readAllStandardOutput();
        if (line.startsWith("PORT "))
            m_port = line.mid(5).trimmed().toInt();
    }
    ~Server() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    int port() const { return m_port; }

private:
    QProcess m_process;
    int m_port = 0;
};

// The settings of an application whose profile 0 logs on to `server` in `code`, starting in
// `dir`, with the local pane in `pcDir`, the transfer directory `tranDir` and passive mode.
inline AppSettings settingsFor(const Server& server, int code, const QString& dir,
                               const QString& pcDir, const QString& tranDir) {
    AppSettings settings;
    ServerProfile& profile = settings.Profiles[0];
    profile.Server = QStringLiteral("127.0.0.1");
    profile.User = BenchServer::User;
    profile.Passwd = BenchServer::Password;
    profile.Port = server.port();
    profile.Code = code;
    profile.Dir = dir;
    settings.Network.Proxy = 1;
    settings.Network.Passive = 1;
    settings.DefaultDisp = 0;
    settings.PcDir = pcDir;
    settings.TranDir = tranDir;
    return settings;
}
