#include "transfer/ServerPaths.h"

#include "app/ServerProfile.h"

namespace ServerPaths {

QString parent(const QString& directory) {
    const qsizetype slash = directory.lastIndexOf(u'/');
    if (slash < 0)
        return directory;
    QString above = directory.left(slash);
    return above.isEmpty() ? QStringLiteral("/") : above;
}

QString treeItemPath(const QString& rootText, const QStringList& names) {
    if (names.isEmpty())
        return rootText;
    const QString below = names.join(u'/');
    if (rootText == QStringLiteral("/"))
        return u'/' + below;
    return rootText + u'/' + below;
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

QString lowerCaseName(const QString& name) {
    QString lower = name;
    for (QChar& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(char16_t(c.unicode() + (u'a' - u'A')));
    }
    return lower;
}

bool differsBeyondLetterCase(const QString& a, const QString& b) {
    return lowerCaseName(a) != lowerCaseName(b);
}

QString transferPath(const QString& transferDirectory, const QString& localName) {
    return transferDirectory + u'/' + localName;
}

} // namespace ServerPaths
