#include "editor/ComboHistory.h"
#include "editor/TextSearch.h"

#include <gtest/gtest.h>

namespace {

QStringList numbered(int count) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(QStringLiteral("s%1").arg(i));
    return list;
}

} // namespace

TEST(TextSearch, FindsDownAndUpWithoutWrapping) {
    const QString text = QStringLiteral("abc ABC abcd (a b");
    struct Case {
        const char* needle;
        qsizetype from;
        bool up, wholeWord, matchCase;
        qsizetype expected;
    } cases[] = {
        {"abc", 0, false, false, false, 0},
        {"abc", 1, false, false, false, 4},
        {"abc", 1, false, false, true, 8},
        {"abc", 1, false, true, false, 4},
        {"abc", 5, false, true, true, -1},
        {"abc", 17, false, false, false, -1},
        {"abc", 17, true, false, false, 8},
        {"abc", 17, true, true, false, 4},
        {"abc", 3, true, false, false, 0},
        {"abc", 2, true, false, false, -1},
        {"(a", 0, false, true, false, 13},
        {"b", 0, false, true, false, 16},
        {"abc ABC abcd (a bx", 0, false, false, false, -1},
        {"ABC ABCD", 0, false, true, false, 4},
    };
    for (const Case& c : cases) {
        const TextSearch::Match m = TextSearch::find(text.toUtf8(), QString::fromUtf8(c.needle),
                                                     c.from, {c.up, c.wholeWord, c.matchCase});
        EXPECT_EQ(m.start, c.expected) << c.needle << " from " << c.from << " up " << c.up
                                       << " word " << c.wholeWord << " case " << c.matchCase;
    }
}

TEST(TextSearch, ReplaceAllActsAfterTheStartAndNeverSearchesAReplacement) {
    struct Case {
        const char *text, *needle, *replacement;
        qsizetype from;
        bool wholeWord, matchCase;
        const char* expected;
        qsizetype count;
    } cases[] = {
        {"a a a", "a", "aa", 0, false, false, "aa aa aa", 3},
        {"a a a", "a", "aa", 2, false, false, "a aa aa", 2},
        {"aaa", "aa", "b", 0, false, false, "ba", 1},
        {"xax A", "a", "b", 0, true, false, "xax b", 1},
        {"A a", "a", "b", 0, false, true, "A b", 1},
        // Right after "b" replaced the first "a.", the second no longer starts a word.
        {"a.a.", "a.", "b", 0, true, false, "ba.", 1},
        {"abc", "x", "y", 0, false, false, "abc", 0},
        {"a\nb a\u2029a", "a", "cc", 1, false, false, "a\nb cc\u2029cc", 2},
        // Japanese, full-width and Greek letters by their case; a kept byte is only itself.
        {"日本語と日本", "日本", "ニホン", 0, false, false, "ニホン語とニホン", 2},
        {"ａｂ ＡＢ αΣ ΑΣ", "ＡＢ", "x", 0, false, false, "x x αΣ ΑΣ", 2},
        {"αΣ ΑΣ ασ", "ασ", "x", 0, true, false, "x x x", 3},
        {"\xf4\x8f\xbe\x81"
         "A \xf4\x8f\xbe\x82"
         "A",
         "A", "b", 0, true, true,
         "\xf4\x8f\xbe\x81"
         "b \xf4\x8f\xbe\x82"
         "b",
         2},
        // The Kelvin sign folds as k does.
        {"\u212a k K", "k", "m", 0, false, false, "m m m", 3},
    };
    for (const Case& c : cases) {
        const QByteArray text(c.text);
        const TextSearch::Replaced r = TextSearch::replaceAll(
            text, QString::fromUtf8(c.needle), QString::fromUtf8(c.replacement), c.from,
            {false, c.wholeWord, c.matchCase});
        const QByteArray after = text.left(r.start) + r.text + text.mid(r.end);
        EXPECT_EQ(after, QByteArray(c.expected)) << c.text << " / " << c.needle;
        EXPECT_EQ(r.count, c.count) << c.text << " / " << c.needle;
    }
}

TEST(ComboHistory, AddKeepsTheNewestOnTopAndOnlySelectsAKnownText) {
    struct Case {
        QStringList before;
        QString text;
        QStringList after;
        qsizetype selected;
    } cases[] = {
        {{QStringLiteral("x")}, QString(), {QStringLiteral("x")}, -1},
        {{QStringLiteral("x"), QStringLiteral("abc")},
         QStringLiteral("ABC"),
         {QStringLiteral("x"), QStringLiteral("abc")},
         1},
        {{QStringLiteral("x")}, QStringLiteral("y"), {QStringLiteral("y"), QStringLiteral("x")}, 0},
        {numbered(20), QStringLiteral("new"), QStringList{QStringLiteral("new")} + numbered(19), 0},
        {numbered(20), QStringLiteral("S19"), numbered(20), 19},
    };
    for (Case& c : cases) {
        EXPECT_EQ(ComboHistory::add(c.before, c.text), c.selected) << c.text.toStdString();
        EXPECT_EQ(c.before, c.after) << c.text.toStdString();
    }
}

TEST(ComboHistory, RefillTakesTheFirstTwentyOnceAndSeedsPutTheBoxOrSelectionFirst) {
    const QStringList history =
        QStringList{QStringLiteral("a"), QStringLiteral("A")} + numbered(25);
    EXPECT_EQ(ComboHistory::refill(history), QStringList{QStringLiteral("a")} + numbered(18));

    const QStringList box{QStringLiteral("b1"), QStringLiteral("b2")};
    struct Case {
        QString boxText, selection;
        QStringList history;
        bool preselect;
    } cases[] = {
        {QStringLiteral("f"), QStringLiteral("s"), QStringList{QStringLiteral("f")} + box, true},
        {QString(), QStringLiteral("s1\u2029s2"), QStringList{QStringLiteral("s1")} + box, true},
        {QString(), QString(), box, false},
    };
    for (const Case& c : cases) {
        const ComboHistory::Seed seed = ComboHistory::seed(c.boxText, c.selection, box);
        EXPECT_EQ(seed.history, c.history);
        EXPECT_EQ(seed.preselect, c.preselect);
    }
    EXPECT_EQ(ComboHistory::firstLine(QStringLiteral("a\tb\r\nc")), QStringLiteral("a\tb"));
}
