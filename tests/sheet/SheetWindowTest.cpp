#include "AppHarness.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CMainFrame.h"
#include "frame/FindBar.h"
#include "grid/CGridCtrl.h"
#include "sheet/CAllControlsSheet.h"
#include "sheet/CGridConv.h"
#include "sheet/OpenInSpreadsheet.h"
#include "sheet/SheetDialogs.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` on the next modal dialog of type T once it is up; the steps of a test queue one
// after the other, so that nested modal runs are driven in order.
template <typename T> void onModal(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

void acceptSettings() {
    onModal<CDelimMsgDlg>([](CDelimMsgDlg* d) { d->accept(); });
}

void cancelSettings() {
    onModal<CDelimMsgDlg>([](CDelimMsgDlg* d) { d->reject(); });
}

struct Window {
    AppHarness h;
    QString path;
    std::unique_ptr<CGridConv> window;

    explicit Window(const QByteArray& file, DelimitedTextOptions options = {}) {
        path = h.dir().write(QStringLiteral("pc/s.csv"), file);
        options.path = path;
        window = std::make_unique<CGridConv>(h.app().sheetContext(), options);
        EXPECT_TRUE(window->LoadDelimitedText());
        window->show();
    }
    void edit(int row, int col, const char* text) {
        ASSERT_TRUE(window->gridCtrl()->UpdateCellText(row, col, QString::fromUtf8(text)));
    }
    QByteArray file() const { return readFileBytes(path); }
};

} // namespace

TEST(SheetWindow, LoadingMinimisesTheMainWindowUntilTheSpreadsheetGoes) {
    ScriptedPrompt prompt;
    Window w("a,b");
    EXPECT_TRUE(w.h.frame().isMinimized());
    EXPECT_FALSE(w.window->action(SheetCommand::SortOnClick)->isChecked());
    w.window.reset();
    EXPECT_FALSE(w.h.frame().isMinimized());
}

TEST(SheetWindow, BothClosingPathsAskAndKeepEditsThatWereNotWritten) {
    enum Path { CancelCommand, CloseBox };
    enum Settings { NoSettings, SettingsOk, SettingsCancelled };
    struct Case {
        const char* name;
        Path path;
        bool modified;
        PromptAnswer answer;
        Settings settings;
        bool closes;
        QByteArray file;
    };
    const Case cases[] = {
        {"cancel, unchanged", CancelCommand, false, PromptAnswer::Ok, NoSettings, true, "a,b"},
        {"cancel, No keeps it", CancelCommand, true, PromptAnswer::No, NoSettings, false, "a,b"},
        {"cancel, Yes discards", CancelCommand, true, PromptAnswer::Yes, NoSettings, true, "a,b"},
        {"close box, No discards", CloseBox, true, PromptAnswer::No, NoSettings, true, "a,b"},
        {"close box, Yes saves", CloseBox, true, PromptAnswer::Yes, SettingsOk, true, "x,b"},
        {"close box, Yes but settings cancelled stays", CloseBox, true, PromptAnswer::Yes,
         SettingsCancelled, false, "a,b"},
    };
    for (const Case& c : cases) {
        ScriptedPrompt prompt;
        Window w("a,b");
        if (c.modified)
            w.edit(1, 1, "x");
        if (c.modified)
            prompt.expectQuestion(c.answer);
        if (c.settings == SettingsOk)
            acceptSettings();
        else if (c.settings == SettingsCancelled)
            cancelSettings();
        if (c.path == CancelCommand)
            w.window->runCommand(SheetCommand::Close);
        else
            w.window->close();
        EXPECT_EQ(w.window->isVisible(), !c.closes) << c.name;
        EXPECT_EQ(w.file(), c.file) << c.name;
        const QString question = c.path == CancelCommand
                                     ? QStringLiteral("編集を破棄します。宜しいですか？")
                                     : QStringLiteral("変更を保存しますか？");
        EXPECT_EQ(prompt.texts(), c.modified ? QStringList{question} : QStringList()) << c.name;
        if (!c.closes) {
            EXPECT_TRUE(w.window->model().IsModified()) << c.name;
        }
    }
}

