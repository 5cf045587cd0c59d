#pragma once

#include <QByteArray>
#include <QString>

class DocumentHost;
class QUrl;
class RecentFileList;
struct RecentServerFile;
struct AppSettings;

// What the main window needs of the application: the settings it changes (its placement and
// bars, the search history), the recent-file list, the bar layout kept for this screen, what its
// documents are given, and the application's own commands with their enable rules.
class FrameHost {
public:
    virtual ~FrameHost() = default;

    virtual AppSettings& settings() = 0;
    virtual RecentFileList& recentFiles() = 0;
    // The number of the profile the server windows used last.
    virtual int currentServer() const = 0;
    // Opens a server file of the recent-file list from its server again, as the
    // open-from-server dialog opens the file picked in it; false, with the message shown, when
    // it could not be fetched.
    [[nodiscard]] virtual bool openServerFile(const RecentServerFile& file) = 0;
    // Taken once when the bars are laid out, given back when the window closes.
    virtual QByteArray& barLayout() = 0;
    virtual QString startDir() const = 0;
    virtual DocumentHost& documentHost() = 0;

    // The commands the application runs itself (about, options, opening files, the transfer
    // window, ...).
    virtual void runCommand(int command) = 0;
    virtual bool isCommandEnabled(int command) const = 0;
    // Shows a page in the desktop's browser; false when nothing could show it.
    [[nodiscard]] virtual bool openHelp(const QUrl& page) = 0;
};
