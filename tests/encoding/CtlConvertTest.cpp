#include "ConversionTestSupport.h"
#include "TempDir.h"

#include "encoding/LosslessCodec.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CtlRun {
    int exitCode = -1;
    QString standardError;
};

CtlRun runCtl(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(VANTORPADCTL_PATH), args);
    CtlRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "vantorpadctl did not finish: " << process.errorString().toStdString();
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.standardError = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(CtlConvert, ConvertsBothWays) {
    TempDir dir;
    const QByteArray sjis = JapaneseTextGenerator(11).sjis(200 * 1024);
    const QString source = dir.write(QStringLiteral("a.sjis"), sjis);
    const QString euc = dir.filePath(QStringLiteral("a.euc"));
    const QString back = dir.filePath(QStringLiteral("a.back"));

    CtlRun run = runCtl({QStringLiteral("convert"), QStringLiteral("--to-euc"), source, euc});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.standardError.isEmpty()) << run.standardError.toStdString();
    const QByteArray eucBytes = dir.read(QStringLiteral("a.euc"));
    EXPECT_FALSE(eucBytes.contains("\r\n"));

    run = runCtl({QStringLiteral("convert"), QStringLiteral("--to-sjis"), euc, back});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(dir.read(QStringLiteral("a.back")), sjis);
}

TEST(CtlConvert, MissingSourceFailsWithTheMessageAndCreatesNothing) {
    TempDir dir;
    const QString source = dir.filePath(QStringLiteral("missing.euc"));
    const QString destination = dir.filePath(QStringLiteral("out.sjis"));
    const CtlRun run =
        runCtl({QStringLiteral("convert"), QStringLiteral("--to-sjis"), source, destination});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.standardError.contains(
        QStringLiteral("EUC→SJIS変換で %1 がオープン出来ません。").arg(source)))
        << run.standardError.toStdString();
    EXPECT_FALSE(dir.exists(QStringLiteral("out.sjis")));
}

TEST(CtlConvert, ASourceThatFailsToReadKeepsTheOldDestination) {
    // Reading /proc/self/mem from its start fails at the first read, after the source opened.
    TempDir dir;
    const QString destination = dir.write(QStringLiteral("out.sjis"), "the old destination");
    const QString source = QStringLiteral("/proc/self/mem");
    const CtlRun run =
        runCtl({QStringLiteral("convert"), QStringLiteral("--to-sjis"), source, destination});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.standardError.contains(
        QStringLiteral("EUC→SJIS変換で %1 が読み込めません。").arg(source)))
        << run.standardError.toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("out.sjis")), "the old destination");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("out.sjis")});
}

TEST(CtlConvert, WrongArgumentsShowUsage) {
    TempDir dir;
    const QString source = dir.write(QStringLiteral("in.txt"), "abc");
    const QStringList wrong[] = {
        {QStringLiteral("convert")},
        {QStringLiteral("convert"), QStringLiteral("--to-euc"), source},
        {QStringLiteral("convert"), QStringLiteral("--to-utf8"), source,
         source + QStringLiteral(".out")},
    };
    for (const QStringList& args : wrong) {
        const CtlRun run = runCtl(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.standardError.contains(QStringLiteral("usage")));
    }
    EXPECT_FALSE(dir.exists(QStringLiteral("in.txt.out")));
}

} // namespace

// `text` converts a whole file as the editor converts a selection, keeping its line ends and
// its invalid bytes, and replaces the destination only when it has the whole result.
QByteArray sjisOf(const char* utf8) {
    return LosslessCodec::cp932().encode(QString::fromUtf8(utf8)).bytes;
}

TEST(CtlText, ConvertsAWholeFileKeepingLineEndsAndInvalidBytes) {
    TempDir dir;
    const QByteArray sjis = sjisOf("ｶﾞｷﾞ abc\r\n") + QByteArray("\x80\xA0\n") + sjisOf("ひら\r");
    const QString source = dir.write(QStringLiteral("in.txt"), sjis);
    const QString target = dir.write(QStringLiteral("out.txt"), "old");
    struct Case {
        const char* option;
        QByteArray expected;
    };
    const Case cases[] = {
        {"--kana-full", sjisOf("ガギ abc\r\n") + QByteArray("\x80\xA0\n") + sjisOf("ひら\r")},
        {"--upper", sjisOf("ｶﾞｷﾞ ABC\r\n") + QByteArray("\x80\xA0\n") + sjisOf("ひら\r")},
        {"--katakana", sjisOf("ｶﾞｷﾞ abc\r\n") + QByteArray("\x80\xA0\n") + sjisOf("ヒラ\r")},
    };
    for (const Case& c : cases) {
        const CtlRun run =
            runCtl({QStringLiteral("text"), QString::fromLatin1(c.option), source, target});
        EXPECT_EQ(run.exitCode, 0) << c.option << run.standardError.toStdString();
        EXPECT_EQ(dir.read(QStringLiteral("out.txt")), c.expected) << c.option;
    }
    // Bad input: a missing source or an unknown option leaves the destination as it was.
    for (const QStringList& args :
         {QStringList{QStringLiteral("text"), QStringLiteral("--upper"),
                      dir.filePath(QStringLiteral("missing.txt")), target},
          QStringList{QStringLiteral("text"), QStringLiteral("--sideways"), source, target}}) {
        const CtlRun run = runCtl(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_FALSE(run.standardError.isEmpty());
    }
    EXPECT_EQ(dir.read(QStringLiteral("out.txt")), cases[2].expected);
}
