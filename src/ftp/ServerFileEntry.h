#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// One entry of a server directory. Name, path and extension are the server's bytes; the date is
// "%4d/%02d/%02d %02d:%02d" in local time, or "----/--/--" when it is not known.
struct ServerFileEntry {
    QByteArray name;
    QByteArray path;
    QByteArray extension; // from the name's last dot on; empty for directories
    QString date;
    qint64 size = 0; // 0 for directories
    int directory = 0;

    bool operator==(const ServerFileEntry&) const = default;
};

// Entries in the order the server listed them.
using ServerFileList = std::vector<ServerFileEntry>;

// Kinds mask of GetServerFileList.
enum ServerFileKinds : int {
    ServerFileKindFiles = 0x01,
    ServerFileKindDirectories = 0x10,
    ServerFileKindAll = 0x11,
};
