#include "platform/Prompt.h"
#include "platform/ConsolePrompt.h"
#include "platform/MessageBoxPrompt.h"

#include "ScriptedPrompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(Prompt, RoutesMessagesToTheInstalledPromptAndRestoresThePreviousOne) {
    Prompt* before = &Prompt::current();
    {
        ScriptedPrompt script;
        script.expectQuestion(PromptAnswer::Yes);
        Prompt::error(QStringLiteral("エラー"));
        EXPECT_EQ(Prompt::question(QStringLiteral("よろしいですか？")), PromptAnswer::Yes);
        ASSERT_EQ(script.shown().size(), 2);
        EXPECT_EQ(script.shown()[0].icon, PromptIcon::Error);
        EXPECT_EQ(script.shown()[0].buttons, PromptButtons::Ok);
        EXPECT_EQ(script.shown()[1].icon, PromptIcon::Question);
        EXPECT_EQ(script.texts(),
                  QStringList({QStringLiteral("エラー"), QStringLiteral("よろしいですか？")}));
    }
    EXPECT_EQ(&Prompt::current(), before);
}

TEST(Prompt, ConsoleAnswersQuestionsWithItsFixedAnswer) {
    ConsolePrompt yes(PromptAnswer::Yes);
    ConsolePrompt no;
    EXPECT_EQ(yes.ask(QStringLiteral("q"), PromptIcon::Question, PromptButtons::YesNo),
              PromptAnswer::Yes);
    EXPECT_EQ(yes.ask(QStringLiteral("q"), PromptIcon::Question, PromptButtons::OkCancel),
              PromptAnswer::Ok);
    EXPECT_EQ(no.ask(QStringLiteral("q"), PromptIcon::Question, PromptButtons::OkCancel),
              PromptAnswer::Cancel);
    EXPECT_EQ(no.ask(QStringLiteral("m"), PromptIcon::Error, PromptButtons::Ok), PromptAnswer::Ok);
}

TEST(Prompt, ButtonsThatSayWhatTheyDoAnswerByTheirPlaceAndEnterTakesTheWayThatDoesNothing) {
    const PromptChoices choices{QStringLiteral("常に信頼する"), QStringLiteral("今回のみ信頼する"),
                                QStringLiteral("接続しない")};
    MessageBoxPrompt boxes;
    const struct {
        const char* press; // nullptr: the Enter key
        PromptAnswer answer;
    } cases[] = {{"常に信頼する", PromptAnswer::Yes},
                 {"今回のみ信頼する", PromptAnswer::No},
                 {"接続しない", PromptAnswer::Cancel},
                 {nullptr, PromptAnswer::Cancel}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press ? c.press : "Enter");
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* button : box->buttons())
                shown.append(button->text());
            if (!c.press) {
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus ? focus : box, Qt::Key_Return);
                return;
            }
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == QString::fromUtf8(c.press))
                    button->click();
            }
        });
        EXPECT_EQ(boxes.choose(QStringLiteral("信頼しますか？"), PromptIcon::Warning, choices),
                  c.answer);
        shown.sort();
        QStringList expected{choices.yes, choices.no, choices.cancel};
        expected.sort();
        EXPECT_EQ(shown, expected);
    }
    // A script cannot judge: it never connects.
    EXPECT_EQ(ConsolePrompt(PromptAnswer::Yes)
                  .choose(QStringLiteral("信頼しますか？"), PromptIcon::Warning, choices),
              PromptAnswer::Cancel);
}
