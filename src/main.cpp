#include "app/CVantorpadApp.h"
#include "frame/InterfaceLanguage.h"
#include "platform/MessageBoxPrompt.h"
#include "platform/ScopedOverride.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

// For the start-up benchmark: report when the main window is up, then leave.
void quitWhenShownIfAsked() {
    if (qEnvironmentVariableIsEmpty("VANTORPAD_QUIT_WHEN_SHOWN"))
        return;
    QTimer::singleShot(0, [] {
        auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown at %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        QApplication::quit();
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorpad"));
    QApplication::setApplicationVersion(QStringLiteral(VANTORPAD_VERSION));
    // Every window without an icon of its own shows the program's.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/vantorpad.svg")));
    const QtTranslation qtInJapanese;
    applyInterfaceFont(qapp);
    MessageBoxPrompt messageBoxes;
    const ScopedOverride installed(Prompt::install, static_cast<Prompt*>(&messageBoxes));

    CVantorpadApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) {
        app.ExitInstance();
        return 1;
    }
    quitWhenShownIfAsked();
    const int result = QApplication::exec();
    // Settings that could not be saved make the run a failure, whatever the event loop said.
    const int saved = app.ExitInstance();
    return result != 0 ? result : saved;
}
