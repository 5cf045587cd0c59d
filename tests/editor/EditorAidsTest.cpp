// The character conversions, insertions, keywords dialog and jump through the real editor and
// main window.

#include "AppHarness.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompt.h"

#include "encoding/LosslessCodec.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

CVantorpadView* openText(AppHarness& h, const QByteArray& bytes) {
    h.dir().write(QStringLiteral("pc/v.txt"), bytes);
    if (!h.openLocalText(h.pcFile(QStringLiteral("v.txt"))))
        return nullptr;
    return h.frame().activeView();
}

void select(CVantorpadView* view, int from, int to) {
    view->select(from, to);
}

// Answers the next modal dialog with `act` once it is up.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(modal);
    });
}

QByteArray sjis(const char* utf8) {
    return LosslessCodec::cp932().encode(QString::fromUtf8(utf8)).bytes;
}

} // namespace

TEST(EditorAids, AConversionReplacesTheSelectionLineByLineAsOneUndoStep) {
    AppHarness h;
    CVantorpadView* view = openText(h, sjis("ab ｶﾞ\r\ncd\nef"));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(h.frame().isCommandEnabled(EditorCommand::HalfToFull)) << "nothing selected";
    EXPECT_TRUE(h.frame().isCommandEnabled(EditorCommand::Keyword1Upper));
    select(view, 1, 11); // "b ｶﾞ\r\ncd\ne"
    ASSERT_TRUE(view->runCommand(EditorCommand::HalfToFull));
    EXPECT_EQ(view->doc()->textWithLineEnds(), QString::fromUtf8("aｂ　カ゛\r\nｃｄ\nｅf"))
        << "each line keeps its own line end";
    EXPECT_FALSE(view->hasSelection());
    EXPECT_EQ(view->caretPosition(), 11) << "the caret after the converted text";
    view->undo();
    EXPECT_EQ(view->doc()->textWithLineEnds(), QString::fromUtf8("ab ｶﾞ\r\ncd\nef"));
}

TEST(EditorAids, AByteAfterAnInvalidLeadByteStaysWhatItWasThroughAConversionAndASave) {
    ScriptedPrompt prompt;
    AppHarness h;
    // 81 has no valid second byte here; 85 40 is no character, so 85 stands alone too.
    CVantorpadView* view = openText(h, "\x81\x20\x31\r\n\x85\x40"
                                       "a A");
    ASSERT_NE(view, nullptr);
    select(view, 2, 12); // from the byte right after 81 (two UTF-16 units) to the end
    ASSERT_TRUE(view->runCommand(EditorCommand::HalfToFull));
    ASSERT_EQ(view->doc()->DoSave(h.pcFile(QStringLiteral("v.txt"))).status(), ResultStatus::Done);
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/v.txt")),
              "\x81\x20\x82\x50\r\n\x85\x40\x82\x81\x81\x40\x82\x60");
}

TEST(EditorAids, InsertedFilesKeywordsAndTheJump) {
    ScriptedPrompt prompt;
    ScriptedFileDialogs dialogs;
    AppHarness h;
    QByteArray lines;
    for (int i = 1; i <= 200; ++i)
        lines += "line " + QByteArray::number(i) + "\n";
    CVantorpadView* view = openText(h, lines);
    ASSERT_NE(view, nullptr);

    // 32792: the non-empty lines at the caret, one undo step.
    const QString inserted = h.dir().write(QStringLiteral("pc/in.txt"), "x\r\n\r\ny\r\n");
    dialogs.expectOpen(ScriptedFileDialogs::chose(inserted));
    ASSERT_TRUE(h.frame().triggerCommand(CmdInsertFile));
    EXPECT_EQ(dialogs.requests().last().title, QStringLiteral("ファイルの挿入"));
    EXPECT_TRUE(view->doc()->textWithLineEnds().startsWith(QStringLiteral("x\ny\nline 1\n")));
    view->undo();
    EXPECT_TRUE(view->doc()->textWithLineEnds().startsWith(QStringLiteral("line 1\n")));
    EXPECT_EQ(view->InsertTextFile(h.dir().filePath(QStringLiteral("missing"))), -1);
    // A read-only document takes nothing in.
    const QString readOnly = h.dir().write(QStringLiteral("pc/ro.txt"), "ro\n");
    ASSERT_TRUE(h.openLocalText(readOnly, true));
    EXPECT_FALSE(h.frame().isCommandEnabled(CmdInsertFile));
    EXPECT_EQ(h.frame().activeView()->InsertTextFile(inserted), -1);
    EXPECT_EQ(h.frame().activeView()->toPlainText(), QStringLiteral("ro\n"));
    h.frame().mdiArea()->setActiveSubWindow(h.frame().childFrames().first());

    // 32771: typed letters are stored as capitals.
    whenModal([](QWidget* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("Key2_3")),
                         QStringLiteral("where"));
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(h.frame().triggerCommand(CmdKeywordSettings));
    EXPECT_EQ(h.app().settings.Key2[3], QStringLiteral("WHERE"));

    // The jump: upwards without scrolling, downwards scrolling by the distance first.
    view->resize(400, 200);
    view->jumpToLine(10);
    view->jumpToLine(3);
    EXPECT_EQ(view->caretLine(), 3);
    EXPECT_EQ(view->caretPosition(), view->toPlainText().indexOf(QStringLiteral("line 3")));
    view->verticalScrollBar()->setValue(0);
    view->jumpToLine(30);
    EXPECT_EQ(view->caretLine(), 30);
    EXPECT_GE(view->verticalScrollBar()->value(), 27) << "scrolled down 27 lines from the top";
    view->jumpToLine(100000);
    EXPECT_EQ(view->caretPosition(), view->toPlainText().size());
}
