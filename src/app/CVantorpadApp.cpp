#include "app/CVantorpadApp.h"

#include "commands/Command.h"
#include "compare/CompareWindow.h"
#include "doc/CVantorpadDoc.h"
#include "doc/DocumentHost.h"
#include "editor/CVantorpadView.h"
#include "editor/DocumentPrinter.h"
#include "editor/InsertionDialogs.h"
#include "frame/BarLayout.h"
#include "frame/CAboutDlg.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "frame/FrameHost.h"
#include "options/COptionDlg.h"
#include "platform/BusyGuard.h"
#include "platform/FileDialogs.h"
#include "platform/IniFile.h"
#include "platform/Prompt.h"
#include "restore/DocumentRecovery.h"
#include "restore/RecoveryDialog.h"
#include "sheet/OpenInSpreadsheet.h"
#include "transfer/CFtpDlg.h"
#include "transfer/CServerDir.h"
#include "transfer/SaveToServerDialog.h"
#include "transfer/ServerDialogContext.h"
#include "transfer/ServerFileFetch.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>

#include <curl/curl.h>

#include <cstdio>

namespace {

bool initSocketsDefault() {
    // libcurl's global set-up stands where the socket library was initialised.
    return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

QSize screenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

WinRect usableScreenArea() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return WinRect{0, 0, 1024, 768};
    QRect r = screen->availableGeometry();
    return WinRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

} // namespace

// The application as the windows below it see it.
class CVantorpadApp::Services final : public FrameHost, public DocumentHost {
public:
    explicit Services(CVantorpadApp& app) : m_app(app) {}

    // FrameHost
    AppSettings& settings() override { return m_app.settings; }
    RecentFileList& recentFiles() override { return m_app.recentFiles; }
    int currentServer() const override { return m_app.currentServer; }
    bool openServerFile(const RecentServerFile& file) override {
        return m_app.openServerFile(file);
    }
    QByteArray& barLayout() override { return m_app.barLayout; }
    QString startDir() const override { return m_app.startDir; }
    DocumentHost& documentHost() override { return *this; }
    void runCommand(int command) override { m_app.runCommand(command); }
    bool isCommandEnabled(int command) const override { return m_app.isCommandEnabled(command); }
    bool openHelp(const QUrl& page) override { return m_app.m_hooks.openHelp(page); }

