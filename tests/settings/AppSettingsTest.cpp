#include "settings/AppSettings.h"
#include "platform/IniFile.h"
#include "settings/RecentFileList.h"
#include "settings/ServerProfile.h"
#include "widgets/EditorAppearance.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

AppSettings loadFrom(const QByteArray& ini) {
    IniFile file;
    file.setContents(ini);
    AppSettings settings;
    settings.load(file);
    return settings;
}

QByteArray storeOf(const AppSettings& settings, const QByteArray& existing = {}) {
    IniFile file;
    file.setContents(existing);
    EXPECT_EQ(settings.store(file), QStringList());
    return file.contents();
}

} // namespace

TEST(AppSettings, MissingFileGivesTheDocumentedDefaults) {
    AppSettings s = loadFrom({});
    EXPECT_EQ(s, AppSettings());
    EXPECT_EQ(s.Right, 750);
    EXPECT_EQ(s.Bottom, 530);
    EXPECT_EQ(s.FontName, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(s.Title[4], QStringLiteral("全てのﾌｧｲﾙ"));
    EXPECT_EQ(s.Icon[12], 3);
    EXPECT_EQ(s.Profiles[3].Port, 21);
    EXPECT_EQ(s.Profiles[3].SvDel, 1);
}

TEST(AppSettings, TranDirFallsBackToThePcDirJustRead) {
    AppSettings s = loadFrom("[Env]\r\nPcDir=/srv/work\r\n");
    EXPECT_EQ(s.PcDir, QStringLiteral("/srv/work"));
    EXPECT_EQ(s.TranDir, QStringLiteral("/srv/work"));
    AppSettings both = loadFrom("[Env]\r\nPcDir=/a\r\nTranDir=/b\r\n");
    EXPECT_EQ(both.TranDir, QStringLiteral("/b"));
}

TEST(AppSettings, MissingProfileSectionReadsAsLiteralDefaultsNotTheHeldValues) {
    AppSettings s;
    s.Profiles[2].Server = QStringLiteral("old.example");
    s.Profiles[2].Port = 2121;
    s.Profiles[2].Update = 0;
    IniFile file;
    file.setContents("[Server00]\r\nServer=ftp.example\r\nCode=1\r\n");
    s.load(file);
    EXPECT_EQ(s.Profiles[0].Server, QStringLiteral("ftp.example"));
    EXPECT_EQ(s.Profiles[0].Code, 1);
    EXPECT_EQ(s.Profiles[2], ServerProfile());
}

TEST(AppSettings, SearchHistoryRules) {
    AppSettings many;
    for (int i = 0; i < 25; ++i)
        many.SearchHistory.append(QStringLiteral("語%1").arg(i));
    AppSettings back = loadFrom(storeOf(many));
    EXPECT_EQ(back.SearchHistory, many.SearchHistory.mid(0, 20));

    AppSettings three;
    three.SearchHistory = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QByteArray written = storeOf(three);
    EXPECT_TRUE(written.contains("02=c\r\n03=\r\n"));
    EXPECT_TRUE(written.contains("19=\r\n"));
    EXPECT_FALSE(written.contains("20="));
    EXPECT_EQ(loadFrom(written).SearchHistory, three.SearchHistory);

    AppSettings gap = loadFrom("[Search]\r\n00=x\r\n01=\r\n02=y\r\n");
    EXPECT_EQ(gap.SearchHistory, QStringList{QStringLiteral("x")});
}

TEST(AppSettings, FullRoundTripKeepsEveryValueAndForeignLines) {
    AppSettings s;
    s.Save = 1;
    s.Left = 10;
    s.PcDir = QStringLiteral("/home/ユーザ");
    s.TranDir = QStringLiteral("/tmp/転送");
    s.FontName = QStringLiteral("IPAGothic");
    s.Ext[5] = QStringLiteral(".txt");
    s.Icon[5] = 1;
    s.DefaultNo = 3;
    s.Profiles[3].Server = QStringLiteral("ftp.example.jp");
    s.Profiles[3].Passwd = QStringLiteral("secret");
    s.Profiles[3].HisDir[9] = QStringLiteral("/var/www/日本語");
    s.Network.Proxy = 2;
    s.Network.Name = QStringLiteral("proxy:8080");
    s.Key2[9] = QStringLiteral("キーワード");
    s.SearchHistory = {QStringLiteral("検索")};

    QByteArray existing = "[Pos]\r\nUnknownKey=stays\r\n[Mine]\r\nforeign=1\r\n";
    QByteArray written = storeOf(s, existing);
    EXPECT_TRUE(written.contains("UnknownKey=stays"));
    EXPECT_TRUE(written.contains("[Mine]\r\nforeign=1\r\n"));
    // Japanese text is written in CP932 (キーワード).
    EXPECT_TRUE(written.contains("Key2[9]=\x83\x4c\x81\x5b\x83\x8f\x81\x5b\x83\x68"));

    IniFile file;
    file.setContents(written);
    AppSettings back;
    back.load(file);
    EXPECT_EQ(back, s);
}

TEST(AppSettings, WritesSectionsAndKeysInFileOrder) {
    QByteArray written = storeOf(AppSettings());
    QList<QByteArray> order = {
        "[Pos]",       "Save=",    "Bottom=",   "[Env]",    "PcDir=",       "TranDir=",
        "StringFile=", "DelEOF=",  "[Filter]",  "Title1=",  "Kind5=",       "[SvFilter]",
        "ExtFlt=",     "Ext1=",    "Icon15=",   "[Server]", "DefaultDisp=", "FtpUse=",
        "[Server00]",  "Passwd=",  "SvDel=",    "Port=",    "HisDir09=",    "[Server04]",
        "[Network]",   "SpDelim=", "[KeyWord]", "Key1[0]=", "Key2[9]=",     "[Search]"};
    qsizetype at = 0;
    for (const QByteArray& item : order) {
        qsizetype found = written.indexOf(item, at);
        ASSERT_GE(found, 0) << item.constData() << " missing or out of order";
        at = found;
    }
}

TEST(AppSettings, BadValuesStartWithDefaultsOrTheirLeadingDigits) {
    AppSettings s = loadFrom("[Pos]\nLeft=-40\nRight=12px\n[Server]\nDefaultNo=9\n"
                             "[Env]\nFontName=" +
                             QByteArray(300, 'F') + "\nTabCount=abc\n");
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Right, 12);
    EXPECT_EQ(s.FontName.size(), 255);
    EXPECT_EQ(s.TabCount, 0);
    EXPECT_EQ(s.DefaultNo, 9);
    EXPECT_EQ(s.defaultProfileIndex(), 0) << "an out-of-range profile number must not be used";
}

