#pragma once

#include <QString>

#include <optional>

// The one way the program tells the user something or asks a question. Core code calls the
// static helpers; the GUI installs a message-box implementation at start-up, vantorpadctl a
// console one and tests a scripted recorder.
enum class PromptIcon { Error, Information, Question, Warning };
enum class PromptButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel };

// The texts of the three buttons of a question whose buttons say what they do, rather than
// "はい", "いいえ" and "キャンセル": the one that answers Yes, No and Cancel. A question with a
// fourth way out names it in `ok`, the button that answers Ok.
struct PromptChoices {
    QString yes;
    QString no;
    QString cancel;
    QString ok = {}; // no fourth button when empty
};

class Prompt {
public:
    virtual ~Prompt() = default;
    virtual PromptAnswer ask(const QString& text, PromptIcon icon, PromptButtons buttons) = 0;
    // A question with three ways out whose buttons say what they do. Cancel is the way that does
    // nothing; a prompt that cannot show the texts answers as ask() with YesNoCancel does.
    virtual PromptAnswer choose(const QString& text, PromptIcon icon, const PromptChoices& choices);
    // Asks for a secret (a pass phrase, a password) with the typed characters hidden; nothing
    // when the user cancelled or the prompt cannot ask. The answer is never kept here.
    virtual std::optional<QString> askSecret(const QString& text);

    // Installs `prompt` (not owned) and returns the one it replaces; nullptr restores the console.
    static Prompt* install(Prompt* prompt);
    static Prompt& current();

    static void error(const QString& text);
    static void information(const QString& text);
    static void warning(const QString& text);
    static PromptAnswer question(const QString& text, PromptButtons buttons = PromptButtons::YesNo);
};
