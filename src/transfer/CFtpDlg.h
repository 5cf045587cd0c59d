#pragma once

#include "app/ServerProfile.h"
#include "frame/CToolTipDialog.h"
#include "ftp/ServerFileEntry.h"
#include "transfer/DirectoryHistory.h"
#include "transfer/DriveList.h"
#include "transfer/TransferWindowContext.h"

#include <memory>
#include <vector>

class CFtpClient;
class CProgressDlg;
class FileListView;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

// "ファイル転送": the two-pane file transfer window. The upper pane lists a directory of an FTP
// server, the lower one a local directory; files go between them with "↑" (upload) and "↓"
// (download), and both sides offer delete, rename and make-directory. One modeless window lives
// from the first "FTP転送" command until the program ends: closing only hides it.
//
// The window keeps one FTP client for its whole life and a copy of the selected profile, whose
// directory is the one shown. After every action the pane concerned is read again, so it shows
// what really happened. While an action runs the window takes no other command.
class CFtpDlg : public CToolTipDialog {
    Q_OBJECT
public:
    // Control and menu command ids.
    enum Command : int {
        CmdServerDelete = 1127,
        CmdServerRename = 1131,
        CmdServerMakeDir = 1133,
        CmdServerRefresh = 1166,
        CmdPcRefresh = 1167,
        CmdUpload = 1179,
        CmdDownload = 1180,
        CmdPcDelete = 1185,
        CmdPcRename = 1186,
        CmdPcMakeDir = 1187,
        CmdServerOpen = 1188,
        CmdPcOpen = 1189,
    };
    enum Pane { ServerPane, PcPane };

    explicit CFtpDlg(TransferWindowContext context, QWidget* parent = nullptr);
    ~CFtpDlg() override;

    // Runs a command as its button or menu item does; false when it is disabled or the window
    // is busy.
    bool runCommand(int command);
    bool isCommandEnabled(int command) const;
    // The right-click menu of a pane (the caller owns it).
    QMenu* contextMenu(Pane pane);

    // What the panes show.
    const ServerProfile& profile() const { return m_profile; }
    int profileNumber() const { return m_profileNumber; }
    QByteArray serverDirectory() const { return m_directoryBytes; }
    const ServerFileList& serverEntries() const { return m_serverEntries; }
    const ServerFileList& pcEntries() const { return m_pcEntries; }
    QString pcPath() const { return m_pcPath; }
    int driveNumber() const { return m_driveNumber; }
    int transferMode() const;
    bool isBusy() const { return m_busy > 0; }
    FileListView* pane(Pane pane) const;

    // The fills and the navigation.
    void fillServerPane();
    void fillPcPane();
    void enterServerDirectory(const QByteArray& path);
    void enterPcDirectory(const QString& path);
    void goUp();
    void openSelected(Pane pane);
    void chooseProfile(int index);
    void chooseHistoryLine(int index);
    void chooseDrive(int index);

    // The actions.
    void upload();
    void download();
    void deleteOnServer();
    void renameOnServer();
    void makeServerDirectory();
    void deleteOnPc();
    void renameOnPc();
    void makePcDirectory();

signals:
    // A progress window was put up for an upload or download.
    void progressShown(CProgressDlg* progress);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    class Busy;

    void buildControls();
    QWidget* buildServerRows();
    QWidget* buildTransferRow();
    QWidget* buildPcRows();
    void connectControls();
    void registerToolTipTexts();
    void fillProfileBox();
    void fillDriveBox();
    void loadHistory();
    void showHistory();
    void putIntoHistory(const QString& directory);
    void storeHistory();
    void applyVisibility();
    void copyProfileIntoClient();
    bool reconnect();
    bool listServer();

    ServerFileList selected(Pane pane) const;
    void openServerEntry(const ServerFileEntry& entry);
    void openPcEntry(const ServerFileEntry& entry);
    void runBatch(Pane from, const ServerFileList& chosen);
    void addMenuItem(QMenu* menu, int command, const QString& text, int image);

    TransferWindowContext m_context;
    std::unique_ptr<CFtpClient> m_client;
    ServerFileList m_serverEntries;
    ServerFileList m_pcEntries;
    ServerProfile m_profile;
    QByteArray m_directoryBytes;
    int m_profileNumber = 0;
    int m_listCode = 0;          // the code system the shown server names were decoded with
    bool m_serverListed = false; // the server pane shows a listing of the directory
    QString m_pcPath;
    std::vector<DriveInfo> m_drives;
    int m_driveNumber = -1;
    DirectoryHistory m_history;
    int m_busy = 0;

    QComboBox* m_profiles = nullptr;
    QPushButton* m_reload = nullptr;
    QComboBox* m_directories = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_delete = nullptr;
    QToolButton* m_rename = nullptr;
    QToolButton* m_makeDir = nullptr;
    FileListView* m_serverList = nullptr;
    QToolButton* m_upload = nullptr;
    QToolButton* m_download = nullptr;
    QComboBox* m_mode = nullptr;
    QComboBox* m_driveBox = nullptr;
    QLineEdit* m_pcPathEdit = nullptr;
    FileListView* m_pcList = nullptr;
    QCheckBox* m_hidden = nullptr;
    QPushButton* m_close = nullptr;
};
