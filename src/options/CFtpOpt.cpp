#include "options/CFtpOpt.h"

#include "ftp/CFtpClient.h"
#include "platform/BusyGuard.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/CServerTree.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {

const QString LogOnFieldsMissing = QStringLiteral("サーバ名、ユーザ、パスワードを入力して下さい。");
const QString PortOutOfRange = QStringLiteral("ポート番号は 1～65535 の範囲で入力して下さい。");

// A port is typed as a whole number; 0 or a negative number stands for the default port, and
// nothing above the largest port can be typed.
class PortValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        QString digits = input.startsWith(u'-') ? input.mid(1) : input;
        if (digits.isEmpty())
            return Intermediate;
        if (digits.size() > 5)
            return Invalid;
        for (QChar c : digits)
            if (c < u'0' || c > u'9')
                return Invalid;
        if (!input.startsWith(u'-') && !ProfileWorkingCopy::portInRange(digits.toInt()))
            return Invalid;
        return Acceptable;
    }
};

// The wait cursor, and the dialog taking no other command until the server has answered: the
// FTP layer lets the event loop run while it waits.
class ServerTaskGuard {
public:
    explicit ServerTaskGuard(QWidget* window) : m_window(window) { m_window->setEnabled(false); }
    ~ServerTaskGuard() {
        if (m_window)
            m_window->setEnabled(true);
    }
    ServerTaskGuard(const ServerTaskGuard&) = delete;
    ServerTaskGuard& operator=(const ServerTaskGuard&) = delete;

private:
    BusyGuard m_busy;
    QPointer<QWidget> m_window;
};

int portOfText(const QString& text) {
    bool ok = false;
    int port = text.trimmed().toInt(&ok);
    return ok ? port : 0;
}

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

