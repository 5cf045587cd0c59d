#include "encoding/CodeTableBuilder.h"

#include <QtGlobal>

#include <iconv.h>

#include <algorithm>
#include <map>

namespace {

using Tables = LosslessCodec::Tables;

// One iconv conversion descriptor, asked about one code at a time.
class IconvProbe {
public:
    IconvProbe(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            qFatal("iconv cannot convert from %s to %s", from, to);
    }
    ~IconvProbe() { iconv_close(m_cd); }
    IconvProbe(const IconvProbe&) = delete;
    IconvProbe& operator=(const IconvProbe&) = delete;

    // Converts all of `input`; returns the number of output bytes, or -1 when the converter
    // rejects or cannot finish the input.
    int run(const char* input, size_t length, char* output, size_t capacity) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input);
        char* out = output;
        size_t inLeft = length;
        size_t outLeft = capacity;
        if (iconv(m_cd, &in, &inLeft, &out, &outLeft) == size_t(-1) || inLeft != 0)
            return -1;
        if (iconv(m_cd, nullptr, nullptr, &out, &outLeft) == size_t(-1))
            return -1;
        return int(out - output);
    }

private:
    iconv_t m_cd;
};

quint32 packCode(const uchar* bytes, int length) {
    quint32 code = quint32(length) << 24;
    for (int i = 0; i < length; ++i)
        code |= quint32(bytes[i]) << (8 * (length - 1 - i));
    return code;
}

class TableBuilder {
public:
    TableBuilder(const char* charset, CodeTableKind kind)
        : m_decoder("UTF-16LE", charset), m_encoder(charset, "UTF-16LE"), m_kind(kind) {}

    std::unique_ptr<Tables> build() {
        m_tables = std::make_unique<Tables>();
        m_tables->pair.assign(0x10000, 0);
        m_tables->triple.assign(m_kind == CodeTableKind::EucJp ? 0x10000 : 0, 0);
        m_tables->encode.assign(0x10000, 0);
        for (int b = 0; b < 256; ++b)
            classifyByte(uchar(b));
        chooseEncodings();
        return std::move(m_tables);
    }

private:
    // The one BMP character `bytes` stand for, or 0 when they are not exactly one character.
    char16_t decodeOne(const uchar* bytes, int length) {
        char out[8];
        const int n =
            m_decoder.run(reinterpret_cast<const char*>(bytes), size_t(length), out, sizeof out);
        if (n != 2)
            return 0;
        const char16_t c = char16_t(uchar(out[0]) | (uchar(out[1]) << 8));
        return QChar::isSurrogate(c) ? 0 : c;
    }

    void remember(const uchar* bytes, int length, char16_t c) {
        m_candidates[c].push_back(packCode(bytes, length));
    }

    void classifyByte(uchar b) {
        if (m_kind == CodeTableKind::EucJp && b == 0x8F) {
            m_tables->single[b] = fillTriple(b) ? Tables::kTripleLead : Tables::kInvalid;
            return;
        }
        const char16_t alone = decodeOne(&b, 1);
        if (alone != 0 || b == 0) {
            m_tables->single[b] = alone;
            remember(&b, 1, alone);
            return;
        }
        m_tables->single[b] = fillPairs(b) ? Tables::kLead : Tables::kInvalid;
    }

    bool fillPairs(uchar lead) {
        bool any = false;
        for (int t = 0; t < 256; ++t) {
            const uchar bytes[2] = {lead, uchar(t)};
            if (const char16_t c = decodeOne(bytes, 2)) {
                m_tables->pair[(lead << 8) | t] = c;
                remember(bytes, 2, c);
                any = true;
            }
        }
        return any;
    }

    // Three-byte codes (EUC-JP's JIS X 0212 plane) only use bytes 0xA1..0xFE after the lead.
    bool fillTriple(uchar lead) {
        bool any = false;
        for (int second = 0xA1; second <= 0xFE; ++second) {
            for (int third = 0xA1; third <= 0xFE; ++third) {
                const uchar bytes[3] = {lead, uchar(second), uchar(third)};
                if (const char16_t c = decodeOne(bytes, 3)) {
                    m_tables->triple[(second << 8) | third] = c;
                    remember(bytes, 3, c);
                    any = true;
                }
            }
        }
        return any;
    }

    // The code the C library's encoder writes for `c`, when it is one of the codes that decode
    // to `c` (the encoder also has one-way fallbacks, which would silently replace text).
    quint32 encoderChoice(char16_t c, const std::vector<quint32>& candidates) {
        char out[8];
        const int n = m_encoder.run(reinterpret_cast<const char*>(&c), 2, out, sizeof out);
        if (n < 1 || n > 3)
            return 0;
        const quint32 code = packCode(reinterpret_cast<const uchar*>(out), n);
        return std::find(candidates.begin(), candidates.end(), code) != candidates.end() ? code : 0;
    }

    // Among twins Windows writes JIS X 0208 or NEC row 13 before the IBM extensions, and those
    // before the NEC-selected copies of them (leads 0xED, 0xEE): the lowest code outside
    // 0xED/0xEE.
    static quint32 preferredTwin(const std::vector<quint32>& candidates) {
        auto necSelected = [](quint32 code) {
            const quint32 lead = (code >> 8) & 0xFF;
            return (code >> 24) == 2 && (lead == 0xED || lead == 0xEE);
        };
        quint32 best = 0;
        for (quint32 code : candidates) {
            if (best == 0 || (necSelected(best) && !necSelected(code)) ||
                (necSelected(best) == necSelected(code) && code < best))
                best = code;
        }
        return best;
    }

    void chooseEncodings() {
        for (const auto& [c, candidates] : m_candidates) {
            quint32 chosen = candidates.size() == 1 ? candidates.front() : 0;
            if (chosen == 0)
                chosen = encoderChoice(c, candidates);
            if (chosen == 0)
                chosen = preferredTwin(candidates);
            m_tables->encode[c] = chosen;
            if (m_kind == CodeTableKind::EucJp)
                forgetOtherCodes(candidates, chosen);
        }
    }

    // EUC-JP documents must survive decode and encode byte for byte, so a code that is not
    // the one its character encodes to is treated as bytes that stand for nothing.
    void forgetOtherCodes(const std::vector<quint32>& candidates, quint32 chosen) {
        for (quint32 code : candidates) {
            if (code == chosen)
                continue;
            const int length = int(code >> 24);
            if (length == 1)
                m_tables->single[code & 0xFF] = Tables::kInvalid;
            else if (length == 2)
                m_tables->pair[code & 0xFFFF] = 0;
            else
                m_tables->triple[code & 0xFFFF] = 0;
        }
    }

    IconvProbe m_decoder;
    IconvProbe m_encoder;
    CodeTableKind m_kind;
    std::unique_ptr<Tables> m_tables;
    std::map<char16_t, std::vector<quint32>> m_candidates;
};

} // namespace

std::unique_ptr<LosslessCodec::Tables> buildCodeTables(CodeTableKind kind) {
    const char* charset = kind == CodeTableKind::Cp932 ? "CP932" : "EUC-JP";
    return TableBuilder(charset, kind).build();
}
