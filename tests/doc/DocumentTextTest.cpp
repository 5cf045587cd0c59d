#include "doc/DocumentText.h"

#include <gtest/gtest.h>

namespace {

// The paragraphs of decoded text as the editor holds them: lines separated by U+2029.
QString asParagraphs(const QString& text) {
    QString p = text;
    p.replace(u'\n', QChar(0x2029));
    return p;
}

QByteArray roundTrip(const QByteArray& bytes, TextOrigin origin = TextOrigin::Local) {
    const DecodedText d = decodeDocument(bytes, origin);
    const QString joined = joinLines(asParagraphs(d.text), d.prevailing, d.exceptions);
    const EncodeResult e = encodeDocument(joined, d.encoding);
    EXPECT_TRUE(e.ok());
    return e.bytes;
}

} // namespace

TEST(DocumentText, MixedLineEndsComeBackByteForByte) {
    const QByteArray bytes = "one\r\ntwo\nthree\rfour\r\n\r\nfive\n\r\r\nsix";
    const DecodedText d = decodeDocument(bytes);
    EXPECT_EQ(d.text, QStringLiteral("one\ntwo\nthree\nfour\n\nfive\n\n\nsix"));
    EXPECT_EQ(d.prevailing, LineEnd::CrLf);
    EXPECT_EQ(d.exceptions,
              (QList<LineEndException>{
                  {1, LineEnd::Lf}, {2, LineEnd::Cr}, {5, LineEnd::Lf}, {6, LineEnd::Cr}}));
    EXPECT_EQ(roundTrip(bytes), bytes);
    for (const QByteArray& edge : {QByteArray(), QByteArray("\r"), QByteArray("\n\n"),
                                   QByteArray("x\r\n"), QByteArray("\r\r\n\n")})
        EXPECT_EQ(roundTrip(edge), edge) << edge.toHex().constData();
}

TEST(DocumentText, InvalidShiftJisBytesSurviveAndStayCp932) {
    // A lone lead byte at the end, 0x80, 0xA0, 0xFD and a broken pair among good text.
    const QByteArray bytes = "\x82\xa0\x80\xa0\xfd\r\n\x81\x20\x93\xfa\x96\x7b\x88";
    const DecodedText d = decodeDocument(bytes);
    EXPECT_EQ(d.encoding, TextEncoding::Cp932);
    EXPECT_TRUE(d.text.startsWith(QStringLiteral("あ")));
    EXPECT_TRUE(d.text.contains(QStringLiteral("日本")));
    EXPECT_EQ(roundTrip(bytes), bytes);
}

