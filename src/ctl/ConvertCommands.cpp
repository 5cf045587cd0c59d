#include "ctl/CtlCommand.h"

QList<CtlCommand> convertCommands() {
    return {};
}
