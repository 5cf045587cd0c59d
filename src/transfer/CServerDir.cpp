#include "transfer/CServerDir.h"

#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/BusyGuard.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "transfer/FileListView.h"
#include "transfer/ServerBrowser.h"
#include "transfer/ServerDialogContext.h"
#include "transfer/ServerFileFetch.h"
#include "transfer/ServerListLines.h"
#include "widgets/DialogButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

ServerBrowser::Options browserOptions(CServerDir::Mode mode, bool filtering,
                                      const ServerProfile* fixed) {
    ServerBrowser::Options options;
    options.kinds = mode == CServerDir::SaveMode ? ServerFileKindDirectories : ServerFileKindAll;
    options.multipleSelection = false;
    options.listId = 1125;
    options.upAtRootLists = false;
    options.filtering = filtering;
    options.freshLogonForActions = false;
    if (fixed)
        options.fixedProfile = std::make_shared<const ServerProfile>(*fixed);
    return options;
}

} // namespace

CServerDir::CServerDir(ServerDialogContext& context, Mode mode, QWidget* parent)
    : CServerDir(context, mode, nullptr, parent) {}

CServerDir::CServerDir(ServerDialogContext& context, const ServerProfile& profile, QWidget* parent)
    : CServerDir(context, SaveMode, &profile, parent) {}

CServerDir::CServerDir(ServerDialogContext& context, Mode mode, const ServerProfile* fixed,
                       QWidget* parent)
    : CToolTipDialog(parent), m_context(context), m_mode(mode) {
    setWindowTitle(QStringLiteral("サーバ一覧"));
    registerToolTipTexts();
    const bool filtering = m_context.settings.ExtFlt != 0;
    m_browser = new ServerBrowser(m_context.settings, m_context.ftpDebugLog, m_context.serverTrust,
                                  m_context.currentServer, m_busy,
                                  browserOptions(mode, filtering, fixed), this);
    m_browser->list()->keepOrderIn(m_context.listOrder);
    m_browser->list()->setMinimumSize(440, 260);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buildBottomRows());
    m_code->setCurrentIndex(codeSystemIndex(profile().Code));
    m_filterCheck->setChecked(filtering);
    m_selectedDirectory = profile().Dir;
    connectControls();

    const bool save = m_mode == SaveMode;
    m_ok->setText(save ? QStringLiteral("保存") : QStringLiteral("開く(&O)"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_readOnlyCheck, m_code, m_fileNameEdit, m_fileNameLabel})
        w->setVisible(!save);
    if (!m_browser->client())
        m_ok->setEnabled(false); // without a client nothing here can reach the server
    else if (m_context.settings.DefaultDisp != 0)
        m_browser->refresh();
}

CServerDir::~CServerDir() = default;

void CServerDir::registerToolTipTexts() {
    QHash<int, QString>& table = stringTable();
    ServerBrowser::registerToolTipTexts(table);
    addToolTipTexts(table, {
                               {1035, u"開くファイルの名前です。"},
                               {1019, u"このファイルのコード体系です。"},
                               {1177, u"フィルタの拡張子のファイルを一覧に表示しません。"},
                           });
}

QWidget* CServerDir::buildBottomRows() {
    auto* bottom = new QWidget(this);
    auto* grid = new QGridLayout(bottom);
    grid->setContentsMargins(0, 0, 0, 0);
    m_fileNameLabel = new QLabel(QStringLiteral("ﾌｧｲﾙ名"), bottom);
    m_fileNameEdit = new QLineEdit(bottom);
    setControlId(m_fileNameEdit, "FileName", 1035);
    m_ok = new QPushButton(bottom);
    setControlId(m_ok, "Ok", 1);
    m_ok->setDefault(true);
    m_readOnlyCheck = new QCheckBox(QStringLiteral("読取専用(&R)"), bottom);
    setControlId(m_readOnlyCheck, "ReadOnly", 1061);
    m_code = new QComboBox(bottom);
    setControlId(m_code, "Code", 1019);
    m_code->addItems({QStringLiteral("EUC"), QStringLiteral("SJIS"), QStringLiteral("UTF-8")});
    m_cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), bottom);
    setControlId(m_cancel, "Cancel", 2);
    m_filterCheck = new QCheckBox(QStringLiteral("フィルタリングする。"), bottom);
    setControlId(m_filterCheck, "Filter", 1177);

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
    connect(m_code, &QComboBox::activated, this, [this](int index) {
        // For this opening only: the profile in the table keeps its code system.
        m_browser->state().profile().Code = index;
    });
    connect(m_filterCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_browser->setFiltering(on);
        forgetChoice(); // the lines are shown anew, none of them selected
    });
    connect(m_browser, &ServerBrowser::listed, this, &CServerDir::onListed);
    connect(m_browser, &ServerBrowser::entryClicked, this, &CServerDir::onEntryClicked);
    // A line chosen with the arrow keys or by typing its first letters counts as clicked.
    FileListView* list = m_browser->list();
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, list](const QModelIndex& current) {
                const std::optional<std::size_t> entry = list->entryAt(current);
                if (entry && *entry < m_browser->entries().size() &&
                    list->selectionModel()->isSelected(current))
                    onEntryClicked(m_browser->entries()[*entry]);
            });
    connect(m_browser, &ServerBrowser::entryActivated, this, &CServerDir::onEntryActivated);
}

