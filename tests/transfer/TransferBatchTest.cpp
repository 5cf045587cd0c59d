#include "transfer/TransferBatch.h"
#include "ftp/CFtpClient.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferRules.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"
#include "TransferWindowTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString CancelQuestion = QStringLiteral("中止します。\nよろしいですか？");

// A progress window without a window: records what it was shown and presses "中止" when told.
class RecordingProgress : public TransferProgress {
public:
    QStringList names;
    QStringList counters;
    int pressOnTurn = -1;      // press before the n-th turn of the loop (0 = first)
    bool pressMidFile = false; // press once while a file is half moved
    bool pressOnStart = false; // press once as soon as a file starts to move
    bool hidden = false;
    qint64 largestDone = 0;

    void showItem(const QString& name, const QString& counter) override {
        names.append(name);
        counters.append(counter);
    }
    void showBytes(qint64 done, qint64 total) override {
        largestDone = std::max(largestDone, done);
        if (pressOnStart) {
            pressOnStart = false;
            press();
        }
        if (pressMidFile && done > 0 && total > 0 && done < total) {
            pressMidFile = false;
            press();
        }
    }
    void showBatch(int, int, qint64, qint64) override {}
    void processEvents() override {
        if (m_turn++ == pressOnTurn)
            press();
    }
    bool cancelRequested() const override { return m_requested; }
    bool takeCancelPress() override { return std::exchange(m_fresh, false); }
    void hideWindow() override { hidden = true; }

private:
    void press() { m_requested = m_fresh = true; }
    int m_turn = 0;
    bool m_requested = false;
    bool m_fresh = false;
};

ServerFileEntry fileEntry(const QByteArray& name, qint64 size = 0) {
    ServerFileEntry e;
    e.name = name;
    e.size = size;
    return e;
}

ServerFileEntry directoryEntry(const QByteArray& name) {
    ServerFileEntry e;
    e.name = name;
    e.directory = 1;
    return e;
}

std::unique_ptr<CFtpClient> clientOf(TransferWorld& world) {
    auto client = CFtpClient::create(world.settings.Network, false, world.settings.Profiles[0],
                                     world.trust.trust());
    client->setTimeouts({1000, 3, 3});
    return client;
}

} // namespace

TEST(TransferBatch, CountsDirectoriesMovesFilesAndGoesOnAfterAFailure) {
    TransferWorld world;
    world.pc.write(QStringLiteral("one.txt"), "1\r\n");
    world.pc.write(QStringLiteral("three.txt"), "333");
    QDir(world.pc.path()).mkdir(QStringLiteral("dir"));
    auto client = clientOf(world);
    ScriptedPrompt prompt;
    RecordingProgress progress;
    TransferBatch batch(*client, world.settings, world.settings.Profiles[0], TransferBinary,
                        world.pc.path(), progress);
    // "missing.txt" was listed but has gone since; "." and ".." are no lines to count.
    batch.upload({directoryEntry("."), directoryEntry(".."), fileEntry("one.txt"),
                  directoryEntry("dir"), fileEntry("missing.txt"), fileEntry("three.txt")});
    EXPECT_EQ(progress.counters, utf8List({"【 1/4 】", "【 3/4 】", "【 4/4 】"}));
    EXPECT_EQ(progress.names, utf8List({"one.txt", "missing.txt", "three.txt"}));
    const QString missing = world.pcFile(QStringLiteral("missing.txt"));
    EXPECT_EQ(prompt.texts(),
              QStringList(
                  {QStringLiteral("PC上に%1が存在しない為、サーバに転送出来ません。").arg(missing),
                   QStringLiteral("<%1>のアップロードに失敗しました。(CODE=1)").arg(missing)}));
    EXPECT_EQ(world.server.readFile("one.txt"), QByteArray("1\r\n"));
    EXPECT_EQ(world.server.readFile("three.txt"), QByteArray("333"));
    EXPECT_FALSE(world.server.exists("dir"));
    EXPECT_EQ(batch.transferred(), 2);
    EXPECT_EQ(batch.failed(), 1);
    EXPECT_FALSE(progress.hidden);
}

