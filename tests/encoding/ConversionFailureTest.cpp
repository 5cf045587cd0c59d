#include "ConversionTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "encoding/SjisEucConversion.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using Conversion = Result<> (*)(const QString&, const QString&);

struct DirectionCase {
    Conversion convert;
    const char16_t* openText; // with %1
    const char16_t* writeText;
};

const DirectionCase kDirections[] = {
    {&ConvertSjisToEuc, u"SJIS→EUC変換で %1 がオープン出来ません。",
     u"SJIS→EUC変換で %1 に書き込めません。"},
    {&ConvertEucToSjis, u"EUC→SJIS変換で %1 がオープン出来ません。",
     u"EUC→SJIS変換で %1 に書き込めません。"},
};

QString text(const char16_t* format, const QString& path) {
    return QString::fromUtf16(format).arg(path);
}

TEST(ConversionFailure, MissingSourceCreatesNothing) {
    for (const DirectionCase& d : kDirections) {
        ScriptedPrompt prompt;
        TempDir dir;
        const QString source = dir.filePath(QStringLiteral("missing.txt"));
        const QString destination = dir.filePath(QStringLiteral("out.txt"));
        const Result<> converted = d.convert(destination, source);
        EXPECT_EQ(converted.status(), ResultStatus::Failed);
        EXPECT_EQ(converted.message(), text(d.openText, source));
        EXPECT_FALSE(dir.exists(QStringLiteral("out.txt")));
    }
}

TEST(ConversionFailure, SourceThatIsADirectoryCannotBeOpened) {
    for (const DirectionCase& d : kDirections) {
        ScriptedPrompt prompt;
        TempDir dir;
        const QString destination = dir.filePath(QStringLiteral("out.txt"));
        const Result<> converted = d.convert(destination, dir.path());
        EXPECT_EQ(converted.status(), ResultStatus::Failed);
        EXPECT_EQ(converted.message(), text(d.openText, dir.path()));
        EXPECT_FALSE(dir.exists(QStringLiteral("out.txt")));
    }
}

TEST(ConversionFailure, DestinationThatCannotBeCreatedIsNamed) {
    for (const DirectionCase& d : kDirections) {
        ScriptedPrompt prompt;
        TempDir dir;
        const QString source = dir.write(QStringLiteral("in.txt"), "abc\n");
        const QString destination = dir.filePath(QStringLiteral("no/such/dir/out.txt"));
        const Result<> converted = d.convert(destination, source);
        EXPECT_EQ(converted.status(), ResultStatus::Failed);
        EXPECT_EQ(converted.message(), text(d.openText, destination));
        EXPECT_EQ(dir.read(QStringLiteral("in.txt")), QByteArray("abc\n"));
    }
}

TEST(ConversionFailure, RefusesToConvertAFileOntoItself) {
    for (const DirectionCase& d : kDirections) {
        ScriptedPrompt prompt;
        TempDir dir;
        const QString source = dir.write(QStringLiteral("in.txt"), "\x82\xA0\r\n");
        // Another spelling of the same path must not slip through.
        const QString same = dir.path() + QStringLiteral("/./in.txt");
        const Result<> converted = d.convert(same, source);
        EXPECT_EQ(converted.status(), ResultStatus::Failed);
        EXPECT_EQ(converted.message(), text(d.openText, same));
        EXPECT_EQ(dir.read(QStringLiteral("in.txt")), QByteArray("\x82\xA0\r\n"));
    }
}

TEST(ConversionFailure, ReplacesAnExistingDestination) {
    ScriptedPrompt prompt;
    TempDir dir;
    const QString source = dir.write(QStringLiteral("in.txt"), "\xB1\r\n");
    const QString destination = dir.write(QStringLiteral("out.txt"), QByteArray(5000, 'x'));
    EXPECT_TRUE(ConvertSjisToEuc(destination, source).ok());
    EXPECT_EQ(dir.read(QStringLiteral("out.txt")), QByteArray("\x8E\xB1\n"));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(ConversionFailure, WriteErrorIsReportedNotHidden) {
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    for (const DirectionCase& d : kDirections) {
        ScriptedPrompt prompt;
        TempDir dir;
        const QString source = dir.write(QStringLiteral("in.txt"), QByteArray(1000, 'a'));
        const QString destination = QStringLiteral("/dev/full");
        const Result<> converted = d.convert(destination, source);
        EXPECT_EQ(converted.status(), ResultStatus::Failed);
        EXPECT_EQ(converted.message(), text(d.writeText, destination));
        // A failed conversion removes only a regular file it wrote, never a device.
        struct stat st;
        ASSERT_EQ(::stat("/dev/full", &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
}

// Lowers the largest file this process may write, so that a conversion fails half-way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
    bool m_active = false;
};

TEST(ConversionFailure, AWriteThatFailsHalfWayKeepsTheOldDestination) {
    JapaneseTextGenerator generator(3);
    for (const DirectionCase& d : kDirections) {
        ScriptedPrompt prompt;
        TempDir dir;
        const QString source = dir.write(QStringLiteral("in.txt"), generator.sjis(400 * 1024));
        const QString destination = dir.write(QStringLiteral("out.txt"), "old");
        Result<> result = Result<>::done();
        {
            FileSizeLimit limit(150 * 1024);
            ASSERT_TRUE(limit.active());
            result = d.convert(destination, source);
        }
        EXPECT_EQ(result.status(), ResultStatus::Failed);
        EXPECT_EQ(result.message(), text(d.writeText, destination));
        EXPECT_EQ(dir.read(QStringLiteral("out.txt")), "old");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("in.txt"), QStringLiteral("out.txt")}));
    }
}

TEST(ConversionFailure, AReplacedDestinationKeepsItsModeAndALinkKeepsPointingAtIt) {
    ScriptedPrompt prompt;
    TempDir dir;
    const QString source = dir.write(QStringLiteral("in.txt"), "\xB1\r\n");
    const QString target = dir.write(QStringLiteral("target.txt"), "old");
    ::chmod(QFile::encodeName(target).constData(), 0600);
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(target, link));
    for (const QString& destination : {target, link}) {
        EXPECT_TRUE(ConvertSjisToEuc(destination, source).ok());
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(dir.read(QStringLiteral("target.txt")), QByteArray("\x8E\xB1\n"));
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);
}

TEST(ConversionFailure, EmptySourceGivesEmptyDestination) {
    for (const DirectionCase& d : kDirections) {
        ScriptedPrompt prompt;
        TempDir dir;
        const QString source = dir.write(QStringLiteral("in.txt"), QByteArray());
        const QString destination = dir.filePath(QStringLiteral("out.txt"));
        EXPECT_TRUE(d.convert(destination, source).ok());
        EXPECT_TRUE(dir.exists(QStringLiteral("out.txt")));
        EXPECT_TRUE(dir.read(QStringLiteral("out.txt")).isEmpty());
        EXPECT_TRUE(prompt.texts().isEmpty());
    }
}

} // namespace
