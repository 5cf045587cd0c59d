#include "AppHarness.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "editor/KeywordOverlay.h"
#include "frame/CMainFrame.h"
#include "platform/ScopedOverride.h"
#include "widgets/EditorAppearance.h"

#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <QPrinter>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString AskColour = QStringLiteral("キーワード色分けは時間がかかります。宜しいですか？");

CVantorpadView* openText(AppHarness& h, const QByteArray& bytes) {
    h.dir().write(QStringLiteral("pc/v.txt"), bytes);
    if (!h.openLocalText(h.pcFile(QStringLiteral("v.txt"))))
        return nullptr;
    return h.frame().activeView();
}

// The keyword colour drawn at `position` of line `line`; black when uncoloured.
QColor drawnAt(CVantorpadView* view, int line, int position) {
    const qsizetype at = view->textPosition(view->positionFromLineIndex(line, 0)) + position;
    const int set = view->keywordColours()->setAt(at);
    if (set < 0)
        return Qt::black;
    const long colour = view->SendScintilla(QsciScintillaBase::SCI_INDICGETFORE,
                                            KeywordOverlay::FirstIndicator + set);
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace

TEST(EditorView, KeywordColouringLaterAndSetTwoWinAndTouchesNoFlagOrUndo) {
    ScriptedPrompt prompt;
    AppHarness h("[KeyWord]\r\nKey1[0]=if\r\nKey1[1]=\x93\xfa\x96\x7b\r\nKey2[0]=DIFF\r\n");
    CVantorpadView* view = openText(h, "DIFFERENT if\r\n\x93\xfa\x96\x7b\x93\xfa\x96\x7b");
    ASSERT_NE(view, nullptr);
    view->insertPlainText(QStringLiteral("x"));
    view->undo();
    const bool modified = view->doc()->isModified();
    const QColor blue = colorFromColorRef(0xFF0000), red = colorFromColorRef(0x0000FF);

    prompt.expectQuestion(PromptAnswer::Yes);
    ASSERT_TRUE(h.frame().triggerCommand(CmdKeywordColour));
    EXPECT_EQ(prompt.texts(), QStringList{AskColour});
    EXPECT_EQ(drawnAt(view, 0, 0), red) << "set 2 wins over \"if\" in DIFF";
    EXPECT_EQ(drawnAt(view, 0, 1), red);
    EXPECT_EQ(drawnAt(view, 0, 4), QColor(Qt::black));
    EXPECT_EQ(drawnAt(view, 0, 10), blue);
    EXPECT_EQ(drawnAt(view, 1, 0), blue);
    EXPECT_EQ(drawnAt(view, 1, 3), blue) << "both double-byte matches";
    EXPECT_EQ(view->doc()->isModified(), modified);
    EXPECT_FALSE(view->isUndoAvailable()) << "colouring is no edit";

    // Typing before a coloured word moves its colour with it.
    view->select(0, 0);
    view->insertPlainText(QStringLiteral("__"));
    EXPECT_EQ(drawnAt(view, 0, 12), blue);

    // No removes every colour; so does applying the settings, which keeps the flag.
    prompt.expectQuestion(PromptAnswer::No);
    ASSERT_TRUE(h.frame().triggerCommand(CmdKeywordColour));
    EXPECT_TRUE(view->keywordColours()->isEmpty());
    prompt.expectQuestion(PromptAnswer::Yes);
    ASSERT_TRUE(h.frame().triggerCommand(CmdKeywordColour));
    EXPECT_FALSE(view->keywordColours()->isEmpty());
    EXPECT_TRUE(view->doc()->isModified());
    view->ApplyEditorSettings();
    EXPECT_TRUE(view->keywordColours()->isEmpty());
    EXPECT_TRUE(view->doc()->isModified());
}

TEST(EditorView, AColouringRunAddsToEarlierColoursAndAnEmptyOneChangesNothing) {
    ScriptedPrompt prompt;
    AppHarness h("[KeyWord]\r\nKey1[0]=if\r\n");
    CVantorpadView* view = openText(h, "DIFFERENT if");
    ASSERT_NE(view, nullptr);
    const QColor blue = colorFromColorRef(0xFF0000), red = colorFromColorRef(0x0000FF);
    const auto line = [view] {
        return view->keywordColours()->rangesBetween(0, view->toPlainText().size());
    };
    auto colour = [&] {
        prompt.expectQuestion(PromptAnswer::Yes);
        ASSERT_TRUE(h.frame().triggerCommand(CmdKeywordColour));
    };
    colour();
    const qsizetype ranges = line().size();
    h.app().settings.Key1[0].clear();
    colour();
    EXPECT_EQ(drawnAt(view, 0, 10), blue) << "no keywords, nothing changes";
    h.app().settings.Key2[0] = QStringLiteral("DIFF");
    colour();
    EXPECT_EQ(drawnAt(view, 0, 1), red) << "the later run is drawn on top";
    EXPECT_EQ(drawnAt(view, 0, 10), blue);
    colour();
    EXPECT_EQ(line().size(), ranges)
        << "colours wholly drawn over are dropped, so runs again add no ranges";
}

TEST(EditorView, SettingsGiveFaceTabsColoursAndWrapWithoutModifying) {
    ScriptedPrompt prompt;
    AppHarness h("TabCount=4\r\nFontSize=14\r\nBold=1\r\nBackColor=255\r\nForeColor=16711680\r\n"
                 "WordWrap=1\r\n");
    CVantorpadView* view = openText(h, "a\tb");
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->doc()->isModified());
    const QFont font = view->font();
    EXPECT_EQ(font.pointSize(), 14);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(QFontDatabase::families().contains(font.family())) << font.family().toStdString();
    EXPECT_EQ(installedFaceFor(QStringLiteral("ＭＳ ゴシック")), font.family());
    EXPECT_EQ(view->tabWidth(), 4);
    EXPECT_EQ(view->paper(), QColor(255, 0, 0));
    EXPECT_EQ(view->color(), QColor(0, 0, 255));
    EXPECT_NE(view->wrapMode(), QsciScintilla::WrapNone);
    EXPECT_TRUE(view->urlDetection());
    h.app().settings.AutoUrl = 0;
    view->ApplyEditorSettings();
    EXPECT_TRUE(view->urlDetection()) << "once on, detection stays until the view is recreated";
}

