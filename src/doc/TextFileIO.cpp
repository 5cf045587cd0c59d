#include "doc/TextFileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace TextFileIO {

Result<QByteArray> readFile(const QString& path) {
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists())
        return Result<QByteArray>::failed(QStringLiteral("%1 が見つかりません。").arg(shown));
    if (info.isDir())
        return Result<QByteArray>::failed(
            QStringLiteral("%1 はフォルダの為、開けません。").arg(shown));
    if (info.size() > MaxFileSize)
        return Result<QByteArray>::failed(QStringLiteral("%1 は大きすぎる為（%2 MB）、開けません。")
                                              .arg(shown)
                                              .arg(info.size() >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failed(
            QStringLiteral("%1 を読み込めません。\n%2").arg(shown, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Result<QByteArray>::failed(
            QStringLiteral("%1 を読み込めません。\n%2").arg(shown, file.errorString()));
    if (std::memchr(bytes.constData(), 0, size_t(bytes.size())) != nullptr)
        return Result<QByteArray>::failed(
            QStringLiteral("%1 はバイナリファイルの為、開けません。").arg(shown));
    return bytes;
}

Result<> writeFile(const QString& path, const QByteArray& bytes) {
    return writeFileFrom(path, [&](QIODevice& device) {
        return device.write(bytes) == bytes.size() ? Result<>::done() : Result<>::failed();
    });
}

Result<> writeFileFrom(const QString& path, const std::function<Result<>(QIODevice&)>& produce) {
    // QSaveFile writes beside the target, copies the target's permissions and renames over it
    // only when every byte reached the disk.
    QSaveFile file(path);
    Result<> produced = file.open(QIODevice::WriteOnly) ? produce(file) : Result<>::failed();
    QString reason = file.errorString();
    bool ok = produced.ok();
    if (ok)
        ok = file.commit();
    else
        file.cancelWriting();
    if (ok)
        return Result<>::done();
    if (produced.isCancelled())
        return produced;
    if (reason.isEmpty() || reason == QStringLiteral("Unknown error"))
        reason = file.errorString();
    return Result<>::failed(
        QStringLiteral("%1 に保存出来ませんでした。元のファイルは変更されていません。\n%2")
            .arg(QDir::toNativeSeparators(path), reason));
}

} // namespace TextFileIO
