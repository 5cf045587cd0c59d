#include "encoding/FileConversion.h"

#include "encoding/ByteStreamConverter.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Input is read in blocks of this size; one byte more holds a byte carried over from the
// block before.
constexpr std::size_t kBlockSize = 64 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
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

bool sameFile(const struct stat& a, const QByteArray& path) {
    struct stat b;
    return ::stat(path.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A destination that exists but is no regular file nor directory, such as /dev/null: it cannot
// be replaced by a rename and is written as it stands.
bool isDevice(const QByteArray& path) {
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

enum class CopyFailure { None, Read, Write, Cancelled };

CopyFailure convertStream(int in, qint64 size, QIODevice& out, ByteStreamConverter& converter,
                          const ConversionProgress& progress) {
    auto input = std::make_unique<unsigned char[]>(kBlockSize + 1);
    auto output =
        std::make_unique<unsigned char[]>((kBlockSize + 1) * ByteStreamConverter::kMaxGrowth);
    std::size_t carried = 0;
    qint64 read = 0;
    for (;;) {
        const ssize_t n = readSome(in, input.get() + carried, kBlockSize);
        if (n < 0)
            return CopyFailure::Read;
        const bool last = n == 0;
        const std::size_t length = carried + std::size_t(n);
        std::size_t consumed = 0;
        const std::size_t written =
            converter.convert(input.get(), length, last, output.get(), &consumed);
        if (out.write(reinterpret_cast<const char*>(output.get()), qint64(written)) !=
            qint64(written))
            return CopyFailure::Write;
        if (last)
            return CopyFailure::None;
        read += n;
        if (progress && !progress(read, std::max(size, read)))
            return CopyFailure::Cancelled;
        carried = length - consumed;
        if (carried > 0)
            input[0] = input[consumed];
    }
}

Result<> failure(const QString& text, const QString& path) {
    return Result<>::failed(text.arg(path));
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

namespace {

// The source, open for reading; not open when it cannot be opened.
FileDescriptor openSource(const QString& source, struct stat* status) {
    FileDescriptor in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
    if (!in.isOpen() || ::fstat(in.get(), status) != 0 || S_ISDIR(status->st_mode))
        return FileDescriptor();
    return in;
}

Result<> convertOpened(int in, qint64 size, QFileDevice& out, const QString& source,
                       ByteStreamConverter& converter, const FileConversionTexts& texts,
                       const ConversionProgress& progress) {
    CopyFailure failure = convertStream(in, size, out, converter, progress);
    if (failure == CopyFailure::Cancelled)
        return Result<>::cancelled(); // the user stopped it and knows
    if (failure == CopyFailure::None && !out.flush())
        failure = CopyFailure::Write;
    if (failure == CopyFailure::None)
        return Result<>::done();
    if (failure == CopyFailure::Read)
        return ::failure(texts.cannotRead, source);
    return ::failure(texts.cannotWrite, out.fileName());
}

} // namespace

Result<> convertFile(const QString& destination, const QString& source,
                     ByteStreamConverter& converter, const FileConversionTexts& texts,
                     const ConversionProgress& progress) {
    struct stat sourceStat;
    FileDescriptor in = openSource(source, &sourceStat);
    if (!in.isOpen())
        return failure(texts.cannotOpen, source);
    const QByteArray destinationPath = QFile::encodeName(destination);
    // The source must not be its own destination, under whatever name.
    if (sameFile(sourceStat, destinationPath))
        return failure(texts.cannotOpen, destination);
    if (isDevice(destinationPath)) {
        QFile out(destination);
        if (!out.open(QIODevice::WriteOnly))
            return failure(texts.cannotOpen, destination);
        return convertOpened(in.get(), sourceStat.st_size, out, source, converter, texts, progress);
    }
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return failure(texts.cannotOpen, destination);
    if (Result<> converted =
            convertOpened(in.get(), sourceStat.st_size, out, source, converter, texts, progress);
        !converted.ok())
        return converted; // the temporary file goes with `out`, the destination stays as it was
    if (!out.commit())
        return failure(texts.cannotWrite, destination);
    return Result<>::done();
}

Result<> convertFile(QFileDevice& destination, const QString& source,
                     ByteStreamConverter& converter, const FileConversionTexts& texts,
                     const ConversionProgress& progress) {
    struct stat sourceStat;
    FileDescriptor in = openSource(source, &sourceStat);
    if (!in.isOpen())
        return failure(texts.cannotOpen, source);
    return convertOpened(in.get(), sourceStat.st_size, destination, source, converter, texts,
                         progress);
}
