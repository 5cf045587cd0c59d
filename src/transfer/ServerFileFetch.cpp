#include "transfer/ServerFileFetch.h"

#include "encoding/TextCodeGuess.h"
#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"
#include "settings/NetworkSettings.h"

namespace {

QString codeName(TextCode code) {
    return code == TextCode::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS");
}

// What the user chose for a file of an EUC-JP server that is not EUC-JP.
enum class Choice { LooksLike, EucReadOnly, None };

Choice askAboutNotEuc(const QString& name, TextCode looksLike) {
    if (looksLike == TextCode::Unknown) {
        const QString text = QStringLiteral("%1 は EUC-JP のファイルではありません。\n"
                                            "EUC-JP として読取専用で開きますか？")
                                 .arg(name);
        return Prompt::question(text) == PromptAnswer::Yes ? Choice::EucReadOnly : Choice::None;
    }
    const QString text = QStringLiteral("%1 は EUC-JP ではなく %2 のファイルのようです。\n\n"
                                        "はい：%2 のファイルとして開きます。\n"
                                        "いいえ：EUC-JP として読取専用で開きます。\n"
                                        "キャンセル：開きません。")
                             .arg(name, codeName(looksLike));
    switch (Prompt::question(text, PromptButtons::YesNoCancel)) {
    case PromptAnswer::Yes:
        return Choice::LooksLike;
    case PromptAnswer::No:
        return Choice::EucReadOnly;
    default:
        return Choice::None;
    }
}

// The download by the profile's code system, asking about a file of an EUC-JP server that
// is not EUC-JP.
Result<> download(CFtpClient& client, const ServerProfile& profile, const QByteArray& remote,
                  FetchedFile& fetched) {
    const QString& local = fetched.localPath;
    const int listCode = fetched.listCode;
    if (profile.Code != CodeSystemEuc)
        return client.GetFileAuto(local, remote, true);
    const EucDownload first = client.GetFileEUCAuto(local, remote, NotEucJp::Report);
    if (!first.result.isRefused() || !first.looksLike)
        return first.result;
    switch (askAboutNotEuc(FtpNames::display(remote, listCode), *first.looksLike)) {
    case Choice::LooksLike:
        // Unconverted both ways: the text goes back to the server as it came.
        fetched.profile.Code = CodeSystemSjis;
        return client.GetFileEUCAuto(local, remote, NotEucJp::AsIs).result;
    case Choice::EucReadOnly:
        fetched.readOnly = true;
        return client.GetFileEUCAuto(local, remote, NotEucJp::Convert).result;
    case Choice::None:
        break;
    }
    return Result<>::cancelled();
}

} // namespace

std::optional<QByteArray> serverNameOf(const QString& fileName, const ServerProfile& profile) {
    return FtpNames::serverNameFor(fileName, profile.Code, profile.NameSmall != 0);
}

std::unique_ptr<CFtpClient> logOnForDocument(const NetworkSettings& network, bool debugLog,
                                             const ServerProfile& profile, ServerTrust& trust) {
    std::unique_ptr<CFtpClient> client = CFtpClient::create(network, debugLog, profile, trust);
    if (!client) {
        Prompt::error(QStringLiteral("%1 サーバとの通信確立に失敗しました。").arg(profile.Server));
        return nullptr;
    }
    if (!client->OpenSession().ok()) {
        Prompt::error(QStringLiteral("ＦＴＰセッションOPENに失敗しました。"));
        return nullptr;
    }
    return client;
}

FetchedFile fetchForEditing(CFtpClient& client, const QString& transferDirectory,
                            const ServerProfile& profile, int listCode, const QByteArray& remote,
                            bool readOnly) {
    FetchedFile fetched{Result<>::failed(), QString(), profile, readOnly, listCode, std::nullopt};
    const std::optional<QString> local =
        FtpNames::localPathFor(transferDirectory, remote, listCode, profile.NameSmall != 0);
    if (!local) {
        Prompt::error(FtpNames::unreceivableMessage(remote, listCode));
        return fetched;
    }
    fetched.localPath = *local;
    // Taken before the download, so that a change made meanwhile counts as a change when the
    // copy is saved back, never the other way round.
    const std::optional<ServerFileStamp> stamp =
        client.isConnected() ? client.StampOf(remote) : std::nullopt;
    fetched.result = download(client, profile, remote, fetched);
    if (fetched.result.ok())
        fetched.stamp = stamp;
    return fetched;
}

FetchedFile fetchNamedFile(const NetworkSettings& network, bool debugLog, ServerTrust& trust,
                           const QString& transferDirectory, const ServerProfile& profile,
                           const QString& name) {
    FetchedFile failed{Result<>::failed(), QString(), profile, false, profile.Code, std::nullopt};
    const std::optional<QByteArray> remote = serverNameOf(name, profile);
    if (!remote) {
        Prompt::error(FtpNames::unencodableMessage(name));
        return failed;
    }
    const std::unique_ptr<CFtpClient> client = logOnForDocument(network, debugLog, profile, trust);
    if (!client)
        return failed;
    FetchedFile fetched =
        fetchForEditing(*client, transferDirectory, profile, profile.Code, *remote, false);
    client->CloseSession();
    return fetched;
}
