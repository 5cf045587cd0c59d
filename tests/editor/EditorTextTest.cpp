#include "AppHarness.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "editor/KeywordOverlay.h"
#include "editor/LongLines.h"
#include "editor/SyntaxLanguage.h"
#include "encoding/LosslessCodec.h"
#include "frame/CMainFrame.h"
#include "platform/IniFile.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
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
    if (!h.openLocalText(h.pcFile(QStringLiteral("t.txt"))))
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
        if (!c.shownPart.isEmpty()) {
            EXPECT_TRUE(shown.contains(c.shownPart));
        }
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

TEST(EditorText, TheLanguageComesFromTheExtensionOrElseTheFirstLine) {
    const struct {
        const char* name;
        const char* firstLine;
        SyntaxLanguage language;
    } cases[] = {
        {"index.HTML", "", SyntaxLanguage::Html},
        {"a.php", "", SyntaxLanguage::Php},
        {"style.css", "", SyntaxLanguage::Css},
        {"Makefile", "", SyntaxLanguage::Makefile},
        {"run", "#!/usr/bin/env python3", SyntaxLanguage::Python},
        {"run", "#!/bin/sh", SyntaxLanguage::Shell},
        {"page", "<!DOCTYPE html>", SyntaxLanguage::Html},
        {"data", "<?xml version=\"1.0\"?>", SyntaxLanguage::Xml},
        {"notes.txt", "<?php", SyntaxLanguage::Php},
        {"notes.txt", "plain", SyntaxLanguage::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(syntaxLanguageFor(QString::fromLatin1(c.name), c.firstLine), c.language)
            << c.name << " " << c.firstLine;
}

// Keyword colours lie over the language's colours: both show on the same text, and choosing
// plain text in the menu leaves the keyword colours.
TEST(EditorText, KeywordColoursShowOverSyntaxColours) {
    ScriptedPrompt prompt;
    AppHarness h("[KeyWord]\r\nKey1[0]=BODY\r\n");
    h.dir().write(QStringLiteral("pc/p.html"), "<html><body>x</body></html>\n");
    ASSERT_TRUE(h.openLocalText(h.pcFile(QStringLiteral("p.html"))));
    CVantorpadView* view = h.frame().activeView();
    EXPECT_EQ(view->language(), SyntaxLanguage::Html);
    view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    const long tagStyle = view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 7UL);
    EXPECT_NE(tagStyle, 0) << "the tag is styled by the HTML lexer";
    prompt.expectQuestion(PromptAnswer::Yes);
    ASSERT_TRUE(h.frame().triggerCommand(CmdKeywordColour));
    EXPECT_EQ(view->keywordColours()->setAt(7), 0);
    EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 7UL), tagStyle);
    view->setLanguage(SyntaxLanguage::None);
    EXPECT_EQ(view->lexer(), nullptr);
    EXPECT_EQ(view->keywordColours()->setAt(7), 0);
}

// The View toggles reach every open editor and are written to the settings file only once
// they differ from what a file without them means.
TEST(EditorText, ViewTogglesApplyToEveryEditorAndAreWrittenOnlyOnceChanged) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* first = open(h, "a");
    h.dir().write(QStringLiteral("pc/u.txt"), "b");
    ASSERT_TRUE(h.openLocalText(h.pcFile(QStringLiteral("u.txt"))));
    CVantorpadView* second = h.frame().activeView();
    EXPECT_GT(first->marginWidth(0), 0) << "line numbers are on by default";

    QMenu* viewMenu = nullptr;
    for (QAction* a : h.frame().menuBar()->actions())
        if (a->menu() && a->text().startsWith(QStringLiteral("表示")))
            viewMenu = a->menu();
    ASSERT_NE(viewMenu, nullptr);
    emit viewMenu->aboutToShow();
    for (QAction* a : viewMenu->actions())
        if (a->text() == QStringLiteral("行番号(&L)") ||
            a->text().startsWith(QStringLiteral("カーソル行")))
            a->trigger();
    EXPECT_EQ(first->marginWidth(0), 0);
    EXPECT_EQ(second->marginWidth(0), 0);
    EXPECT_TRUE(first->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE));

    IniFile unchanged;
    unchanged.setContents("[Env]\r\nTabCount=8\r\n");
    static_cast<void>(AppSettings().store(unchanged));
    EXPECT_FALSE(unchanged.contents().contains("[View]"));
    IniFile changed;
    static_cast<void>(h.app().settings.store(changed));
    EXPECT_TRUE(changed.contents().contains("LineNumbers=0"));
    EXPECT_TRUE(changed.contents().contains("CaretLine=1"));
    EXPECT_FALSE(changed.contents().contains("Folding"));
}

