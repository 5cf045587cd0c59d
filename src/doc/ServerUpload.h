#pragma once

#include "ftp/ServerFileStamp.h"
#include "platform/Result.h"
#include "settings/NetworkSettings.h"
#include "settings/ServerProfile.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class CFtpClient;
class ServerTrust;

// What saving a document to its server needs once the local file has been written.
struct ServerUploadRequest {
    NetworkSettings network;
    bool debugLog = false;
    ServerProfile profile;
    QString localPath; // the written local file
    QString fileName;  // the document's file name, also its name on the server
    bool utf8 = false; // the local file is UTF-8 rather than Shift_JIS
    // Fetches the server's current file over the logged-on client and shows it beside the
    // document, when the user would rather compare than overwrite someone else's change.
    std::function<void(CFtpClient&, const QByteArray& remote)> openServerVersion;
    // Fetches the server's current file, whose version is `current`, and shows it side by side
    // with the document, so that the user can take over what the other change brought.
    std::function<void(CFtpClient&, const QByteArray& remote,
                       const std::optional<ServerFileStamp>& current)>
        compareServerVersion;
};

// Logs on with the profile (trusting what `trust` says); when the server's file has changed
// since `stamp`, the version the document's text came from, asks whether to overwrite it, to
// open the server's version instead, to compare the document with it (both Cancelled, nothing
// sent) or to stop (Cancelled), and when
// the change cannot be checked any more, whether to send all the same; then uploads the local
// file (converted to EUC-JP for an EUC server) by the profile's upload rule (uploadByProfile),
// with the backup the profile asks for. After an upload `stamp`, when there was one, becomes
// the server's new version (nothing when the server no longer tells). A document without a
// stamp is sent unasked. Every failure has been reported to the user when this returns Failed
// or Refused; Cancelled means the user chose to send nothing.
Result<> uploadToServer(const ServerUploadRequest& request, ServerTrust& trust,
                        std::optional<ServerFileStamp>& stamp);
