#pragma once

#include "platform/Result.h"
#include "sheet/SheetContext.h"
#include "sheet/SheetEditor.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

class CGridCtrl;
class GridModel;
class CProgDlg;
class QAction;
class QMenu;
class QMenuBar;

// The command ids of the spreadsheet window's menus (menu 182, context menu 183).
namespace SheetCommand {
enum : int {
    Save = 1,
    Close = 2,
    SortOnClick = 192,
    ReadOnly = 193,
    Hide = 195,
    ShowAll = 196,
    FitAll = 197,
    Font = 1003,
    DeleteColumns = 1087,
    InsertColumn = 1088,
    InsertRow = 1108,
    DeleteRows = 1112,
    MoveColumn = 1116,
    SearchReplaceNarrow = 1122,
    SaveAs = 57604,
    Copy = 57634,
    Cut = 57635,
    Paste = 57637,
};
} // namespace SheetCommand

// "スプレット入力": a delimited file in a grid (dialog 104). The caller builds it with the options
// of the settings dialog, loads the file (LoadDelimitedText) and runs it modally. The main window
// is minimised once the file is loaded and restored when this window goes.
class CGridConv : public QDialog {
    Q_OBJECT
public:
    CGridConv(const SheetContext& context, const DelimitedTextOptions& options,
              QWidget* parent = nullptr);
    ~CGridConv() override;

    // Reads the file into the grid with the progress dialog; false when it could not be read
    // (reported; the grid stays empty and the window usable).
    bool LoadDelimitedText();
    Result<> SaveDelimitedText();
    Result<> SaveDelimitedTextAs();

    GridModel& model();
    CGridCtrl* gridCtrl() const { return m_grid; }
    SheetEditor& editor() { return m_editor; }
    const DelimitedTextOptions& options() const { return m_editor.options(); }
    // The files this window has written.
    const QStringList& writtenPaths() const { return m_editor.writtenPaths(); }

    QAction* action(int command) const { return m_actions.value(command); }
    void runCommand(int command);
    bool isCommandEnabled(int command) const;

    // The cancel command (2): asks before throwing edits away.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QMenuBar* menuBar();
    void buildMenus();
    QAction* addCommand(QMenu* menu, int command, const QString& text);
    QMenu* buildContextMenu();
    void showContextMenu(const QPoint& globalPos);
    void refreshChecks();
    void refreshEnabled();
    void onMoveColumn();
    void onFont();
    void onSearch();
    void fitAll();
    void showAll();

    SheetContext m_context;
    CGridCtrl* m_grid; // owns the model the editor works on
    SheetEditor m_editor;
    CProgDlg* m_progress = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QHash<int, QAction*> m_actions;
    bool m_closing = false; // the close box has had its question: the cancel path asks nothing
};