// Text typed into a cell of an unchanged grid is the grid's before any command reads it or
// closes the window.
TEST(SheetWindow, ACellBeingEditedIsEndedBeforeCommandsAndClosing) {
    enum Path { CancelCommand, CloseBox, Save };
    for (const Path path : {CancelCommand, CloseBox, Save}) {
        ScriptedPrompt prompt;
        Window w("a,b");
        // The hidden progress window keeps the focus where no window manager takes it back.
        QApplication::setActiveWindow(w.window.get());
        w.window->gridCtrl()->setFocus();
        w.window->gridCtrl()->SetFocusCellTo({1, 1});
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
        ASSERT_NE(w.window->gridCtrl()->EditBox(), nullptr);
        if (path == Save) {
            acceptSettings();
            w.window->runCommand(SheetCommand::Save);
            EXPECT_EQ(w.file(), QByteArray("x,b"));
            EXPECT_TRUE(prompt.texts().isEmpty());
            continue;
        }
        prompt.expectQuestion(PromptAnswer::No);
        if (path == CancelCommand)
            w.window->runCommand(SheetCommand::Close);
        else
            w.window->close();
        EXPECT_EQ(prompt.texts(),
                  QStringList{path == CancelCommand
                                  ? QStringLiteral("編集を破棄します。宜しいですか？")
                                  : QStringLiteral("変更を保存しますか？")});
        EXPECT_EQ(w.window->isVisible(), path == CancelCommand);
        EXPECT_EQ(w.window->model().CellText(1, 1), QStringLiteral("x"));
        EXPECT_EQ(w.file(), QByteArray("a,b"));
    }
}

TEST(SheetWindow, AFileThatDidNotLoadCannotBeSaved) {
    ScriptedPrompt prompt;
    AppHarness h;
    const QString path = h.dir().write(QStringLiteral("pc/u16.csv"), QByteArray("a\0,\0b\0", 6));
    DelimitedTextOptions options;
    options.path = path;
    CGridConv window(h.app().sheetContext(), options);
    EXPECT_FALSE(window.LoadDelimitedText());
    EXPECT_FALSE(window.action(SheetCommand::Save)->isEnabled());
    EXPECT_FALSE(window.action(SheetCommand::SaveAs)->isEnabled());
    EXPECT_EQ(window.SaveDelimitedText().status(), ResultStatus::Refused);
    EXPECT_EQ(readFileBytes(path), QByteArray("a\0,\0b\0", 6));
}

// Rows and columns shown again have the sizes their neighbours have.
TEST(SheetWindow, ShowAllGivesHiddenRowsTheHeightOfTheRest) {
    ScriptedPrompt prompt;
    Window w("a,b,c\nd,e,f\ng,h,i");
    GridModel& grid = w.window->model();
    grid.SelectRange({2, 2, 2, 2});
    w.window->runCommand(SheetCommand::Hide);
    ASSERT_EQ(grid.RowHeight(2), 0);
    ASSERT_EQ(grid.ColumnWidth(2), 0);
    w.window->runCommand(SheetCommand::ShowAll);
    EXPECT_EQ(grid.RowHeight(2), grid.RowHeight(1));
    EXPECT_GT(grid.ColumnWidth(2), 0);
}

TEST(SheetWindow, FontCommandSetsTheTextColourOfNormalCells) {
    for (const bool accept : {true, false}) {
        ScriptedPrompt prompt;
        Window w("a,b");
        GridModel& grid = w.window->model();
        const GridColour before = grid.DefaultCell(false, false).GetTextClr();
        QColor offered;
        onModal<CGridFontDlg>([&](CGridFontDlg* d) {
            onModal<QColorDialog>([&](QColorDialog* colours) {
                offered = colours->currentColor();
                colours->setCurrentColor(QColor(0x12, 0x34, 0x56));
                colours->accept();
            });
            d->findChild<QPushButton*>(QStringLiteral("Colour"))->click();
            accept ? d->accept() : d->reject();
        });
        w.window->runCommand(SheetCommand::Font);
        EXPECT_EQ(offered.rgb() & 0xFFFFFF, before);
        EXPECT_EQ(grid.DefaultCell(false, false).GetTextClr(), accept ? 0x123456u : before);
        EXPECT_EQ(grid.DefaultCell(true, false).GetTextClr(), before); // headings keep theirs
    }
}

