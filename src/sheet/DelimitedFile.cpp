#include "sheet/DelimitedFile.h"

#include "doc/TextFileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace DelimitedFile {

QString openFailedMessage(const QString& path) {
    return QStringLiteral("%1 ファイルがOPEN出来ませんでした。")
        .arg(QDir::toNativeSeparators(path));
}

QString writeFailedMessage(const QString& path) {
    return QStringLiteral("%1 ファイルに書き込み出来ません。").arg(QDir::toNativeSeparators(path));
}

Result<QByteArray> read(const QString& path) {
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failed(openFailedMessage(path));
    if (file.size() > MaxFileSize)
        return Result<QByteArray>::failed(
            QStringLiteral("%1 は大きすぎる為（%2 MB）、スプレット画面では開けません。")
                .arg(shown)
                .arg(file.size() >> 20));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Result<QByteArray>::failed(openFailedMessage(path));
    if (std::memchr(bytes.constData(), 0, size_t(bytes.size())) != nullptr)
        return Result<QByteArray>::failed(
            QStringLiteral("%1 はバイナリファイルの為、開けません。").arg(shown));
    return bytes;
}

Result<> write(const QString& path, const QByteArray& bytes) {
    return writeFrom(path, [&](QIODevice& device) {
        return device.write(bytes) == bytes.size() ? Result<>::done() : Result<>::failed();
    });
}

Result<> writeFrom(const QString& path, const std::function<Result<>(QIODevice&)>& produce) {
    const Result<> written = TextFileIO::writeFileFrom(path, produce);
    if (written.ok() || written.isCancelled())
        return written;
    return Result<>::failed(writeFailedMessage(path));
}

} // namespace DelimitedFile
