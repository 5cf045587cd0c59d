#include "transfer/ServerBrowser.h"

#include "ftp/CFtpClient.h"
#include "platform/BusyGuard.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/BusyCount.h"
#include "transfer/FileActions.h"
#include "transfer/FileListView.h"
#include "transfer/ServerListLines.h"
#include "transfer/ServerPaths.h"
#include "transfer/WindowNameDialogs.h"
#include "widgets/DialogButtons.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

// Holds the shared count up, with the wait cursor and the list locked while the pane talks to
// the server; messages are shown after it has gone.
class ServerBrowser::Busy {
public:
    Busy(ServerBrowser& pane, bool waitCursor) : m_hold(pane.m_busy) {
        if (waitCursor)
            m_guard.emplace(pane.isVisible() ? pane.m_list : nullptr);
    }

private:
    BusyCount::Hold m_hold;
    std::optional<BusyGuard> m_guard;
};

ServerBrowser::ServerBrowser(AppSettings& settings, bool debugLog, ServerTrust& trust,
                             int profileNumber, BusyCount& busy, Options options, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_busy(busy), m_options(options),
      m_state(options.fixedProfile
                  ? ServerBrowserState(settings, profileNumber, *options.fixedProfile)
                  : ServerBrowserState(settings, profileNumber)),
      m_filtering(options.filtering) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildProfileRow());
    layout->addWidget(buildDirectoryRow());
    m_list = new FileListView(this);
    setControlId(m_list, m_options.listId == 1125 ? "List" : "ServerList", m_options.listId);
    if (!m_options.multipleSelection)
        m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_list, 1);
    fillProfileBox();
    showHistory();
    applyVisibility();
    connectControls();

    m_client = CFtpClient::create(m_settings.Network, debugLog, m_state.profile(), trust);
    if (!m_client) {
        Prompt::error(
            QStringLiteral("%1 サーバとの通信確立に失敗しました。").arg(m_state.profile().Server));
        for (QWidget* w :
             std::initializer_list<QWidget*>{m_reload, m_up, m_delete, m_rename, m_makeDir})
            w->setEnabled(false);
    }
}

ServerBrowser::~ServerBrowser() {
    m_list->clearLines();
    if (m_client)
        m_client->CloseSession();
}

void ServerBrowser::addPaneKey(QWidget* list, QKeyCombination key, std::function<void()> run) {
    auto* shortcut = new QShortcut(QKeySequence(key), list);
    shortcut->setContext(Qt::WidgetShortcut);
    QObject::connect(shortcut, &QShortcut::activated, list, std::move(run));
}

void ServerBrowser::registerToolTipTexts(QHash<int, QString>& table) {
    addToolTipTexts(table, {
                               {1040, u"接続するサーバーを選択します。"},
                               {1042, u"表示したディレクトリの履歴です。"},
                               {1126, u"上のディレクトリへ移動します。"},
                               {1127, u"選択したファイルをサーバから削除します。"},
                               {1131, u"選択したファイルの名称を変更します。"},
                               {1133, u"サーバにディレクトリを作成します。"},
                               {1166, u"サーバの一覧を読み直します。"},
                           });
}

QWidget* ServerBrowser::buildProfileRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_profiles = new QComboBox(row);
    setControlId(m_profiles, "Profiles", 1040);
    m_reload = new QPushButton(QStringLiteral("再読込"), row);
    setControlId(m_reload, "Reload", 1166);
    m_reload->setAutoDefault(false);
    layout->addWidget(new QLabel(QStringLiteral("ｻｰﾊﾞｰ"), row));
    layout->addWidget(m_profiles, 1);
    layout->addWidget(m_reload);
    return row;
}

QWidget* ServerBrowser::buildDirectoryRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_directories = new QComboBox(row);
    setControlId(m_directories, "Directories", 1042);
    m_up = makeToolButton(row, "Up", 1126, QStyle::SP_FileDialogToParent, QStringLiteral("↑"));
    m_delete = makeToolButton(row, "Delete", 1127, QStyle::SP_TrashIcon, QStringLiteral("削除"));
    m_rename = makeToolButton(row, "Rename", 1131, QStyle::SP_FileDialogDetailedView,
                              QStringLiteral("名称変更"));
    m_makeDir = makeToolButton(row, "MakeDir", 1133, QStyle::SP_FileDialogNewFolder,
                               QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成"));
    layout->addWidget(new QLabel(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ"), row));
    layout->addWidget(m_directories, 1);
    for (QToolButton* b : {m_up, m_delete, m_rename, m_makeDir})
        layout->addWidget(b);
    return row;
}

void ServerBrowser::connectControls() {
    // Every control asks the shared count first: nothing starts while something runs.
    auto whenIdle = [this](auto action) {
        return [this, action] {
            if (!m_busy.busy())
                (this->*action)();
        };
    };
    connect(m_reload, &QPushButton::clicked, this, whenIdle(&ServerBrowser::refresh));
    connect(m_up, &QToolButton::clicked, this, whenIdle(&ServerBrowser::goUp));
    connect(m_delete, &QToolButton::clicked, this, whenIdle(&ServerBrowser::deleteSelected));
    connect(m_rename, &QToolButton::clicked, this, whenIdle(&ServerBrowser::renameSelected));
    connect(m_makeDir, &QToolButton::clicked, this, whenIdle(&ServerBrowser::makeDirectory));
    // The list's keys press the pane's buttons, so they follow the buttons' rules: a button that
    // is hidden (the profile allows no file actions) or disabled (no client) takes no key.
    const std::pair<QKeyCombination, QAbstractButton*> keys[] = {
        {Qt::Key_Delete, m_delete}, {Qt::Key_F2, m_rename}, {Qt::Key_F5, m_reload}};
    for (const auto& [key, button] : keys)
        addPaneKey(m_list, key, [button] {
            if (!button->isHidden() && button->isEnabled())
                button->click();
        });
    connect(m_profiles, &QComboBox::activated, this, &ServerBrowser::chooseProfile);
    connect(m_directories, &QComboBox::activated, this, &ServerBrowser::chooseHistoryLine);
    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (std::optional<ServerFileEntry> entry = entryOf(index))
            emit entryClicked(*entry);
    });
    connect(m_list, &FileListView::entryActivated, this, [this](std::size_t index) {
        if (!m_busy.busy() && index < entries().size())
            emit entryActivated(ServerFileEntry(entries()[index]));
    });
}

