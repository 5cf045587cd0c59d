#include "encoding/LosslessCodec.h"
#include "transfer/CServerDir.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"

#include "settings/ServerProfile.h"
#include "transfer/FileListView.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QByteArray JapaneseText = "いろはにほへと 営業時間のお知らせ\n二行目\n";

FileListView* listOf(CServerDir& d) {
    return childNamed<FileListView>(&d, "List");
}
QLineEdit* fileNameOf(CServerDir& d) {
    return childNamed<QLineEdit>(&d, "FileName");
}
QComboBox* directoriesOf(CServerDir& d) {
    return childNamed<QComboBox>(&d, "Directories");
}
void press(CServerDir& d, const char* button) {
    QAbstractButton* b = childNamed<QAbstractButton>(&d, button);
    ASSERT_NE(b, nullptr) << button;
    QTest::mouseClick(b, Qt::LeftButton);
}

// Clicks a check box on its box, as the user would.
void tick(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

QByteArray euc(const QByteArray& utf8) {
    return LosslessCodec::eucJp().encode(QString::fromUtf8(utf8)).bytes;
}
QByteArray sjis(const QByteArray& utf8) {
    return LosslessCodec::cp932().encode(QString::fromUtf8(utf8)).bytes;
}

} // namespace

TEST(CServerDir, ListsDirectoriesFirstSortedByNameWithColumnsAndImages) {
    ServerDialogWorld world;
    world.server.writeFile("b.txt", "12345");
    world.server.writeFile("A.html", "x");
    world.server.writeFile("pic.GIF", "GIF89a");
    world.server.writeFile("noext", "");
    world.server.makeDir("sub");
    world.server.makeDir("Zdir");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    FileListView* list = listOf(dialog);
    EXPECT_EQ(columnTexts(list), strings({"sub", "Zdir", "A.html", "b.txt", "noext", "pic.GIF"}));
    EXPECT_EQ(columnTexts(list, 1), strings({"", "", ".html", ".txt", "", ".GIF"}));
    EXPECT_EQ(cellText(list, QStringLiteral("b.txt"), 2), QStringLiteral("         5"));
    EXPECT_EQ(cellText(list, QStringLiteral("sub"), 2), QString()) << "no size for folders";
    EXPECT_FALSE(cellText(list, QStringLiteral("b.txt"), 3).isEmpty());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("サーバ一覧"));
    EXPECT_EQ(childNamed<QPushButton>(&dialog, "Ok")->text(), QStringLiteral("開く(&O)"));
    EXPECT_EQ(childNamed<QComboBox>(&dialog, "Profiles")->itemText(0),
              QStringLiteral("NO:0　【127.0.0.1】"));
    EXPECT_EQ(childNamed<QComboBox>(&dialog, "Profiles")->itemText(1),
              QStringLiteral("NO:1　未　設　定"));
    dialog.show();
    EXPECT_EQ(childNamed<QToolButton>(&dialog, "Up")->toolTip(),
              QStringLiteral("上のディレクトリへ移動します。"));

    // The name column clicked again reverses the order; folders stay on top.
    list->header()->sectionClicked(0);
    EXPECT_EQ(columnTexts(list), strings({"Zdir", "sub", "pic.GIF", "noext", "b.txt", "A.html"}));
    list->header()->sectionClicked(2);
    EXPECT_EQ(columnTexts(list).mid(2), strings({"noext", "A.html", "b.txt", "pic.GIF"}));
    EXPECT_TRUE(prompt.texts().isEmpty());
    press(dialog, "Reload");
    EXPECT_EQ(columnTexts(list).front(), QStringLiteral("sub")) << "a new listing sorts by name";
}

