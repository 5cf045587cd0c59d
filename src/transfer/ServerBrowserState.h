#pragma once

#include "ftp/ServerFileEntry.h"
#include "platform/Result.h"
#include "transfer/DirectoryHistory.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct AppSettings;
struct ServerProfile;
class CFtpClient;

// What a server pane shows and the rules it moves by, without a window: the profile in use (a
// value copy whose directory is the one shown), its number, the directory as the server's bytes,
// the directory history box, and the entries of the last listing. Both server windows (the
// transfer window and the open-from-server dialog) hold their server pane through this one
// class, so a profile switch, a history line, "↑" and a listing follow the same rules in both.
class ServerBrowserState {
public:
    // How a listing or a logon ended, for the window to show once its wait cursor is gone.
    struct Listing {
        Result<> result = Result<>::done();
        QString message; // empty when there is nothing more to say
    };

    ServerBrowserState(AppSettings& settings, int profileNumber);
    // Browses with `given`, a copy of a stored profile (a document's), rather than with the
    // stored profile `profileNumber`. Its number is the stored profile it was taken from, whose
    // history it keeps; when none is (the options changed since), it is `profileNumber` for the
    // profile box and no history is stored.
    ServerBrowserState(AppSettings& settings, int profileNumber, const ServerProfile& given);
    ~ServerBrowserState();

    // Whether `copy` was taken from `stored`: equal but for what a copy may change on its own
    // (the directory, its history and the code system of an opening).
    static bool isCopyOf(const ServerProfile& copy, ServerProfile stored);

    const ServerProfile& profile() const { return *m_profile; }
    ServerProfile& profile() { return *m_profile; }
    int profileNumber() const { return m_profileNumber; }
    QByteArray directory() const { return m_directory; }
    const DirectoryHistory& history() const { return m_history; }
    const ServerFileList& entries() const { return m_entries; }
    // The code system the listed names were decoded with.
    int listCode() const { return m_listCode; }
    // The entries are a listing of the directory (not what is left after a failure).
    bool isListed() const { return m_listed; }

    // Another profile of the table: its history is loaded and its directory put into it, the
    // current one's history stored. False (nothing changes) for a profile without a server.
    [[nodiscard]] bool selectProfile(int number);
    // A line of the history box becomes the directory.
    void selectHistoryLine(int index);
    void enter(const QByteArray& path);
    // The directory above. False when there is none ("/" or a name without "/").
    [[nodiscard]] bool goUp();
    // Writes the history box back into the profile of the table.
    void storeHistory();

    // Gives the client the whole profile in use and the directory shown.
    void copyProfileInto(CFtpClient& client) const;
    // Logs on with the profile: afresh, or on the open connection when `fresh` is false and
    // there is one. The message says why a logon failed.
    [[nodiscard]] Listing logOn(CFtpClient& client, bool fresh) const;

    // Lists the directory afresh over a new logon: `kinds` are ServerFileKinds; `ownConnection`
    // lists over a connection of its own (the "List" setting). A directory that cannot be
    // entered or listed after a change leaves the pane on the last directory that listed,
    // listed again, so the pane never shows an empty list under a vanished directory.
    [[nodiscard]] Listing list(CFtpClient& client, int kinds, bool ownConnection);

    // Forgets the entries (the pane is about to be emptied).
    void clearEntries();

private:
    [[nodiscard]] Listing listOnce(CFtpClient& client, int kinds, bool ownConnection);

    AppSettings& m_settings;
    int m_profileNumber = 0;
    std::unique_ptr<ServerProfile> m_profile; // never null
    QByteArray m_directory;
    QByteArray m_lastListed; // the directory of the last listing that worked
    bool m_haveListed = false;
    DirectoryHistory m_history;
    ServerFileList m_entries;
    int m_listCode = 0;
    bool m_listed = false;
    bool m_keepsHistory = true;
};
