#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct ServerProfile;

// Path and name rules shared by the server dialogs, kept apart from the windows so that tests
// reach them directly.
namespace ServerPaths {

// The directory above `directory`: the text before its last "/", or "/" when nothing is left.
// A directory without "/" is returned as it is.
QString parent(const QString& directory);
QByteArray parent(const QByteArray& directory);

// "↑" does nothing while the directory box shows the root.
inline bool canGoUp(const QString& shownDirectory) {
    return shownDirectory != QStringLiteral("/");
}

// The path of an item of the directory tree: `names` are the item texts from the root's child
// down to the item (empty for the root itself, whose path is its text).
QString treeItemPath(const QString& rootText, const QStringList& names);
// The same with the server's bytes.
QByteArray treeItemPath(const QByteArray& rootText, const QList<QByteArray>& names);

// The last word of a listed name when names are delimited by blanks (option "SpDelim").
QString lastWord(const QString& name);

// A line of the profile box: "NO:%d　【%s】", or "NO:%d　未　設　定" without a server.
QString profileBoxLine(int number, const ServerProfile& profile);

// Two names that differ in more than the case of ASCII letters: a save under a new name renames
// the local copy only then.
bool differsBeyondLetterCase(const QString& a, const QString& b);

// A file name typed for a save to the server: the message for an empty name or one that would
// leave its directory ("/", ".", ".."), else an empty string.
QString checkFileName(const QString& name);

} // namespace ServerPaths
