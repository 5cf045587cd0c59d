// The server pane that both server windows embed: hostile names, a directory that vanished, the
// file actions of the open-from-server dialog, binary files of EUC-JP servers, and the rules
// for names on the way to and from a server.

#include "transfer/ServerBrowser.h"
#include "doc/ServerUpload.h"
#include "ftp/FtpNames.h"
#include "transfer/CFtpDlg.h"
#include "transfer/CServerDir.h"
#include "transfer/FileListView.h"
#include "transfer/TransferRules.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"
#include "TransferWindowTestSupport.h"
#include "transfer/ServerFileFetch.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString refused(const QString& shownName) {
    return QStringLiteral("サーバのファイル名 %1 は受信出来ません。").arg(shownName);
}

// A name no other run uses, so a file that escaped its directory is recognised as this run's.
QByteArray escapeeName() {
    return "escaped-" + QByteArray::number(QRandomGenerator::global()->generate());
}

} // namespace

TEST(ServerNameRules, AServerNameBecomesALocalFileDirectlyInItsDirectory) {
    struct Case {
        QByteArray name;
        int code;
        bool nameSmall;
        const char* expected; // nullptr: refused
    };
    const Case cases[] = {
        {"Index.HTML", CodeSystemSjis, true, "/t/index.html"},
        {sjisBytes("表.CSV"), CodeSystemSjis, false, "/t/表.CSV"}, // 0x5C as a second byte
        {eucBytes("ＡＢＣ.TXT"), CodeSystemEuc, true, "/t/ＡＢＣ.txt"},
        {"", CodeSystemSjis, false, nullptr},
        {".", CodeSystemSjis, false, nullptr},
        {"..", CodeSystemSjis, false, nullptr},
        {"../x", CodeSystemSjis, false, nullptr},
        {"/../x", CodeSystemSjis, false, nullptr},
        {"a\\b", CodeSystemSjis, false, nullptr},
        {QByteArray("a\0b", 3), CodeSystemSjis, false, nullptr},
        {"a\x1b[2Jb", CodeSystemSjis, false, nullptr},
        {"line\nbreak", CodeSystemSjis, false, nullptr},
        {"del\x7f", CodeSystemSjis, false, nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<QString> path =
            FtpNames::localPathFor(QStringLiteral("/t"), c.name, c.code, c.nameSmall);
        if (c.expected)
            EXPECT_EQ(path, QString::fromUtf8(c.expected)) << c.name.toStdString();
        else
            EXPECT_FALSE(path) << c.name.toStdString() << " -> " << path->toStdString();
    }
    EXPECT_FALSE(FtpNames::isSafeLocalTarget(QStringLiteral("/t/../x")));
    EXPECT_TRUE(FtpNames::isSafeLocalTarget(QStringLiteral("/t/x.$$$")));
}

TEST(ServerNameRules, NameSmallIsOneRuleForUploadsDownloadsAndSaves) {
    ServerProfile profile;
    profile.NameSmall = 1;
    for (int code : {CodeSystemSjis, CodeSystemEuc}) {
        profile.Code = code;
        for (const char* utf8 : {"ＡＢＣ.TXT", "Ωmega.HTML", "Memo.TXT"}) {
            const QString name = QString::fromUtf8(utf8);
            const std::optional<QByteArray> up = TransferRules::uploadName(name, profile);
            ASSERT_TRUE(up) << utf8;
            EXPECT_EQ(serverNameOf(name, profile), up) << "a save names the file as an upload does";
            const std::optional<QString> down =
                FtpNames::localPathFor(QStringLiteral("/t"), *up, code, profile.NameSmall != 0);
            ASSERT_TRUE(down) << utf8;
            EXPECT_EQ(TransferRules::uploadName(QFileInfo(*down).fileName(), profile), up)
                << utf8 << ": the downloaded copy goes back to the same server file";
        }
    }
    profile.Code = CodeSystemSjis;
    EXPECT_FALSE(serverNameOf(QStringLiteral("smile😀.txt"), profile))
        << "never sent with '?' in place of a character";
}

// Each hostile name of a listing is refused by every download of both windows, and nothing is
// written outside the directory the download was meant for.
TEST(ServerBrowser, HostileListedNamesAreNeverWrittenOutsideTheirDirectory) {
    const QByteArray escapee = escapeeName();
    FtpServerFixture::Options options;
    options.extraNames = FtpServerFixture::hostileNames();
    options.extraNames << "/../" + escapee << "../" + escapee; // these two RETR a real file
    auto escaped = [&](const QString& directory) {
        return QFileInfo::exists(
            QDir(directory).filePath(QStringLiteral("../") + QString::fromLatin1(escapee)));
    };
    // The hostile names the pane shows (a listing may leave "." and ".." out).
    auto listedHostile = [&](FileListView* list) {
        QByteArrayList shown;
        for (const QByteArray& name : options.extraNames) {
            if (columnTexts(list).contains(FtpNames::display(name)))
                shown << name;
        }
        EXPECT_GE(shown.size(), 6);
        return shown;
    };
    auto expectRefused = [&](ScriptedPrompt& prompt, const QByteArray& name) {
        EXPECT_EQ(prompt.texts(), QStringList{refused(FtpNames::display(name))})
            << name.toStdString();
        prompt.clear();
    };
    {
        ServerDialogWorld world(CodeSystemSjis, QString(), options);
        world.server.writeFile(escapee, "hostile");
        world.server.writeFile("plain.txt", "plain");
        ScriptedPrompt prompt;
        CServerDir dialog(world.context, CServerDir::OpenMode);
        dialog.show();
        auto* list = childNamed<FileListView>(&dialog, "List");
        for (const QByteArray& name : listedHostile(list)) {
            clickLine(list, FtpNames::display(name));
            QTest::mouseClick(childNamed<QPushButton>(&dialog, "Ok"), Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            expectRefused(prompt, name);
        }
        // A name typed into the box follows the same rule.
        clickLine(list, QStringLiteral("plain.txt"));
        childNamed<QLineEdit>(&dialog, "FileName")->setText(QStringLiteral("../typed"));
        QTest::mouseClick(childNamed<QPushButton>(&dialog, "Ok"), Qt::LeftButton);
        expectRefused(prompt, "../typed");
        EXPECT_FALSE(escaped(world.transfer.path()));
    }
    TransferWorld world(CodeSystemSjis, QString(), options);
    world.server.writeFile(escapee, "hostile");
    ScriptedPrompt prompt;
    auto window = world.open();
    for (const QByteArray& name : listedHostile(window->pane(CFtpDlg::ServerPane))) {
        doubleClickName(*window, CFtpDlg::ServerPane, FtpNames::display(name));
        expectRefused(prompt, name);
        selectNames(*window, CFtpDlg::ServerPane, {FtpNames::display(name)});
        window->runCommand(CFtpDlg::CmdDownload);
        expectRefused(prompt, name);
    }
    EXPECT_TRUE(world.opened.empty());
    EXPECT_FALSE(escaped(world.transfer.path()));
    EXPECT_FALSE(escaped(world.pc.path()));
}

// A directory that vanished after the listing: the pane stays on the last directory that
// listed, listed again, so "↑" and "再読込" work from there.
TEST(ServerBrowser, AFailedDirectoryChangeLeavesThePaneOnTheLastListedDirectory) {
    auto check = [](ServerBrowser& pane, FtpServerFixture& server, ScriptedPrompt& prompt) {
        ASSERT_EQ(columnTexts(pane.list()),
                  QStringList({QStringLiteral("gone"), QStringLiteral("keep.txt")}));
        QDir(QString::fromLocal8Bit(server.localPath("pub/gone"))).removeRecursively();
        pane.enterDirectory("/pub/gone");
        ASSERT_GE(prompt.texts().size(), 1);
        EXPECT_EQ(prompt.texts().last(), QStringLiteral("ＤＩｒ変更に失敗しました。"));
        EXPECT_EQ(pane.state().directory(), QByteArray("/pub"));
        EXPECT_EQ(columnTexts(pane.list()), QStringList{QStringLiteral("keep.txt")});
        prompt.clear();
        pane.goUp();
        EXPECT_EQ(pane.state().directory(), QByteArray("/"));
        EXPECT_TRUE(prompt.texts().isEmpty());
    };
    auto layOut = [](FtpServerFixture& server) {
        server.makeDir("pub");
        server.makeDir("pub/gone");
        server.writeFile("pub/keep.txt", "k");
    };
    {
        ServerDialogWorld world(CodeSystemSjis, QStringLiteral("/pub"));
        layOut(world.server);
        ScriptedPrompt prompt;
        CServerDir dialog(world.context, CServerDir::OpenMode);
        check(*dialog.browser(), world.server, prompt);
    }
    TransferWorld world(CodeSystemSjis, QStringLiteral("/pub"));
    layOut(world.server);
    ScriptedPrompt prompt;
    auto window = world.open();
    check(*window->serverBrowser(), world.server, prompt);
}

TEST(ServerBrowser, TheOpenDialogsRenameNeverReplacesAFileNorSendsAnUnholdableName) {
    ServerDialogWorld world(CodeSystemSjis);
    world.server.writeFile("a.txt", "a");
    world.server.writeFile("b.txt", "b");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    for (const char* newName : {"b.txt", "smile😀.txt"}) {
        clickLine(childNamed<FileListView>(&dialog, "List"), QStringLiteral("a.txt"));
        whenModalShown([&](QWidget* rename) {
            childNamed<QLineEdit>(rename, "NewName")->setText(QString::fromUtf8(newName));
            static_cast<QDialog*>(rename)->accept();
        });
        QTest::mouseClick(childNamed<QAbstractButton>(&dialog, "Rename"), Qt::LeftButton);
        ASSERT_FALSE(prompt.texts().isEmpty()) << newName;
        prompt.clear();
    }
    EXPECT_EQ(world.server.names(), QByteArrayList({"a.txt", "b.txt"}));
    EXPECT_EQ(world.server.readFile("b.txt"), "b");
}

// Files the transfer mode makes binary move byte for byte on an EUC-JP server too; text files
// are converted.
TEST(ServerBrowser, BinaryFilesOfAnEucServerAreNotConverted) {
    TransferWorld world(CodeSystemEuc);
    world.settings.Ext[0] = QStringLiteral(".gif");
    QByteArray image("GIF89a\x8e\xa1\x0d\x0a\x1a\xff\x00", 13);
    world.server.writeFile("logo.gif", image);
    world.server.writeFile("page.txt", eucBytes("日本語"));
    QFile::copy(QString::fromLocal8Bit(world.server.localPath("logo.gif")),
                world.pcFile(QStringLiteral("up.gif")));
    ScriptedPrompt prompt;
    auto window = world.open();
    selectNames(*window, CFtpDlg::ServerPane,
                {QStringLiteral("logo.gif"), QStringLiteral("page.txt")});
    window->runCommand(CFtpDlg::CmdDownload);
    selectNames(*window, CFtpDlg::PcPane, {QStringLiteral("up.gif")});
    window->runCommand(CFtpDlg::CmdUpload);
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
    QFile down(world.pcFile(QStringLiteral("logo.gif")));
    ASSERT_TRUE(down.open(QIODevice::ReadOnly));
    EXPECT_EQ(down.readAll(), image);
    EXPECT_EQ(world.server.readFile("up.gif"), image);
    QFile text(world.pcFile(QStringLiteral("page.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), sjisBytes("日本語"));
}

// A file of an EUC-JP server that is not EUC-JP is never opened garbled without a word: both
// windows ask, and open it in the code system it looks like, converted but read-only, or not.
TEST(ServerBrowser, AFileOfAnEucServerThatIsNotEucIsOpenedOnlyAsTheUserChooses) {
    const QByteArray sjis = sjisBytes("日本語のメモ\r\n");
    const QString question =
        QStringLiteral("memo.txt は EUC-JP ではなく Shift_JIS のファイルのようです。\n\n"
                       "はい：Shift_JIS のファイルとして開きます。\n"
                       "いいえ：EUC-JP として読取専用で開きます。\n"
                       "キャンセル：開きません。");
    struct Case {
        PromptAnswer answer;
        bool opened;
        int code;
        bool readOnly;
    };
    const Case cases[] = {{PromptAnswer::Yes, true, CodeSystemSjis, false},
                          {PromptAnswer::No, true, CodeSystemEuc, true},
                          {PromptAnswer::Cancel, false, CodeSystemEuc, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.answer));
        ServerDialogWorld world(CodeSystemEuc);
        world.server.writeFile("memo.txt", sjis);
        ScriptedPrompt prompt;
        prompt.expectQuestion(c.answer);
        CServerDir dialog(world.context, CServerDir::OpenMode);
        dialog.show();
        clickLine(childNamed<FileListView>(&dialog, "List"), QStringLiteral("memo.txt"));
        QTest::mouseClick(childNamed<QPushButton>(&dialog, "Ok"), Qt::LeftButton);
        EXPECT_EQ(prompt.texts(), QStringList{question});
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.opened);
        if (!c.opened) {
            EXPECT_FALSE(world.transfer.exists(QStringLiteral("memo.txt")));
            continue;
        }
        EXPECT_EQ(dialog.profile().Code, c.code);
        EXPECT_EQ(dialog.readOnly(), c.readOnly);
        if (c.code == CodeSystemSjis) {
            EXPECT_EQ(world.transfer.read(QStringLiteral("memo.txt")), sjis)
                << "as the server has it";
        }
    }
    TransferWorld world(CodeSystemEuc);
    world.server.writeFile("memo.txt", sjis);
    ScriptedPrompt prompt;
    auto window = world.open();
    prompt.expectQuestion(PromptAnswer::Yes);
    doubleClickName(*window, CFtpDlg::ServerPane, QStringLiteral("memo.txt"));
    ASSERT_EQ(world.opened.size(), 1u);
    EXPECT_EQ(world.opened[0].profile.Code, CodeSystemSjis);
    EXPECT_EQ(world.transfer.read(QStringLiteral("memo.txt")), sjis);
}
