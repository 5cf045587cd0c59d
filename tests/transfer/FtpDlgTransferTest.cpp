#include "settings/ServerProfile.h"
#include "transfer/CFtpDlg.h"
#include "transfer/CProgressDlg.h"
#include "transfer/FileListView.h"
#include "transfer/TransferRules.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"
#include "TransferWindowTestSupport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void setMode(CFtpDlg& window, int mode) {
    auto* box = childNamed<QComboBox>(&window, "TransferMode");
    box->setCurrentIndex(mode);
}

// Answers the coming name dialogs in turn: a name is typed and OK pressed; an empty optional
// presses "ｷｬﾝｾﾙ".
void answerNameDialogs(QList<std::optional<QString>> answers) {
    if (answers.isEmpty())
        return;
    whenModalShown([answers](QWidget* dialog) mutable {
        const std::optional<QString> answer = answers.takeFirst();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("NewName"));
        if (!edit)
            edit = dialog->findChild<QLineEdit*>(QStringLiteral("Name"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(buttons, nullptr);
        answerNameDialogs(answers);
        if (!answer) {
            QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            return;
        }
        edit->setText(*answer);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
}

// Records the counters the progress window shows, and presses its "中止" when told.
struct ProgressWatch {
    QStringList counters;
    QStringList names;
    QStringList batches;
    bool pressAtOnce = false;
    bool pressMidFile = false;
    // Presses once in the n-th step of a file (1 = the first that moves a byte: the data, or
    // an upload's conversion), after its first block; the texts shown then are kept.
    int pressInStep = 0;
    int step = 0;
    qint64 lastDone = 0;
    QString shownAtPress;

    void attach(CFtpDlg& window) {
        QObject::connect(&window, &CFtpDlg::progressShown, &window, [this](CProgressDlg* p) {
            EXPECT_EQ(p->windowTitle(), QStringLiteral("進行状況"));
            EXPECT_EQ(p->counterText(), QStringLiteral("1000/1000"));
            QObject::connect(p, &CProgressDlg::itemShown, p,
                             [this](const QString& name, const QString& counter) {
                                 names.append(name);
                                 counters.append(counter);
                             });
            QObject::connect(p, &CProgressDlg::batchShown, p,
                             [this](const QString& text) { batches.append(text); });
            QObject::connect(p, &CProgressDlg::bytesShown, p, [this, p](qint64 done, qint64 total) {
                if (done > 0 && (lastDone == 0 || done < lastDone) && ++step == pressInStep) {
                    shownAtPress = p->fileNameText() + u'|' + p->bytesText();
                    QTest::mouseClick(p->findChild<QPushButton*>(QStringLiteral("Cancel")),
                                      Qt::LeftButton);
                }
                lastDone = done;
                if (pressMidFile && done > 0 && done < total) {
                    pressMidFile = false;
                    QTest::mouseClick(p->findChild<QPushButton*>(QStringLiteral("Cancel")),
                                      Qt::LeftButton);
                }
            });
            if (pressAtOnce)
                QTest::mouseClick(p->findChild<QPushButton*>(QStringLiteral("Cancel")),
                                  Qt::LeftButton);
        });
    }
};

} // namespace

TEST(CFtpDlgTransfer, UploadsAndDownloadsInTheThreeModesReplacingServerFiles) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.settings.Profiles[0].SvDel = 0; // the window replaces server files all the same
    world.pc.write(QStringLiteral("text.txt"), "a\r\nb\r\n");
    world.pc.write(QStringLiteral("pic.gif"), "G\r\nI\r\n");
    world.server.writeFile("text.txt", "older");
    world.server.writeFile("down.txt", "x\ny\n");
    world.server.writeFile("down.gif", "x\ny\n");
    ScriptedPrompt prompt;
    auto window = world.open();
    window->show();

    struct Expected {
        int mode;
        QByteArray uploadedText, uploadedGif, downloadedText, downloadedGif;
    };
    const Expected rounds[] = {
        {TransferAuto, "a\nb\n", "G\r\nI\r\n", "x\r\ny\r\n", "x\ny\n"},
        {TransferBinary, "a\r\nb\r\n", "G\r\nI\r\n", "x\ny\n", "x\ny\n"},
        {TransferAscii, "a\nb\n", "G\nI\n", "x\r\ny\r\n", "x\r\ny\r\n"},
    };
    for (const Expected& round : rounds) {
        SCOPED_TRACE(round.mode);
        setMode(*window, round.mode);
        selectNames(*window, CFtpDlg::PcPane,
                    {QStringLiteral("text.txt"), QStringLiteral("pic.gif")});
        pressButton(window.get(), "Upload");
        EXPECT_EQ(world.server.readFile("text.txt"), round.uploadedText);
        EXPECT_EQ(world.server.readFile("pic.gif"), round.uploadedGif);
        selectNames(*window, CFtpDlg::ServerPane,
                    {QStringLiteral("down.txt"), QStringLiteral("down.gif")});
        pressButton(window.get(), "Download");
        EXPECT_EQ(world.pc.read(QStringLiteral("down.txt")), round.downloadedText);
        EXPECT_EQ(world.pc.read(QStringLiteral("down.gif")), round.downloadedGif);
    }
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane),
              utf8List({"down.gif", "down.txt", "pic.gif", "text.txt"}))
        << "the server pane is read again after an upload";
    EXPECT_TRUE(paneNames(*window, CFtpDlg::PcPane).contains(QStringLiteral("down.gif")))
        << "the PC pane is read again after a download";
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
}

