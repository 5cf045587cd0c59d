#include "ctl/CtlCommand.h"

#include "encoding/SjisEucConversion.h"
#include "platform/Prompt.h"

#include <cstdio>

namespace {

int shown(const Result<>& converted) {
    if (!converted.ok())
        Prompt::error(converted.message());
    return converted.ok() ? 0 : 1;
}

// convert --to-euc SRC DST | convert --to-sjis SRC DST
int runConvert(const QStringList& args) {
    if (args.size() == 3) {
        const QString& direction = args.at(0);
        const QString& source = args.at(1);
        const QString& destination = args.at(2);
        if (direction == u"--to-euc")
            return shown(ConvertSjisToEuc(destination, source));
        if (direction == u"--to-sjis")
            return shown(ConvertEucToSjis(destination, source));
    }
    std::fprintf(stderr, "usage: vantorpadctl convert --to-euc|--to-sjis SRC DST\n");
    return 1;
}

} // namespace

QList<CtlCommand> convertCommands() {
    return {{"convert", "--to-euc|--to-sjis SRC DST", &runConvert}};
}
