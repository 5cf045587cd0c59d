// vantorpadctl run by a user at a terminal: what a script cannot be asked, a user can.

#include "SshdFixture.h"
#include "TempDir.h"
#include "ftp/ServerTrust.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

namespace {

struct TerminalRun {
    int status = -1;
    QByteArray screen;      // all the program wrote to the terminal
    bool echoAfter = false; // the terminal shows what is typed again after the program
};

// Runs vantorpadctl in `dir` with a terminal of its own as input and output, HOME at `home` and
// no SSH agent; types `typed` once `asked` is on the screen.
TerminalRun runOnTerminal(const QString& dir, const QString& home, const QList<QByteArray>& args,
                          const QByteArray& asked, const QByteArray& typed) {
    QList<QByteArray> words{QByteArrayLiteral(VANTORPADCTL_PATH)};
    words += args;
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("SSH_AUTH_SOCK"));
    environment.insert(QStringLiteral("HOME"), home);
    QList<QByteArray> variables;
    for (const QString& variable : environment.toStringList())
        variables << variable.toLocal8Bit();
    std::vector<char*> envp;
    for (QByteArray& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    const QByteArray where = QFile::encodeName(dir);

    TerminalRun run;
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child < 0) {
        ADD_FAILURE() << "no terminal to run on";
        return run;
    }
    if (child == 0) {
        // Only what is safe between fork and exec.
        if (chdir(where.constData()) == 0)
            execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    bool typedIt = false;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 100) > 0) {
            char buffer[4096];
            const ssize_t n = read(terminal, buffer, sizeof buffer);
            if (n <= 0)
                break; // the program has let go of its terminal
            run.screen.append(buffer, n);
        }
        if (!typedIt && run.screen.contains(asked)) {
            typedIt = write(terminal, typed.constData(), size_t(typed.size())) == typed.size();
        }
        if (clock.elapsed() > 60000) {
            ADD_FAILURE() << "vantorpadctl did not finish: " << run.screen.toStdString();
            kill(child, SIGKILL);
            break;
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    termios after{};
    run.echoAfter = tcgetattr(terminal, &after) == 0 && (after.c_lflag & ECHO);
    close(terminal);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

// A key with a pass phrase: asked on the terminal, the typing unshown, the terminal as it was
// afterwards. An input that ends unanswered (Ctrl+D) logs on to nothing.
TEST(CtlTerminal, AKeysPassPhraseIsAskedOnTheTerminalUnshown) {
    SshdFixture server;
    ASSERT_TRUE(server.running());
    const QString key = server.makeKey(QStringLiteral("locked"), QStringLiteral("ed25519"),
                                       QStringLiteral("open sesame"));
    QFile::remove(key + QStringLiteral(".pub")); // nothing to ask the server about first
    writeFileBytes(QDir(server.rootDir()).filePath(QStringLiteral("a.txt")), "12345");
    TempDir home;
    TempDir work;
    work.write(QStringLiteral("Vantorpad.ini"),
               "[Server00]\r\nServer=127.0.0.1\r\nUser=" + SshdFixture::user() +
                   "\r\nPort=" + QByteArray::number(server.port()) +
                   "\r\nDir=" + QFile::encodeName(server.rootDir()) +
                   "\r\nProtocol=2\r\nCode=1\r\nKeyFile=" + QFile::encodeName(key) +
                   "\r\n[Network]\r\nProxy=1\r\nPassive=1\r\n");
    // The host key trusted for good, as the editor keeps it.
    writeFileBytes(ServerTrust(work.path()).knownHostsPath(), server.knownHostsLine() + '\n');
    const QByteArray asked = QStringLiteral("パスフレーズを入力して下さい").toUtf8();

    const struct {
        QByteArray typed;
        bool listed;
    } cases[] = {{"open sesame\n", true}, {"\x04", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const TerminalRun run =
            runOnTerminal(work.path(), home.path(), {"ls", "-p", "0"}, asked, c.typed);
        EXPECT_TRUE(run.screen.contains(asked)) << run.screen.toStdString();
        EXPECT_FALSE(run.screen.contains("sesame")) << run.screen.toStdString();
        EXPECT_EQ(run.screen.contains("a.txt"), c.listed) << run.screen.toStdString();
        EXPECT_EQ(run.status == 0, c.listed) << run.screen.toStdString();
        EXPECT_TRUE(run.echoAfter);
    }
}
