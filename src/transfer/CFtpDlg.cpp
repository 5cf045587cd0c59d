#include "transfer/CFtpDlg.h"

#include "ftp/CFtpClient.h"
#include "platform/Prompt.h"
#include "transfer/CFtpDlgBusy.h"
#include "transfer/FileListView.h"
#include "transfer/PcDirectory.h"
#include "transfer/ServerListLines.h"
#include "transfer/ServerPaths.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* toolButton(QWidget* parent, const char* name, int id, QStyle::StandardPixmap icon,
                        const QString& text) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("controlId", id);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolTip(text);
    return button;
}

void setId(QWidget* widget, const char* name, int id) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setProperty("controlId", id);
}

} // namespace

CFtpDlg::CFtpDlg(TransferWindowContext context, QWidget* parent)
    : CToolTipDialog(parent), m_context(std::move(context)) {
    setWindowTitle(QStringLiteral("ファイル転送"));
    // The window lives as long as the program; it never keeps the program running by itself.
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);
    m_profileNumber = std::clamp(m_context.currentServer, 0, AppSettings::ProfileCount - 1);
    m_profile = m_context.settings.Profiles[m_profileNumber];
    m_directoryBytes = ServerNames::directoryBytes(m_profile.Dir);
    m_pcPath = m_context.settings.PcDir;
    if (const QString canonical = PcDirectory::canonical(m_pcPath); !canonical.isEmpty())
        m_pcPath = canonical;

    buildControls();
    registerToolTipTexts();
    fillProfileBox();
    loadHistory();
    putIntoHistory(m_profile.Dir);
    fillDriveBox();
    connectControls();
    applyVisibility();
    resize(560, 640);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    m_client =
        CFtpClient::create(m_context.settings.Network, m_context.ftpDebugLog != 0, m_profile);
    if (!m_client)
        Prompt::error(
            QStringLiteral("%1 サーバとの通信確立に失敗しました。").arg(m_profile.Server));
    else if (m_context.settings.DefaultDisp != 0)
        fillServerPane();
    fillPcPane();
}

CFtpDlg::~CFtpDlg() {
    m_serverList->clearLines();
    m_pcList->clearLines();
    m_serverEntries.clear();
    m_pcEntries.clear();
    if (m_client)
        m_client->CloseSession();
    m_client.reset();
}

void CFtpDlg::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildServerRows());
    m_serverList = new FileListView(this);
    setId(m_serverList, "ServerList", 1130);
    layout->addWidget(m_serverList, 1);
    layout->addWidget(buildTransferRow());
    layout->addWidget(buildPcRows());
    m_pcList = new FileListView(this);
    setId(m_pcList, "PcList", 1178);
    layout->addWidget(m_pcList, 1);

    auto* bottom = new QHBoxLayout;
    m_hidden = new QCheckBox(QStringLiteral("隠しﾌｧｲﾙを表示する。"), this);
    setId(m_hidden, "ShowHidden", 1184);
    m_close = new QPushButton(QStringLiteral("閉じる"), this);
    setId(m_close, "Close", 2);
    m_close->setAutoDefault(false);
    bottom->addWidget(m_hidden);
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
}

