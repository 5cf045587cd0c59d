#pragma once

#include "platform/Prompt.h"
#include "platform/ScopedOverride.h"

#include <QList>
#include <QString>

// A Prompt for tests: answers from a queue, records every text it was shown, and fails the
// running test on a question it was not told to expect. Installs itself for its lifetime.
class ScriptedPrompt : public Prompt {
public:
    struct Shown {
        QString text;
        PromptIcon icon;
        PromptButtons buttons;
        PromptChoices choices; // the button texts of choose(), empty for ask()
    };

    ScriptedPrompt();
    ~ScriptedPrompt() override;

    // Queues the answer for the next prompt that has more than an OK button.
    void expectQuestion(PromptAnswer answer) { m_answers.append(answer); }
    // Queues the answer for the next secret asked for; nullopt answers as a cancel.
    void expectSecret(std::optional<QString> secret) { m_secrets.append(std::move(secret)); }

    PromptAnswer ask(const QString& text, PromptIcon icon, PromptButtons buttons) override;
    // Shown as a YesNoCancel question with the choices' texts; answered from the same queue.
    PromptAnswer choose(const QString& text, PromptIcon icon,
                        const PromptChoices& choices) override;
    // Shown with PromptIcon::Question and OkCancel.
    std::optional<QString> askSecret(const QString& text) override;

    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }
    int pendingAnswers() const { return int(m_answers.size()); }

private:
    QList<PromptAnswer> m_answers;
    QList<std::optional<QString>> m_secrets;
    QList<Shown> m_shown;
    ScopedOverride<Prompt*> m_installed{Prompt::install, this};
};
