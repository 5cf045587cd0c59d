#include "ctl/CtlCommand.h"

QList<CtlCommand> ftpCommands() {
    return {};
}
