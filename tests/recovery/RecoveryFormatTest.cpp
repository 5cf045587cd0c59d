#include "encoding/LosslessCodec.h"
#include "recovery/RecoveryRecord.h"
#include "recovery/RecoveryWriter.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"

#include <gtest/gtest.h>

namespace {

RecoveryRecord serverRecord() {
    RecoveryRecord r;
    r.kind = RecoveryKind::Server;
    r.title = QStringLiteral("page.txt");
    r.path = QStringLiteral("/tmp/tran/page.txt");
    r.encoding = TextEncoding::Cp932;
    r.lineEnd = LineEnd::CrLf;
    r.profile = {3,
                 QStringLiteral("ftp.example.jp"),
                 QStringLiteral("ユーザ"),
                 ProtocolSftp,
                 2222,
                 CodeSystemEuc,
                 QStringLiteral("/pub/日本")};
    r.fileName = QStringLiteral("page.txt");
    r.stamp = ServerFileStamp{1234, "20261208120000.123"};
    r.savedAt = QDateTime(QDate(2026, 12, 8), QTime(12, 0, 1, 500), Qt::UTC);
    r.body = toCp932(QStringLiteral("日本語\r\n\x1A")) + QByteArray("\x80\n\n", 3);
    return r;
}

} // namespace

TEST(RecoveryFormat, RecordsComeBackAsTheyWereWritten) {
    RecoveryRecord local;
    local.kind = RecoveryKind::Local;
    // Values that could end a header line or look like an escape.
    local.title = QStringLiteral("a%0Ab\nc");
    local.path = QStringLiteral("/home/u/100%/新\r\nしい.txt");
    local.encoding = TextEncoding::Utf8Bom;
    local.lineEnd = LineEnd::Cr;
    local.body = QByteArray("\xEF\xBB\xBFline\r", 8);

    RecoveryRecord untitled;
    untitled.title = QStringLiteral("新規");
    untitled.bodyIsEditorText = true;
    untitled.body = QByteArray("\xF0\x9F\x98\x80", 4);

    RecoveryRecord unstamped = serverRecord();
    unstamped.stamp.reset();
    unstamped.profile.number = -1;
    RecoveryRecord sizeOnly = serverRecord();
    sizeOnly.stamp = ServerFileStamp{0, QByteArray()};

    for (const RecoveryRecord& record : {serverRecord(), local, untitled, unstamped, sizeOnly}) {
        SCOPED_TRACE(record.path.toStdString());
        const Result<RecoveryRecord> read = RecoveryFormat::read(RecoveryFormat::write(record));
        ASSERT_TRUE(read.ok()) << read.message().toStdString();
        EXPECT_EQ(read.value(), record);
    }
}

TEST(RecoveryFormat, BadFilesAreRefusedWithTheirReason) {
    const QByteArray good = RecoveryFormat::write(serverRecord());
    QByteArray otherVersion = good;
    otherVersion.replace("VANTORPAD-RECOVERY 1\n", "VANTORPAD-RECOVERY 2\n");
    const auto replaced = [&](const char* from, const char* to) {
        QByteArray b = good;
        return b.replace(from, to);
    };
    const QString broken = QStringLiteral("復元ファイルが途中で切れています。");
    const struct {
        const char* name;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"empty", QByteArray(), QStringLiteral("復元ファイルではありません。")},
        {"another file", "hello\n\nworld", QStringLiteral("復元ファイルではありません。")},
        {"newer format", otherVersion,
         QStringLiteral("復元ファイルの形式(版 2)はこのプログラムでは読めません。")},
        {"body cut short", good.chopped(1), broken},
        {"body too long", good + 'x', broken},
        {"header cut short", good.left(good.indexOf("port:")), broken},
        {"unknown kind", replaced("kind: server", "kind: cloud"),
         QStringLiteral("復元ファイルの kind の値が不正です。")},
        {"unknown encoding", replaced("encoding: cp932", "encoding: latin1"),
         QStringLiteral("復元ファイルの encoding の値が不正です。")},
        {"profile out of range", replaced("profile: 3", "profile: 5"),
         QStringLiteral("復元ファイルの profile の値が不正です。")},
        {"port not a number", replaced("port: 2222", "port: x"),
         QStringLiteral("復元ファイルの port の値が不正です。")},
        {"server file without a name", replaced("file-name: page.txt", "file-name: "),
         QStringLiteral("復元ファイルの file-name の値が不正です。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<RecoveryRecord> read = RecoveryFormat::read(c.bytes);
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.message(), c.message);
    }
}

// The body is what a save writes; read back in its recorded encoding, it saves the same bytes
// again, kept bytes and all, and a UTF-8 document whose text is plain ASCII stays UTF-8.
TEST(RecoveryFormat, TheRecoveredTextSavesTheRecordedBytes) {
    const struct {
        TextEncoding encoding;
        QByteArray bytes;
    } cases[] = {
        {TextEncoding::Cp932, toCp932(QStringLiteral("日本語\r\n")) + "\x80\xFD|\xF0\x9F"},
        {TextEncoding::Utf8, "plain ascii\n"},
        {TextEncoding::Utf8Bom, "\xEF\xBB\xBF\xE6\x97\xA5\r\n\xFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.encoding));
        RecoveryRecord record;
        record.encoding = c.encoding;
        record.body = c.bytes;
        const EditorText text = recoveredEditorText(record);
        EXPECT_EQ(text.encoding, c.encoding);
        const RecoverySnapshot again{record, text.utf8};
        const RecoveryRecord written = recordOf(again);
        EXPECT_FALSE(written.bodyIsEditorText);
        EXPECT_EQ(written.body, c.bytes);
    }
    // A character Shift_JIS cannot hold keeps the editor's text rather than losing it.
    RecoverySnapshot emoji;
    emoji.editorUtf8 = QByteArray("a\xF0\x9F\x98\x80", 5);
    const RecoveryRecord kept = recordOf(emoji);
    EXPECT_TRUE(kept.bodyIsEditorText);
    EXPECT_EQ(recoveredEditorText(kept).utf8, emoji.editorUtf8);
}

TEST(RecoveryFormat, AProfileIsKnownByItsServerUserProtocolAndPort) {
    AppSettings settings;
    ServerProfile& p = settings.Profiles[2];
    p.Server = QStringLiteral("host");
    p.User = QStringLiteral("me");
    p.Port = 0; // the protocol's default
    ServerProfile copy = p;
    copy.Dir = QStringLiteral("/elsewhere");
    copy.Passwd = QStringLiteral("changed");
    copy.Port = 21;
    EXPECT_EQ(recoveryProfileNumber(settings, copy), 2);
    const RecoveryProfile kept{2, p.Server, p.User, ProtocolFtp, 21, 0, QString()};
    EXPECT_TRUE(recoveryProfileMatches(settings, kept));
    for (auto change : {+[](RecoveryProfile& k) { k.number = 1; },
                        +[](RecoveryProfile& k) { k.server = QStringLiteral("other"); },
                        +[](RecoveryProfile& k) { k.user = QStringLiteral("you"); },
                        +[](RecoveryProfile& k) { k.protocol = ProtocolFtps; },
                        +[](RecoveryProfile& k) { k.port = 2121; }}) {
        RecoveryProfile other = kept;
        change(other);
        EXPECT_FALSE(recoveryProfileMatches(settings, other));
    }
    copy.Protocol = ProtocolSftp;
    EXPECT_EQ(recoveryProfileNumber(settings, copy), -1);
}
