#pragma once

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
