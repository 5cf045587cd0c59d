#include "grid/GridClipboardText.h"

#include <gtest/gtest.h>

namespace {

using GridClipboardText::PastedLine;

std::vector<PastedLine> split(const QString& text, qsizetype maxLines = 100,
                              qsizetype maxFields = 100) {
    return GridClipboardText::split(text, maxLines, maxFields);
}

PastedLine line(std::initializer_list<const char*> fields) {
    PastedLine out;
    for (const char* f : fields)
        out.append(QString::fromUtf8(f));
    return out;
}

struct SplitCase {
    const char* name;
    QString text;
    std::vector<PastedLine> expected;
};

class PasteSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PasteSplit, CutsLinesAndFields) {
    EXPECT_EQ(split(GetParam().text), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PasteSplit,
    ::testing::Values(
        // Text without a TAB: commas separate and fields are trimmed.
        SplitCase{"comma", QStringLiteral("x,y"), {line({"x", "y"})}},
        SplitCase{"trim", QStringLiteral(" a , b \r\nc"), {line({"a", "b"}), line({"c"})}},
        // Text with a TAB is the grid's own copy: commas, spaces and a lone CR stay.
        SplitCase{"tabs keep commas",
                  QStringLiteral("Tokyo, Japan\t 10\r\nx\ty"),
                  {line({"Tokyo, Japan", " 10"}), line({"x", "y"})}},
        SplitCase{"inner CR stays", QStringLiteral("a\rb\tc"), {line({"a\rb", "c"})}},
        // A trailing separator clears nothing; an empty line takes a row and writes nothing;
        // an empty field inside a line is written.
        SplitCase{"trailing separator",
                  QStringLiteral("a\t\n\nb\t\tc"),
                  {line({"a"}), line({}), line({"b", "", "c"})}},
        SplitCase{"trailing comma", QStringLiteral("a,"), {line({"a"})}},
        SplitCase{"empty", QString(), {line({})}}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(PasteSplit, StopsAtTheGridsSize) {
    const auto lines = split(QStringLiteral("a\tb\tc\nd\te\tf\ng\th\ti"), 2, 2);
    EXPECT_EQ(lines, (std::vector<PastedLine>{line({"a", "b"}), line({"d", "e"})}));
}

TEST(CopyText, JoinsByTabAndLfLeavingUnselectedCellsEmpty) {
    const std::vector<int> rows{1, 3};
    const std::vector<int> columns{2, 4, 5};
    const QString text = GridClipboardText::build(
        rows, columns, [](int r, int c) { return !(r == 3 && c == 4); },
        [](int r, int c) { return QStringLiteral("%1.%2").arg(r).arg(c); });
    EXPECT_EQ(text, QStringLiteral("1.2\t1.4\t1.5\n3.2\t\t3.5"));
}

TEST(CopyText, PastesBackExactly) {
    const QString cells[2][2] = {{QStringLiteral("Tokyo, Japan"), QStringLiteral(" 10")},
                                 {QString(), QStringLiteral("a b")}};
    const QString text = GridClipboardText::build(
        {0, 1}, {0, 1}, [](int, int) { return true; }, [&](int r, int c) { return cells[r][c]; });
    const auto lines = split(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (PastedLine{cells[0][0], cells[0][1]}));
    EXPECT_EQ(lines[1], (PastedLine{cells[1][0], cells[1][1]}));
}

} // namespace