TEST(CServerDir, OpensAnEucFileAsShiftJisInTheTransferDirectory) {
    ServerDialogWorld world(CodeSystemEuc, QStringLiteral("/"));
    world.settings.Profiles[0].HisDir[0] = QStringLiteral("/old");
    world.server.writeFile("index.html", euc(JapaneseText));
    world.settings.Profiles[2] = world.settings.Profiles[0];
    world.settings.DefaultNo = 2;
    world.currentServer = 2;
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    world.currentServer = 4; // the dialog sets it on OK
    clickLine(listOf(dialog), QStringLiteral("index.html"));
    EXPECT_EQ(fileNameOf(dialog)->text(), QStringLiteral("index.html"));
    press(dialog, "Ok");
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << prompt.texts().join(u'\n').toStdString();
    EXPECT_EQ(dialog.localPath(), world.transfer.filePath(QStringLiteral("index.html")));
    // Shift_JIS with the PC's line ends.
    EXPECT_EQ(readFileBytes(dialog.localPath()),
              sjis(QByteArray(JapaneseText).replace("\n", "\r\n")));
    EXPECT_FALSE(world.transfer.exists(QStringLiteral("index.html.$$$")));
    EXPECT_EQ(dialog.profile().Code, CodeSystemEuc);
    EXPECT_FALSE(dialog.readOnly());
    EXPECT_EQ(world.currentServer, 2);
    EXPECT_EQ(world.settings.Profiles[2].HisDir[0], QStringLiteral("/"))
        << "the listed directory joined the history";
    EXPECT_EQ(world.settings.Profiles[2].HisDir[1], QStringLiteral("/old"));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CServerDir, LowerCaseLocalNameReadOnlyAndAChosenCodeSystem) {
    ServerDialogWorld world(CodeSystemEuc);
    world.settings.Profiles[0].NameSmall = 1;
    const QByteArray memo = sjis(QByteArray(JapaneseText).replace("\n", "\r\n"));
    world.server.writeFile("Memo.TXT", memo);
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    clickLine(listOf(dialog), QStringLiteral("Memo.TXT"));
    tick(childNamed<QCheckBox>(&dialog, "ReadOnly"));
    // The file is Shift_JIS although the profile says EUC: SJIS for this opening only.
    QComboBox* code = childNamed<QComboBox>(&dialog, "Code");
    code->setCurrentIndex(1);
    code->activated(1);
    press(dialog, "Ok");
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.localPath(), world.transfer.filePath(QStringLiteral("memo.txt")));
    EXPECT_EQ(dialog.remoteName(), QByteArray("Memo.TXT"));
    EXPECT_EQ(readFileBytes(dialog.localPath()), memo) << "no conversion";
    EXPECT_TRUE(dialog.readOnly());
    EXPECT_EQ(dialog.profile().Code, CodeSystemSjis);
    EXPECT_EQ(world.settings.Profiles[0].Code, CodeSystemEuc) << "the stored profile keeps EUC";
}

TEST(CServerDir, FailedDownloadKeepsTheDialogOpenAndTheOlderLocalCopyUnopened) {
    ServerDialogWorld world;
    world.server.writeFile("index.html", "server");
    world.transfer.write(QStringLiteral("gone.html"), "older local copy");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    clickLine(listOf(dialog), QStringLiteral("index.html"));
    fileNameOf(dialog)->setText(QStringLiteral("gone.html")); // typed: not on the server
    press(dialog, "Ok");
    EXPECT_EQ(dialog.result(), 0) << "still open";
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompt.texts().size(), 1) << "the transfer's own message";
    EXPECT_TRUE(dialog.localPath().isEmpty());
    EXPECT_EQ(world.transfer.read(QStringLiteral("gone.html")), QByteArray("older local copy"));
    EXPECT_EQ(world.currentServer, 0);

    // The dialog goes on working on the same server: the next pick succeeds.
    prompt.clear();
    clickLine(listOf(dialog), QStringLiteral("index.html"));
    prompt.expectQuestion(PromptAnswer::No);
    press(dialog, "Delete"); // needs the connection the failed download closed
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("index.html を削除しても宜しいですか？")});
    press(dialog, "Ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(readFileBytes(dialog.localPath()), QByteArray("server"));
}