TEST(EditorView, InsertKeyTogglesTheDocumentsModeAndShiftEnterStartsALine) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = openText(h, "abc");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->doc()->insertMode());
    QTest::keyClick(view, Qt::Key_Insert);
    EXPECT_FALSE(view->doc()->insertMode());
    EXPECT_TRUE(view->overwriteMode());
    QTest::keyClick(view, Qt::Key_X);
    EXPECT_EQ(view->toPlainText(), QStringLiteral("xbc"));
    QTest::keyClick(view, Qt::Key_Insert);
    EXPECT_TRUE(view->doc()->insertMode());
    QTest::keyClick(view, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(view->lineCount(), 2);
}

TEST(EditorView, ContextMenuHoldsMenu170AndRunsTheCommands) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = openText(h, "abc");
    ASSERT_NE(view, nullptr);
    std::unique_ptr<QMenu> menu(view->createContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(
        texts,
        (QStringList{QStringLiteral("フォント"), QStringLiteral("-"), QStringLiteral("切り取り"),
                     QStringLiteral("ｺﾋﾟｰ"), QStringLiteral("貼り付け"),
                     QStringLiteral("形式を選択して貼り付け"), QStringLiteral("すべて選択"),
                     QStringLiteral("-"), QStringLiteral("検索"), QStringLiteral("次を検索"),
                     QStringLiteral("置換"), QStringLiteral("-"), QStringLiteral("挿入"),
                     QStringLiteral("文字変換"), QStringLiteral("キーワード")}));
    EXPECT_FALSE(menu->actions()[0]->isEnabled()) << "font needs a selection";
    QMenu* keywords = menu->actions().last()->menu();
    ASSERT_NE(keywords, nullptr);
    EXPECT_EQ(keywords->actions().size(), 7);
    EXPECT_EQ(keywords->actions()[0]->text(), QStringLiteral("キーワード色分け"));
    // "すべて選択" selects; "フォント" then applies the chosen font to the selection.
    menu->actions()[6]->trigger();
    EXPECT_EQ(view->selectedText(), QStringLiteral("abc"));
    const ScopedOverride font(CVantorpadView::hooks().chooseFont, [](QWidget*, QFont& f) {
        f.setItalic(true);
        return true;
    });
    menu.reset(view->createContextMenu());
    ASSERT_TRUE(menu->actions()[0]->isEnabled());
    menu->actions()[0]->trigger();
    EXPECT_TRUE(view->fontAt(1).italic());
    view->ApplyEditorSettings();
    EXPECT_FALSE(view->fontAt(2).italic()) << "the settings take fonts of selections away";
}

