#include "transfer/CServerDir.h"

#include "app/AppSettings.h"
#include "ftp/CFtpClient.h"
#include "ftp/FileListOrder.h"
#include "ftp/FtpNames.h"
#include "options/ServerListIcons.h"
#include "platform/BusyGuard.h"
#include "platform/Prompt.h"
#include "transfer/ServerDialogContext.h"
#include "transfer/ServerPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

// Keeps the dialog from starting a second server operation while one runs (the FTP layer lets
// the event loop turn meanwhile) and shows the wait cursor.
class CServerDir::Busy {
public:
    explicit Busy(CServerDir& dialog) : m_dialog(dialog) {
        ++m_dialog.m_busy;
        m_guard.emplace(dialog.isVisible() ? dialog.m_list : nullptr);
    }
    ~Busy() { --m_dialog.m_busy; }
    // Restores the cursor before a message is shown.
    void release() { m_guard.reset(); }

private:
    CServerDir& m_dialog;
    std::optional<BusyGuard> m_guard;
};

namespace {

constexpr int EntryRole = Qt::UserRole;

const QString SessionFailed = QStringLiteral("ＦＴＰセッションOPENに失敗しました。");

// Controls carry the numbers of the dialog's template, which name their tool-tip texts.
void setId(QWidget* widget, const char* name, int id) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setProperty("controlId", id);
}

QToolButton* toolButton(QWidget* parent, const char* name, int id, QStyle::StandardPixmap icon,
                        const QString& text) {
    auto* button = new QToolButton(parent);
    setId(button, name, id);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    return button;
}

} // namespace

CServerDir::CServerDir(ServerDialogContext& context, Mode mode, QWidget* parent)
    : CToolTipDialog(parent), m_context(context), m_mode(mode) {
    setWindowTitle(QStringLiteral("サーバ一覧"));
    registerToolTipTexts();
    m_profileNumber = std::clamp(m_context.currentServer, 0, AppSettings::ProfileCount - 1);
    m_profile = m_context.settings.Profiles[m_profileNumber];
    m_directoryBytes = ServerNames::directoryBytes(m_profile.Dir);
    m_filter = m_context.settings.ExtFlt != 0;
    buildControls();
    fillProfileBox();
    loadHistory();
    putIntoHistory(m_profile.Dir);
    m_code->setCurrentIndex(m_profile.Code == CodeSystemSjis ? 1 : 0);
    m_filterCheck->setChecked(m_filter);
    connectControls();

    m_client =
        CFtpClient::create(m_context.settings.Network, m_context.ftpDebugLog != 0, m_profile);
    if (!m_client) {
        Prompt::error(
            QStringLiteral("%1 サーバとの通信確立に失敗しました。").arg(m_profile.Server));
        // Without a client nothing here can reach the server.
        for (QWidget* w : {static_cast<QWidget*>(m_reload), static_cast<QWidget*>(m_up),
                           static_cast<QWidget*>(m_delete), static_cast<QWidget*>(m_rename),
                           static_cast<QWidget*>(m_makeDir), static_cast<QWidget*>(m_ok)})
            w->setEnabled(false);
    } else if (m_context.settings.DefaultDisp != 0) {
        listServer();
    }
    const bool save = m_mode == SaveMode;
    m_ok->setText(save ? QStringLiteral("保存") : QStringLiteral("開く(&O)"));
    for (QWidget* w :
         {static_cast<QWidget*>(m_readOnlyCheck), static_cast<QWidget*>(m_code),
          static_cast<QWidget*>(m_fileNameEdit), static_cast<QWidget*>(m_fileNameLabel)})
        w->setVisible(!save);
    applyVisibility();
}

CServerDir::~CServerDir() {
    m_entries.clear();
    if (m_client)
        m_client->CloseSession();
}

void CServerDir::registerToolTipTexts() {
    QHash<int, QString>& table = stringTable();
    const std::pair<int, const char16_t*> texts[] = {
        {1040, u"接続するサーバーを選択します。"},
        {1042, u"表示したディレクトリの履歴です。"},
        {1126, u"上のディレクトリへ移動します。"},
        {1127, u"選択したファイルをサーバから削除します。"},
        {1131, u"選択したファイルの名称を変更します。"},
        {1133, u"サーバにディレクトリを作成します。"},
        {1166, u"サーバの一覧を読み直します。"},
        {1035, u"開くファイルの名前です。"},
        {1019, u"このファイルのコード体系です。"},
        {1177, u"フィルタの拡張子のファイルを一覧に表示しません。"},
    };
    for (const auto& [id, text] : texts) {
        if (!table.contains(id))
            table.insert(id, QString::fromUtf16(text));
    }
}

