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
};

TEST(TextCodeGuess, TellsEucJpFromWhatOtherTextsLookLike) {
    const GuessCase cases[] = {
        {"empty", QByteArray(), std::nullopt},
        {"ASCII only", "plain text\r\n\t\x1A", std::nullopt},
        {"EUC-JP", LosslessCodec::eucJp().encode(Japanese).bytes, std::nullopt},
        // What this program writes for Shift_JIS FA 40 and F0 40, and JIS X 0212.
        {"extension rows", "\x99\xA1\x8C\xA1\xF4\xA1\x8F\xB0\xA1", std::nullopt},
        {"Shift_JIS", toCp932(Japanese), TextCode::ShiftJis},
        {"UTF-8", Japanese.toUtf8(), TextCode::Utf8},
        {"binary", QByteArray("\x89PNG\r\n\x1A\n\x00\x00\xFF\xFF", 12), TextCode::Unknown},
        {"UTF-8 cut inside a character", Japanese.toUtf8().chopped(2) + "\xE3", TextCode::Unknown},
    };
    for (const GuessCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TextCodeGuess::notEucJp(c.bytes), c.expected);
        // Blocks may split a character anywhere.
        TextCodeGuess bytewise;
        for (char b : c.bytes)
            bytewise.feed(QByteArrayView(&b, 1));
        EXPECT_EQ(bytewise.notEucJp(), c.expected);
        QByteArray copy = c.bytes;
        QBuffer device(&copy);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        EXPECT_EQ(TextCodeGuess::notEucJp(device), c.expected);
    }
}

} // namespace
