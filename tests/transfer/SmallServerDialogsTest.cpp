#include "transfer/CSaveSv.h"
#include "transfer/CServerDir.h"
#include "transfer/CSvMakeDir.h"
#include "transfer/CSvRename.h"
#include "transfer/ServerListLines.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"

#include "settings/ServerProfile.h"
#include "transfer/FileListView.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QLineEdit* edit(QWidget& dialog, const char* name) {
    auto* e = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(e, nullptr) << name;
    return e;
}

// Types into the new-name field and presses OK; returns the dialog's result.
int renameTo(CSvRename& dialog, const QString& text) {
    QLineEdit* field = edit(dialog, "NewName");
    field->clear();
    QTest::keyClicks(field, text);
    dialog.show();
    QTest::keyClick(field, Qt::Key_Return);
    return dialog.result();
}

} // namespace

TEST(CSvRename, OldNameIsShownReadOnlyAndANewNameIsAccepted) {
    CSvRename dialog(QStringLiteral("index.html"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ファイル名変更"));
    EXPECT_TRUE(edit(dialog, "OldName")->isReadOnly());
    EXPECT_EQ(edit(dialog, "OldName")->text(), QStringLiteral("index.html"));
    EXPECT_EQ(renameTo(dialog, QStringLiteral("top.html")), QDialog::Accepted);
    EXPECT_EQ(dialog.newName(), QStringLiteral("top.html"));
}

TEST(CSvRename, UnchangedNameClosesAsCancelButACaseChangeIsARename) {
    CSvRename same(QStringLiteral("index.html"));
    EXPECT_EQ(renameTo(same, QStringLiteral("index.html")), QDialog::Rejected);
    EXPECT_FALSE(same.isVisible());

    CSvRename upper(QStringLiteral("index.html"));
    EXPECT_EQ(renameTo(upper, QStringLiteral("Index.html")), QDialog::Accepted);
}

TEST(CSvMakeDir, RefusesAnExistingDirectoryNameExactlyAndKeepsTheDialogOpen) {
    CSvMakeDir dialog({QStringLiteral("foo"), QStringLiteral("docs")});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ディレクトリ作成"));
    dialog.show();
    QLineEdit* name = edit(dialog, "Name");
    ScriptedPrompt prompt;
    QTest::keyClicks(name, QStringLiteral("docs"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompt.texts(), QStringList{QStringLiteral("同一名称のディレクトリが存在します。")});
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Error);

    name->setText(QStringLiteral("Foo"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "letter case makes another name";
    EXPECT_EQ(dialog.name(), QStringLiteral("Foo"));
}

TEST(CSvMakeDir, NamesOfFilesAreNoObstacle) {
    ServerFileList listing(2);
    listing[0].name = "index.html";
    listing[1].name = "img";
    listing[1].directory = 1;
    CSvMakeDir dialog(DirectoryNames(listing, CodeSystemSjis));
    dialog.show();
    edit(dialog, "Name")->setText(QStringLiteral("index.html"));
    QTest::keyClick(edit(dialog, "Name"), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

namespace {

// The save dialog for a file of profile 0, which points at the world's server.
struct SaveWorld : ServerDialogWorld {
    SaveWorld() : ServerDialogWorld(CodeSystemEuc, QStringLiteral("/")) {
        server.makeDir("news");
        server.makeDir("pub");
        server.writeFile("index.html", "x");
    }
};

} // namespace

TEST(CSaveSv, ShowsTheServerDirectoryNameAndCodeAndReturnsTheChoices) {
    SaveWorld world;
    CSaveSv dialog(world.context, world.settings.Profiles[0], QStringLiteral("index.html"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("サーバ保存確認"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Question"))->text(),
              QStringLiteral("サーバ:127.0.0.1 に保存します。宜しいですか？"));
    EXPECT_EQ(edit(dialog, "Directory")->text(), QStringLiteral("/"));
    EXPECT_TRUE(edit(dialog, "Directory")->isReadOnly());
    EXPECT_EQ(edit(dialog, "FileName")->text(), QStringLiteral("index.html"));
    auto* euc = dialog.findChild<QRadioButton*>(QStringLiteral("Euc"));
    auto* sjis = dialog.findChild<QRadioButton*>(QStringLiteral("Sjis"));
    EXPECT_TRUE(euc->isChecked());
    dialog.show();
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("Browse"))->isVisible());

    QTest::mouseClick(sjis, Qt::LeftButton, {}, QPoint(6, sjis->height() / 2));
    edit(dialog, "FileName")->setText(QStringLiteral("top.html"));
    QTest::keyClick(edit(dialog, "FileName"), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.fileName(), QStringLiteral("top.html"));
    EXPECT_EQ(dialog.profile().Code, CodeSystemSjis);
    EXPECT_EQ(dialog.directory(), QStringLiteral("/"));
}

TEST(CSaveSv, WithoutDirectoryChangesThereIsNoBrowseButton) {
    SaveWorld world;
    world.settings.Profiles[0].DirChg = 0;
    CSaveSv dialog(world.context, world.settings.Profiles[0], QStringLiteral("index.html"));
    dialog.show();
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("Browse"))->isVisible());
}

TEST(CSaveSv, BrowsingPicksADirectoryThatTheUploadThenUses) {
    SaveWorld world;
    // The document's profile is a copy of stored profile 3; the list starts from it.
    world.settings.Profiles[3] = world.settings.Profiles[0];
    world.settings.Profiles[0].Dir = QStringLiteral("/elsewhere");
    ScriptedPrompt prompt;
    CSaveSv dialog(world.context, world.settings.Profiles[3], QStringLiteral("index.html"));
    dialog.show();
    int listedProfile = -1;
    whenModalShown([&](QWidget* list) {
        auto* server = static_cast<CServerDir*>(list);
        listedProfile = server->profileNumber();
        clickLine(childNamed<FileListView>(list, "List"), QStringLiteral("news"));
        QTest::mouseClick(childNamed<QPushButton>(list, "Ok"), Qt::LeftButton);
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Browse")), Qt::LeftButton);
    EXPECT_EQ(listedProfile, 3);
    EXPECT_EQ(world.currentServer, 3);
    EXPECT_EQ(edit(dialog, "Directory")->text(), QStringLiteral("/news"));
    QTest::keyClick(edit(dialog, "FileName"), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.directory(), QStringLiteral("/news"));
    EXPECT_EQ(dialog.profile().Dir, QStringLiteral("/news")) << "the upload goes where shown";
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CSaveSv, FileNamesThatWouldLeaveTheDirectoryAreRefused) {
    SaveWorld world;
    ScriptedPrompt prompt;
    CSaveSv dialog(world.context, world.settings.Profiles[0], QStringLiteral("index.html"));
    dialog.show();
    for (const char* bad : {"", "../index.html", ".."}) {
        edit(dialog, "FileName")->setText(QString::fromUtf8(bad));
        QTest::keyClick(edit(dialog, "FileName"), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << bad;
    }
    EXPECT_EQ(prompt.texts(),
              QStringList({QStringLiteral("ファイル名を入力して下さい。"),
                           QStringLiteral("ファイル名 ../index.html は使用出来ません。"),
                           QStringLiteral("ファイル名 .. は使用出来ません。")}));
}
