#pragma once

#include "encoding/LosslessCodec.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// UTF-8 that loses nothing, as LosslessCodec does for CP932 and EUC-JP: a byte that starts no
// valid sequence decodes to U+DC00 + byte and encodes back to that byte, so bytes decoded and
// encoded again are the bytes they were. A lone surrogate of any other kind cannot be encoded.
namespace LosslessUtf8 {
QString decode(QByteArrayView bytes);
EncodeResult encode(QStringView text);
} // namespace LosslessUtf8
