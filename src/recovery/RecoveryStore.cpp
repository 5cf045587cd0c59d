#include "recovery/RecoveryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString FileSuffix = QStringLiteral(".vrec");
const QString LockSuffix = QStringLiteral(".lock");

// "<pid>-<hex>-<n>.vrec": the run is the part before the last '-'.
QString runOf(const QString& fileName) {
    static const QRegularExpression shape(QStringLiteral("^(\\d+-[0-9a-f]+)-\\d+\\.vrec$"));
    const QRegularExpressionMatch m = shape.match(fileName);
    return m.hasMatch() ? m.captured(1) : QString();
}

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions OwnerDirectory =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

} // namespace

RecoveryStore::RecoveryStore(QString directory)
    : m_directory(directory.isEmpty() ? defaultDirectory() : std::move(directory)),
      m_run(QStringLiteral("%1-%2")
                .arg(QCoreApplication::applicationPid())
                .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'))) {}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::defaultDirectory() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative XDG_STATE_HOME counts as unset, as for every program that follows XDG.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/vantorpad/recovery");
}

Result<> RecoveryStore::open() {
    if (isOpen())
        return Result<>::done();
    const QString shown = QDir::toNativeSeparators(m_directory);
    if (!QDir().mkpath(m_directory) || !QFileInfo(m_directory).isDir())
        return Result<>::failed(
            QStringLiteral("復元用のフォルダ %1 を作成出来ません。").arg(shown));
    // Unsaved text may be anything the user typed: nobody else reads it.
    QFile::setPermissions(m_directory, OwnerDirectory);
    auto lock = std::make_unique<QLockFile>(lockPath(m_run));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return Result<>::failed(
            QStringLiteral("復元用のフォルダ %1 に書き込めません。").arg(shown));
    m_lock = std::move(lock);
    return Result<>::done();
}

bool RecoveryStore::isOpen() const {
    return m_lock && m_lock->isLocked();
}

QString RecoveryStore::pathFor(quint64 n) const {
    return QDir(m_directory).filePath(QStringLiteral("%1-%2%3").arg(m_run).arg(n).arg(FileSuffix));
}

QString RecoveryStore::lockPath(const QString& run) const {
    return QDir(m_directory).filePath(run + LockSuffix);
}

QStringList RecoveryStore::filesOf(const QString& run) const {
    QStringList files;
    const QDir dir(m_directory);
    for (const QString& name :
         dir.entryList({run + QStringLiteral("-*") + FileSuffix}, QDir::Files))
        if (runOf(name) == run)
            files.append(dir.filePath(name));
    return files;
}

Result<> RecoveryStore::writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(OwnerOnly) ||
        file.write(bytes) != bytes.size() || !file.commit())
        return Result<>::failed(QStringLiteral("復元ファイル %1 を保存出来ません。(%2)")
                                    .arg(QDir::toNativeSeparators(path), file.errorString()));
    return Result<>::done();
}

QStringList RecoveryStore::takeLeftovers() {
    const QDir dir(m_directory);
    QStringList runs;
    for (const QString& name : dir.entryList({QStringLiteral("*") + FileSuffix}, QDir::Files)) {
        const QString run = runOf(name);
        if (!run.isEmpty() && run != m_run && !runs.contains(run))
            runs.append(run);
    }
    // A lock without files is what a run that stopped with nothing unsaved leaves.
    for (const QString& name : dir.entryList({QStringLiteral("*") + LockSuffix}, QDir::Files)) {
        const QString run = name.chopped(LockSuffix.size());
        if (run != m_run && !runs.contains(run) && !m_adopted.count(run)) {
            QLockFile stale(dir.filePath(name));
            stale.setStaleLockTime(0);
            if (stale.tryLock(0))
                stale.unlock();
        }
    }
    QStringList files;
    for (const QString& run : runs) {
        if (!m_adopted.count(run)) {
            // Taken only from a process that is gone: a running program's lock holds.
            auto lock = std::make_unique<QLockFile>(lockPath(run));
            lock->setStaleLockTime(0);
            if (!lock->tryLock(0))
                continue;
            m_adopted.emplace(run, std::move(lock));
        }
        files += filesOf(run);
    }
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const QDateTime ta = QFileInfo(a).lastModified();
        const QDateTime tb = QFileInfo(b).lastModified();
        return ta != tb ? ta < tb : a < b;
    });
    return files;
}

void RecoveryStore::removeLeftover(const QString& path) {
    const QString run = runOf(QFileInfo(path).fileName());
    if (run.isEmpty() || !m_adopted.count(run))
        return; // not a leftover this run took over
    QFile::remove(path);
    if (filesOf(run).isEmpty())
        m_adopted.erase(run); // unlocking removes the lock file
}

void RecoveryStore::releaseLeftovers() {
    m_adopted.clear();
}

void RecoveryStore::close() {
    for (const QString& file : filesOf(m_run))
        QFile::remove(file);
    m_lock.reset();
}
