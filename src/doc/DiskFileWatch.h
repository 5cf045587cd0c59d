#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

// Notices when another program rewrites or deletes a document's file. Notifications are only
// noted as they come (a file rewritten every few milliseconds costs a flag and a look at the
// file); the document asks the user about the change later, once, when its window is next
// activated. The document's own saves are the file's version it knows, never a change.
class DiskFileWatch : public QObject {
    Q_OBJECT
public:
    enum class Change { None, Changed, Deleted };

    explicit DiskFileWatch(QObject* parent = nullptr);

    // Watches `path` (empty: nothing) and takes the file as it is now as the known version.
    void watch(const QString& path);
    // The file as it is now is the document's version: after a save, a reload, or the user's
    // decision about a change.
    void acceptCurrent();
    // What became of the file since the known version, once: the answer is taken, so a window
    // activated again does not ask about the same change twice.
    [[nodiscard]] Change takeChange();

private:
    struct Version {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        bool operator==(const Version&) const = default;
    };
    Version current() const;
    void noticed();

    QFileSystemWatcher m_watcher;
    QString m_path;
    Version m_known;
    bool m_noticed = false;
};
