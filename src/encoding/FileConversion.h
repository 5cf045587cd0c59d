#pragma once

#include "platform/Result.h"

#include <QString>

#include <functional>

class ByteStreamConverter;
class QFileDevice;

// The messages of one conversion direction; each has one %1 for a path.
struct FileConversionTexts {
    QString cannotOpen;
    QString cannotRead;
    QString cannotWrite;

    static FileConversionTexts sjisToEuc();
    static FileConversionTexts eucToSjis();
};

// Told after every block of a conversion the bytes of the source read so far and its size.
// Returning false stops the conversion: it ends Cancelled without a message, and the
// destination is left as the failures leave it.
using ConversionProgress = std::function<bool(qint64 done, qint64 total)>;

// Runs `converter` over the whole of `source` into `destination` with fixed buffers. A failure
// carries its message, one of `texts` with the path, for the caller to show. The destination is
// written as every local file is: into a temporary file beside it that replaces it only when
// complete, with the mode of the file it replaces, and beside the target of a symbolic link,
// so a failure of any kind leaves the old destination as it was and no partial file. A device
// (/dev/null) is written directly. A missing source creates nothing.
Result<> convertFile(const QString& destination, const QString& source,
                     ByteStreamConverter& converter, const FileConversionTexts& texts,
                     const ConversionProgress& progress = {});
// The same into a file the caller opened for writing (an intermediate file of a transfer),
// from its current position; the caller keeps or discards it.
Result<> convertFile(QFileDevice& destination, const QString& source,
                     ByteStreamConverter& converter, const FileConversionTexts& texts,
                     const ConversionProgress& progress = {});
