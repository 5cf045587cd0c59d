#pragma once

#include "ftp/ServerFileEntry.h"
#include "transfer/BusyCount.h"
#include "transfer/DriveList.h"
#include "transfer/TransferWindowContext.h"
#include "widgets/CToolTipDialog.h"

#include <memory>
#include <vector>

class CFtpClient;
class CProgressDlg;
struct ServerProfile;
class FileListView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class ServerBrowser;

// "ファイル転送": the two-pane file transfer window. The upper pane lists a directory of an FTP
// server, the lower one a local directory; files go between them with "↑" (upload) and "↓"
// (download), and both sides offer delete, rename and make-directory. One modeless window lives
// from the first "FTP転送" command until the program ends: closing only hides it.
//
// The server pane is the ServerBrowser that the open-from-server dialog embeds too: it keeps one
// FTP client for the window's whole life and a copy of the selected profile, whose directory is
// the one shown. After every action the pane concerned is read again, so it shows what really
// happened. While an action runs the window takes no other command.
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
    const ServerProfile& profile() const;
    int profileNumber() const;
    QByteArray serverDirectory() const;
    ServerBrowser* serverBrowser() const { return m_server; }
    const ServerFileList& pcEntries() const { return m_pcEntries; }
    QString pcPath() const { return m_pcPath; }
    int driveNumber() const { return m_driveNumber; }
    int transferMode() const;
    bool isBusy() const { return m_busy.busy(); }
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
    QWidget* buildTransferRow();
    QWidget* buildPcRows();
    void connectControls();
    void registerToolTipTexts();
    void fillDriveBox();
    void showModeNote();

    ServerFileList selected(Pane pane) const;
    void openServerEntry(const ServerFileEntry& entry);
    void openPcEntry(const ServerFileEntry& entry);
    void runBatch(Pane from, const ServerFileList& chosen);
    void addMenuItem(QMenu* menu, int command, const QString& text, int image);

    TransferWindowContext m_context;
    BusyCount m_busy;
    ServerBrowser* m_server = nullptr;
    ServerFileList m_pcEntries;
    QString m_pcPath;
    std::vector<DriveInfo> m_drives;
    int m_driveNumber = -1;

    QToolButton* m_upload = nullptr;
    QToolButton* m_download = nullptr;
    QComboBox* m_mode = nullptr;
    QLabel* m_modeNote = nullptr;
    QComboBox* m_driveBox = nullptr;
    QLineEdit* m_pcPathEdit = nullptr;
    FileListView* m_pcList = nullptr;
    QCheckBox* m_hidden = nullptr;
    QPushButton* m_close = nullptr;
};
