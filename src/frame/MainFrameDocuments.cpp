// The main window's side of documents: editor windows, the commands of documents and views,
// the document menu's items and the recent-file list of the File menu.
#include "frame/CMainFrame.h"

#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CChildFrame.h"
#include "frame/FrameHost.h"
#include "frame/MenuBarKeys.h"
#include "frame/ProgramFileDialogs.h"
#include "platform/ScopedOverride.h"
#include "settings/AppSettings.h"
#include "settings/RecentFileList.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>

namespace {

// Commands of the document and its view, with their texts in the document menu.
struct DocumentCommand {
    int id;
    const char16_t* text;
    QKeyCombination keys;
};

const DocumentCommand DocumentCommands[] = {
    {CmdFileClose, u"閉じる(&C)", {}},
    {CmdFileSave, u"上書き保存(&U)\tCtrl+U", Qt::CTRL | Qt::Key_U},
    {CmdFileSaveAs, u"名前を付けて保存(&A)...", {}},
    {CmdSaveToServer, u"ｻｰﾊﾞに保存(&B)", {}},
    {CmdReload, u"再読込(&R)", {}},
    {EditorCommand::CompareWithFile, u"サーバ上のファイルと比較", {}},
    {CmdFilePrint, u"印刷(&P)...\tCtrl+P", Qt::CTRL | Qt::Key_P},
    {CmdFilePrintDirect, u"直接印刷", {}},
    {CmdFilePrintPreview, u"印刷プレビュー(&V)", {}},
    {CmdKeywordColour, u"キーワード色分け(&C)", {}},
    {EditorCommand::FormatFont, u"フォント(&F)", {}},
    {CmdSpreadsheet, u"スプレット入力(&S)", {}},
    {EditorCommand::InsertDateTime, u"日付＆時刻の挿入\tAlt+D", Qt::ALT | Qt::Key_D},
    {EditorCommand::InsertSpecialString, u"特定文字列の挿入\tAlt+S", Qt::ALT | Qt::Key_S},
    {EditorCommand::JumpLine, u"指定行へジャンプ\tCtrl+J", Qt::CTRL | Qt::Key_J},
};

} // namespace

void CMainFrame::createDocumentActions() {
    m_programDialogs = std::make_unique<ProgramFileDialogs>();
    m_fileDialogs = std::make_unique<ScopedOverride<FileDialogs*>>(FileDialogs::setDefault,
                                                                   m_programDialogs.get());
    for (const DocumentCommand& c : DocumentCommands) {
        QAction* a =
            addCommand(c.id, QString::fromUtf16(c.text),
                       c.keys == QKeyCombination() ? QKeySequence() : QKeySequence(c.keys));
        const int id = c.id;
        // Commands of the editor's right-click menu only: their keys work through the window.
        if (id == EditorCommand::InsertDateTime || id == EditorCommand::InsertSpecialString ||
            id == EditorCommand::JumpLine)
            addAction(a);
        connect(a, &QAction::triggered, this, [this, id] {
            if (id == CmdFileClose) {
                if (CChildFrame* child = activeChildFrame())
                    child->close();
            } else if (id == EditorCommand::CompareWithFile) {
                if (CVantorpadDoc* document = activeDocument())
                    document->OnFileCompare();
            } else {
                runViewCommand(id);
            }
            refreshCommandStates();
        });
    }
    for (int i = 0; i < RecentFileList::Size; ++i) {
        QAction* a = addCommand(CmdFileMru1 + i, QString());
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, i] { openRecentFile(i); });
    }
}

void CMainFrame::addDocumentFileItems(QMenu* file) {
    file->addAction(action(CmdFileClose));
    file->addSeparator();
    for (int id : {int(CmdFileSave), int(CmdFileSaveAs), int(CmdSaveToServer), int(CmdReload),
                   EditorCommand::CompareWithFile})
        file->addAction(action(id));
    file->addSeparator();
    file->addAction(action(CmdFilePrint));
    file->addAction(action(CmdFilePrintPreview));
}

void CMainFrame::addDocumentToolItems(QMenu* tools) {
    tools->addSeparator();
    for (int id : {int(CmdKeywordColour), EditorCommand::FormatFont, int(CmdSpreadsheet)})
        tools->addAction(action(id));
}

void CMainFrame::addRecentFileItems(QMenu* file) {
    file->addSeparator();
    for (int i = 0; i < RecentFileList::Size; ++i)
        file->addAction(action(CmdFileMru1 + i));
    connect(file, &QMenu::aboutToShow, this, &CMainFrame::updateRecentFileActions);
}

void CMainFrame::updateRecentFileActions() {
    const QStringList& files = m_host.recentFiles().files();
    for (int i = 0; i < RecentFileList::Size; ++i) {
        QAction* a = action(CmdFileMru1 + i);
        if (!a)
            continue;
        const bool used = i < files.size();
        a->setVisible(used);
        QString entry = files.value(i);
        if (used && !RecentServerFile::parse(entry, m_host.settings().Profiles))
            entry = QDir::toNativeSeparators(entry); // a local path, shown as the system writes it
        const QString shown = shownAsIs(entry);
        a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
    }
}