CFtpOpt::CFtpOpt(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    m_profileBox = named(new QComboBox(this), "ProfileNo");
    auto* clear = named(new QPushButton(QStringLiteral("ｸﾘｱ"), this), "Clear");
    top->addWidget(new QLabel(QStringLiteral("設定ＮＯ："), this));
    top->addWidget(m_profileBox, 1);
    top->addWidget(clear);
    layout->addLayout(top);

    auto* grid = new QGridLayout;
    m_server = named(new QLineEdit(this), "Server");
    m_port = named(new QLineEdit(this), "Port");
    m_port->setValidator(new PortValidator(m_port));
    m_port->setMaximumWidth(70);
    m_user = named(new QLineEdit(this), "User");
    m_passwd = named(new QLineEdit(this), "Passwd");
    m_passwd->setEchoMode(QLineEdit::Password);
    auto* test = named(new QPushButton(QStringLiteral("通信\nﾃｽﾄ"), this), "Test");
    m_dir = named(new QLineEdit(this), "Dir");
    auto* browse = named(new QPushButton(QStringLiteral("参照"), this), "Browse");
    grid->addWidget(new QLabel(QStringLiteral("サーバ名称"), this), 0, 0);
    grid->addWidget(m_server, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("ポート番号"), this), 0, 2);
    grid->addWidget(m_port, 0, 3);
    m_protocol = named(new QComboBox(this), "Protocol");
    m_protocol->addItems({QStringLiteral("FTP"), QStringLiteral("FTPS"), QStringLiteral("SFTP")});
    m_protocol->setToolTip(
        QStringLiteral("FTPS: 暗号化(AUTH TLS)したFTP　SFTP: SSHのファイル転送"));
    m_defaultPort = new QLabel(QStringLiteral("ﾃﾞﾌｫﾙﾄ=21"), this);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_protocol);
    portRow->addWidget(m_defaultPort);
    grid->addLayout(portRow, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("ＦＴＰユーザ名"), this), 1, 0);
    grid->addWidget(m_user, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("ＦＴＰパスワード"), this), 2, 0);
    grid->addWidget(m_passwd, 2, 1);
    grid->addWidget(test, 1, 2, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("ＦＴＰ　Ｄｉｒ"), this), 3, 0);
    grid->addWidget(m_dir, 3, 1, 1, 3);
    grid->addWidget(browse, 3, 4);
    m_keyFile = named(new QLineEdit(this), "KeyFile");
    m_keyFile->setPlaceholderText(QStringLiteral("SFTP: 空欄ならパスワードでログオン"));
    grid->addWidget(new QLabel(QStringLiteral("秘密鍵ファイル"), this), 4, 0);
    grid->addWidget(m_keyFile, 4, 1, 1, 3);
    layout->addLayout(grid);

    auto* code = new QGroupBox(QStringLiteral("コード体系"), this);
    auto* codeRow = new QHBoxLayout(code);
    m_euc = named(new QRadioButton(QStringLiteral("EUC"), code), "EUC");
    m_sjis = named(new QRadioButton(QStringLiteral("SJIS"), code), "SJIS");
    m_utf8 = named(new QRadioButton(QStringLiteral("UTF-8"), code), "UTF8");
    codeRow->addWidget(m_euc);
    codeRow->addWidget(m_sjis);
    codeRow->addWidget(m_utf8);
    codeRow->addStretch();
    layout->addWidget(code);

    auto check = [this](const char* text, const char* name) {
        return named(new QCheckBox(QString::fromUtf8(text), this), name);
    };
    m_update = check("サーバ更新を許可する", "Update");
    m_dirChg = check("ディレクトリ変更を許可する", "DirChg");
    m_special = check("削除／名称変更／DIR作成を許可する", "Special");
    m_backMode = check("サーバ保存時Backupを作成する", "BackMode");
    m_backExt = named(new QComboBox(this), "BackNo");
    m_backExt->addItems(BackupExtensions());
    m_svDel = check("サーバ保存時既存ファイルを削除後、更新する", "SvDel");
    m_nameSmall = check("送受信ファイル名を全て小文字に変換する。", "NameSmall");
    m_safeUpload = check("アップロード時一時ファイルに送信後、名称変更する", "SafeUpload");
    layout->addWidget(m_update);
    layout->addWidget(m_dirChg);
    layout->addWidget(m_special);
    auto* backupRow = new QHBoxLayout;
    backupRow->addWidget(m_backMode);
    backupRow->addWidget(m_backExt);
    backupRow->addStretch();
    layout->addLayout(backupRow);
    layout->addWidget(m_svDel);
    layout->addWidget(m_nameSmall);
    layout->addWidget(m_safeUpload);

    auto* general = new QGroupBox(this);
    auto* generalLayout = new QVBoxLayout(general);
    auto* defaultRow = new QHBoxLayout;
    m_defaultBox = named(new QComboBox(general), "DefaultNo");
    defaultRow->addWidget(new QLabel(QStringLiteral("デフォルト設定ＮＯ："), general));
    defaultRow->addWidget(m_defaultBox, 1);
    generalLayout->addLayout(defaultRow);
    m_defaultDispBox =
        named(new QCheckBox(QStringLiteral("一覧表示時、初期接続を行う"), general), "DefaultDisp");
    m_ftpUseBox = named(new QCheckBox(QStringLiteral("FTPを使用可能にする"), general), "FtpUse");
    generalLayout->addWidget(m_defaultDispBox);
    generalLayout->addWidget(m_ftpUseBox);
    layout->addWidget(general);
    layout->addStretch();

    connect(m_profileBox, &QComboBox::activated, this, &CFtpOpt::profileChosen);
    connect(m_defaultBox, &QComboBox::activated, this, &CFtpOpt::defaultChosen);
    connect(clear, &QPushButton::clicked, this, &CFtpOpt::clearProfile);
    connect(m_backMode, &QCheckBox::clicked, this, &CFtpOpt::applyBackupRule);
    connect(test, &QPushButton::clicked, this, &CFtpOpt::testConnection);
    connect(browse, &QPushButton::clicked, this, &CFtpOpt::chooseServerDirectory);
    connect(m_protocol, &QComboBox::activated, this, &CFtpOpt::protocolChosen);
}

void CFtpOpt::protocolChosen(int protocol) {
    // A port left at the old protocol's default follows the new one.
    const int shown = portOfText(m_port->text());
    if (shown <= 0 || shown == defaultPortOf(m_fields.Protocol))
        m_port->setText(QString::number(defaultPortOf(protocol)));
    m_fields.Protocol = protocol;
    showProtocol();
}

