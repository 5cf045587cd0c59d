#include "editor/CharacterConversions.h"

#include "encoding/LosslessCodec.h"

#include <array>
#include <optional>
#include <vector>

namespace CharacterConversions {

namespace {

constexpr char16_t HalfKanaFirst = 0xFF61; // ｡
constexpr char16_t HalfKanaLast = 0xFF9F;  // ﾟ
constexpr char16_t HalfVoiced = 0xFF9E;    // ﾞ
constexpr char16_t HalfSemiVoiced = 0xFF9F;
constexpr char16_t FullVu = 0x30F4; // ヴ
constexpr char16_t FullU = 0x30A6;  // ウ
constexpr char16_t FullSpace = 0x3000;
constexpr char16_t FullFormsFirst = 0xFF01; // ！, the full-width form of '!'

// The full-width form of each half-width kana U+FF61..U+FF9F, as the Japanese code page pairs
// them (punctuation, katakana, the prolonged sound mark and the two sound marks).
constexpr std::array<char16_t, 63> FullOfHalfKana = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

bool isHalfKana(char16_t c) {
    return c >= HalfKanaFirst && c <= HalfKanaLast;
}

char16_t fullOfHalfKana(char16_t c) {
    return FullOfHalfKana[std::size_t(c - HalfKanaFirst)];
}

// Katakana that take the voiced mark (カ..ト, ハ..ホ) and those that also take the
// semi-voiced one (ハ..ホ): the marked form is the next code point (or the one after).
bool takesVoicedMark(char16_t full) {
    if (full >= 0x30AB && full <= 0x30C1)
        return (full - 0x30AB) % 2 == 0; // カ キ ク ケ コ サ シ ス セ ソ タ チ
    if (full >= 0x30C4 && full <= 0x30C8)
        return (full - 0x30C4) % 2 == 0;                                 // ツ テ ト
    return full >= 0x30CF && full <= 0x30DB && (full - 0x30CF) % 3 == 0; // ハ ヒ フ ヘ ホ
}

bool takesSemiVoicedMark(char16_t full) {
    return full >= 0x30CF && full <= 0x30DB && (full - 0x30CF) % 3 == 0;
}

// The half-width form of a two-byte character, one or two characters; empty when it has none.
QString halfOf(char16_t c) {
    if (c == FullSpace)
        return QStringLiteral(" ");
    if (c >= FullFormsFirst && c <= 0xFF5E)
        return QString(QChar(char16_t(c - FullFormsFirst + u'!')));
    for (std::size_t i = 0; i < FullOfHalfKana.size(); ++i) {
        if (FullOfHalfKana[i] == c)
            return QString(QChar(char16_t(HalfKanaFirst + i)));
    }
    auto marked = [](char16_t base, char16_t mark) {
        QString pair = halfOf(base);
        pair += QChar(mark);
        return pair;
    };
    if (c == FullVu)
        return marked(FullU, HalfVoiced);
    if (takesVoicedMark(char16_t(c - 1)))
        return marked(char16_t(c - 1), HalfVoiced);
    if (takesSemiVoicedMark(char16_t(c - 2)))
        return marked(char16_t(c - 2), HalfSemiVoiced);
    return {};
}

// A half-width kana with the sound mark after it, as the one full-width katakana that carries
// the mark; nothing when there is no such character (ｱﾞ).
std::optional<char16_t> combined(char16_t kana, char16_t mark) {
    const char16_t full = fullOfHalfKana(kana);
    if (mark == HalfVoiced && full == FullU)
        return FullVu;
    if (mark == HalfVoiced && takesVoicedMark(full))
        return char16_t(full + 1);
    if (mark == HalfSemiVoiced && takesSemiVoicedMark(full))
        return char16_t(full + 2);
    return std::nullopt;
}

// Letter pairs whose upper and lower case CP932 both holds: ASCII, full-width Latin, Greek
// (without the final sigma) and Cyrillic.
char16_t toCase(char16_t c, bool upper) {
    struct Range {
        char16_t upperFirst, upperLast, lowerFirst;
    };
    static constexpr Range ranges[] = {{u'A', u'Z', u'a'},       {0xFF21, 0xFF3A, 0xFF41},
                                       {0x0391, 0x03A1, 0x03B1}, {0x03A3, 0x03A9, 0x03C3},
                                       {0x0410, 0x042F, 0x0430}, {0x0401, 0x0401, 0x0451}};
    for (const Range& r : ranges) {
        const char16_t lowerLast = char16_t(r.lowerFirst + (r.upperLast - r.upperFirst));
        if (upper && c >= r.lowerFirst && c <= lowerLast)
            return char16_t(c - r.lowerFirst + r.upperFirst);
        if (!upper && c >= r.upperFirst && c <= r.upperLast)
            return char16_t(c - r.upperFirst + r.lowerFirst);
    }
    return c;
}

bool isAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Hiragana ぁ..ん, ゝ, ゞ and their katakana, 0x60 apart; ゔ, ゕ and ゖ are not in CP932, so ヴ,
// ヵ and ヶ stay katakana.
char16_t toKana(char16_t c, bool katakana) {
    const bool hiragana = (c >= 0x3041 && c <= 0x3093) || c == 0x309D || c == 0x309E;
    const bool kata = (c >= 0x30A1 && c <= 0x30F3) || c == 0x30FD || c == 0x30FE;
    if (katakana && hiragana)
        return char16_t(c + 0x60);
    if (!katakana && kata)
        return char16_t(c - 0x60);
    return c;
}

QString kanaToFullWidth(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isHalfKana(c)) {
            out += QChar(c);
            continue;
        }
        if (i + 1 < text.size()) {
            const char16_t next = text[i + 1].unicode();
            if (next == HalfVoiced || next == HalfSemiVoiced) {
                if (std::optional<char16_t> joined = combined(c, next)) {
                    out += QChar(*joined);
                    ++i;
                    continue;
                }
            }
        }
        out += QChar(fullOfHalfKana(c)); // alone, or a mark that no character carries
    }
    return out;
}

