#pragma once

#include "ftp/ServerFileEntry.h"

#include <QString>

// The PC side of the transfer window: a local directory read into the same entries as a server
// listing (name and path as the file system's bytes), and the changes the user makes in it.
namespace PcDirectory {

// `path` made absolute and canonical (links and "." / ".." resolved); empty when it does not
// name an existing directory.
QString canonical(const QString& path);

// Appends an entry for every name in `directory`, "." and ".." included; names that begin with
// "." (hidden files) only when `showHidden` is set. Returns false when the directory cannot be
// read (nothing is appended then).
bool list(const QString& directory, bool showHidden, ServerFileList& entries);

// Whether `directory` holds an entry (file, directory or link) called `name`.
bool hasEntry(const QString& directory, const QString& name);

// The changes of the PC pane, inside `directory`. Each returns false when nothing was changed.
// An empty directory only is removed; a rename never replaces an existing entry.
bool removeEntry(const QString& directory, const ServerFileEntry& entry);
bool renameEntry(const QString& directory, const QByteArray& oldName, const QString& newName);
bool makeDirectory(const QString& directory, const QString& name);

} // namespace PcDirectory
