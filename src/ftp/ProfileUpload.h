#pragma once

#include "platform/Result.h"

#include <QByteArray>

#include <functional>

class CFtpClient;
struct ServerProfile;

// One file on its way to a server.
struct ProfileUpload {
    QByteArray remote;        // its name on the server, in the server directory
    bool deleteFirst = false; // a direct upload deletes the server's file of that name first
    bool backup = false;      // keep the server's file under the profile's backup name
};

// Moves the file to the server under `name` (the file's own name or a temporary one) the way
// the caller moves it (plain or converting, text or binary), deleting the server's file of
// that name first when `deleteFirst` says so.
using UploadSender = std::function<Result<>(const QByteArray& name, bool deleteFirst)>;

// The one way a file replaces its server file, for every upload of a profile (a document's
// save, the transfer window, vantorpadctl put).
//
// With the profile's SafeUpload the file goes to a hidden temporary name beside the target
// first, and takes the live name only when it is complete: a broken or killed transfer leaves
// the live file as it was. The backup is made only then, for the same reason. A server that
// will not rename over an existing file has the live file moved aside, the temporary one
// renamed into its place and only then the old one deleted: no complete version is deleted
// before the live name holds the new one. Without SafeUpload the backup is made and the file
// sent under its own name.
//
// A backup that was asked for and cannot be made (other than for a new file, which has
// nothing to keep) is named, and the user decides whether the file goes up without one.
// Every failure has been reported when this returns Failed; Cancelled means the user chose to
// send nothing. The client may be left logged on.
Result<> uploadByProfile(CFtpClient& client, const ServerProfile& profile,
                         const ProfileUpload& upload, const UploadSender& send);
