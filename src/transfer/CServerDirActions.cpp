// The server-side actions of the open-from-server dialog: delete, rename and make directory.
// They use the connection of the last listing and list the directory again after a change.

#include "transfer/CServerDir.h"

#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"
#include "transfer/CSvMakeDir.h"
#include "transfer/CSvRename.h"
#include "transfer/ServerListLines.h"

void CServerDir::deleteSelected() {
    if (m_busy || !m_client)
        return;
    const ServerFileEntry* entry = selectedEntry();
    if (!entry) {
        Prompt::information(QStringLiteral("リストから削除するファイルを選択して下さい。"));
        return;
    }
    const ServerFileEntry target = *entry;
    const QString shown = ServerNames::shown(target.name, m_listCode);
    if (Prompt::question(QStringLiteral("%1 を削除しても宜しいですか？").arg(shown)) !=
        PromptAnswer::Yes)
        return;
    if (!ensureConnected())
        return;
    if (target.directory != 0) {
        if (!m_client->RmDir(target.name)) {
            Prompt::error(QStringLiteral(
                "削除出来ませんでした。アクセス権／ディレクトリが空か確認して下さい。"));
            return;
        }
    } else if (!m_client->Remove(target.name)) {
        Prompt::error(QStringLiteral("削除出来ませんでした。アクセス権を確認して下さい。"));
        return;
    }
    listServer();
}

void CServerDir::renameSelected() {
    if (m_busy || !m_client)
        return;
    const ServerFileEntry* entry = selectedEntry();
    if (!entry) {
        Prompt::information(QStringLiteral("リストから名称変更するファイルを選択して下さい。"));
        return;
    }
    const QByteArray oldName = entry->name;
    CSvRename dialog(ServerNames::shown(oldName, m_listCode), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ensureConnected())
        return;
    const std::optional<QByteArray> newName =
        FtpNames::encodeForServer(dialog.newName(), m_listCode);
    if (!newName || !m_client->Rename(oldName, *newName)) {
        Prompt::error(QStringLiteral("名称変更出来ませんでした。アクセス権を確認して下さい。"));
        return;
    }
    listServer();
}

void CServerDir::makeDirectory() {
    if (m_busy || !m_client)
        return;
    CSvMakeDir dialog(DirectoryNames(m_entries, m_listCode), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ensureConnected())
        return;
    const std::optional<QByteArray> name = FtpNames::encodeForServer(dialog.name(), m_listCode);
    if (!name || !m_client->MakeDir(*name)) {
        Prompt::error(
            QStringLiteral("ディレクトリが作成出来ませんでした。アクセス権を確認して下さい。"));
        return;
    }
    listServer();
}