void ServerBrowser::fillProfileBox() {
    m_profiles->clear();
    for (int i = 0; i < AppSettings::ProfileCount; ++i)
        m_profiles->addItem(ServerPaths::profileBoxLine(i, m_settings.Profiles[std::size_t(i)]));
    m_profiles->setCurrentIndex(m_state.profileNumber());
    if (m_options.fixedProfile) {
        m_profiles->setItemText(
            m_state.profileNumber(),
            ServerPaths::profileBoxLine(m_state.profileNumber(), m_state.profile()));
        m_profiles->setEnabled(false);
    }
}

void ServerBrowser::showHistory() {
    m_directories->clear();
    m_directories->addItems(m_state.history().lines());
    m_directories->setCurrentIndex(m_state.history().currentIndex());
}

void ServerBrowser::applyVisibility() {
    m_up->setVisible(m_state.profile().DirChg != 0);
    for (QToolButton* b : {m_delete, m_rename, m_makeDir})
        b->setVisible(m_state.profile().Special != 0);
}

void ServerBrowser::refresh() {
    ServerBrowserState::Listing listing;
    {
        Busy busy(*this, true);
        applyVisibility();
        m_list->clearLines();
        m_state.clearEntries();
        if (!m_client)
            return;
        listing = m_state.list(*m_client, m_options.kinds, m_settings.Network.List != 0);
        showEntries();
    }
    if (!listing.message.isEmpty())
        Prompt::error(listing.message);
    emit listed();
}

void ServerBrowser::showEntries() {
    m_list->showLines(BuildServerListLines(entries(), m_settings, m_filtering, m_state.listCode()));
    showHistory();
}

void ServerBrowser::setFiltering(bool on) {
    m_filtering = on;
    if (!m_busy.busy()) // a listing under way shows its entries with the new setting
        showEntries();  // the entries at hand, without asking the server again
}

void ServerBrowser::enterDirectory(const QByteArray& path) {
    m_state.enter(path);
    refresh();
}

void ServerBrowser::goUp() {
    if (!m_state.goUp() && !m_options.upAtRootLists)
        return;
    refresh();
}

void ServerBrowser::chooseProfile(int index) {
    if (m_busy.busy() || m_options.fixedProfile || index == m_state.profileNumber() ||
        !m_state.selectProfile(index)) {
        m_profiles->setCurrentIndex(m_state.profileNumber());
        return;
    }
    showHistory();
    emit profileChanged();
    refresh();
}

void ServerBrowser::chooseHistoryLine(int index) {
    if (m_busy.busy()) {
        showHistory();
        return;
    }
    m_state.selectHistoryLine(index);
    refresh();
}

ServerFileList ServerBrowser::selectedEntries() const {
    ServerFileList chosen;
    for (std::size_t index : m_list->selectedEntries()) {
        if (index < entries().size())
            chosen.push_back(entries()[index]);
    }
    return chosen;
}

std::optional<ServerFileEntry> ServerBrowser::entryOf(const QModelIndex& index) const {
    const std::optional<std::size_t> entry = m_list->entryAt(index);
    if (!entry || *entry >= entries().size())
        return std::nullopt;
    return entries()[*entry];
}

bool ServerBrowser::connectForAction(bool freshLogon) {
    ServerBrowserState::Listing logon;
    {
        Busy busy(*this, true);
        logon = m_state.logOn(*m_client, freshLogon);
    }
    if (!logon.message.isEmpty())
        Prompt::error(logon.message);
    return logon.result.ok();
}

void ServerBrowser::actOnSelection(const char16_t* action,
                                   const std::function<int(const ServerFileList&)>& act) {
    const ServerFileList chosen = selectedEntries();
    if (!m_client)
        return;
    if (chosen.empty()) {
        Prompt::information(FileActionMessages::selectFirst(QString::fromUtf16(action)));
        return;
    }
    Busy busy(*this, false);
    if (connectForAction(m_options.freshLogonForActions) && act(chosen) > 0)
        refresh();
}

void ServerBrowser::deleteSelected() {
    actOnSelection(u"削除", [this](const ServerFileList& chosen) {
        return ServerFileActions::deleteEntries(*m_client, chosen, m_state.listCode());
    });
}

void ServerBrowser::renameSelected() {
    actOnSelection(u"名称変更", [this](const ServerFileList& chosen) {
        WindowNameDialogs dialogs(window());
        return ServerFileActions::renameEntries(*m_client, chosen, entries(), m_state.listCode(),
                                                dialogs);
    });
}

void ServerBrowser::makeDirectory() {
    if (!m_client)
        return;
    Busy busy(*this, false);
    WindowNameDialogs dialogs(window());
    const std::optional<QString> name =
        dialogs.askDirectoryName(DirectoryNames(entries(), m_state.listCode()));
    if (!name || !connectForAction(m_options.freshLogonForActions))
        return;
    if (ServerFileActions::makeDirectory(*m_client, *name, m_state.listCode()))
        refresh();
}
