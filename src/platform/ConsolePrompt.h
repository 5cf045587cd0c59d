#pragma once

#include "platform/Prompt.h"

// Prints every message to stderr. Questions get the answer given at construction, because a
// script cannot be asked; a question with three ways out gets Cancel. A secret is read from the
// terminal, unechoed, when the program's input is one.
class ConsolePrompt : public Prompt {
public:
    explicit ConsolePrompt(PromptAnswer questionAnswer = PromptAnswer::No)
        : m_questionAnswer(questionAnswer) {}
    PromptAnswer ask(const QString& text, PromptIcon icon, PromptButtons buttons) override;
    // Takes the way that does nothing (Cancel) and says which it took.
    PromptAnswer choose(const QString& text, PromptIcon icon,
                        const PromptChoices& choices) override;
    // Nothing when the input is no terminal (a script has no one to ask) or ends unanswered.
    std::optional<QString> askSecret(const QString& text) override;

private:
    PromptAnswer m_questionAnswer;
};