TEST(AppSettings, PcFileFilterSkipsKindsWithoutTitle) {
    AppSettings s;
    s.Title[1].clear();
    EXPECT_EQ(s.BuildPcFileFilter(), QStringList({QStringLiteral("TXTﾌｧｲﾙ (*.txt *.log)"),
                                                  QStringLiteral("HTMLﾌｧｲﾙ (*.htm *.html *.shtml)"),
                                                  QStringLiteral("CGIﾌｧｲﾙ (*.cgi *.pl *.js)"),
                                                  QStringLiteral("全てのﾌｧｲﾙ (*)")}));
    // "*.*" means every file, also where it stands beside other patterns.
    s.Kind[0] = QStringLiteral("*.txt; *.*");
    EXPECT_EQ(s.BuildPcFileFilter().front(), QStringLiteral("TXTﾌｧｲﾙ (*.txt *)"));
}

TEST(AppSettings, FontSizeReadsAsTheIntegerItsLeadingDigitsForm) {
    struct Case {
        const char* fontSize;
        int points;    // as the settings read it
        int editorPts; // as the editor's font takes it: 11 when not positive
    };
    const Case cases[] = {{"12.5", 12, 12}, {" 9pt", 9, 9}, {"abc", 0, 11}, {"-3", 0, 11}};
    for (const Case& c : cases) {
        AppSettings s;
        s.FontSize = QString::fromLatin1(c.fontSize);
        EXPECT_EQ(s.fontPoints(), c.points) << c.fontSize;
        EXPECT_EQ(editorFont(s).pointSize(), c.editorPts) << c.fontSize;
    }
}

