#include "encoding/LosslessUtf8.h"

namespace {

constexpr char16_t kRawByteBase = 0xDC00; // an undecodable byte b shows as U+DC00 + b

// Length of the valid UTF-8 sequence at `p`, 0 when the byte there does not start one.
int validUtf8Length(const unsigned char* p, qsizetype left, char32_t* code) {
    const unsigned char b = p[0];
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (b < 0x80) {
        *code = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2, value = b & 0x1F, minimum = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, value = b & 0x0F, minimum = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, value = b & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[k] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

} // namespace

namespace LosslessUtf8 {

QString decode(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t code = 0;
        const int length = validUtf8Length(p + i, bytes.size() - i, &code);
        if (length == 0) {
            text.append(QChar(char16_t(kRawByteBase + p[i])));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            text.append(QChar(QChar::highSurrogate(code)));
            text.append(QChar(QChar::lowSurrogate(code)));
        } else {
            text.append(QChar(char16_t(code)));
        }
        i += length;
    }
    return text;
}

EncodeResult encode(QStringView text) {
    EncodeResult result;
    result.bytes.reserve(text.size());
    // Runs of characters are encoded whole: per character, Qt would take a U+FEFF for a byte
    // order mark and drop it.
    qsizetype run = 0;
    const auto endRun = [&](qsizetype end) {
        result.bytes.append(text.sliced(run, end - run).toUtf8());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF) {
            endRun(i);
            result.bytes.append(char(c - kRawByteBase));
            run = i + 1;
        } else if (QChar::isSurrogate(c)) {
            result.bytes.clear();
            result.unencodableAt = i;
            return result;
        }
    }
    endRun(text.size());
    return result;
}

} // namespace LosslessUtf8
