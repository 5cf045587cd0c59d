#include "sheet/DelimitedFile.h"

#include "doc/TextFileIO.h"
#include "platform/Prompt.h"

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

ReadResult read(const QString& path) {
    ReadResult result;
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        result.error = openFailedMessage(path);
        return result;
    }
    if (file.size() > MaxFileSize) {
        result.error = QStringLiteral("%1 は大きすぎる為（%2 MB）、スプレット画面では開けません。")
                           .arg(shown)
                           .arg(file.size() >> 20);
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.bytes.clear();
        result.error = openFailedMessage(path);
        return result;
    }
    if (std::memchr(result.bytes.constData(), 0, size_t(result.bytes.size())) != nullptr) {
        result.bytes.clear();
        result.error = QStringLiteral("%1 はバイナリファイルの為、開けません。").arg(shown);
        return result;
    }
    result.ok = true;
    return result;
}

OpResult write(const QString& path, const QByteArray& bytes) {
    return writeFrom(path, [&](QIODevice& device) {
        return device.write(bytes) == bytes.size() ? OpResult::Done : OpResult::Failed;
    });
}

OpResult writeFrom(const QString& path, const std::function<OpResult(QIODevice&)>& produce) {
    OpResult produced = OpResult::Done;
    const bool written = TextFileIO::writeFileFrom(
        path,
        [&](QIODevice& device) {
            produced = produce(device);
            return produced == OpResult::Done;
        },
        nullptr);
    if (written)
        return OpResult::Done;
    if (produced == OpResult::Cancelled)
        return OpResult::Cancelled;
    Prompt::error(writeFailedMessage(path));
    return OpResult::Failed;
}

} // namespace DelimitedFile
