// The transfer window's panes: filling them from the server and the disk, and moving around
// (directory history, "↑", double clicks, profile and drive boxes).

#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"
#include "transfer/CFtpDlg.h"
#include "transfer/CFtpDlgBusy.h"
#include "transfer/FileListView.h"
#include "transfer/PcDirectory.h"
#include "transfer/ServerListLines.h"
#include "transfer/ServerPaths.h"
#include "transfer/TransferRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

const QString SessionFailed = QStringLiteral("ＦＴＰセッションOPENに失敗しました。");

QString unavailable(const QString& place) {
    return QStringLiteral("<%1>は現在利用出来ません。").arg(place);
}

} // namespace

void CFtpDlg::connectControls() {
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_reload, &QPushButton::clicked, this, [this] { runCommand(CmdServerRefresh); });
    connect(m_up, &QToolButton::clicked, this, [this] {
        if (!m_busy)
            goUp();
    });
    const std::pair<QToolButton*, int> buttons[] = {{m_delete, CmdServerDelete},
                                                    {m_rename, CmdServerRename},
                                                    {m_makeDir, CmdServerMakeDir},
                                                    {m_upload, CmdUpload},
                                                    {m_download, CmdDownload}};
    for (const auto& [button, id] : buttons)
        connect(button, &QToolButton::clicked, this, [this, id = id] { runCommand(id); });
    connect(m_profiles, &QComboBox::activated, this, &CFtpDlg::chooseProfile);
    connect(m_directories, &QComboBox::activated, this, &CFtpDlg::chooseHistoryLine);
    connect(m_driveBox, &QComboBox::activated, this, &CFtpDlg::chooseDrive);
    connect(m_hidden, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_busy) {
            fillPcPane();
            return;
        }
        const QSignalBlocker keep(m_hidden); // the pane could not follow it now
        m_hidden->setChecked(!on);
    });
    connect(m_serverList, &FileListView::entryActivated, this, [this](std::size_t entry) {
        if (!m_busy && entry < m_serverEntries.size())
            openServerEntry(ServerFileEntry(m_serverEntries[entry]));
    });
    connect(m_pcList, &FileListView::entryActivated, this, [this](std::size_t entry) {
        if (!m_busy && entry < m_pcEntries.size())
            openPcEntry(ServerFileEntry(m_pcEntries[entry]));
    });
    for (FileListView* list : {m_serverList, m_pcList}) {
        const Pane which = list == m_serverList ? ServerPane : PcPane;
        connect(list, &QWidget::customContextMenuRequested, this, [this, list, which](QPoint at) {
            if (m_busy)
                return;
            QMenu* menu = contextMenu(which);
            menu->exec(list->viewport()->mapToGlobal(at));
            menu->deleteLater();
        });
    }
}

void CFtpDlg::copyProfileIntoClient() {
    m_client->server = m_profile.Server;
    m_client->user = m_profile.User;
    m_client->password = m_profile.Passwd;
    m_client->serverDirectory = m_directoryBytes;
    m_client->port = m_profile.Port;
}

bool CFtpDlg::reconnect() {
    Busy busy(*this);
    m_client->CloseSession();
    copyProfileIntoClient();
    if (m_client->OpenSession() != OpResult::Done) {
        busy.release();
        Prompt::error(SessionFailed);
        return false;
    }
    return true;
}

void CFtpDlg::fillServerPane() {
    Busy busy(*this, true, isVisible() ? m_serverList : nullptr);
    applyVisibility();
    m_serverList->clearLines();
    m_serverEntries.clear();
    m_serverListed = false;
    if (!m_client)
        return;
    m_client->CloseSession();
    copyProfileIntoClient();
    if (m_client->OpenSession() != OpResult::Done) {
        busy.release();
        Prompt::error(SessionFailed);
        return;
    }
    if (m_client->SetServerDir() != OpResult::Done) {
        busy.release();
        Prompt::error(QStringLiteral("ＤＩｒ変更に失敗しました。"));
        return;
    }
    m_serverListed = listServer();
    m_listCode = m_profile.Code;
    // The connection stays open: the transfers that follow use it.
    m_serverList->showLines(
        BuildServerListLines(m_serverEntries, m_context.settings, false, m_listCode));
    putIntoHistory(m_profile.Dir);
}

bool CFtpDlg::listServer() {
    if (m_context.settings.Network.List != 0)
        return m_client->GetServerFileListSDK("*", m_serverEntries, ServerFileKindAll) ==
               OpResult::Done;
    return m_client->GetServerFileList("*", m_serverEntries, ServerFileKindAll) == OpResult::Done;
}