QWidget* CFtpDlg::buildServerRows() {
    auto* rows = new QWidget(this);
    auto* layout = new QVBoxLayout(rows);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    m_profiles = new QComboBox(rows);
    setId(m_profiles, "Profiles", 1040);
    m_reload = new QPushButton(QStringLiteral("再読込"), rows);
    setId(m_reload, "Reload", CmdServerRefresh);
    m_reload->setAutoDefault(false);
    top->addWidget(new QLabel(QStringLiteral("ｻｰﾊﾞｰ"), rows));
    top->addWidget(m_profiles, 1);
    top->addWidget(m_reload);
    layout->addLayout(top);

    auto* directory = new QHBoxLayout;
    m_directories = new QComboBox(rows);
    setId(m_directories, "Directories", 1042);
    m_up = toolButton(rows, "Up", 1126, QStyle::SP_FileDialogToParent, QStringLiteral("↑"));
    m_delete =
        toolButton(rows, "Delete", CmdServerDelete, QStyle::SP_TrashIcon, QStringLiteral("削除"));
    m_rename = toolButton(rows, "Rename", CmdServerRename, QStyle::SP_FileDialogDetailedView,
                          QStringLiteral("名称変更"));
    m_makeDir = toolButton(rows, "MakeDir", CmdServerMakeDir, QStyle::SP_FileDialogNewFolder,
                           QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成"));
    directory->addWidget(new QLabel(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ"), rows));
    directory->addWidget(m_directories, 1);
    for (QToolButton* b : {m_up, m_delete, m_rename, m_makeDir})
        directory->addWidget(b);
    layout->addLayout(directory);
    return rows;
}

QWidget* CFtpDlg::buildTransferRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_upload = toolButton(row, "Upload", CmdUpload, QStyle::SP_ArrowUp, QStringLiteral("↑"));
    m_download =
        toolButton(row, "Download", CmdDownload, QStyle::SP_ArrowDown, QStringLiteral("↓"));
    for (QToolButton* b : {m_upload, m_download}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setMinimumWidth(64);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    auto* group = new QGroupBox(QStringLiteral("転送ﾓｰﾄﾞ"), row);
    auto* groupLayout = new QHBoxLayout(group);
    m_mode = new QComboBox(group);
    setId(m_mode, "TransferMode", 1193);
    m_mode->addItems({QStringLiteral("AUTO"), QStringLiteral("ASCII"), QStringLiteral("BINARY")});
    m_mode->setCurrentIndex(0);
    groupLayout->addWidget(m_mode);
    layout->addWidget(group);
    return row;
}

QWidget* CFtpDlg::buildPcRows() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_driveBox = new QComboBox(row);
    setId(m_driveBox, "Drives", 1181);
    m_driveBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pcPathEdit = new QLineEdit(row);
    setId(m_pcPathEdit, "PcPath", 1050);
    m_pcPathEdit->setReadOnly(true);
    layout->addWidget(new QLabel(QStringLiteral("ﾄﾞﾗｲﾌﾞ"), row));
    layout->addWidget(m_driveBox);
    layout->addWidget(m_pcPathEdit, 1);
    return row;
}

void CFtpDlg::registerToolTipTexts() {
    QHash<int, QString>& table = stringTable();
    const std::pair<int, const char16_t*> texts[] = {
        {1040, u"接続するサーバーを選択します。"},
        {1042, u"表示したディレクトリの履歴です。"},
        {1126, u"上のディレクトリへ移動します。"},
        {CmdServerDelete, u"選択したファイルをサーバから削除します。"},
        {CmdServerRename, u"選択したファイルの名称を変更します。"},
        {CmdServerMakeDir, u"サーバにディレクトリを作成します。"},
        {CmdServerRefresh, u"サーバの一覧を読み直します。"},
        {CmdUpload, u"選択したファイルをサーバへ送信します。"},
        {CmdDownload, u"選択したファイルをＰＣへ受信します。"},
        {1181, u"ドライブを選択します。"},
    };
    for (const auto& [id, text] : texts) {
        if (!table.contains(id))
            table.insert(id, QString::fromUtf16(text));
    }
}

void CFtpDlg::fillProfileBox() {
    m_profiles->clear();
    const auto& profiles = m_context.settings.Profiles;
    for (int i = 0; i < AppSettings::ProfileCount; ++i)
        m_profiles->addItem(ServerPaths::profileBoxLine(i, profiles[std::size_t(i)]));
    m_profiles->setCurrentIndex(m_profileNumber);
}

void CFtpDlg::fillDriveBox() {
    m_drives = m_context.drives ? m_context.drives() : DriveList::mounted();
    m_driveBox->clear();
    for (const DriveInfo& drive : m_drives)
        m_driveBox->addItem(DriveList::lineText(drive));
    m_driveNumber = DriveList::lineFor(m_drives, m_pcPath);
    m_driveBox->setCurrentIndex(m_driveNumber);
}

void CFtpDlg::loadHistory() {
    m_history.load(m_context.settings.Profiles[std::size_t(m_profileNumber)].HisDir);
    showHistory();
}

void CFtpDlg::showHistory() {
    m_directories->clear();
    m_directories->addItems(m_history.lines());
    m_directories->setCurrentIndex(m_history.currentIndex());
}

void CFtpDlg::putIntoHistory(const QString& directory) {
    if (m_history.put(directory) >= 0)
        showHistory();
}

void CFtpDlg::storeHistory() {
    m_history.storeInto(m_context.settings.Profiles[std::size_t(m_profileNumber)].HisDir);
}

void CFtpDlg::applyVisibility() {
    m_up->setVisible(m_profile.DirChg != 0);
    for (QToolButton* b : {m_delete, m_rename, m_makeDir})
        b->setVisible(m_profile.Special != 0);
}

void CFtpDlg::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        event->ignore();
        return;
    }
    storeHistory();
    event->accept(); // hidden, not destroyed: the next "FTP転送" shows it again
}

void CFtpDlg::reject() {
    if (m_busy)
        return;
    storeHistory();
    CToolTipDialog::reject();
}

FileListView* CFtpDlg::pane(Pane which) const {
    return which == ServerPane ? m_serverList : m_pcList;
}

int CFtpDlg::transferMode() const {
    return m_mode->currentIndex();
}
