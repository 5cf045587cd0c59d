#include "settings/RecentFileList.h"
#include "settings/ProfileTable.h"
#include "settings/ServerProfile.h"

#include <gtest/gtest.h>

namespace {

ProfileTable profiles() {
    ProfileTable table;
    table[0].Server = QStringLiteral("ftp.example.jp");
    table[0].User = QStringLiteral("u");
    table[2].Server = QStringLiteral("fe80::1"); // an address with colons of its own
    table[2].User = QStringLiteral("u");
    table[3] = table[0];
    return table;
}

} // namespace

TEST(RecentServerFile, TextAndParseAreInverseForEveryShapeOfPath) {
    const struct {
        RecentServerFile file;
        const char* text;
    } cases[] = {
        {{0, QStringLiteral("ftp.example.jp"), QStringLiteral("/www"), QStringLiteral("a.html")},
         "NO:0 ftp.example.jp:/www/a.html"},
        {{0, QStringLiteral("ftp.example.jp"), QStringLiteral("/"), QStringLiteral("a.txt")},
         "NO:0 ftp.example.jp:/a.txt"},
        {{2, QStringLiteral("fe80::1"), QStringLiteral("/日本語"), QStringLiteral("ファイル.txt")},
         "NO:2 fe80::1:/日本語/ファイル.txt"},
        {{0, QStringLiteral("ftp.example.jp"), QStringLiteral("public_html"),
          QStringLiteral("b c.txt")},
         "NO:0 ftp.example.jp:public_html/b c.txt"},
        // The server the number named when the entry was written, which it no longer names.
        {{4, QStringLiteral("old.example.jp"), QStringLiteral("/x:y"), QStringLiteral("z")},
         "NO:4 old.example.jp:/x:y/z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.file.text(), QString::fromUtf8(c.text));
        EXPECT_EQ(RecentServerFile::parse(QString::fromUtf8(c.text), profiles()), c.file);
    }
}

TEST(RecentServerFile, LocalPathsAndBrokenEntriesAreNoServerFiles) {
    for (const char* text :
         {"/home/u/NO:0 a:/b", "NO:5 ftp.example.jp:/a", "NO:x ftp:/a", "NO:0ftp.example.jp:/a",
          "NO:0 ftp.example.jp:/www/", "NO:0 ", "NO:12 ftp.example.jp:/a"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(RecentServerFile::parse(QString::fromUtf8(text), profiles()));
    }
}

TEST(RecentServerFile, ADocumentIsFiledUnderTheProfileItWasOpenedWith) {
    ServerProfile opened = profiles()[0];
    opened.Dir = QStringLiteral("/www");
    const QString name = QStringLiteral("a.html");
    // Two profiles log on alike: the one the server windows used last wins, else the first.
    EXPECT_EQ(RecentServerFile::of(opened, name, profiles(), 3)->profile, 3);
    EXPECT_EQ(RecentServerFile::of(opened, name, profiles(), 2)->profile, 0);
    EXPECT_EQ(RecentServerFile::of(opened, name, profiles(), 0)->directory, QStringLiteral("/www"));
    opened.User = QStringLiteral("someone else");
    EXPECT_FALSE(RecentServerFile::of(opened, name, profiles(), 0));
}

TEST(RecentFileList, ServerFilesAndLocalFilesShareTheListNewestFirst) {
    RecentFileList list;
    const RecentServerFile server{0, QStringLiteral("ftp.example.jp"), QStringLiteral("/"),
                                  QStringLiteral("a.txt")};
    list.add(QStringLiteral("/tmp/one.txt"));
    list.add(server);
    list.add(QStringLiteral("/tmp/two.txt"));
    list.add(server);
    EXPECT_EQ(list.files(), (QStringList{server.text(), QStringLiteral("/tmp/two.txt"),
                                         QStringLiteral("/tmp/one.txt")}));
}