TEST(TransferBatch, NamesNoLocalFileCanHaveAreToldInOneMessage) {
    TransferWorld world;
    world.server.writeFile("real.txt", "abc");
    auto client = clientOf(world);
    ScriptedPrompt prompt;
    RecordingProgress progress;
    TransferBatch batch(*client, world.settings, world.settings.Profiles[0], TransferBinary,
                        world.pc.path(), progress);
    const QByteArray longName = QByteArray(5000, 'n') + ".txt";
    batch.download({fileEntry("bell\x07.txt"), fileEntry(longName), fileEntry("real.txt"),
                    fileEntry("sub/evil.txt")},
                   CodeSystemSjis);
    ASSERT_EQ(prompt.texts().size(), 1) << prompt.texts().join(u'\n').toStdString();
    const QStringList lines = prompt.texts()[0].split(u'\n');
    EXPECT_EQ(lines.value(0), QStringLiteral("次のサーバのファイル名 3 件は受信出来ません。"));
    EXPECT_EQ(lines.value(2), QStringLiteral("bell\\x07.txt"));
    EXPECT_TRUE(lines.value(3).endsWith(QStringLiteral("…　(長すぎる名前)")));
    EXPECT_LT(lines.value(3).size(), 100);
    EXPECT_EQ(lines.value(4), QStringLiteral("sub/evil.txt"));
    EXPECT_EQ(world.pc.read(QStringLiteral("real.txt")), QByteArray("abc"));
    EXPECT_EQ(batch.failed(), 3);

    // One such name alone says why.
    prompt.clear();
    batch.download({fileEntry(longName)}, CodeSystemSjis);
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(
        prompt.texts()[0].contains(QStringLiteral("は長すぎる為(5004 バイト)、受信出来ません。")));
}

TEST(TransferBatch, CancelThenNoAsksBeforeEveryLaterLineAndYesStops) {
    TransferWorld world;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        world.server.writeFile(name, name);
    auto client = clientOf(world);
    ScriptedPrompt prompt;
    RecordingProgress progress;
    progress.pressOnTurn = 1; // pressed while the first file moved
    prompt.expectQuestion(PromptAnswer::No);
    prompt.expectQuestion(PromptAnswer::Yes);
    TransferBatch batch(*client, world.settings, world.settings.Profiles[0], TransferAuto,
                        world.pc.path(), progress);
    batch.download({fileEntry("a.txt"), fileEntry("b.txt"), fileEntry("c.txt"), fileEntry("d.txt")},
                   CodeSystemSjis);
    EXPECT_EQ(prompt.texts(), QStringList({CancelQuestion, CancelQuestion}));
    EXPECT_EQ(prompt.shown().value(0).icon, PromptIcon::Question);
    EXPECT_EQ(progress.names, utf8List({"a.txt", "b.txt"}));
    EXPECT_TRUE(world.pc.exists(QStringLiteral("a.txt")));
    EXPECT_TRUE(world.pc.exists(QStringLiteral("b.txt")));
    EXPECT_FALSE(world.pc.exists(QStringLiteral("c.txt")));
    EXPECT_TRUE(batch.cancelled());
    EXPECT_TRUE(progress.hidden);
}

TEST(TransferBatch, ConfirmedCancelStopsADownloadAtOnceAndKeepsTheOlderLocalFile) {
    FtpServerFixture::Options stalling; // half the file, then a pause: the cancel lands mid-file
    stalling.faults = {QStringLiteral("stallretr")};
    TransferWorld world(CodeSystemSjis, QString(), stalling);
    const QByteArray big(1024 * 1024, 'x');
    world.server.writeFile("big.bin", big);
    world.server.writeFile("next.bin", "next");
    world.pc.write(QStringLiteral("big.bin"), "older local copy");
    auto client = clientOf(world);
    ScriptedPrompt prompt;
    RecordingProgress progress;
    progress.pressMidFile = true;
    prompt.expectQuestion(PromptAnswer::Yes);
    TransferBatch batch(*client, world.settings, world.settings.Profiles[0], TransferBinary,
                        world.pc.path(), progress);
    batch.download({fileEntry("big.bin", big.size()), fileEntry("next.bin", 4)}, CodeSystemSjis);
    EXPECT_EQ(prompt.texts(), QStringList({CancelQuestion})) << "no failure message for a cancel";
    EXPECT_GT(progress.largestDone, 0);
    EXPECT_LT(progress.largestDone, big.size());
    EXPECT_EQ(world.pc.read(QStringLiteral("big.bin")), QByteArray("older local copy"));
    EXPECT_FALSE(world.pc.exists(QStringLiteral("next.bin")));
    EXPECT_EQ(QDir(world.pc.path()).entryList(QDir::Files), QStringList{QStringLiteral("big.bin")})
        << "no partial file is left behind";
    EXPECT_TRUE(progress.hidden);
}