TEST(CFtpDlgTransfer, EucServersGetConvertedTextAndJapaneseNamesWithSpaces) {
    TransferWorld world(CodeSystemEuc, QStringLiteral("/"));
    writeFileBytes(world.pcFile(QStringLiteral("営業 時間.txt")), sjisBytes("本日は休業です。\n"));
    world.server.writeFile(eucBytes("お 知らせ.html"), eucBytes("<p>ようこそ</p>\n"));
    ScriptedPrompt prompt;
    auto window = world.open();
    setMode(*window, TransferAscii); // no bearing on converting transfers
    selectNames(*window, CFtpDlg::PcPane, {QStringLiteral("営業 時間.txt")});
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdUpload));
    EXPECT_EQ(world.server.readFile(eucBytes("営業 時間.txt")), eucBytes("本日は休業です。\n"));
    EXPECT_FALSE(world.server.exists(eucBytes("営業 時間.txt") + ".$$$"));
    EXPECT_TRUE(paneNames(*window, CFtpDlg::ServerPane).contains(QStringLiteral("営業 時間.txt")));

    selectNames(*window, CFtpDlg::ServerPane, {QStringLiteral("お 知らせ.html")});
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdDownload));
    EXPECT_EQ(readFileBytes(world.pcFile(QStringLiteral("お 知らせ.html"))),
              sjisBytes("<p>ようこそ</p>\r\n"));
    EXPECT_FALSE(QFileInfo::exists(world.pcFile(QStringLiteral("お 知らせ.html.$$$"))));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
}

