#include "AppHarness.h"
#include "DocTestSupport.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompt.h"

#include "commands/Command.h"
#include "platform/ScopedOverride.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>

#include <gtest/gtest.h>

namespace {

const QString AskLocal = QStringLiteral("%1 への変更を保存しますか?");

// Opens `name` of the local directory through the open-client-file command.
bool openClientFile(AppHarness& h, ScriptedFileDialogs& dialogs, const QString& name,
                    bool readOnly = false) {
    dialogs.expectOpen(ScriptedFileDialogs::chose(h.pcFile(name), readOnly, 0));
    return h.frame().triggerCommand(CmdFileOpen);
}

} // namespace

TEST(DocumentCommands, OpenAndSaveWithoutEditsIsByteIdenticalAndEditsAreWritten) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    const QByteArray original = "\x82\xa0\x80\r\nline\nmore\r\nlast\r\x1a";
    h.dir().write(QStringLiteral("pc/a.txt"), original);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("a.txt")));
    EXPECT_EQ(QDir::currentPath(), before) << "the dialog leaves the current directory";
    const FileDialogRequest& shown = dialogs.requests().front();
    EXPECT_EQ(shown.title, QStringLiteral("クライアントファイル選択"));
    EXPECT_EQ(shown.directory, h.pcDir());
    EXPECT_EQ(shown.choiceLabel, QStringLiteral("読み込み先指定"));
    EXPECT_EQ(shown.choices, (QStringList{QStringLiteral("標準（エディタ画面）"),
                                          QStringLiteral("スプレット画面")}));
    EXPECT_TRUE(shown.showReadOnly);

    CVantorpadDoc* doc = activeDoc(h.frame());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->title(), QStringLiteral("a.txt"));
    EXPECT_FALSE(doc->serverFile());
    EXPECT_FALSE(doc->isModified()) << "dropping the end-of-file byte is no edit";
    EXPECT_EQ(h.frame().shownMenu(), CMainFrame::DocumentMenu);
    EXPECT_EQ(h.app().recentFiles.files().value(0), h.pcFile(QStringLiteral("a.txt")));

    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/a.txt")), original.chopped(1))
        << "DelEOF drops the end-of-file byte, every other byte comes back";

    appendText(h.frame(), QStringLiteral("\n日本"));
    EXPECT_TRUE(doc->isModified());
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/a.txt")),
              QByteArray("\x82\xa0\x80\r\nline\nmore\r\nlast\r\r\n\x93\xfa\x96\x7b"))
        << "a new line takes the file's prevailing line end";
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST(DocumentCommands, EndOfFileByteStaysWhenDelEofIsOffAndEmptyFilesOpen) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h("DelEOF=0\r\n");
    h.dir().write(QStringLiteral("pc/eof.txt"), "x\x1a");
    h.dir().write(QStringLiteral("pc/empty.txt"), QByteArray());
    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("eof.txt")));
    EXPECT_EQ(activeView(h.frame())->toPlainText(), QStringLiteral("x\x1a"));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/eof.txt")), QByteArray("x\x1a"));

    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("empty.txt")));
    EXPECT_TRUE(activeView(h.frame())->toPlainText().isEmpty());
    EXPECT_EQ(h.frame().childFrames().size(), 2);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST(DocumentCommands, FilesThatCannotBeOpenedSayWhyAndOpenNothing) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    const QByteArray binary("PK\x03\x04\0\0data", 10);
    h.dir().write(QStringLiteral("pc/b.zip"), binary);
    EXPECT_TRUE(openClientFile(h, dialogs, QStringLiteral("missing.txt")));
    EXPECT_TRUE(openClientFile(h, dialogs, QStringLiteral("b.zip")));
    dialogs.expectOpen(ScriptedFileDialogs::chose(h.pcDir()));
    EXPECT_TRUE(h.frame().triggerCommand(CmdFileOpen));
    EXPECT_EQ(prompt.texts(),
              (QStringList{h.pcFile(QStringLiteral("missing.txt")) +
                               QStringLiteral(" が見つかりません。"),
                           h.pcFile(QStringLiteral("b.zip")) +
                               QStringLiteral(" はバイナリファイルの為、開けません。"),
                           h.pcDir() + QStringLiteral(" はフォルダの為、開けません。")}));
    EXPECT_TRUE(h.frame().childFrames().isEmpty());
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/b.zip")), binary);
    EXPECT_TRUE(h.app().recentFiles.files().isEmpty());

    dialogs.expectOpen(ScriptedFileDialogs::cancelled());
    EXPECT_TRUE(h.frame().triggerCommand(CmdFileOpen));
    EXPECT_TRUE(h.frame().childFrames().isEmpty());
}

