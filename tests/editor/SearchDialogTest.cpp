#include "AppHarness.h"
#include "FailedSearches.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/EditorCommands.h"
#include "editor/CVantorpadView.h"
#include "editor/SearchDialogs.h"
#include "frame/CMainFrame.h"
#include "frame/FindBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace EditorCommand;

CVantorpadView* openText(AppHarness& h, const QByteArray& bytes, int caret) {
    h.dir().write(QStringLiteral("pc/s.txt"), bytes);
    if (!h.openLocalText(h.pcFile(QStringLiteral("s.txt"))))
        return nullptr;
    CVantorpadView* view = h.frame().activeView();
    view->select(caret, caret);
    return view;
}

// Runs `command` and, once its dialog is up, `act` on it.
void withDialog(AppHarness& h, int command, std::function<void(SearchDialogBase*)> act) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<SearchDialogBase*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ran = true;
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    ASSERT_TRUE(h.frame().triggerCommand(command));
    EXPECT_TRUE(ran);
}

template <class T> T* child(QWidget* dialog, const char* id) {
    T* w = dialog->findChild<T*>(QString::fromLatin1(id));
    EXPECT_NE(w, nullptr) << id;
    return w;
}

void click(QWidget* dialog, const char* id) {
    child<QPushButton>(dialog, id)->click();
}

} // namespace

TEST(SearchDialog, NextWalksThroughTheMatchesAndStopsAtTheEnd) {
    // "abc ABC abcd" then "abc" on the second line.
    const QByteArray text = "abc ABC abcd\r\nabc";
    struct Case {
        bool wholeWord, matchCase, up;
        int caret;
        QList<int> starts;
    } cases[] = {
        {false, false, false, 0, {0, 4, 8, 14}}, {false, true, false, 0, {0, 8, 14}},
        {true, false, false, 0, {0, 4, 14}},     {true, true, true, 17, {14, 0}},
        {true, false, true, 11, {4, 0}}, // the d after the caret spoils the abc before it
    };
    for (const Case& c : cases) {
        ScriptedPrompt prompt;
        AppHarness h;
        FailedSearches failed;
        CVantorpadView* view = openText(h, text, c.caret);
        ASSERT_NE(view, nullptr);
        QList<int> starts;
        withDialog(h, EditFind, [&](SearchDialogBase* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("検索"));
            child<QComboBox>(dialog, "1049")->setEditText(QStringLiteral("abc"));
            child<QCheckBox>(dialog, "1052")->setChecked(c.wholeWord);
            child<QCheckBox>(dialog, "1055")->setChecked(c.matchCase);
            child<QRadioButton>(dialog, c.up ? "1068" : "1064")->setChecked(true);
            for (qsizetype i = 0; i <= c.starts.size(); ++i) {
                click(dialog, "1058");
                if (view->hasSelection())
                    starts.append(view->selectionStart());
            }
        });
        EXPECT_EQ(starts.mid(0, c.starts.size()), c.starts);
        EXPECT_EQ(failed.count, 1) << "one bell at the end, the selection kept";
        EXPECT_EQ(view->selectionStart(), c.starts.last());
    }
}

TEST(SearchDialog, ReplaceAllFromTheMiddleIsOneUndoStepAndEndsAfterOnePass) {
    ScriptedPrompt prompt;
    AppHarness h;
    FailedSearches failed;
    CVantorpadView* view = openText(h, "a b a\r\nb a A", 2);
    ASSERT_NE(view, nullptr);
    const QString before = view->toPlainText();
    withDialog(h, EditReplace, [&](SearchDialogBase* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("置換"));
        child<QComboBox>(dialog, "1049")->setEditText(QStringLiteral("a"));
        click(dialog, "1075"); // no replacement text: nothing
        EXPECT_EQ(view->toPlainText(), before);
        child<QComboBox>(dialog, "1062")->setEditText(QStringLiteral("aa"));
        click(dialog, "1075");
    });
    EXPECT_EQ(view->toPlainText(), QStringLiteral("a b aa\r\nb aa aa"));
    EXPECT_EQ(view->caretPosition(), view->toPlainText().size());
    EXPECT_EQ(failed.count, 1);
    view->undo();
    EXPECT_EQ(view->toPlainText(), before) << "one undo takes the whole replacement back";
}

TEST(SearchDialog, ReplaceAndNextReplacesTheSelectionAndNeverFindsItsOwnReplacement) {
    ScriptedPrompt prompt;
    AppHarness h;
    FailedSearches failed;
    CVantorpadView* view = openText(h, "x1 x2 x3", 8);
    ASSERT_NE(view, nullptr);
    withDialog(h, EditReplace, [&](SearchDialogBase* dialog) {
        child<QComboBox>(dialog, "1049")->setEditText(QStringLiteral("x"));
        child<QComboBox>(dialog, "1062")->setEditText(QStringLiteral("yx"));
        child<QRadioButton>(dialog, "1068")->setChecked(true);
        click(dialog, "1165"); // selects the last x
        click(dialog, "1071"); // replaces it, selects the middle one
        click(dialog, "1071");
    });
    EXPECT_EQ(view->toPlainText(), QStringLiteral("x1 yx2 yx3"));
    EXPECT_EQ(view->selectedText(), QStringLiteral("x"));
    EXPECT_EQ(failed.count, 0);
}