// On an EUC-JP server a transfer converts only text of the code system it converts from: a
// UTF-8 text, an image and a binary move byte for byte both ways, and one message afterwards
// names them. The transfer-mode box says so on such a profile only.
TEST(CFtpDlgTransfer, EucServersConvertOnlyTextAndNameWhatWentAsItWas) {
    QByteArray png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    QByteArray binary;
    for (int i = 0; png.size() < 5000; ++i)
        png += char(0xA1 + i % 0x3F); // half-width katakana bytes: each would gain a 0x8E
    for (int i = 0; i < 300000; ++i)
        binary += char((i * 37 + i / 256) % 256);
    const QByteArray utf8 = QStringLiteral("日本語のメモ\n").toUtf8();
    TransferWorld world(CodeSystemEuc, QStringLiteral("/"));
    world.settings.Profiles[1] = world.settings.Profiles[0];
    world.settings.Profiles[1].Code = CodeSystemSjis;
    const struct {
        QString name;
        QByteArray bytes;
    } asIs[] = {{QStringLiteral("data.bin"), binary},
                {QStringLiteral("logo.png"), png},
                {QStringLiteral("utf8.txt"), utf8}};
    for (const auto& file : asIs) {
        writeFileBytes(world.pcFile(QStringLiteral("u-") + file.name), file.bytes);
        world.server.writeFile((QStringLiteral("d-") + file.name).toUtf8(), file.bytes);
    }
    writeFileBytes(world.pcFile(QStringLiteral("u-sjis.txt")), sjisBytes("本日は休業です。\r\n"));
    world.server.writeFile("d-euc.txt", eucBytes("本日は休業です。\n"));
    ScriptedPrompt prompt;
    auto window = world.open();
    setMode(*window, TransferAscii); // every file a text as far as the mode goes
    EXPECT_FALSE(childNamed<QLabel>(window.get(), "TransferModeNote")->isHidden());
    EXPECT_TRUE(childNamed<QComboBox>(window.get(), "TransferMode")
                    ->toolTip()
                    .contains(QStringLiteral("それ以外のファイルはそのまま転送します。")));

    selectNames(*window, CFtpDlg::PcPane,
                utf8List({"u-data.bin", "u-logo.png", "u-sjis.txt", "u-utf8.txt"}));
    pressButton(window.get(), "Upload");
    selectNames(*window, CFtpDlg::ServerPane,
                utf8List({"d-data.bin", "d-euc.txt", "d-logo.png", "d-utf8.txt"}));
    pressButton(window.get(), "Download");
    for (const auto& file : asIs) {
        SCOPED_TRACE(file.name.toStdString());
        EXPECT_EQ(world.server.readFile((QStringLiteral("u-") + file.name).toUtf8()), file.bytes);
        EXPECT_EQ(readFileBytes(world.pcFile(QStringLiteral("d-") + file.name)), file.bytes);
    }
    EXPECT_EQ(world.server.readFile("u-sjis.txt"), eucBytes("本日は休業です。\n"));
    EXPECT_EQ(readFileBytes(world.pcFile(QStringLiteral("d-euc.txt"))),
              sjisBytes("本日は休業です。\r\n"));
    EXPECT_EQ(prompt.texts(),
              QStringList({QStringLiteral("次のファイルは Shift_JIS のテキストではない為、"
                                          "変換せずにそのまま送信しました。\n"
                                          "u-data.bin\nu-logo.png\nu-utf8.txt"),
                           QStringLiteral("次のファイルは EUC-JP のテキストではない為、"
                                          "変換せずにそのまま受信しました。\n"
                                          "d-data.bin\nd-logo.png\nd-utf8.txt")}));

    window->chooseProfile(1);
    EXPECT_TRUE(childNamed<QLabel>(window.get(), "TransferModeNote")->isHidden());
    EXPECT_TRUE(childNamed<QComboBox>(window.get(), "TransferMode")->toolTip().isEmpty());
}

TEST(CFtpDlgTransfer, CancelDuringTheConversionOfAnEucTransferLeavesBothSidesAsTheyWere) {
    QByteArray sjis, euc;
    for (int i = 0; i < 200000; ++i) {
        sjis += sjisBytes("本日は休業です。\n");
        euc += eucBytes("本日は休業です。\n");
    }
    struct Case {
        const char* button;
        CFtpDlg::Pane pane;
        int conversionStep; // an upload converts first, a download after its data
    };
    for (const Case& c :
         {Case{"Upload", CFtpDlg::PcPane, 1}, Case{"Download", CFtpDlg::ServerPane, 2}}) {
        SCOPED_TRACE(c.button);
        TransferWorld world(CodeSystemEuc, QStringLiteral("/"));
        writeFileBytes(world.pcFile(QStringLiteral("大.txt")),
                       c.pane == CFtpDlg::PcPane ? sjis : "older");
        world.server.writeFile(eucBytes("大.txt"), c.pane == CFtpDlg::PcPane ? "older" : euc);
        ScriptedPrompt prompt;
        auto window = world.open();
        ProgressWatch watch;
        watch.pressInStep = c.conversionStep;
        watch.attach(*window);
        prompt.expectQuestion(PromptAnswer::Yes);
        selectNames(*window, c.pane, {QStringLiteral("大.txt")});
        pressButton(window.get(), c.button);
        EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("中止します。\nよろしいですか？")});
        const QString size = QLocale(QLocale::Japanese)
                                 .toString(c.pane == CFtpDlg::PcPane ? sjis.size() : euc.size());
        EXPECT_EQ(watch.shownAtPress, QStringLiteral("大.txt|65,536 / %1 バイト").arg(size));
        EXPECT_EQ(readFileBytes(world.pcFile(QStringLiteral("大.txt"))),
                  c.pane == CFtpDlg::PcPane ? sjis : "older");
        EXPECT_EQ(world.server.readFile(eucBytes("大.txt")),
                  c.pane == CFtpDlg::PcPane ? "older" : euc);
        EXPECT_EQ(QDir(world.pc.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("大.txt")});
        EXPECT_EQ(world.server.names(), QByteArrayList{eucBytes("大.txt")});
    }
}

