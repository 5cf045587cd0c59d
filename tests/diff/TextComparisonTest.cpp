#include "diff/TextComparison.h"
#include "doc/DocumentText.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

// A change as "leftFirst+leftCount/rightFirst+rightCount".
std::string shape(const TextComparison& c) {
    std::string s;
    for (const TextChange& t : c.changes()) {
        if (!s.empty())
            s += ' ';
        s += std::to_string(t.leftFirst) + '+' + std::to_string(t.leftCount) + '/' +
             std::to_string(t.rightFirst) + '+' + std::to_string(t.rightCount);
    }
    return s;
}

// The changed characters of a line as the text they cover, "|"-separated.
std::string covered(QByteArrayView line, const std::vector<CharRange>& ranges) {
    std::string s;
    for (const CharRange& r : ranges) {
        if (!s.empty())
            s += '|';
        s += line.sliced(r.start, r.length).toByteArray().toStdString();
    }
    return s;
}

QByteArray u8(const char8_t* text) {
    return QByteArray(reinterpret_cast<const char*>(text));
}

// A byte kept from a file, as the editor holds it.
QByteArray kept(unsigned char byte) {
    const char32_t code = standInOfByte(byte);
    return QString::fromUcs4(&code, 1).toUtf8();
}

} // namespace

TEST(TextComparison, FindsLineChangesAndTheCharactersInside) {
    const struct {
        const char* name;
        QByteArray left;
        QByteArray right;
        std::string changes;
        // The first changed pair's characters on either side ("" when none).
        std::string leftChars;
        std::string rightChars;
    } cases[] = {
        {"equal", "a\nb\n", "a\nb\n", "", "", ""},
        {"both empty", "", "", "", "", ""},
        {"left empty", "", "a\nb\n", "0+0/0+2", "", ""},
        {"right empty", "a\nb", "", "0+2/0+0", "", ""},
        {"insert at start", "b\nc\n", "a\nb\nc\n", "0+0/0+1", "", ""},
        {"insert at end", "a\nb\n", "a\nb\nc\n", "2+0/2+1", "", ""},
        {"delete in the middle", "a\nb\nc\n", "a\nc\n", "1+1/1+0", "", ""},
        {"change in the middle", "a\nbcd\ne\n", "a\nbXd\ne\n", "1+1/1+1", "c", "X"},
        {"change at start and end", "x\nb\ny\n", "X\nb\nY\n", "0+1/0+1 2+1/2+1", "x", "X"},
        {"last line without its end", "a\nb", "a\nb\n", "1+1/1+1", "", "\n"},
        {"CR LF against LF", "a\r\nb\r\n", "a\nb\n", "0+2/0+2", "\r", ""},
        {"lone CR ends a line", "a\rb\r", "a\rc\r", "1+1/1+1", "b", "c"},
        {"Japanese", u8(u8"日本語の文\n次の行\n"), u8(u8"日本人の文\n次の行\n"), "0+1/0+1",
         u8(u8"語").toStdString(), u8(u8"人").toStdString()},
        {"two runs in one line", "abcdef\n", "aXcdeY\n", "0+1/0+1", "b|f", "X|Y"},
        {"kept byte against the character it would be", "a" + kept(0x82) + kept(0xA0) + "\n",
         "a" + u8(u8"あ") + "\n", "0+1/0+1", (kept(0x82) + kept(0xA0)).toStdString(),
         u8(u8"あ").toStdString()},
        {"kept bytes differ", kept(0x81) + "\n", kept(0x82) + "\n", "0+1/0+1",
         kept(0x81).toStdString(), kept(0x82).toStdString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TextComparison result = TextComparison::compare(c.left, c.right);
        EXPECT_EQ(shape(result), c.changes);
        EXPECT_FALSE(result.approximate());
        if (result.changes().empty() || result.changes().front().pairs.empty()) {
            EXPECT_EQ(c.leftChars + c.rightChars, "");
            continue;
        }
        const ChangedLinePair& pair = result.changes().front().pairs.front();
        const auto leftLines = TextComparison::splitLines(c.left);
        const auto rightLines = TextComparison::splitLines(c.right);
        EXPECT_EQ(covered(leftLines[size_t(pair.leftLine)], pair.left), c.leftChars);
        EXPECT_EQ(covered(rightLines[size_t(pair.rightLine)], pair.right), c.rightChars);
    }
}

TEST(TextComparison, PairsTheLinesOfAChangeInOrder) {
    const TextComparison result =
        TextComparison::compare("keep\nold one\nold two\nkeep\n", "keep\nnew one\nkeep\n");
    ASSERT_EQ(result.changes().size(), 1u);
    const TextChange& change = result.changes().front();
    EXPECT_EQ(shape(result), "1+2/1+1");
    ASSERT_EQ(change.pairs.size(), 1u) << "the surplus line of the left has no partner";
    EXPECT_EQ(change.pairs[0].leftLine, 1);
    EXPECT_EQ(change.pairs[0].rightLine, 1);
}

TEST(TextComparison, RepeatedLinesStillLineUp) {
    // Lines that occur many times on both sides ("}") must not pair across a change.
    QByteArray left, right;
    for (int i = 0; i < 50; ++i) {
        left += "f" + QByteArray::number(i) + "() {\n}\n";
        right += "f" + QByteArray::number(i) + (i == 20 ? "(int) {\n}\n" : "() {\n}\n");
    }
    const TextComparison result = TextComparison::compare(left, right);
    EXPECT_EQ(shape(result), "40+1/40+1");
}

TEST(TextComparison, WhollyDifferentLargeTextsAreOneChange) {
    QByteArray left, right;
    for (int i = 0; i < 200000; ++i) {
        left += "left " + QByteArray::number(i) + '\n';
        right += "right " + QByteArray::number(i) + '\n';
    }
    const TextComparison result = TextComparison::compare(left, right);
    EXPECT_EQ(shape(result), "0+200000/0+200000");
}

TEST(TextComparison, LinesBeyondTheLimitAreNotComparedByCharacter) {
    const QByteArray longLine(TextComparison::MaxComparedLineLength + 1, 'a');
    const TextComparison result = TextComparison::compare(longLine + "b\n", longLine + "c\n");
    ASSERT_EQ(result.changes().size(), 1u);
    EXPECT_TRUE(result.changes().front().pairs.front().left.empty());
    EXPECT_TRUE(result.changes().front().pairs.front().right.empty());
}

TEST(TextComparison, ShuffledLinesEndInBoundedTimeAsAnApproximation) {
    // The same lines in another order: nothing unique to take out, a long way for the
    // algorithm. It must give up rather than hang, and say so.
    std::vector<int> order(300000);
    for (int i = 0; i < int(order.size()); ++i)
        order[size_t(i)] = i;
    QByteArray left, right;
    for (int i : order)
        left += QByteArray::number(i % 1000) + '\n';
    for (size_t i = 0; i < order.size(); ++i)
        right += QByteArray::number((order[i] * 7919) % 1000) + '\n';
    const TextComparison result = TextComparison::compare(left, right);
    EXPECT_TRUE(result.approximate());
    ASSERT_FALSE(result.changes().empty());
    // Every line of both sides lies in a change or between them, in order.
    int leftEnd = 0, rightEnd = 0;
    for (const TextChange& c : result.changes()) {
        EXPECT_GE(c.leftFirst, leftEnd);
        EXPECT_EQ(c.leftFirst - leftEnd, c.rightFirst - rightEnd) << "equal stretches pair up";
        leftEnd = c.leftFirst + c.leftCount;
        rightEnd = c.rightFirst + c.rightCount;
    }
    EXPECT_EQ(300000 - leftEnd, 300000 - rightEnd);
}