TEST(EditorView, DoubleClickOpensADetectedUrlAndASingleClickDoesNot) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = openText(h, "go http://example.com/x now");
    ASSERT_NE(view, nullptr);
    QStringList opened;
    const ScopedOverride browser(CVantorpadView::hooks().openUrl,
                                 [&](const QUrl& url) { opened << url.toString(); });
    view->resize(600, 300);
    const QPoint onLink = view->characterRect(8).center();
    EXPECT_EQ(view->urlAt(onLink), QStringLiteral("http://example.com/x"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onLink);
    EXPECT_TRUE(opened.isEmpty());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, onLink);
    EXPECT_EQ(opened, QStringList{QStringLiteral("http://example.com/x")});
    EXPECT_FALSE(view->hasSelection());
    EXPECT_TRUE(view->urlAt(view->characterRect(1).center()).isEmpty());
}

TEST(EditorView, LinksBeyondWebAndMailOpenOnlyAfterShowingTheTarget) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = openText(h, "file:///etc/passwd telnet://host www.example.jp");
    ASSERT_NE(view, nullptr);
    QStringList opened;
    const ScopedOverride browser(CVantorpadView::hooks().openUrl,
                                 [&](const QUrl& url) { opened << url.toString(); });
    view->resize(600, 300);
    const struct {
        int position;
        std::optional<PromptAnswer> answer;
        QString target;
    } cases[] = {
        {3, PromptAnswer::No, QStringLiteral("file:///etc/passwd")},
        {22, PromptAnswer::Yes, QStringLiteral("telnet://host")},
        {37, std::nullopt, QStringLiteral("http://www.example.jp")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        prompt.clear();
        opened.clear();
        if (c.answer)
            prompt.expectQuestion(*c.answer);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                           view->characterRect(c.position).center());
        EXPECT_EQ(prompt.texts(),
                  c.answer ? QStringList{QStringLiteral("次のリンクを開きますか？\n") + c.target}
                           : QStringList());
        EXPECT_EQ(opened, c.answer == PromptAnswer::No ? QStringList() : QStringList{c.target});
    }
}

TEST(EditorView, PrintsToPdfAndPageSetupKeepsMarginsInItsUnits) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = openText(h, QByteArray(3000, 'x').replace("xxxxxxxxx", "line\r\nxx."));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(printHeaderDate(QDateTime(QDate(2024, 3, 5), QTime(7, 9))),
              QStringLiteral("2024/03/05 07:09"));
    EXPECT_EQ(view->printMargins(), PrintMargins{});
    EXPECT_EQ(PrintMargins::toHundredthsMm(720), 1270);
    EXPECT_EQ(PrintMargins::toTwips(1270), 720);

    QMarginsF seen;
    const ScopedOverride pageSetup(
        CVantorpadView::hooks().pageSetup, [&](QWidget*, QPrinter& printer) {
            seen = printer.pageLayout().margins(QPageLayout::Millimeter);
            printer.setPageMargins(QMarginsF(25.4, 10, 10, 10), QPageLayout::Millimeter);
            return true;
        });
    ASSERT_TRUE(h.frame().triggerCommand(CmdFilePageSetup));
    EXPECT_NEAR(seen.left(), 12.7, 0.01);
    EXPECT_EQ(view->printMargins().left, 1440);
    EXPECT_EQ(view->printMargins().top, 566);

    const QString pdf = h.dir().filePath(QStringLiteral("out.pdf"));
    const ScopedOverride printDialog(CVantorpadView::hooks().printDialog,
                                     [&](QWidget*, QPrinter& printer) {
                                         printer.setOutputFormat(QPrinter::PdfFormat);
                                         printer.setOutputFileName(pdf);
                                         return true;
                                     });
    ASSERT_TRUE(h.frame().triggerCommand(CmdFilePrint));
    const QByteArray bytes = h.dir().read(QStringLiteral("out.pdf"));
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page "),
              2)
        << "several hundred lines take more than one page";
}

TEST(EditorView, SpreadsheetEntryAsksToSaveAChangedDocumentFirst) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = openText(h, "a,b");
    ASSERT_NE(view, nullptr);
    QStringList opened;
    const ScopedOverride spreadsheet(h.app().hooks().openInSpreadsheet,
                                     [&](const QString& path, bool) { opened << path; });
    view->insertPlainText(QStringLiteral("z"));
    prompt.expectQuestion(PromptAnswer::No);
    ASSERT_TRUE(h.frame().triggerCommand(CmdSpreadsheet));
    EXPECT_TRUE(opened.isEmpty());
    prompt.expectQuestion(PromptAnswer::Yes);
    ASSERT_TRUE(h.frame().triggerCommand(CmdSpreadsheet));
    EXPECT_EQ(opened, QStringList{h.pcFile(QStringLiteral("v.txt"))});
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/v.txt")), QByteArray("za,b"));
    EXPECT_EQ(prompt.texts(),
              QStringList(2, QStringLiteral("スプレット表示する為には保存する必要が有ります。"
                                            "保存しますか？")));
}