TEST(CFtpDlgTransfer, TheProgressWindowCountsTheWholeBatch) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    QDir(world.pc.path()).mkdir(QStringLiteral("dir"));
    world.pc.write(QStringLiteral("a.txt"), "1");
    world.pc.write(QStringLiteral("b.txt"), "22");
    world.pc.write(QStringLiteral("c.txt"), QByteArray(300000, 'c'));
    ScriptedPrompt prompt;
    auto window = world.open();
    ProgressWatch watch;
    watch.attach(*window);
    setMode(*window, TransferBinary);
    selectNames(*window, CFtpDlg::PcPane,
                {QStringLiteral("dir"), QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                 QStringLiteral("c.txt")});
    pressButton(window.get(), "Upload");
    ASSERT_GE(watch.batches.size(), 4);
    EXPECT_EQ(watch.batches.first(), QStringLiteral("0 / 3 ファイル　0 / 300,003 バイト"))
        << "directories are no files of the batch";
    EXPECT_TRUE(watch.batches.contains(QStringLiteral("2 / 3 ファイル　3 / 300,003 バイト")));
    EXPECT_EQ(watch.batches.last(), QStringLiteral("3 / 3 ファイル　300,003 / 300,003 バイト"));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CFtpDlgTransfer, TheCounterCountsDirectoriesButOnlyFilesMove) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    QDir(world.pc.path()).mkdir(QStringLiteral("dirA"));
    QDir(world.pc.path()).mkdir(QStringLiteral("dirB"));
    world.pc.write(QStringLiteral("f1.txt"), "1");
    world.pc.write(QStringLiteral("f2.txt"), "2");
    ScriptedPrompt prompt;
    auto window = world.open();
    ProgressWatch watch;
    watch.attach(*window);

    selectNames(*window, CFtpDlg::PcPane, {QStringLiteral("dirA"), QStringLiteral("dirB")});
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdUpload));
    EXPECT_TRUE(watch.counters.isEmpty());
    EXPECT_TRUE(world.server.names().isEmpty()) << "directories only: nothing moves";

    selectNames(*window, CFtpDlg::PcPane,
                {QStringLiteral("f2.txt"), QStringLiteral("dirB"), QStringLiteral("dirA"),
                 QStringLiteral("f1.txt")});
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdUpload));
    EXPECT_EQ(watch.counters, utf8List({"【 3/4 】", "【 4/4 】"})) << "in list order";
    EXPECT_EQ(watch.names, utf8List({"f1.txt", "f2.txt"}));
    EXPECT_EQ(world.server.names(), (QByteArrayList{"f1.txt", "f2.txt"}));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CFtpDlgTransfer, CancelThenNoAsksAgainAndYesStopsTheUpload) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    for (const char* name : {"1.txt", "2.txt", "3.txt"})
        world.pc.write(QString::fromLatin1(name), name);
    ScriptedPrompt prompt;
    auto window = world.open();
    ProgressWatch watch;
    watch.pressAtOnce = true;
    watch.attach(*window);
    prompt.expectQuestion(PromptAnswer::No);
    prompt.expectQuestion(PromptAnswer::Yes);
    selectNames(*window, CFtpDlg::PcPane,
                {QStringLiteral("1.txt"), QStringLiteral("2.txt"), QStringLiteral("3.txt")});
    pressButton(window.get(), "Upload");
    const QString question = QStringLiteral("中止します。\nよろしいですか？");
    EXPECT_EQ(prompt.texts(), QStringList({question, question}));
    EXPECT_EQ(world.server.names(), (QByteArrayList{"1.txt"}));
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane), utf8List({"1.txt"}));
    EXPECT_FALSE(window->isBusy());
    EXPECT_EQ(window->findChild<CProgressDlg*>(), nullptr) << "the progress window is gone";
}

