#pragma once

#include "app/AppSettings.h"

// What the server dialogs read and change of the application: the settings (the profile table
// with its directory histories, the transfer directory, the server filter, the network
// options), the index of the profile in use, and the FTP debug-log switch.
struct ServerDialogContext {
    AppSettings& settings;
    int& currentServer;
    bool ftpDebugLog = false;
};
