#include "transfer/TransferRules.h"

#include "encoding/LosslessCodec.h"
#include "ftp/FileListOrder.h"
#include "ftp/FtpNames.h"
#include "settings/AppSettings.h"
#include "settings/ServerFileIcon.h"
#include "settings/ServerProfile.h"
#include "transfer/ServerListLines.h"
#include "transfer/ServerPaths.h"

#include <QFile>

namespace TransferRules {

bool asciiFor(const AppSettings& settings, int mode, const QString& name) {
    switch (mode) {
    case TransferAscii:
        return true;
    case TransferBinary:
        return false;
    default: {
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString extension = dot < 0 ? QString() : name.mid(dot);
        return ServerFileIcon(settings, extension) == 0;
    }
    }
}

QString unconvertedMessage(bool upload, const QStringList& names) {
    constexpr qsizetype Shown = 20;
    QString text = upload ? QStringLiteral("次のファイルは Shift_JIS のテキストではない為、"
                                           "変換せずにそのまま送信しました。")
                          : QStringLiteral("次のファイルは EUC-JP のテキストではない為、"
                                           "変換せずにそのまま受信しました。");
    for (qsizetype i = 0; i < names.size() && i < Shown; ++i)
        text += u'\n' + names[i];
    if (names.size() > Shown)
        text += QStringLiteral("\nほか %1 ファイル").arg(names.size() - Shown);
    return text;
}

QString modeNote(int code) {
    if (code != CodeSystemEuc)
        return QString();
    return QStringLiteral("EUC のサーバ：AUTO（サーバフィルタの拡張子のファイルを除く）と ASCII "
                          "では、Shift_JIS のテキスト（受信時は EUC-JP のテキスト）だけを変換し、"
                          "それ以外のファイルはそのまま転送します。BINARY では変換しません。");
}

QString counterText(int position, int total) {
    return QStringLiteral("【 %1/%2 】").arg(position).arg(total);
}

QString localPath(const QString& directory, const QString& name) {
    if (directory.endsWith(u'/'))
        return directory + name;
    return directory + u'/' + name;
}

QString shownLocalName(const QByteArray& name) {
    return QFile::decodeName(name);
}

QByteArray localNameBytes(const QString& name) {
    return QFile::encodeName(name);
}

std::optional<QByteArray> uploadName(const QString& localName, const ServerProfile& profile) {
    return FtpNames::serverNameFor(localName, profile.Code, profile.NameSmall != 0);
}

std::optional<QString> downloadPath(const QString& directory, const QByteArray& serverName,
                                    int codeSystem, const ServerProfile& profile) {
    return FtpNames::localPathFor(directory, serverName, codeSystem, profile.NameSmall != 0);
}

bool isUsableLocalName(const QString& name) {
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") &&
           !name.contains(u'/') && !name.contains(QChar(0));
}

std::vector<ServerListLine> pcListLines(const ServerFileList& entries,
                                        const AppSettings& settings) {
    std::vector<ServerListLine> lines;
    lines.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ServerFileEntry& e = entries[i];
        const bool directory = e.directory != 0;
        const QString extension = directory ? QString() : shownLocalName(e.extension);
        ServerListLine line;
        line.entry = i;
        line.directory = directory;
        line.image = ServerListImage(settings, directory, extension);
        line.texts = {shownLocalName(e.name), extension,
                      directory ? QString() : FileListOrder::sizeText(e.size), e.date};
        lines.push_back(std::move(line));
    }
    return lines;
}

QStringList localDirectoryNames(const ServerFileList& entries) {
    QStringList names;
    for (const ServerFileEntry& e : entries) {
        if (e.directory != 0)
            names.append(shownLocalName(e.name));
    }
    return names;
}

} // namespace TransferRules
