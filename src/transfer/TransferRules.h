#pragma once

#include "ftp/ServerFileEntry.h"
#include "transfer/ServerListLines.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct AppSettings;
struct ServerProfile;

// The choices of the transfer window's "転送ﾓｰﾄﾞ" box.
enum TransferMode : int { TransferAuto = 0, TransferAscii = 1, TransferBinary = 2 };

// Rules of the transfer window that need no window: the data type of a plain transfer, the
// names a file takes on the other side, and the texts of the progress window.
namespace TransferRules {

// Whether a transfer of `name` is a text (ASCII) transfer: "ASCII" yes, "BINARY" no, "AUTO"
// yes unless the name's extension (from its last dot) is one of the server filter's rows. A name
// without a dot has an empty extension, which equals the first empty row.
bool asciiFor(const AppSettings& settings, int mode, const QString& name);

// The message after a batch of an EUC-JP profile that names the files moved unconverted,
// since they were no text of the code system the transfer converts from: at most 20 names,
// then how many more.
QString unconvertedMessage(bool upload, const QStringList& names);

// What "転送ﾓｰﾄﾞ" does on a profile of code system `code`: nothing to add for a profile that
// converts nothing.
QString modeNote(int code);

// "【 %d/%d 】": the position of the selected line being moved and the number of them.
QString counterText(int position, int total);

// `name` inside the local directory `directory`.
QString localPath(const QString& directory, const QString& name);

// The name of a local file as the user reads it, and the local file's name as bytes.
QString shownLocalName(const QByteArray& name);
QByteArray localNameBytes(const QString& name);

// The server name an uploaded local file gets: its shown name, lower-cased when the profile's
// "NameSmall" is set, in the server's code system (see FtpNames::encodeForServer).
std::optional<QByteArray> uploadName(const QString& localName, const ServerProfile& profile);

// Where a downloaded server file goes in `directory` (see FtpNames::localPathFor): nothing for
// a name that may not become a local file.
std::optional<QString> downloadPath(const QString& directory, const QByteArray& serverName,
                                    int codeSystem, const ServerProfile& profile);

// A name the user typed for an entry of a local directory: it must stay one component of that
// directory.
bool isUsableLocalName(const QString& name);

// The lines of the PC pane in listing order: names as the file system's names read, images by
// the server filter's extensions like the server pane.
std::vector<ServerListLine> pcListLines(const ServerFileList& entries, const AppSettings& settings);

// The directories among `entries` as the PC pane shows them.
QStringList localDirectoryNames(const ServerFileList& entries);

} // namespace TransferRules
