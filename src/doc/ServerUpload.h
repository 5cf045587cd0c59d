#pragma once

#include "app/ServerProfile.h"
#include "platform/OpResult.h"

#include <QString>

#include <optional>

// What saving a document to its server needs once the local file has been written.
struct ServerUploadRequest {
    NetworkSettings network;
    bool debugLog = false;
    ServerProfile profile;
    QString localPath; // the written local file
    QString fileName;  // the document's file name, also its name on the server
    bool utf8 = false; // the local file is UTF-8 rather than Shift_JIS
};

// The bytes of the document's name on the server: ASCII letters lower-cased when the profile
// asks for it, in the server's code system; nothing when that code system cannot hold it.
std::optional<QByteArray> serverNameOf(const QString& fileName, const ServerProfile& profile);

// Logs on with the profile, moves the server's old file to its backup name when the profile
// asks for a backup, and uploads the local file (converted to EUC-JP for an EUC server). Every
// failure has been reported to the user when this returns anything but Done.
OpResult uploadToServer(const ServerUploadRequest& request);
