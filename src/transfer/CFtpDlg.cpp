#include "transfer/CFtpDlg.h"

#include "ftp/CFtpClient.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/CFtpDlgBusy.h"
#include "transfer/FileListView.h"
#include "transfer/PcDirectory.h"
#include "transfer/ServerBrowser.h"
#include "transfer/ServerListLines.h"
#include "transfer/ServerPaths.h"
#include "transfer/TransferRules.h"
#include "widgets/DialogButtons.h"

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

CFtpDlg::CFtpDlg(TransferWindowContext context, QWidget* parent)
    : CToolTipDialog(parent), m_context(std::move(context)) {
    setWindowTitle(QStringLiteral("ファイル転送"));
    // The window lives as long as the program; it never keeps the program running by itself.
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);
    m_pcPath = m_context.settings.PcDir;
    if (const QString canonical = PcDirectory::canonical(m_pcPath); !canonical.isEmpty())
        m_pcPath = canonical;

    buildControls();
    registerToolTipTexts();
    fillDriveBox();
    connectControls();
    resize(560, 640);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    if (m_server->client() && m_context.settings.DefaultDisp != 0)
        fillServerPane();
    fillPcPane();
}

CFtpDlg::~CFtpDlg() {
    m_pcList->clearLines();
    m_pcEntries.clear();
}

void CFtpDlg::buildControls() {
    auto* layout = new QVBoxLayout(this);
    ServerBrowser::Options options;
    options.upAtRootLists = true; // "↑" on "/" reads "/" again
    m_server = new ServerBrowser(m_context.settings, m_context.ftpDebugLog, m_context.serverTrust,
                                 m_context.currentServer, m_busy, options, this);
    layout->addWidget(m_server, 1);
    layout->addWidget(buildTransferRow());
    layout->addWidget(buildPcRows());
    m_pcList = new FileListView(this);
    setControlId(m_pcList, "PcList", 1178);
    layout->addWidget(m_pcList, 1);

    auto* bottom = new QHBoxLayout;
    m_hidden = new QCheckBox(QStringLiteral("隠しﾌｧｲﾙを表示する。"), this);
    setControlId(m_hidden, "ShowHidden", 1184);
    m_close = new QPushButton(QStringLiteral("閉じる"), this);
    setControlId(m_close, "Close", 2);
    m_close->setAutoDefault(false);
    bottom->addWidget(m_hidden);
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
}

QWidget* CFtpDlg::buildTransferRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_upload = makeToolButton(row, "Upload", CmdUpload, QStyle::SP_ArrowUp, QStringLiteral("↑"));
    m_download =
        makeToolButton(row, "Download", CmdDownload, QStyle::SP_ArrowDown, QStringLiteral("↓"));
    for (QToolButton* b : {m_upload, m_download}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setMinimumWidth(64);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    auto* group = new QGroupBox(QStringLiteral("転送ﾓｰﾄﾞ"), row);
    auto* groupLayout = new QHBoxLayout(group);
    m_mode = new QComboBox(group);
    setControlId(m_mode, "TransferMode", 1193);
    m_mode->addItems({QStringLiteral("AUTO"), QStringLiteral("ASCII"), QStringLiteral("BINARY")});
    m_mode->setCurrentIndex(0);
    groupLayout->addWidget(m_mode);
    m_modeNote = new QLabel(QStringLiteral("EUC変換はテキストのみ"), group);
    m_modeNote->setObjectName(QStringLiteral("TransferModeNote"));
    groupLayout->addWidget(m_modeNote);
    layout->addWidget(group);
    showModeNote();
    return row;
}

// The box and its note say what the modes do on a profile whose transfers convert.
void CFtpDlg::showModeNote() {
    const QString note = TransferRules::modeNote(profile().Code);
    m_modeNote->setVisible(!note.isEmpty());
    m_modeNote->setToolTip(note);
    m_mode->setToolTip(note);
}

QWidget* CFtpDlg::buildPcRows() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_driveBox = new QComboBox(row);
    setControlId(m_driveBox, "Drives", 1181);
    m_driveBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pcPathEdit = new QLineEdit(row);
    setControlId(m_pcPathEdit, "PcPath", 1050);
    m_pcPathEdit->setReadOnly(true);
    layout->addWidget(new QLabel(QStringLiteral("ﾄﾞﾗｲﾌﾞ"), row));
    layout->addWidget(m_driveBox);
    layout->addWidget(m_pcPathEdit, 1);
    return row;
}

void CFtpDlg::registerToolTipTexts() {
    QHash<int, QString>& table = stringTable();
    ServerBrowser::registerToolTipTexts(table);
    addToolTipTexts(table, {
                               {CmdUpload, u"選択したファイルをサーバへ送信します。"},
                               {CmdDownload, u"選択したファイルをＰＣへ受信します。"},
                               {1181, u"ドライブを選択します。"},
                           });
}

void CFtpDlg::fillDriveBox() {
    m_drives = m_context.drives ? m_context.drives() : DriveList::mounted();
    m_driveBox->clear();
    for (const DriveInfo& drive : m_drives)
        m_driveBox->addItem(DriveList::lineText(drive));
    m_driveNumber = DriveList::lineFor(m_drives, m_pcPath);
    m_driveBox->setCurrentIndex(m_driveNumber);
}

void CFtpDlg::closeEvent(QCloseEvent* event) {
    if (m_busy.busy()) {
        event->ignore();
        return;
    }
    m_server->state().storeHistory();
    event->accept(); // hidden, not destroyed: the next "FTP転送" shows it again
}

void CFtpDlg::reject() {
    if (m_busy.busy())
        return;
    m_server->state().storeHistory();
    CToolTipDialog::reject();
}

FileListView* CFtpDlg::pane(Pane which) const {
    return which == ServerPane ? m_server->list() : m_pcList;
}

const ServerProfile& CFtpDlg::profile() const {
    return m_server->state().profile();
}

int CFtpDlg::profileNumber() const {
    return m_server->state().profileNumber();
}

QByteArray CFtpDlg::serverDirectory() const {
    return m_server->state().directory();
}

int CFtpDlg::transferMode() const {
    return m_mode->currentIndex();
}
