#pragma once

#include "ftp/ServerFileEntry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include <vector>

struct AppSettings;

// The columns shared by every server and PC list.
enum ServerListColumn : int { NameColumn, ExtensionColumn, SizeColumn, DateColumn, ColumnCount };

// One line of a server list as it is shown: the listing entry it stands for, its image (0
// folder, 1 ordinary file, 2..5 the server filter's icons) and the texts of the four columns.
struct ServerListLine {
    std::size_t entry = 0;
    int image = 1;
    bool directory = false;
    QStringList texts;
};

// The lines of a listing in listing order. While `filtering` is on, files whose extension is
// one of the server filter's rows are left out; names are decoded by the server's code system.
std::vector<ServerListLine> BuildServerListLines(const ServerFileList& entries,
                                                 const AppSettings& settings, bool filtering,
                                                 int codeSystem);

// Server names as the dialogs read and write them: decoded by the server's code system to be
// shown, and encoded back for a name the user typed. A name that matches a listed entry as
// shown is that entry's very bytes.
namespace ServerNames {

QString shown(const QByteArray& name, int codeSystem);
// The bytes of the listed entry (of the given kind) shown as `typed`, else `typed` encoded;
// nothing when the code system cannot hold a name that is not listed.
std::optional<QByteArray> resolve(const QString& typed, const ServerFileList& entries,
                                  bool directory, int codeSystem);

// A server directory as the profile holds and shows it: decoded from the server's code
// system (a byte that is no character of it kept as U+DC00 + byte), and back to the exact bytes.
QString directoryText(const QByteArray& path, int codeSystem);
QByteArray directoryBytes(const QString& directory, int codeSystem);

} // namespace ServerNames

// The names, as shown, of the directories of a listing: what a new directory must not be called.
QStringList DirectoryNames(const ServerFileList& entries, int codeSystem);
