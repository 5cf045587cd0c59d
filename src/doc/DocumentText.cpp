#include "doc/DocumentText.h"

#include "encoding/LosslessUtf8.h"
#include "encoding/TextCodeGuess.h"

#include <algorithm>
#include <array>
#include <cstring>

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

constexpr quint64 kHighBits = 0x8080808080808080ULL;

inline quint64 word(const uchar* s) {
    quint64 w;
    std::memcpy(&w, s, sizeof w);
    return w;
}

bool hasNonAscii(QByteArrayView bytes) {
    const auto* s = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8)
        if (word(s + i) & kHighBits)
            return true;
    for (; i < n; ++i)
        if (s[i] >= 0x80)
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
        // Runs of ASCII go eight bytes at a time.
        while (i + 8 <= n && (word(s + i) & kHighBits) == 0)
            i += 8;
        if (i >= n)
            break;
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

namespace {

// What detectEncoding decides, with what it learnt of the bytes on the way, so that opening a
// file looks at each byte as few times as it can.
struct Detection {
    TextEncoding encoding = TextEncoding::Cp932;
    bool marked = false;     // begins with the byte order mark
    bool nonAscii = false;   // the bytes after the mark hold a byte of 0x80 or more
    bool strictUtf8 = false; // the bytes after the mark are strict UTF-8
};

Detection detect(QByteArrayView bytes, TextOrigin origin) {
    Detection d;
    d.marked = bytes.startsWith(QByteArrayView("\xEF\xBB\xBF", 3));
    const QByteArrayView body = d.marked ? bytes.sliced(3) : bytes;
    d.nonAscii = hasNonAscii(body);
    d.strictUtf8 = !d.nonAscii || isStrictUtf8(body);
    if (origin == TextOrigin::Utf8Server) {
        if (looksLikeShiftJis(body))
            d.encoding = TextEncoding::Cp932;
        else
            d.encoding = d.marked ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
    } else if (d.marked && d.strictUtf8) {
        d.encoding = TextEncoding::Utf8Bom;
    } else if (!d.marked && d.nonAscii && d.strictUtf8) {
        d.encoding = TextEncoding::Utf8;
    }
    return d;
}

} // namespace

TextEncoding detectEncoding(QByteArrayView bytes, TextOrigin origin) {
    return detect(bytes, origin).encoding;
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

namespace {

void appendUtf8(QByteArray& out, char32_t code) {
    char buffer[4];
    int n;
    if (code < 0x80) {
        buffer[0] = char(code);
        n = 1;
    } else if (code < 0x800) {
        buffer[0] = char(0xC0 | (code >> 6));
        buffer[1] = char(0x80 | (code & 0x3F));
        n = 2;
    } else if (code < 0x10000) {
        buffer[0] = char(0xE0 | (code >> 12));
        buffer[1] = char(0x80 | ((code >> 6) & 0x3F));
        buffer[2] = char(0x80 | (code & 0x3F));
        n = 3;
    } else {
        buffer[0] = char(0xF0 | (code >> 18));
        buffer[1] = char(0x80 | ((code >> 12) & 0x3F));
        buffer[2] = char(0x80 | ((code >> 6) & 0x3F));
        buffer[3] = char(0x80 | (code & 0x3F));
        n = 4;
    }
    out.append(buffer, n);
}

// Where a stand-in (or a character of the stand-ins' range) may start: its UTF-8 form begins
// F4 8F BE or F4 8F BF.
qsizetype nextStandInCandidate(QByteArrayView utf8, qsizetype from) {
    while (true) {
        const qsizetype at = utf8.indexOf('\xF4', from);
        if (at < 0 || at + 3 >= utf8.size())
            return -1;
        if (uchar(utf8[at + 1]) == 0x8F && (uchar(utf8[at + 2]) & 0xFE) == 0xBE)
            return at;
        from = at + 1;
    }
}

} // namespace

QByteArrayView lineEndBytes(LineEnd end) {
    switch (end) {
    case LineEnd::CrLf:
        return "\r\n";
    case LineEnd::Cr:
        return "\r";
    default:
        return "\n";
    }
}

LineEnd mainLineEndOf(QByteArrayView text) {
    const char* s = text.data();
    const char* const end = s + text.size();
    qsizetype lf = std::count(s, end, '\n');
    qsizetype cr = 0, crlf = 0;
    for (auto* p = static_cast<const char*>(std::memchr(s, '\r', size_t(end - s))); p;
         p = static_cast<const char*>(std::memchr(p + 1, '\r', size_t(end - p - 1)))) {
        if (p + 1 < end && p[1] == '\n')
            ++crlf;
        else
            ++cr;
    }
    lf -= crlf;
    if (crlf > lf && crlf >= cr)
        return LineEnd::CrLf;
    if (cr > lf && cr > crlf)
        return LineEnd::Cr;
    return LineEnd::Lf;
}

QByteArray editorUtf8Of(QStringView text) {
    QByteArray out;
    out.reserve(text.size() + text.size() / 2);
    appendEditorUtf8(out, text);
    return out;
}

void appendEditorUtf8(QByteArray& out, QStringView text) {
    qsizetype run = 0;
    const auto endRun = [&](qsizetype end) {
        if (end > run)
            out.append(text.sliced(run, end - run).toUtf8());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text[i + 1]);
            if (byteOfStandIn(code) >= 0) {
                // A character of the stand-ins' range is kept as its UTF-8 bytes.
                endRun(i);
                QByteArray bytes;
                appendUtf8(bytes, code);
                for (char b : bytes)
                    appendUtf8(out, standInOfByte(uchar(b)));
                run = i + 2;
            }
            ++i;
        } else if (const int byte = escapedByte(c); byte >= 0) {
            endRun(i);
            appendUtf8(out, standInOfByte(uchar(byte)));
            run = i + 1;
        } else if (c.isSurrogate()) {
            // Half a pair holds no character: it is kept as the replacement character.
            endRun(i);
            appendUtf8(out, 0xFFFD);
            run = i + 1;
        }
    }
    endRun(text.size());
}

