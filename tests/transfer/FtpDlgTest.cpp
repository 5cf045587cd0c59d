#include "settings/ServerProfile.h"
#include "transfer/CFtpDlg.h"
#include "transfer/FileListModel.h"
#include "transfer/FileListView.h"
#include "transfer/ServerListLines.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"
#include "TransferWindowTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QComboBox* box(CFtpDlg& w, const char* name) {
    return childNamed<QComboBox>(&w, name);
}

// Chooses a line of a drop-down list as the user does.
void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QStringList items(QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QStringList menuTexts(QMenu* menu, QList<int>* ids = nullptr, QList<bool>* enabled = nullptr) {
    QStringList texts;
    for (QAction* a : menu->actions()) {
        texts.append(a->text());
        if (ids)
            ids->append(a->data().toInt());
        if (enabled)
            enabled->append(a->isEnabled());
    }
    return texts;
}

} // namespace

TEST(CFtpDlg, OpensWithBothPanesListedInTheCommonOrder) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/pub"));
    world.server.makeDir("pub");
    world.server.makeDir("pub/Zeta");
    world.server.makeDir("pub/alpha");
    world.server.writeFile("pub/b.txt", "12345");
    world.server.writeFile("pub/A.GIF", "GIF89a");
    world.server.writeFile("pub/noext", "");
    world.pc.write(QStringLiteral("local.txt"), "abc");
    QDir(world.pc.path()).mkdir(QStringLiteral("folder"));
    world.settings.Profiles[2] = world.server.profile(CodeSystemEuc, QStringLiteral("/"));
    world.settings.Profiles[2].Server = QStringLiteral("localhost");
    ScriptedPrompt prompt;
    auto window = world.open();

    EXPECT_EQ(window->windowTitle(), QStringLiteral("ファイル転送"));
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane),
              utf8List({"alpha", "Zeta", "A.GIF", "b.txt", "noext"}));
    FileListView* server = window->pane(CFtpDlg::ServerPane);
    EXPECT_EQ(paneTexts(server, 1), utf8List({"", "", ".GIF", ".txt", ""}));
    EXPECT_EQ(paneTexts(server, 2).value(3), QStringLiteral("         5"));
    EXPECT_EQ(paneTexts(server, 2).value(0), QString()) << "no size for a directory";
    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers.append(server->model()->headerData(c, Qt::Horizontal).toString());
    EXPECT_EQ(headers, utf8List({"名前", "拡張子", "ｻｲｽﾞ", "更新日時"}));
    std::vector<int> images;
    for (int row = 0; row < server->lines()->rowCount(); ++row)
        images.push_back(server->lines()->line(row).image);
    EXPECT_EQ(images, (std::vector<int>{0, 0, 2, 1, 2}))
        << "folders 0, listed extensions their filter icon, others the plain file";

    EXPECT_EQ(paneNames(*window, CFtpDlg::PcPane), utf8List({".", "..", "folder", "local.txt"}));
    EXPECT_EQ(window->pcPath(), QFileInfo(world.pc.path()).canonicalFilePath());
    EXPECT_EQ(childNamed<QLineEdit>(window.get(), "PcPath")->text(), window->pcPath());
    EXPECT_EQ(items(box(*window, "Profiles")),
              utf8List({"NO:0　【127.0.0.1】", "NO:1　未　設　定", "NO:2　【localhost】",
                        "NO:3　未　設　定", "NO:4　未　設　定"}));
    EXPECT_EQ(items(box(*window, "TransferMode")), utf8List({"AUTO", "ASCII", "BINARY"}));
    EXPECT_EQ(window->transferMode(), 0);
    EXPECT_FALSE(childNamed<QCheckBox>(window.get(), "ShowHidden")->isChecked());
    EXPECT_EQ(box(*window, "Directories")->currentText(), QStringLiteral("/pub"));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();

    // A column header clicked twice reverses the order; folders stay on top.
    server->header()->sectionClicked(0);
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane),
              utf8List({"Zeta", "alpha", "noext", "b.txt", "A.GIF"}));
    server->header()->sectionClicked(2);
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane).mid(2),
              utf8List({"noext", "b.txt", "A.GIF"}));
    EXPECT_EQ(server->header()->sortIndicatorSection(), 2);
    // The PC pane keeps its own directions.
    EXPECT_EQ(window->pane(CFtpDlg::PcPane)->order().sortColumn(), 0);
}

