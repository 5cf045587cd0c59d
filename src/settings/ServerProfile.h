#pragma once

#include "encoding/CodeSystem.h"
#include "settings/ServerProtocol.h"

#include <QString>

#include <array>

// One of the five numbered server settings (sections "Server00".."Server04"). Fields are in the
// order the record is laid out, copied, read and written.
struct ServerProfile {
    static constexpr int HistoryCount = 10;

    QString Server;
    QString User;
    QString Passwd;
    int Code = CodeSystemEuc;
    int Port = 21;
    QString Dir;
    int Update = 1;
    int DirChg = 1;
    int Special = 1;
    int BackMode = 0;
    int BackNo = 0;
    QString BackExt;
    int NameSmall = 0;
    int SvDel = 1;
    std::array<QString, HistoryCount> HisDir;
    int Protocol = ProtocolFtp;
    QString KeyFile; // SFTP: a private key file to log on with instead of the password
    // Uploads go to a temporary name beside the target and are renamed over it when complete.
    int SafeUpload = 0;

    // Enough to log on: server, user and password; for SFTP the server alone, since a key, the
    // agent or ~/.ssh/config may give the rest (and a password is asked for when needed).
    bool canLogOn() const {
        if (Protocol == ProtocolSftp)
            return !Server.isEmpty();
        return !Server.isEmpty() && !User.isEmpty() && !Passwd.isEmpty();
    }
    // The rule of the server commands: logon data and a start directory.
    bool isComplete() const { return canLogOn() && !Dir.isEmpty(); }

    bool operator==(const ServerProfile&) const = default;
};