TEST(DocumentText, Utf8IsRecognisedAndKeepsItsByteOrderMark) {
    const QByteArray plain = "caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac\n\xf0\x9f\x98\x80\n"
                             "";
    DecodedText d = decodeDocument(plain);
    EXPECT_EQ(d.encoding, TextEncoding::Utf8);
    EXPECT_EQ(d.text, QStringLiteral("café 日本\n😀\n"));
    EXPECT_EQ(roundTrip(plain), plain);

    const QByteArray marked = "\xef\xbb\xbf"
                              "abc\r\n";
    d = decodeDocument(marked);
    EXPECT_EQ(d.encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(d.text, QStringLiteral("abc\n"));
    EXPECT_EQ(roundTrip(marked), marked);

    // Plain ASCII stays CP932, so typed Japanese is saved as Shift_JIS.
    EXPECT_EQ(decodeDocument("abc").encoding, TextEncoding::Cp932);
    // A paragraph separator inside UTF-8 text is a line end of its own and comes back.
    const QByteArray separator = "a\xe2\x80\xa9z\n";
    EXPECT_EQ(roundTrip(separator), separator);
}

TEST(DocumentText, StrictUtf8RejectsWhatWouldNotComeBack) {
    EXPECT_TRUE(isStrictUtf8("\xe6\x97\xa5"));
    EXPECT_FALSE(isStrictUtf8("\xc0\xaf"));         // overlong "/"
    EXPECT_FALSE(isStrictUtf8("\xed\xa0\x80"));     // a surrogate
    EXPECT_FALSE(isStrictUtf8("\xf4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(isStrictUtf8("\xe6\x97"));         // cut off
    EXPECT_FALSE(isStrictUtf8("\x93\xfa\x96\x7b")); // Shift_JIS
    EXPECT_FALSE(isStrictUtf8("\xe0\x80\xaf"));     // overlong three-byte form
    // Shift_JIS that is not UTF-8 opens as CP932.
    EXPECT_EQ(decodeDocument("\x93\xfa\x96\x7b").encoding, TextEncoding::Cp932);
    // A byte order mark followed by invalid bytes is not UTF-8 either, and still comes back.
    const QByteArray broken = "\xef\xbb\xbf\x93\xfa";
    EXPECT_EQ(decodeDocument(broken).encoding, TextEncoding::Cp932);
    EXPECT_EQ(roundTrip(broken), broken);
}

TEST(DocumentText, UnencodableCharacterIsFoundWithItsLine) {
    const QString text = QStringLiteral("abc\r\nあ\r\nx😀y");
    const EncodeResult cp = encodeDocument(text, TextEncoding::Cp932);
    ASSERT_FALSE(cp.ok());
    EXPECT_EQ(lineNumberAt(text, cp.unencodableAt), 3);
    EXPECT_EQ(describeCharacter(text, cp.unencodableAt), QStringLiteral("「😀」(U+1F600)"));
    EXPECT_TRUE(encodeDocument(text, TextEncoding::Utf8).ok());
    // Half a surrogate pair has no UTF-8 form either.
    const QString half = QStringLiteral("ok\n") + QChar(0xD800);
    const EncodeResult utf = encodeDocument(half, TextEncoding::Utf8);
    ASSERT_FALSE(utf.ok());
    EXPECT_EQ(lineNumberAt(half, utf.unencodableAt), 2);
    EXPECT_EQ(describeCharacter(half, utf.unencodableAt), QStringLiteral("「」(U+D800)"));
}

// A UTF-8 server's file is UTF-8 unless it reads as a Shift_JIS text; bytes that are no UTF-8
// come back as they were.
TEST(DocumentText, AUtf8ServersFileIsUtf8WithItsStrayBytesKept) {
    const std::pair<QByteArray, TextEncoding> cases[] = {
        {"plain\n", TextEncoding::Utf8},
        {"\xe6\x97\xa5\x80\xff\n", TextEncoding::Utf8},
        {"\xef\xbb\xbf\xe6\x97\xa5\xfe", TextEncoding::Utf8Bom},
        {"\x93\xfa\x96\x7b\x8c\xea\r\n", TextEncoding::Cp932}, // 日本語 in Shift_JIS
    };
    for (const auto& [bytes, encoding] : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        EXPECT_EQ(detectEncoding(bytes, TextOrigin::Utf8Server), encoding);
        EXPECT_EQ(roundTrip(bytes, TextOrigin::Utf8Server), bytes);
    }
}

// Opening decodes CP932 straight into the editor's bytes: every byte and byte pair comes out
// as the lossless codec reads it, and goes back to the same bytes.
TEST(DocumentText, EveryCp932ByteAndPairReachesTheEditorAsTheCodecReadsIt) {
    QByteArray bytes;
    for (int lead = 0x80; lead < 0x100; ++lead)
        for (int trail = 0x01; trail < 0x100; ++trail)
            bytes += QByteArray(1, char(lead)) + char(trail) + ' ';
    const EditorText text = decodeForEditor(bytes);
    ASSERT_EQ(text.encoding, TextEncoding::Cp932);
    EXPECT_EQ(text.utf8, editorUtf8Of(LosslessCodec::cp932().decode(bytes)));
    EXPECT_EQ(encodeFromEditor(text.utf8, TextEncoding::Cp932).bytes,
              LosslessCodec::cp932().encode(LosslessCodec::cp932().decode(bytes)).bytes);
}
