#pragma once

#include <QByteArray>
#include <QRandomGenerator>

#include <initializer_list>

// Builds byte strings from numbers, so test data reads like a hex dump.
inline QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

// Input blocks of the file conversions are this long; tests put sequences across the seam.
constexpr qsizetype kConversionBlock = 64 * 1024;

// Random Japanese text as a server or a PC would hold it. Every character is one that converts
// back to the same bytes, so a round trip must give the input again.
class JapaneseTextGenerator {
public:
    explicit JapaneseTextGenerator(quint32 randomStart) : m_random(randomStart) {}

    // Shift_JIS: JIS X 0208 kanji and kana, the user-defined and extension rows (except the six
    // user-defined codes that share their EUC-JP codes with kanji), half-width katakana, ASCII,
    // CR LF and lone CR line ends.
    QByteArray sjis(qsizetype length);
    // EUC-JP: every JIS row 0x21..0x7E, the rows that carry the Shift_JIS extension rows,
    // half-width katakana after 0x8E, ASCII, LF and lone CR line ends.
    QByteArray euc(qsizetype length);

private:
    int pick(int from, int to) { return int(m_random.bounded(from, to + 1)); }
    void appendJisAsSjis(QByteArray& out, int row, int cell);
    void appendAscii(QByteArray& out);

    QRandomGenerator m_random;
};
