#include "AppHarness.h"
#include "FailedSearches.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/EditorCommands.h"
#include "editor/CVantorpadView.h"
#include "frame/CMainFrame.h"
#include "frame/FindBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace EditorCommand;

CVantorpadView* openText(AppHarness& h, const QByteArray& bytes) {
    h.dir().write(QStringLiteral("pc/f.txt"), bytes);
    if (!h.openLocalText(h.pcFile(QStringLiteral("f.txt"))))
        return nullptr;
    return h.frame().activeView();
}

// The find box with the keyboard's focus, as a click into it leaves it.
QWidget* focusFindBox(CMainFrame& frame) {
    frame.show();
    frame.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.findBar()->findBox()->setFocus();
    return QApplication::focusWidget();
}

void typeInto(QWidget* widget, const char* text) {
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_Delete);
    QTest::keyClicks(widget, QString::fromUtf8(text));
}

QStringList strings(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list.append(QString::fromUtf8(t));
    return list;
}

} // namespace

TEST(FindBar, StartsFromTheIniHistoryUpToItsFirstHoleAndGivesItBackOnClose) {
    ScriptedPrompt prompt;
    const QByteArray longValue(300, 'x');
    AppHarness h("[Search]\r\n00=abc\r\n01=ABC\r\n02=\x82\r\n03=" + longValue +
                 "\r\n05=after the hole\r\n");
    FindBar* bar = h.frame().findBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->objectName(), QStringLiteral("FindBar"));
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("検索"));
    const QStringList expected{QStringLiteral("abc"), QString(QChar(0xDC82)), QString(255, u'x')};
    EXPECT_EQ(bar->items(), expected) << "ABC is abc; the hole ends the list";
    EXPECT_EQ(bar->findBox()->width(), 150);

    QWidget* box = focusFindBox(h.frame());
    typeInto(box, "new");
    QTest::keyClick(box, Qt::Key_Return);
    h.frame().close();
    EXPECT_EQ(h.app().settings.SearchHistory, QStringList{QStringLiteral("new")} + expected);
}

TEST(FindBar, EnterRecordsAndSearchesDownAndPastedLineBreaksCutTheText) {
    ScriptedPrompt prompt;
    AppHarness h("[Search]\r\n00=abc\r\n");
    FailedSearches failed;
    CVantorpadView* view = openText(h, "abc ABC");
    ASSERT_NE(view, nullptr);
    QComboBox* box = h.frame().findBar()->findBox();
    QWidget* keys = focusFindBox(h.frame());
    ASSERT_EQ(keys, box);
    struct Case {
        const char* typed;
        QStringList list;
        const char* shown;
        int selectionStart, failures;
    } cases[] = {
        {"ABC", strings({"abc"}), "abc", 0, 0},
        {nullptr, strings({"abc"}), "abc", 4, 0}, // Enter again: the next match
        {"two", strings({"two", "abc"}), "two", 4, 1},
        {"", strings({"two", "abc"}), "", 4, 1},
    };
    for (const Case& c : cases) {
        if (c.typed)
            typeInto(keys, c.typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(h.frame().findBar()->items(), c.list) << c.typed;
        EXPECT_EQ(box->currentText(), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(view->selectionStart(), c.selectionStart) << c.typed;
        EXPECT_EQ(failed.count, c.failures) << c.typed;
        EXPECT_EQ(QApplication::focusWidget(), box) << "the next Enter searches again";
    }
    EXPECT_EQ(view->toPlainText(), QStringLiteral("abc ABC"));
    box->setEditText(QString());
    QApplication::clipboard()->setText(QStringLiteral("li\tne\r\nnext"));
    box->lineEdit()->paste();
    EXPECT_EQ(box->currentText(), QStringLiteral("li\tne"));
}

TEST(FindBar, F3SearchesWhatWasTypedNotAListedEntryItStarts) {
    ScriptedPrompt prompt;
    AppHarness h("[Search]\r\n00=abcdef\r\n");
    CVantorpadView* view = openText(h, "x abcdef ab");
    ASSERT_NE(view, nullptr);
    QWidget* keys = focusFindBox(h.frame());
    typeInto(keys, "ab");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    EXPECT_EQ(view->selectedText(), QStringLiteral("ab"));
    EXPECT_EQ(h.frame().findBar()->text(), QStringLiteral("ab"));
}

TEST(FindBar, DownAndUpSearchTheBoxTextAndLeaveOnlyItInTheHistory) {
    ScriptedPrompt prompt;
    AppHarness h("[Search]\r\n00=keep\r\n");
    FailedSearches failed;
    CVantorpadView* view = openText(h, "xa Xb xc");
    ASSERT_NE(view, nullptr);
    CMainFrame& frame = h.frame();
    EXPECT_FALSE(frame.isCommandEnabled(FindDown)) << "empty find box";
    frame.findBar()->findBox()->setEditText(QStringLiteral("x"));
    EXPECT_TRUE(frame.action(FindDown)->isEnabled());
    QList<int> starts;
    for (int command : {FindDown, FindDown, FindDown, FindUp, FindUp}) {
        ASSERT_TRUE(frame.triggerCommand(command));
        starts.append(int(view->selectionStart()));
    }
    EXPECT_EQ(starts, QList<int>({0, 3, 6, 3, 0}));
    EXPECT_EQ(failed.count, 0);
    ASSERT_TRUE(frame.triggerCommand(FindUp));
    EXPECT_EQ(failed.count, 1);
    EXPECT_EQ(view->selectionStart(), 0);
    EXPECT_EQ(h.app().settings.SearchHistory, QStringList{QStringLiteral("x")});
    EXPECT_EQ(frame.findBar()->items(), QStringList{QStringLiteral("keep")});

    // BOX挿入 takes the selection into the box; without a selection it is off.
    view->select(3, 5);
    ASSERT_TRUE(frame.triggerCommand(FindToBox));
    EXPECT_EQ(frame.findBar()->items(), strings({"Xb", "keep"}));
    EXPECT_EQ(frame.findBar()->text(), QStringLiteral("Xb"));
    view->select(5, 5);
    EXPECT_FALSE(frame.isCommandEnabled(FindToBox));
}

TEST(FindBar, DockedUprightAFindButtonTakesTheBoxPlace) {
    ScriptedPrompt prompt;
    AppHarness h;
    CMainFrame& frame = h.frame();
    frame.show();
    FindBar* bar = frame.findBar();
    bar->findBox()->setEditText(QStringLiteral("kept"));
    auto buttonShown = [bar] {
        const QList<QAction*> actions = bar->actions();
        return actions.size() > 1 && actions[1]->isVisible();
    };
    EXPECT_TRUE(bar->findBox()->isVisible());
    EXPECT_FALSE(buttonShown());
    frame.addToolBar(Qt::LeftToolBarArea, bar);
    QApplication::processEvents(); // the bar lays itself out afresh
    EXPECT_FALSE(bar->findBox()->isVisible());
    EXPECT_TRUE(buttonShown());
    frame.addToolBar(Qt::TopToolBarArea, bar);
    QApplication::processEvents();
    EXPECT_TRUE(bar->findBox()->isVisible());
    EXPECT_EQ(bar->text(), QStringLiteral("kept"));
}
