#pragma once

#include <QString>

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
