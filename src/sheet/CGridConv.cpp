#include "sheet/CGridConv.h"

#include "grid/CGridCtrl.h"
#include "grid/GridFontMetrics.h"
#include "platform/BusyGuard.h"
#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "sheet/CAllControlsSheet.h"
#include "sheet/CProgDlg.h"
#include "sheet/SheetDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSizeGrip>
#include <QVBoxLayout>

CGridConv::CGridConv(const SheetContext& context, const DelimitedTextOptions& options,
                     QWidget* parent)
    : QDialog(parent), m_context(context), m_grid(new CGridCtrl(this)),
      m_editor(m_grid->model(), options) {
    setObjectName(QStringLiteral("GridConv"));
    setWindowTitle(QStringLiteral("スプレット入力"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenus();
    layout->setMenuBar(menuBar());
    m_grid->setObjectName(QStringLiteral("Grid"));
    layout->addWidget(m_grid, 1);
    auto* grip = new QSizeGrip(this);
    grip->setObjectName(QStringLiteral("SizeGrip"));
    layout->addWidget(grip, 0, Qt::AlignBottom | Qt::AlignRight);
    connect(m_grid, &CGridCtrl::rightClick, this,
            [this](int, int, QPoint globalPos) { showContextMenu(globalPos); });
    connect(&model(), &GridModel::selectionChanged, this, &CGridConv::refreshEnabled);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CGridConv::refreshEnabled);
    resize(788, 604); // 394 x 302 dialog units
}

CGridConv::~CGridConv() {
    if (m_context.mainWindow && m_context.mainWindow->isMinimized())
        m_context.mainWindow->showNormal();
}

GridModel& CGridConv::model() {
    return m_grid->model();
}

QMenuBar* CGridConv::menuBar() {
    if (!m_menuBar)
        m_menuBar = new QMenuBar(this);
    return m_menuBar;
}

QAction* CGridConv::addCommand(QMenu* menu, int command, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setData(command);
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    m_actions.insert(command, action);
    return action;
}

void CGridConv::buildMenus() {
    using namespace SheetCommand;
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    addCommand(file, Save, QStringLiteral("保存(&S)"));
    addCommand(file, SaveAs, QStringLiteral("名前を付けて保存(&A)..."));
    addCommand(file, Close, QStringLiteral("閉じる(&C)"));
    QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
    addCommand(edit, Cut, QStringLiteral("切り取り(&T)\tCtrl+X"));
    addCommand(edit, Copy, QStringLiteral("コピー(&C)\tCtrl+C"));
    addCommand(edit, Paste, QStringLiteral("貼り付け(&P)\tCtrl+V"));
    edit->addSeparator();
    addCommand(edit, SearchReplaceNarrow, QStringLiteral("検索＆置換＆絞込(&R)"));
    QMenu* rows = bar->addMenu(QStringLiteral("行操作(&L)"));
    addCommand(rows, InsertRow, QStringLiteral("行挿入(&I)"));
    addCommand(rows, DeleteRows, QStringLiteral("行削除(&D)"));
    QMenu* cols = bar->addMenu(QStringLiteral("列操作(&C)"));
    addCommand(cols, InsertColumn, QStringLiteral("列挿入(&I)"));
    addCommand(cols, DeleteColumns, QStringLiteral("列削除(&D)"));
    cols->addSeparator();
    addCommand(cols, MoveColumn, QStringLiteral("列移動(&T)"));
    QMenu* options = bar->addMenu(QStringLiteral("オプション(&O)"));
    addCommand(options, Font, QStringLiteral("フォント(&F)"));
    options->addSeparator();
    addCommand(options, SortOnClick, QStringLiteral("列ソート(&S)"))->setCheckable(true);
    addCommand(options, ReadOnly, QStringLiteral("読込専用(&R)"))->setCheckable(true);
    options->addSeparator();
    addCommand(options, Hide, QStringLiteral("非表示(&H)"));
    addCommand(options, ShowAll, QStringLiteral("全て表示(&D)"));
    options->addSeparator();
    addCommand(options, FitAll, QStringLiteral("サイズ自動調整(&A)"));
}

// Menu 183: the same commands as the window's menu, in its own order and words.
QMenu* CGridConv::buildContextMenu() {
    using namespace SheetCommand;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("ContextMenu"));
    const auto item = [this](QMenu* m, int command, const QString& text) {
        QAction* a = m->addAction(text);
        a->setData(command);
        a->setEnabled(isCommandEnabled(command));
        connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    item(menu, Font, QStringLiteral("フォント"));
    menu->addSeparator();
    item(menu, Cut, QStringLiteral("切り取り"));
    item(menu, Copy, QStringLiteral("ｺﾋﾟｰ"));
    item(menu, Paste, QStringLiteral("貼り付け"));
    menu->addSeparator();
    item(menu, SearchReplaceNarrow, QStringLiteral("検索＆置換＆絞込"));
    menu->addSeparator();
    item(menu, Hide, QStringLiteral("非表示"));
    menu->addSeparator();
    QMenu* rows = menu->addMenu(QStringLiteral("行操作(&L)"));
    item(rows, InsertRow, QStringLiteral("行挿入(&I)"));
    item(rows, DeleteRows, QStringLiteral("行削除(&D)"));
    QMenu* cols = menu->addMenu(QStringLiteral("列操作(&C)"));
    item(cols, InsertColumn, QStringLiteral("列挿入(&I)"));
    item(cols, DeleteColumns, QStringLiteral("列削除(&D)"));
    cols->addSeparator();
    item(cols, MoveColumn, QStringLiteral("列移動(&T)"));
    return menu;
}

void CGridConv::showContextMenu(const QPoint& globalPos) {
    QMenu* menu = buildContextMenu();
    menu->exec(globalPos);
    delete menu;
}

bool CGridConv::isCommandEnabled(int command) const {
    switch (command) {
    case SheetCommand::Save:
    case SheetCommand::SaveAs:
        return m_editor.loaded(); // a grid that is not the whole file never replaces it
    case SheetCommand::Cut:
    case SheetCommand::Copy:
        return m_grid->model().SelectionBounds().isValid();
    case SheetCommand::Paste: {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        return data && data->hasText();
    }
    default:
        return true;
    }
}

void CGridConv::refreshEnabled() {
    for (int command : {SheetCommand::Save, SheetCommand::SaveAs, SheetCommand::Cut,
                        SheetCommand::Copy, SheetCommand::Paste})
        m_actions.value(command)->setEnabled(isCommandEnabled(command));
}

void CGridConv::refreshChecks() {
    m_actions.value(SheetCommand::SortOnClick)->setChecked(m_editor.sortOnClick());
    m_actions.value(SheetCommand::ReadOnly)->setChecked(m_editor.readOnly());
}

void CGridConv::runCommand(int command) {
    using namespace SheetCommand;
    if (!isCommandEnabled(command))
        return;
    // Every command but paste (which goes into the edit box) works on the cells: a cell being
    // edited takes its text first, or stays open when the text cannot be held.
    if (command != Paste && !m_grid->EndCellEdit())
        return;
    switch (command) {
    case Save:
        static_cast<void>(SaveDelimitedText());
        break;
    case SaveAs:
        static_cast<void>(SaveDelimitedTextAs());
        break;
    case Close:
        reject();
        break;
    case Cut:
        m_grid->Cut();
        break;
    case Copy:
        m_grid->Copy();
        break;
    case Paste:
        m_grid->Paste();
        break;
    case SearchReplaceNarrow:
        onSearch();
        break;
    case InsertRow:
        m_editor.insertRow();
        break;
    case DeleteRows:
        m_editor.deleteRows();
        break;
    case InsertColumn:
        m_editor.insertColumn();
        break;
    case DeleteColumns:
        m_editor.deleteColumns();
        break;
    case MoveColumn:
        onMoveColumn();
        break;
    case Font:
        onFont();
        break;
    case SortOnClick:
        m_editor.setSortOnClick(!m_editor.sortOnClick());
        refreshChecks();
        break;
    case ReadOnly:
        m_editor.setReadOnly(!m_editor.readOnly());
        refreshChecks();
        break;
    case Hide:
        m_editor.hide();
        break;
    case ShowAll:
        showAll();
        break;
    case FitAll:
        fitAll();
        break;
    default:
        break;
    }
}

bool CGridConv::LoadDelimitedText() {
    BusyGuard busy;
    m_progress = new CProgDlg(this);
    m_progress->show();
    SheetEditor::LoadProgress progress;
    progress.readRange = [this](qint64 n) { m_progress->setReadRange(n); };
    progress.read = [this](qint64 n) { m_progress->setRead(n); };
    progress.cellRange = [this](qint64 n) { m_progress->setCellRange(n); };
    progress.cells = [this](qint64 n) { m_progress->setCells(n); };
    const bool loaded = m_editor.load(progress);
    refreshChecks();
    refreshEnabled();
    m_progress->hide();
    if (m_context.mainWindow)
        m_context.mainWindow->showMinimized();
    return loaded;
}

Result<> CGridConv::SaveDelimitedText() {
    if (m_editor.readOnly() || !m_editor.loaded() || !m_grid->EndCellEdit())
        return Result<>::refused();
    CDelimMsgDlg settings(CDelimMsgDlg::Mode::Save, m_editor.options(), this);
    if (settings.exec() != QDialog::Accepted)
        return Result<>::cancelled();
    m_editor.options().delimiter = settings.options().delimiter;
    m_editor.options().firstRowHeadings = settings.options().firstRowHeadings;
    m_editor.options().quoted = settings.options().quoted;
    BusyGuard busy;
    return m_editor.save();
}

Result<> CGridConv::SaveDelimitedTextAs() {
    FileDialogRequest request;
    request.parent = this;
    request.title = QStringLiteral("名前を付けて保存");
    request.fileName = m_editor.options().path;
    request.directory = m_context.settings.PcDir;
    request.filters = m_context.settings.BuildPcFileFilter();
    const QString remembered = QDir::currentPath();
    const FileDialogResult chosen = FileDialogs::current().save(request);
    QDir::setCurrent(remembered);
    if (!chosen.accepted)
        return Result<>::cancelled();
    m_editor.options().path = chosen.path;
    return SaveDelimitedText();
}

void CGridConv::onMoveColumn() {
    const int source = m_editor.moveColumnSource();
    if (source < 0)
        return;
    CMoveColMsg dialog(source, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    BusyGuard busy;
    m_editor.moveColumn(source, dialog.target());
}

void CGridConv::onFont() {
    CGridDefaultCell& normal = model().DefaultCell(false, false);
    CGridFontDlg dialog(m_grid->font(), QColor::fromRgb(QRgb(normal.GetTextClr())), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The four default cells take the font; cells without one of their own follow. Sizes stay
    // until "サイズ自動調整".
    const QFont chosen = dialog.selectedFont();
    m_grid->setFont(chosen);
    model().SetDefaultFont(GridFontMetrics::describe(chosen));
    normal.SetTextClr(GridColour(dialog.colour().rgb() & 0xFFFFFF));
    m_grid->viewport()->update();
}

void CGridConv::onSearch() {
    CAllControlsSheet sheet(m_context, m_grid, this);
    sheet.exec();
}

void CGridConv::fitAll() {
    BusyGuard busy;
    m_grid->model().FitAll();
}

void CGridConv::showAll() {
    BusyGuard busy;
    m_editor.showAll();
}

void CGridConv::reject() {
    if (!m_closing && !m_grid->EndCellEdit())
        return;
    if (!m_closing && m_grid->model().IsModified()) {
        QApplication::beep();
        if (Prompt::question(QStringLiteral("編集を破棄します。宜しいですか？")) !=
            PromptAnswer::Yes)
            return;
    }
    QDialog::reject();
}

void CGridConv::closeEvent(QCloseEvent* event) {
    if (!m_grid->EndCellEdit()) {
        event->ignore();
        return;
    }
    if (m_grid->model().IsModified()) {
        QApplication::beep();
        if (Prompt::question(QStringLiteral("変更を保存しますか？")) == PromptAnswer::Yes &&
            !SaveDelimitedText().ok()) {
            // Nothing was written: the window stays with its edits.
            event->ignore();
            return;
        }
    }
    m_grid->model().MarkModified(false);
    m_closing = true;
    reject();
    event->accept();
}

void CGridConv::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc went to the grid (or its editor) first; what it left is dropped here, so
    // they never act as the dialog's default or cancel button.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