QString losslessTextOf(QByteArrayView editorUtf8) {
    QString out;
    qsizetype run = 0;
    qsizetype at = nextStandInCandidate(editorUtf8, 0);
    if (at < 0)
        return QString::fromUtf8(editorUtf8);
    out.reserve(editorUtf8.size());
    while (at >= 0) {
        const char32_t code = (char32_t(uchar(editorUtf8[at + 2]) & 0x3F) << 6) |
                              (uchar(editorUtf8[at + 3]) & 0x3F) | 0x10F000;
        out.append(QString::fromUtf8(editorUtf8.sliced(run, at - run)));
        out.append(QChar(char16_t(0xDC00 + byteOfStandIn(code))));
        run = at + 4;
        at = nextStandInCandidate(editorUtf8, run);
    }
    out.append(QString::fromUtf8(editorUtf8.sliced(run)));
    return out;
}

namespace {

// What one CP932 byte or byte pair is in the editor's form: at most four bytes.
struct EditorCode {
    char bytes[4] = {};
    quint8 length = 0;
};

EditorCode editorCodeOf(QStringView decoded) {
    EditorCode code;
    const QByteArray utf8 = editorUtf8Of(decoded);
    code.length = quint8(utf8.size());
    std::memcpy(code.bytes, utf8.constData(), size_t(utf8.size()));
    return code;
}

// The lossless CP932 codec's decoding, as the editor's bytes of each byte and byte pair, worked
// out once from the codec itself: decoding then writes each character's bytes straight into
// the editor's text, with no UTF-16 text in between.
class Cp932EditorTable {
public:
    Cp932EditorTable() : m_pairs(size_t(256 * 256)) {
        const LosslessCodec& codec = LosslessCodec::cp932();
        for (int b = 0; b < 256; ++b) {
            const char one[1] = {char(b)};
            const QString alone = codec.decode(QByteArrayView(one, 1));
            m_single[b] = editorCodeOf(alone);
            if (escapedByte(alone[0]) < 0)
                continue;
            // A byte that is no character alone may start one with the byte after it.
            for (int t = 0; t < 256; ++t) {
                const char two[2] = {char(b), char(t)};
                const QString pair = codec.decode(QByteArrayView(two, 2));
                if (pair.size() == 1 && escapedByte(pair[0]) < 0) {
                    m_pairs[size_t(b << 8 | t)] = editorCodeOf(pair);
                    m_leads[b] = true;
                }
            }
        }
    }

    QByteArray decode(QByteArrayView bytes) const {
        const auto* in = reinterpret_cast<const uchar*>(bytes.data());
        const qsizetype n = bytes.size();
        QByteArray out;
        out.resize(n + n / 2 + 16);
        char* o = out.data();
        char* limit = o + out.size() - 4;
        qsizetype i = 0;
        while (i < n) {
            if (o > limit) {
                const qsizetype done = o - out.data();
                out.resize(out.size() + (n - i) * 2 + 16);
                o = out.data() + done;
                limit = out.data() + out.size() - 4;
            }
            const uchar b = in[i];
            if (b < 0x80) {
                *o++ = char(b);
                ++i;
                continue;
            }
            const EditorCode* code = &m_single[b];
            if (m_leads[b] && i + 1 < n && m_pairs[size_t(b << 8 | in[i + 1])].length != 0) {
                code = &m_pairs[size_t(b << 8 | in[i + 1])];
                ++i;
            }
            std::memcpy(o, code->bytes, 4);
            o += code->length;
            ++i;
        }
        out.truncate(o - out.data());
        return out;
    }

private:
    std::array<EditorCode, 256> m_single;
    std::array<bool, 256> m_leads{};
    std::vector<EditorCode> m_pairs;
};

QByteArray cp932ForEditor(QByteArrayView body) {
    static const Cp932EditorTable table;
    return table.decode(body);
}

EditorText decodeForEditor(QByteArrayView bytes, TextOrigin origin, const QByteArray* whole) {
    const Detection d = detect(bytes, origin);
    EditorText result;
    result.encoding = d.encoding;
    const QByteArrayView body = d.encoding == TextEncoding::Utf8Bom ? bytes.sliced(3) : bytes;
    // Valid UTF-8 without characters of the stand-ins' range (plain ASCII among it) is already
    // the editor's form.
    const bool asIs = (d.encoding != TextEncoding::Cp932 || !d.nonAscii) && d.strictUtf8 &&
                      nextStandInCandidate(body, 0) < 0;
    if (asIs)
        result.utf8 = whole && body.size() == whole->size() ? *whole : body.toByteArray();
    else if (d.encoding == TextEncoding::Cp932)
        result.utf8 = cp932ForEditor(body);
    else
        result.utf8 = editorUtf8Of(LosslessUtf8::decode(body));
    result.mainLineEnd = mainLineEndOf(result.utf8);
    return result;
}

} // namespace

EditorText decodeForEditor(QByteArrayView bytes, TextOrigin origin) {
    return decodeForEditor(bytes, origin, nullptr);
}

EditorText decodeForEditor(const QByteArray& bytes, TextOrigin origin) {
    return decodeForEditor(QByteArrayView(bytes), origin, &bytes);
}

EncodeResult encodeFromEditor(QByteArrayView editorUtf8, TextEncoding encoding) {
    return encodeDocument(losslessTextOf(editorUtf8), encoding);
}