TEST(CFtpDlgTransfer, ConfirmedCancelDuringADownloadKeepsTheOlderLocalFile) {
    FtpServerFixture::Options stalling; // half the file, then a pause: the cancel lands mid-file
    stalling.faults = {QStringLiteral("stallretr")};
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"), stalling);
    world.server.writeFile("big.bin", QByteArray(1024 * 1024, 'n'));
    world.pc.write(QStringLiteral("big.bin"), "older");
    ScriptedPrompt prompt;
    auto window = world.open();
    ProgressWatch watch;
    watch.pressMidFile = true;
    watch.attach(*window);
    prompt.expectQuestion(PromptAnswer::Yes);
    setMode(*window, TransferBinary);
    selectNames(*window, CFtpDlg::ServerPane, {QStringLiteral("big.bin")});
    pressButton(window.get(), "Download");
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("中止します。\nよろしいですか？")});
    EXPECT_EQ(world.pc.read(QStringLiteral("big.bin")), QByteArray("older"));
    EXPECT_EQ(paneNames(*window, CFtpDlg::PcPane), utf8List({".", "..", "big.bin"}));
}

TEST(CFtpDlgTransfer, RefusedOrVanishedDownloadsReportEachFileAndKeepOlderLocalFiles) {
    FtpServerFixture::Options refusing;
    refusing.faults = {QStringLiteral("refuse=RETR")};
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"), refusing);
    world.server.writeFile("a.txt", "new a");
    world.server.writeFile("b.txt", "new b");
    world.pc.write(QStringLiteral("a.txt"), "older a");
    ScriptedPrompt prompt;
    auto window = world.open();
    selectNames(*window, CFtpDlg::ServerPane, {QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    pressButton(window.get(), "Download");
    EXPECT_EQ(prompt.texts(),
              QStringList({QStringLiteral("550 Refused."),
                           QStringLiteral("<a.txt>のダウンロードに失敗しました。(CODE=1)"),
                           QStringLiteral("550 Refused."),
                           QStringLiteral("<b.txt>のダウンロードに失敗しました。(CODE=1)")}));
    EXPECT_EQ(prompt.shown().value(1).icon, PromptIcon::Error);
    EXPECT_EQ(world.pc.read(QStringLiteral("a.txt")), QByteArray("older a"));
    EXPECT_FALSE(world.pc.exists(QStringLiteral("b.txt")));
}

TEST(CFtpDlgTransfer, FilesThatVanishOrCannotBeWrittenFailAloneAndTheListsAreReadAgain) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.pc.write(QStringLiteral("stays.txt"), "stays");
    world.pc.write(QStringLiteral("goes.txt"), "goes");
    world.server.writeFile("gone.txt", "x");
    world.server.writeFile("here.txt", "here");
    world.server.writeFile("blocked.txt", "b");
    QDir(world.pc.path())
        .mkdir(QStringLiteral("blocked.txt")); // a directory where the file would go
    ScriptedPrompt prompt;
    auto window = world.open();

    selectNames(*window, CFtpDlg::PcPane,
                {QStringLiteral("goes.txt"), QStringLiteral("stays.txt")});
    QFile::remove(world.pcFile(QStringLiteral("goes.txt")));
    pressButton(window.get(), "Upload");
    const QString goes = world.pcFile(QStringLiteral("goes.txt"));
    EXPECT_EQ(
        prompt.texts(),
        QStringList({QStringLiteral("PC上に%1が存在しない為、サーバに転送出来ません。").arg(goes),
                     QStringLiteral("<%1>のアップロードに失敗しました。(CODE=1)").arg(goes)}));
    EXPECT_EQ(world.server.readFile("stays.txt"), QByteArray("stays"));

    prompt.clear();
    selectNames(
        *window, CFtpDlg::ServerPane,
        {QStringLiteral("blocked.txt"), QStringLiteral("gone.txt"), QStringLiteral("here.txt")});
    QFile::remove(QFile::decodeName(world.server.localPath("gone.txt")));
    pressButton(window.get(), "Download");
    const QStringList texts = prompt.texts();
    ASSERT_EQ(texts.size(), 4) << texts.join(u'|').toStdString();
    EXPECT_EQ(texts[0],
              QStringLiteral("ＰＣ側ファイル(%1)にアクセス権が有りません。受信出来ません。")
                  .arg(world.pcFile(QStringLiteral("blocked.txt"))));
    EXPECT_EQ(texts[1], QStringLiteral("<blocked.txt>のダウンロードに失敗しました。(CODE=1)"));
    EXPECT_EQ(texts[3], QStringLiteral("<gone.txt>のダウンロードに失敗しました。(CODE=1)"));
    EXPECT_EQ(world.pc.read(QStringLiteral("here.txt")), QByteArray("here"));
    EXPECT_TRUE(QFileInfo(world.pcFile(QStringLiteral("blocked.txt"))).isDir());
    EXPECT_FALSE(paneNames(*window, CFtpDlg::PcPane).contains(QStringLiteral("goes.txt")));
    EXPECT_TRUE(paneNames(*window, CFtpDlg::PcPane).contains(QStringLiteral("here.txt")));
}

TEST(CFtpDlgTransfer, ADroppedConnectionFailsThatFileAndTheNextStillDownloads) {
    FtpServerFixture::Options dropping;
    dropping.faults = {QStringLiteral("dropretr")};
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"), dropping);
    world.server.writeFile("one.bin", QByteArray(200000, '1'));
    world.server.writeFile("two.bin", QByteArray(200000, '2'));
    world.pc.write(QStringLiteral("one.bin"), "older one");
    ScriptedPrompt prompt;
    auto window = world.open();
    selectNames(*window, CFtpDlg::ServerPane,
                {QStringLiteral("one.bin"), QStringLiteral("two.bin")});
    pressButton(window.get(), "Download");
    const QStringList texts = prompt.texts();
    ASSERT_EQ(texts.size(), 4) << texts.join(u'|').toStdString();
    EXPECT_EQ(texts[1], QStringLiteral("<one.bin>のダウンロードに失敗しました。(CODE=1)"));
    EXPECT_EQ(texts[3], QStringLiteral("<two.bin>のダウンロードに失敗しました。(CODE=1)"));
    EXPECT_EQ(world.pc.read(QStringLiteral("one.bin")), QByteArray("older one"));
    EXPECT_FALSE(world.pc.exists(QStringLiteral("two.bin")));
}

TEST(CFtpDlgTransfer, ServerDeleteRenameAndMakeDirectory) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.server.makeDir("full");
    world.server.writeFile("full/inside.txt", "i");
    world.server.writeFile("old.txt", "old");
    world.server.writeFile("other.txt", "other");
    world.server.writeFile("doomed.txt", "d");
    ScriptedPrompt prompt;
    auto window = world.open();
    window->show();

    selectNames(*window, CFtpDlg::ServerPane,
                {QStringLiteral("full"), QStringLiteral("doomed.txt")});
    prompt.expectQuestion(PromptAnswer::Yes);
    prompt.expectQuestion(PromptAnswer::Yes);
    pressButton(window.get(), "Delete");
    EXPECT_EQ(prompt.texts(),
              utf8List({"full を削除しても宜しいですか？",
                        "削除出来ませんでした。アクセス権／ディレクトリが空か確認して下さい。",
                        "doomed.txt を削除しても宜しいですか？"}));
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane), utf8List({"full", "old.txt", "other.txt"}));

    prompt.clear();
    selectNames(*window, CFtpDlg::ServerPane, {QStringLiteral("old.txt")});
    answerNameDialogs({QStringLiteral("old.txt")}); // the same name: nothing to do
    pressButton(window.get(), "Rename");
    selectNames(*window, CFtpDlg::ServerPane, {QStringLiteral("old.txt")});
    answerNameDialogs({QStringLiteral("other.txt")});
    pressButton(window.get(), "Rename");
    EXPECT_EQ(prompt.texts(), utf8List({"同一名称のファイルが存在します。"}));
    EXPECT_EQ(world.server.readFile("other.txt"), QByteArray("other")) << "never replaced";
    selectNames(*window, CFtpDlg::ServerPane,
                {QStringLiteral("old.txt"), QStringLiteral("other.txt")});
    answerNameDialogs({QStringLiteral("新しい 名前.txt"), std::nullopt});
    pressButton(window.get(), "Rename");
    EXPECT_EQ(world.server.readFile(sjisBytes("新しい 名前.txt")), QByteArray("old"));
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane),
              utf8List({"full", "other.txt", "新しい 名前.txt"}));

    prompt.clear();
    // (The test server cannot answer MKD for a name that is not UTF-8, so this one is ASCII.)
    answerNameDialogs({QStringLiteral("full"), std::nullopt});
    pressButton(window.get(), "MakeDir");
    EXPECT_EQ(prompt.texts(), utf8List({"同一名称のディレクトリが存在します。"}));
    prompt.clear();
    answerNameDialogs({QStringLiteral("made dir")});
    pressButton(window.get(), "MakeDir");
    EXPECT_TRUE(world.server.exists("made dir"));
    EXPECT_EQ(paneNames(*window, CFtpDlg::ServerPane).value(1), QStringLiteral("made dir"));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
}

