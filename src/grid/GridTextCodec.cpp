#include "grid/GridTextCodec.h"

#include "encoding/LosslessUtf8.h"

#include <algorithm>

namespace GridText {

QString decode(GridTextCodec codec, QByteArrayView bytes) {
    if (codec == GridTextCodec::Utf8)
        return LosslessUtf8::decode(bytes);
    return LosslessCodec::cp932().decode(bytes);
}

qsizetype characterPrefix(GridTextCodec codec, QByteArrayView bytes, qsizetype limit) {
    if (limit >= bytes.size())
        return bytes.size();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (codec == GridTextCodec::Utf8) {
        qsizetype end = std::max<qsizetype>(limit, 0);
        while (end > 0 && (p[end] & 0xC0) == 0x80) // p[end] starts the cut-off part
            --end;
        return end;
    }
    qsizetype end = 0; // CP932 has no way back: walk forward over whole characters
    while (end < limit) {
        const qsizetype step = isCp932LeadByte(p[end]) ? 2 : 1;
        if (end + step > limit)
            break;
        end += step;
    }
    return end;
}

EncodeResult encode(GridTextCodec codec, QStringView text) {
    if (codec == GridTextCodec::Utf8)
        return LosslessUtf8::encode(text);
    return LosslessCodec::cp932().encode(text);
}

} // namespace GridText
