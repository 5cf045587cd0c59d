#include "options/CEditOpt.h"
#include "options/CFtpOpt.h"
#include "options/CNetOpt.h"
#include "options/COptionDlg.h"
#include "options/CPcFilter.h"
#include "options/CSvFilter.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"

#include "OptionsTestSupport.h"
#include "ScriptedPrompt.h"
#include "TrustPlace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class OptionDialog : public ::testing::Test {
protected:
    void open(bool debugLog = false) {
        m_dialog = std::make_unique<COptionDlg>(m_settings, debugLog, m_trust.trust());
    }
    void ok() { child<QPushButton>(m_dialog.get(), "OK")->click(); }
    void cancel() { child<QPushButton>(m_dialog.get(), "Cancel")->click(); }
    QWidget* net() { return m_dialog->networkPage(); }

    ScriptedPrompt m_prompt;
    TrustPlace m_trust;
    AppSettings m_settings;
    std::unique_ptr<COptionDlg> m_dialog;
};

} // namespace

TEST_F(OptionDialog, FiveTabsInOrderStartingOnTheEditor) {
    open();
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("オプション設定"));
    QStringList texts;
    for (int i = 0; i < m_dialog->tabs()->count(); ++i)
        texts << m_dialog->tabs()->tabText(i);
    EXPECT_EQ(texts, QStringList({QStringLiteral("ｴﾃﾞｨﾀ"), QStringLiteral("PCﾌｨﾙﾀ"),
                                  QStringLiteral("Serverﾌｨﾙﾀ"), QStringLiteral("ＦＴＰ"),
                                  QStringLiteral("Network")}));
    EXPECT_EQ(m_dialog->tabs()->currentIndex(), COptionDlg::EditorTab);
    EXPECT_EQ(child<QPushButton>(m_dialog.get(), "Cancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
}

TEST_F(OptionDialog, ReturnInAFieldDoesNotCloseTheDialog) {
    open();
    m_dialog->show();
    QLineEdit* pcDir = child<QLineEdit>(m_dialog->editorPage(), "PcDir");
    pcDir->setFocus();
    QTest::keyClick(pcDir, Qt::Key_Return);
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    m_dialog->hide();
}

TEST_F(OptionDialog, FilterChecksStopOkOnTheTabShownAndPcFilterComesFirst) {
    open();
    m_dialog->tabs()->setCurrentIndex(COptionDlg::PcFilterTab);
    retype(child<QLineEdit>(m_dialog->pcFilterPage(), "Kind2"), QString());
    m_dialog->tabs()->setCurrentIndex(COptionDlg::ServerFilterTab);
    retype(child<QLineEdit>(m_dialog->serverFilterPage(), "Ext3"), QStringLiteral("txt"));
    m_dialog->tabs()->setCurrentIndex(COptionDlg::NetworkTab);
    child<QCheckBox>(net(), "Passive")->click();

    ok();
    EXPECT_EQ(m_prompt.texts(),
              QStringList{QStringLiteral("タイトルとファイル形式の両方を入力して下さい。")});
    EXPECT_EQ(m_prompt.shown()[0].icon, PromptIcon::Error);
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(m_dialog->tabs()->currentIndex(), COptionDlg::NetworkTab);
    EXPECT_EQ(m_dialog->settings().Network.Passive, 0) << "nothing written back";

    m_prompt.clear();
    retype(child<QLineEdit>(m_dialog->pcFilterPage(), "Kind2"), QStringLiteral("*.csv"));
    ok();
    EXPECT_EQ(m_prompt.texts(), QStringList{QStringLiteral(
                                    "拡張子３は、ピリオド（．）で始まる文字列を入力して下さい。")});
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);

    m_prompt.clear();
    retype(child<QLineEdit>(m_dialog->serverFilterPage(), "Ext3"), QStringLiteral(".txt"));
    ok();
    EXPECT_TRUE(m_prompt.shown().isEmpty());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->settings().Ext[2], QStringLiteral(".txt"));
    EXPECT_EQ(m_dialog->settings().Network.Passive, 1);
}

TEST_F(OptionDialog, EmptyLocalDirectoryIsStoredAsDotButAnEmptyTransferDirectoryStaysEmpty) {
    m_settings.PcDir = QStringLiteral("/pc");
    m_settings.TranDir = QStringLiteral("/tran");
    open();
    retype(child<QLineEdit>(m_dialog->editorPage(), "PcDir"), QString());
    m_dialog->tabs()->setCurrentIndex(COptionDlg::FtpTab);
    EXPECT_EQ(m_dialog->editorPage()->values().PcDir, QStringLiteral("."));
    m_dialog->tabs()->setCurrentIndex(COptionDlg::EditorTab);
    retype(child<QLineEdit>(m_dialog->editorPage(), "TranDir"), QString());
    ok();
    EXPECT_EQ(m_dialog->settings().PcDir, QStringLiteral("."));
    EXPECT_EQ(m_dialog->settings().TranDir, QString());
}

