#pragma once

#include <QString>
#include <QStringList>

// The editor's character conversions, as pure functions on the text. The editor holds Unicode,
// but the conversions keep the classes of the Japanese code page: a "one-byte character" is one
// that CP932 writes in one byte (ASCII and the half-width kana U+FF61..U+FF9F), a "two-byte
// character" one that it writes in two. Characters CP932 cannot hold (emoji, rare kanji of a
// UTF-8 document) and the U+DC00+byte escapes of invalid bytes pass through every conversion
// unchanged, so an invalid byte is written back as it was read; so does the character right
// after an invalid lead byte, which the file holds together with that byte. `before` is the
// character in front of `text` in the document, if any.
namespace CharacterConversions {

enum class Conversion {
    Upper, // one-byte and two-byte letters (full-width Latin, Greek, Cyrillic) to upper case
    Lower, // the same to lower case
    KanaToFullWidth, // half-width kana to full-width katakana, sound marks combined (ｶﾞ -> ガ)
    ToFullWidth,     // printable one-byte characters and half-width kana to full width, one by one
    ToHalfWidth,     // two-byte characters to half width (ガ -> ｶﾞ)
    ToKatakana,      // two-byte hiragana to katakana
    ToHiragana,      // two-byte katakana to hiragana
};

[[nodiscard]] QString convert(QStringView text, Conversion conversion, QChar before = {});

// The occurrences of `keywords` (matched against the text in upper case, exactly as stored, so
// that a keyword kept in capitals matches in any letter case; empty ones skipped; in order,
// each from the start, without overlaps) get their one-byte letters in upper or lower case;
// two-byte characters of a match stay as they are.
[[nodiscard]] QString convertKeywordCase(QStringView text, const QStringList& keywords, bool upper,
                                         QChar before = {});

} // namespace CharacterConversions
