#pragma once

struct AppSettings;
class FileListOrder;
class ServerTrust;

// What the server dialogs read and change of the application: the settings (the profile table
// with its directory histories, the transfer directory, the server filter, the network
// options), the index of the profile in use, the FTP debug-log switch, the column directions
// of the open-from-server dialog's list, which last for the program's life rather than for one
// run of the dialog, and the certificates and host keys the user trusts.
struct ServerDialogContext {
    AppSettings& settings;
    int& currentServer;
    bool ftpDebugLog = false;
    FileListOrder& listOrder;
    ServerTrust& serverTrust;
};
