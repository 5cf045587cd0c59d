#include "editor/Insertions.h"
#include "editor/InsertionDialogs.h"

#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QStringList u8List(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list.append(u8(t));
    return list;
}

} // namespace

TEST(Insertions, DateAndTimeEntriesForOneMoment) {
    const QDateTime monday(QDate(2026, 12, 7), QTime(9, 5, 3));
    EXPECT_EQ(Insertions::dateTimeEntries(monday),
              u8List({"2026/12/07", "26/12/07", "2026/12/7", "2026-12-07", "2026年12月7日",
                      "2026年12月7日 月曜日", "2026年12月07日", "令和8年12月7日", "R8/12/07",
                      "9:05:03", "09:05:03", "午前 9:05:03", "9時05分03秒"}));
    // Equal texts come once; the first year of an era is 元年; the day before a new era.
    const QStringList late =
        Insertions::dateTimeEntries(QDateTime(QDate(2026, 12, 17), QTime(23, 0)));
    EXPECT_EQ(late.count(u8("2026/12/17")), 1);
    EXPECT_TRUE(late.contains(u8("23:00:00")) && !late.contains(u8("023:00:00")));
    EXPECT_TRUE(Insertions::dateTimeEntries(QDateTime(QDate(2019, 5, 1), QTime()))
                    .contains(u8("令和元年5月1日")));
    EXPECT_TRUE(Insertions::dateTimeEntries(QDateTime(QDate(2019, 4, 30), QTime()))
                    .contains(u8("H31/04/30")));
}

TEST(Insertions, SpecialStringsAndInsertedFilesAreReadAsDocuments) {
    EXPECT_EQ(Insertions::specialStrings("A\r\n\r\nB\ra\n" + QByteArray(300, 'x')),
              QStringList({u8("A"), u8("B"), QString(300, u'x')}));
    TempDir dir;
    dir.write(QStringLiteral("KeyString.txt"), "fallback\n");
    // A StringFile that is a directory, missing or binary falls back to KeyString.txt.
    for (const QString& stringFile : {dir.path(), dir.filePath(QStringLiteral("missing.txt")),
                                      dir.write(QStringLiteral("bin"), QByteArray("a\0b", 3))})
        EXPECT_EQ(Insertions::readSpecialStrings(stringFile, dir.path()), u8List({"fallback"}));
    EXPECT_TRUE(
        Insertions::readSpecialStrings(QString(), QStringLiteral("/nonexistent")).isEmpty());

    // Every kind of line end ends a line; empty lines are counted, not inserted; a kept byte
    // stays one.
    struct Case {
        const char* file;
        const char* inserted;
        int count;
    } cases[] = {
        {"x\r\n\r\ny\r\n", "x\r\ny\r\n", 3},
        {"x\n\ny", "x\r\ny\r\n", 3},
        {"\x82\xa0\rb\x81", "\xe3\x81\x82\r\nb\xf4\x8f\xbe\x81\r\n", 2},
        {"\xe6\x97\xa5\xe2\x80\xa9\xef\xb7\x90z", "\xe6\x97\xa5\r\nz\r\n", 3},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        const std::optional<Insertions::FileLines> lines =
            Insertions::textFileLines(dir.write(QStringLiteral("x.txt"), c.file), "\r\n");
        ASSERT_TRUE(lines);
        EXPECT_EQ(lines->utf8, QByteArray(c.inserted)) << c.file;
        EXPECT_EQ(lines->count, c.count) << c.file;
    }
    EXPECT_FALSE(Insertions::textFileLines(dir.filePath(QStringLiteral("missing")), "\n"));
}

TEST(Insertions, JumpFieldTakesWholeNumbersInRange) {
    for (const char* bad : {"", "abc", "0", "-1", "10000000", "1.5"})
        EXPECT_FALSE(Insertions::jumpTarget(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(Insertions::jumpTarget(QStringLiteral(" 9999999 ")), 9999999);

    ScriptedPrompt prompt;
    CJumpLine dialog(10);
    dialog.findChild<QLineEdit*>(QStringLiteral("Line"))->setText(QStringLiteral("0"));
    dialog.accept();
    EXPECT_EQ(prompt.texts(), QStringList{Insertions::jumpRangeMessage()});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.findChild<QLineEdit*>(QStringLiteral("Line"))->setText(QStringLiteral("3"));
    dialog.accept();
    EXPECT_EQ(dialog.line(), 3);
}

TEST(Insertions, KeywordEditsStoreCapitalsAndDateListOffersTheChosenText) {
    CKeyWordSet::Keywords set1{}, set2{};
    set2[9] = QStringLiteral("KEEP");
    CKeyWordSet keywords(set1, set2);
    QTest::keyClicks(keywords.findChild<QLineEdit*>(QStringLiteral("Key1_0")),
                     QStringLiteral("select"));
    EXPECT_EQ(keywords.set1()[0], QStringLiteral("SELECT"));
    EXPECT_EQ(keywords.set2()[9], QStringLiteral("KEEP"));

    CDateDialog list(CDateDialog::SpecialStrings, u8List({"one", "two"}));
    list.findChild<QListWidget*>(QStringLiteral("Entries"))->setCurrentRow(1);
    list.accept();
    EXPECT_EQ(list.chosen(), QStringLiteral("two"));
}
