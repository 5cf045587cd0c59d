#include "encoding/ByteStreamConverter.h"

#include "encoding/SjisEucConversion.h"

#include <array>
#include <cstdint>

namespace {

enum ByteClass : std::uint8_t { Plain, Lead, SingleShift, Kana, CarriageReturn, LineFeed, EndMark };

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;
constexpr unsigned char kEndMark = 0x1A;
constexpr unsigned char kSingleShift2 = 0x8E;

bool isSjisLead(unsigned b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

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
            else if (isSjisLead(b))
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

std::size_t SjisToEucConverter::convert(const unsigned char* in, std::size_t length, bool last,
                                        unsigned char* out, std::size_t* consumed) {
    const SjisTables& t = sjisTables();
    unsigned char* const begin = out;
    std::size_t i = 0;
    while (i < length) {
        const unsigned char b = in[i];
        const ByteClass c = t.byteClass[b];
        if (c == Plain) {
            *out++ = b;
            ++i;
            continue;
        }
        if (c == Kana) {
            *out++ = kSingleShift2;
            *out++ = b;
            ++i;
            continue;
        }
        // The rest depend on the next byte: at the end of a block that is not the last, wait.
        const bool hasNext = i + 1 < length;
        if (!hasNext && !last)
            break;
        const unsigned char next = hasNext ? in[i + 1] : 0;
        if (c == Lead) {
            const std::uint16_t pair = hasNext ? t.toEuc[(b << 8) | next] : 0;
            if (pair != 0) {
                out = putPair(out, pair);
                i += 2;
                continue;
            }
            *out++ = b; // no valid second byte: kept as it is
        } else if (c == CarriageReturn) {
            if (!hasNext || next != kLf)
                *out++ = b; // only the CR of CR LF goes
        } else if (hasNext) {
            *out++ = b; // an end-of-file mark before the end is an ordinary byte
        }
        ++i;
    }
    *consumed = i;
    return std::size_t(out - begin);
}

std::size_t EucToSjisConverter::convert(const unsigned char* in, std::size_t length, bool last,
                                        unsigned char* out, std::size_t* consumed) {
    const EucTables& t = eucTables();
    unsigned char* const begin = out;
    std::size_t i = 0;
    while (i < length) {
        const unsigned char b = in[i];
        const ByteClass c = t.byteClass[b];
        if (c == Plain) {
            *out++ = b;
            ++i;
            continue;
        }
        if (c == LineFeed) {
            *out++ = kCr;
            *out++ = kLf;
            ++i;
            continue;
        }
        const bool hasNext = i + 1 < length;
        if (!hasNext && !last)
            break;
        const unsigned char next = hasNext ? in[i + 1] : 0;
        if (c == CarriageReturn) {
            *out++ = kCr;
            if (next == kLf) {
                *out++ = kLf;
                ++i;
            }
            ++i;
            continue;
        }
        // A lead byte or single shift needs a second byte of 0xA1 or more; otherwise it is
        // kept and the next byte stands on its own.
        if (next < 0xA1) {
            *out++ = b;
            ++i;
            continue;
        }
        if (c == Lead)
            out = putPair(out, t.toSjis[((b & 0x7F) << 7) | (next & 0x7F)]);
        else
            *out++ = next; // half-width katakana
        i += 2;
    }
    *consumed = i;
    return std::size_t(out - begin);
}
