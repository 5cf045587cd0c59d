#include "encoding/TextCodeGuess.h"

#include "encoding/LosslessCodec.h"

#include <QIODevice>

namespace {

using Check = TextCodeGuess::Check;

bool in(unsigned char b, int low, int high) {
    return b >= low && b <= high;
}

// A continuation byte: true when `check` was waiting for one (and took or refused it).
bool continues(Check& check, unsigned char b) {
    if (check.need == 0)
        return false;
    check.valid = in(b, check.low, check.high);
    --check.need;
    return true;
}

void expect(Check& check, int count, int low, int high) {
    check.need = count;
    check.low = static_cast<unsigned char>(low);
    check.high = static_cast<unsigned char>(high);
}

void eucByte(Check& c, unsigned char b) {
    if (continues(c, b) || b < 0x80)
        return;
    if (b == 0x8E)
        expect(c, 1, 0xA1, 0xDF); // half-width katakana
    else if (b == 0x8F)
        expect(c, 2, 0xA1, 0xFE); // JIS X 0212
    else if (in(b, 0xA1, 0xFE) || b == 0x8C || in(b, 0x91, 0x9E))
        expect(c, 1, 0xA1, 0xFE);
    else
        c.valid = false;
}

void sjisByte(Check& c, unsigned char b) {
    if (c.need > 0) {
        c.valid = in(b, 0x40, 0x7E) || in(b, 0x80, 0xFC);
        c.need = 0;
        return;
    }
    if (b < 0x80 || in(b, 0xA1, 0xDF))
        return;
    if (isCp932LeadByte(b))
        c.need = 1;
    else
        c.valid = false;
}

void utf8Byte(Check& c, unsigned char b) {
    if (c.need > 0) {
        continues(c, b);
        c.low = 0x80; // only the first continuation byte has a narrower range
        c.high = 0xBF;
        return;
    }
    if (b < 0x80)
        return;
    if (in(b, 0xC2, 0xDF))
        expect(c, 1, 0x80, 0xBF);
    else if (b == 0xE0)
        expect(c, 2, 0xA0, 0xBF); // no overlong forms
    else if (b == 0xED)
        expect(c, 2, 0x80, 0x9F); // no surrogates
    else if (in(b, 0xE1, 0xEF))
        expect(c, 2, 0x80, 0xBF);
    else if (b == 0xF0)
        expect(c, 3, 0x90, 0xBF);
    else if (in(b, 0xF1, 0xF3))
        expect(c, 3, 0x80, 0xBF);
    else if (b == 0xF4)
        expect(c, 3, 0x80, 0x8F); // nothing above U+10FFFF
    else
        c.valid = false;
}

} // namespace

void TextCodeGuess::feed(QByteArrayView bytes) {
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        m_nul = m_nul || b == 0;
        m_nonAscii = m_nonAscii || b >= 0x80;
        if (m_euc.valid)
            eucByte(m_euc, b);
        if (m_utf8.valid)
            utf8Byte(m_utf8, b);
        if (m_sjis.valid)
            sjisByte(m_sjis, b);
    }
}

std::optional<TextCode> TextCodeGuess::notEucJp() const {
    if (m_nul)
        return TextCode::Unknown;
    if (m_euc.complete())
        return std::nullopt;
    if (m_utf8.complete())
        return TextCode::Utf8; // checked first: valid UTF-8 is rarely anything else
    if (m_sjis.complete())
        return TextCode::ShiftJis;
    return TextCode::Unknown;
}

bool TextCodeGuess::isShiftJisText() const {
    return !m_nul && m_sjis.complete() && !(m_nonAscii && (m_utf8.complete() || m_euc.complete()));
}

std::optional<TextCode> TextCodeGuess::notEucJp(QByteArrayView bytes) {
    TextCodeGuess guess;
    guess.feed(bytes);
    return guess.notEucJp();
}

std::optional<TextCode> TextCodeGuess::notEucJp(QIODevice& device) {
    TextCodeGuess guess;
    char block[64 * 1024];
    qint64 n = 0;
    while ((n = device.read(block, sizeof block)) > 0)
        guess.feed(QByteArrayView(block, n));
    return n < 0 ? std::nullopt : guess.notEucJp();
}
