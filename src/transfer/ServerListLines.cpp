#include "transfer/ServerListLines.h"

#include "encoding/CodeSystem.h"
#include "encoding/LosslessCodec.h"
#include "ftp/FileListOrder.h"
#include "ftp/FtpNames.h"
#include "settings/AppSettings.h"
#include "settings/ServerFileIcon.h"

std::vector<ServerListLine> BuildServerListLines(const ServerFileList& entries,
                                                 const AppSettings& settings, bool filtering,
                                                 int codeSystem) {
    std::vector<ServerListLine> lines;
    lines.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ServerFileEntry& e = entries[i];
        const bool directory = e.directory != 0;
        const QString extension = ServerNames::shown(e.extension, codeSystem);
        if (!directory && filtering && IsFilteredExtension(settings, extension))
            continue;
        ServerListLine line;
        line.entry = i;
        line.directory = directory;
        line.image = ServerListImage(settings, directory, extension);
        line.texts = {ServerNames::shown(e.name, codeSystem), extension,
                      directory ? QString() : FileListOrder::sizeText(e.size), e.date};
        lines.push_back(std::move(line));
    }
    return lines;
}

namespace ServerNames {

QString shown(const QByteArray& name, int codeSystem) {
    return FtpNames::display(name, codeSystem);
}

std::optional<QByteArray> resolve(const QString& typed, const ServerFileList& entries,
                                  bool directory, int codeSystem) {
    for (const ServerFileEntry& e : entries) {
        if ((e.directory != 0) == directory && shown(e.name, codeSystem) == typed)
            return e.name;
    }
    return FtpNames::encodeForServer(typed, codeSystem);
}

QString directoryText(const QByteArray& path, int codeSystem) {
    return FtpNames::decodeName(path, codeSystem);
}

QByteArray directoryBytes(const QString& directory, int codeSystem) {
    return FtpNames::encodeForServer(directory, codeSystem).value_or(toCp932(directory));
}

} // namespace ServerNames

QStringList DirectoryNames(const ServerFileList& entries, int codeSystem) {
    QStringList names;
    for (const ServerFileEntry& e : entries) {
        if (e.directory != 0)
            names.append(ServerNames::shown(e.name, codeSystem));
    }
    return names;
}