TEST(SheetWindow, EnterAndEscapeNeverCloseTheWindow) {
    ScriptedPrompt prompt;
    Window w("a,b");
    w.window->gridCtrl()->setFocus();
    QTest::keyClick(w.window->gridCtrl(), Qt::Key_Escape);
    QTest::keyClick(w.window->gridCtrl(), Qt::Key_Return);
    QTest::keyClick(w.window.get(), Qt::Key_Escape);
    EXPECT_TRUE(w.window->isVisible());
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(SheetWindow, SaveAsWritesTheNewPathAfterItsSettings) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    Window w("a,b");
    const QString other = w.h.pcFile(QStringLiteral("other.csv"));
    dialogs.expectSave(ScriptedFileDialogs::chose(other));
    onModal<CDelimMsgDlg>([](CDelimMsgDlg* d) {
        d->findChild<QAbstractButton*>(QStringLiteral("Tab"))->click();
        d->accept();
    });
    EXPECT_EQ(w.window->SaveDelimitedTextAs().status(), ResultStatus::Done);
    EXPECT_EQ(readFileBytes(other), QByteArray("a\tb"));
    EXPECT_EQ(w.file(), QByteArray("a,b"));
    EXPECT_EQ(dialogs.requests().value(0).title, QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(dialogs.requests().value(0).directory, w.h.app().settings.PcDir);
}

TEST(SheetWindow, SearchSheetReplacesAndStoresTheHistory) {
    ScriptedPrompt prompt;
    Window w("a,b\nc,a\na,a");
    w.h.app().settings.SearchHistory = {QStringLiteral("old")};
    w.window->model().SelectColumns(1, 1);
    CAllControlsSheet sheet(w.h.app().sheetContext(), w.window->gridCtrl(), w.window.get());
    sheet.show();
    sheet.tabs()->setCurrentWidget(sheet.replacePage());
    auto* search = sheet.replacePage()->findChild<QComboBox*>(QStringLiteral("Search"));
    auto* replacement = sheet.replacePage()->findChild<QComboBox*>(QStringLiteral("Replacement"));
    EXPECT_EQ(search->currentText(), QStringLiteral("a")); // the focused cell's text
    replacement->setEditText(QStringLiteral("ab"));
    sheet.replacePage()->findChild<QPushButton*>(QStringLiteral("ReplaceAll"))->click();
    EXPECT_EQ(w.window->model().CellText(1, 1), QStringLiteral("ab"));
    EXPECT_EQ(w.window->model().CellText(2, 1), QStringLiteral("c"));
    EXPECT_EQ(w.window->model().CellText(3, 1), QStringLiteral("ab"));
    EXPECT_EQ(w.window->model().CellText(3, 2), QStringLiteral("a"));
    sheet.reject();
    EXPECT_EQ(w.h.app().settings.SearchHistory,
              (QStringList{QStringLiteral("a"), QStringLiteral("old")}));
    EXPECT_EQ(w.h.frame().findBar()->items(), w.h.app().settings.SearchHistory);
}

TEST(SheetWindow, EditorEntrySavesFirstAndTheDocumentShowsWhatTheSpreadsheetWrote) {
    for (const bool serverFile : {false, true}) {
        ScriptedPrompt prompt;
        AppHarness h;
        const QString path = h.dir().write(QStringLiteral("tran/s.csv"), "a,b");
        ASSERT_TRUE(h.openText(path, serverFile));
        CVantorpadDoc* doc = h.frame().activeDocument();
        if (!serverFile) {
            h.frame().activeView()->selectAll();
            h.frame().activeView()->insertPlainText(QStringLiteral("a,b\nc,d"));
            prompt.expectQuestion(PromptAnswer::Yes);
        }
        acceptSettings();
        onModal<CGridConv>([](CGridConv* window) {
            EXPECT_TRUE(window->gridCtrl()->UpdateCellText(1, 2, QStringLiteral("z")));
            acceptSettings();
            EXPECT_EQ(window->SaveDelimitedText().status(), ResultStatus::Done);
            window->runCommand(SheetCommand::Close);
        });
        ASSERT_TRUE(h.frame().triggerCommand(CmdSpreadsheet));
        const QString expected = serverFile ? QStringLiteral("a,z") : QStringLiteral("a,z\r\nc,d");
        EXPECT_EQ(doc->textWithLineEnds(), expected) << serverFile;
        EXPECT_EQ(doc->isModified(), serverFile);
        doc->setModified(false); // the harness closes without questions
    }
}

// A document of the same file with edits of its own asks before it reads what the spreadsheet
// wrote, so that neither text is lost unseen.
TEST(SheetWindow, ADocumentWithItsOwnEditsAsksBeforeReadingTheSavedFile) {
    for (const PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No}) {
        ScriptedPrompt prompt;
        AppHarness h;
        const QString path = h.dir().write(QStringLiteral("pc/s.csv"), "a,b");
        ASSERT_TRUE(h.openLocalText(path));
        CVantorpadDoc* doc = h.frame().activeDocument();
        h.frame().activeView()->selectAll();
        h.frame().activeView()->insertPlainText(QStringLiteral("own"));
        doc->setModified(true);
        acceptSettings();
        onModal<CGridConv>([](CGridConv* window) {
            EXPECT_TRUE(window->gridCtrl()->UpdateCellText(1, 2, QStringLiteral("z")));
            acceptSettings();
            EXPECT_EQ(window->SaveDelimitedText().status(), ResultStatus::Done);
            window->runCommand(SheetCommand::Close);
        });
        prompt.expectQuestion(answer);
        OpenInSpreadsheet(h.app().sheetContext(), path, false);
        EXPECT_EQ(prompt.texts().value(0),
                  doc->title() + QStringLiteral(" はスプレット画面で保存されました。\n"
                                                "編集中の変更を破棄して再読込しますか？"));
        EXPECT_EQ(doc->textWithLineEnds(),
                  answer == PromptAnswer::Yes ? QStringLiteral("a,z") : QStringLiteral("own"));
        doc->setModified(false); // the harness closes without questions
    }
}

