#pragma once

#include "ftp/ServerFileStamp.h"
#include "sheet/SheetContext.h"

#include <QHash>
#include <QMainWindow>

#include <memory>
#include <optional>

struct ServerProfile;
class CChildFrame;
class FileDialogs;
class FrameHost;
class ProgramFileDialogs;
class CVantorpadDoc;
class CVantorpadView;
class MainStatusBar;
class MainToolBar;
class WindowSwitchBar;
class FindBar;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
template <typename T> class ScopedOverride;

// The MDI main window: the MDI area, menus 128 (no document) and 129 (a document is active),
// and the QActions of every command, each carrying its command id.
class CMainFrame : public QMainWindow, public SearchTextSink {
    Q_OBJECT
public:
    enum MenuId { MainMenu = 128, DocumentMenu = 129 };

    explicit CMainFrame(FrameHost& host);
    ~CMainFrame() override;

    bool create();

    QMdiArea* mdiArea() const { return m_mdi; }
    QMdiSubWindow* activeChild() const;

    // The action of a command id, created on first use; nullptr for an unknown id.
    QAction* action(int command) const { return m_actions.value(command); }
    // Runs a command as the menu would, if it is enabled; returns whether it ran.
    bool triggerCommand(int command);
    // Re-evaluates every enable rule.
    void refreshCommandStates();
    int shownMenu() const { return m_shownMenu; }

    bool openTextDocument(const QString& path, const ServerProfile& profile, bool fromServer,
                          bool readOnly, const std::optional<ServerFileStamp>& stamp = {});

    // Editor windows: the active one, every one, and a new empty document.
    CChildFrame* activeChildFrame() const;
    CVantorpadView* activeView() const;
    CVantorpadDoc* activeDocument() const;
    QList<CChildFrame*> childFrames() const;
    // The editor window of the file at `path`, or none.
    CChildFrame* findChildFrame(const QString& path) const;
    CVantorpadDoc* newDocument();
    // Enable rule of a command: the active view's for its own commands, else the application's.
    bool isCommandEnabled(int command) const;
    // The find bar "検索" with the find box.
    FindBar* findBar() const;

    MainToolBar* mainToolBar() const { return m_toolBar; }
    MainStatusBar* mainStatusBar() const { return m_statusBar; }
    // The window switch bar; nullptr when it is off (WindBar).
    WindowSwitchBar* switchBar() const { return m_switchBar; }
    // What an idle cycle does: the status panes follow the active editor.
    void refreshStatus();
    // The layout of the bars as the settings keep it.
    QByteArray barState() const;

    // The spreadsheet's search: its history goes to the find box, a failure flashes the window.
    void takeSearchHistory(const QStringList& history) override;
    void searchFailed() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QAction* addCommand(int command, const QString& text, QKeySequence shortcut = {});
    void createActions();
    QList<QMenu*> buildMenus(MenuId id);
    void showMenu(MenuId id);
    void storePlacement();
    // The toolbar, the status bar, the switch bar and the "表示" menu's commands.
    void createBars();
    void createViewActions();
    QMenu* buildViewMenu();
    void restoreBarLayout();
    void setFindBarVisible(bool visible);
    void fitFindBarBesideToolBar();
    void refreshCheckMarks();
    void syncSwitchBar();
    void OnHelp();
    // The commands of documents and views, the document menu's items and the recent files.
    void createDocumentActions();
    void addDocumentFileItems(QMenu* file);
    void addRecentFileItems(QMenu* file);
    void addDocumentToolItems(QMenu* tools);
    bool runViewCommand(int command);
    // The "編集" and "ウィンドウ" menus; the enable rule of their commands, nullopt for others.
    void createEditWindowActions();
    QMenu* buildEditMenu();
    QMenu* buildWindowMenu();
    void listWindows(QMenu* windows);
    std::optional<bool> editCommandEnabled(int command) const;
    void updateRecentFileActions();
    void addRecentDocument(const CVantorpadDoc& document, const QString& path);
    void openRecentFile(int index);
    CChildFrame* addChildFrame(CVantorpadDoc* document);
    // The profile of files opened from the recent-file list or dropped on the window.
    const ServerProfile& defaultProfile();

    // Searching (MainFrameFindBar.cpp): the find bar, the commands 57636, 57641 and 32794-32796,
    // the dialogs, and the search history taken from the find box when the window closes.
    void createSearchActions();
    void createFindBar();
    std::optional<bool> searchCommandEnabled(int command) const;
    void runSearchCommand(int command);
    void openSearchDialog(CVantorpadView* view, bool replace);
    void storeSearchHistory();
    // Lists the server documents whose last save did not reach their server; true when the
    // user goes on closing.
    [[nodiscard]] bool letGoOfUnsentTexts();
    // Asks the active document about a change made to its file by another program.
    void checkActiveDiskFile();

    FrameHost& m_host;
    // The program's own file dialogs serve while the window lives.
    std::unique_ptr<ProgramFileDialogs> m_programDialogs;
    std::unique_ptr<ScopedOverride<FileDialogs*>> m_fileDialogs;
    QMdiArea* m_mdi = nullptr;
    QHash<int, QAction*> m_actions;
    QHash<int, QList<QMenu*>> m_menus;
    int m_shownMenu = 0;
    MainToolBar* m_toolBar = nullptr;
    MainStatusBar* m_statusBar = nullptr;
    WindowSwitchBar* m_switchBar = nullptr;
    FindBar* m_findBar = nullptr;
};