// Replace-all and the conversions rewrite the document's bytes in one undo step, with the
// result a loop of finds and replacements would give; kept bytes stay as they were and no
// character after a kept lead byte is converted.
TEST(EditorText, BulkEditsAreOneUndoStepAndLeaveKeptBytes) {
    const QByteArray kept80("\x80"), keptLead("\x81");
    const struct {
        const char* name;
        QByteArray file;
        std::function<void(CVantorpadView*)> edit;
        QByteArray saved;
    } cases[] = {
        {"replace Japanese beside kept bytes",
         toCp932(u"日本語と日本\r\n") + kept80 + toCp932(u"日本"),
         [](CVantorpadView* v) {
             EXPECT_EQ(
                 v->replaceAll(QStringLiteral("日本"), QStringLiteral("ニホン"), false, false), 3);
         },
         toCp932(u"ニホン語とニホン\r\n") + kept80 + toCp932(u"ニホン")},
        {"replace whole words without case, from the caret on",
         "mark MARK MARKED mark" + kept80 + "mark",
         [](CVantorpadView* v) {
             v->select(1, 1);
             EXPECT_EQ(v->replaceAll(QStringLiteral("Mark"), QStringLiteral("x"), true, false), 3);
         },
         "mark x MARKED x" + kept80 + "x"},
        {"half to full width after a kept lead byte", keptLead + " a\r\nb",
         [](CVantorpadView* v) {
             v->selectAll();
             v->runConversion(EditorCommand::HalfToFull);
         },
         keptLead + " " + toCp932(u"ａ\r\nｂ")},
        {"upper case of part of the text", toCp932(u"abc ｘｙ") + kept80 + "z",
         [](CVantorpadView* v) {
             v->select(1, 9);
             v->runConversion(EditorCommand::ToUpper);
         },
         toCp932(u"aBC ＸＹ") + kept80 + "Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompt prompt;
        AppHarness h("DelEOF=0\r\n");
        CVantorpadView* view = open(h, c.file);
        ASSERT_NE(view, nullptr);
        CVantorpadView::hooks().searchFailed = [](QWidget*) {};
        const QString before = view->toPlainText();
        c.edit(view);
        EXPECT_TRUE(view->doc()->isModified());
        ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
        EXPECT_EQ(h.dir().read(QStringLiteral("pc/t.txt")), c.saved);
        view->undo();
        EXPECT_EQ(view->toPlainText(), before);
        EXPECT_FALSE(view->isUndoAvailable());
    }
    CVantorpadView::hooks() = CVantorpadView::defaultHooks();
}

// Edits reach Scintilla's notifications only before they are made (the ones after count
// characters through the whole text); the view still tells of each change once it is made.
TEST(EditorText, TypingAndUndoTellOfTheChangedText) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = open(h, "ab");
    ASSERT_NE(view, nullptr);
    QStringList told;
    QObject::connect(view, &QsciScintilla::textChanged, view,
                     [&] { told.append(view->toPlainText()); });
    view->select(2, 2);
    QWidget* focus = focusOn(h, view);
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, QStringLiteral("c"));
    ASSERT_FALSE(told.isEmpty());
    EXPECT_EQ(told.last(), QStringLiteral("abc"));
    view->undo();
    EXPECT_EQ(told.last(), QStringLiteral("ab"));
    QTest::keyClick(focus, Qt::Key_Left);
    const qsizetype afterMove = told.size();
    QTest::keyClick(focus, Qt::Key_Right);
    EXPECT_EQ(told.size(), afterMove) << "a caret move changes no text";
}

// A line too long to lay out is shown cut into pieces, read-only, with a message; the file is
// written back as it was, and the cuts never split a character.
TEST(EditorText, ALineTooLongToLayOutIsShownCutAndSavedWhole) {
    const QByteArray unit = toCp932(u"長い行 abc ") + "\x80";
    QByteArray line;
    while (line.size() <= LongLines::Longest)
        line += unit;
    const QByteArray file = "first\r" + line + "\r\nlast";
    ScriptedPrompt prompt;
    AppHarness h("DelEOF=0\r\n");
    CVantorpadView* view = open(h, file);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts()[0].contains(QStringLiteral("読み取り専用")));
    EXPECT_TRUE(view->isReadOnly());
    view->setReadOnly(false);
    EXPECT_TRUE(view->isReadOnly()) << "the cuts must stay where they are";
    EXPECT_GT(view->lineCount(), line.size() / LongLines::Piece);
    EXPECT_FALSE(view->toPlainText().contains(QChar(0xFFFD)));
    ASSERT_TRUE(view->doc()->OnSaveDocument(h.pcFile(QStringLiteral("t.txt"))));
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/t.txt")), file);
}
