#include "ftp/CFtpClient.h"
#include "options/CEditOpt.h"
#include "options/CFtpOpt.h"
#include "options/CNetOpt.h"
#include "options/COptionDlg.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/CServerTree.h"
#include "transfer/ServerDirTree.h"

#include "FtpServerFixture.h"
#include "OptionsTestSupport.h"
#include "ScriptedPrompt.h"
#include "TrustPlace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

const QString FieldsMissing = QStringLiteral("サーバ名、ユーザ、パスワードを入力して下さい。");

// The options dialog opened on the FTP tab, as a user reaches it.
class FtpPage : public ::testing::Test {
protected:
    void open(bool debugLog = false) {
        m_dialog = std::make_unique<COptionDlg>(m_settings, debugLog, m_trust.trust());
        m_dialog->tabs()->setCurrentIndex(COptionDlg::FtpTab);
        m_page = m_dialog->ftpPage();
    }
    template <typename T> T* field(const char* name) { return child<T>(m_page, name); }
    QLineEdit* edit(const char* name) { return field<QLineEdit>(name); }
    void ok() { child<QPushButton>(m_dialog.get(), "OK")->click(); }
    void cancel() { child<QPushButton>(m_dialog.get(), "Cancel")->click(); }
    // What the program's settings hold after the dialog closed.
    AppSettings outcome() {
        AppSettings live = m_settings;
        bool debugLog = false;
        m_dialog->applyTo(live, debugLog);
        return live;
    }

    ScriptedPrompt m_prompt;
    TrustPlace m_trust;
    AppSettings m_settings;
    std::unique_ptr<COptionDlg> m_dialog;
    CFtpOpt* m_page = nullptr;
};

} // namespace

TEST_F(FtpPage, IncompleteProfileStaysAsTypedAndOnlyClearEmptiesIt) {
    m_settings.Profiles[0].Server = QStringLiteral("a");
    m_settings.Profiles[0].User = QStringLiteral("u");
    m_settings.Profiles[0].Passwd = QStringLiteral("p");
    m_settings.Profiles[0].HisDir[0] = QStringLiteral("/kept");
    m_settings.Profiles[1].Server = QStringLiteral("b"); // no user, no password
    open();
    auto* profiles = field<QComboBox>("ProfileNo");
    retype(edit("Passwd"), QString());
    choose(profiles, 1);
    EXPECT_EQ(profiles->itemText(0), QStringLiteral("NO:0　【a】"));
    EXPECT_EQ(edit("Server")->text(), QStringLiteral("b"));
    m_dialog->tabs()->setCurrentIndex(COptionDlg::NetworkTab);
    m_dialog->tabs()->setCurrentIndex(COptionDlg::FtpTab);
    EXPECT_EQ(edit("Server")->text(), QStringLiteral("b")) << "a change of tab keeps the fields";
    choose(profiles, 0);
    EXPECT_EQ(edit("Server")->text(), QStringLiteral("a"));
    EXPECT_EQ(edit("User")->text(), QStringLiteral("u"));
    EXPECT_TRUE(m_prompt.shown().isEmpty()) << "storing an incomplete profile does not warn";

    // Used, it gives the message for the missing field.
    field<QPushButton>("Test")->click();
    EXPECT_EQ(m_prompt.texts(), QStringList{FieldsMissing});
    ok();
    EXPECT_EQ(outcome().Profiles[0].Server, QStringLiteral("a"));
    EXPECT_TRUE(outcome().Profiles[0].Passwd.isEmpty());
    EXPECT_EQ(outcome().Profiles[0].HisDir[0], QStringLiteral("/kept"));
    EXPECT_EQ(outcome().Profiles[1].Server, QStringLiteral("b"));

    open();
    field<QPushButton>("Clear")->click();
    ok();
    EXPECT_TRUE(outcome().Profiles[0].Server.isEmpty());
}

TEST_F(FtpPage, DefaultNumberNoProfileHasStaysAsReadUntilOneIsChosen) {
    m_settings.Profiles[2].Server = QStringLiteral("two");
    m_settings.DefaultNo = 7;
    for (bool confirm : {false, true}) {
        open(); // the first change of tab stores the profile and the default
        EXPECT_EQ(field<QComboBox>("DefaultNo")->currentIndex(), -1);
        m_dialog->tabs()->setCurrentIndex(COptionDlg::EditorTab);
        confirm ? ok() : cancel();
        EXPECT_EQ(outcome().DefaultNo, 7) << confirm;
    }
    open();
    choose(field<QComboBox>("DefaultNo"), 2);
    ok();
    EXPECT_EQ(outcome().DefaultNo, 2);
}