FileListOrder& CServerDir::listOrder() {
    // One set of column directions for this list, kept for the life of the program.
    static FileListOrder order(ColumnCount, NameColumn);
    return order;
}

void CServerDir::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_profiles = new QComboBox(this);
    setId(m_profiles, "Profiles", 1040);
    m_reload = new QPushButton(QStringLiteral("再読込"), this);
    setId(m_reload, "Reload", 1166);
    top->addWidget(new QLabel(QStringLiteral("ｻｰﾊﾞｰ"), this));
    top->addWidget(m_profiles, 1);
    top->addWidget(m_reload);
    layout->addLayout(top);
    layout->addWidget(buildDirectoryRow());

    m_list = new QTreeWidget(this);
    setId(m_list, "List", 1125);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAllColumnsShowFocus(true);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({QStringLiteral("名前"), QStringLiteral("拡張子"),
                             QStringLiteral("ｻｲｽﾞ"), QStringLiteral("更新日時")});
    const int widths[ColumnCount] = {150, 70, 90, 105};
    for (int c = 0; c < ColumnCount; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_list->headerItem()->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(true);
    m_list->setMinimumSize(440, 260);
    layout->addWidget(m_list, 1);
    layout->addWidget(buildBottomRows());
}

QWidget* CServerDir::buildDirectoryRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_directories = new QComboBox(row);
    setId(m_directories, "Directories", 1042);
    m_up = toolButton(row, "Up", 1126, QStyle::SP_FileDialogToParent, QStringLiteral("↑"));
    m_delete = toolButton(row, "Delete", 1127, QStyle::SP_TrashIcon, QStringLiteral("削除"));
    m_rename = toolButton(row, "Rename", 1131, QStyle::SP_FileDialogContentsView,
                          QStringLiteral("名称変更"));
    m_makeDir = toolButton(row, "MakeDir", 1133, QStyle::SP_FileDialogNewFolder,
                           QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成"));
    layout->addWidget(new QLabel(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ"), row));
    layout->addWidget(m_directories, 1);
    for (QToolButton* b : {m_up, m_delete, m_rename, m_makeDir})
        layout->addWidget(b);
    return row;
}

QWidget* CServerDir::buildBottomRows() {
    auto* bottom = new QWidget(this);
    auto* grid = new QGridLayout(bottom);
    grid->setContentsMargins(0, 0, 0, 0);
    m_fileNameLabel = new QLabel(QStringLiteral("ﾌｧｲﾙ名"), bottom);
    m_fileNameEdit = new QLineEdit(bottom);
    setId(m_fileNameEdit, "FileName", 1035);
    m_ok = new QPushButton(bottom);
    setId(m_ok, "Ok", 1);
    m_ok->setDefault(true);
    m_readOnlyCheck = new QCheckBox(QStringLiteral("読取専用(&R)"), bottom);
    setId(m_readOnlyCheck, "ReadOnly", 1061);
    m_code = new QComboBox(bottom);
    setId(m_code, "Code", 1019);
    m_code->addItems({QStringLiteral("EUC"), QStringLiteral("SJIS")});
    m_cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), bottom);
    setId(m_cancel, "Cancel", 2);
    m_filterCheck = new QCheckBox(QStringLiteral("フィルタリングする。"), bottom);
    setId(m_filterCheck, "Filter", 1177);

    grid->addWidget(m_fileNameLabel, 0, 0);
    grid->addWidget(m_fileNameEdit, 0, 1, 1, 2);
    grid->addWidget(m_ok, 0, 3);
    grid->addWidget(m_readOnlyCheck, 1, 1);
    grid->addWidget(m_code, 1, 2);
    grid->addWidget(m_cancel, 1, 3);
    grid->addWidget(m_filterCheck, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    return bottom;
}

void CServerDir::connectControls() {
    connect(m_ok, &QPushButton::clicked, this, &CServerDir::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CServerDir::reject);
    connect(m_reload, &QPushButton::clicked, this, [this] {
        if (!m_busy)
            listServer();
    });
    connect(m_up, &QToolButton::clicked, this, &CServerDir::goUp);
    connect(m_delete, &QToolButton::clicked, this, &CServerDir::deleteSelected);
    connect(m_rename, &QToolButton::clicked, this, &CServerDir::renameSelected);
    connect(m_makeDir, &QToolButton::clicked, this, &CServerDir::makeDirectory);
    connect(m_profiles, &QComboBox::activated, this, &CServerDir::onProfileChosen);
    connect(m_directories, &QComboBox::activated, this, &CServerDir::onHistoryChosen);
    connect(m_code, &QComboBox::activated, this, [this](int index) {
        m_profile.Code = index == 1 ? CodeSystemSjis : CodeSystemEuc; // for this opening only
    });
    connect(m_filterCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_filter = on;
        if (!m_busy)       // a listing under way shows its entries with the new setting
            showEntries(); // the entries at hand, without asking the server again
    });
    connect(m_list, &QTreeWidget::itemClicked, this, &CServerDir::onItemClicked);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CServerDir::onItemDoubleClicked);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CServerDir::sortByColumn);
}