void CMainFrame::openRecentFile(int index) {
    const QStringList& files = m_host.recentFiles().files();
    if (index < 0 || index >= files.size())
        return;
    const QString path = files[index];
    if (const auto server = RecentServerFile::parse(path, m_host.settings().Profiles)) {
        // A server that cannot be reached now may be reachable later: the entry stays.
        static_cast<void>(m_host.openServerFile(*server));
        updateRecentFileActions();
        return;
    }
    // A file that can no longer be opened leaves the list (its message has been shown).
    if (!openTextDocument(path, defaultProfile(), false, false))
        m_host.recentFiles().remove(index);
    updateRecentFileActions();
}

CChildFrame* CMainFrame::activeChildFrame() const {
    return m_mdi ? qobject_cast<CChildFrame*>(m_mdi->currentSubWindow()) : nullptr;
}

CVantorpadView* CMainFrame::activeView() const {
    CChildFrame* child = activeChildFrame();
    return child ? child->view() : nullptr;
}

CVantorpadDoc* CMainFrame::activeDocument() const {
    CChildFrame* child = activeChildFrame();
    return child ? child->document() : nullptr;
}

QList<CChildFrame*> CMainFrame::childFrames() const {
    QList<CChildFrame*> frames;
    if (!m_mdi)
        return frames;
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(w))
            frames.append(child);
    return frames;
}

bool CMainFrame::isCommandEnabled(int command) const {
    if (command == CmdFilePageSetup)
        return true;
    if (const std::optional<bool> edit = editCommandEnabled(command))
        return *edit;
    if (const std::optional<bool> search = searchCommandEnabled(command))
        return *search;
    if (CVantorpadView::handlesCommand(command)) {
        CVantorpadView* view = activeView();
        return view && view->isCommandEnabled(command);
    }
    if (command == CmdFileClose)
        return activeChildFrame() != nullptr;
    if (command == EditorCommand::CompareWithFile) {
        const CVantorpadDoc* document = activeDocument();
        return document && document->canCompare();
    }
    if (command >= CmdFileMru1 && command < CmdFileMru1 + RecentFileList::Size)
        return true;
    return m_host.isCommandEnabled(command);
}

bool CMainFrame::runViewCommand(int command) {
    CVantorpadView* view = activeView();
    return view && view->runCommand(command);
}

CChildFrame* CMainFrame::addChildFrame(CVantorpadDoc* document) {
    auto* view = new CVantorpadView(m_host.documentHost(), document);
    view->setCommandLookup([this](int id) { return action(id); });
    auto* child = new CChildFrame(document, view);
    m_mdi->addSubWindow(child);
    child->showMaximized();
    m_mdi->setActiveSubWindow(child);
    view->setFocus();
    connect(view, &QsciScintilla::selectionChanged, this, &CMainFrame::refreshCommandStates);
    connect(view, &QsciScintilla::textChanged, this, &CMainFrame::refreshCommandStates);
    // The frame-title updates: a window opened, renamed or gone.
    connect(child, &QWidget::windowTitleChanged, this, &CMainFrame::syncSwitchBar);
    connect(child, &QObject::destroyed, this, &CMainFrame::syncSwitchBar, Qt::QueuedConnection);
    syncSwitchBar();
    refreshCommandStates();
    return child;
}

CChildFrame* CMainFrame::findChildFrame(const QString& path) const {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (CChildFrame* child : childFrames())
        if (child->document()->pathName() == absolute)
            return child;
    return nullptr;
}

const ServerProfile& CMainFrame::defaultProfile() {
    const AppSettings& s = m_host.settings();
    return s.Profiles[s.defaultProfileIndex()];
}

CVantorpadDoc* CMainFrame::newDocument() {
    auto* document = new CVantorpadDoc(m_host.documentHost());
    document->OnNewDocument();
    addChildFrame(document);
    return document;
}

bool CMainFrame::openTextDocument(const QString& path, const ServerProfile& profile,
                                  bool fromServer, bool readOnly,
                                  const std::optional<ServerFileStamp>& stamp) {
    CChildFrame* child = findChildFrame(path);
    if (child) {
        // Already open: the window comes to the front, as it is.
        m_mdi->setActiveSubWindow(child);
    } else {
        auto* document = new CVantorpadDoc(m_host.documentHost());
        // A server file is read in its server's code system.
        document->setServerFile(fromServer);
        document->setProfile(profile);
        if (!document->OnOpenDocument(path)) {
            delete document;
            return false;
        }
        child = addChildFrame(document);
    }
    CVantorpadDoc* document = child->document();
    document->setTitle(document->title());
    document->setServerFile(fromServer);
    document->setProfile(profile);
    document->setServerStamp(stamp);
    document->setReadOnly(readOnly);
    child->view()->setReadOnly(readOnly);
    addRecentDocument(*document, path);
    refreshCommandStates();
    return true;
}

void CMainFrame::addRecentDocument(const CVantorpadDoc& document, const QString& path) {
    // A server document's local copy goes when it closes: the list keeps the server's file.
    if (!document.serverFile())
        m_host.recentFiles().add(path);
    else if (const auto server =
                 RecentServerFile::of(document.profile(), document.fileName(),
                                      m_host.settings().Profiles, m_host.currentServer()))
        m_host.recentFiles().add(*server);
    updateRecentFileActions();
}