QString mapEach(QStringView text, char16_t (*map)(char16_t)) {
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = QChar(map(text[i].unicode()));
    return out;
}

char16_t fullWidthOf(char16_t c) {
    if (c == u' ')
        return FullSpace;
    if (c > u' ' && c <= u'~')
        return char16_t(c - u'!' + FullFormsFirst);
    return isHalfKana(c) ? fullOfHalfKana(c) : c;
}

// halfOf for the kana and punctuation block U+3000..U+30FF, worked out once: a whole-text
// conversion asks for nearly every character of a Japanese text.
struct HalfForm {
    char16_t chars[2] = {0, 0};
    int length = 0;
};

HalfForm halfFormOf(char16_t c) {
    static const std::array<HalfForm, 0x100> kana = [] {
        std::array<HalfForm, 0x100> table{};
        for (char16_t k = 0; k < 0x100; ++k) {
            const QString half = halfOf(char16_t(0x3000 + k));
            table[k].length = int(half.size());
            for (int i = 0; i < int(half.size()); ++i)
                table[k].chars[i] = half[i].unicode();
        }
        return table;
    }();
    if (c >= 0x3000 && c <= 0x30FF)
        return kana[c - 0x3000];
    if (c >= FullFormsFirst && c <= 0xFF5E)
        return {{char16_t(c - FullFormsFirst + u'!'), 0}, 1};
    return {};
}

QString toHalfWidth(QStringView text) {
    QString out(text.size() * 2, Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    for (QChar c : text) {
        const HalfForm half = halfFormOf(c.unicode());
        if (half.length == 0)
            *o++ = c.unicode();
        for (int i = 0; i < half.length; ++i)
            *o++ = half.chars[i];
    }
    out.truncate(o - reinterpret_cast<char16_t*>(out.data()));
    return out;
}

bool isLoneLead(QChar c) {
    const int byte = escapedByte(c);
    return byte >= 0 && isCp932LeadByte((unsigned char)byte);
}

// Which characters stay as they are: each one right after a lead byte that had no valid second
// byte. The file holds the two bytes as one unit; a changed second byte would pair up with the
// lead byte into another character when the file is read again.
std::vector<bool> keptAfterLoneLeads(QStringView text, QChar before) {
    std::vector<bool> kept(std::size_t(text.size()), false);
    bool leadBefore = isLoneLead(before);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (leadBefore) {
            kept[std::size_t(i)] = true;
            leadBefore = false; // the unit ends here, even when this byte is a lead byte too
        } else {
            leadBefore = isLoneLead(text[i]);
        }
    }
    return kept;
}

QString convertRun(QStringView text, Conversion conversion) {
    switch (conversion) {
    case Conversion::Upper:
        return mapEach(text, [](char16_t c) { return toCase(c, true); });
    case Conversion::Lower:
        return mapEach(text, [](char16_t c) { return toCase(c, false); });
    case Conversion::KanaToFullWidth:
        return kanaToFullWidth(text);
    case Conversion::ToFullWidth:
        return mapEach(text, fullWidthOf);
    case Conversion::ToHalfWidth:
        return toHalfWidth(text);
    case Conversion::ToKatakana:
        return mapEach(text, [](char16_t c) { return toKana(c, true); });
    case Conversion::ToHiragana:
        return mapEach(text, [](char16_t c) { return toKana(c, false); });
    }
    return text.toString();
}

} // namespace

QString convert(QStringView text, Conversion conversion, QChar before) {
    const std::vector<bool> kept = keptAfterLoneLeads(text, before);
    QString out;
    out.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !kept[std::size_t(i)])
            continue;
        out += convertRun(text.sliced(runStart, i - runStart), conversion);
        if (i < text.size())
            out += text[i];
        runStart = i + 1;
    }
    return out;
}

QString convertKeywordCase(QStringView text, const QStringList& keywords, bool upper,
                           QChar before) {
    const QString work = convert(text, Conversion::Upper, before);
    const std::vector<bool> kept = keptAfterLoneLeads(text, before);
    QString out = text.toString();
    for (const QString& keyword : keywords) {
        if (keyword.isEmpty())
            continue;
        for (qsizetype at = work.indexOf(keyword); at >= 0;
             at = work.indexOf(keyword, at + keyword.size())) {
            for (qsizetype i = at; i < at + keyword.size(); ++i) {
                if (isAsciiLetter(out[i].unicode()) && !kept[std::size_t(i)])
                    out[i] = QChar(toCase(out[i].unicode(), upper));
            }
        }
    }
    return out;
}

} // namespace CharacterConversions
