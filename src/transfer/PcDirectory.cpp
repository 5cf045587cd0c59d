#include "transfer/PcDirectory.h"

#include "ftp/FtpNames.h"
#include "ftp/ListingParser.h"
#include "transfer/TransferRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString dateText(time_t when) {
    return ListingParser::localFromUtc(qint64(when)).text();
}

bool isHidden(const char* name) {
    return name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

QByteArray pathOf(const QString& directory, const QByteArray& name) {
    return QFile::encodeName(directory) + (directory.endsWith(u'/') ? "" : "/") + name;
}

// No entry, file or directory, of that name (a dangling link counts as an entry).
bool isFree(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) != 0 && errno == ENOENT;
}

} // namespace

namespace PcDirectory {

QString canonical(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir())
        return QString();
    return info.canonicalFilePath();
}

bool list(const QString& directory, bool showHidden, ServerFileList& entries) {
    const QByteArray dirBytes = QFile::encodeName(directory);
    DIR* dir = ::opendir(dirBytes.constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    const QByteArray prefix = dirBytes.endsWith('/') ? dirBytes : dirBytes + '/';
    while (const dirent* d = ::readdir(dir)) {
        if (!showHidden && isHidden(d->d_name))
            continue;
        struct stat st;
        // A link stands for what it points to; a dangling one is shown as itself.
        if (::fstatat(fd, d->d_name, &st, 0) != 0 &&
            ::fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone since it was read
        ServerFileEntry entry;
        entry.name = QByteArray(d->d_name);
        entry.path = prefix + entry.name;
        entry.date = dateText(st.st_mtime);
        entry.directory = S_ISDIR(st.st_mode) ? 1 : 0;
        if (!entry.directory) {
            entry.size = st.st_size;
            entry.extension = FtpNames::extensionOf(entry.name);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return true;
}

bool hasEntry(const QString& directory, const QString& name) {
    struct stat st;
    return ::lstat(pathOf(directory, TransferRules::localNameBytes(name)).constData(), &st) == 0;
}

bool removeEntry(const QString& directory, const ServerFileEntry& entry) {
    if (!TransferRules::isUsableLocalName(TransferRules::shownLocalName(entry.name)))
        return false;
    const QByteArray path = pathOf(directory, entry.name);
    if (entry.directory != 0)
        return ::rmdir(path.constData()) == 0;
    struct stat st;
    // The entry was listed as a file: a directory that took its name since is left alone.
    if (::lstat(path.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlink(path.constData()) == 0;
}

bool renameEntry(const QString& directory, const QByteArray& oldName, const QString& newName) {
    if (!TransferRules::isUsableLocalName(newName) ||
        !TransferRules::isUsableLocalName(TransferRules::shownLocalName(oldName)))
        return false;
    const QByteArray from = pathOf(directory, oldName);
    const QByteArray to = pathOf(directory, TransferRules::localNameBytes(newName));
    if (from == to || !isFree(to))
        return false;
    // Refused by the kernel too when the name is taken between the check and the rename.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    return ::rename(from.constData(), to.constData()) == 0; // a file system without the flag
}

bool makeDirectory(const QString& directory, const QString& name) {
    if (!TransferRules::isUsableLocalName(name))
        return false;
    const QByteArray path = pathOf(directory, TransferRules::localNameBytes(name));
    return ::mkdir(path.constData(), 0777) == 0;
}

} // namespace PcDirectory
