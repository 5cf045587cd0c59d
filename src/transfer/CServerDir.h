#pragma once

#include "ftp/ServerFileEntry.h"
#include "ftp/ServerFileStamp.h"
#include "transfer/BusyCount.h"
#include "transfer/ServerBrowser.h"

#include "widgets/CToolTipDialog.h"

#include <optional>

struct ServerDialogContext;
struct ServerProfile;
class CFtpClient;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "サーバ一覧": one server directory as a list. In open mode the user picks a file, which is
// downloaded into the transfer directory before the dialog closes; the caller then opens the
// local copy. A download that fails keeps the dialog open (the transfer has said why), so no
// missing or stale local copy is ever opened as the server's file. In save mode only
// directories are listed and the dialog returns the chosen directory.
//
// The server pane is the ServerBrowser that the transfer window embeds too; this dialog adds the
// file name, the read-only and code-system choices and the filter. The pane keeps one FTP
// connection for the dialog's whole run; delete, rename and make-directory use it. After OK the
// application's profile in use is the dialog's profile; after OK or Cancel the profile in the
// settings holds the dialog's directory history.

class CServerDir : public CToolTipDialog {
    Q_OBJECT
public:
    enum Mode { OpenMode, SaveMode };

    CServerDir(ServerDialogContext& context, Mode mode, QWidget* parent = nullptr);
    // Save mode on a given profile (a document's own copy): its server is listed with its own
    // logon (protocol, port, user...) and only a directory is chosen; the profile box cannot
    // switch to another profile.
    CServerDir(ServerDialogContext& context, const ServerProfile& profile,
               QWidget* parent = nullptr);
    ~CServerDir() override;

    // Results.
    QString localPath() const { return m_localPath; }
    // The version of the server's file that was fetched (nothing when the server did not tell).
    const std::optional<ServerFileStamp>& stamp() const { return m_stamp; }
    QByteArray remoteName() const { return m_remoteName; }
    QString selectedDirectory() const { return m_selectedDirectory; }
    // The profile with the directory shown and the code system chosen, and its number.
    const ServerProfile& profile() const { return m_browser->state().profile(); }
    int profileNumber() const { return m_browser->state().profileNumber(); }
    bool readOnly() const { return m_readOnly; }

    // The server pane: the directory shown and its listing.
    ServerBrowser* browser() const { return m_browser; }

    void accept() override;
    void reject() override;

private:
    // `fixed`: the profile of save mode on a given profile, else null.
    CServerDir(ServerDialogContext& context, Mode mode, const ServerProfile* fixed,
               QWidget* parent);
    static void registerToolTipTexts();
    QWidget* buildBottomRows();
    void connectControls();
    void onListed();
    // No line is chosen: no file name, and the directory is the one shown.
    void forgetChoice();
    void onEntryClicked(const ServerFileEntry& entry);
    void onEntryActivated(const ServerFileEntry& entry);
    // The server's name of the file the name box names, by the name rule of every download, so
    // that a typed path is refused with a message whether or not a line is selected. Nothing
    // after the message.
    [[nodiscard]] std::optional<QByteArray> chosenRemoteName();
    [[nodiscard]] bool download(const QByteArray& remote);

    ServerDialogContext& m_context;
    const Mode m_mode;
    BusyCount m_busy;
    ServerBrowser* m_browser = nullptr;

    QString m_localPath;
    std::optional<ServerFileStamp> m_stamp;
    QByteArray m_remoteName;
    QString m_selectedDirectory;
    bool m_readOnly = false;

    QLabel* m_fileNameLabel = nullptr;
    QLineEdit* m_fileNameEdit = nullptr;
    QCheckBox* m_readOnlyCheck = nullptr;
    QComboBox* m_code = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QCheckBox* m_filterCheck = nullptr;
};
