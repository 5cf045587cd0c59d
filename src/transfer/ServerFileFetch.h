#pragma once

#include "ftp/ServerFileStamp.h"
#include "platform/Result.h"
#include "settings/ServerProfile.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class CFtpClient;
class ServerTrust;
struct NetworkSettings;

// Logs on to the profile's server for a document; nullptr, with the failure shown, when that
// cannot be done.
std::unique_ptr<CFtpClient> logOnForDocument(const NetworkSettings& network, bool debugLog,
                                             const ServerProfile& profile, ServerTrust& trust);

// The bytes of the document's name on the server: ASCII letters lower-cased when the profile
// asks for it, in the server's code system; nothing when that code system cannot hold it.
std::optional<QByteArray> serverNameOf(const QString& fileName, const ServerProfile& profile);

// A server file fetched into the transfer directory to be opened as a document.
struct FetchedFile {
    Result<> result = Result<>::failed();
    QString localPath;
    ServerProfile profile; // the code system is the one the document is opened in
    bool readOnly = false;
    int listCode = 1; // the code system the server's name was listed in
    // The version of the server's file the copy is: what the document opened from it keeps,
    // so that saving it back can tell whether someone changed it meanwhile. Nothing when the
    // server told neither size nor time.
    std::optional<ServerFileStamp> stamp;
};

// The one way both server windows fetch a file to edit: the local path by the name rule of
// FtpNames::localPathFor, the download by the profile's code system. A file of an EUC-JP server
// whose bytes are not EUC-JP is not opened garbled without a word: the user is asked whether to
// open it in the code system it looks like (the profile copy then says so, and the text goes
// back to the server unconverted), to open it converted but read-only, or not at all.
// `listCode` is the code system the name was listed in. Every failure has been reported.
[[nodiscard]] FetchedFile fetchForEditing(CFtpClient& client, const QString& transferDirectory,
                                          const ServerProfile& profile, int listCode,
                                          const QByteArray& remote, bool readOnly);

// The server file `name` in the directory `profile.Dir` (a recent server file) fetched as the
// open-from-server dialog fetches the file the user picks: a session of its own for `profile`,
// the name encoded for the server as a save encodes it. Every failure has been reported.
[[nodiscard]] FetchedFile fetchNamedFile(const NetworkSettings& network, bool debugLog,
                                         ServerTrust& trust, const QString& transferDirectory,
                                         const ServerProfile& profile, const QString& name);