void CFtpOpt::showProtocol() {
    m_protocol->setCurrentIndex(m_fields.Protocol);
    m_defaultPort->setText(QStringLiteral("ﾃﾞﾌｫﾙﾄ=%1").arg(defaultPortOf(m_fields.Protocol)));
    m_keyFile->setEnabled(m_fields.Protocol == ProtocolSftp);
}

void CFtpOpt::load(AppSettings& settings, bool ftpDebugLog, ServerTrust& trust) {
    m_settings = &settings;
    m_network = settings.Network;
    m_debugLog = ftpDebugLog;
    m_trust = &trust;
    m_copy = ProfileWorkingCopy(settings.Profiles, settings.DefaultNo);
    m_profileBox->clear();
    m_defaultBox->clear();
    for (int i = 0; i < AppSettings::ProfileCount; ++i) {
        m_profileBox->addItem(m_copy.itemText(i));
        m_defaultBox->addItem(m_copy.itemText(i));
    }
    m_profileBox->setCurrentIndex(0);
    m_defaultDisp = settings.DefaultDisp;
    m_defaultDispBox->setChecked(m_defaultDisp != 0);
    m_defaultBox->setCurrentIndex(m_copy.defaultProfile());
    m_ftpUse = settings.FtpUse;
    m_ftpUseBox->setChecked(m_ftpUse != 0);
    LoadProfile(0);
}

void CFtpOpt::LoadProfile(int index) {
    m_fields = m_copy.load(index);
    showFields();
}

void CFtpOpt::showFields() {
    const ProfileFields& f = m_fields;
    m_server->setText(f.Server);
    m_port->setText(QString::number(f.Port));
    m_keyFile->setText(f.KeyFile);
    showProtocol();
    m_user->setText(f.User);
    m_passwd->setText(f.Passwd);
    m_dir->setText(f.Dir);
    const int code = codeSystemIndex(f.Code);
    (code == CodeSystemUtf8 ? m_utf8 : code == CodeSystemSjis ? m_sjis : m_euc)->setChecked(true);
    m_update->setChecked(f.Update != 0);
    m_dirChg->setChecked(f.DirChg != 0);
    m_special->setChecked(f.Special != 0);
    m_backMode->setChecked(f.BackMode != 0);
    m_backExt->setCurrentIndex(f.BackNo);
    m_nameSmall->setChecked(f.NameSmall != 0);
    m_svDel->setChecked(f.SvDel != 0);
    m_safeUpload->setChecked(f.SafeUpload != 0);
    m_svDel->setEnabled(f.deleteFirstEnabled());
    m_backExt->setEnabled(f.extensionListEnabled());
}

void CFtpOpt::takeControls() {
    ProfileFields& f = m_fields;
    f.Server = m_server->text();
    f.Port = portOfText(m_port->text());
    // A value the box cannot show (an edited INI file) stays as it was read, so that the logon
    // refuses it rather than taking it for plain FTP.
    if (m_protocol->currentIndex() >= 0)
        f.Protocol = m_protocol->currentIndex();
    f.KeyFile = m_keyFile->text();
    f.User = m_user->text();
    f.Passwd = m_passwd->text();
    f.Dir = m_dir->text();
    f.Code = m_utf8->isChecked()   ? CodeSystemUtf8
             : m_sjis->isChecked() ? CodeSystemSjis
                                   : CodeSystemEuc;
    f.Update = m_update->isChecked() ? 1 : 0;
    f.DirChg = m_dirChg->isChecked() ? 1 : 0;
    f.Special = m_special->isChecked() ? 1 : 0;
    f.BackMode = m_backMode->isChecked() ? 1 : 0;
    f.BackNo = m_backExt->currentIndex();
    f.NameSmall = m_nameSmall->isChecked() ? 1 : 0;
    f.SvDel = m_svDel->isChecked() ? 1 : 0;
    f.SafeUpload = m_safeUpload->isChecked() ? 1 : 0;
    m_defaultDisp = m_defaultDispBox->isChecked() ? 1 : 0;
    m_ftpUse = m_ftpUseBox->isChecked() ? 1 : 0;
}

