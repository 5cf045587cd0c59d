#include "ftp/ListingParser.h"
#include "ftp/ListingStream.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

const QDateTime Now(QDate(2024, 3, 10), QTime(12, 0));

ListedEntry listLine(const QByteArray& line, const QDateTime& now = Now) {
    auto entry = ListingParser(now).parseListLine(line);
    EXPECT_TRUE(entry.has_value()) << line.toStdString();
    return entry.value_or(ListedEntry());
}

// Runs a test body with the local time zone set to Tokyo (UTC+9), restoring the previous one.
class TokyoTime {
public:
    TokyoTime() : m_previous(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", "Asia/Tokyo");
        tzset();
    }
    ~TokyoTime() {
        if (m_had)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_previous;
    bool m_had;
};

} // namespace

TEST(ListingParser, UnixLinesOfSeveralServers) {
    ListedEntry dir =
        listLine("drwxr-xr-x    2 1000     1000         4096 Mar 05 14:07 public_html");
    EXPECT_EQ(dir.name, "public_html");
    EXPECT_TRUE(dir.directory);
    EXPECT_EQ(dir.size, 0);
    EXPECT_EQ(dir.modified, (ListedTime{2024, 3, 5, 14, 7}));
    EXPECT_EQ(dir.attributes, ListedEntry::Directory);

    ListedEntry file =
        listLine("-rw-r--r--    1 ftp      ftp        1048576 Jan 15  2023 index.html");
    EXPECT_FALSE(file.directory);
    EXPECT_EQ(file.size, 1048576);
    EXPECT_EQ(file.modified, (ListedTime{2023, 1, 15, 0, 0}));
    EXPECT_EQ(file.attributes, ListedEntry::Normal);

    EXPECT_EQ(listLine("-rw-r--r--   1 ftp ftp   10 Dec 31 23:59 name with  two  spaces.txt ").name,
              "name with  two  spaces.txt ");
    EXPECT_EQ(listLine("lrwxrwxrwx    1 0 0 11 Mar 05 14:07 link to -> public_html").name,
              "link to");
    EXPECT_EQ(listLine("-rw-r--r--   1 user staff 3000000000 Jul  4  2022 big.iso").size,
              3000000000LL);
    EXPECT_EQ(listLine("-rw-r--r-- 1 owner 99 Apr  1 12:00 nogroup.txt").name, "nogroup.txt");
    EXPECT_EQ(listLine("-rw-r--r--+ 1 o g 5 Apr  1 12:00 acl.txt").name, "acl.txt");
    // A name that itself looks like a date does not move the columns.
    EXPECT_EQ(listLine("-rw-r--r-- 1 o g 5 Apr  1 12:00 Jan 12 2020 notes").name,
              "Jan 12 2020 notes");
    ListedEntry iso = listLine("-rw-r--r--  1 user  group  10 2024-03-05 14:07 iso.txt");
    EXPECT_EQ(iso.name, "iso.txt");
    EXPECT_EQ(iso.modified, (ListedTime{2024, 3, 5, 14, 7}));

    // No write permission for the owner, or a name that begins with a dot, sets further bits.
    EXPECT_EQ(listLine("dr-xr-xr-x 2 root root 4096 Jun  1  2020 pub").attributes,
              ListedEntry::Directory | ListedEntry::ReadOnly);
    EXPECT_EQ(listLine("-rw-r--r-- 1 u g 1 Jun  1  2020 .profile").attributes, ListedEntry::Hidden);
}

TEST(ListingParser, DatesWithoutAYearAreTheMostRecentOnesNotInTheFuture) {
    EXPECT_EQ(listLine("-rw-r--r-- 1 u g 1 Mar 10 12:00 now").modified.year, 2024);
    EXPECT_EQ(listLine("-rw-r--r-- 1 u g 1 Mar 10 12:01 soon").modified.year, 2023);
    EXPECT_EQ(listLine("-rw-r--r-- 1 u g 1 Dec 31 23:59 eve").modified.year, 2023);
    EXPECT_EQ(listLine("-rw-r--r-- 1 u g 1 Feb 29 10:00 leap").modified,
              (ListedTime{2024, 2, 29, 10, 0}));
    const QDateTime march2023(QDate(2023, 3, 1), QTime(0, 0));
    EXPECT_EQ(listLine("-rw-r--r-- 1 u g 1 Feb 29 10:00 leap", march2023).modified,
              (ListedTime{2020, 2, 29, 10, 0}));
}

