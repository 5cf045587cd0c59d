#include "SshdFixture.h"
#include "ServerProcess.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port nobody listens on right now.
int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    return ok ? ntohs(address.sin_port) : 0;
}

bool accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

} // namespace

QByteArray runTool(const QString& program, const QStringList& args,
                   const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

SshdFixture::SshdFixture() {
    runTool(QStringLiteral("ssh-keygen"),
            {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
             QStringLiteral("-N"), QString(), QStringLiteral("-f"), work(QStringLiteral("host"))});
    if (!QFile(work(QStringLiteral("authorized_keys"))).open(QIODevice::WriteOnly))
        ADD_FAILURE() << "cannot write authorized_keys";
    if (getuid() == 0)
        QDir().mkpath(QStringLiteral("/run/sshd")); // sshd's privilege separation wants it
    m_port = freePort();
    start();
}

SshdFixture::~SshdFixture() {
    stop();
}

QByteArray SshdFixture::user() {
    const passwd* entry = getpwuid(getuid());
    return entry ? QByteArray(entry->pw_name) : qgetenv("USER");
}

void SshdFixture::start() {
    const QByteArray config =
        "ListenAddress 127.0.0.1\nPort " + QByteArray::number(m_port) + "\nHostKey " +
        QFile::encodeName(work(QStringLiteral("host"))) +
        "\nPidFile none\n"
        "AuthorizedKeysFile " +
        QFile::encodeName(work(QStringLiteral("authorized_keys"))) +
        "\nStrictModes no\nUsePAM no\nPermitRootLogin yes\nPasswordAuthentication no\n"
        "KbdInteractiveAuthentication no\nMaxAuthTries 20\nLogLevel ERROR\n"
        "Subsystem sftp internal-sftp -d " +
        QFile::encodeName(rootDir()) + "\n";
    QFile file(work(QStringLiteral("sshd_config")));
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size()) {
        ADD_FAILURE() << "cannot write sshd_config";
        return;
    }
    file.close();
    m_process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    m_process.start(QStringLiteral("/usr/sbin/sshd"),
                    {QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-f"),
                     work(QStringLiteral("sshd_config"))});
    if (!m_process.waitForStarted(10000)) {
        ADD_FAILURE() << "cannot start sshd: " << m_process.errorString().toStdString();
        m_port = 0;
        return;
    }
    // Ready once it accepts a connection.
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (accepts(m_port))
            return;
        if (m_process.state() == QProcess::NotRunning)
            break;
        QThread::msleep(25);
    }
    ADD_FAILURE() << "sshd did not listen on port " << m_port;
    m_port = 0;
}

void SshdFixture::stop() {
    stopServerProcess(m_process);
}

QString SshdFixture::makeKey(const QString& name, const QString& type, const QString& passphrase,
                             KeyFormat format, bool authorize) {
    const QString path = work(name);
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".pub"));
    QStringList args{QStringLiteral("-q"), QStringLiteral("-t"), type, QStringLiteral("-N"),
                     passphrase,           QStringLiteral("-f"), path};
    if (format == KeyFormat::Pem)
        args << QStringLiteral("-m") << QStringLiteral("PEM");
    runTool(QStringLiteral("ssh-keygen"), args);
    if (authorize) {
        QFile keys(work(QStringLiteral("authorized_keys")));
        QFile pub(path + QStringLiteral(".pub"));
        if (!keys.open(QIODevice::Append) || !pub.open(QIODevice::ReadOnly) ||
            keys.write(pub.readAll()) <= 0)
            ADD_FAILURE() << "cannot authorize " << name.toStdString();
    }
    return path;
}

QByteArray SshdFixture::knownHostsLine() const {
    QFile pub(work(QStringLiteral("host.pub")));
    if (!pub.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> words = pub.readAll().simplified().split(' ');
    return "[127.0.0.1]:" + QByteArray::number(m_port) + ' ' + words.value(0) + ' ' +
           words.value(1) + '\n';
}

void SshdFixture::dropConnections() {
    // The descendants of the listener, found by their parent in /proc.
    QList<qint64> family{m_process.processId()};
    for (bool grew = true; grew;) {
        grew = false;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool isPid = false;
            const qint64 pid = entry.toLongLong(&isPid);
            if (!isPid || family.contains(pid))
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && family.contains(fields[1].toLongLong())) {
                family.append(pid);
                grew = true;
            }
        }
    }
    for (qint64 pid : family.mid(1))
        ::kill(pid_t(pid), SIGKILL);
}

void SshdFixture::replaceHostKey() {
    stop();
    QFile::remove(work(QStringLiteral("host")));
    QFile::remove(work(QStringLiteral("host.pub")));
    runTool(QStringLiteral("ssh-keygen"),
            {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
             QStringLiteral("-N"), QString(), QStringLiteral("-f"), work(QStringLiteral("host"))});
    start();
}

SshEndpoint SshdFixture::endpoint(const QString& sshDirectory, const QString& keyFile) const {
    SshEndpoint e;
    e.host = "127.0.0.1";
    e.port = m_port;
    e.user = user();
    e.keyFile = keyFile;
    e.sshDirectory = sshDirectory;
    return e;
}