TEST(DocumentCommands, ReadOnlyChoiceAndSpreadsheetChoice) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    h.dir().write(QStringLiteral("pc/r.csv"), "a,b\r\n");
    QStringList spreadsheet;
    const ScopedOverride opener(
        h.app().hooks().openInSpreadsheet, [&](const QString& path, bool readOnly) {
            spreadsheet << path << (readOnly ? QStringLiteral("ro") : QStringLiteral("rw"));
        });
    dialogs.expectOpen(ScriptedFileDialogs::chose(h.pcFile(QStringLiteral("r.csv")), true, 1));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileOpen));
    EXPECT_EQ(spreadsheet, (QStringList{h.pcFile(QStringLiteral("r.csv")), QStringLiteral("ro")}));
    EXPECT_TRUE(h.frame().childFrames().isEmpty());
    EXPECT_EQ(h.app().recentFiles.files().value(0), h.pcFile(QStringLiteral("r.csv")));

    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("r.csv"), true));
    EXPECT_TRUE(activeView(h.frame())->isReadOnly());
    EXPECT_TRUE(activeDoc(h.frame())->readOnly());
}

TEST(DocumentCommands, ReloadAsksOnlyWhenChangedAndRereadsTheLocalFile) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    h.dir().write(QStringLiteral("pc/r.txt"), "first");
    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("r.txt")));
    CVantorpadView* view = activeView(h.frame());
    h.dir().write(QStringLiteral("pc/r.txt"), "second");
    ASSERT_TRUE(h.frame().triggerCommand(CmdReload));
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(view->toPlainText(), QStringLiteral("second"));

    appendText(h.frame(), QStringLiteral(" edit"));
    prompt.expectQuestion(PromptAnswer::No);
    ASSERT_TRUE(h.frame().triggerCommand(CmdReload));
    EXPECT_EQ(view->toPlainText(), QStringLiteral("second edit"));
    prompt.expectQuestion(PromptAnswer::Yes);
    ASSERT_TRUE(h.frame().triggerCommand(CmdReload));
    EXPECT_EQ(view->toPlainText(), QStringLiteral("second"));
    EXPECT_FALSE(activeDoc(h.frame())->isModified());
    EXPECT_EQ(prompt.texts(),
              QStringList(2, QStringLiteral("変更を破棄して再読込します。宜しいですか？")));
}

TEST(DocumentCommands, ClosingAModifiedLocalFileAsksTheThreeWays) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    h.dir().write(QStringLiteral("pc/c.txt"), "text");
    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("c.txt")));
    appendText(h.frame(), QStringLiteral("+1"));

    prompt.expectQuestion(PromptAnswer::Cancel);
    h.frame().triggerCommand(CmdFileClose);
    QApplication::processEvents();
    EXPECT_EQ(h.frame().childFrames().size(), 1) << "Cancel keeps the window";

    prompt.expectQuestion(PromptAnswer::Yes);
    h.frame().triggerCommand(CmdFileClose);
    QApplication::processEvents();
    EXPECT_TRUE(h.frame().childFrames().isEmpty());
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/c.txt")), QByteArray("text+1"));

    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("c.txt")));
    appendText(h.frame(), QStringLiteral("+2"));
    prompt.expectQuestion(PromptAnswer::No);
    h.frame().triggerCommand(CmdFileClose);
    QApplication::processEvents();
    EXPECT_TRUE(h.frame().childFrames().isEmpty());
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/c.txt")), QByteArray("text+1"));
    EXPECT_EQ(prompt.texts(), QStringList(3, AskLocal.arg(QStringLiteral("c.txt"))));
    EXPECT_TRUE(QFile::exists(h.pcFile(QStringLiteral("c.txt"))));
}