TEST(AppSettings, TextTheFileCannotHoldKeepsTheLineItHadAndIsNamed) {
    AppSettings s;
    s.PcDir = QStringLiteral("/home/josé");
    s.Profiles[0].Passwd = QStringLiteral("pä");
    s.SearchHistory = {QStringLiteral("two\nlines")};
    s.TranDir = QStringLiteral("/tmp/転送");
    IniFile file;
    file.setContents("[Env]\r\nPcDir=/old\r\n");
    EXPECT_EQ(s.store(file),
              QStringList({QStringLiteral("[Env] PcDir"), QStringLiteral("[Server00] Passwd"),
                           QStringLiteral("[Search] 00")}));
    const QByteArray written = file.contents();
    EXPECT_TRUE(written.contains("PcDir=/old\r\n"));
    const qsizetype server00 = written.indexOf("[Server00]");
    EXPECT_FALSE(
        written.mid(server00, written.indexOf("[Server01]") - server00).contains("Passwd="));
    EXPECT_FALSE(written.contains('?'));
    EXPECT_TRUE(written.contains("TranDir=/tmp/\x93\x5d\x91\x97\r\n")) << "the rest is written";

    RecentFileList recent;
    recent.add(QStringLiteral("/home/josé/a.txt"));
    EXPECT_EQ(recent.store(file), QStringList{QStringLiteral("[Recent File List] File1")});
}

TEST(AppSettings, SaveReportsAValueItCouldNotWriteButWritesTheRest) {
    TempDir dir;
    AppSettings s;
    s.Network.Name = QStringLiteral("prøxy");
    s.Left = 42;
    EXPECT_FALSE(SaveSettings(s, dir.path()));
    AppSettings back;
    ASSERT_TRUE(LoadSettings(back, dir.path()));
    EXPECT_EQ(back.Left, 42);
    EXPECT_TRUE(back.Network.Name.isEmpty());
}

TEST(AppSettings, SaveAndLoadThroughTheFileInADirectory) {
    TempDir dir;
    AppSettings s;
    s.Profiles[1].User = QStringLiteral("ユーザ");
    ASSERT_TRUE(SaveSettings(s, dir.path()));
    AppSettings back;
    ASSERT_TRUE(LoadSettings(back, dir.path()));
    EXPECT_EQ(back, s);
    // Another directory's file is not seen.
    TempDir other;
    AppSettings fresh;
    LoadSettings(fresh, other.path());
    EXPECT_EQ(fresh, AppSettings());
}

TEST(AppSettings, AFileOfProfilesWithoutProtocolsSavesByteForByteAndProtocolsRoundTrip) {
    // A file as written before profiles had protocols: loading and saving it changes nothing.
    const QByteArray before = storeOf(AppSettings());
    EXPECT_FALSE(before.contains("Protocol"));
    EXPECT_FALSE(before.contains("KeyFile"));
    EXPECT_EQ(storeOf(loadFrom(before), before), before);

    AppSettings secure = loadFrom(before);
    secure.Profiles[2].Protocol = ProtocolSftp;
    secure.Profiles[2].KeyFile = QStringLiteral("/home/me/.ssh/id_ed25519");
    const QByteArray withProtocol = storeOf(secure, before);
    EXPECT_EQ(loadFrom(withProtocol), secure);

    // Back to plain FTP: the keys stay in the file, so what it says is what was chosen.
    secure.Profiles[2] = ServerProfile();
    EXPECT_EQ(loadFrom(storeOf(secure, withProtocol)).Profiles[2], ServerProfile());
}

TEST(AppSettings, AFileWithoutTheNewerProfileKeysIsSavedByteForByte) {
    AppSettings s;
    s.Profiles[2].Server = QStringLiteral("ftp.example.jp");
    s.Profiles[2].Code = CodeSystemSjis;
    const QByteArray today = storeOf(s);
    ASSERT_FALSE(today.contains("SafeUpload"));
    EXPECT_EQ(storeOf(loadFrom(today), today), today);

    // A profile that turns it on writes the key in its own section only, and reads it back;
    // turned off again, the line the file now has stays and says 0.
    AppSettings safe = loadFrom(today);
    safe.Profiles[2].SafeUpload = 1;
    const QByteArray withKey = storeOf(safe, today);
    EXPECT_EQ(withKey.count("SafeUpload="), 1);
    EXPECT_GT(withKey.indexOf("SafeUpload=1"), withKey.indexOf("[Server02]"));
    EXPECT_LT(withKey.indexOf("SafeUpload=1"), withKey.indexOf("[Server03]"));
    EXPECT_EQ(loadFrom(withKey), safe);
    safe.Profiles[2].SafeUpload = 0;
    EXPECT_TRUE(storeOf(safe, withKey).contains("SafeUpload=0"));
}
