#include "platform/ConsolePrompt.h"

#include <cstdio>

PromptAnswer ConsolePrompt::ask(const QString& text, PromptIcon, PromptButtons buttons) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    if (buttons == PromptButtons::OkCancel)
        return m_questionAnswer == PromptAnswer::Yes ? PromptAnswer::Ok : PromptAnswer::Cancel;
    return m_questionAnswer;
}
