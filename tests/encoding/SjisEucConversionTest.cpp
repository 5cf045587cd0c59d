#include "encoding/SjisEucConversion.h"
#include "ConversionTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "encoding/LosslessCodec.h"

#include <gtest/gtest.h>

namespace {

enum class Direction { ToEuc, ToSjis };

// Converts `input` through real files and returns the destination's bytes; any message shown
// fails the test.
QByteArray convert(Direction direction, const QByteArray& input) {
    ScriptedPrompt prompt;
    TempDir dir;
    const QString source = dir.write(QStringLiteral("source"), input);
    const QString destination = dir.filePath(QStringLiteral("destination"));
    const Result<> result = direction == Direction::ToEuc ? ConvertSjisToEuc(destination, source)
                                                          : ConvertEucToSjis(destination, source);
    EXPECT_TRUE(result.ok()) << result.message().toStdString();
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
    return dir.read(QStringLiteral("destination"));
}

QByteArray toEuc(const QByteArray& sjis) {
    return convert(Direction::ToEuc, sjis);
}
QByteArray toSjis(const QByteArray& euc) {
    return convert(Direction::ToSjis, euc);
}

struct Case {
    const char* what;
    QByteArray input;
    QByteArray expected;
};

TEST(SjisToEuc, ConvertsCharactersAndLineEnds) {
    const Case cases[] = {
        {"hiragana, CR LF", bytesOf({0x82, 0xA0, 0x82, 0xA2, 0x82, 0xA4, 0x0D, 0x0A}),
         bytesOf({0xA4, 0xA2, 0xA4, 0xA4, 0xA4, 0xA6, 0x0A})},
        {"half-width katakana", bytesOf({0xB1, 0xA0, 0xDF}),
         bytesOf({0x8E, 0xB1, 0x8E, 0xA0, 0x8E, 0xDF})},
        {"lone CR kept", "a\rb\r", "a\rb\r"},
        {"only the CR before LF goes", "\r\r\n\n", "\r\n\n"},
        {"bytes that are no character", bytesOf({0x00, 0x7F, 0x80, 0xFD, 0xFE, 0xFF}),
         bytesOf({0x00, 0x7F, 0x80, 0xFD, 0xFE, 0xFF})},
        {"end-of-file mark inside the text",
         "a\x1A"
         "b\x1A\x1A"
         "c",
         "a\x1A"
         "b\x1A\x1A"
         "c"},
        {"end-of-file mark ending the file", "ab\x1A\x1A", "ab\x1A"},
        {"only an end-of-file mark", "\x1A", ""},
        {"first user-defined character", bytesOf({0xF0, 0x40}), bytesOf({0xF4, 0xA1})},
        {"kanji of row 0x74", bytesOf({0xEA, 0x9F, 0xEA, 0xA4}), bytesOf({0xF4, 0xA1, 0xF4, 0xA6})},
        {"user-defined after the shared six", bytesOf({0xF0, 0x46}), bytesOf({0xF4, 0xA7})},
        {"twelfth user-defined row", bytesOf({0xF5, 0x9F}), bytesOf({0x8C, 0xA1})},
        {"extension row", bytesOf({0xFA, 0x40, 0xFC, 0xFC}), bytesOf({0x99, 0xA1, 0x9E, 0xFE})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toEuc(c.input).toHex(' '), c.expected.toHex(' ')) << c.what;
}

TEST(SjisToEuc, PassesALeadByteWithoutItsSecondByte) {
    const Case cases[] = {
        {"before LF", bytesOf({0x82, 0x0A}), bytesOf({0x82, 0x0A})},
        {"before CR LF", bytesOf({0x82, 0x0D, 0x0A}), bytesOf({0x82, 0x0A})},
        {"before 0x7F", bytesOf({0x82, 0x7F, 0x41}), bytesOf({0x82, 0x7F, 0x41})},
        {"before 0xFD", bytesOf({0x9F, 0xFD}), bytesOf({0x9F, 0xFD})},
        {"before a space", bytesOf({0x82, 0x20, 0x82, 0xA0}), bytesOf({0x82, 0x20, 0xA4, 0xA2})},
        {"lead before lead", bytesOf({0x82, 0x82, 0xA0}), bytesOf({0xA3, 0xE2, 0x8E, 0xA0})},
        {"before katakana", bytesOf({0xE0, 0x3F, 0xB1}), bytesOf({0xE0, 0x3F, 0x8E, 0xB1})},
        {"at the end of the file", bytesOf({0x41, 0x82}), bytesOf({0x41, 0x82})},
        {"before the final end-of-file mark", bytesOf({0x82, 0x1A}), bytesOf({0x82})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toEuc(c.input).toHex(' '), c.expected.toHex(' ')) << c.what;
}

TEST(EucToSjis, ConvertsCharactersAndLineEnds) {
    const Case cases[] = {
        {"hiragana, LF", bytesOf({0xA4, 0xA2, 0xA4, 0xA4, 0xA4, 0xA6, 0x0A}),
         bytesOf({0x82, 0xA0, 0x82, 0xA2, 0x82, 0xA4, 0x0D, 0x0A})},
        {"half-width katakana", bytesOf({0x8E, 0xB1}), bytesOf({0xB1})},
        {"CR LF stays one CR LF", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"lone CR, CR CR LF", "a\rb\r\r\n", "a\rb\r\r\n"},
        {"LF LF", "\n\n", "\r\n\r\n"},
        {"other bytes", bytesOf({0x00, 0x1A, 0x7F, 0x80}), bytesOf({0x00, 0x1A, 0x7F, 0x80})},
        {"kanji of row 0x74", bytesOf({0xF4, 0xA1, 0xF4, 0xA2, 0xF4, 0xA6}),
         bytesOf({0xEA, 0x9F, 0xEA, 0xA0, 0xEA, 0xA4})},
        {"user-defined in row 0x74", bytesOf({0xF4, 0xA7, 0xFE, 0xFE}),
         bytesOf({0xF0, 0x46, 0xF5, 0x9E})},
        {"twelfth user-defined row", bytesOf({0x8C, 0xA1}), bytesOf({0xF5, 0x9F})},
        {"extension row", bytesOf({0x99, 0xA1}), bytesOf({0xFA, 0x40})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toSjis(c.input).toHex(' '), c.expected.toHex(' ')) << c.what;
}

TEST(EucToSjis, PassesALeadByteWithoutItsSecondByte) {
    const Case cases[] = {
        {"before LF", bytesOf({0xA4, 0x0A}), bytesOf({0xA4, 0x0D, 0x0A})},
        {"before CR LF", bytesOf({0xA4, 0x0D, 0x0A}), bytesOf({0xA4, 0x0D, 0x0A})},
        {"before ASCII", bytesOf({0xB0, 0x41, 0xA4, 0xA2}), bytesOf({0xB0, 0x41, 0x82, 0xA0})},
        {"before 0xA0", bytesOf({0xA4, 0xA0}), bytesOf({0xA4, 0xA0})},
        {"at the end of the file", bytesOf({0x41, 0xA4}), bytesOf({0x41, 0xA4})},
        {"single shift before LF", bytesOf({0x8E, 0x0A}), bytesOf({0x8E, 0x0D, 0x0A})},
        {"single shift at the end", bytesOf({0x8E}), bytesOf({0x8E})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toSjis(c.input).toHex(' '), c.expected.toHex(' ')) << c.what;
}

TEST(SjisEucPairs, AreInversesOverJisX0208) {
    for (int row = 0x21; row <= 0x74; ++row) {
        const int lastCell = row == 0x74 ? 0x26 : 0x7E;
        for (int cell = 0x21; cell <= lastCell; ++cell) {
            const SjisPair sjis = JisToSjis(uchar(row), uchar(cell));
            const JisCode jis = SjisToJis(sjis.lead, sjis.trail);
            ASSERT_EQ(jis.row, row) << std::hex << row << ' ' << cell;
            ASSERT_EQ(jis.cell, cell) << std::hex << row << ' ' << cell;
        }
    }
    EXPECT_EQ(JisToSjis(0x24, 0x22).lead, 0x82);
    EXPECT_EQ(JisToSjis(0x24, 0x22).trail, 0xA0);
}

// A file a little longer than `offset` + the sequence, with `sequence` starting at `offset`.
QByteArray around(qsizetype offset, const QByteArray& sequence) {
    return QByteArray(offset, 'a') + sequence + QByteArray("z");
}

// Every sequence that needs its next byte is converted the same when a block boundary cuts
// it as when it lies inside one block.
TEST(SjisEucConversion, SequencesAcrossBlockBoundaries) {
    const QByteArray sjisSequences[] = {
        bytesOf({0x82, 0xA0}),
        "\r\n",
        "\x1A",
        "\r\r\n",
        bytesOf({0x82, 0x0A}),
        bytesOf({0x82, 0x82, 0xA2}),
        bytesOf({0xB1, 0xB2}),
    };
    const QByteArray eucSequences[] = {
        bytesOf({0xA4, 0xA2}), bytesOf({0x8E, 0xB1}), "\r\n",
        bytesOf({0xA4, 0x0A}), bytesOf({0x8E, 0x0A}), "\n\n",
    };
    for (qsizetype boundary : {kConversionBlock, 2 * kConversionBlock}) {
        for (qsizetype offset = boundary - 2; offset <= boundary; ++offset) {
            for (const QByteArray& s : sjisSequences) {
                const QByteArray expected = QByteArray(offset, 'a') + toEuc(s + "z");
                ASSERT_EQ(toEuc(around(offset, s)), expected)
                    << offset << ' ' << s.toHex().constData();
            }
            for (const QByteArray& s : eucSequences) {
                const QByteArray expected = QByteArray(offset, 'a') + toSjis(s + "z");
                ASSERT_EQ(toSjis(around(offset, s)), expected)
                    << offset << ' ' << s.toHex().constData();
            }
        }
    }
    // The first case spelled out: the pair's lead is the last byte of the first block.
    const QByteArray euc = toEuc(around(kConversionBlock - 1, bytesOf({0x82, 0xA0})));
    EXPECT_EQ(euc.mid(kConversionBlock - 1), bytesOf({0xA4, 0xA2, 'z'}));
    // An end-of-file mark that ends a block but not the file is an ordinary byte.
    EXPECT_EQ(toEuc(around(kConversionBlock - 1, "\x1A")).size(), kConversionBlock + 1);
}

TEST(SjisEucConversion, GeneratedTextSurvivesARoundTrip) {
    JapaneseTextGenerator generator(20240601);
    for (int round = 0; round < 4; ++round) {
        const QByteArray sjis = generator.sjis(300 * 1024 + round * 7);
        ASSERT_EQ(toSjis(toEuc(sjis)), sjis) << "round " << round;
        const QByteArray euc = generator.euc(300 * 1024 + round * 5);
        ASSERT_EQ(toEuc(toSjis(euc)), euc) << "round " << round;
    }
}

// The conversion agrees with the C library's own tables for standard text.
TEST(SjisEucConversion, AgreesWithTheCodecsOnStandardText) {
    QRandomGenerator random(7);
    QByteArray sjis;
    for (int i = 0; i < 20000; ++i) {
        const int row = int(random.bounded(0x30, 0x4F)); // kanji level 1, fully assigned
        const int cell = int(random.bounded(0x21, 0x7F));
        const SjisPair p = JisToSjis(uchar(row), uchar(cell));
        sjis.append(char(p.lead)).append(char(p.trail));
        if (i % 40 == 39)
            sjis.append("\r\n");
        if (i % 25 == 0)
            sjis.append("\xB1\xDF"
                        "ab");
    }
    const QString expected = LosslessCodec::cp932().decode(sjis).remove(u'\r');
    EXPECT_EQ(LosslessCodec::eucJp().decode(toEuc(sjis)), expected);
}

} // namespace
