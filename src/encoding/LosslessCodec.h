#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>

// Result of encoding text: the bytes, or the position of the first character the encoding
// cannot hold (never replaced by a substitute).
struct EncodeResult {
    QByteArray bytes;
    qsizetype unencodableAt = -1; // index into the source text, -1 when everything encoded
    bool ok() const { return unencodableAt < 0; }
};

// CP932 and EUC-JP <-> Unicode without loss: a byte that is not part of a valid character
// decodes to U+DC00 + byte and encodes back to that byte, so decode-then-encode returns the
// original bytes (apart from the CP932 codes that have a canonical twin).
class LosslessCodec {
public:
    static const LosslessCodec& cp932();
    static const LosslessCodec& eucJp();

    QString decode(QByteArrayView bytes) const;
    EncodeResult encode(QStringView text) const;
    // Writes `substitute` for each character the encoding cannot hold (one per character, a
    // surrogate pair included). Only for the program's own strings, never for documents.
    QByteArray encodeReplacing(QStringView text, char substitute) const;

    ~LosslessCodec();
    LosslessCodec(const LosslessCodec&) = delete;
    LosslessCodec& operator=(const LosslessCodec&) = delete;

    struct Tables;

private:
    explicit LosslessCodec(std::unique_ptr<Tables> tables);
    std::unique_ptr<Tables> m_tables;
};

// Whether `byte` starts a two-byte CP932 character.
constexpr bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The byte that a character of decoded text keeps because it was no part of a valid character
// (U+DC00 + byte), or -1 for every other character.
constexpr int escapedByte(QChar c) {
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF ? int(c.unicode() - 0xDC00) : -1;
}

// Shorthands for the program's own strings (settings, names, messages), which are CP932.
inline QString fromCp932(QByteArrayView bytes) {
    return LosslessCodec::cp932().decode(bytes);
}
// For settings and names only: a character CP932 cannot hold becomes '?'. Documents use
// LosslessCodec::encode and refuse to save instead.
QByteArray toCp932(QStringView text);
