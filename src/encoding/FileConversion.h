#pragma once

#include <QString>

class ByteStreamConverter;

// The messages of one conversion direction; each has one %1 for a path.
struct FileConversionTexts {
    QString cannotOpen;
    QString cannotRead;
    QString cannotWrite;

    static FileConversionTexts sjisToEuc();
    static FileConversionTexts eucToSjis();
};

// Runs `converter` over the whole of `source` into `destination` with fixed buffers. Returns 0
// on success and 1 on failure, which has been reported through Prompt. A missing source
// creates nothing; a failure after the destination was created removes it rather than leave
// half a file behind.
int convertFile(const QString& destination, const QString& source, ByteStreamConverter& converter,
                const FileConversionTexts& texts);