TEST(CFtpDlg, WithoutDefaultDisplayTheServerPaneWaitsForReload) {
    TransferWorld world;
    world.server.writeFile("x.txt", "x");
    world.pc.write(QStringLiteral("y.txt"), "y");
    world.settings.DefaultDisp = 0;
    world.settings.Network.List = 1; // the listing over a connection of its own
    ScriptedPrompt prompt;
    auto window = world.open();
    EXPECT_TRUE(paneNames(*window, CFtpDlg::ServerPane).isEmpty());
    EXPECT_EQ(paneNames(*window, CFtpDlg::PcPane), utf8List({".", "..", "y.txt"}));
    pressButton(window.get(), "Reload");
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane), utf8List({"x.txt"}));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
}

TEST(CFtpDlg, ProfileBoxRefusesProfilesWithoutServerAndKeepsEachHistory) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/one"));
    world.server.makeDir("one");
    world.server.makeDir("two");
    world.server.writeFile("two/in-two.txt", "2");
    world.settings.Profiles[1].User = QStringLiteral("nobody"); // but no server name
    world.settings.Profiles[3] = world.server.profile(CodeSystemSjis, QStringLiteral("/two"));
    world.settings.Profiles[3].HisDir[0] = QStringLiteral("/older");
    ScriptedPrompt prompt;
    auto window = world.open();
    QComboBox* profiles = box(*window, "Profiles");

    choose(profiles, 1);
    EXPECT_EQ(profiles->currentIndex(), 0);
    EXPECT_EQ(window->profileNumber(), 0);
    EXPECT_EQ(window->serverDirectory(), QByteArray("/one"));

    choose(profiles, 3);
    EXPECT_EQ(window->profileNumber(), 3);
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane), utf8List({"in-two.txt"}));
    EXPECT_EQ(items(box(*window, "Directories")), utf8List({"/two", "/older"}));
    EXPECT_EQ(world.settings.Profiles[0].HisDir[0], QStringLiteral("/one"))
        << "the history of the profile left behind is stored";
    EXPECT_EQ(world.currentServer, 0) << "choosing a profile here is not the profile in use";
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CFtpDlg, HistoryHoldsTenDirectoriesAndRevisitsSelectTheirLine) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    for (int i = 0; i < 12; ++i)
        world.server.makeDir(QByteArray("d") + QByteArray::number(i));
    world.server.makeDir("d0/deeper");
    ScriptedPrompt prompt;
    auto window = world.open();
    QComboBox* history = box(*window, "Directories");
    for (int i = 0; i < 12; ++i) {
        doubleClickName(*window, CFtpDlg::ServerPane, QStringLiteral("d%1").arg(i));
        EXPECT_EQ(window->serverDirectory(), QByteArray("/d") + QByteArray::number(i));
        pressButton(window.get(), "Up");
        EXPECT_EQ(window->serverDirectory(), QByteArray("/"));
    }
    EXPECT_EQ(history->count(), 10);
    EXPECT_EQ(history->itemText(0), QStringLiteral("/d11"));
    EXPECT_EQ(history->itemText(9), QStringLiteral("/d3"));
    EXPECT_EQ(history->currentText(), QStringLiteral("/"));

    // Re-visiting a directory selects its line; choosing a line lists it.
    choose(history, 4); // "/d8"
    EXPECT_EQ(window->serverDirectory(), QByteArray("/d8"));
    EXPECT_EQ(history->count(), 10);
    EXPECT_EQ(history->currentText(), QStringLiteral("/d8"));

    // "↑" at the top reads "/" again.
    pressButton(window.get(), "Up");
    pressButton(window.get(), "Up");
    EXPECT_EQ(window->serverDirectory(), QByteArray("/"));
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane).size(), 12);

    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(world.settings.Profiles[0].HisDir[0], QStringLiteral("/d11"));
    EXPECT_EQ(world.settings.Profiles[0].HisDir[9], QStringLiteral("/d3"));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CFtpDlg, WithoutDirectoryChangesNoUpButtonAndFoldersStayClosed) {
    TransferWorld world;
    world.server.makeDir("sub");
    world.settings.Profiles[0].DirChg = 0;
    ScriptedPrompt prompt;
    auto window = world.open();
    window->show();
    EXPECT_FALSE(childNamed<QToolButton>(window.get(), "Up")->isVisible());
    doubleClickName(*window, CFtpDlg::ServerPane, QStringLiteral("sub"));
    EXPECT_TRUE(window->serverDirectory().isEmpty());
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane), utf8List({"sub"}));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CFtpDlg, WithoutSpecialOperationsDeleteRenameAndMakeDirectoryAreHiddenAndRefused) {
    TransferWorld world;
    world.server.writeFile("keep.txt", "k");
    world.pc.write(QStringLiteral("keep-too.txt"), "k");
    ScriptedPrompt prompt;
    {
        auto window = world.open();
        window->show();
        QList<int> ids;
        QList<bool> enabled;
        std::unique_ptr<QMenu> serverMenu(window->contextMenu(CFtpDlg::ServerPane));
        EXPECT_EQ(
            menuTexts(serverMenu.get(), &ids, &enabled),
            utf8List({"ﾀﾞｳﾝﾛｰﾄﾞ", "開く", "削除", "名称変更", "ﾃﾞｨﾚｸﾄﾘ作成", "最新の情報に更新"}));
        EXPECT_EQ(ids, (QList<int>{1180, 1188, 1127, 1131, 1133, 1166}));
        EXPECT_EQ(enabled, (QList<bool>{true, true, true, true, true, true}));
        ids.clear();
        std::unique_ptr<QMenu> pcMenu(window->contextMenu(CFtpDlg::PcPane));
        EXPECT_EQ(menuTexts(pcMenu.get(), &ids), utf8List({"ｱｯﾌﾟﾛｰﾄﾞﾞ", "開く", "削除", "名称変更",
                                                           "ﾃﾞｨﾚｸﾄﾘ作成", "最新の情報に更新"}));
        EXPECT_EQ(ids, (QList<int>{1179, 1189, 1185, 1186, 1187, 1167}));
        for (const char* name : {"Up", "Delete", "Rename", "MakeDir"})
            EXPECT_TRUE(childNamed<QToolButton>(window.get(), name)->isVisible()) << name;
    }

    world.settings.Profiles[0].Special = 0;
    auto window = world.open();
    window->show();
    for (const char* name : {"Delete", "Rename", "MakeDir"})
        EXPECT_FALSE(childNamed<QToolButton>(window.get(), name)->isVisible()) << name;
    for (CFtpDlg::Pane pane : {CFtpDlg::ServerPane, CFtpDlg::PcPane}) {
        QList<bool> enabled;
        std::unique_ptr<QMenu> menu(window->contextMenu(pane));
        menuTexts(menu.get(), nullptr, &enabled);
        EXPECT_EQ(enabled, (QList<bool>{true, true, false, false, false, true}));
    }
    selectNames(*window, CFtpDlg::ServerPane, {QStringLiteral("keep.txt")});
    selectNames(*window, CFtpDlg::PcPane, {QStringLiteral("keep-too.txt")});
    for (int command : {1127, 1131, 1133, 1185, 1186, 1187})
        EXPECT_FALSE(window->runCommand(command)) << command;
    EXPECT_TRUE(world.server.exists("keep.txt"));
    EXPECT_TRUE(world.pc.exists(QStringLiteral("keep-too.txt")));
    EXPECT_TRUE(prompt.texts().isEmpty()) << "nothing was asked";
}

