#pragma once

#include <QString>

#include <vector>

// The drive box of the transfer window: the mounted file systems, each with its label.
struct DriveInfo {
    QString root;  // where it is mounted
    QString label; // its volume label, may be empty

    bool operator==(const DriveInfo&) const = default;
};

namespace DriveList {

// The file systems mounted now, ordered by their roots, each root once.
std::vector<DriveInfo> mounted();

// A line of the box: "root  [label]", or the root alone when there is no label.
QString lineText(const DriveInfo& drive);

// The line of the file system that holds `path`: the longest root that contains it; -1 when
// none does.
int lineFor(const std::vector<DriveInfo>& drives, const QString& path);

// A root that can be listed now: an existing directory that may be read.
bool isAvailable(const QString& root);

} // namespace DriveList
