#pragma once

#include "app/ServerProfile.h"
#include "ftp/ServerFileEntry.h"
#include "transfer/DirectoryHistory.h"
#include "transfer/ServerListLines.h"

#include "frame/CToolTipDialog.h"

#include <memory>
#include <vector>

struct ServerDialogContext;
class CFtpClient;
class FileListOrder;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// "サーバ一覧": one server directory as a list. In open mode the user picks a file, which is
// downloaded into the transfer directory before the dialog closes; the caller then opens the
// local copy. A download that fails keeps the dialog open (the transfer has said why), so no
// missing or stale local copy is ever opened as the server's file. In save mode only
// directories are listed and the dialog returns the chosen directory.
//
// The dialog keeps one FTP connection for its whole run; delete, rename and make-directory use
// it. After OK the application's profile in use is the dialog's profile; after OK or Cancel the
// profile in the settings holds the dialog's directory history.
class CServerDir : public CToolTipDialog {
    Q_OBJECT
public:
    enum Mode { OpenMode, SaveMode };

    CServerDir(ServerDialogContext& context, Mode mode, QWidget* parent = nullptr);
    ~CServerDir() override;

    // Results.
    QString localPath() const { return m_localPath; }
    QByteArray remoteName() const { return m_remoteName; }
    QString selectedDirectory() const { return m_selectedDirectory; }
    const ServerProfile& profile() const { return m_profile; }
    int profileNumber() const { return m_profileNumber; }
    bool readOnly() const { return m_readOnly; }

    // The listed directory as the server's bytes, and what the list shows.
    QByteArray directoryBytes() const { return m_directoryBytes; }
    const ServerFileList& entries() const { return m_entries; }

    void accept() override;
    void reject() override;

    // What the buttons do.
    void listServer();
    void goUp();
    void deleteSelected();
    void renameSelected();
    void makeDirectory();

private:
    class Busy;

    static void registerToolTipTexts();
    void buildControls();
    QWidget* buildDirectoryRow();
    QWidget* buildBottomRows();
    void connectControls();
    void fillProfileBox();
    void loadHistory();
    void showHistory();
    void putIntoHistory(const QString& directory);
    void storeHistory();
    void applyVisibility();
    void copyProfileIntoClient();
    bool ensureConnected();

    void showEntries();
    void showLines(int keepEntry);
    void sortByColumn(int column);
    const ServerFileEntry* entryOf(const QTreeWidgetItem* item) const;
    const ServerFileEntry* selectedEntry() const;

    void onProfileChosen(int index);
    void onHistoryChosen(int index);
    void onItemClicked(QTreeWidgetItem* item);
    void onItemDoubleClicked(QTreeWidgetItem* item);
    void enterDirectory(const QByteArray& path);
    void readControls();
    bool download();

    static FileListOrder& listOrder();

    ServerDialogContext& m_context;
    const Mode m_mode;
    std::unique_ptr<CFtpClient> m_client;
    ServerFileList m_entries;
    std::vector<ServerListLine> m_lines;
    int m_listCode = 0; // the code system the shown names were decoded with

    QString m_localPath;
    QByteArray m_remoteName;
    QString m_selectedDirectory;
    ServerProfile m_profile;
    QByteArray m_directoryBytes;
    int m_profileNumber = 0;
    bool m_readOnly = false;
    bool m_filter = false;
    QString m_fileName;
    DirectoryHistory m_history;
    int m_busy = 0;

    QComboBox* m_profiles = nullptr;
    QPushButton* m_reload = nullptr;
    QComboBox* m_directories = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_delete = nullptr;
    QToolButton* m_rename = nullptr;
    QToolButton* m_makeDir = nullptr;
    QTreeWidget* m_list = nullptr;
    QLabel* m_fileNameLabel = nullptr;
    QLineEdit* m_fileNameEdit = nullptr;
    QCheckBox* m_readOnlyCheck = nullptr;
    QComboBox* m_code = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QCheckBox* m_filterCheck = nullptr;
};
