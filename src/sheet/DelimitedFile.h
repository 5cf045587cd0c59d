#pragma once

#include "platform/OpResult.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Reading the spreadsheet's file whole and writing it, whole or in pieces. Writing goes through a
// temporary file beside the target that is renamed over it, so a failure half-way leaves the
// old file as it was.
namespace DelimitedFile {

// Larger files are refused: the grid needs several times the file size in memory.
constexpr qint64 MaxFileSize = qint64(256) << 20;

struct ReadResult {
    bool ok = false;
    QByteArray bytes;
    QString error; // the message for the user when !ok
};

// Reads the whole file; refuses what cannot be opened (the Part's own message), folders, files
// over MaxFileSize and binary files (a NUL byte), each with its message.
ReadResult read(const QString& path);

// Writes `bytes` atomically, keeping the target's permissions. On failure shows
// "%s ファイルに書き込み出来ません。" and returns Failed; the old file is untouched.
[[nodiscard]] OpResult write(const QString& path, const QByteArray& bytes);
// The same for a file written a piece at a time by `produce`, which returns Done, Cancelled
// (the user declined: the old file stays, nothing is shown) or Failed (a write failed).
[[nodiscard]] OpResult writeFrom(const QString& path,
                                 const std::function<OpResult(QIODevice&)>& produce);

QString openFailedMessage(const QString& path);
QString writeFailedMessage(const QString& path);

} // namespace DelimitedFile