TEST(CFtpDlgTransfer, PcDeleteRenameAndMakeDirectoryFromTheMenu) {
    TransferWorld world;
    world.pc.write(QStringLiteral("a.txt"), "a");
    world.pc.write(QStringLiteral("b.txt"), "b");
    ScriptedPrompt prompt;
    auto window = world.open();
    window->show();

    selectNames(*window, CFtpDlg::PcPane, {QStringLiteral("a.txt")});
    answerNameDialogs({QStringLiteral("日本語 名.txt")});
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdPcRename));
    EXPECT_EQ(world.pc.read(QStringLiteral("日本語 名.txt")), QByteArray("a"));

    answerNameDialogs({QStringLiteral("newdir")});
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdPcMakeDir));
    EXPECT_TRUE(QFileInfo(world.pcFile(QStringLiteral("newdir"))).isDir());

    selectNames(*window, CFtpDlg::PcPane, {QStringLiteral("b.txt"), QStringLiteral("newdir")});
    prompt.expectQuestion(PromptAnswer::Yes);
    prompt.expectQuestion(PromptAnswer::No);
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdPcDelete));
    EXPECT_EQ(prompt.texts(),
              utf8List({"newdir を削除しても宜しいですか？", "b.txt を削除しても宜しいですか？"}));
    EXPECT_FALSE(world.pc.exists(QStringLiteral("newdir")));
    EXPECT_TRUE(world.pc.exists(QStringLiteral("b.txt")));
    EXPECT_EQ(paneNames(*window, CFtpDlg::PcPane), utf8List({".", "..", "b.txt", "日本語 名.txt"}));

    prompt.clear();
    window->pane(CFtpDlg::PcPane)->clearSelection();
    for (int command : {CFtpDlg::CmdUpload, CFtpDlg::CmdPcDelete, CFtpDlg::CmdPcRename})
        EXPECT_TRUE(window->runCommand(command));
    window->pane(CFtpDlg::ServerPane)->clearSelection();
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdDownload));
    EXPECT_EQ(prompt.texts(), utf8List({"リストからアップロードするファイルを選択して下さい。",
                                        "リストから削除するファイルを選択して下さい。",
                                        "リストから名称変更するファイルを選択して下さい。",
                                        "リストからダウンロードするファイルを選択して下さい。"}));
}

