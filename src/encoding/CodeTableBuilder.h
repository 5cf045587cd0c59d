#pragma once

#include "encoding/LosslessCodec.h"

#include <QtGlobal>

#include <array>
#include <memory>
#include <vector>

// The lookup tables behind LosslessCodec, filled once from the C library's converters so that
// decoding and encoding afterwards are plain table look-ups.
struct LosslessCodec::Tables {
    // Values of `single` above the BMP: the byte starts a longer sequence or stands for nothing.
    static constexpr quint32 kLead = 0x10000;       // first of two bytes, see `pair`
    static constexpr quint32 kTripleLead = 0x10001; // first of three bytes, see `triple`
    static constexpr quint32 kInvalid = 0x10002;

    std::array<quint32, 256> single{};
    std::vector<char16_t> pair;   // [lead << 8 | trail], 0 where the pair is no character
    std::vector<char16_t> triple; // [second << 8 | third] after the triple lead, 0 likewise
    // [UTF-16 unit]: byte count << 24 | the bytes, last byte lowest; 0 where not encodable.
    std::vector<quint32> encode;
};

enum class CodeTableKind { Cp932, EucJp };

std::unique_ptr<LosslessCodec::Tables> buildCodeTables(CodeTableKind kind);
