#include "platform/IniFile.h"

#include "TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

IniFile iniWith(const QByteArray& contents) {
    IniFile ini;
    ini.setContents(contents);
    return ini;
}

} // namespace

TEST(IniFile, MatchesSectionsAndKeysWithoutRegardToCase) {
    IniFile ini = iniWith("[pos]\r\nsave=1\r\n[ENV]\r\nPcDir = /tmp/x \r\n");
    EXPECT_EQ(ini.readInt("Pos", "Save", 0), 1);
    EXPECT_EQ(ini.readString("Env", "PCDIR", "."), "/tmp/x");
    EXPECT_EQ(ini.readString("Env", "TranDir", "fallback"), "fallback");
    EXPECT_EQ(ini.readInt("Missing", "Save", 7), 7);
}

TEST(IniFile, FirstOfDuplicateKeysWinsAndIsTheOneReplaced) {
    IniFile ini = iniWith("[A]\nK=first\nK=second\n");
    EXPECT_EQ(ini.readString("A", "K", ""), "first");
    ini.writeString("a", "k", "new");
    EXPECT_EQ(ini.contents(), "[A]\nK=new\nK=second\n");
}

TEST(IniFile, IntegersReadByTheirLeadingDigits) {
    IniFile ini = iniWith("[N]\na=42abc\nb=abc\nc=-17\nd= 8\ne=\nf=99999999999\n");
    EXPECT_EQ(ini.readInt("N", "a", 5), 42);
    EXPECT_EQ(ini.readInt("N", "b", 5), 0);
    EXPECT_EQ(ini.readInt("N", "c", 5), 0);
    EXPECT_EQ(ini.readInt("N", "d", 5), 8);
    EXPECT_EQ(ini.readInt("N", "e", 5), 0);
    EXPECT_EQ(ini.readInt("N", "f", 5), INT_MAX);
}

TEST(IniFile, StringsAreCutAt255BytesNeverInsideADoubleByteCharacter) {
    QByteArray ascii(300, 'x');
    QByteArray sjis = QByteArray(254, 'a') + "\x82\xa0"; // a double-byte character at 254..255
    IniFile ini = iniWith("[S]\nlong=" + ascii + "\nkana=" + sjis + "\n");
    EXPECT_EQ(ini.readString("S", "long", ""), QByteArray(255, 'x'));
    EXPECT_EQ(ini.readString("S", "kana", ""), QByteArray(254, 'a'));
    EXPECT_EQ(IniFile::cutAtCharBoundary(QByteArray(253, 'a') + "\x82\xa0"),
              QByteArray(253, 'a') + "\x82\xa0");
}

TEST(IniFile, WritingKeepsEveryLineItDoesNotOwnInPlace) {
    QByteArray original = "; comment first\r\n"
                          "[Pos]\r\n"
                          "Save=0\r\n"
                          "Unknown=keep me\r\n"
                          "\r\n"
                          "[Other]\r\n"
                          "x=1\r\n"
                          "garbage line without equals\r\n";
    IniFile ini = iniWith(original);
    ini.writeInt("Pos", "Save", 1);
    ini.writeInt("Pos", "ToolBar", 0);
    ini.writeString("Env", "PcDir", "/home");
    EXPECT_EQ(ini.contents(), "; comment first\r\n"
                              "[Pos]\r\n"
                              "Save=1\r\n"
                              "Unknown=keep me\r\n"
                              "ToolBar=0\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "x=1\r\n"
                              "garbage line without equals\r\n"
                              "[Env]\r\n"
                              "PcDir=/home\r\n");
}

TEST(IniFile, KeepsTheLineEndsOfTheFile) {
    IniFile lf = iniWith("[A]\nk=1\n");
    lf.writeInt("A", "k", 2);
    EXPECT_EQ(lf.contents(), "[A]\nk=2\n");
    IniFile fresh;
    fresh.writeInt("A", "k", 2);
    EXPECT_EQ(fresh.contents(), "[A]\r\nk=2\r\n");
}

TEST(IniFile, SaveReplacesTheFileAndAFailedSaveChangesNothing) {
    TempDir dir;
    QString path = dir.write(QStringLiteral("Vantorpad.ini"), "[A]\r\nk=1\r\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.load());
    ini.writeInt("A", "k", 2);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(dir.read(QStringLiteral("Vantorpad.ini")), "[A]\r\nk=2\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";

    // A settings file that is really a directory cannot be replaced: an error, nothing touched.
    QDir(dir.path()).mkdir(QStringLiteral("blocked.ini"));
    IniFile blocked(dir.filePath(QStringLiteral("blocked.ini")));
    blocked.writeInt("A", "k", 3);
    QString error;
    EXPECT_FALSE(blocked.save(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("blocked.ini"))).isDir());
}

TEST(IniFile, MissingFileReadsAsEmptyAndBinaryFileDoesNotCrash) {
    TempDir dir;
    IniFile missing(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_TRUE(missing.load());
    EXPECT_EQ(missing.readInt("Pos", "Save", 3), 3);

    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 131 + 7) & 0xFF));
    IniFile garbage(dir.write(QStringLiteral("bin.ini"), binary));
    EXPECT_TRUE(garbage.load());
    EXPECT_EQ(garbage.readInt("NoSuchSection", "Save", 4), 4);
}