TEST(DocumentCommands, NewDocumentIsSavedUnderAChosenName) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileNew));
    CVantorpadDoc* doc = activeDoc(h.frame());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->title(), QStringLiteral("新規"));
    EXPECT_EQ(h.frame().activeChildFrame()->windowTitle(), QStringLiteral("新規[*]"));
    EXPECT_TRUE(h.frame().activeChildFrame()->isMaximized());
    appendText(h.frame(), QStringLiteral("ｶﾅ\nかな"));

    dialogs.expectSave(ScriptedFileDialogs::cancelled());
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_TRUE(doc->isModified());

    dialogs.expectSave(ScriptedFileDialogs::chose(h.pcFile(QStringLiteral("new.txt"))));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/new.txt")), QByteArray("\xb6\xc5\n\x82\xa9\x82\xc8"));
    EXPECT_EQ(doc->title(), QStringLiteral("new.txt"));
    EXPECT_EQ(h.frame().activeChildFrame()->windowTitle(), QStringLiteral("new.txt[*]"));
    EXPECT_EQ(h.app().recentFiles.files().value(0), h.pcFile(QStringLiteral("new.txt")));
    EXPECT_EQ(dialogs.requests().front().title, QStringLiteral("名前を付けて保存"));
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST(DocumentCommands, UnencodableCharacterStopsTheSaveAndWritesNothing) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    h.dir().write(QStringLiteral("pc/u.txt"), "one\r\ntwo");
    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("u.txt")));
    appendText(h.frame(), QStringLiteral("\r\nthree 😀"));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("3 行目の文字「😀」(U+1F600)は Shift_JIS で保存出来ない為、"
                                         "保存を中止しました。")});
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/u.txt")), QByteArray("one\r\ntwo"));
    EXPECT_TRUE(activeDoc(h.frame())->isModified());
}

TEST(DocumentCommands, Utf8FileStaysUtf8AndSaveAsWritesANewFile) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    const QByteArray original = "\xef\xbb\xbf# caf\xc3\xa9\n\xe6\x97\xa5\xe6\x9c\xac\n";
    h.dir().write(QStringLiteral("pc/u8.md"), original);
    ASSERT_TRUE(openClientFile(h, dialogs, QStringLiteral("u8.md")));
    EXPECT_EQ(activeView(h.frame())->toPlainText(), QStringLiteral("# café\n日本\n"));
    appendText(h.frame(), QStringLiteral("😀"));
    dialogs.expectSave(ScriptedFileDialogs::chose(h.pcFile(QStringLiteral("copy.md"))));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSaveAs));
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/copy.md")), original + "\xf0\x9f\x98\x80");
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/u8.md")), original);
    EXPECT_EQ(activeDoc(h.frame())->pathName(), h.pcFile(QStringLiteral("copy.md")));
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST(DocumentCommands, RecentFilesAreListedAndAMissingOneLeavesTheList) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"}) {
        h.dir().write(QStringLiteral("pc/") + QLatin1String(name), name);
        ASSERT_TRUE(openClientFile(h, dialogs, QLatin1String(name)));
    }
    EXPECT_EQ(h.app().recentFiles.files().size(), 4);
    EXPECT_EQ(h.app().recentFiles.files().front(), h.pcFile(QStringLiteral("5.txt")));
    h.frame().mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    ASSERT_TRUE(h.frame().childFrames().isEmpty());
    QFile::remove(h.pcFile(QStringLiteral("2.txt")));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileMru1 + 3));
    EXPECT_EQ(prompt.texts(), QStringList{h.pcFile(QStringLiteral("2.txt")) +
                                          QStringLiteral(" が見つかりません。")});
    EXPECT_EQ(h.app().recentFiles.files().size(), 3);
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileMru1 + 2));
    EXPECT_EQ(activeDoc(h.frame())->fileName(), QStringLiteral("3.txt"));
    // An open file is brought to the front, not opened twice.
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileMru1));
    EXPECT_EQ(activeDoc(h.frame())->fileName(), QStringLiteral("3.txt"));
    EXPECT_EQ(h.frame().childFrames().size(), 1);
    EXPECT_TRUE(h.frame().action(CmdFileMru1)->text().endsWith(QStringLiteral("3.txt")));
}