void CServerDir::onListed() {
    m_code->setCurrentIndex(codeSystemIndex(profile().Code));
    forgetChoice();
}

void CServerDir::forgetChoice() {
    m_fileNameEdit->clear();
    m_selectedDirectory = profile().Dir;
}

void CServerDir::onEntryClicked(const ServerFileEntry& entry) {
    if (entry.directory != 0)
        m_fileNameEdit->clear();
    else
        m_fileNameEdit->setText(ServerNames::shown(entry.name, m_browser->state().listCode()));
    m_selectedDirectory = ServerNames::directoryText(entry.path, profile().Code);
}

void CServerDir::onEntryActivated(const ServerFileEntry& entry) {
    if (entry.directory != 0) {
        m_fileNameEdit->clear();
        if (profile().DirChg == 1)
            m_browser->enterDirectory(entry.path);
        return;
    }
    m_fileNameEdit->setText(ServerNames::shown(entry.name, m_browser->state().listCode()));
    accept();
}

void CServerDir::accept() {
    if (m_busy.busy())
        return;
    m_readOnly = m_readOnlyCheck->isChecked();
    if (m_mode == OpenMode) {
        const std::optional<QByteArray> remote = chosenRemoteName();
        if (!remote || m_browser->selectedEntries().empty())
            return;
        if (!download(*remote))
            return;
    }
    m_context.currentServer = profileNumber();
    m_browser->state().storeHistory();
    QDialog::accept();
}

std::optional<QByteArray> CServerDir::chosenRemoteName() {
    const QString fileName = m_fileNameEdit->text();
    if (fileName.isEmpty()) {
        Prompt::information(QStringLiteral("リストから表示するファイルを選択して下さい。"));
        return std::nullopt;
    }
    const int listCode = m_browser->state().listCode();
    const std::optional<QByteArray> remote =
        ServerNames::resolve(fileName, m_browser->entries(), false, listCode);
    if (!remote) {
        Prompt::error(FtpNames::unencodableMessage(fileName));
        return std::nullopt;
    }
    if (!FtpNames::localPathFor(m_context.settings.TranDir, *remote, listCode,
                                profile().NameSmall != 0)) {
        Prompt::error(FtpNames::unreceivableMessage(*remote, listCode));
        return std::nullopt;
    }
    return remote;
}

void CServerDir::reject() {
    if (m_busy.busy())
        return;
    m_browser->state().storeHistory();
    QDialog::reject();
}

bool CServerDir::download(const QByteArray& remote) {
    CFtpClient* client = m_browser->client();
    if (!client)
        return false;
    const int listCode = m_browser->state().listCode();
    FetchedFile fetched;
    {
        BusyCount::Hold hold(m_busy);
        BusyGuard busy(m_browser->list());
        m_browser->state().copyProfileInto(*client);
        fetched = fetchForEditing(*client, m_context.settings.TranDir, profile(), listCode, remote,
                                  m_readOnly);
    }
    if (!fetched.result.ok())
        return false; // the transfer has shown its message; the user may pick again
    m_browser->state().profile().Code = fetched.profile.Code;
    m_readOnly = fetched.readOnly;
    m_localPath = fetched.localPath;
    m_stamp = fetched.stamp;
    m_remoteName = remote;
    return true;
}