TEST_F(OptionDialog, UnknownProxyModeShowsTheSystemSettingsAndIsSavedAsZero) {
    m_settings.Network.Proxy = 5;
    m_settings.Network.Name = QStringLiteral("old-proxy");
    m_settings.Network.List = 2;
    open();
    EXPECT_TRUE(child<QRadioButton>(net(), "Proxy0")->isChecked());
    EXPECT_TRUE(child<QLineEdit>(net(), "Name")->text().isEmpty());
    EXPECT_FALSE(child<QLineEdit>(net(), "Name")->isEnabled());
    QComboBox* list = child<QComboBox>(net(), "List");
    EXPECT_TRUE(list->isHidden());
    EXPECT_EQ(list->currentIndex(), -1);
    ok();
    EXPECT_EQ(m_dialog->settings().Network.Proxy, 0);
    EXPECT_TRUE(m_dialog->settings().Network.Name.isEmpty());
    EXPECT_EQ(m_dialog->settings().Network.List, -1);

    m_settings.Network = NetworkSettings{};
    m_settings.Network.List = 1;
    open();
    ok();
    EXPECT_EQ(m_dialog->settings().Network.List, 1) << "the hidden list carries the method";
}

TEST_F(OptionDialog, ProxyButtonShowsThePageValuesAgain) {
    m_settings.Network.Proxy = 2;
    m_settings.Network.Name = QStringLiteral("proxy.example.jp:8080");
    open();
    m_dialog->tabs()->setCurrentIndex(COptionDlg::NetworkTab);
    QLineEdit* name = child<QLineEdit>(net(), "Name");
    EXPECT_TRUE(name->isEnabled());
    EXPECT_EQ(name->text(), QStringLiteral("proxy.example.jp:8080"));

    child<QRadioButton>(net(), "Proxy1")->click();
    EXPECT_TRUE(name->text().isEmpty());
    EXPECT_FALSE(name->isEnabled());
    child<QRadioButton>(net(), "Proxy2")->click();
    EXPECT_TRUE(name->text().isEmpty());
    EXPECT_TRUE(name->isEnabled());

    QCheckBox* passive = child<QCheckBox>(net(), "Passive");
    passive->click();
    retype(name, QStringLiteral("typed:3128"));
    EXPECT_TRUE(passive->isChecked());
    child<QRadioButton>(net(), "Proxy2")->click();
    EXPECT_FALSE(passive->isChecked()) << "the click shows the page's values again";
    EXPECT_TRUE(name->text().isEmpty());

    retype(name, QStringLiteral("kept:3128"));
    child<QCheckBox>(net(), "SpDelim")->click();
    child<QCheckBox>(net(), "Raw")->click();
    ok();
    const NetworkSettings& saved = m_dialog->settings().Network;
    EXPECT_EQ(saved.Proxy, 2);
    EXPECT_EQ(saved.Name, QStringLiteral("kept:3128"));
    EXPECT_EQ(saved.Passive, 0);
    EXPECT_EQ(saved.SpDelim, 1);
    EXPECT_EQ(saved.Raw, 1);
}

TEST_F(OptionDialog, DebugLogSwitchGoesToTheApplicationOnlyOnOk) {
    const AppSettings before = m_settings;
    for (bool confirm : {false, true}) {
        open(0);
        m_dialog->tabs()->setCurrentIndex(COptionDlg::NetworkTab);
        child<QCheckBox>(net(), "DebugLog")->click();
        confirm ? ok() : cancel();
        AppSettings live = before;
        bool debugLog = false;
        m_dialog->applyTo(live, debugLog);
        EXPECT_EQ(debugLog, confirm);
        EXPECT_EQ(live.Network, before.Network) << "the switch is no setting";
    }
    open(1);
    EXPECT_TRUE(child<QCheckBox>(net(), "DebugLog")->isChecked());
}

