#include "transfer/FileActions.h"

#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"
#include "transfer/PcDirectory.h"
#include "transfer/ServerListLines.h"
#include "transfer/TransferRules.h"

namespace FileActionMessages {

QString selectFirst(const QString& action) {
    return QStringLiteral("リストから%1するファイルを選択して下さい。").arg(action);
}

QString deleteQuestion(const QString& name) {
    return QStringLiteral("%1 を削除しても宜しいですか？").arg(name);
}
QString deleteDirectoryFailed() {
    return QStringLiteral("削除出来ませんでした。アクセス権／ディレクトリが空か確認して下さい。");
}
QString deleteFileFailed() {
    return QStringLiteral("削除出来ませんでした。アクセス権を確認して下さい。");
}
QString renameFailed() {
    return QStringLiteral("名称変更出来ませんでした。アクセス権を確認して下さい。");
}
QString makeDirectoryFailed() {
    return QStringLiteral("ディレクトリが作成出来ませんでした。アクセス権を確認して下さい。");
}
QString nameTaken() {
    return QStringLiteral("同一名称のファイルが存在します。");
}

} // namespace FileActionMessages

namespace M = FileActionMessages;

namespace {

bool confirmDelete(const QString& name) {
    return Prompt::question(M::deleteQuestion(name)) == PromptAnswer::Yes;
}

// The messages of a failed delete carry no icon of their own.
void reportDeleteFailure(bool directory) {
    Prompt::information(directory ? M::deleteDirectoryFailed() : M::deleteFileFailed());
}

bool isListedElsewhere(const ServerFileList& listing, const ServerFileEntry& self,
                       const QString& name, int listCode) {
    for (const ServerFileEntry& e : listing) {
        if (e.name != self.name && ServerNames::shown(e.name, listCode) == name)
            return true;
    }
    return false;
}

} // namespace

namespace ServerFileActions {

int deleteEntries(CFtpClient& client, const ServerFileList& selected, int listCode) {
    int tried = 0;
    for (const ServerFileEntry& entry : selected) {
        if (!confirmDelete(ServerNames::shown(entry.name, listCode)))
            continue;
        ++tried;
        const bool directory = entry.directory != 0;
        const Result<> done = directory ? client.RmDir(entry.name) : client.Remove(entry.name);
        if (!done.ok())
            reportDeleteFailure(directory);
    }
    return tried;
}

int renameEntries(CFtpClient& client, const ServerFileList& selected, const ServerFileList& listing,
                  int listCode, NameDialogs& dialogs) {
    int tried = 0;
    for (const ServerFileEntry& entry : selected) {
        const std::optional<QString> newName =
            dialogs.askRename(ServerNames::shown(entry.name, listCode));
        if (!newName)
            continue;
        if (isListedElsewhere(listing, entry, *newName, listCode)) {
            Prompt::error(M::nameTaken());
            continue;
        }
        const std::optional<QByteArray> bytes = FtpNames::encodeForServer(*newName, listCode);
        if (!bytes) {
            Prompt::error(FtpNames::unencodableMessage(*newName));
            Prompt::error(M::renameFailed());
            continue;
        }
        ++tried;
        if (!client.Rename(entry.name, *bytes).ok())
            Prompt::error(M::renameFailed());
    }
    return tried;
}

bool makeDirectory(CFtpClient& client, const QString& name, int listCode) {
    const std::optional<QByteArray> bytes = FtpNames::encodeForServer(name, listCode);
    if (!bytes) {
        Prompt::error(FtpNames::unencodableMessage(name));
        Prompt::error(M::makeDirectoryFailed());
        return false;
    }
    if (!client.MakeDir(*bytes).ok()) {
        Prompt::error(M::makeDirectoryFailed());
        return false;
    }
    return true;
}

} // namespace ServerFileActions

namespace PcFileActions {

void deleteEntries(const QString& pcPath, const ServerFileList& selected) {
    for (const ServerFileEntry& entry : selected) {
        if (!confirmDelete(TransferRules::shownLocalName(entry.name)))
            continue;
        if (!PcDirectory::removeEntry(pcPath, entry))
            reportDeleteFailure(entry.directory != 0);
    }
}

void renameEntries(const QString& pcPath, const ServerFileList& selected, NameDialogs& dialogs) {
    for (const ServerFileEntry& entry : selected) {
        const std::optional<QString> newName =
            dialogs.askRename(TransferRules::shownLocalName(entry.name));
        if (!newName)
            continue;
        if (TransferRules::isUsableLocalName(*newName) && PcDirectory::hasEntry(pcPath, *newName)) {
            Prompt::error(M::nameTaken());
            continue;
        }
        if (!PcDirectory::renameEntry(pcPath, entry.name, *newName))
            Prompt::error(M::renameFailed());
    }
}

bool makeDirectory(const QString& pcPath, const QString& name) {
    if (PcDirectory::makeDirectory(pcPath, name))
        return true;
    Prompt::error(M::makeDirectoryFailed());
    return false;
}

} // namespace PcFileActions