TEST(CServerDir, OkNeedsAFileNameAndASelectedLine) {
    ServerDialogWorld world;
    world.server.writeFile("a.txt", "a");
    world.server.writeFile("b.txt", "b");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    press(dialog, "Ok");
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("リストから表示するファイルを選択して下さい。")});
    fileNameOf(dialog)->setText(QStringLiteral("b.txt"));
    press(dialog, "Ok");
    EXPECT_EQ(prompt.texts().size(), 1) << "no line selected: stays without a message";
    EXPECT_TRUE(dialog.isVisible());

    // A typed name is downloaded as long as some line is selected.
    clickLine(listOf(dialog), QStringLiteral("a.txt"));
    fileNameOf(dialog)->setText(QStringLiteral("b.txt"));
    press(dialog, "Ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(readFileBytes(dialog.localPath()), QByteArray("b"));
}

TEST(CServerDir, DoubleClickEntersDirectoriesAndOpensFiles) {
    ServerDialogWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.server.makeDir("pub");
    world.server.makeDir("pub/docs");
    world.server.writeFile("pub/docs/readme.txt", "read me");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    doubleClickLine(listOf(dialog), QStringLiteral("pub"));
    EXPECT_EQ(columnTexts(listOf(dialog)), strings({"docs"}));
    EXPECT_EQ(directoriesOf(dialog)->currentText(), QStringLiteral("/pub"));
    doubleClickLine(listOf(dialog), QStringLiteral("docs"));
    EXPECT_EQ(dialog.profile().Dir, QStringLiteral("/pub/docs"));

    press(dialog, "Up");
    EXPECT_EQ(directoriesOf(dialog)->currentText(), QStringLiteral("/pub"));
    press(dialog, "Up");
    EXPECT_EQ(directoriesOf(dialog)->currentText(), QStringLiteral("/"));
    press(dialog, "Up");
    EXPECT_EQ(directoriesOf(dialog)->currentText(), QStringLiteral("/")) << "nothing above /";
    EXPECT_EQ(directoriesOf(dialog)->count(), 3);

    // Choosing a directory of the history lists it.
    directoriesOf(dialog)->setCurrentIndex(
        directoriesOf(dialog)->findText(QStringLiteral("/pub/docs")));
    directoriesOf(dialog)->activated(directoriesOf(dialog)->currentIndex());
    doubleClickLine(listOf(dialog), QStringLiteral("readme.txt"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "a file acts as OK";
    EXPECT_EQ(readFileBytes(dialog.localPath()), QByteArray("read me"));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'\n').toStdString();
}

TEST(CServerDir, WithoutDirectoryChangesNoUpButtonAndFoldersStayClosed) {
    ServerDialogWorld world;
    world.settings.Profiles[0].DirChg = 0;
    world.settings.Profiles[0].Special = 0;
    world.server.makeDir("pub");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    EXPECT_FALSE(childNamed<QToolButton>(&dialog, "Up")->isVisible());
    EXPECT_FALSE(childNamed<QToolButton>(&dialog, "Delete")->isVisible());
    EXPECT_FALSE(childNamed<QToolButton>(&dialog, "MakeDir")->isVisible());
    doubleClickLine(listOf(dialog), QStringLiteral("pub"));
    EXPECT_EQ(columnTexts(listOf(dialog)), strings({"pub"}));
}

TEST(CServerDir, FilterHidesListedExtensionsWithoutANewListing) {
    ServerDialogWorld world;
    world.settings.ExtFlt = 1;
    world.server.writeFile("index.html", "x");
    world.server.writeFile("logo.GIF", "x");
    world.server.writeFile("data.zip", "x");
    world.server.makeDir("img.gif");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    FileListView* list = listOf(dialog);
    EXPECT_TRUE(childNamed<QCheckBox>(&dialog, "Filter")->isChecked());
    EXPECT_EQ(columnTexts(list), strings({"img.gif", "index.html"})) << "folders stay";

    world.server.writeFile("late.txt", "x"); // not listed until the server is asked again
    tick(childNamed<QCheckBox>(&dialog, "Filter"));
    EXPECT_EQ(columnTexts(list), strings({"img.gif", "data.zip", "index.html", "logo.GIF"}));
    tick(childNamed<QCheckBox>(&dialog, "Filter"));
    EXPECT_EQ(columnTexts(list).size(), 2);
}

TEST(CServerDir, SaveModeListsDirectoriesAndReturnsTheClickedOrTheShownOne) {
    ServerDialogWorld world(CodeSystemEuc, QStringLiteral("/"));
    world.server.makeDir("news");
    world.server.makeDir("pub");
    world.server.writeFile("index.html", "x");
    ScriptedPrompt prompt;
    {
        CServerDir dialog(world.context, CServerDir::SaveMode);
        dialog.show();
        EXPECT_EQ(columnTexts(listOf(dialog)), strings({"news", "pub"}));
        EXPECT_FALSE(fileNameOf(dialog)->isVisible());
        EXPECT_FALSE(childNamed<QCheckBox>(&dialog, "ReadOnly")->isVisible());
        EXPECT_FALSE(childNamed<QComboBox>(&dialog, "Code")->isVisible());
        EXPECT_EQ(childNamed<QPushButton>(&dialog, "Ok")->text(), QStringLiteral("保存"));
        clickLine(listOf(dialog), QStringLiteral("pub"));
        press(dialog, "Ok");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.selectedDirectory(), QStringLiteral("/pub"));
    }
    CServerDir dialog(world.context, CServerDir::SaveMode);
    dialog.show();
    doubleClickLine(listOf(dialog), QStringLiteral("news"));
    press(dialog, "Ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedDirectory(), QStringLiteral("/news"));
    EXPECT_EQ(dialog.profile().Dir, QStringLiteral("/news"));
    EXPECT_FALSE(world.transfer.exists(QStringLiteral("index.html"))) << "nothing fetched";
}

TEST(CServerDir, ProfileBoxSkipsEmptyProfilesAndKeepsEachHistory) {
    ServerDialogWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.server.makeDir("two");
    world.server.writeFile("two/second.txt", "2");
    world.settings.Profiles[3] = world.server.profile(CodeSystemSjis, QStringLiteral("/two"));
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    QComboBox* profiles = childNamed<QComboBox>(&dialog, "Profiles");
    profiles->setCurrentIndex(1);
    profiles->activated(1);
    EXPECT_EQ(profiles->currentIndex(), 0) << "a profile without server is not taken";
    profiles->setCurrentIndex(3);
    profiles->activated(3);
    EXPECT_EQ(dialog.profileNumber(), 3);
    EXPECT_EQ(columnTexts(listOf(dialog)), strings({"second.txt"}));
    EXPECT_EQ(world.settings.Profiles[0].HisDir[0], QStringLiteral("/"))
        << "the history went to the profile left";
    press(dialog, "Cancel");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(world.settings.Profiles[3].HisDir[0], QStringLiteral("/two"));
    EXPECT_EQ(world.currentServer, 0) << "Cancel leaves the profile in use";
}

TEST(CServerDir, DeleteRenameAndMakeDirectoryOnTheServer) {
    ServerDialogWorld world;
    world.server.writeFile("old.txt", "keep me");
    world.server.writeFile("gone.txt", "x");
    world.server.makeDir("full");
    world.server.writeFile("full/inside.txt", "x");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    FileListView* list = listOf(dialog);

    press(dialog, "Delete");
    EXPECT_EQ(prompt.texts().last(),
              QStringLiteral("リストから削除するファイルを選択して下さい。"));
    clickLine(list, QStringLiteral("gone.txt"));
    prompt.expectQuestion(PromptAnswer::Yes);
    press(dialog, "Delete");
    EXPECT_FALSE(world.server.exists("gone.txt"));
    EXPECT_FALSE(columnTexts(list).contains(QStringLiteral("gone.txt")));

    clickLine(list, QStringLiteral("full"));
    prompt.expectQuestion(PromptAnswer::Yes);
    press(dialog, "Delete");
    EXPECT_EQ(
        prompt.texts().last(),
        QStringLiteral("削除出来ませんでした。アクセス権／ディレクトリが空か確認して下さい。"));
    EXPECT_TRUE(world.server.exists("full/inside.txt"));

    clickLine(list, QStringLiteral("old.txt"));
    whenModalShown([](QWidget* rename) {
        auto* edit = childNamed<QLineEdit>(rename, "NewName");
        edit->setText(QStringLiteral("new.txt"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    press(dialog, "Rename");
    EXPECT_EQ(world.server.readFile("new.txt"), QByteArray("keep me"));
    EXPECT_TRUE(columnTexts(list).contains(QStringLiteral("new.txt")));

    // An existing directory name is refused and the dialog stays; a new one is created.
    prompt.clear();
    whenModalShown([&prompt](QWidget* make) {
        auto* edit = childNamed<QLineEdit>(make, "Name");
        edit->setText(QStringLiteral("full"));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(make->isVisible());
        EXPECT_EQ(prompt.texts(),
                  QStringList{QStringLiteral("同一名称のディレクトリが存在します。")});
        edit->setText(QStringLiteral("Full"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    press(dialog, "MakeDir");
    EXPECT_TRUE(world.server.exists("Full"));
    EXPECT_EQ(world.server.names(), QByteArrayList({"Full", "full", "new.txt"}));
    EXPECT_TRUE(columnTexts(list).contains(QStringLiteral("Full")));
}

TEST(CServerDir, IncompleteProfileAndUnreachableServerLeaveAnEmptyList) {
    ServerDialogWorld world;
    world.server.writeFile("a.txt", "a");
    {
        world.settings.Profiles[0].Passwd.clear();
        ScriptedPrompt prompt;
        CServerDir dialog(world.context, CServerDir::OpenMode);
        EXPECT_EQ(
            prompt.texts(),
            QStringList({QStringLiteral("OpenSession : パラメータエラー　環境を確認して下さい。"),
                         QStringLiteral("ＦＴＰセッションOPENに失敗しました。")}));
        EXPECT_EQ(listOf(dialog)->lineCount(), 0);
    }
    world.settings.Profiles[0] = world.server.profile();
    world.settings.Profiles[0].Port = 1; // nothing listens there
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    ASSERT_EQ(prompt.texts().size(), 2);
    EXPECT_EQ(prompt.texts().last(), QStringLiteral("ＦＴＰセッションOPENに失敗しました。"));
    EXPECT_EQ(listOf(dialog)->lineCount(), 0);
}

TEST(CServerDir, DirectoryThatCannotBeEnteredIsReported) {
    ServerDialogWorld world(CodeSystemSjis, QStringLiteral("/missing"));
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    ASSERT_GE(prompt.texts().size(), 2);
    EXPECT_EQ(prompt.texts().last(), QStringLiteral("ＤＩｒ変更に失敗しました。"));
    EXPECT_EQ(listOf(dialog)->lineCount(), 0);
}

TEST(CServerDir, ListedNamesThatCannotBeLocalNamesAreRefused) {
    FtpServerFixture::Options options;
    options.mlsd = false;
    options.listing = "-rw-r--r--   1 u  g  5 Jan 01  2024 ..\r\n"
                      "-rw-r--r--   1 u  g  5 Jan 01  2024 plain.txt\r\n";
    ServerDialogWorld world(CodeSystemSjis, QString(), options);
    world.server.writeFile("plain.txt", "plain");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    clickLine(listOf(dialog), QStringLiteral(".."));
    press(dialog, "Ok");
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_EQ(prompt.texts()[0], QStringLiteral("サーバのファイル名 .. は受信出来ません。"));
    EXPECT_TRUE(
        QDir(world.transfer.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(CServerDir, ArrowKeysAndTypedLettersChooseALineAsAClickDoes) {
    ServerDialogWorld world;
    for (const char* name : {"alpha.txt", "beta.txt", "delta.txt"})
        world.server.writeFile(name, name);
    world.server.makeDir("sub");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    clickLine(listOf(dialog), QStringLiteral("alpha.txt"));
    const auto key = [](auto key) { QTest::keyClick(QApplication::focusWidget(), key); };
    key(Qt::Key_Down);
    EXPECT_EQ(fileNameOf(dialog)->text(), QStringLiteral("beta.txt"));
    key('d');
    EXPECT_EQ(fileNameOf(dialog)->text(), QStringLiteral("delta.txt"));
    key(Qt::Key_Home);
    EXPECT_TRUE(fileNameOf(dialog)->text().isEmpty()) << "a directory clears the name";
    EXPECT_EQ(dialog.selectedDirectory(), QStringLiteral("/sub"));
    key(Qt::Key_End);
    press(dialog, "Ok");
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(readFileBytes(dialog.localPath()), QByteArray("delta.txt"));
}

TEST(CServerDir, AFilterToggleLeavesNoLineChosenInEitherMode) {
    ServerDialogWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.server.writeFile("a.txt", "a");
    world.server.makeDir("pub");
    ScriptedPrompt prompt;
    {
        CServerDir dialog(world.context, CServerDir::OpenMode);
        dialog.show();
        clickLine(listOf(dialog), QStringLiteral("a.txt"));
        tick(childNamed<QCheckBox>(&dialog, "Filter"));
        EXPECT_TRUE(fileNameOf(dialog)->text().isEmpty());
        press(dialog, "Ok");
        EXPECT_EQ(prompt.texts(),
                  QStringList{QStringLiteral("リストから表示するファイルを選択して下さい。")});
        EXPECT_TRUE(dialog.isVisible());
    }
    CServerDir dialog(world.context, CServerDir::SaveMode);
    dialog.show();
    clickLine(listOf(dialog), QStringLiteral("pub"));
    tick(childNamed<QCheckBox>(&dialog, "Filter"));
    press(dialog, "Ok");
    EXPECT_EQ(dialog.selectedDirectory(), QStringLiteral("/")) << "the shown one, none clicked";
}

TEST(CServerDir, ColumnDirectionsLastFromOneDialogToTheNext) {
    ServerDialogWorld world;
    world.server.writeFile("big.txt", "12345");
    world.server.writeFile("small.txt", "1");
    ScriptedPrompt prompt;
    for (const char* expected : {"small.txt", "big.txt"}) {
        CServerDir dialog(world.context, CServerDir::OpenMode);
        EXPECT_EQ(columnTexts(listOf(dialog)).front(), QStringLiteral("big.txt")) << "by name";
        listOf(dialog)->header()->sectionClicked(SizeColumn);
        EXPECT_EQ(columnTexts(listOf(dialog)).front(), QString::fromUtf8(expected));
    }
}

TEST(CServerDir, ATypedPathIsRefusedWithAMessageEvenWithNoLineSelected) {
    ServerDialogWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.server.makeDir("sub");
    world.server.writeFile("sub/a.txt", "a");
    ScriptedPrompt prompt;
    CServerDir dialog(world.context, CServerDir::OpenMode);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    for (const char* typed : {"sub/a.txt", "../a.txt", "..", "sub\\a.txt"}) {
        const QString name = QString::fromUtf8(typed);
        prompt.clear();
        fileNameOf(dialog)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), name);
        press(dialog, "Ok");
        ASSERT_EQ(prompt.texts().size(), 1) << typed;
        EXPECT_EQ(prompt.texts()[0],
                  QStringLiteral("サーバのファイル名 %1 は受信出来ません。").arg(name));
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_TRUE(
        QDir(world.transfer.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}
