#include "platform/ConsolePrompt.h"

#include <QByteArray>

#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

// The terminal's settings while a secret is typed unechoed; put back however the typing ends,
// also by Ctrl+C, so that the shell afterwards shows what is typed again.
class HiddenTyping {
public:
    HiddenTyping() {
        if (tcgetattr(STDIN_FILENO, &saved()) != 0)
            return;
        termios quiet = saved();
        quiet.c_lflag &= tcflag_t(~ECHO);
        quiet.c_lflag |= ECHONL;
        struct sigaction restoreFirst {};
        restoreFirst.sa_handler = &HiddenTyping::restoreAndDie;
        sigemptyset(&restoreFirst.sa_mask);
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            sigaction(Signals[i], &restoreFirst, &m_previous[i]);
        m_handling = true;
        m_hidden = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~HiddenTyping() {
        if (m_hidden)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved());
        if (!m_handling)
            return;
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            sigaction(Signals[i], &m_previous[i], nullptr);
    }
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;

    bool hidden() const { return m_hidden; }

private:
    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

    static termios& saved() {
        static termios settings{};
        return settings;
    }
    static void restoreAndDie(int signal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved());
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }

    struct sigaction m_previous[std::size(Signals)]{};
    bool m_handling = false; // the signal handlers above are installed
    bool m_hidden = false;
};

} // namespace

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

std::optional<QString> ConsolePrompt::askSecret(const QString& text) {
    if (!isatty(STDIN_FILENO))
        return std::nullopt;
    // Echo goes off before the question shows: what is typed once it shows is never echoed,
    // and never thrown away with the input pending when echo went off.
    const HiddenTyping typing;
    if (!typing.hidden())
        return std::nullopt;
    std::fprintf(stderr, "%s\n> ", text.toLocal8Bit().constData());
    std::fflush(stderr);
    QByteArray line;
    for (int c = std::getchar(); c != '\n'; c = std::getchar()) {
        if (c == EOF) {
            line.fill('\0');
            return std::nullopt;
        }
        line += char(c);
    }
    QString secret = QString::fromLocal8Bit(line);
    line.fill('\0');
    return secret;
}
