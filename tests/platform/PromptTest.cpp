#include "platform/Prompt.h"
#include "platform/ConsolePrompt.h"
#include "platform/MessageBoxPrompt.h"

#include "ScriptedPrompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSet>
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
    // The button pressed by its text (none: the Enter key), and the answer it gives.
    const std::pair<QString, PromptAnswer> cases[] = {{choices.yes, PromptAnswer::Yes},
                                                      {choices.no, PromptAnswer::No},
                                                      {QString(), PromptAnswer::Cancel}};
    for (const auto& [press, answer] : cases) {
        SCOPED_TRACE(press.toStdString());
        QTimer::singleShot(0, [&choices, press = press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QStringList shown;
            for (QAbstractButton* button : box->buttons()) {
                shown.append(button->text());
                if (button->text() == press)
                    button->click();
            }
            EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()),
                      QSet<QString>({choices.yes, choices.no, choices.cancel}));
            if (press.isEmpty()) {
                box->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(box));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
        });
        EXPECT_EQ(boxes.choose(QStringLiteral("q"), PromptIcon::Warning, choices), answer);
    }
    // A script cannot judge: it never connects.
    EXPECT_EQ(
        ConsolePrompt(PromptAnswer::Yes).choose(QStringLiteral("q"), PromptIcon::Warning, choices),
        PromptAnswer::Cancel);
}
