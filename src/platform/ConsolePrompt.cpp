#include "platform/ConsolePrompt.h"

#include <cstdio>

PromptAnswer ConsolePrompt::ask(const QString& text, PromptIcon, PromptButtons buttons) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    if (buttons == PromptButtons::OkCancel)
        return m_questionAnswer == PromptAnswer::Yes ? PromptAnswer::Ok : PromptAnswer::Cancel;
    // Three ways out (whether to trust a server's certificate or host key): a script cannot
    // judge, so it takes the way that does nothing; the user decides once in the editor.
    if (buttons == PromptButtons::YesNoCancel)
        return PromptAnswer::Cancel;
    return m_questionAnswer;
}

PromptAnswer ConsolePrompt::choose(const QString& text, PromptIcon icon,
                                   const PromptChoices& choices) {
    const PromptAnswer answer = ask(text, icon, PromptButtons::YesNoCancel);
    std::fprintf(stderr, "-> %s\n", choices.cancel.toLocal8Bit().constData());
    return answer;
}