void CFtpDlg::fillPcPane() {
    Busy busy(*this, true, isVisible() ? m_pcList : nullptr);
    m_pcList->clearLines();
    m_pcEntries.clear();
    const QString canonical = PcDirectory::canonical(m_pcPath);
    if (canonical.isEmpty() || !PcDirectory::list(canonical, m_hidden->isChecked(), m_pcEntries)) {
        m_pcEntries.clear();
        m_pcPathEdit->setText(m_pcPath);
        busy.release();
        Prompt::information(unavailable(m_pcPath));
        return;
    }
    m_pcPath = canonical;
    m_pcPathEdit->setText(m_pcPath);
    m_pcList->showLines(TransferRules::pcListLines(m_pcEntries, m_context.settings));
}

void CFtpDlg::enterServerDirectory(const QByteArray& path) {
    m_directoryBytes = path;
    m_profile.Dir = ServerNames::directoryText(path);
    fillServerPane();
}

void CFtpDlg::enterPcDirectory(const QString& path) {
    m_pcPath = path;
    fillPcPane();
}

void CFtpDlg::goUp() {
    // "/" has no parent: it is read again.
    enterServerDirectory(ServerPaths::parent(m_directoryBytes));
}

void CFtpDlg::chooseHistoryLine(int index) {
    if (m_busy) {
        showHistory();
        return;
    }
    m_history.select(index);
    m_profile.Dir = m_history.currentText();
    m_directoryBytes = ServerNames::directoryBytes(m_profile.Dir);
    fillServerPane();
}

void CFtpDlg::chooseProfile(int index) {
    if (m_busy || index < 0 || index >= AppSettings::ProfileCount) {
        m_profiles->setCurrentIndex(m_profileNumber);
        return;
    }
    if (index == m_profileNumber)
        return;
    const ServerProfile& chosen = m_context.settings.Profiles[std::size_t(index)];
    if (chosen.Server.isEmpty()) {
        m_profiles->setCurrentIndex(m_profileNumber);
        return;
    }
    storeHistory();
    m_profile = chosen;
    m_profileNumber = index;
    m_directoryBytes = ServerNames::directoryBytes(m_profile.Dir);
    loadHistory();
    putIntoHistory(m_profile.Dir);
    fillServerPane();
}

void CFtpDlg::chooseDrive(int index) {
    if (m_busy || index < 0 || index >= int(m_drives.size())) {
        m_driveBox->setCurrentIndex(m_driveNumber);
        return;
    }
    const QString root = m_drives[std::size_t(index)].root;
    if (!DriveList::isAvailable(root)) {
        m_driveBox->setCurrentIndex(m_driveNumber);
        Prompt::information(unavailable(root));
        return;
    }
    m_pcPath = root;
    m_driveNumber = index;
    fillPcPane();
}

void CFtpDlg::openSelected(Pane which) {
    const ServerFileList chosen = selected(which);
    if (chosen.empty())
        return;
    if (which == ServerPane)
        openServerEntry(chosen.front());
    else
        openPcEntry(chosen.front());
}

void CFtpDlg::openServerEntry(const ServerFileEntry& entry) {
    if (entry.directory != 0) {
        if (m_profile.DirChg == 1)
            enterServerDirectory(entry.path);
        return;
    }
    if (!m_client)
        return;
    const std::optional<QString> local =
        TransferRules::downloadPath(m_context.settings.TranDir, entry.name, m_listCode, m_profile);
    if (!local) {
        Prompt::error(FtpNames::unreceivableMessage(entry.name, m_listCode));
        return;
    }
    OpResult result = OpResult::Failed;
    {
        Busy busy(*this);
        copyProfileIntoClient();
        result = m_profile.Code == CodeSystemEuc ? m_client->GetFileEUCAuto(*local, entry.name)
                                                 : m_client->GetFileAuto(*local, entry.name, true);
    }
    // A failed download has said why; the local file is not the server's, so it is not opened.
    if (result != OpResult::Done)
        return;
    m_context.currentServer = m_profileNumber;
    if (m_context.openDocument)
        m_context.openDocument(*local, m_profile, true, false);
}

void CFtpDlg::openPcEntry(const ServerFileEntry& entry) {
    const QString path = TransferRules::shownLocalName(entry.path);
    if (entry.directory != 0) {
        enterPcDirectory(path);
        return;
    }
    const ServerProfile& standard =
        m_context.settings.Profiles[std::size_t(m_context.settings.defaultProfileIndex())];
    if (m_context.openDocument)
        m_context.openDocument(path, standard, false, false);
}

ServerFileList CFtpDlg::selected(Pane which) const {
    const ServerFileList& entries = which == ServerPane ? m_serverEntries : m_pcEntries;
    ServerFileList chosen;
    for (std::size_t index : pane(which)->selectedEntries()) {
        if (index < entries.size())
            chosen.push_back(entries[index]);
    }
    return chosen;
}
