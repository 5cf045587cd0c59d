#include "AppHarness.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CMainFrame.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The window shown and active, so that keys and input-method events reach the focus widget.
QWidget* focusOn(AppHarness& h, CVantorpadView* view) {
    h.frame().show();
    h.frame().activateWindow();
    if (!QTest::qWaitForWindowActive(&h.frame()))
        return nullptr;
    view->setFocus();
    return QApplication::focusWidget();
}

CVantorpadView* open(AppHarness& h, const QByteArray& bytes) {
    h.dir().write(QStringLiteral("pc/t.txt"), bytes);
    if (!h.app().OpenTextDocument(h.pcFile(QStringLiteral("t.txt")), ServerProfile(), false, false))
        return nullptr;
    return h.frame().activeView();
}

} // namespace

// Every document comes back byte for byte when saved unedited, whatever it holds; no run of
// kept bytes joins into a character on screen, and no character turns into kept bytes.
TEST(EditorText, BadInputOpensShowsAndSavesBackByteIdentical) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString shownPart; // something the view must show, when not empty
    } cases[] = {
        {"CP932 with kept bytes everywhere",
         "\x81\r\n\x82\n\x80\xA0\xFD\xFE\xFF\x93\xfa\x40\x40\x81",
         {}},
        {"CP932 bytes that read as UTF-8 when joined", "\x93\xfa\xEB\x80\x80\xEB", {}},
        {"neither UTF-8 nor CP932 throughout", "caf\xC3\xA9 \x80 \xE3\x81", {}},
        {"UTF-8 holding a character of the stand-ins' range", "\xE6\x97\xA5\xF4\x8F\xBE\x81", {}},
        {"UTF-8 with its byte order mark", "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\r\n", {}},
        {"mixed line ends", "a\rb\nc\r\nd\r\r\n\n", QStringLiteral("c\r\nd")},
        {"a final end-of-file byte", "text\r\n\x1A", {}},
        {"one long line", QByteArray(300000, 'x') + "\xE6\x97\xA5", {}},
        {"many empty lines", QByteArray(200000, '\n'), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompt prompt;
        AppHarness h("DelEOF=0\r\n");
        CVantorpadView* view = open(h, c.bytes);
        ASSERT_NE(view, nullptr);
        const QString shown = view->toPlainText();
        EXPECT_FALSE(shown.contains(QChar(0xB000))) << "EB 80 80 stays three kept bytes";
        EXPECT_FALSE(shown.contains(QChar(0xFFFD)));
        if (!c.shownPart.isEmpty())
            EXPECT_TRUE(shown.contains(c.shownPart));
        ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
        EXPECT_EQ(h.dir().read(QStringLiteral("pc/t.txt")), c.bytes);
        EXPECT_TRUE(prompt.shown().isEmpty());
    }
}

TEST(EditorText, AFileWithANulByteIsRefusedWithItsMessage) {
    ScriptedPrompt prompt;
    AppHarness h;
    EXPECT_EQ(open(h, QByteArray("a\0b", 3)), nullptr);
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts()[0].endsWith(QStringLiteral("はバイナリファイルの為、開けません。")));
}

// Typing beside a kept byte writes the typed text and leaves the byte as it was; a kept lead
// byte never takes the typed character as its second byte.
TEST(EditorText, AnEditNextToAKeptByteLeavesTheByte) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = open(h, "a\x81\r\nb");
    ASSERT_NE(view, nullptr);
    const qsizetype afterByte = view->toPlainText().indexOf(u'\r');
    view->select(afterByte, afterByte);
    QWidget* focus = focusOn(h, view);
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, QStringLiteral("@x"));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/t.txt")), QByteArray("a\x81@x\r\nb"));
    EXPECT_EQ(view->lineCount(), 2);
}

// Japanese from an input method: the composition stands at the caret while it is typed and
// only the committed text goes into the document.
TEST(EditorText, AnInputMethodCompositionCommitsIntoTheText) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = open(h, "ab");
    ASSERT_NE(view, nullptr);
    view->select(1, 1);
    QWidget* focus = focusOn(h, view);
    ASSERT_NE(focus, nullptr);
    QInputMethodEvent composing(QStringLiteral("にほん"), {});
    QApplication::sendEvent(focus, &composing);
    EXPECT_TRUE(view->toPlainText().contains(QStringLiteral("にほん")))
        << "the composition shows where it is typed";
    const QRect caret = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_GT(caret.left(), view->characterRect(0).left()) << "the candidates come at the caret";
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(focus, &commit);
    EXPECT_EQ(view->toPlainText(), QStringLiteral("a日本b"));
    ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/t.txt")), QByteArray("a\x93\xfa\x96\x7b"
                                                                   "b"));
}
