#pragma once

#include "ftp/ServerFileStamp.h"

#include <optional>

struct AppSettings;
class CVantorpadDoc;
class ServerTrust;
class QString;
class QWidget;
struct ServerProfile;

// Where the other version of a document's file in a comparison comes from.
enum class VersionSource {
    Server, // the server's current file, fetched for the comparison
    Disk,   // the local file as it is on disk now
};

// What an editor document and its view need of the program around them: the settings they
// read, the way another file becomes a document, the recent-file list, and the dialogs and
// windows that belong to other parts of the program.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    virtual const AppSettings& settings() const = 0;
    // The profile a new document takes.
    virtual const ServerProfile& currentProfile() const = 0;
    virtual bool ftpDebugLog() const = 0;
    // The directory the program started in (where the settings and "KeyString.txt" lie).
    virtual QString startDir() const = 0;

    // The certificates and host keys the user trusts, for the document's uploads.
    virtual ServerTrust& serverTrust() = 0;

    // Opens `path` in an editor window (or brings its window to the front); false, with a
    // message shown, when it cannot be read. `stamp` is the server file's version a server
    // document's text came from.
    [[nodiscard]] virtual bool openTextDocument(const QString& path, const ServerProfile& profile,
                                                bool fromServer, bool readOnly,
                                                std::optional<ServerFileStamp> stamp) = 0;
    virtual void addRecentFile(const QString& path) = 0;
    // Runs the save-to-server dialog on `profile` and `fileName`; true on OK with both updated.
    [[nodiscard]] virtual bool askSaveToServer(QWidget* parent, ServerProfile& profile,
                                               QString& fileName) = 0;
    // Opens the local file `path` in the spreadsheet editor.
    virtual void openInSpreadsheet(const QString& path, bool readOnly) = 0;
    // Shows `document` side by side with another version of its file, the file at `otherPath`
    // read as the document reads its own. A `temporary` file is deleted when the comparison
    // closes (or at once when it cannot be shown). False, with the message shown, when the
    // file cannot be read.
    [[nodiscard]] virtual bool compareWithVersion(CVantorpadDoc& document, const QString& otherPath,
                                                  VersionSource source, bool temporary) = 0;

    // The document's text changed, or whether it has unsaved text did (a save, an undo back to
    // the saved text): the program keeps unsaved text where it can be restored after a crash.
    virtual void unsavedTextChanged(CVantorpadDoc& /*document*/) {}
    // The document is closed: whatever was kept of its text is not needed any more.
    virtual void documentClosed(CVantorpadDoc& /*document*/) {}
};
