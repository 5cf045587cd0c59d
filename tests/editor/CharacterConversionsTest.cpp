#include "editor/CharacterConversions.h"

#include <gtest/gtest.h>

using CharacterConversions::Conversion;
using CharacterConversions::convert;
using CharacterConversions::convertKeywordCase;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TEST(CharacterConversions, EachConversionMapsItsClassAndLeavesTheRest) {
    struct Case {
        Conversion conversion;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {Conversion::Upper, "abc Ｘｙｚ αβω абвё ｱ1", "ABC ＸＹＺ ΑΒΩ АБВЁ ｱ1"},
        {Conversion::Lower, "ABC ＸＹＺ ΑΒΩ АБВЁ", "abc ｘｙｚ αβω абвё"},
        {Conversion::Upper, "ς é", "ς é"}, // CP932 holds neither case of them
        {Conversion::KanaToFullWidth, "ｶﾞｷﾞA", "ガギA"},
        {Conversion::KanaToFullWidth, "ﾊﾟﾋﾞｳﾞﾞ｡ｰ", "パビヴ゛。ー"},
        {Conversion::KanaToFullWidth, "ｱﾞ", "ア゛"}, // no single character carries the mark
        {Conversion::ToFullWidth, "ｶﾞｷﾞA", "カ゛キ゛Ａ"},
        {Conversion::ToFullWidth, "a b\t~\\\r\n", "ａ　ｂ\t～＼\r\n"},
        {Conversion::ToHalfWidth, "ガ漢ＡＢ　！ッパヴ「」ヶ", "ｶﾞ漢AB !ｯﾊﾟｳﾞ｢｣ヶ"},
        {Conversion::ToHalfWidth, "ヂヅドボポ", "ﾁﾞﾂﾞﾄﾞﾎﾞﾎﾟ"},
        {Conversion::ToKatakana, "ひらがなゝ ｱ", "ヒラガナヽ ｱ"},
        {Conversion::ToHiragana, "カタカナヴヶ ｱ ア", "かたかなヴヶ ｱ あ"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convert(u8(c.in), c.conversion), u8(c.out)) << int(c.conversion) << ": " << c.in;
    }
}

TEST(CharacterConversions, CharactersOutsideTheCodePageAndInvalidBytesPassThrough) {
    // An emoji (a surrogate pair) and the escapes of the invalid bytes 0x80 and 0xA0.
    const QString foreign = u8("😀") + QChar(0xDC80) + QChar(0xDCA0) + u8("𠮷");
    for (int c = int(Conversion::Upper); c <= int(Conversion::ToHiragana); ++c)
        EXPECT_EQ(convert(foreign, Conversion(c)), foreign) << c;
    // The character after a lead byte without its second byte (0x85) belongs to that byte.
    const QChar lead(0xDC85);
    EXPECT_EQ(convertKeywordCase(QString(lead) + u8("bb"), {u8("B")}, true, QChar()),
              QString(lead) + u8("bB"));
    EXPECT_EQ(convert(u8("a b"), Conversion::ToFullWidth, lead), u8("a　ｂ"));
}

TEST(CharacterConversions, FullThenHalfWidthGivesBackPrintableAsciiAndKana) {
    QString text;
    for (char16_t c = 0x20; c <= 0x7E; ++c)
        text += QChar(c);
    for (char16_t c = 0xFF61; c <= 0xFF9F; ++c)
        text += QChar(c);
    EXPECT_EQ(convert(convert(text, Conversion::ToFullWidth), Conversion::ToHalfWidth), text);
}

TEST(CharacterConversions, KeywordsChangeOnlyTheirOneByteLetters) {
    const QStringList keywords = {u8("SELECT"), QString(), u8("ＤＢ")};
    // A match inside a longer word changes too, but only the letters of the match.
    EXPECT_EQ(convertKeywordCase(u8("Select selected x"), keywords, true), u8("SELECT SELECTed x"));
    EXPECT_EQ(convertKeywordCase(u8("SELECT SELECTED X"), keywords, false),
              u8("select selectED X"));
    EXPECT_EQ(convertKeywordCase(u8("ｄｂ select"), keywords, false), u8("ｄｂ select"))
        << "two-byte letters of a match keep their case";
    EXPECT_EQ(convertKeywordCase(u8("Select"), {u8("select")}, true), u8("Select"))
        << "a keyword stored in lower case never matches";
}
