#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

ScriptedPrompt::ScriptedPrompt() = default;

ScriptedPrompt::~ScriptedPrompt() {
    EXPECT_TRUE(m_answers.isEmpty())
        << m_answers.size() << " scripted answers were never asked for";
    EXPECT_TRUE(m_secrets.isEmpty())
        << m_secrets.size() << " scripted secrets were never asked for";
}

PromptAnswer ScriptedPrompt::ask(const QString& text, PromptIcon icon, PromptButtons buttons) {
    m_shown.append({text, icon, buttons, {}});
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    if (m_answers.isEmpty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel : PromptAnswer::No;
    }
    return m_answers.takeFirst();
}

PromptAnswer ScriptedPrompt::choose(const QString& text, PromptIcon icon,
                                    const PromptChoices& choices) {
    const PromptAnswer answer = ask(text, icon, PromptButtons::YesNoCancel);
    m_shown.last().choices = choices;
    return answer;
}

std::optional<QString> ScriptedPrompt::askSecret(const QString& text) {
    m_shown.append({text, PromptIcon::Question, PromptButtons::OkCancel, {}});
    if (m_secrets.isEmpty()) {
        ADD_FAILURE() << "unexpected secret question: " << text.toStdString();
        return std::nullopt;
    }
    return m_secrets.takeFirst();
}

QStringList ScriptedPrompt::texts() const {
    QStringList result;
    for (const Shown& s : m_shown)
        result.append(s.text);
    return result;
}
