// A run killed with unsaved edits, and the run after it: the child is this test program
// started again on its disabled child test, which runs the real application object, types into
// a local and a server document and waits to be killed with SIGKILL.
#include "AppHarness.h"
#include "FtpServerFixture.h"
#include "RecoveryTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include "app/CVantorpadApp.h"
#include "doc/CVantorpadDoc.h"
#include "encoding/LosslessCodec.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "ftp/CFtpClient.h"
#include "restore/DocumentRecovery.h"
#include "transfer/ServerFileFetch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <signal.h>

namespace {

const QString Typed = QStringLiteral("追記");

QByteArray toEucJp(const QString& text) {
    return LosslessCodec::eucJp().encode(text).bytes;
}

QByteArray settingsFor(const FtpServerFixture& server) {
    return "[Network]\r\nProxy=1\r\nPassive=1\r\n[Server01]\r\nServer=" + server.host().toUtf8() +
           "\r\nUser=" + server.user().toUtf8() + "\r\nPasswd=" + server.password().toUtf8() +
           "\r\nPort=" + QByteArray::number(server.port()) + "\r\nCode=0\r\nDir=/\r\n";
}

// Keys as the keyboard sends them, to the widget that has the focus; characters beyond
// Latin-1 come as the text of a key event, as an input method commits them.
void typeIntoFocus(const QString& text) {
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        if (c == u'\n') {
            QTest::keyClick(focus, Qt::Key_Return);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focus, &press);
        QApplication::sendEvent(focus, &release);
    }
}

void typeAtTheEnd(const QString& text) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    typeIntoFocus(text);
}

// Both recovery files are there and hold the typed text.
bool bothKept(const QString& dir) {
    const QStringList files = recoveryFiles(dir);
    if (files.size() != 2)
        return false;
    for (const QString& file : files) {
        const Result<RecoveryRecord> read = readRecovery(file);
        if (!read.ok() || !read->body.endsWith('x'))
            return false;
    }
    return true;
}

CVantorpadDoc* documentWhere(CMainFrame& frame, const std::function<bool(CVantorpadDoc*)>& is) {
    for (CChildFrame* child : frame.childFrames())
        if (is(child->document()))
            return child->document();
    return nullptr;
}

} // namespace

TEST(RecoveryChild, DISABLED_EditsUntilKilled) {
    const QString start = qEnvironmentVariable("VANTORPAD_CHILD_START");
    ASSERT_FALSE(start.isEmpty());
    qputenv("XDG_STATE_HOME", qgetenv("VANTORPAD_CHILD_STATE"));
    ScriptedPrompt prompt;
    QDir::setCurrent(start);
    CVantorpadApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame& frame = *app.mainFrame();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    ASSERT_TRUE(app.OpenTextDocument(QDir(start).filePath(QStringLiteral("pc/local.txt")),
                                     app.currentProfile(), false, false));
    typeAtTheEnd(Typed + u'\n' + u'x');

    // Opened as the open-from-server dialog opens it.
    const ServerProfile& profile = app.settings.Profiles[1];
    auto client = CFtpClient::create(app.settings.Network, false, profile, app.serverTrust());
    ASSERT_TRUE(client->OpenSession().ok());
    const FetchedFile fetched =
        fetchForEditing(*client, app.settings.TranDir, profile, profile.Code, "page.txt", false);
    ASSERT_TRUE(fetched.result.ok());
    client->CloseSession();
    ASSERT_TRUE(
        app.OpenTextDocument(fetched.localPath, fetched.profile, true, false, fetched.stamp));
    typeAtTheEnd(Typed + u'\n' + u'x');
    // Killed while it waits here.
    QTest::qWait(120000);
    FAIL() << "the child was not killed";
}

