#include "ftp/ProfileUpload.h"

#include "encoding/LosslessCodec.h"
#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"
#include "settings/ServerProfile.h"

#include <QRandomGenerator>

#include <optional>

namespace {

// A name beside `remote` in the same server directory that no one else's file has: hidden by
// its leading dot, marked as ours by `suffix`, random so that two uploads never share it.
QByteArray hiddenNameFor(const QByteArray& remote, const char* suffix) {
    const quint32 token = QRandomGenerator::global()->generate();
    return '.' + remote + '.' + QByteArray::number(token, 16) + suffix;
}

QString shown(const ServerProfile& profile, const QByteArray& name) {
    return FtpNames::display(name, profile.Code);
}

// The lines of a message, without the empty ones (a failure may come without the server's
// reason).
QString lines(const QStringList& parts) {
    QStringList kept;
    for (const QString& part : parts) {
        if (!part.isEmpty())
            kept.append(part);
    }
    return kept.join(u'\n');
}

// Whether the server has a file of that name; nothing when it cannot be asked.
std::optional<bool> hasFile(CFtpClient& client, const QByteArray& name) {
    ServerFileList found;
    if (!client.GetServerFileList(name, found, ServerFileKindFiles).ok())
        return std::nullopt;
    return !found.empty();
}

Result<> ensureSession(CFtpClient& client) {
    return client.isConnected() ? Result<>::done() : client.OpenSession();
}

// Moves the server's file to its backup name when the profile asks for a backup.
Result<> moveToBackup(CFtpClient& client, const ServerProfile& profile, const QByteArray& remote) {
    // Without an extension the backup name would be the file's own name, and removing the "old
    // backup" would delete the very file it means to keep.
    if (profile.BackMode == 0 || profile.BackExt.isEmpty())
        return Result<>::done();
    const QByteArray backup = remote + toCp932(profile.BackExt);
    // A missing old backup is no error.
    [[maybe_unused]] const Result<> removed = client.Remove(backup);
    const Result<> renamed = client.Rename(remote, backup);
    if (renamed.ok())
        return renamed;
    const QString& reason = renamed.message();
    if (const std::optional<bool> there = hasFile(client, remote); there && !*there)
        return Result<>::done(); // a new file: nothing to keep
    const QString question =
        lines({QStringLiteral("%1 のバックアップ(%2)を作成出来ませんでした。")
                   .arg(shown(profile, remote), shown(profile, backup)),
               reason, QStringLiteral("\nバックアップせずに上書きしますか？")});
    return Prompt::question(question) == PromptAnswer::Yes ? Result<>::done()
                                                           : Result<>::cancelled();
}

void removeTemporary(CFtpClient& client, const QByteArray& name) {
    [[maybe_unused]] const Result<> removed = client.Remove(name);
}

QString notReplaced(const ServerProfile& profile, const QByteArray& remote, const QString& reason) {
    return lines({QStringLiteral("サーバの %1 を送信したファイルで置き換えられませんでした。")
                      .arg(shown(profile, remote)),
                  reason});
}

// Puts the complete temporary file in the live file's place. A server that refuses to rename
// over an existing file (OpenSSH's SFTP server always does) has the live file moved aside
// first and deleted only once the live name holds the new file, so no complete version is ever
// deleted before then, and a server that refuses renames altogether keeps its live file.
Result<> replaceWith(CFtpClient& client, const ServerProfile& profile, const QByteArray& temporary,
                     const QByteArray& remote) {
    if (const Result<> renamed = client.Rename(temporary, remote); renamed.ok())
        return renamed;
    const QByteArray aside = hiddenNameFor(remote, ".vtp-old");
    if (const Result<> movedAside = client.Rename(remote, aside); !movedAside.ok()) {
        removeTemporary(client, temporary);
        Prompt::error(notReplaced(profile, remote, movedAside.message()));
        return movedAside;
    }
    client.Log(
        "SafeUpload %s: 既存ファイルへの名称変更を拒否された為、%s に移してから名称変更します",
        remote.constData(), aside.constData());
    const Result<> renamed = client.Rename(temporary, remote);
    if (renamed.ok()) {
        removeTemporary(client, aside);
        return renamed;
    }
    if (client.Rename(aside, remote).ok()) {
        removeTemporary(client, temporary);
        Prompt::error(notReplaced(profile, remote, renamed.message()));
        return renamed;
    }
    Prompt::error(lines({notReplaced(profile, remote, renamed.message()),
                         QStringLiteral("送信したファイルは %1、元のファイルは %2 としてサーバに"
                                        "残っています。")
                             .arg(shown(profile, temporary), shown(profile, aside))}));
    return renamed;
}

Result<> uploadSafely(CFtpClient& client, const ServerProfile& profile, const ProfileUpload& upload,
                      const UploadSender& send) {
    const QByteArray temporary = hiddenNameFor(upload.remote, ".vtp-part");
    const Result<> sent = send(temporary, false);
    // A failed transfer may have lost the connection, and a converting one closes its own.
    if (!sent.ok())
        client.CloseSession();
    if (const Result<> session = ensureSession(client); !session.ok())
        return Result<>::failed(session.message(), session.code());
    if (!sent.ok()) {
        removeTemporary(client, temporary);
        return sent;
    }
    if (upload.backup) {
        if (const Result<> kept = moveToBackup(client, profile, upload.remote); !kept.ok()) {
            removeTemporary(client, temporary);
            return kept;
        }
    }
    return replaceWith(client, profile, temporary, upload.remote);
}

} // namespace

Result<> uploadByProfile(CFtpClient& client, const ServerProfile& profile,
                         const ProfileUpload& upload, const UploadSender& send) {
    if (profile.SafeUpload != 0)
        return uploadSafely(client, profile, upload, send);
    if (upload.backup) {
        if (const Result<> session = ensureSession(client); !session.ok())
            return Result<>::failed(session.message(), session.code());
        if (const Result<> kept = moveToBackup(client, profile, upload.remote); !kept.ok())
            return kept;
    }
    return send(upload.remote, upload.deleteFirst);
}
