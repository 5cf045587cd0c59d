#pragma once

#include "platform/Prompt.h"

class QWidget;

// Shows each prompt as a modal message box over the active window, titled with the program name.
class MessageBoxPrompt : public Prompt {
public:
    PromptAnswer ask(const QString& text, PromptIcon icon, PromptButtons buttons) override;
    PromptAnswer choose(const QString& text, PromptIcon icon,
                        const PromptChoices& choices) override;
    std::optional<QString> askSecret(const QString& text) override;
};
