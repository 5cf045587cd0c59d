#include "FtpsServerFixture.h"
#include "ServerProcess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port nobody listens on now: the kernel's choice for a socket bound to port 0.
int freePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

bool accepts(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(quint16(port));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

} // namespace

FtpsServerFixture::FtpsServerFixture() {
    // vsftpd lists only directories others may read, as an anonymous user could.
    QFile::setPermissions(m_root.path(), QFile::permissions(m_root.path()) | QFile::ReadOther |
                                             QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    m_port = freePort();
    makeCertificate();
    start();
}

FtpsServerFixture::~FtpsServerFixture() {
    stop();
}

void FtpsServerFixture::makeCertificate() {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                   m_work.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                   m_work.filePath(QStringLiteral("cert.pem")), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=localhost")});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        ADD_FAILURE() << "openssl could not make a certificate";
}

void FtpsServerFixture::start() {
    // vsftpd wants its configuration owned by the user who runs it, which the test's file is.
    const QByteArray config =
        QByteArray("listen=YES\nlisten_address=127.0.0.1\n") +
        "listen_port=" + QByteArray::number(m_port) +
        "\nrun_as_launching_user=YES\nbackground=NO\n"
        "anonymous_enable=YES\nno_anon_password=YES\nanon_root=" +
        QFile::encodeName(m_root.path()) +
        "\nlocal_enable=NO\nwrite_enable=YES\nanon_upload_enable=YES\n"
        "anon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
        "anon_umask=022\nssl_enable=YES\nallow_anon_ssl=YES\n"
        "force_anon_logins_ssl=YES\nforce_anon_data_ssl=YES\n"
        "require_ssl_reuse=NO\nseccomp_sandbox=NO\npasv_address=127.0.0.1\n"
        "xferlog_enable=NO\nrsa_cert_file=" +
        QFile::encodeName(m_work.filePath(QStringLiteral("cert.pem"))) +
        "\nrsa_private_key_file=" + QFile::encodeName(m_work.filePath(QStringLiteral("key.pem"))) +
        '\n';
    const QString configPath = m_work.filePath(QStringLiteral("vsftpd.conf"));
    QFile file(configPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
        ADD_FAILURE() << "cannot write the vsftpd configuration";
    file.close();
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("/usr/sbin/vsftpd"), {configPath});
    if (!m_process.waitForStarted(10000))
        ADD_FAILURE() << "cannot start vsftpd: " << m_process.errorString().toStdString();
    QElapsedTimer clock;
    clock.start();
    while (!accepts(m_port) && clock.elapsed() < 10000 && m_process.state() != QProcess::NotRunning)
        QThread::msleep(20);
    if (!accepts(m_port))
        ADD_FAILURE() << "vsftpd did not start on port " << m_port;
}

void FtpsServerFixture::stop() {
    stopServerProcess(m_process);
}

void FtpsServerFixture::replaceCertificate() {
    stop();
    makeCertificate();
    start();
}

NetworkSettings FtpsServerFixture::network() const {
    NetworkSettings n;
    n.Proxy = 1;
    n.Passive = 1;
    return n;
}

QString FtpsServerFixture::fingerprint() const {
    QFile file(m_work.filePath(QStringLiteral("cert.pem")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray pem = file.readAll();
    pem = pem.mid(pem.indexOf('\n') + 1);
    pem.truncate(pem.indexOf("-----END"));
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::fromBase64(pem.simplified().replace(' ', "")),
                                 QCryptographicHash::Sha256)
            .toHex(':')
            .toUpper());
}

void FtpsServerFixture::writeFile(const QString& name, const QByteArray& content) const {
    QFile file(QDir(m_root.path()).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(content), content.size());
}

QByteArray FtpsServerFixture::readFile(const QString& name) const {
    QFile file(QDir(m_root.path()).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