TEST_F(FtpPage, PortPastTheLastIsRefusedAsOutOfRange) {
    const QString outOfRange = QStringLiteral("ポート番号は 1～65535 の範囲で入力して下さい。");
    m_settings.Profiles[0].Server = QStringLiteral("127.0.0.1");
    m_settings.Profiles[0].User = QStringLiteral("u");
    m_settings.Profiles[0].Passwd = QStringLiteral("p");
    m_settings.Profiles[0].Port = 70000; // only an edited file holds such a port
    open();
    EXPECT_TRUE(m_prompt.shown().isEmpty()) << "showing the page refuses nothing";
    field<QPushButton>("Test")->click();
    EXPECT_EQ(m_prompt.texts(), QStringList{outOfRange}) << "no connection is tried";
    ok();
    EXPECT_EQ(m_prompt.texts(), QStringList({outOfRange, outOfRange}));
    EXPECT_NE(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(edit("Port")->text(), QStringLiteral("70000"));

    retype(edit("Port"), QStringLiteral("2121"));
    ok();
    EXPECT_EQ(outcome().Profiles[0].Port, 2121);
}

TEST_F(FtpPage, PortsOfZeroNegativeOrNoNumberShowAndStoreAsTwentyOne) {
    for (int i = 0; i < 3; ++i) {
        m_settings.Profiles[i].Server = QStringLiteral("h%1").arg(i);
        m_settings.Profiles[i].User = QStringLiteral("u");
        m_settings.Profiles[i].Passwd = QStringLiteral("p");
    }
    m_settings.Profiles[0].Port = 0; // as an INI value of "-5" or "x" reads
    open();
    EXPECT_EQ(edit("Port")->text(), QStringLiteral("21"));
    retype(edit("Port"), QStringLiteral("0"));
    choose(field<QComboBox>("ProfileNo"), 1);
    retype(edit("Port"), QStringLiteral("-5"));
    choose(field<QComboBox>("ProfileNo"), 2);
    retype(edit("Port"), QStringLiteral("ftp"));
    EXPECT_TRUE(edit("Port")->text().isEmpty()) << "letters cannot be typed";
    retype(edit("Port"), QStringLiteral("99999"));
    EXPECT_EQ(edit("Port")->text(), QStringLiteral("9999")) << "nor a number past the last port";
    retype(edit("Port"), QString());
    choose(field<QComboBox>("ProfileNo"), 0);
    EXPECT_EQ(edit("Port")->text(), QStringLiteral("21"));
    ok();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(outcome().Profiles[i].Port, 21) << i;
}

TEST_F(FtpPage, DefaultProfileIsRefusedUntilItsServerIsStored) {
    m_settings.Profiles[2].Server = QStringLiteral("stored");
    m_settings.Profiles[2].User = QStringLiteral("u");
    m_settings.Profiles[2].Passwd = QStringLiteral("p");
    m_settings.DefaultNo = 2;
    open();
    auto* defaults = field<QComboBox>("DefaultNo");
    EXPECT_EQ(defaults->currentIndex(), 2);

    choose(field<QComboBox>("ProfileNo"), 1);
    retype(edit("Server"), QStringLiteral("typed"));
    retype(edit("User"), QStringLiteral("u"));
    retype(edit("Passwd"), QStringLiteral("p"));
    choose(defaults, 1);
    EXPECT_EQ(defaults->currentIndex(), 2) << "typed is not stored";
    choose(defaults, 3);
    EXPECT_EQ(defaults->currentIndex(), 2) << "an empty profile";

    choose(field<QComboBox>("ProfileNo"), 0);
    choose(defaults, 1);
    EXPECT_EQ(defaults->currentIndex(), 1);
    ok();
    EXPECT_EQ(outcome().DefaultNo, 1);
    EXPECT_EQ(outcome().Profiles[1].Server, QStringLiteral("typed"));
}

TEST_F(FtpPage, CancelKeepsTheServerSettingsStoredAtTheLastTabChange) {
    m_settings.Profiles[3].Server = QStringLiteral("three");
    m_settings.Profiles[3].User = QStringLiteral("u");
    m_settings.Profiles[3].Passwd = QStringLiteral("p");
    m_settings.PcDir = QStringLiteral("/pc");
    const AppSettings before = m_settings;
    open();
    field<QCheckBox>("DefaultDisp")->click();
    field<QCheckBox>("FtpUse")->click();
    choose(field<QComboBox>("DefaultNo"), 3);
    choose(field<QComboBox>("ProfileNo"), 3);
    retype(edit("Server"), QStringLiteral("changed"));
    m_dialog->tabs()->setCurrentIndex(COptionDlg::NetworkTab);

    // Changes after the switch are not stored by anything but OK.
    m_dialog->tabs()->setCurrentIndex(COptionDlg::FtpTab);
    field<QCheckBox>("DefaultDisp")->click();
    retype(child<QLineEdit>(m_dialog->editorPage(), "PcDir"), QStringLiteral("/elsewhere"));
    cancel();

    AppSettings after = outcome();
    EXPECT_EQ(after.DefaultDisp, 0);
    EXPECT_EQ(after.DefaultNo, 3);
    EXPECT_EQ(after.FtpUse, 0);
    after.DefaultDisp = before.DefaultDisp;
    after.DefaultNo = before.DefaultNo;
    after.FtpUse = before.FtpUse;
    EXPECT_TRUE(after == before) << "nothing else changes on Cancel";
}

TEST_F(FtpPage, BackupModeSwitchesDeleteFirstOffAndOffersTheExtensions) {
    m_settings.Profiles[0] = ServerProfile{};
    m_settings.Profiles[0].Server = QStringLiteral("h");
    m_settings.Profiles[0].User = QStringLiteral("u");
    m_settings.Profiles[0].Passwd = QStringLiteral("p");
    m_settings.Profiles[1] = m_settings.Profiles[0];
    m_settings.Profiles[1].BackMode = 1;
    m_settings.Profiles[1].BackNo = 7;
    open();
    auto* backup = field<QCheckBox>("BackMode");
    auto* deleteFirst = field<QCheckBox>("SvDel");
    auto* extensions = field<QComboBox>("BackNo");
    EXPECT_TRUE(deleteFirst->isChecked());
    EXPECT_TRUE(deleteFirst->isEnabled());
    EXPECT_FALSE(extensions->isEnabled());

    backup->click();
    EXPECT_FALSE(deleteFirst->isChecked());
    EXPECT_FALSE(deleteFirst->isEnabled());
    EXPECT_TRUE(extensions->isEnabled());
    EXPECT_EQ(extensions->count(), 2);
    EXPECT_EQ(extensions->itemText(1), QStringLiteral(".old"));
    extensions->setCurrentIndex(1);
    backup->click();
    EXPECT_TRUE(deleteFirst->isEnabled());
    EXPECT_FALSE(deleteFirst->isChecked()) << "turning backups off does not tick it again";
    backup->click();

    choose(field<QComboBox>("ProfileNo"), 1);
    EXPECT_EQ(extensions->currentIndex(), -1) << "BackNo 7 selects nothing";
    EXPECT_FALSE(deleteFirst->isEnabled());
    ok();
    AppSettings after = outcome();
    EXPECT_EQ(after.Profiles[0].BackMode, 1);
    EXPECT_EQ(after.Profiles[0].SvDel, 0);
    EXPECT_EQ(after.Profiles[0].BackNo, 1);
    EXPECT_EQ(after.Profiles[0].BackExt, QStringLiteral(".old"));
    EXPECT_EQ(after.Profiles[1].BackNo, 0);
    EXPECT_EQ(after.Profiles[1].BackExt, QStringLiteral(".bak"));
}

TEST_F(FtpPage, ClearResetsTheControlsButNotTheWorkingCopy) {
    m_settings.Profiles[0].Server = QStringLiteral("h");
    m_settings.Profiles[0].User = QStringLiteral("u");
    m_settings.Profiles[0].Passwd = QStringLiteral("p");
    m_settings.Profiles[0].Dir = QStringLiteral("/www");
    m_settings.Profiles[0].Code = CodeSystemSjis;
    m_settings.Profiles[0].Port = 2121;
    m_settings.Profiles[0].NameSmall = 1;
    m_settings.Profiles[0].Update = 0;
    open();
    child<QPushButton>(m_page, "Clear")->click();
    EXPECT_TRUE(edit("Server")->text().isEmpty());
    EXPECT_TRUE(edit("Dir")->text().isEmpty());
    EXPECT_EQ(edit("Port")->text(), QStringLiteral("21"));
    EXPECT_TRUE(field<QRadioButton>("EUC")->isChecked());
    EXPECT_TRUE(field<QCheckBox>("Update")->isChecked());
    EXPECT_FALSE(field<QCheckBox>("NameSmall")->isChecked());
    EXPECT_FALSE(field<QCheckBox>("SvDel")->isChecked());
    EXPECT_EQ(m_page->workingCopy().profile(0).Server, QStringLiteral("h"));
    cancel();
    EXPECT_EQ(outcome().Profiles[0].Dir, QStringLiteral("/www"));
}

TEST_F(FtpPage, ConnectionTestUsesTheNetworkSettingsTheDialogStartedWith) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    m_settings.Profiles[1] = server.profile();
    m_settings.Network = server.network();
    open();
    // Edits on the network page take effect only after OK.
    m_dialog->tabs()->setCurrentIndex(COptionDlg::NetworkTab);
    child<QRadioButton>(m_dialog->networkPage(), "Proxy2")->click();
    retype(child<QLineEdit>(m_dialog->networkPage(), "Name"), QStringLiteral("127.0.0.1:1"));
    m_dialog->tabs()->setCurrentIndex(COptionDlg::FtpTab);

    choose(field<QComboBox>("ProfileNo"), 1);
    child<QPushButton>(m_page, "Test")->click();
    ASSERT_EQ(m_prompt.texts(), QStringList{QStringLiteral("通信テスト正常終了")});
    EXPECT_EQ(m_prompt.shown()[0].icon, PromptIcon::Information);
    EXPECT_TRUE(m_dialog->isEnabled());

    // The values in the controls are tested, not the stored ones.
    m_prompt.clear();
    retype(edit("Passwd"), QStringLiteral("wrong-secret"));
    child<QPushButton>(m_page, "Test")->click();
    ASSERT_EQ(m_prompt.texts().size(), 1);
    const QString failure = m_prompt.texts()[0];
    EXPECT_TRUE(failure.startsWith(QStringLiteral("FTPセッションでエラーになりました。")))
        << failure.toStdString();
    EXPECT_FALSE(failure.contains(QStringLiteral("wrong-secret")));
    EXPECT_EQ(m_prompt.shown()[0].icon, PromptIcon::Error);

    m_prompt.clear();
    retype(edit("Passwd"), QString());
    child<QPushButton>(m_page, "Test")->click();
    EXPECT_EQ(m_prompt.texts(), QStringList{FieldsMissing});
    EXPECT_EQ(m_page->workingCopy().profile(1).Passwd, server.password())
        << "a test stores nothing";
}

