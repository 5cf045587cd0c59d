#pragma once

#include "doc/DocumentText.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Reading and writing a document's file. Opening never changes anything on disk; saving writes
// a temporary file beside the target and renames it over the target, so a save that fails
// half-way (a full disk, a lost mount) leaves the old file as it was.
namespace TextFileIO {

// Files larger than this are refused rather than brought into the editor: the text widget
// needs roughly twelve times the file size in memory.
constexpr qint64 MaxFileSize = qint64(256) << 20;

// Reads the whole file at `path`; refuses folders, unreadable files, files over MaxFileSize and
// binary files (those holding a NUL byte), each with its own message.
Result<QByteArray> readFile(const QString& path);

// Writes `bytes` to `path` through a temporary file and a rename; the target keeps its
// permissions. A failure carries the message for the user.
Result<> writeFile(const QString& path, const QByteArray& bytes);
// The same for a file written a piece at a time by `produce`: when it does not end Done the
// target is left as it was. Cancelled by `produce` stays Cancelled, without a message; any
// other failure carries the message for the user.
Result<> writeFileFrom(const QString& path, const std::function<Result<>(QIODevice&)>& produce);

} // namespace TextFileIO
