#include "AppHarness.h"
#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "compare/CompareView.h"
#include "compare/CompareWindow.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CMainFrame.h"
#include "settings/ServerProfile.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

CompareWindow* openComparison() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<CompareWindow*>(w); window && window->isVisible())
            return window;
    return nullptr;
}

// Keys go where the keyboard sends them: to the focused widget of the active window.
void pressKey(CompareWindow* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key(key), modifiers);
}

QString statusOf(CompareWindow* window) {
    return window->findChild<QLabel*>(QStringLiteral("CompareStatus"))->text();
}

QByteArray u8(const char8_t* text) {
    return QByteArray(reinterpret_cast<const char*>(text));
}

} // namespace

// A local document beside its file on disk, which changed after it was opened: each change
// taken over puts exactly the disk's lines into the document, as one undo step.
TEST(CompareWindow, TakingOverAChangePutsTheOtherLinesIntoTheDocument) {
    const QByteArray mine = u8(u8"一行目\n二行目は私の\n三行目\n四行目\n五行目\n最後の行");
    const QByteArray disk = u8(u8"零行目\n一行目\n二行目はディスクの\n三行目\n五行目\n最後の行\n");
    const struct {
        int change; // which change, in order
        QByteArray after;
    } cases[] = {
        // An insertion, a change, a deletion, and the last line's missing end.
        {0, u8(u8"零行目\n一行目\n二行目は私の\n三行目\n四行目\n五行目\n最後の行")},
        {1, u8(u8"一行目\n二行目はディスクの\n三行目\n四行目\n五行目\n最後の行")},
        {2, u8(u8"一行目\n二行目は私の\n三行目\n五行目\n最後の行")},
        {3, u8(u8"一行目\n二行目は私の\n三行目\n四行目\n五行目\n最後の行\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        ScriptedPrompt prompt;
        AppHarness h;
        const QString path = h.pcFile(QStringLiteral("memo.txt"));
        writeFileBytes(path, mine);
        ASSERT_TRUE(h.app().OpenTextDocument(path, ServerProfile(), false, false));
        CVantorpadDoc* doc = h.frame().activeDocument();
        writeFileBytes(path, disk);

        ASSERT_TRUE(h.frame().triggerCommand(EditorCommand::CompareWithFile));
        CompareWindow* window = openComparison();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("比較 - memo.txt"));
        ASSERT_EQ(window->comparison().changes().size(), 4u);
        EXPECT_EQ(window->currentChange(), 0) << "the first change is shown at once";
        for (int i = 0; i < c.change; ++i)
            pressKey(window, Qt::Key_F8);
        ASSERT_EQ(window->currentChange(), c.change);
        auto* takeOver = window->findChild<QPushButton*>(QStringLiteral("TakeOver"));
        EXPECT_EQ(takeOver->text(), QStringLiteral("ディスク側を取り込む"));
        takeOver->click();

        EXPECT_EQ(doc->editorText(), c.after);
        EXPECT_TRUE(doc->isModified());
        EXPECT_EQ(window->comparison().changes().size(), 3u) << "the change is gone";
        h.frame().activeView()->undo();
        EXPECT_EQ(doc->editorText(), mine) << "one undo step takes it back";
        EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
        window->close();
    }
}

TEST(CompareWindow, NextAndPreviousStopAtTheEndsAndTheSidesScrollTogether) {
    ScriptedPrompt prompt;
    AppHarness h;
    QByteArray mine, disk;
    for (int i = 0; i < 400; ++i) {
        mine += "line " + QByteArray::number(i) + '\n';
        if (i == 100)
            disk += "inserted\ninserted\n"; // from here on the disk's lines are two further down
        if (i != 300)
            disk += "line " + QByteArray::number(i) + (i == 200 ? " changed\n" : "\n");
    }
    const QString path = h.pcFile(QStringLiteral("long.txt"));
    writeFileBytes(path, mine);
    ASSERT_TRUE(h.app().OpenTextDocument(path, ServerProfile(), false, false));
    writeFileBytes(path, disk);
    ASSERT_TRUE(h.frame().activeDocument()->compareWithDisk());
    CompareWindow* window = openComparison();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->comparison().changes().size(), 3u);

    const int steps[][2] = {{Qt::Key_F8, 1}, {Qt::Key_F8, 2}, {Qt::Key_F8, 2},
                            {-1, 1},         {-1, 0},         {-1, 0}};
    for (const auto& [key, expected] : steps) {
        if (key == Qt::Key_F8)
            pressKey(window, Qt::Key_F8);
        else
            pressKey(window, Qt::Key_F8, Qt::ShiftModifier);
        EXPECT_EQ(window->currentChange(), expected);
        EXPECT_EQ(statusOf(window), QStringLiteral("変更 %1 / 3").arg(expected + 1));
    }
    // Dragging either scroll bar moves the other side to the line beside.
    window->documentSide()->verticalScrollBar()->setValue(250);
    EXPECT_EQ(window->otherSide()->topLine(), 252);
    window->otherSide()->verticalScrollBar()->setValue(352);
    EXPECT_EQ(window->documentSide()->topLine(), 351) << "past the deleted line 300";
    window->close();
}

