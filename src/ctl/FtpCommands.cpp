// The FTP subcommands of vantorpadctl: the editor's own FTP operations on the profiles and
// network settings of Vantorpad.ini in the current directory, for scripts.

#include "ctl/CtlCommand.h"
#include "encoding/CodeSystem.h"
#include "ftp/CFtpClient.h"
#include "ftp/FileListOrder.h"
#include "ftp/FtpNames.h"
#include "ftp/ProfileUpload.h"
#include "ftp/ServerTrust.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace {

// The words of one command after "-p N" was taken out of them.
struct Invocation {
    AppSettings settings;
    ServerProfile profile;
    QStringList words;
    // The editor's permanent trust choices, beside the settings; nothing is trusted only for
    // this run, as the console cannot ask.
    std::unique_ptr<ServerTrust> trust;
};

bool prepare(const QStringList& args, int minWords, int maxWords, Invocation* call) {
    if (!LoadSettings(call->settings, QDir::currentPath())) {
        Prompt::error(QStringLiteral("設定ファイル %1 が読み込めません。")
                          .arg(settingsFilePath(QDir::currentPath())));
        return false;
    }
    call->trust = std::make_unique<ServerTrust>(QDir::currentPath());
    int number = call->settings.defaultProfileIndex();
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("-p") && i + 1 < args.size()) {
            bool ok = false;
            number = args[++i].toInt(&ok);
            if (!ok || number < 0 || number >= AppSettings::ProfileCount) {
                Prompt::error(QStringLiteral("サーバ設定の番号は 0 から 4 です。"));
                return false;
            }
        } else {
            call->words.append(args[i]);
        }
    }
    if (call->words.size() < minWords || call->words.size() > maxWords) {
        Prompt::error(QStringLiteral("引数の数が正しくありません。"));
        return false;
    }
    call->profile = call->settings.Profiles[size_t(number)];
    return true;
}

// A name typed by the user, in the bytes of the server's code system; nothing, after the
// message, when that code system cannot hold it.
std::optional<QByteArray> serverBytes(const Invocation& call, const QString& text) {
    std::optional<QByteArray> bytes = FtpNames::encodeForServer(text, call.profile.Code);
    if (!bytes)
        Prompt::error(FtpNames::unencodableMessage(text));
    return bytes;
}

QString shown(const Invocation& call, const QByteArray& name) {
    return FtpNames::display(name, call.profile.Code);
}

std::unique_ptr<CFtpClient> clientFor(const Invocation& call) {
    bool log = qEnvironmentVariableIntValue("VANTORPAD_FTP_DEBUG_LOG") != 0;
    return CFtpClient::create(call.settings.Network, log, call.profile, *call.trust);
}

// "dir/name" sets the directory the name is taken from: an absolute one as it stands, a
// relative one below the profile's start directory.
std::optional<QByteArray> splitRemote(const Invocation& call, const QString& typed,
                                      CFtpClient& client) {
    const std::optional<QByteArray> remote = serverBytes(call, typed);
    if (!remote)
        return std::nullopt;
    qsizetype slash = remote->lastIndexOf('/');
    if (slash < 0)
        return remote;
    QByteArray dir = slash == 0 ? QByteArray("/") : remote->left(slash);
    if (!dir.startsWith('/') && !client.serverDirectory.isEmpty()) {
        const std::optional<QByteArray> start = serverBytes(call, call.profile.Dir);
        if (!start)
            return std::nullopt;
        dir = FtpNames::join(*start, dir);
    }
    client.serverDirectory = dir;
    return remote->mid(slash + 1);
}

void printEntries(const Invocation& call, const ServerFileList& list) {
    FileListOrder order(3);
    order.refill();
    std::vector<FileListOrder::Row> rows;
    rows.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        const ServerFileEntry& e = list[i];
        rows.push_back({e.directory != 0,
                        {shown(call, e.name), FileListOrder::sizeText(e.size), e.date},
                        int(i)});
    }
    order.sort(rows);
    for (const FileListOrder::Row& row : rows) {
        QString line = (row.directory ? QStringLiteral("d ") : QStringLiteral("- ")) +
                       row.texts[1] + u' ' + row.texts[2] + u' ' + row.texts[0] + u'\n';
        std::fputs(line.toLocal8Bit().constData(), stdout);
    }
}

int runLs(const QStringList& args) {
    Invocation call;
    if (!prepare(args, 0, 1, &call))
        return 1;
    auto client = clientFor(call);
    if (!client->OpenSession().ok() || !client->SetServerDir().ok())
        return 1;
    if (!call.words.isEmpty()) {
        const std::optional<QByteArray> dir = serverBytes(call, call.words[0]);
        if (!dir)
            return 1;
        client->serverDirectory = *dir;
        if (!client->SetServerDir().ok())
            return 1;
    }
    ServerFileList list;
    if (call.settings.Network.List != 0) {
        client->serverDirectory = client->currentDirectory();
        if (!client->GetServerFileListSDK("*", list, ServerFileKindAll).ok())
            return 1;
    } else if (const Result<> listed = client->GetServerFileList("*", list, ServerFileKindAll);
               !listed.ok()) {
        Prompt::error(QStringLiteral("一覧を取得出来ませんでした。\n%1").arg(listed.message()));
        return 1;
    }
    client->CloseSession();
    printEntries(call, list);
    return 0;
}

