#include "RecoveryTestSupport.h"
#include "TempDir.h"

#include "recovery/RecoveryStore.h"

#include <QFileInfo>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

unsigned modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

} // namespace

TEST(RecoveryStore, TheDirectoryFollowsTheStateHome) {
    {
        const ScopedStateHome home(QStringLiteral("/x/state"));
        EXPECT_EQ(RecoveryStore::defaultDirectory(), QStringLiteral("/x/state/vantorpad/recovery"));
    }
    // A relative state home does not count.
    const ScopedStateHome relative(QStringLiteral("state"));
    EXPECT_EQ(RecoveryStore::defaultDirectory(),
              QDir::homePath() + QStringLiteral("/.local/state/vantorpad/recovery"));
}

TEST(RecoveryStore, FilesAreTheUsersAloneAndGoAtANormalEnd) {
    const TempDir state;
    const QString dir = recoveryDirIn(state.path());
    RecoveryStore store(dir);
    ASSERT_TRUE(store.open().ok());
    EXPECT_EQ(modeOf(dir), 0700u);
    const QString path = store.pathFor(7);
    ASSERT_TRUE(RecoveryStore::writeFile(path, "text").ok());
    EXPECT_EQ(modeOf(path), 0600u);
    store.close();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(dir).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// Files of a run that is gone are offered once, to one run; a running one's never.
TEST(RecoveryStore, OnlyLeftoversOfRunsThatAreGoneAreTaken) {
    const TempDir state;
    const QString dir = recoveryDirIn(state.path());
    RecoveryStore running(dir);
    ASSERT_TRUE(running.open().ok());
    ASSERT_TRUE(RecoveryStore::writeFile(running.pathFor(1), "live").ok());
    // A run that ended without its lock (or with a stale one) left two files.
    const QString gone1 = QDir(dir).filePath(QStringLiteral("999999-0badf00d-1.vrec"));
    const QString gone2 = QDir(dir).filePath(QStringLiteral("999999-0badf00d-2.vrec"));
    ASSERT_TRUE(RecoveryStore::writeFile(gone1, "one").ok());
    ASSERT_TRUE(RecoveryStore::writeFile(gone2, "two").ok());
    writeFileBytes(QDir(dir).filePath(QStringLiteral("not-ours.vrec")), "x");

    RecoveryStore first(dir);
    ASSERT_TRUE(first.open().ok());
    QStringList taken = first.takeLeftovers();
    taken.sort();
    EXPECT_EQ(taken, (QStringList{gone1, gone2}));
    RecoveryStore second(dir);
    EXPECT_TRUE(second.takeLeftovers().isEmpty()); // the first one holds them

    first.removeLeftover(gone1);
    first.removeLeftover(running.pathFor(1)); // not a leftover: stays
    EXPECT_FALSE(QFile::exists(gone1));
    EXPECT_TRUE(QFile::exists(running.pathFor(1)));
    first.releaseLeftovers();
    EXPECT_EQ(second.takeLeftovers(), QStringList{gone2});
}
