#include "editor/KeywordMatcher.h"
#include "editor/UrlDetector.h"

#include <gtest/gtest.h>

TEST(KeywordMatcher, CaseInsensitiveInsideWordsInApplicationOrder) {
    const QString text = QStringLiteral("if DIFFERENT If\nendif");
    const QList<KeywordMatch> m = findKeywordMatches(
        text, {QStringLiteral("if"), QString(), QStringLiteral("end")}, {QStringLiteral("DIFF")});
    EXPECT_EQ(m, (QList<KeywordMatch>{
                     {0, 2, 0}, {4, 2, 0}, {13, 2, 0}, {19, 2, 0}, {16, 3, 0}, {3, 4, 1}}));
    EXPECT_TRUE(findKeywordMatches(text, {QString(), QString()}, {}).isEmpty());
}

TEST(KeywordMatcher, DoubleByteKeywordsBackToBackAndNoOverlapWithinAKeyword) {
    const QString text = QStringLiteral("日本日本日 ｶﾅｶﾅ aaa");
    const QList<KeywordMatch> m = findKeywordMatches(
        text, {QStringLiteral("日本"), QStringLiteral("ｶﾅ"), QStringLiteral("aa")}, {});
    EXPECT_EQ(m, (QList<KeywordMatch>{{0, 2, 0}, {2, 2, 0}, {6, 2, 0}, {8, 2, 0}, {11, 2, 0}}));
    EXPECT_EQ(foldCaseKeepingPositions(QStringLiteral("ÄBc😀")), QStringLiteral("äbc😀"));
}

TEST(UrlDetector, FindsSchemesAndWwwWithoutClosingPunctuation) {
    const QString line =
        QStringLiteral("see http://example.com/a?b=1. and (www.x.jp) mailto:a@b.c");
    const QList<UrlSpan> urls = findUrls(line);
    ASSERT_EQ(urls.size(), 3);
    EXPECT_EQ(line.mid(urls[0].start, urls[0].length), QStringLiteral("http://example.com/a?b=1"));
    EXPECT_EQ(line.mid(urls[1].start, urls[1].length), QStringLiteral("www.x.jp"));
    EXPECT_EQ(line.mid(urls[2].start, urls[2].length), QStringLiteral("mailto:a@b.c"));
    EXPECT_EQ(findUrlAt(line, 10), urls[0]);
    EXPECT_FALSE(findUrlAt(line, 2).isValid());
    EXPECT_TRUE(findUrls(QStringLiteral("xhttp://a http:// 「https://日本」")).isEmpty());
}

TEST(UrlDetector, OnlyWebFtpAndMailLinksOpenWithoutAQuestion) {
    const struct {
        const char* text;
        bool straight;
    } cases[] = {
        {"http://a.jp/x", true},  {"HTTPS://a.jp", true},      {"www.a.jp", true},
        {"ftp://h/f.txt", true},  {"mailto:a@b.jp", true},     {"file:///etc/passwd", false},
        {"telnet://host", false}, {"news:comp.lang.c", false}, {"gopher://h", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(opensWithoutQuestion(linkTarget(QString::fromLatin1(c.text))), c.straight)
            << c.text;
}
