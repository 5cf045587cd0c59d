#include "doc/DocumentText.h"

#include "encoding/LosslessUtf8.h"
#include "encoding/TextCodeGuess.h"

#include <array>

namespace {

constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kFrameStart = 0xFDD0;
constexpr char16_t kFrameEnd = 0xFDD1;
constexpr int kLineEndKinds = 6;

// The end of the line that starts at `*i` in `s`, if a line end starts there; advances `*i`
// past it.
inline bool takeLineEnd(const char16_t* s, qsizetype n, qsizetype* i, LineEnd* end) {
    switch (s[*i]) {
    case u'\n':
        *end = LineEnd::Lf;
        break;
    case u'\r':
        if (*i + 1 < n && s[*i + 1] == u'\n') {
            *end = LineEnd::CrLf;
            ++*i;
        } else {
            *end = LineEnd::Cr;
        }
        break;
    case kParagraphSeparator:
        *end = LineEnd::ParagraphSeparator;
        break;
    case kFrameStart:
        *end = LineEnd::FrameStart;
        break;
    case kFrameEnd:
        *end = LineEnd::FrameEnd;
        break;
    default:
        return false;
    }
    ++*i;
    return true;
}

QStringView lineEndText(LineEnd end) {
    static const char16_t texts[kLineEndKinds][3] = {
        u"\n", u"\r\n", u"\r", {kParagraphSeparator, 0}, {kFrameStart, 0}, {kFrameEnd, 0}};
    return QStringView(texts[int(end)]);
}

// Splits `text` in place into lines joined by '\n' and records every line's end.
void splitLines(DecodedText& decoded) {
    QString& text = decoded.text;
    const qsizetype n = text.size();
    char16_t* s = reinterpret_cast<char16_t*>(text.data());
    std::vector<quint8> ends;
    std::array<qsizetype, kLineEndKinds> counts{};
    qsizetype out = 0;
    qsizetype i = 0;
    while (i < n) {
        LineEnd end;
        if (takeLineEnd(s, n, &i, &end)) {
            s[out++] = u'\n';
            ends.push_back(quint8(end));
            ++counts[int(end)];
        } else {
            s[out++] = s[i++];
        }
    }
    text.truncate(out);
    int prevailing = 0;
    for (int k = 1; k < kLineEndKinds; ++k)
        if (counts[k] > counts[prevailing])
            prevailing = k;
    decoded.prevailing = LineEnd(prevailing);
    for (size_t line = 0; line < ends.size(); ++line)
        if (ends[line] != prevailing)
            decoded.exceptions.append({int(line), LineEnd(ends[line])});
}

bool hasNonAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (uchar(c) >= 0x80)
            return true;
    return false;
}

// Text of a UTF-8 server that reads better as Shift_JIS: valid CP932 in which the bytes that
// are no UTF-8 outnumber the UTF-8 characters beyond ASCII. One stray byte in UTF-8 text is
// kept in it rather than turning the whole file into Shift_JIS.
bool looksLikeShiftJis(QByteArrayView bytes) {
    TextCodeGuess guess;
    guess.feed(bytes);
    if (!guess.isShiftJisText())
        return false;
    const QString decoded = LosslessUtf8::decode(bytes);
    qsizetype characters = 0;
    qsizetype stray = 0;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const char16_t c = decoded[i].unicode();
        if (QChar::isHighSurrogate(c)) {
            ++characters;
            ++i; // a valid sequence's pair, never a stand-in
        } else if (escapedByte(decoded[i]) >= 0) {
            ++stray;
        } else if (c >= 0x80) {
            ++characters;
        }
    }
    return stray > characters;
}

} // namespace

bool isStrictUtf8(QByteArrayView bytes) {
    const auto* s = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar b = s[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int extra;
        uint lowest;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            lowest = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            lowest = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            lowest = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false; // cut off at the end
        uint code = b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const uchar c = s[i + k];
            if ((c & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (c & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

TextEncoding detectEncoding(QByteArrayView bytes, TextOrigin origin) {
    const QByteArrayView bom("\xEF\xBB\xBF", 3);
    const bool marked = bytes.startsWith(bom);
    if (origin == TextOrigin::Utf8Server) {
        if (looksLikeShiftJis(marked ? bytes.sliced(3) : bytes))
            return TextEncoding::Cp932;
        return marked ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
    }
    if (marked && isStrictUtf8(bytes.sliced(3)))
        return TextEncoding::Utf8Bom;
    if (hasNonAscii(bytes) && isStrictUtf8(bytes))
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

DecodedText decodeDocument(QByteArrayView bytes, TextOrigin origin) {
    DecodedText decoded;
    decoded.encoding = detectEncoding(bytes, origin);
    if (decoded.encoding == TextEncoding::Utf8Bom)
        decoded.text = LosslessUtf8::decode(bytes.sliced(3));
    else if (decoded.encoding == TextEncoding::Utf8)
        decoded.text = LosslessUtf8::decode(bytes);
    else
        decoded.text = LosslessCodec::cp932().decode(bytes);
    splitLines(decoded);
    return decoded;
}

QString joinLines(QStringView paragraphs, LineEnd prevailing,
                  const QList<LineEndException>& exceptions) {
    QString out;
    out.reserve(paragraphs.size() + paragraphs.size() / 16 + 16);
    const QStringView usual = lineEndText(prevailing);
    qsizetype start = 0;
    int line = 0;
    auto exception = exceptions.cbegin();
    while (true) {
        const qsizetype sep = paragraphs.indexOf(QChar(kParagraphSeparator), start);
        if (sep < 0)
            break;
        out.append(paragraphs.sliced(start, sep - start));
        while (exception != exceptions.cend() && exception->line < line)
            ++exception;
        if (exception != exceptions.cend() && exception->line == line)
            out.append(lineEndText(exception->end));
        else
            out.append(usual);
        start = sep + 1;
        ++line;
    }
    out.append(paragraphs.sliced(start));
    return out;
}

EncodeResult encodeDocument(QStringView text, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp932)
        return LosslessCodec::cp932().encode(text);
    EncodeResult result = LosslessUtf8::encode(text); // half a pair has no UTF-8 form
    if (result.ok() && encoding == TextEncoding::Utf8Bom)
        result.bytes.prepend("\xEF\xBB\xBF", 3);
    return result;
}

int lineNumberAt(QStringView text, qsizetype index) {
    const char16_t* s = text.utf16();
    int line = 1;
    qsizetype i = 0;
    while (i < index) {
        LineEnd end;
        if (takeLineEnd(s, text.size(), &i, &end))
            ++line;
        else
            ++i;
    }
    return line;
}

QString describeCharacter(QStringView text, qsizetype index) {
    char32_t code = text[index].unicode();
    qsizetype length = 1;
    if (text[index].isHighSurrogate() && index + 1 < text.size() &&
        text[index + 1].isLowSurrogate()) {
        code = QChar::surrogateToUcs4(text[index], text[index + 1]);
        length = 2;
    }
    QString shown = text[index].isSurrogate() && length == 1
                        ? QString()
                        : text.sliced(index, length).toString();
    const QString hex =
        QStringLiteral("%1").arg(uint(code), code > 0xFFFF ? 5 : 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("「%1」(U+%2)").arg(shown, hex);
}

QString encodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Cp932 ? QStringLiteral("Shift_JIS") : QStringLiteral("UTF-8");
}
