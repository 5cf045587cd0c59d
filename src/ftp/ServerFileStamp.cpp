#include "ftp/ServerFileStamp.h"

#include <algorithm>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

namespace ServerFileStamps {

std::optional<QByteArray> modifiedOfMdtmReply(int code, const QByteArray& text) {
    if (code != 213)
        return std::nullopt;
    const QByteArray time = text.mid(4).trimmed();
    const qsizetype dot = time.indexOf('.');
    const QByteArray whole = dot < 0 ? time : time.left(dot);
    const QByteArray fraction = dot < 0 ? QByteArray() : time.mid(dot + 1);
    const bool digits = std::all_of(whole.begin(), whole.end(), isDigit) &&
                        std::all_of(fraction.begin(), fraction.end(), isDigit);
    if (whole.size() != 14 || !digits || (dot >= 0 && fraction.isEmpty()))
        return std::nullopt;
    return time;
}

StampCheck compare(const ServerFileStamp& opened, const std::optional<ServerFileStamp>& now) {
    if (!now)
        return StampCheck::Unknown;
    if (opened.size >= 0 && now->size >= 0 && opened.size != now->size)
        return StampCheck::Changed;
    if (!opened.modified.isEmpty()) {
        if (now->modified.isEmpty())
            return StampCheck::Unknown;
        return opened.modified == now->modified ? StampCheck::Same : StampCheck::Changed;
    }
    return opened.size >= 0 && now->size >= 0 ? StampCheck::Same : StampCheck::Unknown;
}

QString changedMessage(const QString& name) {
    return QStringLiteral("サーバ上の %1 は開いた後に変更されています。上書きしますか？").arg(name);
}

QString uncheckableMessage(const QString& name) {
    return QStringLiteral("サーバ上の %1 が開いた後に変更されたかどうか、サーバの応答からは確認出来"
                          "ませんでした。\nこのまま送信して上書きしますか？")
        .arg(name);
}

} // namespace ServerFileStamps
