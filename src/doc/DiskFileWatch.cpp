#include "doc/DiskFileWatch.h"

#include <QFileInfo>

DiskFileWatch::DiskFileWatch(QObject* parent) : QObject(parent) {
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &DiskFileWatch::noticed);
    // A program that saves by writing a new file and renaming it over the old one replaces
    // the watched file: its directory tells when the new one is there.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &DiskFileWatch::noticed);
}

void DiskFileWatch::watch(const QString& path) {
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_path = path;
    if (!m_path.isEmpty()) {
        m_watcher.addPath(QFileInfo(m_path).absolutePath());
        if (QFileInfo::exists(m_path))
            m_watcher.addPath(m_path);
    }
    acceptCurrent();
}

void DiskFileWatch::acceptCurrent() {
    m_known = current();
    m_noticed = false;
}

DiskFileWatch::Change DiskFileWatch::takeChange() {
    if (!m_noticed || m_path.isEmpty())
        return Change::None;
    m_noticed = false;
    const Version now = current();
    if (now == m_known)
        return Change::None;
    const bool deleted = m_known.exists && !now.exists;
    m_known = now;
    if (deleted)
        return Change::Deleted;
    return now.exists ? Change::Changed : Change::None;
}

DiskFileWatch::Version DiskFileWatch::current() const {
    const QFileInfo info(m_path);
    if (m_path.isEmpty() || !info.exists())
        return {};
    return {true, info.size(), info.lastModified()};
}

void DiskFileWatch::noticed() {
    if (m_path.isEmpty())
        return;
    m_noticed = true;
    // A replaced or re-created file is watched again.
    if (QFileInfo::exists(m_path) && !m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
}