// Edits made in the document after the comparison move its lines: nothing is taken over at the
// old places; the window compares again and says so.
TEST(CompareWindow, EditsAfterTheComparisonAreComparedAgainFirst) {
    ScriptedPrompt prompt;
    AppHarness h;
    const QString path = h.pcFile(QStringLiteral("memo.txt"));
    writeFileBytes(path, "a\nb\nc\n");
    ASSERT_TRUE(h.app().OpenTextDocument(path, ServerProfile(), false, false));
    writeFileBytes(path, "a\nB\nc\n");
    ASSERT_TRUE(h.frame().activeDocument()->compareWithDisk());
    CompareWindow* window = openComparison();
    ASSERT_NE(window, nullptr);
    CVantorpadView* view = h.frame().activeView();
    view->select(0, 0);
    view->insertPlainText(QStringLiteral("new\n"));

    window->findChild<QPushButton*>(QStringLiteral("TakeOver"))->click();
    EXPECT_EQ(h.frame().activeDocument()->editorText(), QByteArray("new\na\nb\nc\n"));
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts().front().startsWith(QStringLiteral("比較の後に文書が変更された")));
    ASSERT_EQ(window->comparison().changes().size(), 2u) << "the new line is a change now";
    window->close();
}

// A file that is gone cannot be compared: the reader's message names it, and the document
// keeps its text.
TEST(CompareWindow, AFileThatCannotBeReadIsNamedAndNothingOpens) {
    ScriptedPrompt prompt;
    AppHarness h;
    const QString path = h.pcFile(QStringLiteral("gone.txt"));
    writeFileBytes(path, "text\n");
    ASSERT_TRUE(h.app().OpenTextDocument(path, ServerProfile(), false, false));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(h.frame().triggerCommand(EditorCommand::CompareWithFile));
    EXPECT_EQ(openComparison(), nullptr);
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown().front().icon, PromptIcon::Error);
    EXPECT_TRUE(prompt.texts().front().contains(QStringLiteral("gone.txt")))
        << prompt.texts().front().toStdString();
    EXPECT_EQ(h.frame().activeDocument()->editorText(), QByteArray("text\n"));
}

// Someone changed the file on the server: the save's question offers "比較する", which shows
// the server's text beside the document and sends nothing; after that the document's save
// goes through unasked, and the fetched copy goes with the window.
TEST(CompareWindow, ComparingInsteadOfOverwritingLetsTheNextSaveThrough) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    server.writeFile("page.txt", "one\ntwo\n");
    ScriptedPrompt prompt;
    AppHarness h;
    h.app().settings.Network = server.network();
    const ServerProfile profile = server.profile(CodeSystemSjis, QStringLiteral("/"));
    CVantorpadDoc* doc = h.openFromServer(profile, "page.txt");
    ASSERT_NE(doc, nullptr);
    server.changeFile("page.txt", "one\nTWO, theirs\nthree\n");
    CVantorpadView* view = h.frame().activeView();
    view->select(0, 0);
    view->insertPlainText(QStringLiteral("zero\n"));

    prompt.expectQuestion(PromptAnswer::Ok);
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    ASSERT_EQ(prompt.shown().size(), 1) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(prompt.shown().front().choices.ok, QStringLiteral("比較する"));
    EXPECT_EQ(server.readFile("page.txt"), QByteArray("one\nTWO, theirs\nthree\n"));
    CompareWindow* window = openComparison();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->findChild<QPushButton*>(QStringLiteral("TakeOver"))->text(),
              QStringLiteral("サーバ側を取り込む"));
    ASSERT_EQ(window->comparison().changes().size(), 2u); // "zero" and "two"
    window->nextChange();
    window->findChild<QPushButton*>(QStringLiteral("TakeOver"))->click();
    // The copies came in ASCII mode, both with CR LF.
    EXPECT_EQ(doc->editorText(), QByteArray("zero\r\none\r\nTWO, theirs\r\nthree\r\n"));
    const QString copy = h.tranFile(QStringLiteral("page_server.txt"));
    EXPECT_TRUE(QFile::exists(copy));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(QFile::exists(copy)) << "the fetched copy goes with the window";

    prompt.clear();
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
    EXPECT_EQ(server.readFile("page.txt"), QByteArray("zero\none\nTWO, theirs\nthree\n"));

    // The menu command compares with the server's file at any time.
    ASSERT_TRUE(h.frame().isCommandEnabled(EditorCommand::CompareWithFile));
    ASSERT_TRUE(h.frame().triggerCommand(EditorCommand::CompareWithFile));
    window = openComparison();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->comparison().identical());
    EXPECT_EQ(statusOf(window), QStringLiteral("違いはありません。"));
    window->close();
}
