#include "ctl/CtlCommand.h"
#include "encoding/LosslessUtf8.h"
#include "platform/ConsolePrompt.h"
#include "platform/ScopedOverride.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

QList<CtlCommand> allCommands() {
    return convertCommands() + textCommands() + ftpCommands();
}

// The words after the program's name as they were typed: a byte that is no UTF-8 and a leading
// byte order mark are kept (see LosslessUtf8), so a name reaches a server as the bytes it was
// given rather than as another name.
QStringList typedArguments(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(LosslessUtf8::decode(argv[i]));
    return args;
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
    const ScopedOverride installed(Prompt::install, static_cast<Prompt*>(&console));

    QStringList args = typedArguments(argc, argv);
    if (args.isEmpty())
        return usage();
    QString name = args.takeFirst();
    for (const CtlCommand& c : allCommands()) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    return usage();
}
