#include "doc/ServerUpload.h"

#include "encoding/LosslessCodec.h"
#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"

#include <QFile>

std::optional<QByteArray> serverNameOf(const QString& fileName, const ServerProfile& profile) {
    return FtpNames::serverNameFor(fileName, profile.Code, profile.NameSmall != 0);
}

OpResult uploadToServer(const ServerUploadRequest& request) {
    const ServerProfile& profile = request.profile;
    if (profile.Code != CodeSystemEuc && profile.Code != CodeSystemSjis) {
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
    // Without an extension the backup name would be the file's own name, and removing the "old
    // backup" would delete the very file it means to keep.
    if (profile.BackMode != 0 && !profile.BackExt.isEmpty()) {
        const QByteArray backup = *remote + toCp932(profile.BackExt);
        // A missing old backup is no error, nor is a first upload of a new file.
        [[maybe_unused]] const bool removed = client->Remove(backup);
        [[maybe_unused]] const bool renamed = client->Rename(*remote, backup);
    }
    const OpResult result =
        profile.Code == CodeSystemEuc
            ? client->PutFileEUCAuto(request.localPath, *remote, profile.SvDel != 0)
            : client->PutFileAuto(request.localPath, *remote, true, profile.SvDel != 0);
    if (result != OpResult::Done)
        Prompt::error(QStringLiteral("ファイル送信に失敗しました。(%1)").arg(resultCode(result)));
    client->CloseSession();
    return result;
}
