#include "app/CVantorpadApp.h"
#include "platform/MessageBoxPrompt.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorpad"));
    QApplication::setApplicationVersion(QStringLiteral(VANTORPAD_VERSION));
    MessageBoxPrompt messageBoxes;
    ScopedPrompt installed(&messageBoxes);

    CVantorpadApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) {
        app.ExitInstance();
        return 1;
    }
    int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
