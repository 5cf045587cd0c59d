#include "FtpServerFixture.h"

#include "PythonServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString serverScript() {
    return QStringLiteral(VANTORPAD_TESTS_DIR "/support/ftp_server.py");
}

QString writeWorkFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

// Removes a tree by its bytes: QTemporaryDir cannot remove names that are not UTF-8, and the
// server's root is full of Shift_JIS and EUC-JP names.
void removeTree(const QByteArray& root) {
    auto removeOne = [](const char* path, const struct stat*, int, FTW*) {
        std::remove(path);
        return 0;
    };
    ::nftw(root.constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
}

} // namespace

FtpServerFixture::FtpServerFixture() : FtpServerFixture(Options()) {}

FtpServerFixture::FtpServerFixture(const Options& options) {
    start(options);
}

FtpServerFixture::~FtpServerFixture() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel(); // the server ends when its stdin closes
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    removeTree(QFile::encodeName(m_root.path()));
}

void FtpServerFixture::start(const Options& options) {
    QStringList args{
        serverScript(), QStringLiteral("--root"),     m_root.path(), QStringLiteral("--user"),
        user(),         QStringLiteral("--password"), password()};
    for (const QString& fault : options.faults)
        args << QStringLiteral("--fault") << fault;
    if (!options.mlsd)
        args << QStringLiteral("--no-mlsd");
    if (!options.epsv)
        args << QStringLiteral("--no-epsv");
    if (!options.masquerade.isEmpty())
        args << QStringLiteral("--masquerade") << options.masquerade;
    if (!options.listing.isNull())
        args << QStringLiteral("--list-file")
             << writeWorkFile(m_work, QStringLiteral("list.txt"), options.listing);
    for (const QByteArray& name : options.extraNames)
        args << QStringLiteral("--extra-name") << QString::fromLatin1(name.toHex());
    if (!options.mlsdListing.isNull())
        args << QStringLiteral("--mlsd-file")
             << writeWorkFile(m_work, QStringLiteral("mlsd.txt"), options.mlsdListing);

    args << QStringLiteral("--fault-file") << faultFile();

    // The server's own log is only kept when asked for: an unread pipe would block it.
    if (qEnvironmentVariableIsSet("VANTORPAD_FTP_SERVER_LOG"))
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    else
        m_process.setStandardErrorFile(QProcess::nullDevice());
    m_port = startPythonServer(m_process, args, "FTP");
}

QString FtpServerFixture::faultFile() const {
    return m_work.filePath(QStringLiteral("faults.txt"));
}

void FtpServerFixture::setFaults(const QStringList& faults) const {
    writeWorkFile(m_work, QStringLiteral("faults.txt"), faults.join(u'\n').toUtf8());
}

QByteArrayList FtpServerFixture::hostileNames() {
    return {"sub/evil.txt",
            "../up.txt",
            "/../root.txt",
            "..",
            ".",
            "bell\x01.txt",
            "esc\x1B[2J.txt",
            "csi\x9B"
            "2J.txt"};
}

NetworkSettings FtpServerFixture::network(bool passive) const {
    NetworkSettings n;
    n.Proxy = 1;
    n.Passive = passive ? 1 : 0;
    return n;
}

QByteArray FtpServerFixture::localPath(const QByteArray& relative) const {
    QByteArray path = QFile::encodeName(m_root.path());
    if (!relative.isEmpty())
        path += '/' + relative;
    return path;
}

void FtpServerFixture::writeFile(const QByteArray& relative, const QByteArray& content) const {
    int fd = ::open(localPath(relative).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << "cannot create " << relative.toStdString();
    ASSERT_EQ(::write(fd, content.constData(), size_t(content.size())), content.size());
    ::close(fd);
}

void FtpServerFixture::changeFile(const QByteArray& relative, const QByteArray& content) const {
    writeFile(relative, content);
    QFile file(QFile::decodeName(localPath(relative)));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(60),
                                 QFileDevice::FileModificationTime));
}

QByteArray FtpServerFixture::readFile(const QByteArray& relative) const {
    QByteArray result;
    int fd = ::open(localPath(relative).constData(), O_RDONLY);
    if (fd < 0) {
        ADD_FAILURE() << "no file " << relative.toStdString() << " on the server";
        return result;
    }
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        result.append(buffer, n);
    ::close(fd);
    return result;
}

bool FtpServerFixture::exists(const QByteArray& relative) const {
    struct stat st;
    return ::lstat(localPath(relative).constData(), &st) == 0;
}

void FtpServerFixture::makeDir(const QByteArray& relative) const {
    ASSERT_EQ(::mkdir(localPath(relative).constData(), 0755), 0) << relative.toStdString();
}

QByteArrayList FtpServerFixture::names(const QByteArray& relativeDir) const {
    QByteArrayList result;
    DIR* dir = ::opendir(localPath(relativeDir).constData());
    if (!dir)
        return result;
    while (dirent* e = ::readdir(dir)) {
        QByteArray name(e->d_name);
        if (name != "." && name != "..")
            result.append(name);
    }
    ::closedir(dir);
    std::sort(result.begin(), result.end());
    return result;
}
