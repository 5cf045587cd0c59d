#pragma once

#include "recovery/RecoveryRecord.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

// Points XDG_STATE_HOME at `path` for the scope, so that programs started in it keep their
// recovery files there.
class ScopedStateHome {
public:
    explicit ScopedStateHome(const QString& path) : m_old(qgetenv("XDG_STATE_HOME")) {
        qputenv("XDG_STATE_HOME", path.toLocal8Bit());
    }
    ~ScopedStateHome() { qputenv("XDG_STATE_HOME", m_old); }
    ScopedStateHome(const ScopedStateHome&) = delete;
    ScopedStateHome& operator=(const ScopedStateHome&) = delete;

private:
    QByteArray m_old;
};

inline QString recoveryDirIn(const QString& stateHome) {
    return stateHome + QStringLiteral("/vantorpad/recovery");
}

// The recovery files in `dir`, by path.
inline QStringList recoveryFiles(const QString& dir) {
    QStringList files;
    for (const QString& name : QDir(dir).entryList({QStringLiteral("*.vrec")}, QDir::Files))
        files.append(QDir(dir).filePath(name));
    return files;
}

inline Result<RecoveryRecord> readRecovery(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<RecoveryRecord>::failed(file.errorString());
    return RecoveryFormat::read(file.readAll());
}