TEST_F(FtpPage, ConnectionTestAgainstAClosedPortReportsOnce) {
    FtpServerFixture server;
    ServerProfile closed = server.profile();
    closed.Port = 1;
    m_settings.Profiles[0] = closed;
    m_settings.Network = server.network();
    open();
    child<QPushButton>(m_page, "Test")->click();
    ASSERT_EQ(m_prompt.texts().size(), 1);
    EXPECT_FALSE(m_prompt.texts()[0].contains(QStringLiteral("通信テスト正常終了")));
    EXPECT_FALSE(m_prompt.texts()[0].contains(server.password()));
    EXPECT_TRUE(m_dialog->isEnabled());
}

TEST_F(FtpPage, BrowseTakesTheDirectoryChosenInTheServerTree) {
    FtpServerFixture server;
    ASSERT_TRUE(server.isRunning());
    server.makeDir("pub");
    server.makeDir("pub/docs");
    server.makeDir("www");
    m_settings.Profiles[0] = server.profile(CodeSystemSjis, QStringLiteral("/pub"));
    m_settings.Network = server.network();
    open();
    QString started;
    onNextModal<CServerTree>([&](CServerTree* tree) {
        QList<QTreeWidgetItem*> selected = tree->tree()->selectedItems();
        started = selected.isEmpty() ? QString() : tree->tree()->itemPath(selected.front());
        QList<QTreeWidgetItem*> www =
            tree->tree()->findItems(QStringLiteral("www"), Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(www.size(), 1);
        tree->tree()->setCurrentItem(www.front());
        tree->accept();
    });
    child<QPushButton>(m_page, "Browse")->click();
    EXPECT_EQ(started, QStringLiteral("/pub")) << "the tree opens at the field's directory";
    EXPECT_EQ(edit("Dir")->text(), QStringLiteral("/www"));
    EXPECT_TRUE(m_prompt.shown().isEmpty());

    onNextModal<CServerTree>([](CServerTree* tree) { tree->reject(); });
    child<QPushButton>(m_page, "Browse")->click();
    EXPECT_EQ(edit("Dir")->text(), QStringLiteral("/www")) << "Cancel keeps the field";

    retype(edit("User"), QString());
    child<QPushButton>(m_page, "Browse")->click();
    EXPECT_EQ(m_prompt.texts(), QStringList{FieldsMissing});
}

TEST_F(FtpPage, TheProtocolChoiceMovesADefaultPortAlongAndIsStoredWithTheKeyFile) {
    m_settings.Profiles[0].Server = QStringLiteral("h");
    m_settings.Profiles[0].User = QStringLiteral("u");
    m_settings.Profiles[0].Passwd = QStringLiteral("p");
    m_settings.Profiles[1] = m_settings.Profiles[0];
    m_settings.Profiles[1].Port = 2121; // a port of the user's own stays
    open();
    auto* protocol = field<QComboBox>("Protocol");
    EXPECT_FALSE(edit("KeyFile")->isEnabled());
    choose(protocol, ProtocolSftp);
    EXPECT_EQ(edit("Port")->text(), QStringLiteral("22"));
    EXPECT_TRUE(edit("KeyFile")->isEnabled());
    retype(edit("KeyFile"), QStringLiteral("/home/u/.ssh/id_ecdsa"));
    choose(field<QComboBox>("ProfileNo"), 1);
    choose(protocol, ProtocolFtps);
    EXPECT_EQ(edit("Port")->text(), QStringLiteral("2121"));
    retype(edit("Port"), QString()); // empty: the protocol's default
    choose(field<QComboBox>("ProfileNo"), 0);
    EXPECT_EQ(protocol->currentIndex(), ProtocolSftp);
    ok();
    const AppSettings saved = outcome();
    EXPECT_EQ(saved.Profiles[0].Protocol, ProtocolSftp);
    EXPECT_EQ(saved.Profiles[0].Port, 22);
    EXPECT_EQ(saved.Profiles[0].KeyFile, QStringLiteral("/home/u/.ssh/id_ecdsa"));
    EXPECT_EQ(saved.Profiles[1].Protocol, ProtocolFtps);
    EXPECT_EQ(saved.Profiles[1].Port, 21);
}

TEST_F(FtpPage, AProtocolTheBoxCannotShowIsKeptAndRefusedByTheConnectionTest) {
    FtpServerFixture server;
    m_settings.Profiles[0] = server.profile();
    m_settings.Profiles[0].Protocol = 7;
    m_settings.Profiles[1].Server = QStringLiteral("b");
    m_settings.Network = server.network();
    open();
    child<QPushButton>(m_page, "Test")->click();
    ASSERT_EQ(m_prompt.texts().size(), 1);
    EXPECT_TRUE(m_prompt.texts()[0].contains(QStringLiteral("(Protocol=7)")))
        << m_prompt.texts()[0].toStdString();
    choose(field<QComboBox>("ProfileNo"), 1);
    choose(field<QComboBox>("ProfileNo"), 0);
    ok();
    EXPECT_EQ(outcome().Profiles[0].Protocol, 7) << "never taken for plain FTP";
}

TEST_F(FtpPage, SafeUploadIsShownAndStoredPerProfile) {
    m_settings.Profiles[0].Server = QStringLiteral("a");
    m_settings.Profiles[1].Server = QStringLiteral("b");
    m_settings.Profiles[1].SafeUpload = 1;
    open();
    auto* safe = field<QCheckBox>("SafeUpload");
    EXPECT_FALSE(safe->isChecked());
    safe->click();
    choose(field<QComboBox>("ProfileNo"), 1);
    EXPECT_TRUE(safe->isChecked());
    safe->click();
    ok();
    AppSettings after = outcome();
    EXPECT_EQ(after.Profiles[0].SafeUpload, 1);
    EXPECT_EQ(after.Profiles[1].SafeUpload, 0);
}

TEST_F(FtpPage, UtfEightIsOneOfTheCodeSystems) {
    m_settings.Profiles[0].Server = QStringLiteral("a");
    m_settings.Profiles[0].Code = CodeSystemUtf8;
    m_settings.Profiles[1].Server = QStringLiteral("b");
    m_settings.Profiles[1].Code = CodeSystemSjis;
    open();
    EXPECT_TRUE(field<QRadioButton>("UTF8")->isChecked());
    choose(field<QComboBox>("ProfileNo"), 1);
    EXPECT_TRUE(field<QRadioButton>("SJIS")->isChecked());
    field<QRadioButton>("UTF8")->click();
    ok();
    AppSettings after = outcome();
    EXPECT_EQ(after.Profiles[0].Code, CodeSystemUtf8);
    EXPECT_EQ(after.Profiles[1].Code, CodeSystemUtf8);
}
