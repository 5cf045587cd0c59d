#pragma once

#include "transfer/DriveList.h"

#include <QString>

#include <functional>
#include <vector>

struct AppSettings;
struct ServerProfile;

// What the transfer window reads and changes of the application: the settings (profiles with
// their directory histories, the transfer and local directories, the server filter, the
// network options), the index of the profile in use, the FTP debug-log switch, the way a file
// becomes an editor document, and where the drive box finds the mounted file systems.
struct TransferWindowContext {
    AppSettings& settings;
    int& currentServer;
    bool ftpDebugLog = false;
    // OpenTextDocument: path, profile, from-server flag, read-only flag.
    std::function<bool(const QString&, const ServerProfile&, bool, bool)> openDocument;
    // The lines of the drive box; the system's mounted file systems when not set.
    std::function<std::vector<DriveInfo>()> drives;
};
