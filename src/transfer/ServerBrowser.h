#pragma once

#include "ftp/ServerFileEntry.h"
#include "transfer/ServerBrowserState.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

struct AppSettings;
struct ServerProfile;
class BusyCount;
class CFtpClient;
class FileListView;
class QComboBox;
class QPushButton;
class QToolButton;
class ServerTrust;

// The server pane of both server windows: the profile box with "再読込", the directory history
// box with "↑", delete, rename and make directory, and the list of the directory. The window
// that embeds it adds its own buttons and says, through Options, where the two windows differ.
//
// The pane keeps one FTP client for its life. Every listing logs on afresh and leaves the
// connection open for what follows (a download, an upload, a file action). While the pane or
// its window works, the shared BusyCount keeps both from starting anything else.
class ServerBrowser : public QWidget {
    Q_OBJECT
public:
    struct Options {
        int kinds = ServerFileKindAll; // what a listing shows
        bool multipleSelection = true;
        int listId = 1130;          // the list's control id in its window
        bool upAtRootLists = false; // "↑" on "/" reads "/" again rather than doing nothing
        bool filtering = false;     // files of the server filter's types are left out
        // The file actions log on afresh (the transfer window) rather than using the connection
        // the last listing left open (the open-from-server dialog).
        bool freshLogonForActions = true;
        // Browses with this profile (a document's own copy) rather than a stored one, and the
        // profile box cannot switch to another.
        std::shared_ptr<const ServerProfile> fixedProfile;
    };

    ServerBrowser(AppSettings& settings, bool debugLog, ServerTrust& trust, int profileNumber,
                  BusyCount& busy, Options options, QWidget* parent = nullptr);
    ~ServerBrowser() override;

    // Gives a list pane a key of its own (file-manager style: Delete, F2, F5), active while the
    // list has the focus, so each pane of a window can own the same key.
    static void addPaneKey(QWidget* list, QKeyCombination key, std::function<void()> run);

    // The tool-tip texts of the pane's controls, by control id.
    static void registerToolTipTexts(QHash<int, QString>& table);

    ServerBrowserState& state() { return m_state; }
    const ServerBrowserState& state() const { return m_state; }
    const ServerFileList& entries() const { return m_state.entries(); }
    // Null when the client could not be created: then the pane has no server functions.
    CFtpClient* client() const { return m_client.get(); }
    FileListView* list() const { return m_list; }

    // The listing entries of the selected lines, top to bottom.
    ServerFileList selectedEntries() const;

    // Lists the directory again and shows it.
    void refresh();
    void enterDirectory(const QByteArray& path);
    void goUp();
    void chooseProfile(int index);
    void chooseHistoryLine(int index);
    void setFiltering(bool on);

    // The file actions on the selected lines; each lists the directory again after a change.
    void deleteSelected();
    void renameSelected();
    void makeDirectory();

    // Makes the connection an action needs: a new logon, or the open one when the window keeps
    // it; false after the message when the logon failed.
    [[nodiscard]] bool connectForAction(bool freshLogon);

signals:
    // A line was clicked or double-clicked.
    void entryClicked(const ServerFileEntry& entry);
    void entryActivated(const ServerFileEntry& entry);
    // The pane was filled from a listing (or emptied by a failed one).
    void listed();
    // Another profile is in use.
    void profileChanged();

private:
    class Busy;

    QWidget* buildProfileRow();
    QWidget* buildDirectoryRow();
    void connectControls();
    void fillProfileBox();
    void showHistory();
    void showEntries();
    void applyVisibility();
    [[nodiscard]] std::optional<ServerFileEntry> entryOf(const QModelIndex& index) const;
    // Runs a file action on the selected lines over the connection it needs, and lists the
    // directory again when the action asked the server for something.
    void actOnSelection(const char16_t* action,
                        const std::function<int(const ServerFileList&)>& act);

    AppSettings& m_settings;
    BusyCount& m_busy;
    const Options m_options;
    ServerBrowserState m_state;
    std::unique_ptr<CFtpClient> m_client;
    bool m_filtering = false;

    QComboBox* m_profiles = nullptr;
    QPushButton* m_reload = nullptr;
    QComboBox* m_directories = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_delete = nullptr;
    QToolButton* m_rename = nullptr;
    QToolButton* m_makeDir = nullptr;
    FileListView* m_list = nullptr;
};
