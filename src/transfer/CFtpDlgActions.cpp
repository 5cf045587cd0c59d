// The transfer window's actions: upload and download with the progress window, and delete,
// rename and make-directory on both sides; their commands and the two right-click menus.

#include "ftp/CFtpClient.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "transfer/CFtpDlg.h"
#include "transfer/CFtpDlgBusy.h"
#include "transfer/CProgressDlg.h"
#include "transfer/FileActions.h"
#include "transfer/FileListView.h"
#include "transfer/ServerBrowser.h"
#include "transfer/TransferBatch.h"
#include "transfer/TransferRules.h"
#include "transfer/WindowNameDialogs.h"
#include "widgets/ServerListIcons.h"

#include <QAction>
#include <QMenu>
#include <QStyle>

namespace {

QString selectFirst(const char16_t* what) {
    return FileActionMessages::selectFirst(QString::fromUtf16(what));
}

} // namespace

bool CFtpDlg::isCommandEnabled(int command) const {
    switch (command) {
    case CmdServerDelete:
    case CmdServerRename:
    case CmdServerMakeDir:
        return m_server->client() && profile().Special != 0;
    case CmdPcDelete:
    case CmdPcRename:
    case CmdPcMakeDir:
        return profile().Special != 0;
    case CmdServerRefresh:
    case CmdServerOpen:
    case CmdUpload:
    case CmdDownload:
        return m_server->client() != nullptr;
    case CmdPcRefresh:
    case CmdPcOpen:
        return true;
    default:
        return false;
    }
}

bool CFtpDlg::runCommand(int command) {
    if (m_busy.busy() || !isCommandEnabled(command))
        return false;
    switch (command) {
    case CmdServerDelete:
        deleteOnServer();
        break;
    case CmdServerRename:
        renameOnServer();
        break;
    case CmdServerMakeDir:
        makeServerDirectory();
        break;
    case CmdServerRefresh:
        fillServerPane();
        break;
    case CmdPcRefresh:
        fillPcPane();
        break;
    case CmdUpload:
        upload();
        break;
    case CmdDownload:
        download();
        break;
    case CmdPcDelete:
        deleteOnPc();
        break;
    case CmdPcRename:
        renameOnPc();
        break;
    case CmdPcMakeDir:
        makePcDirectory();
        break;
    case CmdServerOpen:
        openSelected(ServerPane);
        break;
    case CmdPcOpen:
        openSelected(PcPane);
        break;
    }
    return true;
}

void CFtpDlg::addMenuItem(QMenu* menu, int command, const QString& text, int image) {
    QAction* action = menu->addAction(ServerListIcons::image(image), text);
    action->setData(command);
    action->setEnabled(isCommandEnabled(command));
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
}

QMenu* CFtpDlg::contextMenu(Pane which) {
    auto* menu = new QMenu(this);
    const bool server = which == ServerPane;
    addMenuItem(menu, server ? CmdDownload : CmdUpload,
                server ? QStringLiteral("ﾀﾞｳﾝﾛｰﾄﾞ") : QStringLiteral("ｱｯﾌﾟﾛｰﾄﾞﾞ"),
                ServerListIcons::PlainFile);
    addMenuItem(menu, server ? CmdServerOpen : CmdPcOpen, QStringLiteral("開く"),
                ServerListIcons::PlainFile);
    addMenuItem(menu, server ? CmdServerDelete : CmdPcDelete, QStringLiteral("削除"),
                ServerListIcons::PlainFile);
    addMenuItem(menu, server ? CmdServerRename : CmdPcRename, QStringLiteral("名称変更"),
                ServerListIcons::PlainFile);
    addMenuItem(menu, server ? CmdServerMakeDir : CmdPcMakeDir, QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成"),
                ServerListIcons::Folder);
    addMenuItem(menu, server ? CmdServerRefresh : CmdPcRefresh, QStringLiteral("最新の情報に更新"),
                ServerListIcons::Folder);
    return menu;
}

void CFtpDlg::upload() {
    const ServerFileList chosen = selected(PcPane);
    if (chosen.empty()) {
        Prompt::information(selectFirst(u"アップロード"));
        return;
    }
    runBatch(PcPane, chosen);
}

void CFtpDlg::download() {
    const ServerFileList chosen = selected(ServerPane);
    if (chosen.empty()) {
        Prompt::information(selectFirst(u"ダウンロード"));
        return;
    }
    if (!m_server->connectForAction(true))
        return;
    runBatch(ServerPane, chosen);
}

void CFtpDlg::runBatch(Pane from, const ServerFileList& chosen) {
    Busy busy(*this, false);
    CProgressDlg progress(this);
    progress.start();
    emit progressShown(&progress);
    CFtpClient& client = *m_server->client();
    {
        m_server->state().copyProfileInto(client);
        TransferBatch batch(client, m_context.settings, profile(), transferMode(), m_pcPath,
                            progress);
        const ServerBrowserState& server = m_server->state();
        if (from == PcPane)
            batch.upload(chosen, server.isListed() ? &server.entries() : nullptr);
        else
            batch.download(chosen, server.listCode());
    }
    // The pane that changed is read again, so it shows what really arrived.
    if (from == PcPane)
        fillServerPane();
    else
        fillPcPane();
}

void CFtpDlg::deleteOnServer() {
    m_server->deleteSelected();
}

void CFtpDlg::renameOnServer() {
    m_server->renameSelected();
}

void CFtpDlg::makeServerDirectory() {
    m_server->makeDirectory();
}

void CFtpDlg::deleteOnPc() {
    const ServerFileList chosen = selected(PcPane);
    if (chosen.empty()) {
        Prompt::information(selectFirst(u"削除"));
        return;
    }
    Busy busy(*this, false);
    PcFileActions::deleteEntries(m_pcPath, chosen);
    fillPcPane();
}

void CFtpDlg::renameOnPc() {
    const ServerFileList chosen = selected(PcPane);
    if (chosen.empty()) {
        Prompt::information(selectFirst(u"名称変更"));
        return;
    }
    Busy busy(*this, false);
    WindowNameDialogs dialogs(this);
    PcFileActions::renameEntries(m_pcPath, chosen, dialogs);
    fillPcPane();
}

void CFtpDlg::makePcDirectory() {
    Busy busy(*this, false);
    WindowNameDialogs dialogs(this);
    const std::optional<QString> name =
        dialogs.askDirectoryName(TransferRules::localDirectoryNames(m_pcEntries));
    if (name && PcFileActions::makeDirectory(m_pcPath, *name))
        fillPcPane();
}
