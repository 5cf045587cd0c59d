// The main task from end to end, through the application's own commands and dialogs, against a
// real FTP server: open an EUC-JP file from the server, edit it, save it back.

#include "app/CVantorpadApp.h"
#include "commands/Command.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "encoding/LosslessCodec.h"
#include "frame/CMainFrame.h"
#include "settings/ServerProfile.h"
#include "transfer/CServerDir.h"
#include "transfer/FileListView.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString Page =
    QStringLiteral("<html>\n<body>\n<p>営業時間のお知らせ</p>\n</body>\n</html>\n");

QByteArray euc(const QString& text) {
    return LosslessCodec::eucJp().encode(text).bytes;
}

// The application started in a directory of its own, with profile 0 pointing at a test server
// that keeps EUC-JP text and makes backups named name + ".bak".
class MainTask : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_start.path());
        const QByteArray transfer = m_transfer.path().toUtf8();
        QByteArray ini = "[Env]\r\nPcDir=" + transfer + "\r\nTranDir=" + transfer + "\r\n";
        ini += "[Server00]\r\nServer=127.0.0.1\r\nUser=" + m_server.user().toUtf8() +
               "\r\nPasswd=" + m_server.password().toUtf8() +
               "\r\nCode=0\r\nDir=/\r\nBackMode=1\r\nBackExt=.bak\r\nPort=" +
               QByteArray::number(m_server.port()) + "\r\n";
        ini += "[Network]\r\nProxy=1\r\nPassive=1\r\n";
        m_start.write(QStringLiteral("Vantorpad.ini"), ini);
        m_server.writeFile("index.html", euc(Page));
        m_server.writeFile("other.txt", "x");
        ASSERT_TRUE(m_app.InitInstance({}));
    }
    void TearDown() override {
        // As the user ends the program: the main window closes its documents first.
        if (m_app.mainFrame())
            m_app.mainFrame()->close();
        m_app.ExitInstance();
        QDir::setCurrent(m_previousDir);
    }

    // Runs "ｻｰﾊﾞﾌｧｲﾙを開く" and picks `line` in the dialog; `typed`, when given, replaces the
    // file name before OK. Returns whether the command ran.
    bool openFromServer(const QString& line, const QString& typed = QString(),
                        bool cancelAfterOk = false) {
        whenModalShown([=](QWidget* dialog) {
            clickLine(childNamed<FileListView>(dialog, "List"), line);
            if (!typed.isEmpty())
                childNamed<QLineEdit>(dialog, "FileName")->setText(typed);
            QTest::mouseClick(childNamed<QPushButton>(dialog, "Ok"), Qt::LeftButton);
            if (cancelAfterOk) {
                EXPECT_TRUE(dialog->isVisible()) << "the dialog stays after a failed download";
                QTest::mouseClick(childNamed<QPushButton>(dialog, "Cancel"), Qt::LeftButton);
            }
        });
        return m_app.mainFrame()->triggerCommand(CmdOpenServerFile);
    }

    TempDir m_start;
    TempDir m_transfer;
    FtpServerFixture m_server;
    ScriptedPrompt m_prompt;
    CVantorpadApp m_app;
    QString m_previousDir;
};

} // namespace

TEST_F(MainTask, OpenEditAndSaveAnEucFileOnTheServer) {
    ASSERT_TRUE(openFromServer(QStringLiteral("index.html")));
    CVantorpadView* view = m_app.mainFrame()->activeView();
    ASSERT_NE(view, nullptr) << m_prompt.texts().join(u'\n').toStdString();
    EXPECT_TRUE(view->toPlainText().contains(QStringLiteral("営業時間のお知らせ")));
    CVantorpadDoc* doc = view->doc();
    EXPECT_TRUE(doc->serverFile());
    EXPECT_EQ(doc->profile().Code, CodeSystemEuc);
    // The document knows which version of the server's file it holds, to tell another's change.
    ASSERT_TRUE(doc->serverStamp());
    EXPECT_EQ(doc->serverStamp()->size, euc(Page).size());

    const qsizetype end = view->toPlainText().size();
    view->select(end, end);
    view->setFocus();
    // Japanese arrives from the input method as committed text.
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("臨時休業のご案内"));
    QApplication::sendEvent(view, &typed);
    QTest::keyClicks(view, QStringLiteral("!"));
    EXPECT_TRUE(doc->isModified());

    ASSERT_TRUE(m_app.mainFrame()->triggerCommand(CmdFileSave));
    EXPECT_TRUE(m_prompt.texts().isEmpty()) << m_prompt.texts().join(u'\n').toStdString();
    EXPECT_EQ(m_server.readFile("index.html"), euc(Page + QStringLiteral("臨時休業のご案内!")))
        << "EUC-JP with LF line ends";
    EXPECT_EQ(m_server.readFile("index.html.bak"), euc(Page)) << "the previous file is kept";
    EXPECT_FALSE(doc->isModified());
    ASSERT_TRUE(doc->serverStamp());
    EXPECT_EQ(doc->serverStamp()->size, m_server.readFile("index.html").size())
        << "the version it sent is the one later saves compare with";
}

TEST_F(MainTask, FailedDownloadOpensNoDocument) {
    m_transfer.write(QStringLiteral("missing.html"), "an older local copy");
    ASSERT_TRUE(openFromServer(QStringLiteral("other.txt"), QStringLiteral("missing.html"), true));
    EXPECT_EQ(m_app.mainFrame()->activeView(), nullptr);
    EXPECT_TRUE(m_app.mainFrame()->childFrames().isEmpty());
    EXPECT_EQ(m_prompt.texts().size(), 1) << "only the transfer's message";
    EXPECT_EQ(m_transfer.read(QStringLiteral("missing.html")), QByteArray("an older local copy"));
}

TEST_F(MainTask, SaveToServerUnderANewNameRenamesTheLocalCopy) {
    ASSERT_TRUE(openFromServer(QStringLiteral("index.html")));
    CVantorpadView* view = m_app.mainFrame()->activeView();
    ASSERT_NE(view, nullptr);
    whenModalShown([](QWidget* dialog) {
        auto* name = childNamed<QLineEdit>(dialog, "FileName");
        name->setText(QStringLiteral("top.html"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(m_app.mainFrame()->triggerCommand(CmdSaveToServer));
    EXPECT_EQ(m_server.readFile("top.html"), euc(Page));
    EXPECT_EQ(m_server.readFile("index.html"), euc(Page)) << "the old name stays on the server";
    EXPECT_TRUE(m_transfer.exists(QStringLiteral("top.html")));
    EXPECT_FALSE(m_transfer.exists(QStringLiteral("index.html")));
    EXPECT_EQ(view->doc()->fileName(), QStringLiteral("top.html"));
    EXPECT_TRUE(m_prompt.texts().isEmpty()) << m_prompt.texts().join(u'\n').toStdString();
}