void CFtpOpt::StoreProfile() {
    m_fields = m_copy.store(m_fields);
    showFields();
    if (!m_settings)
        return;
    m_settings->DefaultDisp = m_defaultDisp;
    m_settings->DefaultNo = m_copy.defaultProfile();
    m_settings->FtpUse = m_ftpUse;
}

void CFtpOpt::store(AppSettings& settings) const {
    settings.Profiles = m_copy.profiles();
}

void CFtpOpt::clearProfile() {
    m_fields = ProfileFields::cleared();
    showFields();
}

void CFtpOpt::applyBackupRule() {
    takeControls();
    m_fields.applyBackupRule();
    showFields();
}

void CFtpOpt::profileChosen(int index) {
    // Picking the profile that is already shown changes nothing.
    if (index == m_copy.shownProfile())
        return;
    takeControls();
    if (index < 0 || !fieldsUsable(PortCheck::Skip)) {
        m_profileBox->setCurrentIndex(m_copy.shownProfile());
        return;
    }
    const int stored = m_copy.shownProfile();
    StoreProfile();
    m_profileBox->setItemText(stored, m_copy.itemText(stored));
    m_profileBox->setCurrentIndex(index);
    LoadProfile(index);
}

void CFtpOpt::defaultChosen(int index) {
    takeControls();
    if (!m_copy.chooseDefault(index))
        m_defaultBox->setCurrentIndex(m_copy.defaultProfile());
}

ServerProfile CFtpOpt::profileOfFields() const {
    // The profile as storing the controls would make it: a field the controls do not show is
    // the stored profile's, and none is left behind.
    return m_copy.withFields(m_fields);
}

bool CFtpOpt::checkLogOnFields() const {
    if (m_fields.canLogOn())
        return true;
    Prompt::error(LogOnFieldsMissing);
    return false;
}

QList<PageText> CFtpOpt::texts() const {
    return {{QStringLiteral("サーバ名称"), m_fields.Server, m_server},
            {QStringLiteral("ＦＴＰユーザ名"), m_fields.User, m_user},
            {QStringLiteral("ＦＴＰパスワード"), m_fields.Passwd, m_passwd},
            {QStringLiteral("ＦＴＰ　Ｄｉｒ"), m_fields.Dir, m_dir},
            {QStringLiteral("秘密鍵ファイル"), m_fields.KeyFile, m_keyFile}};
}

QWidget* CFtpOpt::refusePortOutOfRange() {
    if (ProfileWorkingCopy::portInRange(m_fields.Port))
        return nullptr;
    Prompt::error(PortOutOfRange);
    return m_port;
}

bool CFtpOpt::fieldsUsable(PortCheck port) {
    QWidget* refused = refuseUnstorableText(texts());
    if (!refused && port == PortCheck::Check)
        refused = refusePortOutOfRange();
    if (refused)
        refused->setFocus();
    return refused == nullptr;
}

void CFtpOpt::testConnection() {
    takeControls();
    if (!checkLogOnFields() || !fieldsUsable(PortCheck::Check) || m_profileBox->currentIndex() < 0)
        return;
    ServerTaskGuard busy(window());
    std::unique_ptr<CFtpClient> client =
        CFtpClient::create(m_network, m_debugLog, profileOfFields(), *m_trust);
    if (client->OpenSession().ok()) {
        Prompt::information(QStringLiteral("通信テスト正常終了"));
        client->CloseSession();
    }
}

void CFtpOpt::chooseServerDirectory() {
    takeControls();
    if (!checkLogOnFields() || !fieldsUsable(PortCheck::Check))
        return;
    {
        std::unique_ptr<CFtpClient> client =
            CFtpClient::create(m_network, m_debugLog, profileOfFields(), *m_trust);
        std::unique_ptr<CServerTree> tree;
        {
            // The tree logs on and lists the start directory before it shows.
            BusyGuard busy;
            tree = std::make_unique<CServerTree>(*client, m_fields.Dir, m_fields.Code,
                                                 m_network.SpDelim != 0, window());
        }
        if (tree->exec() == QDialog::Accepted)
            m_fields.Dir = tree->directory();
    }
    showFields();
}
