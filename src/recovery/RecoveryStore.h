#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class QLockFile;

// The user's recovery directory and this run's share of it. Each run holds a lock file of its
// own there ("<run>.lock", the run being the process id and a random part) for as long as it
// runs, and names its recovery files after it ("<run>-<n>.vrec"), so that two programs running
// at once never take each other's files. Files whose run's lock is gone or stale (the process
// ended without removing them) are the leftovers a later start offers.
class RecoveryStore {
public:
    // `directory` empty: $XDG_STATE_HOME/vantorpad/recovery, else
    // ~/.local/state/vantorpad/recovery.
    explicit RecoveryStore(QString directory = QString());
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    static QString defaultDirectory();
    const QString& directory() const { return m_directory; }
    const QString& run() const { return m_run; }

    // Creates the directory (mode 0700) and takes this run's lock; Failed with the message when
    // either cannot be done. Done at once when already open.
    Result<> open();
    bool isOpen() const;
    // The path of this run's recovery file number `n`.
    QString pathFor(quint64 n) const;

    // Writes `bytes` to `path` atomically, readable by the user alone. Safe on any thread.
    static Result<> writeFile(const QString& path, const QByteArray& bytes);

    // Recovery files of runs that are not running any more, oldest first. Their runs' locks
    // are taken over by this one, so that a program started meanwhile does not offer them too,
    // until they are removed or given back (releaseLeftovers).
    QStringList takeLeftovers();
    // Removes a leftover file (when restored or discarded); the lock of its run goes with its
    // last file.
    void removeLeftover(const QString& path);
    // Gives the leftovers' locks back, keeping their files for a later start.
    void releaseLeftovers();

    // A normal end: removes this run's recovery files and lock.
    void close();

private:
    QString lockPath(const QString& run) const;
    QStringList filesOf(const QString& run) const;

    QString m_directory;
    QString m_run;
    std::unique_ptr<QLockFile> m_lock;
    std::map<QString, std::unique_ptr<QLockFile>> m_adopted; // by run
};