void CServerDir::fillProfileBox() {
    m_profiles->clear();
    const auto& profiles = m_context.settings.Profiles;
    for (int i = 0; i < AppSettings::ProfileCount; ++i)
        m_profiles->addItem(ServerPaths::profileBoxLine(i, profiles[i]));
    m_profiles->setCurrentIndex(m_profileNumber);
}

void CServerDir::loadHistory() {
    m_history.load(m_context.settings.Profiles[m_profileNumber].HisDir);
    showHistory();
}

void CServerDir::showHistory() {
    m_directories->clear();
    m_directories->addItems(m_history.lines());
    m_directories->setCurrentIndex(m_history.currentIndex());
}

void CServerDir::putIntoHistory(const QString& directory) {
    if (m_history.put(directory) >= 0)
        showHistory();
}

void CServerDir::storeHistory() {
    m_history.storeInto(m_context.settings.Profiles[m_profileNumber].HisDir);
}

void CServerDir::applyVisibility() {
    m_up->setVisible(m_profile.DirChg != 0);
    const bool special = m_profile.Special != 0;
    for (QToolButton* b : {m_delete, m_rename, m_makeDir})
        b->setVisible(special);
}

void CServerDir::copyProfileIntoClient() {
    m_client->server = m_profile.Server;
    m_client->user = m_profile.User;
    m_client->password = m_profile.Passwd;
    m_client->serverDirectory = m_directoryBytes;
    m_client->port = m_profile.Port;
}

void CServerDir::listServer() {
    Busy busy(*this);
    applyVisibility();
    m_code->setCurrentIndex(m_profile.Code == CodeSystemSjis ? 1 : 0);
    m_entries.clear();
    m_lines.clear();
    m_list->clear();
    if (!m_client)
        return;
    m_client->CloseSession();
    copyProfileIntoClient();
    if (m_client->OpenSession() != OpResult::Done) {
        busy.release();
        Prompt::error(SessionFailed);
        return;
    }
    if (m_client->SetServerDir() != OpResult::Done) {
        busy.release();
        Prompt::error(QStringLiteral("ＤＩｒ変更に失敗しました。"));
        return;
    }
    const int kinds = m_mode == SaveMode ? ServerFileKindDirectories : ServerFileKindAll;
    [[maybe_unused]] const OpResult read =
        m_context.settings.Network.List != 0 ? m_client->GetServerFileListSDK("*", m_entries, kinds)
                                             : m_client->GetServerFileList("*", m_entries, kinds);
    m_listCode = m_profile.Code;
    showEntries();
}

// A connection lost since the last listing (a failed download closes it) is made again before
// an action that needs it, so the action does not fail for that reason alone.
bool CServerDir::ensureConnected() {
    if (m_client->isConnected())
        return true;
    copyProfileIntoClient();
    if (m_client->OpenSession() != OpResult::Done) {
        Prompt::error(SessionFailed);
        return false;
    }
    return true;
}

void CServerDir::showEntries() {
    m_lines = BuildServerListLines(m_entries, m_context.settings, m_filter, m_listCode);
    putIntoHistory(m_profile.Dir);
    m_fileNameEdit->clear();
    m_selectedDirectory = m_profile.Dir;
    listOrder().refill();
    showLines(-1);
}

