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
inline int compare(GridTextCodec codec, QByteArrayView a, QByteArrayView b);
// The longest start of `bytes` of at most `limit` bytes that ends on a character boundary.
qsizetype characterPrefix(GridTextCodec codec, QByteArrayView bytes, qsizetype limit);
} // namespace GridText

// Inline: sorting a million rows calls it some thirty million times.
inline int GridText::compare(GridTextCodec codec, QByteArrayView a, QByteArrayView b) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
    const qsizetype na = a.size();
    const qsizetype nb = b.size();
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < na && j < nb) {
        unsigned ca = pa[i];
        unsigned cb = pb[j];
        if (ca == cb && (ca < 0x80 || codec == GridTextCodec::Utf8)) {
            ++i, ++j; // equal bytes outside a double-byte character: the common case
            continue;
        }
        if (codec == GridTextCodec::Utf8)
            return ca < cb ? -1 : 1; // byte order is code point order
        // CP932: a lead byte with a byte after it makes one code, lead * 256 + trail.
        ++i, ++j;
        if (isCp932LeadByte(ca) && i < na)
            ca = (ca << 8) | pa[i++];
        if (isCp932LeadByte(cb) && j < nb)
            cb = (cb << 8) | pb[j++];
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < na)
        return 1;
    return j < nb ? -1 : 0;
}
