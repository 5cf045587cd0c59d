#include "platform/IniFile.h"

#include "TempDir.h"

#include <QDir>
#include <QFile>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

fs::perms modeOf(const QString& path) {
    return fs::status(path.toStdString()).permissions() & fs::perms::mask;
}

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
    EXPECT_TRUE(ini.writeString("a", "k", "new").ok());
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
    EXPECT_TRUE(ini.writeString("Env", "PcDir", "/home").ok());
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

TEST(IniFile, EveryLineKeepsItsOwnLineEndAndNewLinesTakeTheCommonOne) {
    struct Case {
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        // One CR LF line among LF lines turns nothing else into CR LF.
        {"[A]\r\nk=1\n[B]\nx=1\n", "[A]\r\nk=2\nn=3\n[B]\nx=1\n"},
        {"[A]\nk=1\r\n[B]\r\nx=1\r\n", "[A]\nk=2\r\nn=3\r\n[B]\r\nx=1\r\n"},
        // A last line without a line end gets one only when a line follows it.
        {"[A]\nk=1", "[A]\nk=2\nn=3\n"},
        {"[B]\nx=1", "[B]\nx=1\n[A]\nk=2\nn=3\n"},
    };
    for (const Case& c : cases) {
        IniFile ini = iniWith(c.before);
        EXPECT_EQ(ini.contents(), c.before) << "read and written unchanged";
        ini.writeInt("A", "k", 2);
        ini.writeInt("A", "n", 3);
        EXPECT_EQ(ini.contents(), c.after) << c.before.constData();
    }
}

TEST(IniFile, ByteOrderMarkIsSkippedWhenReadingAndWrittenBack) {
    IniFile ini = iniWith("\xEF\xBB\xBF[Pos]\r\nSave=1\r\n");
    EXPECT_EQ(ini.readInt("Pos", "Save", 7), 1);
    ini.writeInt("Pos", "Save", 0);
    EXPECT_EQ(ini.contents(), "\xEF\xBB\xBF[Pos]\r\nSave=0\r\n");
}

TEST(IniFile, EveryValueReadsBackAsWrittenAndOnlyThoseTheReaderWouldChangeAreQuoted) {
    struct Case {
        QByteArray value;
        bool quoted;
    };
    const Case cases[] = {
        {" pw ", true},       {"\"\"dq\"\"", true}, {"\"dq\"", true},         {"'sq'", true},
        {"\tTab\t", true},    {"  ", true},         {"\"\"", true},           {"\"", false},
        {"\"half", false},    {"tail'", false},     {"\"mixed'", false},      {"in\tside", false},
        {"a = \"b\"", false}, {"", false},          {"\x82\xa0 kana", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.constData());
        for (const QByteArray& existing : {QByteArray(), QByteArray("[S]\r\nK=old\r\n")}) {
            IniFile ini = iniWith(existing);
            ASSERT_TRUE(ini.writeString("S", "K", c.value).ok());
            const QByteArray stored = c.quoted ? '"' + c.value + '"' : c.value;
            EXPECT_EQ(ini.contents(), "[S]\r\nK=" + stored + "\r\n");
            // Read back from the bytes, as the next start does, and written again unchanged.
            IniFile next = iniWith(ini.contents());
            EXPECT_EQ(next.readString("S", "K", "fallback"), c.value);
            ASSERT_TRUE(next.writeString("S", "K", next.readString("S", "K", "")).ok());
            EXPECT_EQ(next.contents(), ini.contents());
        }
    }
}

TEST(IniFile, ALineThatAlreadyReadsAsTheValueKeepsItsBlanksAndQuotes) {
    const QByteArray original = "[S]\nA = plain \nB=\"quoted\"\nC=' pw '\n";
    IniFile ini = iniWith(original);
    ASSERT_TRUE(ini.writeString("S", "A", "plain").ok());
    ASSERT_TRUE(ini.writeString("S", "B", "quoted").ok());
    ASSERT_TRUE(ini.writeString("S", "C", " pw ").ok());
    EXPECT_EQ(ini.contents(), original);
    ASSERT_TRUE(ini.writeString("S", "B", "other").ok());
    EXPECT_EQ(ini.contents(), "[S]\nA = plain \nB=other\nC=' pw '\n");
}

TEST(IniFile, ValueWithALineBreakIsRefusedAndChangesNothing) {
    const QByteArray original = "[Server00]\r\nPasswd=old\r\n";
    for (QByteArray value : {"x\r\n[Server01]", "x\n", "\rx"}) {
        IniFile ini = iniWith(original);
        EXPECT_FALSE(ini.writeString("Server00", "Passwd", value).ok());
        EXPECT_FALSE(ini.writeString("Env", "PcDir", value).ok()) << "nor as a new key";
        EXPECT_EQ(ini.contents(), original);
    }
}

TEST(IniFile, NewFileIsForItsOwnerOnlyAndAnExistingOneKeepsItsMode) {
    TempDir dir;
    IniFile fresh(dir.filePath(QStringLiteral("new.ini")));
    fresh.writeInt("A", "k", 1);
    ASSERT_TRUE(fresh.save().ok());
    EXPECT_EQ(modeOf(fresh.path()), fs::perms::owner_read | fs::perms::owner_write);

    const QString shared = dir.write(QStringLiteral("shared.ini"), "[A]\r\nk=1\r\n");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::others_read;
    fs::permissions(shared.toStdString(), mode);
    IniFile existing(shared);
    ASSERT_TRUE(existing.load().ok());
    existing.writeInt("A", "k", 2);
    ASSERT_TRUE(existing.save().ok());
    EXPECT_EQ(modeOf(shared), mode);
}

TEST(IniFile, SaveReplacesTheFileAndAFailedSaveChangesNothing) {
    TempDir dir;
    QString path = dir.write(QStringLiteral("Vantorpad.ini"), "[A]\r\nk=1\r\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.load().ok());
    ini.writeInt("A", "k", 2);
    ASSERT_TRUE(ini.save().ok());
    EXPECT_EQ(dir.read(QStringLiteral("Vantorpad.ini")), "[A]\r\nk=2\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";

    // A settings file that is really a directory cannot be replaced: an error, nothing touched.
    QDir(dir.path()).mkdir(QStringLiteral("blocked.ini"));
    IniFile blocked(dir.filePath(QStringLiteral("blocked.ini")));
    blocked.writeInt("A", "k", 3);
    const Result<> saved = blocked.save();
    EXPECT_EQ(saved.status(), ResultStatus::Failed);
    EXPECT_FALSE(saved.message().isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("blocked.ini"))).isDir());
}

TEST(IniFile, MissingFileReadsAsEmptyAndBinaryFileDoesNotCrash) {
    TempDir dir;
    IniFile missing(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_TRUE(missing.load().ok());
    EXPECT_EQ(missing.readInt("Pos", "Save", 3), 3);

    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 131 + 7) & 0xFF));
    IniFile garbage(dir.write(QStringLiteral("bin.ini"), binary));
    EXPECT_TRUE(garbage.load().ok());
    EXPECT_EQ(garbage.readInt("NoSuchSection", "Save", 4), 4);
}
