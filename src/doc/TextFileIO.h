#pragma once

#include "doc/DocumentText.h"

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

struct ReadResult {
    bool ok = false;
    QByteArray bytes;
    QString error; // the message for the user when !ok
};

// Reads the whole file at `path`; refuses folders, unreadable files, files over MaxFileSize and
// binary files (those holding a NUL byte), each with its own message.
ReadResult readFile(const QString& path);

// Writes `bytes` to `path` through a temporary file and a rename; the target keeps its
// permissions. On failure returns false with the message for the user in `error`.
bool writeFile(const QString& path, const QByteArray& bytes, QString* error);
// The same for a file written a piece at a time by `produce`: when it returns false the target
// is left as it was (and `error` says why when the device failed).
bool writeFileFrom(const QString& path, const std::function<bool(QIODevice&)>& produce,
                   QString* error);

} // namespace TextFileIO
