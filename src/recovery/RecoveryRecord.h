#pragma once

#include "doc/DocumentText.h"
#include "ftp/ServerFileStamp.h"
#include "platform/Result.h"
#include "settings/ServerProtocol.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

struct AppSettings;
struct ServerProfile;

// What a document with unsaved changes belongs to.
enum class RecoveryKind {
    Local,    // a file of the PC
    Server,   // the local copy of a server file
    Untitled, // a new document that was never saved
};

// Enough of a server profile to find it again and to tell whether it still names the same
// server. The password is never kept in a recovery file.
struct RecoveryProfile {
    int number = -1; // the profile's index in the settings; -1 when none matched
    QString server;
    QString user;
    int protocol = ProtocolFtp;
    int port = 21;
    int code = 0;      // the code system the document was opened in
    QString directory; // the server directory of the file

    bool operator==(const RecoveryProfile&) const = default;
};

// The unsaved text of one document and what it belongs to: the bytes the document would write
// when saved (in its encoding and with its line ends), so that a restored document saves
// exactly what the program that was stopped would have saved.
struct RecoveryRecord {
    static constexpr int FormatVersion = 1;

    RecoveryKind kind = RecoveryKind::Untitled;
    QString title;
    QString path; // a local document's file; a server document's local copy
    TextEncoding encoding = TextEncoding::Cp932;
    LineEnd lineEnd = LineEnd::Lf; // what Enter writes
    // The text held a character its encoding cannot hold: the body is the editor's own UTF-8,
    // so that nothing is lost (saving it reports that character, as it did before).
    bool bodyIsEditorText = false;
    RecoveryProfile profile;              // server documents
    QString fileName;                     // server documents: the name on the server's side
    std::optional<ServerFileStamp> stamp; // the server file's version the text came from
    QDateTime savedAt;
    QByteArray body;

    bool operator==(const RecoveryRecord&) const = default;
};

namespace RecoveryFormat {

// A header of "key: value" lines after the line "VANTORPAD-RECOVERY <version>", an empty line,
// then the body as it is.
QByteArray write(const RecoveryRecord& record);
// Failed, with the reason in the user's words, for a file of another kind or version, a
// truncated one or one with a value that cannot be.
Result<RecoveryRecord> read(const QByteArray& bytes);

} // namespace RecoveryFormat

// The recovered text in the editor's form, read in the recorded encoding (never guessed again:
// a UTF-8 document whose text happens to be ASCII stays UTF-8).
EditorText recoveredEditorText(const RecoveryRecord& record);

// The number of the profile in `settings` that `profile` logs on to (server, user, protocol and
// port), or -1.
int recoveryProfileNumber(const AppSettings& settings, const ServerProfile& profile);
// True when profile `number` of `settings` still names the server `kept` was recorded with.
bool recoveryProfileMatches(const AppSettings& settings, const RecoveryProfile& kept);
