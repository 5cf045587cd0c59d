#include "ctl/CtlCommand.h"
#include "platform/ConsolePrompt.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

QList<CtlCommand> allCommands() {
    return convertCommands() + textCommands() + ftpCommands();
}

int usage() {
    std::fprintf(stderr, "usage: vantorpadctl COMMAND [ARGS]\n");
    for (const CtlCommand& c : allCommands())
        std::fprintf(stderr, "  vantorpadctl %s %s\n", c.name, c.usage);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vantorpad"));
    ConsolePrompt console;
    ScopedPrompt installed(&console);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    QString name = args.takeFirst();
    for (const CtlCommand& c : allCommands()) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    return usage();
}
