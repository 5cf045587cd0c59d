#pragma once

#include "ftp/ServerFileEntry.h"

#include <QString>
#include <QStringList>

#include <optional>

class CFtpClient;

// The name dialogs of the file operations, shown by the window that runs them.
class NameDialogs {
public:
    virtual ~NameDialogs() = default;
    // "ファイル名変更" for `oldName`: the new name, or nothing on Cancel (a name left as it was
    // counts as Cancel).
    virtual std::optional<QString> askRename(const QString& oldName) = 0;
    // "ディレクトリ作成": a name that none of `existingDirectories` has, or nothing on Cancel.
    virtual std::optional<QString> askDirectoryName(const QStringList& existingDirectories) = 0;
};

// Delete, rename and make directory on the server, on the client's open connection. Each
// selected entry is asked about (or named) in list order; a failure shows its message and the
// next entry follows. Each returns how many entries it asked the server to change (whether or not
// the server did): the caller lists the directory again when that is not zero.
namespace ServerFileActions {

[[nodiscard]] int deleteEntries(CFtpClient& client, const ServerFileList& selected, int listCode);
// A new name that another entry of `listing` already has is refused: a rename never replaces
// a file.
[[nodiscard]] int renameEntries(CFtpClient& client, const ServerFileList& selected,
                                const ServerFileList& listing, int listCode, NameDialogs& dialogs);
// Returns true when the directory was made.
bool makeDirectory(CFtpClient& client, const QString& name, int listCode);

} // namespace ServerFileActions

// The same inside the local directory `pcPath`.
namespace PcFileActions {

void deleteEntries(const QString& pcPath, const ServerFileList& selected);
void renameEntries(const QString& pcPath, const ServerFileList& selected, NameDialogs& dialogs);
bool makeDirectory(const QString& pcPath, const QString& name);

} // namespace PcFileActions

// The messages shared by both sides.
namespace FileActionMessages {
// "リストから%sするファイルを選択して下さい。"
QString selectFirst(const QString& action);
QString deleteQuestion(const QString& name);
QString deleteDirectoryFailed();
QString deleteFileFailed();
QString renameFailed();
QString makeDirectoryFailed();
QString nameTaken();
} // namespace FileActionMessages