void CServerDir::showLines(int keepEntry) {
    std::vector<FileListOrder::Row> rows;
    rows.reserve(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        rows.push_back({m_lines[i].directory, m_lines[i].texts, int(i)});
    listOrder().sort(rows);

    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    QTreeWidgetItem* keep = nullptr;
    for (const FileListOrder::Row& row : rows) {
        const ServerListLine& line = m_lines[std::size_t(row.id)];
        auto* item = new QTreeWidgetItem(line.texts);
        item->setIcon(NameColumn, ServerListIcons::image(line.image));
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(NameColumn, EntryRole, qulonglong(line.entry));
        if (int(line.entry) == keepEntry)
            keep = item;
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    if (keep)
        m_list->setCurrentItem(keep);
    const FileListOrder& order = listOrder();
    m_list->header()->setSortIndicator(order.sortColumn(), order.ascending() ? Qt::AscendingOrder
                                                                             : Qt::DescendingOrder);
    m_list->setUpdatesEnabled(true);
}

void CServerDir::sortByColumn(int column) {
    const ServerFileEntry* selected = selectedEntry();
    const int keep = selected ? int(selected - m_entries.data()) : -1;
    listOrder().toggle(column);
    showLines(keep);
}

const ServerFileEntry* CServerDir::entryOf(const QTreeWidgetItem* item) const {
    if (!item)
        return nullptr;
    const std::size_t index = item->data(NameColumn, EntryRole).toULongLong();
    return index < m_entries.size() ? &m_entries[index] : nullptr;
}

const ServerFileEntry* CServerDir::selectedEntry() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? nullptr : entryOf(selected.front());
}

void CServerDir::onProfileChosen(int index) {
    if (m_busy || index == m_profileNumber)
        return;
    const ServerProfile& chosen = m_context.settings.Profiles[index];
    if (chosen.Server.isEmpty()) {
        m_profiles->setCurrentIndex(m_profileNumber);
        return;
    }
    storeHistory();
    m_profile = chosen;
    m_profileNumber = index;
    m_directoryBytes = ServerNames::directoryBytes(m_profile.Dir);
    loadHistory();
    putIntoHistory(m_profile.Dir);
    listServer();
}

void CServerDir::onHistoryChosen(int index) {
    if (m_busy)
        return;
    m_history.select(index);
    m_profile.Dir = m_history.currentText();
    m_directoryBytes = ServerNames::directoryBytes(m_profile.Dir);
    listServer();
}

void CServerDir::goUp() {
    if (m_busy || !ServerPaths::canGoUp(m_directories->currentText()))
        return;
    enterDirectory(ServerPaths::parent(m_directoryBytes));
}

void CServerDir::enterDirectory(const QByteArray& path) {
    m_directoryBytes = path;
    m_profile.Dir = ServerNames::directoryText(path);
    listServer();
}

void CServerDir::onItemClicked(QTreeWidgetItem* item) {
    const ServerFileEntry* entry = entryOf(item);
    if (!entry)
        return;
    if (entry->directory != 0)
        m_fileNameEdit->clear();
    else
        m_fileNameEdit->setText(ServerNames::shown(entry->name, m_listCode));
    m_selectedDirectory = ServerNames::directoryText(entry->path);
}

void CServerDir::onItemDoubleClicked(QTreeWidgetItem* item) {
    const ServerFileEntry* entry = entryOf(item);
    if (!entry || m_busy)
        return;
    if (entry->directory != 0) {
        m_fileNameEdit->clear();
        if (m_profile.DirChg == 1) {
            const QByteArray path = entry->path; // the listing is replaced by entering
            enterDirectory(path);
        }
        return;
    }
    m_fileNameEdit->setText(ServerNames::shown(entry->name, m_listCode));
    accept();
}

void CServerDir::readControls() {
    m_fileName = m_fileNameEdit->text();
    m_readOnly = m_readOnlyCheck->isChecked();
}

void CServerDir::accept() {
    if (m_busy)
        return;
    readControls();
    if (m_mode == OpenMode) {
        if (m_fileName.isEmpty()) {
            Prompt::information(QStringLiteral("リストから表示するファイルを選択して下さい。"));
            return;
        }
        if (m_list->selectedItems().isEmpty())
            return;
        if (!download())
            return;
    }
    m_context.currentServer = m_profileNumber;
    storeHistory();
    QDialog::accept();
}

void CServerDir::reject() {
    if (m_busy)
        return;
    storeHistory();
    QDialog::reject();
}

bool CServerDir::download() {
    if (!m_client)
        return false;
    Busy busy(*this);
    const std::optional<QByteArray> remote =
        ServerNames::resolve(m_fileName, m_entries, false, m_listCode);
    if (!remote) {
        busy.release();
        Prompt::error(FtpNames::unencodableMessage(m_fileName));
        return false;
    }
    const std::optional<QString> local = FtpNames::localPathFor(
        m_context.settings.TranDir, *remote, m_listCode, m_profile.NameSmall != 0);
    if (!local) {
        busy.release();
        Prompt::error(FtpNames::unreceivableMessage(*remote, m_listCode));
        return false;
    }
    copyProfileIntoClient();
    const OpResult result = m_profile.Code != CodeSystemEuc
                                ? m_client->GetFileAuto(*local, *remote, true)
                                : m_client->GetFileEUCAuto(*local, *remote);
    if (result != OpResult::Done)
        return false; // the transfer has shown its message; the user may pick again
    m_localPath = *local;
    m_remoteName = *remote;
    return true;
}
