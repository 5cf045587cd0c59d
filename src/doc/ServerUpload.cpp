#include "doc/ServerUpload.h"

#include "encoding/LosslessCodec.h"
#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"

#include <QFile>
#include <QRandomGenerator>

namespace {

// Sends the local file under `remote`, converted for an EUC-JP server.
OpResult put(CFtpClient& client, const ServerUploadRequest& request, const QByteArray& remote,
             bool deleteFirst) {
    return request.profile.Code == CodeSystemEuc
               ? client.PutFileEUCAuto(request.localPath, remote, deleteFirst)
               : client.PutFileAuto(request.localPath, remote, true, deleteFirst);
}

// A name beside `remote` in the same server directory that no one else's file has: hidden by
// its leading dot, marked as ours, random so that two saves never share it.
QByteArray temporaryNameFor(const QByteArray& remote) {
    const quint32 token = QRandomGenerator::global()->generate();
    return '.' + remote + '.' + QByteArray::number(token, 16) + ".vtp-part";
}

// Moves the server's file to its backup name when the profile asks for a backup.
void moveToBackup(CFtpClient& client, const ServerProfile& profile, const QByteArray& remote) {
    // Without an extension the backup name would be the file's own name, and removing the "old
    // backup" would delete the very file it means to keep.
    if (profile.BackMode == 0 || profile.BackExt.isEmpty())
        return;
    const QByteArray backup = remote + toCp932(profile.BackExt);
    // A missing old backup is no error, nor is a first upload of a new file.
    [[maybe_unused]] const bool removed = client.Remove(backup);
    [[maybe_unused]] const bool renamed = client.Rename(remote, backup);
}

// A session for the steps after a transfer: the transfer may have lost the connection or, for
// an EUC-JP server, closed it.
bool freshSession(CFtpClient& client) {
    return client.OpenSession() == OpResult::Done;
}

// The upload goes to a temporary name and replaces the live file only when it is complete, so
// a broken transfer never leaves a half-written file under the real name. The backup is taken
// once the new text is on the server, for the same reason: until then the live file stays
// where it is. A server that will not rename over an existing file gets the old order instead:
// delete, then upload.
OpResult uploadSafely(CFtpClient& client, const ServerUploadRequest& request,
                      const QByteArray& remote) {
    const QByteArray temporary = temporaryNameFor(remote);
    const OpResult sent = put(client, request, temporary, false);
    if (!freshSession(client))
        return OpResult::Failed;
    if (sent != OpResult::Done) {
        [[maybe_unused]] const bool removed = client.Remove(temporary);
        return sent;
    }
    moveToBackup(client, request.profile, remote);
    if (client.Rename(temporary, remote))
        return OpResult::Done;
    client.Log("SafeUpload %s: 既存ファイルへの名称変更を拒否された為、削除後に送信します",
               remote.constData());
    [[maybe_unused]] const bool removed = client.Remove(temporary);
    return put(client, request, remote, true);
}

// Someone else's newer file is never overwritten without a word. A server that cannot tell
// the file's time, or a copy whose server version was never known, saves as it always did.
OpResult checkUnchanged(CFtpClient& client, const ServerUploadRequest& request,
                        const QByteArray& remote) {
    const std::optional<ServerFileStamp> opened = ServerFileStamps::recall(request.localPath);
    if (!opened)
        return OpResult::Done;
    const std::optional<ServerFileStamp> now = client.StampOf(remote);
    if (!now || *now == *opened)
        return OpResult::Done;
    const QString text =
        ServerFileStamps::changedMessage(request.fileName) +
        QStringLiteral("\n\nはい：上書きします。\n"
                       "いいえ：サーバの現在のファイルを新しいウィンドウで開きます。\n"
                       "キャンセル：送信しません。");
    switch (Prompt::question(text, PromptButtons::YesNoCancel)) {
    case PromptAnswer::Yes:
        return OpResult::Done;
    case PromptAnswer::No:
        if (request.openServerVersion)
            request.openServerVersion(client, remote);
        return OpResult::Cancelled;
    default:
        return OpResult::Cancelled;
    }
}

// After a save the server's file is the document's: its new stamp is the one later saves
// compare with.
void rememberSaved(CFtpClient& client, const ServerUploadRequest& request,
                   const QByteArray& remote) {
    std::optional<ServerFileStamp> now;
    if (client.isConnected() || client.OpenSession() == OpResult::Done)
        now = client.StampOf(remote);
    if (now)
        ServerFileStamps::remember(request.localPath, *now);
    else
        ServerFileStamps::forget(request.localPath);
}

} // namespace

std::optional<QByteArray> serverNameOf(const QString& fileName, const ServerProfile& profile) {
    return FtpNames::serverNameFor(fileName, profile.Code, profile.NameSmall != 0);
}

OpResult uploadToServer(const ServerUploadRequest& request) {
    const ServerProfile& profile = request.profile;
    if (profile.Code != CodeSystemEuc && profile.Code != CodeSystemSjis &&
        profile.Code != CodeSystemUtf8) {
        Prompt::error(QStringLiteral("コード体系(%1)が不正な為、サーバに送信しませんでした。")
                          .arg(profile.Code));
        return OpResult::Refused;
    }
    if (profile.Code == CodeSystemEuc && request.utf8) {
        // The upload converts Shift_JIS to EUC-JP; UTF-8 text would arrive garbled.
        Prompt::error(QStringLiteral("UTF-8 のファイルの為、EUC のサーバ(%1)に送信しませんでした。")
                          .arg(profile.Server));
        return OpResult::Refused;
    }
    if (profile.Code == CodeSystemUtf8 && !request.utf8) {
        // The text goes up unconverted; Shift_JIS bytes would arrive garbled.
        Prompt::error(
            QStringLiteral("Shift_JIS のファイルの為、UTF-8 のサーバ(%1)に送信しませんでした。")
                .arg(profile.Server));
        return OpResult::Refused;
    }
    const std::optional<QByteArray> remote = serverNameOf(request.fileName, profile);
    if (!remote) {
        Prompt::error(FtpNames::unencodableMessage(request.fileName));
        return OpResult::Refused;
    }
    std::unique_ptr<CFtpClient> client =
        CFtpClient::create(request.network, request.debugLog, profile);
    if (!client) {
        Prompt::error(QStringLiteral("%1 サーバとの通信確立に失敗しました。").arg(profile.Server));
        return OpResult::Failed;
    }
    if (client->OpenSession() != OpResult::Done) {
        Prompt::error(QStringLiteral("ＦＴＰセッションOPENに失敗しました。"));
        return OpResult::Failed;
    }
    if (const OpResult checked = checkUnchanged(*client, request, *remote);
        checked != OpResult::Done) {
        client->CloseSession();
        return checked;
    }
    OpResult result = OpResult::Done;
    if (profile.SafeUpload != 0) {
        result = uploadSafely(*client, request, *remote);
    } else {
        moveToBackup(*client, profile, *remote);
        result = put(*client, request, *remote, profile.SvDel != 0);
    }
    if (result != OpResult::Done)
        Prompt::error(QStringLiteral("ファイル送信に失敗しました。(%1)").arg(resultCode(result)));
    else if (ServerFileStamps::recall(request.localPath))
        rememberSaved(*client, request, *remote);
    client->CloseSession();
    return result;
}