TEST(SheetWindow, OpenClientFileOffersTheSpreadsheet) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    const QString path = h.dir().write(QStringLiteral("pc/o.csv"), "1,2,3");
    dialogs.expectOpen(ScriptedFileDialogs::chose(path, true, 1));
    acceptSettings();
    int columns = 0;
    bool editable = true;
    onModal<CGridConv>([&](CGridConv* window) {
        columns = window->model().ColumnTotal();
        editable = window->model().Behaviour().editable;
        window->runCommand(SheetCommand::Close);
    });
    h.app().OnFileOpen();
    EXPECT_EQ(columns, 4);
    EXPECT_FALSE(editable);
    EXPECT_TRUE(h.frame().childFrames().isEmpty());
}

TEST(SheetWindow, TogglesCarryTheirCheckMarksAndCopyNeedsASelection) {
    ScriptedPrompt prompt;
    Window w("a,b");
    CGridConv& c = *w.window;
    c.runCommand(SheetCommand::ReadOnly);
    EXPECT_TRUE(c.action(SheetCommand::ReadOnly)->isChecked());
    EXPECT_FALSE(c.model().Behaviour().editable);
    EXPECT_EQ(c.SaveDelimitedText().status(), ResultStatus::Refused);
    c.runCommand(SheetCommand::ReadOnly);
    EXPECT_TRUE(c.model().Behaviour().editable);
    c.runCommand(SheetCommand::SortOnClick);
    EXPECT_TRUE(c.action(SheetCommand::SortOnClick)->isChecked());
    EXPECT_TRUE(c.model().Behaviour().sortOnClick);

    c.model().ClearSelection();
    EXPECT_FALSE(c.action(SheetCommand::Copy)->isEnabled());
    c.model().SelectColumns(1, 1);
    EXPECT_TRUE(c.action(SheetCommand::Copy)->isEnabled());
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(SheetWindow, HeadingClickSortsBothWaysWithoutModifyingOnceSortingIsOn) {
    ScriptedPrompt prompt;
    Window w("b\nc\na");
    CGridCtrl* grid = w.window->gridCtrl();
    const auto clickHeading = [grid] {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(0, 1).center());
    };
    const auto column = [&w] {
        return QStringList{w.window->model().CellText(1, 1), w.window->model().CellText(2, 1),
                           w.window->model().CellText(3, 1)};
    };
    clickHeading(); // sorting by click is off after loading
    EXPECT_EQ(column(),
              (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));
    w.window->runCommand(SheetCommand::SortOnClick);
    clickHeading();
    EXPECT_EQ(column(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    clickHeading();
    EXPECT_EQ(column(),
              (QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
    w.window->close();
    EXPECT_FALSE(w.window->isVisible());
    EXPECT_TRUE(prompt.texts().isEmpty());
}
