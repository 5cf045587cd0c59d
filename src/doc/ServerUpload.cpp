#include "doc/ServerUpload.h"

#include "transfer/ServerFileFetch.h"

#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "ftp/ProfileUpload.h"
#include "platform/Prompt.h"
#include "settings/ServerProfile.h"

namespace {

// Someone else's newer file is never overwritten without a word. A copy whose server version
// was never known (the server told neither time nor size when it was opened) saves as it
// always did; one whose version can no longer be compared asks first.
Result<> checkUnchanged(CFtpClient& client, const ServerUploadRequest& request,
                        const QByteArray& remote, const std::optional<ServerFileStamp>& opened) {
    if (!opened)
        return Result<>::done();
    const std::optional<ServerFileStamp> current = client.StampOf(remote);
    switch (ServerFileStamps::compare(*opened, current)) {
    case StampCheck::Same:
        return Result<>::done();
    case StampCheck::Unknown:
        return Prompt::question(ServerFileStamps::uncheckableMessage(request.fileName)) ==
                       PromptAnswer::Yes
                   ? Result<>::done()
                   : Result<>::cancelled();
    case StampCheck::Changed:
        break;
    }
    const PromptChoices choices{QStringLiteral("上書きする"),
                                QStringLiteral("サーバのファイルを開く"),
                                QStringLiteral("送信しない"), QStringLiteral("比較する")};
    switch (Prompt::current().choose(ServerFileStamps::changedMessage(request.fileName),
                                     PromptIcon::Question, choices)) {
    case PromptAnswer::Yes:
        return Result<>::done();
    case PromptAnswer::No:
        if (request.openServerVersion)
            request.openServerVersion(client, remote);
        return Result<>::cancelled();
    case PromptAnswer::Ok:
        if (request.compareServerVersion)
            request.compareServerVersion(client, remote, current);
        return Result<>::cancelled();
    default:
        return Result<>::cancelled();
    }
}

// After a save the server's file is the document's: its new stamp is the one later saves
// compare with.
std::optional<ServerFileStamp> stampAfterSave(CFtpClient& client, const QByteArray& remote) {
    if (client.isConnected() || client.OpenSession().ok())
        return client.StampOf(remote);
    return std::nullopt;
}

} // namespace

Result<> uploadToServer(const ServerUploadRequest& request, ServerTrust& trust,
                        std::optional<ServerFileStamp>& stamp) {
    const ServerProfile& profile = request.profile;
    if (profile.Code != CodeSystemEuc && profile.Code != CodeSystemSjis &&
        profile.Code != CodeSystemUtf8) {
        Prompt::error(QStringLiteral("コード体系(%1)が不正な為、サーバに送信しませんでした。")
                          .arg(profile.Code));
        return Result<>::refused();
    }
    if (profile.Code == CodeSystemEuc && request.utf8) {
        // The upload converts Shift_JIS to EUC-JP; UTF-8 text would arrive garbled.
        Prompt::error(QStringLiteral("UTF-8 のファイルの為、EUC のサーバ(%1)に送信しませんでした。")
                          .arg(profile.Server));
        return Result<>::refused();
    }
    if (profile.Code == CodeSystemUtf8 && !request.utf8) {
        // The text goes up unconverted; Shift_JIS bytes would arrive garbled.
        Prompt::error(
            QStringLiteral("Shift_JIS のファイルの為、UTF-8 のサーバ(%1)に送信しませんでした。")
                .arg(profile.Server));
        return Result<>::refused();
    }
    const std::optional<QByteArray> remote = serverNameOf(request.fileName, profile);
    if (!remote) {
        Prompt::error(FtpNames::unencodableMessage(request.fileName));
        return Result<>::refused();
    }
    std::unique_ptr<CFtpClient> client =
        logOnForDocument(request.network, request.debugLog, profile, trust);
    if (!client)
        return Result<>::failed();
    if (const Result<> checked = checkUnchanged(*client, request, *remote, stamp); !checked.ok()) {
        client->CloseSession();
        return checked;
    }
    const ProfileUpload upload{*remote, profile.SvDel != 0, true};
    const Result<> result =
        uploadByProfile(*client, profile, upload, [&](const QByteArray& name, bool deleteFirst) {
            return profile.Code == CodeSystemEuc
                       ? client->PutFileEUCAuto(request.localPath, name, deleteFirst)
                       : client->PutFileAuto(request.localPath, name, true, deleteFirst);
        });
    if (result.status() == ResultStatus::Failed || result.isRefused())
        Prompt::error(QStringLiteral("ファイル送信に失敗しました。(%1)").arg(result.resultCode()));
    else if (result.ok() && stamp)
        stamp = stampAfterSave(*client, *remote);
    client->CloseSession();
    return result;
}