TEST_F(OptionDialog, RunWritesEveryPageOnOkAndOnlyTheServerSettingsOnCancel) {
    m_settings.Profiles[1].Server = QStringLiteral("one");
    AppSettings live = m_settings;
    bool debugLog = false;
    onNextModal<COptionDlg>([](COptionDlg* dialog) {
        child<QCheckBox>(dialog->editorPage(), "WordWrap")->click();
        dialog->tabs()->setCurrentIndex(COptionDlg::FtpTab);
        child<QCheckBox>(dialog->ftpPage(), "FtpUse")->click();
        dialog->tabs()->setCurrentIndex(COptionDlg::EditorTab);
        dialog->reject();
    });
    EXPECT_FALSE(COptionDlg::Run(live, debugLog, m_trust.trust(), nullptr));
    EXPECT_EQ(live.WordWrap, 0);
    EXPECT_EQ(live.FtpUse, 0);
    EXPECT_EQ(live.Profiles[1].Server, QStringLiteral("one"));

    onNextModal<COptionDlg>([](COptionDlg* dialog) {
        child<QCheckBox>(dialog->editorPage(), "WordWrap")->click();
        child<QPushButton>(dialog, "OK")->click();
    });
    EXPECT_TRUE(COptionDlg::Run(live, debugLog, m_trust.trust(), nullptr));
    EXPECT_EQ(live.WordWrap, 1);
}

TEST_F(OptionDialog, TextTheSettingsFileCannotHoldIsRefusedNamingItsFieldAndStaysAsTyped) {
    enum Trigger { TabChange, ProfileSwitch, Ok };
    struct Case {
        COptionDlg::Tab tab;
        const char* field;
        const char* label;
        Trigger trigger;
    };
    const Case cases[] = {
        {COptionDlg::EditorTab, "PcDir", "ローカルDir", TabChange},
        {COptionDlg::FtpTab, "Dir", "ＦＴＰ　Ｄｉｒ", TabChange},
        {COptionDlg::FtpTab, "Passwd", "ＦＴＰパスワード", ProfileSwitch},
        {COptionDlg::PcFilterTab, "Title1", "ファイルの種類１のタイトル", Ok},
        {COptionDlg::ServerFilterTab, "Ext3", "拡張子３", Ok},
        {COptionDlg::NetworkTab, "Name", "プロクシ名", Ok},
    };
    // A character the file lacks, and more bytes than a value holds in fewer characters; the
    // second one's corrected text is as long as a value may be.
    struct Fault {
        QString bad;
        QString message;
        QString corrected;
    };
    const Fault faults[] = {
        {QStringLiteral(".josé"), QStringLiteral(" に使用出来ない文字が含まれています。"),
         QStringLiteral(".jose")},
        {u'.' + QString(128, u'あ'),
         QStringLiteral(" は半角255文字（全角127文字）以内で入力して下さい。"),
         u'.' + QString(127, u'あ')},
    };
    std::vector<std::pair<Case, Fault>> runs;
    for (const Case& c : cases)
        for (const Fault& fault : faults)
            runs.emplace_back(c, fault);
    m_settings.Network.Proxy = 2; // the proxy name can be typed
    for (const auto& [c, fault] : runs) {
        SCOPED_TRACE(c.field);
        m_prompt.clear();
        open();
        QTabWidget* tabs = m_dialog->tabs();
        tabs->setCurrentIndex(c.tab);
        auto* edit = child<QLineEdit>(tabs->widget(c.tab), c.field);
        const QString& bad = fault.bad;
        edit->selectAll();
        edit->insert(bad); // as pasted: key clicks carry ASCII only
        auto trigger = [&] {
            if (c.trigger == TabChange)
                tabs->setCurrentIndex(c.tab == COptionDlg::EditorTab ? COptionDlg::NetworkTab
                                                                     : COptionDlg::EditorTab);
            else if (c.trigger == ProfileSwitch)
                choose(child<QComboBox>(m_dialog->ftpPage(), "ProfileNo"), 1);
            else {
                tabs->setCurrentIndex(COptionDlg::EditorTab); // OK shows the field's page
                ok();
            }
        };
        trigger();
        EXPECT_EQ(m_prompt.texts(), QStringList{QString::fromUtf8(c.label) + fault.message});
        EXPECT_EQ(tabs->currentIndex(), c.tab);
        EXPECT_EQ(edit->text(), bad);
        EXPECT_EQ(child<QComboBox>(m_dialog->ftpPage(), "ProfileNo")->currentIndex(), 0);
        EXPECT_NE(m_dialog->result(), QDialog::Accepted);

        edit->selectAll();
        edit->insert(fault.corrected);
        trigger();
        ok();
        EXPECT_EQ(m_prompt.texts().size(), 1) << "the corrected text passes";
        EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    }
}
