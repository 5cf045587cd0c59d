#pragma once

#include "ftp/ServerFileStamp.h"
#include "transfer/DriveList.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class ServerTrust;
struct AppSettings;
struct ServerProfile;

// What the transfer window reads and changes of the application: the settings (profiles with
// their directory histories, the transfer and local directories, the server filter, the
// network options), the index of the profile in use, the FTP debug-log switch, the
// certificates and host keys the user trusts, the way a file becomes an editor document, and
// where the drive box finds the mounted file systems.
struct TransferWindowContext {
    AppSettings& settings;
    int& currentServer;
    bool ftpDebugLog = false;
    ServerTrust& serverTrust;
    // OpenTextDocument: path, profile, from-server flag, read-only flag, the server file's
    // version.
    std::function<bool(const QString&, const ServerProfile&, bool, bool,
                       const std::optional<ServerFileStamp>&)>
        openDocument;
    // The lines of the drive box; the system's mounted file systems when not set.
    std::function<std::vector<DriveInfo>()> drives;
};
