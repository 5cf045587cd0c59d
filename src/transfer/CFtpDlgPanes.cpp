// The transfer window's panes: filling them from the server and the disk, and moving around
// (directory history, "↑", double clicks, profile and drive boxes).

#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "transfer/CFtpDlg.h"
#include "transfer/CFtpDlgBusy.h"
#include "transfer/FileListView.h"
#include "transfer/PcDirectory.h"
#include "transfer/ServerBrowser.h"
#include "transfer/ServerFileFetch.h"
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

QString unavailable(const QString& place) {
    return QStringLiteral("<%1>は現在利用出来ません。").arg(place);
}

} // namespace

void CFtpDlg::connectControls() {
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    const std::pair<QToolButton*, int> buttons[] = {{m_upload, CmdUpload},
                                                    {m_download, CmdDownload}};
    for (const auto& [button, id] : buttons)
        connect(button, &QToolButton::clicked, this, [this, id = id] { runCommand(id); });
    connect(m_driveBox, &QComboBox::activated, this, &CFtpDlg::chooseDrive);
    connect(m_hidden, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_busy.busy()) {
            fillPcPane();
            return;
        }
        const QSignalBlocker keep(m_hidden); // the pane could not follow it now
        m_hidden->setChecked(!on);
    });
    connect(m_server, &ServerBrowser::profileChanged, this, &CFtpDlg::showModeNote);
    connect(m_server, &ServerBrowser::entryActivated, this,
            [this](const ServerFileEntry& entry) { openServerEntry(entry); });
    connect(m_pcList, &FileListView::entryActivated, this, [this](std::size_t entry) {
        if (!m_busy.busy() && entry < m_pcEntries.size())
            openPcEntry(ServerFileEntry(m_pcEntries[entry]));
    });
    const std::pair<QKeyCombination, int> pcKeys[] = {
        {Qt::Key_Delete, CmdPcDelete}, {Qt::Key_F2, CmdPcRename}, {Qt::Key_F5, CmdPcRefresh}};
    for (const auto& [key, id] : pcKeys)
        ServerBrowser::addPaneKey(m_pcList, key, [this, id = id] { runCommand(id); });
    for (FileListView* list : {m_server->list(), m_pcList}) {
        const Pane which = list == m_pcList ? PcPane : ServerPane;
        connect(list, &QWidget::customContextMenuRequested, this, [this, list, which](QPoint at) {
            if (m_busy.busy())
                return;
            QMenu* menu = contextMenu(which);
            menu->exec(list->viewport()->mapToGlobal(at));
            menu->deleteLater();
        });
    }
}

void CFtpDlg::fillServerPane() {
    m_server->refresh();
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
    m_server->enterDirectory(path);
}

void CFtpDlg::enterPcDirectory(const QString& path) {
    m_pcPath = path;
    fillPcPane();
}

void CFtpDlg::goUp() {
    m_server->goUp();
}

void CFtpDlg::chooseHistoryLine(int index) {
    m_server->chooseHistoryLine(index);
}

void CFtpDlg::chooseProfile(int index) {
    m_server->chooseProfile(index);
}

void CFtpDlg::chooseDrive(int index) {
    if (m_busy.busy() || index < 0 || index >= int(m_drives.size())) {
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
    if (m_busy.busy())
        return;
    if (entry.directory != 0) {
        if (profile().DirChg == 1)
            enterServerDirectory(entry.path);
        return;
    }
    CFtpClient* client = m_server->client();
    if (!client)
        return;
    FetchedFile fetched;
    {
        Busy busy(*this);
        m_server->state().copyProfileInto(*client);
        fetched = fetchForEditing(*client, m_context.settings.TranDir, profile(),
                                  m_server->state().listCode(), entry.name, false);
    }
    // A failed download has said why; the local file is not the server's, so it is not opened.
    if (!fetched.result.ok())
        return;
    m_context.currentServer = profileNumber();
    if (m_context.openDocument)
        m_context.openDocument(fetched.localPath, fetched.profile, true, fetched.readOnly,
                               fetched.stamp);
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
        m_context.openDocument(path, standard, false, false, std::nullopt);
}

ServerFileList CFtpDlg::selected(Pane which) const {
    if (which == ServerPane)
        return m_server->selectedEntries();
    ServerFileList chosen;
    for (std::size_t index : m_pcList->selectedEntries()) {
        if (index < m_pcEntries.size())
            chosen.push_back(m_pcEntries[index]);
    }
    return chosen;
}
