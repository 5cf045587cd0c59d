#pragma once

#include "encoding/LosslessCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// How a cell's bytes become the text shown and edited, and back. Cells keep the file's bytes;
// CP932 files go through the lossless CP932 codec, UTF-8 files through a UTF-8 codec that is
// lossless in the same way (an invalid byte decodes to U+DC00 + byte and encodes back to it).
enum class GridTextCodec { Cp932, Utf8 };

namespace GridText {
QString decode(GridTextCodec codec, QByteArrayView bytes);
// The bytes, or the position of the first character the codec cannot hold.
EncodeResult encode(GridTextCodec codec, QStringView text);
// Order of two cells' bytes as character codes: for CP932 a double-byte character is one code
// (lead * 256 + trail), so a half-width kana sorts before every double-byte character; for UTF-8
// plain byte order, which is code point order. Case-sensitive, no numeric ordering.
int compare(GridTextCodec codec, QByteArrayView a, QByteArrayView b);
} // namespace GridText
