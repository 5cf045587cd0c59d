#pragma once

#include <QStringList>

// One subcommand of vantorpadctl: `args` are the words after the subcommand's name. Returns
// the exit status (0 success, 1 failure); messages go to stderr through the console Prompt.
using CtlCommandFn = int (*)(const QStringList& args);

struct CtlCommand {
    const char* name;
    const char* usage;
    CtlCommandFn run;
};

// Each file of commands registers its table here (see main.cpp).
QList<CtlCommand> convertCommands();
QList<CtlCommand> ftpCommands();
QList<CtlCommand> textCommands();
