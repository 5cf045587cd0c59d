#include "encoding/LosslessCodec.h"

#include "encoding/CodeTableBuilder.h"

#include <QString>

namespace {

using Tables = LosslessCodec::Tables;

constexpr char16_t kEscapeBase = 0xDC00;

inline bool isEscape(char16_t c) {
    return escapedByte(QChar(c)) >= 0;
}

// Appends the bytes of one packed code (see Tables::encode) and returns the new end.
inline char* putCode(char* out, quint32 code) {
    const int length = int(code >> 24);
    if (length == 3)
        *out++ = char((code >> 16) & 0xFF);
    if (length >= 2)
        *out++ = char((code >> 8) & 0xFF);
    *out++ = char(code & 0xFF);
    return out;
}

// Encodes `text`; an unencodable character either stops the work (its index is returned) or,
// with a substitute, is written as that byte. Returns -1 when everything was written.
qsizetype encodeInto(const Tables& tables, QStringView text, QByteArray& bytes, char substitute) {
    bytes.resize(text.size() * 3);
    char* const begin = bytes.data();
    char* out = begin;
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        const quint32 code = tables.encode[c];
        if (code != 0) {
            out = putCode(out, code);
            continue;
        }
        if (isEscape(c)) {
            *out++ = char(c - kEscapeBase);
            continue;
        }
        if (substitute == 0) {
            bytes.resize(out - begin);
            return i;
        }
        *out++ = substitute;
        // A surrogate pair is one character and gets one substitute.
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
            ++i;
    }
    bytes.resize(out - begin);
    return -1;
}

} // namespace

LosslessCodec::LosslessCodec(std::unique_ptr<Tables> tables) : m_tables(std::move(tables)) {}

LosslessCodec::~LosslessCodec() = default;

const LosslessCodec& LosslessCodec::cp932() {
    // Function-local statics are built once, on first use, and safely across threads.
    static const LosslessCodec codec(buildCodeTables(CodeTableKind::Cp932));
    return codec;
}

const LosslessCodec& LosslessCodec::eucJp() {
    static const LosslessCodec codec(buildCodeTables(CodeTableKind::EucJp));
    return codec;
}

QString LosslessCodec::decode(QByteArrayView bytes) const {
    const Tables& t = *m_tables;
    const auto* in = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    auto* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = begin;
    qsizetype i = 0;
    while (i < n) {
        const uchar b = in[i];
        const quint32 entry = t.single[b];
        if (entry < Tables::kLead) {
            *out++ = char16_t(entry);
            ++i;
            continue;
        }
        if (entry == Tables::kLead && i + 1 < n) {
            const char16_t c = t.pair[(b << 8) | in[i + 1]];
            if (c != 0) {
                *out++ = c;
                i += 2;
                continue;
            }
        } else if (entry == Tables::kTripleLead && i + 2 < n) {
            const char16_t c = t.triple[(in[i + 1] << 8) | in[i + 2]];
            if (c != 0) {
                *out++ = c;
                i += 3;
                continue;
            }
        }
        // Not the start of a valid character: keep the byte itself.
        *out++ = char16_t(kEscapeBase + b);
        ++i;
    }
    text.truncate(out - begin);
    return text;
}

EncodeResult LosslessCodec::encode(QStringView text) const {
    EncodeResult result;
    result.unencodableAt = encodeInto(*m_tables, text, result.bytes, 0);
    return result;
}

QByteArray LosslessCodec::encodeReplacing(QStringView text, char substitute) const {
    QByteArray bytes;
    encodeInto(*m_tables, text, bytes, substitute);
    return bytes;
}

QByteArray toCp932(QStringView text) {
    return LosslessCodec::cp932().encodeReplacing(text, '?');
}