int runGet(const QStringList& args) {
    Invocation call;
    if (!prepare(args, 1, 2, &call))
        return 1;
    auto client = clientFor(call);
    const std::optional<QByteArray> remote = splitRemote(call, call.words[0], *client);
    if (!remote)
        return 1;
    const QByteArray& name = *remote;
    // The server's name becomes a local file only by the one rule, in the current directory or
    // in a directory named as the target; a target file named outright is the user's choice.
    QString local = call.words.size() > 1 ? call.words[1] : QStringLiteral(".");
    if (QFileInfo(local).isDir()) {
        const std::optional<QString> inside =
            FtpNames::localPathFor(local, name, call.profile.Code, call.profile.NameSmall != 0);
        if (!inside) {
            Prompt::error(FtpNames::unreceivableMessage(name, call.profile.Code));
            return 1;
        }
        local = *inside;
    }
    const Result<> result = call.profile.Code == CodeSystemEuc
                                ? client->GetFileEUCAuto(local, name)
                                : client->GetFileAuto(local, name, true);
    return result.ok() ? 0 : 1;
}

int runPut(const QStringList& args) {
    Invocation call;
    if (!prepare(args, 1, 2, &call))
        return 1;
    auto client = clientFor(call);
    const QString local = call.words[0];
    QString remoteText = call.words.size() > 1 ? call.words[1] : QFileInfo(local).fileName();
    if (call.words.size() < 2 && call.profile.NameSmall)
        remoteText = FtpNames::lowerCaseAscii(remoteText);
    const std::optional<QByteArray> name = splitRemote(call, remoteText, *client);
    if (!name)
        return 1;
    const ProfileUpload upload{*name, call.profile.SvDel != 0, false};
    const Result<> result =
        uploadByProfile(*client, call.profile, upload, [&](const QByteArray& as, bool deleteFirst) {
            return call.profile.Code == CodeSystemEuc
                       ? client->PutFileEUCAuto(local, as, deleteFirst)
                       : client->PutFileAuto(local, as, true, deleteFirst);
        });
    client->CloseSession();
    return result.ok() ? 0 : 1;
}

// rm, mv, mkdir and rmdir: one server operation in a session of its own.
int runOperation(const QStringList& args, int names,
                 Result<> (*operation)(CFtpClient&, const QByteArray&, const QByteArray&),
                 const QString& failure) {
    Invocation call;
    if (!prepare(args, names, names, &call))
        return 1;
    auto client = clientFor(call);
    const std::optional<QByteArray> first = splitRemote(call, call.words[0], *client);
    const std::optional<QByteArray> second =
        names > 1 ? serverBytes(call, call.words[1]) : QByteArray();
    if (!first || !second || !client->OpenSession().ok())
        return 1;
    const Result<> done = operation(*client, *first, *second);
    if (!done.ok())
        Prompt::error(failure.arg(shown(call, *first), done.message()));
    client->CloseSession();
    return done.ok() ? 0 : 1;
}

int runRm(const QStringList& args) {
    return runOperation(
        args, 1, [](CFtpClient& c, const QByteArray& a, const QByteArray&) { return c.Remove(a); },
        QStringLiteral("%1 を削除出来ませんでした。\n%2"));
}

int runMv(const QStringList& args) {
    return runOperation(
        args, 2,
        [](CFtpClient& c, const QByteArray& a, const QByteArray& b) { return c.Rename(a, b); },
        QStringLiteral("%1 の名称を変更出来ませんでした。\n%2"));
}

int runMkdir(const QStringList& args) {
    return runOperation(
        args, 1, [](CFtpClient& c, const QByteArray& a, const QByteArray&) { return c.MakeDir(a); },
        QStringLiteral("%1 を作成出来ませんでした。\n%2"));
}

int runRmdir(const QStringList& args) {
    return runOperation(
        args, 1, [](CFtpClient& c, const QByteArray& a, const QByteArray&) { return c.RmDir(a); },
        QStringLiteral("%1 を削除出来ませんでした。\n%2"));
}

} // namespace

QList<CtlCommand> ftpCommands() {
    return {
        {"ls", "[-p N] [DIR]", &runLs},
        {"get", "[-p N] REMOTE [LOCAL]", &runGet},
        {"put", "[-p N] LOCAL [REMOTE]", &runPut},
        {"rm", "[-p N] NAME", &runRm},
        {"mv", "[-p N] OLD NEW", &runMv},
        {"mkdir", "[-p N] DIR", &runMkdir},
        {"rmdir", "[-p N] DIR", &runRmdir},
    };
}