TEST(CFtpDlgTransfer, ADirectoryOfTwentyThousandEntriesIsListedInOrder) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/many"));
    world.server.makeDir("many");
    for (int i = 0; i < 20000; ++i)
        world.server.writeFile("many/f" + QByteArray::number(i).rightJustified(5, '0') + ".txt",
                               "");
    world.server.makeDir("many/zdir");
    ScriptedPrompt prompt;
    auto window = world.open();
    const QStringList names = paneNames(*window, CFtpDlg::ServerPane);
    ASSERT_EQ(names.size(), 20001);
    EXPECT_EQ(names.front(), QStringLiteral("zdir"));
    EXPECT_EQ(names[1], QStringLiteral("f00000.txt"));
    EXPECT_EQ(names.back(), QStringLiteral("f19999.txt"));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CFtpDlgTransfer, ALocalDirectoryThatIsGoneFailsEachDownloadAndListsNothing) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    QDir(world.pc.path()).mkdir(QStringLiteral("target"));
    world.settings.PcDir = world.pcFile(QStringLiteral("target"));
    world.server.writeFile("a.txt", "a");
    ScriptedPrompt prompt;
    auto window = world.open();
    const QString gone = window->pcPath();
    ASSERT_TRUE(QDir(gone).removeRecursively());
    // A file where the directory was: as root, permission bits would not stop the writes.
    writeFileBytes(gone, "a file now");

    selectNames(*window, CFtpDlg::ServerPane, {QStringLiteral("a.txt")});
    pressButton(window.get(), "Download");
    const QString unavailable = QStringLiteral("<%1>は現在利用出来ません。").arg(gone);
    EXPECT_EQ(
        prompt.texts(),
        QStringList(
            {QStringLiteral("ＰＣ側ファイル(%1/a.txt)にアクセス権が有りません。受信出来ません。")
                 .arg(gone),
             QStringLiteral("<a.txt>のダウンロードに失敗しました。(CODE=1)"), unavailable}));
    EXPECT_EQ(readFileBytes(gone), QByteArray("a file now"));
    EXPECT_TRUE(paneNames(*window, CFtpDlg::PcPane).isEmpty());

    prompt.clear();
    EXPECT_TRUE(window->runCommand(CFtpDlg::CmdPcRefresh));
    EXPECT_EQ(prompt.texts(), QStringList{unavailable});
}

