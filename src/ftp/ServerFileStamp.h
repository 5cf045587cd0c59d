#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What tells one version of a server file from another: its size (-1 when the server would
// not say) and its modification time as the server wrote it in its MDTM answer (14 digits,
// maybe a fraction). The time is compared as the server's own text, never converted, so a
// server whose clock is not UTC still compares with itself.
struct ServerFileStamp {
    qint64 size = -1;
    QByteArray modified;

    bool operator==(const ServerFileStamp&) const = default;
};

namespace ServerFileStamps {

// The time of an MDTM answer ("213 YYYYMMDDhhmmss[.fff]"); nothing for a refusal or an answer
// of another shape, which the caller treats as a server that cannot tell.
std::optional<QByteArray> modifiedOfMdtmReply(int code, const QByteArray& text);

// The version of the server file a local copy was downloaded from, by the copy's path; the
// save that sends the copy back compares it with the server's file as it is then.
void remember(const QString& localPath, const ServerFileStamp& stamp);
void forget(const QString& localPath);
std::optional<ServerFileStamp> recall(const QString& localPath);

// "サーバ上の %s は開いた後に変更されています。上書きしますか？"
QString changedMessage(const QString& name);

} // namespace ServerFileStamps
