#include "encoding/FileConversion.h"

#include "encoding/ByteStreamConverter.h"
#include "platform/Prompt.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Input is read in blocks of this size; one byte more holds a byte carried over from the
// block before.
constexpr std::size_t kBlockSize = 64 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    // Closing reports errors that the file system kept back until now.
    bool close() {
        if (m_fd < 0)
            return true;
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0;
    }

private:
    int m_fd;
};

// Reads up to `length` bytes, retrying interrupted calls; -1 on error, 0 at the end.
ssize_t readSome(int fd, unsigned char* buffer, std::size_t length) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, length);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

bool writeAll(int fd, const unsigned char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        length -= std::size_t(n);
    }
    return true;
}

bool sameFile(const struct stat& a, const QByteArray& path) {
    struct stat b;
    return ::stat(path.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes what was written of a failed conversion, but only a regular file: the destination
// may be a device such as /dev/null.
void discardDestination(const QByteArray& path) {
    struct stat st;
    if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode))
        ::unlink(path.constData());
}

enum class CopyFailure { None, Read, Write };

CopyFailure convertStream(int in, int out, ByteStreamConverter& converter) {
    auto input = std::make_unique<unsigned char[]>(kBlockSize + 1);
    auto output =
        std::make_unique<unsigned char[]>((kBlockSize + 1) * ByteStreamConverter::kMaxGrowth);
    std::size_t carried = 0;
    for (;;) {
        const ssize_t n = readSome(in, input.get() + carried, kBlockSize);
        if (n < 0)
            return CopyFailure::Read;
        const bool last = n == 0;
        const std::size_t length = carried + std::size_t(n);
        std::size_t consumed = 0;
        const std::size_t written =
            converter.convert(input.get(), length, last, output.get(), &consumed);
        if (!writeAll(out, output.get(), written))
            return CopyFailure::Write;
        if (last)
            return CopyFailure::None;
        carried = length - consumed;
        if (carried > 0)
            input[0] = input[consumed];
    }
}

void report(const QString& text, const QString& path) {
    Prompt::error(text.arg(path));
}

} // namespace

FileConversionTexts FileConversionTexts::sjisToEuc() {
    return {QStringLiteral("SJIS→EUC変換で %1 がオープン出来ません。"),
            QStringLiteral("SJIS→EUC変換で %1 が読み込めません。"),
            QStringLiteral("SJIS→EUC変換で %1 に書き込めません。")};
}

FileConversionTexts FileConversionTexts::eucToSjis() {
    return {QStringLiteral("EUC→SJIS変換で %1 がオープン出来ません。"),
            QStringLiteral("EUC→SJIS変換で %1 が読み込めません。"),
            QStringLiteral("EUC→SJIS変換で %1 に書き込めません。")};
}

int convertFile(const QString& destination, const QString& source, ByteStreamConverter& converter,
                const FileConversionTexts& texts) {
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray destinationPath = QFile::encodeName(destination);

    FileDescriptor in(::open(sourcePath.constData(), O_RDONLY | O_CLOEXEC));
    struct stat sourceStat;
    if (!in.isOpen() || ::fstat(in.get(), &sourceStat) != 0 || S_ISDIR(sourceStat.st_mode)) {
        report(texts.cannotOpen, source);
        return 1;
    }
    // Truncating the destination would destroy the source when both are one file.
    if (sameFile(sourceStat, destinationPath)) {
        report(texts.cannotOpen, destination);
        return 1;
    }
    FileDescriptor out(
        ::open(destinationPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!out.isOpen()) {
        report(texts.cannotOpen, destination);
        return 1;
    }

    CopyFailure failure = convertStream(in.get(), out.get(), converter);
    if (!out.close() && failure == CopyFailure::None)
        failure = CopyFailure::Write;
    if (failure == CopyFailure::None)
        return 0;
    discardDestination(destinationPath);
    if (failure == CopyFailure::Read)
        report(texts.cannotRead, source);
    else
        report(texts.cannotWrite, destination);
    return 1;
}