TEST(CFtpDlg, HiddenFilesShowOnlyWhileTheBoxIsTicked) {
    TransferWorld world;
    world.pc.write(QStringLiteral(".profile"), "p");
    world.pc.write(QStringLiteral("shown.txt"), "s");
    QDir(world.pc.path()).mkdir(QStringLiteral(".cache"));
    ScriptedPrompt prompt;
    auto window = world.open();
    window->show();
    EXPECT_EQ(paneNames(*window, CFtpDlg::PcPane), utf8List({".", "..", "shown.txt"}));
    QCheckBox* hidden = childNamed<QCheckBox>(window.get(), "ShowHidden");
    QTest::mouseClick(hidden, Qt::LeftButton, {}, QPoint(6, hidden->height() / 2));
    EXPECT_EQ(paneNames(*window, CFtpDlg::PcPane),
              utf8List({".", "..", ".cache", ".profile", "shown.txt"}));
    QTest::mouseClick(hidden, Qt::LeftButton, {}, QPoint(6, hidden->height() / 2));
    EXPECT_EQ(paneNames(*window, CFtpDlg::PcPane), utf8List({".", "..", "shown.txt"}));
}

TEST(CFtpDlg, DriveBoxListsMountsAndKeepsTheOldLineForOneThatIsNotAvailable) {
    TransferWorld world;
    TempDir other;
    other.write(QStringLiteral("on-other.txt"), "o");
    const QString notADirectory = other.write(QStringLiteral("plain-file"), "f");
    world.drives = {{QStringLiteral("/"), QString()},
                    {notADirectory, QStringLiteral("GONE")},
                    {QFileInfo(other.path()).canonicalFilePath(), QStringLiteral("外付け")},
                    {QFileInfo(world.pc.path()).canonicalFilePath(), QString()}};
    ScriptedPrompt prompt;
    auto window = world.open();
    QComboBox* drives = box(*window, "Drives");
    EXPECT_EQ(items(drives).value(1), notADirectory + QStringLiteral("  [GONE]"));
    EXPECT_EQ(items(drives).value(2),
              QFileInfo(other.path()).canonicalFilePath() + QStringLiteral("  [外付け]"));
    EXPECT_EQ(drives->currentIndex(), 3) << "the drive that holds the local directory";

    choose(drives, 1);
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("<%1>は現在利用出来ません。").arg(notADirectory)});
    EXPECT_EQ(prompt.shown().value(0).icon, PromptIcon::Information);
    EXPECT_EQ(drives->currentIndex(), 3);
    EXPECT_EQ(window->driveNumber(), 3);
    EXPECT_EQ(window->pcPath(), QFileInfo(world.pc.path()).canonicalFilePath());

    choose(drives, 2);
    EXPECT_EQ(window->driveNumber(), 2);
    EXPECT_EQ(window->pcPath(), QFileInfo(other.path()).canonicalFilePath());
    EXPECT_EQ(paneNames(*window, CFtpDlg::PcPane),
              utf8List({".", "..", "on-other.txt", "plain-file"}));
}

