#include "SftpServerFixture.h"

#include "PythonServer.h"

#include <QFile>

#include <gtest/gtest.h>

SftpServerFixture::SftpServerFixture(const QString& keyPassphrase, PasswordMethod method)
    : m_passphrase(keyPassphrase), m_method(method) {
    start();
}

SftpServerFixture::~SftpServerFixture() {
    stop();
}

void SftpServerFixture::start() {
    QStringList args{QStringLiteral(VANTORPAD_TESTS_DIR "/support/sftp_server.py"),
                     QStringLiteral("--root"),
                     m_root.path(),
                     QStringLiteral("--user"),
                     QStringLiteral("vantorpad"),
                     QStringLiteral("--password"),
                     QStringLiteral("pass-w0rd"),
                     QStringLiteral("--host-key"),
                     m_work.filePath(QStringLiteral("host")),
                     QStringLiteral("--port"),
                     QString::number(m_port),
                     QStringLiteral("--client-key"),
                     clientKey()};
    if (!m_passphrase.isEmpty())
        args << QStringLiteral("--client-passphrase") << m_passphrase;
    if (m_method == PasswordMethod::KeyboardInteractive)
        args << QStringLiteral("--kbdint");
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_port = startPythonServer(m_process, args, "SFTP");
}

void SftpServerFixture::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the server ends when its stdin closes
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

void SftpServerFixture::replaceHostKey() {
    stop();
    QFile::remove(m_work.filePath(QStringLiteral("host")));
    start();
}

NetworkSettings SftpServerFixture::network() const {
    NetworkSettings n;
    n.Proxy = 1;
    n.Passive = 1;
    return n;
}
