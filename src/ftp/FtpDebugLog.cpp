#include "ftp/FtpDebugLog.h"

#include <QDateTime>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

FtpDebugLog::~FtpDebugLog() {
    close();
}

bool FtpDebugLog::open(const QString& path) {
    close();
    // O_APPEND puts each line at the end as the file is at that moment, whoever wrote last.
    // O_NOFOLLOW: a link planted under the log's name must not make us truncate and write the
    // file it points to; such a log is not opened.
    m_fd = ::open(QFile::encodeName(path).constData(),
                  O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644);
    return m_fd >= 0;
}

void FtpDebugLog::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void FtpDebugLog::write(QByteArray message) {
    if (m_fd < 0)
        return;
    if (message.size() > MaxMessage)
        message.truncate(MaxMessage);
    QDateTime now = QDateTime::currentDateTime();
    QByteArray line = now.toString(QStringLiteral("MM/dd HH:mm:ss ")).toLatin1();
    line += message;
    line += '\n';
    // One write per line: lines of clients that share the file never interleave.
    qsizetype done = 0;
    while (done < line.size()) {
        ssize_t n = ::write(m_fd, line.constData() + done, size_t(line.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}
