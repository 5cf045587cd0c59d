#include "ftp/CFtpClient.h"
#include "platform/ScopedOverride.h"
#include "settings/ServerProfile.h"
#include "transfer/CSaveSv.h"
#include "transfer/CServerDir.h"
#include "transfer/FileListView.h"

#include "FtpsServerFixture.h"
#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"
#include "SftpServerFixture.h"
#include "TransferWindowTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Chooses a line of a drop-down list as the user does.
void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// A transfer world whose profile 0 is plain FTP, 1 an FTPS server that demands TLS and 2 an
// SFTP server that takes only the key file (the password is the key's pass phrase, which the
// server would refuse as a password). Trust choices go to a directory of the test's own.
struct SecureWorld : TransferWorld {
    SecureWorld() : TransferWorld(CodeSystemSjis, QStringLiteral("/")), sftp(Phrase) {
        server.writeFile("plain.txt", "x");
        ftps.writeFile(QStringLiteral("over-tls.txt"), "x");
        QFile ssh(QDir(sftp.rootDir()).filePath(QStringLiteral("over-ssh.txt")));
        EXPECT_TRUE(ssh.open(QIODevice::WriteOnly) && ssh.write("x") == 1);
        settings.Profiles[1] = ftps.profile(); // its logon directory is its root
        settings.Profiles[2] = sftp.profile();
        settings.Profiles[2].KeyFile = sftp.clientKey();
        settings.Profiles[2].Passwd = Phrase;
    }

    static inline const QString Phrase = QStringLiteral("key phrase");
    FtpsServerFixture ftps;
    SftpServerFixture sftp;
    // A logon that took the profile for another protocol would wait for a reply that never
    // comes; it fails soon instead.
    ScopedOverride<FtpTimeouts> timeouts{CFtpClient::setDefaultTimeouts, FtpTimeouts{1000, 3, 3}};
};

} // namespace

TEST(ServerProfileSwitch, BothServerWindowsLogOnWithTheWholeChosenProfile) {
    SecureWorld world;
    FileListOrder listOrder{ColumnCount, NameColumn};
    const struct {
        int profile;
        const char* listed;
    } targets[] = {{1, "over-tls.txt"}, {2, "over-ssh.txt"}};
    for (bool transferWindow : {false, true}) {
        for (const auto& target : targets) {
            SCOPED_TRACE(QStringLiteral("%1 NO:%2")
                             .arg(QLatin1String(transferWindow ? "transfer window" : "open dialog"))
                             .arg(target.profile)
                             .toStdString());
            world.trust.restart();
            ScriptedPrompt prompt;
            prompt.expectQuestion(PromptAnswer::No); // trusted for this session
            QStringList listed;
            if (transferWindow) {
                auto window = world.open();
                ASSERT_EQ(paneNames(*window, CFtpDlg::ServerPane), utf8List({"plain.txt"}));
                choose(childNamed<QComboBox>(window.get(), "Profiles"), target.profile);
                listed = paneNames(*window, CFtpDlg::ServerPane);
            } else {
                ServerDialogContext context{world.settings, world.currentServer, false, listOrder,
                                            world.trust.trust()};
                CServerDir dialog(context, CServerDir::OpenMode);
                ASSERT_EQ(columnTexts(childNamed<FileListView>(&dialog, "List")),
                          utf8List({"plain.txt"}));
                choose(childNamed<QComboBox>(&dialog, "Profiles"), target.profile);
                listed = columnTexts(childNamed<FileListView>(&dialog, "List"));
            }
            EXPECT_EQ(listed, utf8List({target.listed}));
            ASSERT_EQ(prompt.shown().size(), 1) << prompt.texts().join(u'|').toStdString();
            // The trust question's buttons say what they do.
            const PromptChoices& asked = prompt.shown()[0].choices;
            EXPECT_EQ(QStringList({asked.yes, asked.no, asked.cancel}),
                      utf8List({"常に信頼する", "今回のみ信頼する", "接続しない"}));
        }
    }
}

TEST(ServerProfileSwitch, BrowsingFromTheSaveDialogKeepsTheDocumentsOwnProfile) {
    // Two stored profiles on the same host and directory: the document's is plain FTP, the
    // other SFTP. Browsing lists the document's server and changes only the directory.
    SftpServerFixture sftp;
    ServerDialogWorld world(CodeSystemSjis, QStringLiteral("/"));
    world.server.makeDir("news");
    world.settings.Profiles[1] = sftp.profile();
    world.settings.Profiles[1].Dir = QStringLiteral("/");
    world.currentServer = 1;
    const ServerProfile document = world.settings.Profiles[0];
    ScriptedPrompt prompt; // an SFTP logon would ask about the host key: no question is expected
    CSaveSv dialog(world.context, document, QStringLiteral("a.txt"));
    dialog.show();
    QComboBox* profiles = nullptr;
    whenModalShown([&](QWidget* list) {
        profiles = childNamed<QComboBox>(list, "Profiles");
        EXPECT_FALSE(profiles->isEnabled()) << "the document's profile cannot be switched here";
        clickLine(childNamed<FileListView>(list, "List"), QStringLiteral("news"));
        QTest::mouseClick(childNamed<QPushButton>(list, "Ok"), Qt::LeftButton);
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Browse")), Qt::LeftButton);
    ASSERT_NE(profiles, nullptr);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.findChild<QLineEdit*>(QStringLiteral("FileName"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ServerProfile expected = document;
    expected.Dir = QStringLiteral("/news");
    EXPECT_EQ(dialog.profile(), expected);
    EXPECT_EQ(world.currentServer, 0) << "the profile in use is the document's";
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
}
