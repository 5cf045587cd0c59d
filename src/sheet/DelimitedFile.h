#pragma once

#include "platform/Result.h"

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

// Reads the whole file; refuses what cannot be opened, folders, files over MaxFileSize and
// binary files (a NUL byte), each with its message.
Result<QByteArray> read(const QString& path);

// Writes `bytes` atomically, keeping the target's permissions. A failure carries
// "%s ファイルに書き込み出来ません。"; the old file is untouched.
[[nodiscard]] Result<> write(const QString& path, const QByteArray& bytes);
// The same for a file written a piece at a time by `produce`, which returns Done, Cancelled
// (the user declined: the old file stays, nothing is to be said) or Failed (a write failed).
[[nodiscard]] Result<> writeFrom(const QString& path,
                                 const std::function<Result<>(QIODevice&)>& produce);

QString openFailedMessage(const QString& path);
QString writeFailedMessage(const QString& path);

} // namespace DelimitedFile
