#pragma once

#include <QByteArray>
#include <QString>

// The debug log "ftp.log" in the current directory. Created anew when opened, never through a
// symbolic link (open() fails on one); every line goes to the end of the file as it is then
// (several clients may write into it at once) and reaches the disk at once, so it survives a
// crash. Lines are CP932 bytes.
class FtpDebugLog {
public:
    static constexpr qsizetype MaxMessage = 1023; // the message part of a line, in bytes

    FtpDebugLog() = default;
    ~FtpDebugLog();
    FtpDebugLog(const FtpDebugLog&) = delete;
    FtpDebugLog& operator=(const FtpDebugLog&) = delete;

    bool open(const QString& path = QStringLiteral("ftp.log"));
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // Writes "MM/DD hh:mm:ss message"; a message longer than MaxMessage bytes is cut.
    void write(QByteArray message);

private:
    int m_fd = -1;
};
