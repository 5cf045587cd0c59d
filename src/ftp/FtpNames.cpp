#include "ftp/FtpNames.h"

#include "encoding/CodeSystem.h"
#include "encoding/LosslessCodec.h"

#include <algorithm>

namespace FtpNames {

bool breaksCommandLine(const QByteArray& text) {
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

bool breaksCommandLine(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

bool isSafeLocalComponent(const QByteArray& name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\0');
}

QByteArray join(const QByteArray& directory, const QByteArray& name) {
    if (name.startsWith('/'))
        return name;
    if (directory == "/")
        return '/' + name;
    return directory + '/' + name;
}

QByteArray directoryOfPwdReply(const QByteArray& reply) {
    QByteArray where;
    qsizetype open = reply.indexOf('"');
    if (open < 0)
        return where;
    for (qsizetype i = open + 1; i < reply.size(); ++i) {
        if (reply[i] != '"')
            where += reply[i];
        else if (i + 1 < reply.size() && reply[i + 1] == '"')
            where += reply[++i];
        else
            return where;
    }
    return QByteArray(); // no closing quote
}

QByteArray extensionOf(const QByteArray& name) {
    qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? QByteArray() : name.mid(dot);
}

QString display(const QByteArray& name, int codeSystem) {
    // Plain ASCII reads the same in both code systems.
    const bool ascii =
        std::all_of(name.cbegin(), name.cend(), [](char c) { return uchar(c) < 0x80; });
    QString text;
    if (ascii)
        text = QString::fromLatin1(name);
    else if (codeSystem == CodeSystemEuc)
        text = LosslessCodec::eucJp().decode(name);
    else
        text = LosslessCodec::cp932().decode(name);
    auto isControl = [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; };
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (QChar c : text) {
        if (isControl(c))
            shown += QStringLiteral("\\x") +
                     QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            shown += c;
    }
    return shown;
}

} // namespace FtpNames