TEST(CFtpDlg, DoubleClicksEnterDirectoriesAndOpenFilesAsDocuments) {
    TransferWorld world(CodeSystemEuc, QStringLiteral("/"));
    world.settings.Profiles[0].NameSmall = 1;
    world.settings.Profiles[2] = world.server.profile(CodeSystemSjis, QStringLiteral("/x"));
    world.settings.DefaultNo = 2;
    // (The test server cannot enter a directory whose name is not UTF-8.)
    world.server.makeDir("docs");
    world.server.writeFile("docs/" + eucBytes("お知らせ.TXT"), eucBytes("営業時間\n"));
    world.pc.write(QStringLiteral("memo.txt"), "memo");
    QDir(world.pc.path()).mkdir(QStringLiteral("sub"));
    ScriptedPrompt prompt;
    auto window = world.open();
    world.currentServer = 4;

    doubleClickName(*window, CFtpDlg::ServerPane, QStringLiteral("docs"));
    EXPECT_EQ(window->serverDirectory(), QByteArray("/docs"));
    doubleClickName(*window, CFtpDlg::ServerPane, QStringLiteral("お知らせ.TXT"));
    const QString local = world.transfer.filePath(QStringLiteral("お知らせ.txt"));
    ASSERT_EQ(world.opened.size(), 1u);
    EXPECT_EQ(world.opened[0].path, local);
    EXPECT_TRUE(world.opened[0].fromServer);
    EXPECT_FALSE(world.opened[0].readOnly);
    EXPECT_EQ(world.opened[0].profile.Dir, QStringLiteral("/docs"));
    ASSERT_TRUE(world.opened[0].stamp) << "the server file's version goes with the document";
    EXPECT_EQ(world.opened[0].stamp->size, eucBytes("営業時間\n").size());
    EXPECT_EQ(readFileBytes(local), sjisBytes("営業時間\r\n")) << "converted to Shift_JIS";
    EXPECT_EQ(world.currentServer, 0) << "the window's profile is now the one in use";

    doubleClickName(*window, CFtpDlg::PcPane, QStringLiteral("sub"));
    EXPECT_EQ(window->pcPath(),
              QFileInfo(world.pc.filePath(QStringLiteral("sub"))).canonicalFilePath());
    doubleClickName(*window, CFtpDlg::PcPane, QStringLiteral(".."));
    EXPECT_EQ(window->pcPath(), QFileInfo(world.pc.path()).canonicalFilePath());
    selectNames(*window, CFtpDlg::PcPane, {QStringLiteral("memo.txt")});
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdPcOpen));
    ASSERT_EQ(world.opened.size(), 2u);
    EXPECT_EQ(world.opened[1].path, world.pcFile(QStringLiteral("memo.txt")));
    EXPECT_FALSE(world.opened[1].fromServer);
    EXPECT_FALSE(world.opened[1].stamp);
    EXPECT_EQ(world.opened[1].profile.Dir, QStringLiteral("/x")) << "the default profile";
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
}

