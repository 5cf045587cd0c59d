#include "doc/ServerUpload.h"

#include "encoding/LosslessCodec.h"
#include "ftp/CFtpClient.h"
#include "platform/Prompt.h"

#include <QFile>

QByteArray serverNameOf(const QString& fileName, const ServerProfile& profile) {
    const QString name = profile.NameSmall != 0 ? fileName.toLower() : fileName;
    const LosslessCodec& codec =
        profile.Code == CodeSystemEuc ? LosslessCodec::eucJp() : LosslessCodec::cp932();
    EncodeResult encoded = codec.encode(name);
    // A name the server's code cannot hold goes as the local file system spells it.
    return encoded.ok() ? encoded.bytes : QFile::encodeName(name);
}

bool uploadToServer(const ServerUploadRequest& request) {
    const ServerProfile& profile = request.profile;
    if (profile.Code != CodeSystemEuc && profile.Code != CodeSystemSjis) {
        Prompt::error(QStringLiteral("コード体系(%1)が不正な為、サーバに送信しませんでした。")
                          .arg(profile.Code));
        return false;
    }
    if (profile.Code == CodeSystemEuc && request.utf8) {
        // The upload converts Shift_JIS to EUC-JP; UTF-8 text would arrive garbled.
        Prompt::error(QStringLiteral("UTF-8 のファイルの為、EUC のサーバ(%1)に送信しませんでした。")
                          .arg(profile.Server));
        return false;
    }
    std::unique_ptr<CFtpClient> client =
        CFtpClient::create(request.network, request.debugLog, profile);
    if (!client) {
        Prompt::error(QStringLiteral("%1 サーバとの通信確立に失敗しました。").arg(profile.Server));
        return false;
    }
    const QByteArray remote = serverNameOf(request.fileName, profile);
    if (client->OpenSession() != 0) {
        Prompt::error(QStringLiteral("ＦＴＰセッションOPENに失敗しました。"));
        return false;
    }
    // Without an extension the backup name would be the file's own name, and removing the "old
    // backup" would delete the very file it means to keep.
    if (profile.BackMode != 0 && !profile.BackExt.isEmpty()) {
        const QByteArray backup = remote + toCp932(profile.BackExt);
        client->Remove(backup);         // a missing old backup is no error
        client->Rename(remote, backup); // nor is a first upload of a new file
    }
    const int result = profile.Code == CodeSystemEuc
                           ? client->PutFileEUCAuto(request.localPath, remote, profile.SvDel)
                           : client->PutFileAuto(request.localPath, remote, 1, profile.SvDel);
    if (result != 0)
        Prompt::error(QStringLiteral("ファイル送信に失敗しました。(%1)").arg(result));
    client->CloseSession();
    return result == 0;
}
