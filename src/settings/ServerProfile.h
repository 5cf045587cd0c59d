#pragma once

#include "encoding/CodeSystem.h"

#include <QString>

#include <array>

// How a profile reaches its server (key "Protocol").
enum ServerProtocol { ProtocolFtp = 0, ProtocolFtps = 1, ProtocolSftp = 2 };

// A protocol this program can connect with. Any other value (from an edited INI file) is
// refused before anything is sent: taking it for plain FTP would send the password in clear.
inline bool isKnownProtocol(int protocol) {
    return protocol == ProtocolFtp || protocol == ProtocolFtps || protocol == ProtocolSftp;
}

// The port a profile uses when its port field is empty: FTP's and FTPS's 21, SSH's 22.
inline int defaultPortOf(int protocol) {
    return protocol == ProtocolSftp ? 22 : 21;
}

// The last port number there is; a port of 0 or less stands for the protocol's default.
inline constexpr int MaxPortNumber = 65535;

// The port a connection of a profile goes to.
inline int effectivePort(int port, int protocol) {
    return port <= 0 ? defaultPortOf(protocol) : port;
}

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

// Section "Network": how every FTP task connects.
struct NetworkSettings {
    int Proxy = 0; // 0 = the system's settings, 1 = direct, 2 = the proxy in Name
    QString Name;
    int Passive = 0;
    int Raw = 0;
    int List = 0; // 0 = the usual listing, 1 = the raw-call listing
    int SpDelim = 0;

    bool operator==(const NetworkSettings&) const = default;
};
