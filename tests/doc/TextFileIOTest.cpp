#include "doc/TextFileIO.h"

#include "TempDir.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

TEST(TextFileIO, UnreadableFilesGetTheirOwnMessage) {
    TempDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    Result<QByteArray> r = TextFileIO::readFile(missing);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message(), missing + QStringLiteral(" が見つかりません。"));

    r = TextFileIO::readFile(dir.path());
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message(), dir.path() + QStringLiteral(" はフォルダの為、開けません。"));

    const QString binary = dir.write(QStringLiteral("a.bin"), QByteArray("ab\0cd", 5));
    r = TextFileIO::readFile(binary);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message(), binary + QStringLiteral(" はバイナリファイルの為、開けません。"));

    // A sparse file beyond the limit is refused before anything is read.
    const QString huge = dir.filePath(QStringLiteral("huge.txt"));
    QFile f(huge);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(TextFileIO::MaxFileSize + 1));
    f.close();
    r = TextFileIO::readFile(huge);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.message().contains(QStringLiteral("は大きすぎる為")))
        << r.message().toStdString();

    const QString empty = dir.write(QStringLiteral("empty.txt"), QByteArray());
    r = TextFileIO::readFile(empty);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->isEmpty());
}

TEST(TextFileIO, SaveKeepsPermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const QString path = dir.write(QStringLiteral("a.sh"), "old");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadGroup));
    const QFile::Permissions before = QFile::permissions(path);
    const Result<> written = TextFileIO::writeFile(path, "new text");
    ASSERT_TRUE(written.ok()) << written.message().toStdString();
    EXPECT_EQ(readFileBytes(path), QByteArray("new text"));
    EXPECT_EQ(QFile::permissions(path), before);
    EXPECT_TRUE(QFile::permissions(path) & QFile::ExeOwner);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.sh")});
}

TEST(TextFileIO, SaveThatFailsHalfWayLeavesTheOldFile) {
    TempDir dir;
    const QByteArray old(1000, 'o');
    const QString path = dir.write(QStringLiteral("a.txt"), old);
    // A file-size limit makes the write fail after 4 KiB, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const Result<> written = TextFileIO::writeFile(path, QByteArray(100000, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(written.status(), ResultStatus::Failed);
    EXPECT_TRUE(written.message().startsWith(
        path + QStringLiteral(" に保存出来ませんでした。元のファイルは変更されていません。")))
        << written.message().toStdString();
    EXPECT_EQ(readFileBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});

    // A target in a folder that does not exist: nothing is created.
    EXPECT_FALSE(TextFileIO::writeFile(dir.filePath(QStringLiteral("no/such/b.txt")), "x").ok());
}
