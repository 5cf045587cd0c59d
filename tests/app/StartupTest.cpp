#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "frame/CMainFrame.h"
#include "platform/ScopedOverride.h"

#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

const QString TransferMessage =
    QStringLiteral("転送Dir：%1 が存在しない為、再度環境設定を行って下さい。");
const QString LocalMessage =
    QStringLiteral("ローカルDir：%1 が存在しない為、再度環境設定を行って下さい。");

// Runs the application from a temporary start-up directory holding the given INI file, and
// puts the process's current directory back afterwards.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    void TearDown() override { QDir::setCurrent(m_previousDir); }

    void writeIni(const QByteArray& contents) {
        m_dir.write(QStringLiteral("Vantorpad.ini"), contents);
    }
    QByteArray ini() const { return m_dir.read(QStringLiteral("Vantorpad.ini")); }
    QByteArray directories() const {
        QByteArray dir = m_dir.path().toUtf8();
        return "[Env]\r\nPcDir=" + dir + "\r\nTranDir=" + dir + "\r\n";
    }

    TempDir m_dir;
    QString m_previousDir;
};

} // namespace

TEST_F(StartupTest, MissingDirectoriesAreReportedTransferFirstEachFollowedByOptions) {
    writeIni("[Env]\r\nPcDir=/nonexistent/pc\r\nTranDir=/nonexistent/tran\r\n");
    ScriptedPrompt prompt;
    CVantorpadApp app;
    QList<qsizetype> promptsSeenByOptions;
    const ScopedOverride options(app.hooks().runOptionsDialog, [&](CVantorpadApp&) {
        promptsSeenByOptions.append(prompt.shown().size());
        return false;
    });
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_EQ(prompt.texts(), QStringList({TransferMessage.arg(QStringLiteral("/nonexistent/tran")),
                                           LocalMessage.arg(QStringLiteral("/nonexistent/pc"))}));
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Error);
    EXPECT_EQ(promptsSeenByOptions, (QList<qsizetype>{1, 2}));
    EXPECT_EQ(QDir::currentPath(), m_dir.path()) << "the current directory comes back";
    app.ExitInstance();
}

TEST_F(StartupTest, ExistingDirectoriesStartQuietlyAndExitWritesTheWholeFile) {
    writeIni(directories() + "[Mine]\r\nkept=yes\r\n[Server]\r\nDefaultNo=2\r\n");
    ScriptedPrompt prompt;
    CVantorpadApp app;
    int optionsRuns = 0;
    const ScopedOverride options(app.hooks().runOptionsDialog,
                                 [&](CVantorpadApp&) { return ++optionsRuns, false; });
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(optionsRuns, 0);
    EXPECT_EQ(app.currentServer, 2);
    ASSERT_NE(app.mainFrame(), nullptr);
    EXPECT_TRUE(app.mainFrame()->isVisible());
    EXPECT_EQ(app.mainFrame()->shownMenu(), CMainFrame::MainMenu);

    QDir::setCurrent(QDir::tempPath()); // exit must write where the file was read
    app.ExitInstance();
    QByteArray written = ini();
    for (const char* section :
         {"[Pos]", "[Env]", "[Filter]", "[SvFilter]", "[Server]", "[Server04]", "[Network]",
          "[KeyWord]", "[Search]", "[Recent File List]"})
        EXPECT_TRUE(written.contains(section)) << section;
    EXPECT_TRUE(written.contains("[Mine]\r\nkept=yes\r\n"));
}