TEST(CFtpDlgTransfer, ANameTheServerCannotHoldIsNotSentUnderAnother) {
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.pc.write(QStringLiteral("smile😀.txt"), "s");
    world.pc.write(QStringLiteral("plain.txt"), "p");
    ScriptedPrompt prompt;
    auto window = world.open();
    selectNames(*window, CFtpDlg::PcPane,
                {QStringLiteral("smile😀.txt"), QStringLiteral("plain.txt")});
    pressButton(window.get(), "Upload");
    EXPECT_EQ(
        prompt.texts(),
        QStringList({QStringLiteral("ファイル名 smile😀.txt はサーバの文字コードで表せません。"),
                     QStringLiteral("<%1>のアップロードに失敗しました。(CODE=1)")
                         .arg(world.pcFile(QStringLiteral("smile😀.txt")))}));
    EXPECT_EQ(world.server.names(), (QByteArrayList{"plain.txt"}));
}

TEST(CFtpDlgTransfer, AServerFileThatCannotBeDeletedFirstIsNotReplaced) {
    FtpServerFixture::Options refusing;
    refusing.faults = {QStringLiteral("refuse=DELE")};
    TransferWorld world(CodeSystemSjis, QStringLiteral("/"), refusing);
    world.server.writeFile("listed.txt", "the server's own");
    world.pc.write(QStringLiteral("listed.txt"), "new");
    world.pc.write(QStringLiteral("fresh.txt"), "fresh");
    ScriptedPrompt prompt;
    auto window = world.open();
    selectNames(*window, CFtpDlg::PcPane,
                {QStringLiteral("fresh.txt"), QStringLiteral("listed.txt")});
    pressButton(window.get(), "Upload");
    EXPECT_EQ(prompt.texts(),
              QStringList({QStringLiteral("サーバファイルにアクセス権が有りません。(550)"),
                           QStringLiteral("<%1>のアップロードに失敗しました。(CODE=1)")
                               .arg(world.pcFile(QStringLiteral("listed.txt")))}));
    EXPECT_EQ(world.server.readFile("listed.txt"), QByteArray("the server's own"));
    EXPECT_EQ(world.server.readFile("fresh.txt"), QByteArray("fresh"));
}
