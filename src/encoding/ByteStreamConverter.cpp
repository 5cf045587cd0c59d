#include "encoding/ByteStreamConverter.h"

#include "encoding/LosslessCodec.h"
#include "encoding/SjisEucConversion.h"

#include <array>
#include <cstdint>

namespace {

enum ByteClass : std::uint8_t { Plain, Lead, SingleShift, Kana, CarriageReturn, LineFeed, EndMark };

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;
constexpr unsigned char kEndMark = 0x1A;
constexpr unsigned char kSingleShift2 = 0x8E;

bool isSjisTrail(unsigned b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Everything the Shift_JIS side needs, computed once: the class of each byte and, for each
// lead and trail, the EUC-JP pair (0 where the trail cannot follow the lead).
struct SjisTables {
    std::array<ByteClass, 256> byteClass{};
    std::array<std::uint16_t, 0x10000> toEuc{};

    SjisTables() {
        for (unsigned b = 0; b < 256; ++b) {
            ByteClass c = Plain;
            if (b == kCr)
                c = CarriageReturn;
            else if (b == kEndMark)
                c = EndMark;
            else if (isCp932LeadByte(b))
                c = Lead;
            else if (b >= 0xA0 && b <= 0xDF)
                c = Kana;
            byteClass[b] = c;
            if (c != Lead)
                continue;
            for (unsigned t = 0; t < 256; ++t) {
                if (!isSjisTrail(t))
                    continue;
                const JisCode jis =
                    SjisToJis(static_cast<unsigned char>(b), static_cast<unsigned char>(t));
                toEuc[(b << 8) | t] = std::uint16_t(((jis.row | 0x80) << 8) | (jis.cell | 0x80));
            }
        }
    }
};

// The EUC-JP side: the class of each byte and the Shift_JIS pair of every 7-bit row and cell.
struct EucTables {
    std::array<ByteClass, 256> byteClass{};
    std::array<std::uint16_t, 0x4000> toSjis{};

    EucTables() {
        for (unsigned b = 0; b < 256; ++b) {
            ByteClass c = Plain;
            if (b == kCr)
                c = CarriageReturn;
            else if (b == kLf)
                c = LineFeed;
            else if (b == kSingleShift2)
                c = SingleShift;
            else if (b >= 0x81)
                c = Lead; // 0x8F too: the three-byte plane is not told apart
            byteClass[b] = c;
        }
        for (unsigned row = 0; row < 0x80; ++row) {
            for (unsigned cell = 0; cell < 0x80; ++cell) {
                const SjisPair p =
                    JisToSjis(static_cast<unsigned char>(row), static_cast<unsigned char>(cell));
                toSjis[(row << 7) | cell] = std::uint16_t((p.lead << 8) | p.trail);
            }
        }
    }
};

const SjisTables& sjisTables() {
    static const SjisTables tables;
    return tables;
}

const EucTables& eucTables() {
    static const EucTables tables;
    return tables;
}

inline unsigned char* putPair(unsigned char* out, std::uint16_t pair) {
    out[0] = static_cast<unsigned char>(pair >> 8);
    out[1] = static_cast<unsigned char>(pair);
    return out + 2;
}

} // namespace

// Both loops first handle every byte that has its next byte in the block, with the common
// double-byte character tried before anything else; the block's last byte comes after.

std::size_t SjisToEucConverter::convert(const unsigned char* in, std::size_t length, bool last,
                                        unsigned char* out, std::size_t* consumed) {
    const SjisTables& t = sjisTables();
    unsigned char* const begin = out;
    std::size_t i = 0;
    const std::size_t end = length > 0 ? length - 1 : 0;
    while (i < end) {
        const unsigned char b = in[i];
        const unsigned char next = in[i + 1];
        const std::uint16_t pair = t.toEuc[(b << 8) | next];
        if (pair != 0) {
            out = putPair(out, pair);
            i += 2;
            continue;
        }
        const ByteClass c = t.byteClass[b];
        if (c == Kana) {
            *out++ = kSingleShift2;
            *out++ = b;
        } else if (c != CarriageReturn || next != kLf) {
            // Only the CR of CR LF goes; a lead byte without a valid second byte and an
            // end-of-file mark before the end are kept as they are.
            *out++ = b;
        }
        ++i;
    }
    if (i < length) {
        const unsigned char b = in[i];
        const ByteClass c = t.byteClass[b];
        if (c == Kana) {
            *out++ = kSingleShift2;
            *out++ = b;
            ++i;
        } else if (c == Plain) {
            *out++ = b;
            ++i;
        } else if (last) {
            if (c != EndMark) // the end-of-file mark ending the file is dropped
                *out++ = b;
            ++i;
        }
    }
    *consumed = i;
    return std::size_t(out - begin);
}

std::size_t EucToSjisConverter::convert(const unsigned char* in, std::size_t length, bool last,
                                        unsigned char* out, std::size_t* consumed) {
    const EucTables& t = eucTables();
    unsigned char* const begin = out;
    std::size_t i = 0;
    const std::size_t end = length > 0 ? length - 1 : 0;
    while (i < end) {
        const unsigned char b = in[i];
        const unsigned char next = in[i + 1];
        const ByteClass c = t.byteClass[b];
        // A lead byte or single shift needs a second byte of 0xA1 or more; otherwise it is
        // kept and the next byte stands on its own.
        if (next >= 0xA1 && c == Lead) {
            out = putPair(out, t.toSjis[((b & 0x7F) << 7) | (next & 0x7F)]);
            i += 2;
            continue;
        }
        if (next >= 0xA1 && c == SingleShift) {
            *out++ = next; // half-width katakana
            i += 2;
            continue;
        }
        if (c == LineFeed || (c == CarriageReturn && next == kLf)) {
            *out++ = kCr;
            *out++ = kLf;
            i += c == LineFeed ? 1 : 2;
            continue;
        }
        *out++ = b;
        ++i;
    }
    if (i < length) {
        const unsigned char b = in[i];
        const ByteClass c = t.byteClass[b];
        if (c == LineFeed) {
            *out++ = kCr;
            *out++ = kLf;
            ++i;
        } else if (c == Plain || last) {
            *out++ = b;
            ++i;
        }
    }
    *consumed = i;
    return std::size_t(out - begin);
}
