#include "frame/HelpFile.h"

#include <QDir>
#include <QFileInfo>

namespace HelpFile {

QStringList candidates(const QString& programDir, const QString& startDir) {
    const QDir program(programDir);
    const QDir start(startDir);
    return {
        program.absoluteFilePath(QStringLiteral("../share/vantorpad/help/index.html")),
        program.absoluteFilePath(QStringLiteral("help/index.html")),
        // A build tree: build/src/vantorpad beside docs/.
        program.absoluteFilePath(QStringLiteral("../../docs/help/index.html")),
        start.absoluteFilePath(QStringLiteral("help/index.html")),
        start.absoluteFilePath(QStringLiteral("docs/help/index.html")),
    };
}

QString locate(const QString& programDir, const QString& startDir) {
    for (const QString& path : candidates(programDir, startDir)) {
        const QFileInfo info(path);
        if (info.isFile() && info.isReadable())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

QString failureMessage(const QString& file, int code) {
    return QStringLiteral("表示ファイル<%1>が起動出来ませんでした。(%2)").arg(file).arg(code);
}

} // namespace HelpFile
