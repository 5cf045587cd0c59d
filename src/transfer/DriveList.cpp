#include "transfer/DriveList.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <unistd.h>

namespace DriveList {

std::vector<DriveInfo> mounted() {
    std::vector<DriveInfo> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (root.isEmpty())
            continue;
        drives.push_back({root, volume.name()});
    }
    std::sort(drives.begin(), drives.end(),
              [](const DriveInfo& a, const DriveInfo& b) { return a.root < b.root; });
    drives.erase(
        std::unique(drives.begin(), drives.end(),
                    [](const DriveInfo& a, const DriveInfo& b) { return a.root == b.root; }),
        drives.end());
    return drives;
}

QString lineText(const DriveInfo& drive) {
    if (drive.label.isEmpty())
        return drive.root;
    return QStringLiteral("%1  [%2]").arg(drive.root, drive.label);
}

int lineFor(const std::vector<DriveInfo>& drives, const QString& path) {
    int best = -1;
    qsizetype bestLength = -1;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const QString& root = drives[i].root;
        const bool holds = path == root || root == QStringLiteral("/") ||
                           path.startsWith(root.endsWith(u'/') ? root : root + u'/');
        if (holds && root.size() > bestLength) {
            best = int(i);
            bestLength = root.size();
        }
    }
    return best;
}

bool isAvailable(const QString& root) {
    const QFileInfo info(root);
    return info.isDir() && ::access(QFile::encodeName(root).constData(), R_OK | X_OK) == 0;
}

} // namespace DriveList
