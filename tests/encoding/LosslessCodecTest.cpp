#include "encoding/LosslessCodec.h"
#include "ConversionTestSupport.h"
#include "encoding/LosslessUtf8.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const LosslessCodec& cp932() {
    return LosslessCodec::cp932();
}
const LosslessCodec& eucJp() {
    return LosslessCodec::eucJp();
}

QString escaped(int byte) {
    return QString(QChar(char16_t(0xDC00 + byte)));
}

TEST(LosslessCodec, DecodesAndEncodesCp932) {
    const QByteArray bytes = bytesOf({0x82, 0xA0, 0x41, 0xB1, 0x88, 0x9F, 0x87, 0x40, 0xF0, 0x40});
    const QString text = cp932().decode(bytes);
    EXPECT_EQ(text, QString::fromUtf8("あAｱ亜①") + QChar(char16_t(0xE000)));
    EXPECT_EQ(cp932().encode(text).bytes, bytes);
    EXPECT_EQ(fromCp932(bytes), text);
    EXPECT_EQ(toCp932(text), bytes);
}

TEST(LosslessCodec, DecodesAndEncodesEucJp) {
    // Kanji, half-width katakana after 0x8E, and a JIS X 0212 kanji after 0x8F.
    const QByteArray bytes = bytesOf({0xB0, 0xA1, 0x8E, 0xB1, 0x8F, 0xB0, 0xA1, 0x0A});
    const QString text = eucJp().decode(bytes);
    EXPECT_EQ(text, QString::fromUtf8("亜ｱ丂\n"));
    EXPECT_EQ(eucJp().encode(text).bytes, bytes);
}

TEST(LosslessCodec, KeepsBytesThatAreNoCharacter) {
    // 0x80, 0xA0 and 0xFD stand for nothing in CP932; 0x82 0x20 is a lead byte without its
    // second byte; a lead byte at the end has no partner.
    const QByteArray cp = bytesOf({0x80, 0xA0, 0xFD, 0x82, 0x20, 0x41, 0x82});
    EXPECT_EQ(cp932().decode(cp), escaped(0x80) + escaped(0xA0) + escaped(0xFD) + escaped(0x82) +
                                      u" A"_s + escaped(0x82));
    EXPECT_EQ(cp932().encode(cp932().decode(cp)).bytes, cp);

    const QByteArray euc = bytesOf({0x8E, 0x41, 0xA4, 0x0A, 0x8F, 0xB0, 0xFF, 0xB0});
    const QString text = eucJp().decode(euc);
    EXPECT_EQ(text.left(2), escaped(0x8E) + u"A"_s);
    EXPECT_EQ(text.right(1), escaped(0xB0));
    EXPECT_EQ(eucJp().encode(text).bytes, euc);
}

TEST(LosslessCodec, TwinsEncodeToTheFormWindowsWrites) {
    struct Twin {
        QByteArray written;
        QByteArray canonical;
    };
    const Twin twins[] = {
        {bytesOf({0xED, 0x40}), bytesOf({0xFA, 0x5C})}, // NEC-selected IBM kanji
        {bytesOf({0xFA, 0x4A}), bytesOf({0x87, 0x54})}, // Roman numeral one
        {bytesOf({0xEE, 0xF9}), bytesOf({0x81, 0xCA})}, // not sign
        {bytesOf({0xFA, 0x54}), bytesOf({0x81, 0xCA})},
        {bytesOf({0x87, 0x9A}), bytesOf({0x81, 0xE6})}, // because
        {bytesOf({0xEE, 0xEF}), bytesOf({0xFA, 0x40})}, // small Roman numeral one
    };
    for (const Twin& t : twins)
        EXPECT_EQ(cp932().encode(cp932().decode(t.written)).bytes.toHex(), t.canonical.toHex());

    // Across the whole code page, exactly the 398 twins change.
    int changed = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const QByteArray code = bytesOf({lead, trail});
            const QString text = cp932().decode(code);
            if (text.size() == 1 && cp932().encode(text).bytes != code)
                ++changed;
        }
    }
    EXPECT_EQ(changed, 398);
}

