#include "ftp/FtpNames.h"

#include "encoding/CodeSystem.h"
#include "encoding/LosslessCodec.h"
#include "encoding/LosslessUtf8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace FtpNames {

bool breaksCommandLine(const QByteArray& text) {
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

bool breaksCommandLine(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

namespace {

// On bytes a backslash is not looked for: 0x5C is the second byte of many CP932 characters
// ("ソ", "表"). The decoded name is checked for it.
bool isUnsafeByte(char c) {
    const uchar code = uchar(c);
    return code < 0x20 || code == 0x7F || code == '/';
}

// The byte a lossless decoder could not decode, as it stands for it (U+DC00 + byte).
bool isUndecodedByte(char16_t code) {
    return code >= 0xDC00 && code <= 0xDCFF;
}

// C0 and C1 controls, decoded or left as an undecoded byte: a terminal or a file manager may
// act on them.
bool isControl(char16_t code) {
    if (isUndecodedByte(code))
        code -= 0xDC00;
    return code < 0x20 || (code >= 0x7F && code < 0xA0);
}

// The bidirectional controls (Unicode's Bidi_Control): they reorder what follows, so that
// "txt.exe" can read as "exe.txt" in a list, a message or a file manager.
bool isBidiControl(char16_t code) {
    return code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

// What display() cannot show as it is.
bool isEscaped(char16_t code) {
    return isControl(code) || isUndecodedByte(code) || isBidiControl(code);
}

bool isUnsafeCharacter(QChar c) {
    const char16_t code = c.unicode();
    return isControl(code) || isBidiControl(code) || code == u'/' || code == u'\\';
}

} // namespace

bool isSafeLocalComponent(const QByteArray& name) {
    return !name.isEmpty() && name != "." && name != ".." &&
           std::none_of(name.cbegin(), name.cend(), isUnsafeByte);
}

bool isSafeLocalComponent(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." &&
           std::none_of(name.cbegin(), name.cend(), [](QChar c) { return isUnsafeCharacter(c); });
}

QByteArray lastComponent(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// A server's name as text in its code system; bytes that are no character of it become
// U+DC00 + byte, so the name encodes back to exactly the bytes it came as.
QString unusableNameMessage() {
    return QStringLiteral("名前に使用出来ない文字が含まれています。");
}

QString decodeName(const QByteArray& name, int codeSystem) {
    const bool ascii =
        std::all_of(name.cbegin(), name.cend(), [](char c) { return uchar(c) < 0x80; });
    if (ascii)
        return QString::fromLatin1(name);
    if (codeSystem == CodeSystemUtf8)
        return LosslessUtf8::decode(name);
    return (codeSystem == CodeSystemEuc ? LosslessCodec::eucJp() : LosslessCodec::cp932())
        .decode(name);
}

namespace {

// The longest name a local file may have, in bytes (NAME_MAX of Linux file systems).
constexpr qsizetype MaxLocalNameBytes = 255;

// A server's name as a local file's name, or why it cannot be one.
struct LocalName {
    std::optional<QString> name;
    bool tooLong = false;
};

LocalName localNameOf(const QByteArray& name, int codeSystem, bool nameSmall) {
    if (!isSafeLocalComponent(name))
        return {};
    QString local = decodeName(name, codeSystem);
    // Such a name has no spelling in the local file system's UTF-8 either.
    if (codeSystem == CodeSystemUtf8 && std::any_of(local.cbegin(), local.cend(), [](QChar c) {
            return isUndecodedByte(c.unicode());
        }))
        return {};
    if (nameSmall)
        local = lowerCaseAscii(local);
    if (!isSafeLocalComponent(local))
        return {};
    if (QFile::encodeName(local).size() > MaxLocalNameBytes)
        return {std::nullopt, true};
    return {local};
}

// A name in a message: a name of thousands of bytes would make the message unreadable.
QString shownInMessage(const QByteArray& name, int codeSystem) {
    constexpr qsizetype MaxShown = 80;
    const QString shown = display(name, codeSystem);
    return shown.size() <= MaxShown ? shown : shown.left(MaxShown) + QStringLiteral("…");
}

} // namespace

std::optional<QString> localPathFor(const QString& directory, const QByteArray& name,
                                    int codeSystem, bool nameSmall) {
    const std::optional<QString> local = localNameOf(name, codeSystem, nameSmall).name;
    if (!local)
        return std::nullopt;
    const QString base = QDir::cleanPath(directory);
    const QString path = QDir::cleanPath(base + u'/' + *local);
    // Belt and braces: whatever the name held, the file lands directly in the directory.
    if (QFileInfo(path).dir().path() != base && !(base == u"/" && !path.mid(1).contains(u'/')))
        return std::nullopt;
    return path;
}

QString unreceivableMessage(const QByteArray& name, int codeSystem) {
    if (localNameOf(name, codeSystem, false).tooLong)
        return QStringLiteral("サーバのファイル名 %1 は長すぎる為(%2 バイト)、受信出来ません。")
            .arg(shownInMessage(name, codeSystem))
            .arg(name.size());
    return QStringLiteral("サーバのファイル名 %1 は受信出来ません。")
        .arg(shownInMessage(name, codeSystem));
}

QString unreceivableMessage(const QByteArrayList& names, int codeSystem) {
    if (names.size() == 1)
        return unreceivableMessage(names.front(), codeSystem);
    constexpr qsizetype MaxLines = 20;
    QString text =
        QStringLiteral("次のサーバのファイル名 %1 件は受信出来ません。\n").arg(names.size());
    for (qsizetype i = 0; i < names.size() && i < MaxLines; ++i) {
        text += u'\n' + shownInMessage(names[i], codeSystem);
        if (localNameOf(names[i], codeSystem, false).tooLong)
            text += QStringLiteral("　(長すぎる名前)");
    }
    if (names.size() > MaxLines)
        text += QStringLiteral("\nほか %1 件").arg(names.size() - MaxLines);
    return text;
}

bool isSafeLocalTarget(const QString& path) {
    const QStringList parts = path.split(u'/');
    return isSafeLocalComponent(parts.last()) && !parts.contains(QStringLiteral(".."));
}

QString lowerCaseAscii(const QString& name) {
    QString lower = name;
    for (QChar& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(char16_t(c.unicode() + (u'a' - u'A')));
    }
    return lower;
}

std::optional<QByteArray> encodeForServer(const QString& name, int codeSystem) {
    const EncodeResult encoded = codeSystem == CodeSystemUtf8 ? LosslessUtf8::encode(name)
                                 : codeSystem == CodeSystemEuc
                                     ? LosslessCodec::eucJp().encode(name)
                                     : LosslessCodec::cp932().encode(name);
    if (!encoded.ok())
        return std::nullopt;
    return encoded.bytes;
}

std::optional<QByteArray> serverNameFor(const QString& localName, int codeSystem, bool nameSmall) {
    return encodeForServer(nameSmall ? lowerCaseAscii(localName) : localName, codeSystem);
}

QString unencodableMessage(const QString& name) {
    return QStringLiteral("ファイル名 %1 はサーバの文字コードで表せません。").arg(name);
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
    const QString text = decodeName(name, codeSystem);
    auto escaped = [](QChar c) { return isEscaped(c.unicode()); };
    if (std::none_of(text.cbegin(), text.cend(), escaped))
        return text;
    // A control as its code, a byte that is no character as itself, a bidirectional control as
    // the bytes the server spells it with: each as "\xNN".
    QString shown;
    shown.reserve(text.size() + 8);
    for (QChar c : text) {
        if (!escaped(c)) {
            shown += c;
            continue;
        }
        const char16_t code = c.unicode();
        const QByteArray bytes =
            isUndecodedByte(code) ? QByteArray(1, char(code - 0xDC00))
            : isControl(code)
                ? QByteArray(1, char(code))
                : encodeForServer(QString(c), codeSystem).value_or(QString(c).toUtf8());
        for (char byte : bytes)
            shown += QStringLiteral("\\x") +
                     QString::number(uchar(byte), 16).toUpper().rightJustified(2, u'0');
    }
    return shown;
}

} // namespace FtpNames