TEST_F(StartupTest, ExitStatusSaysWhetherTheSettingsWereSaved) {
    // The program as a user starts it, told to leave as soon as its window is up.
    auto run = [this] {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VANTORPAD_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(m_dir.path());
        program.start(QStringLiteral(VANTORPAD_PATH), {});
        EXPECT_TRUE(program.waitForFinished(60000));
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(
        fs::status(m_dir.filePath(QStringLiteral("Vantorpad.ini")).toStdString()).permissions() &
            fs::perms::mask,
        fs::perms::owner_read | fs::perms::owner_write)
        << "the file holds passwords";

    // A settings file that cannot be replaced.
    QFile::remove(m_dir.filePath(QStringLiteral("Vantorpad.ini")));
    QDir(m_dir.path()).mkdir(QStringLiteral("Vantorpad.ini"));
    EXPECT_EQ(run(), 1);
}

TEST_F(StartupTest, FailedPlatformStartLeavesTheSettingsFileUntouched) {
    const QByteArray original = "[Pos]\r\nSave=1\r\nLeft=5\r\n";
    for (bool socketsFail : {true, false}) {
        writeIni(original);
        ScriptedPrompt prompt;
        CVantorpadApp app;
        const ScopedOverride sockets(app.hooks().initSockets, [=] { return !socketsFail; });
        const ScopedOverride components(app.hooks().initComponents, [] { return false; });
        EXPECT_FALSE(app.InitInstance({}));
        ASSERT_EQ(prompt.texts().size(), 1);
        EXPECT_TRUE(prompt.texts()[0].startsWith(socketsFail ? QStringLiteral("Windows ソケット")
                                                             : QStringLiteral("OLE の初期化")));
        EXPECT_EQ(app.mainFrame(), nullptr);
        app.ExitInstance();
        EXPECT_EQ(ini(), original);
    }
}

TEST_F(StartupTest, ServerCommandsFollowTheCurrentProfile) {
    writeIni(directories() + "[Server00]\r\nServer=h\r\nUser=u\r\nDir=/\r\n"
                             "[Server01]\r\nServer=h\r\nUser=u\r\nPasswd=p\r\nDir=/\r\n"
                             "[Server]\r\nFtpUse=0\r\n");
    ScriptedPrompt prompt;
    CVantorpadApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* frame = app.mainFrame();
    frame->refreshCommandStates();
    EXPECT_FALSE(frame->action(CmdOpenServerFile)->isEnabled()) << "profile 0 has no password";
    EXPECT_FALSE(frame->action(CmdFtpTransfer)->isEnabled());
    EXPECT_TRUE(frame->action(CmdFileOpen)->isEnabled());
    EXPECT_FALSE(frame->action(CmdInsertFile)->isEnabled()) << "no active frame";

    app.currentServer = 1;
    frame->refreshCommandStates();
    EXPECT_TRUE(frame->action(CmdOpenServerFile)->isEnabled());
    EXPECT_FALSE(frame->action(CmdFtpTransfer)->isEnabled()) << "FtpUse is 0";
    app.settings.FtpUse = 1;
    frame->refreshCommandStates();
    EXPECT_TRUE(frame->action(CmdFtpTransfer)->isEnabled());

    EXPECT_EQ(frame->action(CmdFileOpen)->text(), QStringLiteral("ｸﾗｲｱﾝﾄﾌｧｲﾙを開く(&O)\tCtrl+O"));
    EXPECT_EQ(frame->action(CmdOpenServerFile)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(frame->action(CmdFtpTransfer)->shortcut(), QKeySequence(QStringLiteral("Alt+F")));
    app.ExitInstance();
}

TEST_F(StartupTest, OptionsOkMovesToTheDefaultProfile) {
    writeIni(directories());
    ScriptedPrompt prompt;
    CVantorpadApp app;
    ASSERT_TRUE(app.InitInstance({}));
    const ScopedOverride options(app.hooks().runOptionsDialog, [](CVantorpadApp& a) {
        a.settings.DefaultNo = 4;
        return true;
    });
    app.currentServer = 1;
    EXPECT_TRUE(app.mainFrame()->triggerCommand(CmdOptions));
    EXPECT_EQ(app.currentServer, 4);
    app.ExitInstance();
}

TEST_F(StartupTest, SavedPlacementIsRestoredAndWrittenBack) {
    writeIni(directories() + "[Pos]\r\nSave=1\r\nShow=1\r\nLeft=20\r\nTop=30\r\nRight=620\r\n"
                             "Bottom=430\r\n");
    ScriptedPrompt prompt;
    CVantorpadApp app;
    ASSERT_TRUE(app.InitInstance({}));
    QRect geometry = app.mainFrame()->geometry();
    EXPECT_EQ(geometry.width(), 600);
    EXPECT_EQ(geometry.height(), 400);
    app.mainFrame()->close();
    app.ExitInstance();
    QByteArray written = ini();
    EXPECT_TRUE(written.contains("Right=")) << written.constData();
    EXPECT_TRUE(written.contains("Show=1\r\n"));
}

TEST_F(StartupTest, AboutBoxNamesTheProgramAndItsLibraries) {
    writeIni(directories());
    ScriptedPrompt prompt;
    CVantorpadApp app;
    ASSERT_TRUE(app.InitInstance({}));
    QString shown;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        for (QLabel* label : modal->findChildren<QLabel*>())
            shown += label->text() + u'\n';
        static_cast<QDialog*>(modal)->accept();
    });
    EXPECT_TRUE(app.mainFrame()->triggerCommand(CmdAppAbout));
    EXPECT_TRUE(shown.contains(QStringLiteral("Vantorpad"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Qt ") + QLatin1String(qVersion())));
    EXPECT_TRUE(shown.contains(QStringLiteral("libcurl")));
    app.ExitInstance();
}