TEST(TransferBatch, AnUploadFinishesItsFileBeforeTheQuestion) {
    TransferWorld world;
    const QByteArray big(8 * 1024 * 1024, 'u');
    world.pc.write(QStringLiteral("big.bin"), big);
    world.pc.write(QStringLiteral("small.bin"), "s");
    auto client = clientOf(world);
    ScriptedPrompt prompt;
    RecordingProgress progress;
    progress.pressOnStart = true;
    prompt.expectQuestion(PromptAnswer::Yes);
    TransferBatch batch(*client, world.settings, world.settings.Profiles[0], TransferBinary,
                        world.pc.path(), progress);
    batch.upload({fileEntry("big.bin", big.size()), fileEntry("small.bin", 1)});
    EXPECT_EQ(prompt.texts(), QStringList({CancelQuestion}));
    EXPECT_EQ(world.server.readFile("big.bin"), big);
    EXPECT_FALSE(world.server.exists("small.bin"));
}

TEST(TransferBatch, ADroppedConnectionFailsThatFileOnlyAndNothingIsLost) {
    FtpServerFixture::Options dropping;
    dropping.faults = {QStringLiteral("dropstor")};
    TransferWorld world(CodeSystemSjis, QString(), dropping);
    const QByteArray big(256 * 1024, 'b');
    world.pc.write(QStringLiteral("big.bin"), big);
    world.pc.write(QStringLiteral("small.txt"), "small");
    world.server.writeFile("small.txt", "older on the server");
    auto client = clientOf(world);
    ASSERT_EQ(client->OpenSession().status(),
              ResultStatus::Done); // as after a listing: the upload reuses it
    ScriptedPrompt prompt;
    RecordingProgress progress;
    TransferBatch batch(*client, world.settings, world.settings.Profiles[0], TransferBinary,
                        world.pc.path(), progress);
    batch.upload({fileEntry("big.bin", big.size()), fileEntry("small.txt", 5)});
    const QStringList texts = prompt.texts();
    ASSERT_EQ(texts.size(), 2) << texts.join(u'|').toStdString();
    EXPECT_EQ(texts[1], QStringLiteral("<%1>のアップロードに失敗しました。(CODE=1)")
                            .arg(world.pcFile(QStringLiteral("big.bin"))));
    EXPECT_EQ(world.server.readFile("small.txt"), QByteArray("small"))
        << "the next file goes over a new connection";
    EXPECT_EQ(world.pc.read(QStringLiteral("big.bin")), big);
    EXPECT_EQ(batch.transferred(), 1);
}

// On a profile with safe uploads every file, converted or not, goes to a temporary name first:
// a transfer that breaks leaves the server's file as it was and nothing else behind.
TEST(TransferBatch, OnASafeUploadProfileABrokenTransferLeavesTheServerFileAsItWas) {
    for (int code : {CodeSystemSjis, CodeSystemEuc}) {
        SCOPED_TRACE(code);
        FtpServerFixture::Options dropping;
        dropping.faults = {QStringLiteral("dropstor=1")};
        TransferWorld world(code, QString(), dropping);
        world.settings.Profiles[0].SafeUpload = 1;
        const QByteArray big(256 * 1024, 'b');
        world.pc.write(QStringLiteral("big.txt"), big);
        world.pc.write(QStringLiteral("small.txt"), "small");
        world.server.writeFile("big.txt", "older");
        world.server.writeFile("small.txt", "older");
        auto client = clientOf(world);
        ScriptedPrompt prompt;
        RecordingProgress progress;
        TransferBatch batch(*client, world.settings, world.settings.Profiles[0], TransferAscii,
                            world.pc.path(), progress);
        batch.upload({fileEntry("big.txt", big.size()), fileEntry("small.txt", 5)});
        EXPECT_EQ(world.server.readFile("big.txt"), QByteArray("older"));
        EXPECT_EQ(world.server.readFile("small.txt"), QByteArray("small"));
        EXPECT_EQ(world.server.names(), (QByteArrayList{"big.txt", "small.txt"}));
        EXPECT_EQ(batch.transferred(), 1);
        EXPECT_EQ(batch.failed(), 1);
    }
}