TEST(RecoveryAfterKill, AKilledRunsEditsAreRestoredAndSaveWhatItWouldHaveSaved) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    server.writeFile("page.txt", toEucJp(QStringLiteral("サーバの一行目\n")));
    const TempDir state;
    const TempDir start;
    const QString dir = recoveryDirIn(state.path());
    QDir(start.path()).mkpath(QStringLiteral("pc"));
    QDir(start.path()).mkpath(QStringLiteral("tran"));
    const QString localPath = start.filePath(QStringLiteral("pc/local.txt"));
    writeFileBytes(localPath, toCp932(QStringLiteral("ローカルの一行目\r\n")));
    start.write(QStringLiteral("Vantorpad.ini"),
                "[Env]\r\nPcDir=" + start.filePath(QStringLiteral("pc")).toUtf8() + "\r\nTranDir=" +
                    start.filePath(QStringLiteral("tran")).toUtf8() + "\r\n" + settingsFor(server));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VANTORPAD_CHILD_START"), start.path());
    env.insert(QStringLiteral("VANTORPAD_CHILD_STATE"), state.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // What the killed child leaves in its temporary directory goes with this test's.
    env.insert(QStringLiteral("TMPDIR"), state.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(start.path());
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RecoveryChild.DISABLED_EditsUntilKilled"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForStarted());
    const bool kept = QTest::qWaitFor(
        [&] { return bothKept(dir) || child.state() == QProcess::NotRunning; }, 60000);
    ASSERT_TRUE(kept && bothKept(dir)) << child.readAll().toStdString();

    const ScopedStateHome home(state.path());
    ScriptedPrompt prompt;
    {
        // A run started beside it is not offered its files.
        AppHarness beside;
        int asked = 0;
        beside.app().hooks().askRecovery = [&](const QList<RecoveryOffer>&, QWidget*) {
            ++asked;
            return RecoveryAnswer{};
        };
        beside.app().OfferRecovery();
        EXPECT_EQ(asked, 0);
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished());
    std::optional<ServerFileStamp> opened;
    for (const QString& file : recoveryFiles(dir))
        if (const Result<RecoveryRecord> read = readRecovery(file); read.ok() && read->stamp)
            opened = read->stamp;
    // The version the killed run downloaded.
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->size, server.readFile("page.txt").size());

    AppHarness h(settingsFor(server));
    QList<RecoveryOffer> offered;
    h.app().hooks().askRecovery = [&](const QList<RecoveryOffer>& offers, QWidget*) {
        offered = offers;
        return RecoveryAnswer{RecoveryChoice::RestoreAll, {}};
    };
    h.app().OfferRecovery();
    ASSERT_EQ(offered.size(), 2);
    EXPECT_TRUE(offered[0].document == QStringLiteral("NO:1 127.0.0.1:/page.txt") ||
                offered[1].document == QStringLiteral("NO:1 127.0.0.1:/page.txt"));
    CVantorpadDoc* local =
        documentWhere(h.frame(), [&](CVantorpadDoc* d) { return d->pathName() == localPath; });
    CVantorpadDoc* remote =
        documentWhere(h.frame(), [](CVantorpadDoc* d) { return d->serverFile(); });
    ASSERT_NE(local, nullptr);
    ASSERT_NE(remote, nullptr);
    EXPECT_EQ(remote->pathName(), h.tranFile(QStringLiteral("page.txt")));
    EXPECT_TRUE(QFile::exists(remote->pathName())); // the local copy is there again
    EXPECT_EQ(remote->profile().Port, server.port());
    EXPECT_EQ(remote->serverStamp(), opened);

    local->OnFileSave();
    EXPECT_EQ(readFileBytes(localPath), toCp932(QStringLiteral("ローカルの一行目\r\n追記\r\nx")));
    remote->OnFileSave();
    EXPECT_EQ(server.readFile("page.txt"), toEucJp(QStringLiteral("サーバの一行目\n追記\nx")));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
    h.app().documentRecovery().writePending();
    EXPECT_TRUE(recoveryFiles(dir).isEmpty());
}
