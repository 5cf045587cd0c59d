#include "doc/TextFileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace TextFileIO {

ReadResult readFile(const QString& path) {
    ReadResult result;
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists()) {
        result.error = QStringLiteral("%1 が見つかりません。").arg(shown);
        return result;
    }
    if (info.isDir()) {
        result.error = QStringLiteral("%1 はフォルダの為、開けません。").arg(shown);
        return result;
    }
    if (info.size() > MaxFileSize) {
        result.error = QStringLiteral("%1 は大きすぎる為（%2 MB）、開けません。")
                           .arg(shown)
                           .arg(info.size() >> 20);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("%1 を読み込めません。\n%2").arg(shown, file.errorString());
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("%1 を読み込めません。\n%2").arg(shown, file.errorString());
        result.bytes.clear();
        return result;
    }
    if (std::memchr(result.bytes.constData(), 0, size_t(result.bytes.size())) != nullptr) {
        result.error = QStringLiteral("%1 はバイナリファイルの為、開けません。").arg(shown);
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error) {
    return writeFileFrom(
        path, [&](QIODevice& device) { return device.write(bytes) == bytes.size(); }, error);
}

bool writeFileFrom(const QString& path, const std::function<bool(QIODevice&)>& produce,
                   QString* error) {
    // QSaveFile writes beside the target, copies the target's permissions and renames over it
    // only when every byte reached the disk.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok)
        ok = produce(file);
    QString reason = file.errorString();
    if (ok)
        ok = file.commit();
    else
        file.cancelWriting();
    if (ok)
        return true;
    if (reason.isEmpty() || reason == QStringLiteral("Unknown error"))
        reason = file.errorString();
    if (error)
        *error = QStringLiteral("%1 に保存出来ませんでした。元のファイルは変更されていません。\n%2")
                     .arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace TextFileIO
