#include "transfer/ServerPaths.h"

#include "ftp/FtpNames.h"
#include "settings/ServerProfile.h"

namespace ServerPaths {

namespace {

template <typename Text> Text parentOf(const Text& directory, const Text& slash) {
    const qsizetype at = directory.lastIndexOf(slash);
    if (at < 0)
        return directory;
    Text above = directory.left(at);
    return above.isEmpty() ? slash : above;
}

} // namespace

QString parent(const QString& directory) {
    return parentOf(directory, QStringLiteral("/"));
}

QByteArray parent(const QByteArray& directory) {
    return parentOf(directory, QByteArray("/"));
}

namespace {

template <typename Text, typename Names>
Text joinBelowRoot(const Text& rootText, const Names& names, const Text& slash) {
    if (names.isEmpty())
        return rootText;
    Text below = names.join(slash);
    if (rootText == slash)
        return slash + below;
    return rootText + slash + below;
}

} // namespace

QString treeItemPath(const QString& rootText, const QStringList& names) {
    return joinBelowRoot(rootText, names, QStringLiteral("/"));
}

QByteArray treeItemPath(const QByteArray& rootText, const QList<QByteArray>& names) {
    return joinBelowRoot(rootText, names, QByteArray("/"));
}

QString lastWord(const QString& name) {
    const qsizetype blank = name.lastIndexOf(u' ');
    return blank < 0 ? name : name.mid(blank + 1);
}

QString profileBoxLine(int number, const ServerProfile& profile) {
    if (profile.Server.isEmpty())
        return QStringLiteral("NO:%1　未　設　定").arg(number);
    return QStringLiteral("NO:%1　【%2】").arg(QString::number(number), profile.Server);
}

bool differsBeyondLetterCase(const QString& a, const QString& b) {
    return FtpNames::lowerCaseAscii(a) != FtpNames::lowerCaseAscii(b);
}

QString checkFileName(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("ファイル名を入力して下さい。");
    if (name.contains(u'/') || name.contains(QChar(0)) || name == QStringLiteral(".") ||
        name == QStringLiteral(".."))
        return QStringLiteral("ファイル名 %1 は使用出来ません。").arg(name);
    return {};
}

} // namespace ServerPaths
