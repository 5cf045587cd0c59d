#include "encoding/TextCodeGuess.h"
#include "encoding/LosslessCodec.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

const QString Japanese = QStringLiteral("日本語のテキスト、ｶﾀｶﾅ。\n");

struct GuessCase {
    const char* what;
    QByteArray bytes;
    std::optional<TextCode> expected;
    bool shiftJisText; // what an upload to an EUC-JP server may convert
};

TEST(TextCodeGuess, TellsEucJpAndShiftJisTextFromWhatOtherBytesLookLike) {
    const GuessCase cases[] = {
        {"empty", QByteArray(), std::nullopt, true},
        {"ASCII only", "plain text\r\n\t\x1A", std::nullopt, true},
        // Valid CP932 too, byte for byte, but converting it again would garble it.
        {"EUC-JP", LosslessCodec::eucJp().encode(Japanese).bytes, std::nullopt, false},
        // What this program writes for Shift_JIS FA 40 and F0 40, and JIS X 0212.
        {"extension rows", "\x99\xA1\x8C\xA1\xF4\xA1\x8F\xB0\xA1", std::nullopt, false},
        {"Shift_JIS", toCp932(Japanese), TextCode::ShiftJis, true},
        {"UTF-8", Japanese.toUtf8(), TextCode::Utf8, false},
        {"binary", QByteArray("\x89PNG\r\n\x1A\n\x00\x00\xFF\xFF", 12), TextCode::Unknown, false},
        {"ASCII with a NUL", QByteArray("text\0more", 9), TextCode::Unknown, false},
        {"UTF-8 cut inside a character", Japanese.toUtf8().chopped(2) + "\xE3", TextCode::Unknown,
         false},
    };
    for (const GuessCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TextCodeGuess::notEucJp(c.bytes), c.expected);
        // Blocks may split a character anywhere.
        TextCodeGuess bytewise;
        for (char b : c.bytes)
            bytewise.feed(QByteArrayView(&b, 1));
        EXPECT_EQ(bytewise.notEucJp(), c.expected);
        EXPECT_EQ(bytewise.isShiftJisText(), c.shiftJisText);
        QByteArray copy = c.bytes;
        QBuffer device(&copy);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        EXPECT_EQ(TextCodeGuess::notEucJp(device), c.expected);
    }
}

} // namespace
