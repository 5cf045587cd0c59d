#pragma once

#include "ftp/FileListOrder.h"
#include "ftp/ServerFileStamp.h"
#include "ftp/ServerTrust.h"
#include "restore/RecoveryOffer.h"
#include "settings/AppSettings.h"
#include "settings/RecentFileList.h"
#include "settings/WindowPlacement.h"
#include "sheet/SheetContext.h"
#include "transfer/ServerListLines.h"

#include <QDir>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct FileDialogRequest;
struct FileDialogResult;

class CMainFrame;
class DocumentHost;
class DocumentRecovery;
class QUrl;
class QWidget;

// The one application object: owns the settings and a little run-time state, runs start-up and
// shut-down, and handles the application-level commands. The windows below it reach what they
// need of it through the small interfaces it hands down (FrameHost, DocumentHost, SheetContext),
// never through the object itself.
class CVantorpadApp : public QObject {
    Q_OBJECT
public:
    // The steps that stand for platform services, replaceable so that tests can make them fail
    // or watch them run.
    struct Hooks {
        std::function<bool()> initSockets;
        std::function<bool()> initComponents;
        // Runs the options dialog modally; returns true on OK.
        std::function<bool(CVantorpadApp&)> runOptionsDialog;
        // Opens a local file in the spreadsheet editor (path, read-only).
        std::function<void(const QString&, bool)> openInSpreadsheet;
        // The save-to-server dialog on a document's profile and file name; true on OK with both
        // updated.
        std::function<bool(QWidget*, ServerProfile&, QString&)> saveToServer;
        // Shows a page in the desktop's browser; false when nothing could show it.
        std::function<bool(const QUrl&)> openHelp;
        // Asks what to do with the documents runs that ended abnormally left unsaved.
        std::function<RecoveryAnswer(const QList<RecoveryOffer>&, QWidget*)> askRecovery;
    };

    explicit CVantorpadApp(QObject* parent = nullptr);
    ~CVantorpadApp() override;

    Hooks& hooks() { return m_hooks; }

    // Start-up; `arguments` are the command-line words after the program name, `showState` the
    // show state given to the program. Returns false when the program must not start.
    bool InitInstance(const QStringList& arguments, int showState = ShowDefault);
    // Shut-down: destroys the transfer window, returns to the start-up directory and writes the
    // settings (unless start-up failed before they were read). Returns the process's exit status:
    // 1 when the settings could not all be saved, else 0.
    int ExitInstance();

    AppSettings settings;
    int currentServer = 0;
    QPointer<QWidget> transferWindow;
    int transferWindowOpen = 0;
    QString startDir;
    bool ftpDebugLog = false;
    // The column directions of the open-from-server dialog's list, kept from one run to the next.
    FileListOrder serverListOrder{ColumnCount, NameColumn};
    RecentFileList recentFiles;
    int previewPages = 1;
    // The main window's bar layout for this screen (empty: the default layout).
    QByteArray barLayout;

    CMainFrame* mainFrame() const { return m_mainFrame.get(); }
    // The certificates and host keys the user trusts, for every server connection of this run.
    ServerTrust& serverTrust() { return m_serverTrust; }
    // What documents and their editors are given of the application.
    DocumentHost& documentHost();
    // What the spreadsheet editor is given: the settings, the main window and its find box, and
    // the documents of the files it writes.
    SheetContext sheetContext();
    const ServerProfile& profile(int index) const;
    const ServerProfile& currentProfile() const { return profile(currentServer); }

    // The unsaved text of the open documents, kept for a restart after a crash.
    DocumentRecovery& documentRecovery() { return *m_recovery; }
    // Offers what runs that ended abnormally left unsaved (once a run; start-up asks for it as
    // soon as the main window is up).
    void OfferRecovery();

    // The one way a file becomes an editor document; `stamp` is the version of the server's
    // file that a server document's text came from.
    bool OpenTextDocument(const QString& path, const ServerProfile& profile, bool fromServer,
                          bool readOnly, const std::optional<ServerFileStamp>& stamp = {});

    // Enable rule of an application command, and the command run as its menu item runs it.
    bool isCommandEnabled(int command) const;
    void runCommand(int command);

    // Application commands.
    void OnAppAbout();
    void OnFilePrintSetup();
    void OnOptions();
    void OnKeywordSettings();
    void OnFileNew();
    void OnFileOpen();
    void OnOpenServerFile();
    void OnInsertFile();
    // Fetches a recent server file from its server and opens it as a server document.
    bool openServerFile(const RecentServerFile& file);
    void OnFtpTransfer();

signals:
    void optionsApplied();

private:
    FileDialogResult askForPcFile(FileDialogRequest request);
    bool loadSettings();
    void keepSavedRectOnScreen();
    void showMainWindow(int showState);
    void checkDirectories();

    class Services;

    Hooks m_hooks;
    std::unique_ptr<DocumentRecovery> m_recovery;
    bool m_recoveryOffered = false;
    std::unique_ptr<Services> m_services;
    bool m_settingsLoaded = false;
    std::unique_ptr<CMainFrame> m_mainFrame;
    // Kept beside the settings, in the start-up directory.
    ServerTrust m_serverTrust{QDir::currentPath()};
};