TEST(SearchDialog, ClosingPathsRecordTheSearchTextOrNot) {
    enum How { Cancel, Escape, CloseBox };
    struct Case {
        int command;
        How how;
        bool recorded;
    } cases[] = {
        {EditFind, Cancel, true},    {EditFind, Escape, true},    {EditFind, CloseBox, true},
        {EditReplace, Cancel, true}, {EditReplace, Escape, true}, {EditReplace, CloseBox, false},
    };
    for (const Case& c : cases) {
        ScriptedPrompt prompt;
        AppHarness h("[Search]\r\n00=old\r\n");
        CVantorpadView* view = openText(h, "text", 0);
        ASSERT_NE(view, nullptr);
        withDialog(h, c.command, [&](SearchDialogBase* dialog) {
            auto* combo = child<QComboBox>(dialog, "1049");
            EXPECT_EQ(combo->currentText(), QString()) << "nothing to preselect";
            combo->setEditText(QStringLiteral("new"));
            if (c.how == Cancel)
                click(dialog, "2");
            else if (c.how == Escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
            EXPECT_FALSE(dialog->isVisible());
        });
        const QStringList box = h.frame().findBar()->items();
        EXPECT_EQ(box, c.recorded ? QStringList({QStringLiteral("new"), QStringLiteral("old")})
                                  : QStringList{QStringLiteral("old")})
            << c.command << " " << c.how;
        if (c.recorded) {
            EXPECT_EQ(h.app().settings.SearchHistory, box);
        }
    }
}

TEST(SearchDialog, TheSelectionSeedsTheDialogAndHistoryClearAsksFirst) {
    for (PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
        ScriptedPrompt prompt;
        AppHarness h("[Search]\r\n00=old\r\n");
        CVantorpadView* view = openText(h, "pick me", 0);
        ASSERT_NE(view, nullptr);
        view->selectAll();
        prompt.expectQuestion(answer);
        withDialog(h, EditFind, [&](SearchDialogBase* dialog) {
            auto* combo = child<QComboBox>(dialog, "1049");
            EXPECT_EQ(combo->currentText(), QStringLiteral("pick me"));
            EXPECT_EQ(combo->count(), 2);
            click(dialog, "1164");
        });
        EXPECT_EQ(prompt.texts(),
                  QStringList{QStringLiteral("検索履歴文字列を全て削除します。宜しいですか？")});
        const QStringList kept{QStringLiteral("pick me"), QStringLiteral("old")};
        EXPECT_EQ(h.frame().findBar()->items(),
                  answer == PromptAnswer::Yes ? QStringList{QStringLiteral("pick me")} : kept);
    }
}

TEST(SearchDialog, KeysSearchWhatWasTypedAndTabGoesFromTheSearchToTheReplacement) {
    ScriptedPrompt prompt;
    AppHarness h("[Search]\r\n00=abc\r\n");
    CVantorpadView* view = openText(h, "abc ABC", 0);
    ASSERT_NE(view, nullptr);
    withDialog(h, EditReplace, [&](SearchDialogBase* dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        auto* search = child<QComboBox>(dialog, "1049");
        search->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), search);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), child<QComboBox>(dialog, "1062"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), search);
        // Typed over the listed abc, with the case to match: Enter searches ABC.
        child<QCheckBox>(dialog, "1055")->setChecked(true);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("AB"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("C"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(search->currentText(), QStringLiteral("ABC"));
    });
    EXPECT_EQ(view->selectionStart(), 4);
}

TEST(SearchDialog, F3RepeatsTheDialogsLastSearchWithItsChoices) {
    ScriptedPrompt prompt;
    AppHarness h;
    FailedSearches failed;
    CVantorpadView* view = openText(h, "abc ABC abc", 0);
    ASSERT_NE(view, nullptr);
    withDialog(h, EditFind, [&](SearchDialogBase* dialog) {
        child<QComboBox>(dialog, "1049")->setEditText(QStringLiteral("abc"));
        child<QCheckBox>(dialog, "1055")->setChecked(true);
        click(dialog, "1058");
    });
    EXPECT_EQ(h.frame().findBar()->text(), QStringLiteral("abc"));
    ASSERT_TRUE(h.frame().triggerCommand(FindDown));
    EXPECT_EQ(view->selectionStart(), 8) << "ABC does not match with case";
    EXPECT_EQ(failed.count, 0);
}

TEST(SearchDialog, TheDialogMovesOffTheMatchItFound) {
    ScriptedPrompt prompt;
    AppHarness h;
    CVantorpadView* view = openText(h, QByteArray("line\n").repeated(8) + "  target\n", 0);
    ASSERT_NE(view, nullptr);
    h.frame().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.frame()));
    // Where the match's first letter stands on the screen, before and after the search.
    const QRect letter(view->viewport()->mapToGlobal(view->characterRect(42).topLeft()),
                       QSize(8, 8));
    withDialog(h, EditFind, [&](SearchDialogBase* dialog) {
        child<QComboBox>(dialog, "1049")->setEditText(QStringLiteral("target"));
        dialog->move(letter.topLeft() - QPoint(30, 20));
        ASSERT_TRUE(dialog->frameGeometry().intersects(letter));
        click(dialog, "1058");
        EXPECT_EQ(view->selectionStart(), 42);
        EXPECT_FALSE(dialog->frameGeometry().intersects(letter));
    });
}
