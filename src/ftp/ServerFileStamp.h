#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What tells one version of a server file from another: its size (-1 when the server would
// not say) and its modification time as the server wrote it in its MDTM answer (14 digits,
// maybe a fraction; empty when the server would not say). The time is compared as the
// server's own text, never converted, so a server whose clock is not UTC still compares with
// itself. A document opened from a server keeps the stamp of the version it was downloaded
// from; the save that sends it back compares that with the server's file as it is then.
struct ServerFileStamp {
    qint64 size = -1;
    QByteArray modified;

    bool operator==(const ServerFileStamp&) const = default;
};

// What a comparison of the server's file with the version a copy came from can tell.
enum class StampCheck { Same, Changed, Unknown };

namespace ServerFileStamps {

// The time of an MDTM answer ("213 YYYYMMDDhhmmss[.fff]"); nothing for a refusal or an answer
// of another shape, which the caller treats as a server that cannot tell.
std::optional<QByteArray> modifiedOfMdtmReply(int code, const QByteArray& text);

// Compares what both stamps hold: a different size or time is a change; the same time (or,
// on a server that never gave a time, the same size) is the same file. A time that the server
// gave for the copy but gives no more, or no stamp at all now, leaves it Unknown: a server
// that stops answering MDTM must not let someone else's change be overwritten unasked.
StampCheck compare(const ServerFileStamp& opened, const std::optional<ServerFileStamp>& now);

// "サーバ上の %s は開いた後に変更されています。上書きしますか？"
QString changedMessage(const QString& name);
// The question when the server's file cannot be compared with the version the copy came from.
QString uncheckableMessage(const QString& name);

} // namespace ServerFileStamps