TEST(LosslessCodec, RandomBytesSurviveDecodeAndEncode) {
    QRandomGenerator random(932);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(int(random.bounded(1, 400)), Qt::Uninitialized);
        for (char& b : bytes)
            b = char(random.bounded(256));
        const EncodeResult euc = eucJp().encode(eucJp().decode(bytes));
        ASSERT_TRUE(euc.ok());
        ASSERT_EQ(euc.bytes, bytes) << bytes.toHex().constData();

        // CP932 twins (leads 0x87, 0xED, 0xEE, 0xFA..0xFC) are written in their canonical
        // form; without them every byte comes back.
        for (char& b : bytes) {
            const uchar u = uchar(b);
            if (u == 0x87 || u == 0xED || u == 0xEE || u >= 0xFA)
                b = char(u - 0x20);
        }
        const EncodeResult cp = cp932().encode(cp932().decode(bytes));
        ASSERT_TRUE(cp.ok());
        ASSERT_EQ(cp.bytes, bytes) << bytes.toHex().constData();
    }
}

TEST(LosslessCodec, GeneratedJapaneseTextSurvives) {
    JapaneseTextGenerator generator(5);
    const QByteArray euc = generator.euc(200 * 1024);
    EXPECT_EQ(eucJp().encode(eucJp().decode(euc)).bytes, euc);
    const QByteArray sjis = generator.sjis(200 * 1024);
    const QString text = cp932().decode(sjis);
    EXPECT_EQ(cp932().decode(cp932().encode(text).bytes), text);
}

TEST(LosslessCodec, ReportsTheFirstCharacterItCannotHold) {
    struct Case {
        QString text;
        qsizetype cp932At;
        qsizetype eucAt;
    };
    const Case cases[] = {
        {QString::fromUtf8("abc😀d"), 3, 3},                // outside the BMP
        {QString::fromUtf8("a¥b"), 1, 1},                  // never silently written as 0x5C
        {QString::fromUtf8("漢字①"), -1, 2},               // NEC row 13 is CP932 only
        {u"x"_s + QChar(char16_t(0xD800)) + u"y"_s, 1, 1}, // lone high surrogate
        {u"xy"_s + QChar(char16_t(0xDC41)), 2, 2},         // below the byte escapes
        {u"é"_s, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp932().encode(c.text).unencodableAt, c.cp932At) << c.text.toStdString();
        EXPECT_EQ(eucJp().encode(c.text).unencodableAt, c.eucAt) << c.text.toStdString();
    }
    const EncodeResult failed = cp932().encode(QString::fromUtf8("ab¥"));
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.unencodableAt, 2);
}

TEST(LosslessCodec, ByteEscapesEncodeToTheirByte) {
    const QString text = escaped(0x80) + escaped(0xFF) + escaped(0xA4);
    EXPECT_EQ(cp932().encode(text).bytes, bytesOf({0x80, 0xFF, 0xA4}));
    EXPECT_EQ(eucJp().encode(text).bytes, bytesOf({0x80, 0xFF, 0xA4}));
}

TEST(LosslessCodec, SettingsShorthandWritesQuestionMarks) {
    EXPECT_EQ(toCp932(QString::fromUtf8("a😀b¥c")), QByteArray("a?b?c"));
    EXPECT_EQ(toCp932(u"x"_s + QChar(char16_t(0xDC10))), QByteArray("x?"));
    EXPECT_EQ(toCp932(QString()), QByteArray());
    EXPECT_TRUE(cp932().decode(QByteArray()).isEmpty());
}

} // namespace

// UTF-8 bytes come back as they were: byte order marks anywhere, bytes that start no character,
// characters beyond the BMP. Half a surrogate pair has no UTF-8 form.
TEST(LosslessUtf8, BytesComeBackAsTheyWere) {
    const QByteArray bytes = "\xef\xbb\xbf"
                             "a\xef\xbb\xbf\xff\xe3\x81\xf0\x9f\x98\x80\xc0\xaf";
    const QString text = LosslessUtf8::decode(bytes);
    EXPECT_EQ(text.first(3), u"\uFEFFa\uFEFF"_s);
    EXPECT_EQ(text.sliced(3, 3), escaped(0xFF) + escaped(0xE3) + escaped(0x81));
    const EncodeResult back = LosslessUtf8::encode(text);
    EXPECT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, bytes);
    const EncodeResult half = LosslessUtf8::encode(u"ab"_s + QChar(char16_t(0xD83D)) + u"c"_s);
    EXPECT_EQ(half.unencodableAt, 2);
}