    // DocumentHost
    const AppSettings& settings() const override { return m_app.settings; }
    const ServerProfile& currentProfile() const override { return m_app.currentProfile(); }
    bool ftpDebugLog() const override { return m_app.ftpDebugLog; }
    ServerTrust& serverTrust() override { return m_app.serverTrust(); }
    bool openTextDocument(const QString& path, const ServerProfile& profile, bool fromServer,
                          bool readOnly, std::optional<ServerFileStamp> stamp) override {
        return m_app.OpenTextDocument(path, profile, fromServer, readOnly, stamp);
    }
    void addRecentFile(const QString& path) override { m_app.recentFiles.add(path); }
    bool askSaveToServer(QWidget* parent, ServerProfile& profile, QString& fileName) override {
        return m_app.m_hooks.saveToServer && m_app.m_hooks.saveToServer(parent, profile, fileName);
    }
    void openInSpreadsheet(const QString& path, bool readOnly) override {
        if (m_app.m_hooks.openInSpreadsheet)
            m_app.m_hooks.openInSpreadsheet(path, readOnly);
    }
    bool compareWithVersion(CVantorpadDoc& document, const QString& otherPath, VersionSource source,
                            bool temporary) override {
        return CompareWindow::open(document, otherPath, source, temporary, m_app.settings,
                                   m_app.mainFrame());
    }
    void unsavedTextChanged(CVantorpadDoc& document) override {
        m_app.m_recovery->documentChanged(document);
    }
    void documentClosed(CVantorpadDoc& document) override {
        m_app.m_recovery->documentClosed(document);
    }

private:
    CVantorpadApp& m_app;
};

CVantorpadApp::CVantorpadApp(QObject* parent)
    : QObject(parent), m_recovery(std::make_unique<DocumentRecovery>(settings)),
      m_services(std::make_unique<Services>(*this)) {
    m_hooks.initSockets = initSocketsDefault;
    m_hooks.initComponents = [] { return true; }; // no component library to start here
    m_hooks.runOptionsDialog = [](CVantorpadApp& app) {
        return COptionDlg::Run(app.settings, app.ftpDebugLog, app.serverTrust(), app.mainFrame());
    };
    m_hooks.openHelp = [](const QUrl& page) { return QDesktopServices::openUrl(page); };
    m_hooks.askRecovery = &RecoveryDialog::ask;
    m_hooks.openInSpreadsheet = [this](const QString& path, bool readOnly) {
        OpenInSpreadsheet(sheetContext(), path, readOnly);
    };
    m_hooks.saveToServer = [this](QWidget* parent, ServerProfile& profile, QString& fileName) {
        return RunSaveToServerDialog(
            {settings, currentServer, ftpDebugLog, serverListOrder, m_serverTrust}, parent, profile,
            fileName);
    };
}

CVantorpadApp::~CVantorpadApp() {
    m_mainFrame.reset();
}

DocumentHost& CVantorpadApp::documentHost() {
    return *m_services;
}

SheetContext CVantorpadApp::sheetContext() {
    SheetContext context{settings, m_mainFrame.get(), m_mainFrame.get(), {}};
    context.fileRewritten = [this](const QString& path) {
        if (!m_mainFrame)
            return;
        if (CChildFrame* frame = m_mainFrame->findChildFrame(path))
            frame->document()->OnFileRewritten();
    };
    return context;
}

const ServerProfile& CVantorpadApp::profile(int index) const {
    if (index < 0 || index >= AppSettings::ProfileCount)
        index = 0;
    return settings.Profiles[index];
}

bool CVantorpadApp::InitInstance(const QStringList& arguments, int showState) {
    if (!m_hooks.initSockets()) {
        Prompt::error(QStringLiteral("Windows ソケットの初期化に失敗しました。"));
        return false;
    }
    if (!m_hooks.initComponents()) {
        Prompt::error(QStringLiteral("OLE の初期化に失敗しました。 OLE ライブラリのバージョンが"
                                     "正しいことを確認してください。"));
        return false;
    }
    startDir = QDir::currentPath();
    loadSettings();
    keepSavedRectOnScreen();

    m_mainFrame = std::make_unique<CMainFrame>(*m_services);
    if (!m_mainFrame->create())
        return false;

    if (!arguments.isEmpty()) {
        const QString& path = arguments.front();
        if (!OpenTextDocument(path, profile(settings.DefaultNo), false, false))
            return false;
    }
    showMainWindow(showState);
    checkDirectories();
    QTimer::singleShot(0, this, &CVantorpadApp::OfferRecovery);
    return true;
}

void CVantorpadApp::OfferRecovery() {
    if (m_recoveryOffered || !m_mainFrame)
        return;
    m_recoveryOffered = true;
    const QList<RecoveryOffer> offers = m_recovery->takeLeftovers();
    if (offers.isEmpty())
        return;
    const RecoveryAnswer answer = m_hooks.askRecovery(offers, m_mainFrame.get());
    RestoreTarget target;
    target.newDocument = [this] { return m_mainFrame->newDocument(); };
    target.isOpen = [this](const QString& path) {
        return m_mainFrame->findChildFrame(path) != nullptr;
    };
    m_recovery->apply(offers, answer, target);
}

bool CVantorpadApp::loadSettings() {
    IniFile ini(settingsFilePath(startDir));
    if (!ini.load().ok())
        std::fprintf(stderr, "Vantorpad.ini: cannot read %s, using the defaults\n",
                     qPrintable(ini.path()));
    settings.load(ini);
    currentServer = settings.defaultProfileIndex();
    recentFiles.load(ini);
    previewPages = ini.readInt("Settings", "PreviewPages", 1);
    barLayout = BarLayout::load(ini, screenSize()).value_or(QByteArray());
    m_settingsLoaded = true;
    return true;
}

void CVantorpadApp::keepSavedRectOnScreen() {
    WinRect saved{settings.Left, settings.Top, settings.Right, settings.Bottom};
    WinRect kept = KeepRectOnScreen(saved, usableScreenArea());
    settings.Left = kept.left;
    settings.Top = kept.top;
    settings.Right = kept.right;
    settings.Bottom = kept.bottom;
}

void CVantorpadApp::showMainWindow(int showState) {
    if (settings.Save) {
        WinRect r{settings.Left, settings.Top, settings.Right, settings.Bottom};
        // Nothing of the saved rectangle was on the screen: open at the default size instead.
        if (r.isEmpty())
            r = WinRect{r.left, r.top, r.left + 750, r.top + 530};
        m_mainFrame->setGeometry(r.left, r.top, r.width(), r.height());
        showState = settings.Show;
    }
    switch (showState) {
    case ShowMaximized:
        m_mainFrame->showMaximized();
        break;
    case ShowMinimized:
    case 6: // minimise
    case 7: // minimised, not active
        m_mainFrame->showMinimized();
        break;
    case 0: // hidden: the program would be unusable, so show it normally
    default:
        m_mainFrame->show();
        break;
    }
}

void CVantorpadApp::checkDirectories() {
    QString remembered = QDir::currentPath();
    if (!QDir::setCurrent(settings.TranDir)) {
        Prompt::error(QStringLiteral("転送Dir：%1 が存在しない為、再度環境設定を行って下さい。")
                          .arg(settings.TranDir));
        OnOptions();
    }
    if (!QDir::setCurrent(settings.PcDir)) {
        Prompt::error(QStringLiteral("ローカルDir：%1 が存在しない為、再度環境設定を行って下さい。")
                          .arg(settings.PcDir));
        OnOptions();
    }
    QDir::setCurrent(remembered);
}

int CVantorpadApp::ExitInstance() {
    if (transferWindowOpen && transferWindow) {
        delete transferWindow.data();
        transferWindowOpen = 0;
    }
    m_mainFrame.reset();
    // Every document has been saved or given up: nothing is left to restore.
    m_recovery->close();
    if (!m_settingsLoaded)
        return 0; // start-up failed before reading the file: keep it as it is
    QDir::setCurrent(startDir);
    const bool saved = SaveSettings(settings, startDir, [this](IniFile& ini) {
        QStringList kept = recentFiles.store(ini);
        ini.writeInt("Settings", "PreviewPages", previewPages);
        BarLayout::store(ini, barLayout, screenSize());
        return kept;
    });
    return saved ? 0 : 1;
}

bool CVantorpadApp::isCommandEnabled(int command) const {
    switch (command) {
    case CmdOpenServerFile:
        return currentProfile().isComplete();
    case CmdFtpTransfer:
        return currentProfile().isComplete() && settings.FtpUse != 0;
    case CmdInsertFile: {
        const CVantorpadView* view = m_mainFrame ? m_mainFrame->activeView() : nullptr;
        return view && !view->isReadOnly();
    }
    default:
        return true;
    }
}

bool CVantorpadApp::OpenTextDocument(const QString& path, const ServerProfile& profile,
                                     bool fromServer, bool readOnly,
                                     const std::optional<ServerFileStamp>& stamp) {
    if (!m_mainFrame)
        return false;
    return m_mainFrame->openTextDocument(path, profile, fromServer, readOnly, stamp);
}

void CVantorpadApp::runCommand(int command) {
    switch (command) {
    case CmdAppAbout:
        return OnAppAbout();
    case CmdFilePageSetup:
        return OnFilePrintSetup();
    case CmdOptions:
        return OnOptions();
    case CmdKeywordSettings:
        return OnKeywordSettings();
    case CmdFileNew:
        return OnFileNew();
    case CmdFileOpen:
        return OnFileOpen();
    case CmdOpenServerFile:
        return OnOpenServerFile();
    case CmdInsertFile:
        return OnInsertFile();
    case CmdFtpTransfer:
        return OnFtpTransfer();
    default:
        return;
    }
}

void CVantorpadApp::OnAppAbout() {
    CAboutDlg about(m_mainFrame.get());
    about.exec();
}

void CVantorpadApp::OnFilePrintSetup() {
    // The printer chosen here is the one every later print and preview uses.
    QPageSetupDialog dialog(&applicationPrinter(), m_mainFrame.get());
    dialog.exec();
}

void CVantorpadApp::OnOptions() {
    if (!m_hooks.runOptionsDialog(*this))
        return;
    currentServer = settings.defaultProfileIndex();
    // Every open editor takes the new look at once.
    if (m_mainFrame)
        for (CVantorpadView* view : m_mainFrame->findChildren<CVantorpadView*>())
            view->ApplyEditorSettings();
    emit optionsApplied();
    if (m_mainFrame)
        m_mainFrame->refreshCommandStates();
}

void CVantorpadApp::OnKeywordSettings() {
    CKeyWordSet dialog(settings.Key1, settings.Key2, m_mainFrame.get());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Written to the settings file at exit; nothing is coloured again until the user asks.
    settings.Key1 = dialog.set1();
    settings.Key2 = dialog.set2();
}

void CVantorpadApp::OnFileNew() {
    if (!m_mainFrame)
        return;
    m_mainFrame->newDocument();
    if (CVantorpadDoc* document = m_mainFrame->activeDocument())
        document->setTitle(QStringLiteral("新規"));
}

// A local file chosen in `PcDir` with the file kinds of the settings; the file dialog may change
// the current directory, which is where the settings file lives, so it is put back.
FileDialogResult CVantorpadApp::askForPcFile(FileDialogRequest request) {
    const QString remembered = QDir::currentPath();
    request.parent = m_mainFrame.get();
    request.directory = settings.PcDir;
    request.filters = settings.BuildPcFileFilter();
    const FileDialogResult chosen = FileDialogs::current().open(request);
    QDir::setCurrent(remembered);
    return chosen;
}

void CVantorpadApp::OnFileOpen() {
    FileDialogRequest request;
    request.title = QStringLiteral("クライアントファイル選択");
    request.showReadOnly = true;
    request.choiceLabel = QStringLiteral("読み込み先指定");
    request.choices = {QStringLiteral("標準（エディタ画面）"), QStringLiteral("スプレット画面")};
    request.choiceIndex = 0;
    const FileDialogResult chosen = askForPcFile(request);
    if (!chosen.accepted)
        return;
    if (chosen.choiceIndex == 1) {
        if (m_hooks.openInSpreadsheet)
            m_hooks.openInSpreadsheet(chosen.path, chosen.readOnly);
        recentFiles.add(chosen.path);
        return;
    }
    OpenTextDocument(chosen.path, profile(settings.DefaultNo), false, chosen.readOnly);
}

void CVantorpadApp::OnOpenServerFile() {
    currentServer = settings.defaultProfileIndex();
    ServerDialogContext context{settings, currentServer, ftpDebugLog, serverListOrder,
                                m_serverTrust};
    CServerDir dialog(context, CServerDir::OpenMode, m_mainFrame.get());
    // The dialog ends with OK only once the file is in the transfer directory.
    if (dialog.exec() != QDialog::Accepted)
        return;
    OpenTextDocument(dialog.localPath(), dialog.profile(), true, dialog.readOnly(), dialog.stamp());
}

bool CVantorpadApp::openServerFile(const RecentServerFile& file) {
    ServerProfile profile = this->profile(file.profile);
    if (profile.Server != file.server) {
        // The number now names another server: the file there is not the one that was opened.
        Prompt::error(QStringLiteral("サーバ設定 NO:%1 のサーバが変更された為、%2 を開けません。")
                          .arg(file.profile)
                          .arg(file.text()));
        return false;
    }
    profile.Dir = file.directory;
    currentServer = file.profile;
    FetchedFile fetched;
    {
        BusyGuard busy(m_mainFrame.get());
        fetched = fetchNamedFile(settings.Network, ftpDebugLog, m_serverTrust, settings.TranDir,
                                 profile, file.name);
    }
    return fetched.result.ok() && OpenTextDocument(fetched.localPath, fetched.profile, true,
                                                   fetched.readOnly, fetched.stamp);
}

void CVantorpadApp::OnInsertFile() {
    CVantorpadView* view = m_mainFrame ? m_mainFrame->activeView() : nullptr;
    if (!view || view->isReadOnly())
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("ファイルの挿入");
    const FileDialogResult chosen = askForPcFile(request);
    // A file that cannot be read as text inserts nothing; the count is not needed here.
    if (chosen.accepted)
        static_cast<void>(view->InsertTextFile(chosen.path));
}

void CVantorpadApp::OnFtpTransfer() {
    if (transferWindowOpen && transferWindow) {
        transferWindow->show();
        transferWindow->raise();
        transferWindow->activateWindow();
        return;
    }
    TransferWindowContext context{settings, currentServer, ftpDebugLog, m_serverTrust, {}, {}};
    context.openDocument = [this](const QString& path, const ServerProfile& profile,
                                  bool fromServer, bool readOnly,
                                  const std::optional<ServerFileStamp>& stamp) {
        return OpenTextDocument(path, profile, fromServer, readOnly, stamp);
    };
    // No parent: the window stands beside the main window and lives until shut-down.
    auto* window = new CFtpDlg(std::move(context));
    transferWindow = window;
    window->show();
    transferWindowOpen = 1;
}