TEST(CFtpDlg, AServerFileWhoseDownloadFailsIsNotOpened) {
    FtpServerFixture::Options refusing;
    refusing.faults = {QStringLiteral("refuse=RETR")};
    TransferWorld world(CodeSystemSjis, QString(), refusing);
    world.settings.Profiles[2] = world.server.profile();
    world.currentServer = 2;
    world.server.writeFile("page.html", "new");
    writeFileBytes(world.transfer.filePath(QStringLiteral("page.html")), "older local copy");
    ScriptedPrompt prompt;
    auto window = world.open();
    selectNames(*window, CFtpDlg::ServerPane, {QStringLiteral("page.html")});
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdServerOpen));
    EXPECT_TRUE(world.opened.empty());
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("550 Refused.")});
    EXPECT_EQ(world.transfer.read(QStringLiteral("page.html")), QByteArray("older local copy"));
}

TEST(CFtpDlg, LogonAndDirectoryFailuresLeaveTheServerPaneEmpty) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/missing"));
    ScriptedPrompt prompt;
    auto window = world.open();
    EXPECT_TRUE(paneNames(*window, CFtpDlg::ServerPane).isEmpty());
    ASSERT_EQ(prompt.texts().size(), 2);
    EXPECT_EQ(prompt.texts()[1], QStringLiteral("ＤＩｒ変更に失敗しました。"));

    prompt.clear();
    world.settings.Profiles[0].Dir.clear();
    world.settings.Profiles[0].Passwd = QStringLiteral("wrong");
    auto refused = world.open();
    EXPECT_TRUE(paneNames(*refused, CFtpDlg::ServerPane).isEmpty());
    ASSERT_EQ(prompt.texts().size(), 2);
    EXPECT_TRUE(
        prompt.texts()[0].startsWith(QStringLiteral("FTPセッションでエラーになりました。")));
    EXPECT_EQ(prompt.texts()[1], QStringLiteral("ＦＴＰセッションOPENに失敗しました。"));
    EXPECT_FALSE(paneNames(*refused, CFtpDlg::PcPane).isEmpty()) << "the PC side still works";
}
