#include "platform/Prompt.h"
#include "platform/ConsolePrompt.h"

#include "ScriptedPrompt.h"

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
