#include "ftp/FtpNames.h"
#include "settings/ServerProfile.h"
#include "transfer/DirectoryHistory.h"
#include "transfer/ServerPaths.h"

#include <gtest/gtest.h>

namespace {

std::array<QString, 10> history(std::initializer_list<const char*> entries) {
    std::array<QString, 10> h;
    int i = 0;
    for (const char* e : entries)
        h[i++] = QString::fromUtf8(e);
    return h;
}

} // namespace

TEST(DirectoryHistory, NewDirectoriesGoOnTopAndKnownOnesAreOnlySelected) {
    DirectoryHistory box;
    box.load(history({"/a", "", "/b"}));
    EXPECT_EQ(box.lines(), QStringList({QStringLiteral("/a"), QStringLiteral("/b")}))
        << "empty entries are skipped";
    EXPECT_EQ(box.put(QStringLiteral("/b")), 1);
    EXPECT_EQ(box.lines().size(), 2) << "a known directory is not added twice";
    EXPECT_EQ(box.currentText(), QStringLiteral("/b"));
    EXPECT_EQ(box.put(QStringLiteral("/c")), 0);
    EXPECT_EQ(box.lines().front(), QStringLiteral("/c"));
    EXPECT_EQ(box.put(QStringLiteral("/B")), 0) << "letter case counts";
    EXPECT_EQ(box.put(QString()), -1);
    EXPECT_EQ(box.currentText(), QStringLiteral("/B")) << "an empty directory changes nothing";
    EXPECT_EQ(box.lines().size(), 4);
}

TEST(DirectoryHistory, HoldsTenAndWritesBackWithEmptyTail) {
    DirectoryHistory box;
    box.load(history({}));
    for (int i = 0; i < 12; ++i)
        box.put(QStringLiteral("/d%1").arg(i));
    ASSERT_EQ(box.lines().size(), 10);
    EXPECT_EQ(box.lines().front(), QStringLiteral("/d11"));
    EXPECT_EQ(box.lines().back(), QStringLiteral("/d2")) << "the oldest dropped out";

    std::array<QString, 10> stored = history({"x", "x", "x", "x", "x", "x", "x", "x", "x", "x"});
    DirectoryHistory small;
    small.load(history({"/one"}));
    small.put(QStringLiteral("/two"));
    small.storeInto(stored);
    EXPECT_EQ(stored, history({"/two", "/one"}));
}

TEST(ServerPaths, ParentDirectory) {
    EXPECT_EQ(ServerPaths::parent(QStringLiteral("/home/u/docs")), QStringLiteral("/home/u"));
    EXPECT_EQ(ServerPaths::parent(QStringLiteral("/home")), QStringLiteral("/"));
    EXPECT_EQ(ServerPaths::parent(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(ServerPaths::parent(QStringLiteral("public_html")), QStringLiteral("public_html"));
    EXPECT_FALSE(ServerPaths::canGoUp(QStringLiteral("/")));
    EXPECT_TRUE(ServerPaths::canGoUp(QStringLiteral("/pub")));
}

TEST(ServerPaths, TreeItemPathsUnderTheRootAndUnderAHomeDirectory) {
    EXPECT_EQ(ServerPaths::treeItemPath(QStringLiteral("/"), {QStringLiteral("pub")}),
              QStringLiteral("/pub"));
    EXPECT_EQ(ServerPaths::treeItemPath(QStringLiteral("/home/u"), {QStringLiteral("docs")}),
              QStringLiteral("/home/u/docs"));
    EXPECT_EQ(ServerPaths::treeItemPath(QStringLiteral("/home/u"),
                                        {QStringLiteral("docs"), QStringLiteral("old")}),
              QStringLiteral("/home/u/docs/old"));
    EXPECT_EQ(ServerPaths::treeItemPath(QStringLiteral("/home/u"), {}), QStringLiteral("/home/u"));
    EXPECT_EQ(ServerPaths::treeItemPath(QStringLiteral("/"), {}), QStringLiteral("/"));
}

TEST(ServerPaths, NamesAndProfileLines) {
    EXPECT_EQ(ServerPaths::lastWord(QStringLiteral("Apr 01 12:00 memo.txt")),
              QStringLiteral("memo.txt"));
    EXPECT_EQ(ServerPaths::lastWord(QStringLiteral("memo.txt")), QStringLiteral("memo.txt"));

    ServerProfile p;
    EXPECT_EQ(ServerPaths::profileBoxLine(3, p), QStringLiteral("NO:3　未　設　定"));
    p.Server = QStringLiteral("ftp.example.jp");
    EXPECT_EQ(ServerPaths::profileBoxLine(0, p), QStringLiteral("NO:0　【ftp.example.jp】"));

    EXPECT_EQ(FtpNames::lowerCaseAscii(QStringLiteral("Index.HTML")), QStringLiteral("index.html"));
    EXPECT_EQ(FtpNames::lowerCaseAscii(QStringLiteral("ＡＢＣ.TXT")), QStringLiteral("ＡＢＣ.txt"))
        << "double-byte letters keep their case";
    EXPECT_FALSE(ServerPaths::differsBeyondLetterCase(QStringLiteral("Index.html"),
                                                      QStringLiteral("index.HTML")));
    EXPECT_TRUE(ServerPaths::differsBeyondLetterCase(QStringLiteral("index.html"),
                                                     QStringLiteral("index2.html")));
}