TEST(ListingParser, DosAndWindowsLines) {
    ListedEntry dir = listLine("03-05-24  02:07PM       <DIR>          Public Folder");
    EXPECT_TRUE(dir.directory);
    EXPECT_EQ(dir.name, "Public Folder");
    EXPECT_EQ(dir.modified, (ListedTime{2024, 3, 5, 14, 7}));
    ListedEntry file = listLine("01-15-2023  12:30AM                  123 index.htm");
    EXPECT_EQ(file.size, 123);
    EXPECT_EQ(file.modified, (ListedTime{2023, 1, 15, 0, 30}));
    EXPECT_EQ(listLine("12-31-99  23:59                 5 y2k.txt").modified,
              (ListedTime{1999, 12, 31, 23, 59}));
}

TEST(ListingParser, MlsdFactsAndTimesInUtc) {
    TokyoTime tokyo;
    const QByteArray data =
        "type=cdir;modify=20240305140700; /home/user\r\n"
        "type=pdir;modify=20240305140700; ..\r\n"
        "type=dir;modify=20240305140700;perm=flcdmpe; public_html\r\n"
        "type=file;size=123;modify=20240305140700.123;perm=adfrw; index.html\r\n"
        "Type=File;Size=5;Modify=20240102030405; a; semi;colon name\r\n"
        "type=OS.unix=slink:/x;size=1; link\r\n"
        "type=file;size=9;perm=r; locked.txt\r\n"
        "no facts here\r\n"
        "\r\n";
    std::vector<ListedEntry> entries = ListingParser(Now).parseMlsd(data);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].name, "public_html");
    EXPECT_TRUE(entries[0].directory);
    // 14:07 UTC is 23:07 in Tokyo.
    EXPECT_EQ(entries[0].modified, (ListedTime{2024, 3, 5, 23, 7}));
    EXPECT_EQ(entries[1].name, "index.html");
    EXPECT_EQ(entries[1].size, 123);
    EXPECT_EQ(entries[2].name, "a; semi;colon name");
    EXPECT_EQ(entries[2].size, 5);
    EXPECT_EQ(entries[3].name, "link");
    EXPECT_FALSE(entries[3].directory);
    EXPECT_FALSE(entries[3].modified.isValid());
    EXPECT_EQ(entries[4].attributes, ListedEntry::ReadOnly);
}

TEST(ListingParser, LinesOfNoKnownFormatAreSkippedOrKeptWhole) {
    const QByteArray data = "total 12\r\n"
                            "garbage line\r\n"
                            "-rw-r--r-- 1 u g 10 Foo 12 12:00 badmonth\r\n"
                            "-rw-r--r-- 1 u g 10 Jan 12 12:00\r\n"
                            "ls: x: No such file or directory\r\n"
                            "-rw-r--r-- 1 u g 10 Jan 12 12:00 good.txt\r\n"
                            "\xff\xfe\x01\x02\r\n";
    ListingParser parser(Now);
    std::vector<ListedEntry> strict = parser.parseList(data, false);
    ASSERT_EQ(strict.size(), 1u);
    EXPECT_EQ(strict[0].name, "good.txt");

    std::vector<ListedEntry> kept = parser.parseList(data, true);
    ASSERT_EQ(kept.size(), 6u);
    EXPECT_EQ(kept[0].name, "garbage line");
    EXPECT_FALSE(kept[0].recognised);
    EXPECT_EQ(kept[4].name, "good.txt");
    EXPECT_TRUE(kept[4].recognised);
    EXPECT_EQ(kept[5].name, "\xff\xfe\x01\x02");
}

TEST(ListingStream, LinesLongerThanAnyEntryNeedsAreDroppedWhicheverWayTheyArrive) {
    const QByteArray good = "-rw-r--r-- 1 u g 10 Jan 12 12:00 good.txt\r\n";
    const QByteArray endless(ListingStream::MaxLineBytes + 1, 'x');
    const QByteArray data = good + endless + "\r\n" + endless + ' ' + endless + "\n" + good;
    for (qsizetype chunk : {qsizetype(7), qsizetype(4096), data.size()}) {
        SCOPED_TRACE(chunk);
        ListingStream stream(false, true, ListingParser(Now));
        for (qsizetype at = 0; at < data.size(); at += chunk)
            stream.feed(data.constData() + at, qMin(chunk, data.size() - at));
        std::vector<ListedEntry> entries = stream.finish();
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].name, "good.txt");
        EXPECT_EQ(entries[1].name, "good.txt");
        EXPECT_EQ(stream.droppedLines(), 2);
    }
}
