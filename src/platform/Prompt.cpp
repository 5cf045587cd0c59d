#include "platform/Prompt.h"

#include "platform/ConsolePrompt.h"

namespace {
Prompt*& installedPrompt() {
    static Prompt* prompt = nullptr;
    return prompt;
}
} // namespace

PromptAnswer Prompt::choose(const QString& text, PromptIcon icon, const PromptChoices&) {
    return ask(text, icon, PromptButtons::YesNoCancel);
}

std::optional<QString> Prompt::askSecret(const QString&) {
    return std::nullopt;
}

Prompt* Prompt::install(Prompt* prompt) {
    Prompt* previous = installedPrompt();
    installedPrompt() = prompt;
    return previous;
}

Prompt& Prompt::current() {
    static ConsolePrompt console;
    Prompt* prompt = installedPrompt();
    return prompt ? *prompt : console;
}

void Prompt::error(const QString& text) {
    current().ask(text, PromptIcon::Error, PromptButtons::Ok);
}

void Prompt::information(const QString& text) {
    current().ask(text, PromptIcon::Information, PromptButtons::Ok);
}

void Prompt::warning(const QString& text) {
    current().ask(text, PromptIcon::Warning, PromptButtons::Ok);
}

PromptAnswer Prompt::question(const QString& text, PromptButtons buttons) {
    return current().ask(text, PromptIcon::Question, buttons);
}
