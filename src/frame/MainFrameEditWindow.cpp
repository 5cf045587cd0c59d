// The main window's "編集" and "ウィンドウ" menus: the text widget's own editing commands on the
// active editor, and the arrangement and list of the editor windows.
#include "frame/CMainFrame.h"

#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CChildFrame.h"
#include "frame/MenuBarKeys.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QTextDocument>

namespace {

struct EditCommand {
    int id;
    const char16_t* text;
    void (QPlainTextEdit::*run)();
};

// The keys after the tab are the text widget's own; the actions claim none of them, so a key
// has one owner and reaches the focused widget in every window.
const EditCommand EditCommands[] = {
    {CmdEditUndo, u"元に戻す(&U)\tCtrl+Z", &QPlainTextEdit::undo},
    {CmdEditRedo, u"やり直し(&Y)\tCtrl+Y", &QPlainTextEdit::redo},
    {EditorCommand::EditCut, u"切り取り(&T)\tCtrl+X", &QPlainTextEdit::cut},
    {EditorCommand::EditCopy, u"コピー(&C)\tCtrl+C", &QPlainTextEdit::copy},
    {EditorCommand::EditPaste, u"貼り付け(&P)\tCtrl+V", &QPlainTextEdit::paste},
    {EditorCommand::EditSelectAll, u"すべて選択(&A)\tCtrl+A", &QPlainTextEdit::selectAll},
};

} // namespace

void CMainFrame::createEditWindowActions() {
    for (const EditCommand& c : EditCommands) {
        QAction* a = addCommand(c.id, QString::fromUtf16(c.text));
        connect(a, &QAction::triggered, this, [this, run = c.run] {
            if (CVantorpadView* view = activeView())
                (view->*run)();
            refreshCommandStates();
        });
    }
    QAction* cascade = addCommand(CmdWindowCascade, QStringLiteral("重ねて表示(&C)"));
    connect(cascade, &QAction::triggered, this, [this] { m_mdi->cascadeSubWindows(); });
    QAction* tile = addCommand(CmdWindowTile, QStringLiteral("並べて表示(&T)"));
    connect(tile, &QAction::triggered, this, [this] { m_mdi->tileSubWindows(); });
}

std::optional<bool> CMainFrame::editCommandEnabled(int command) const {
    using namespace EditorCommand;
    CVantorpadView* view = activeView();
    const bool writable = view && !view->isReadOnly();
    const bool selection = view && view->textCursor().hasSelection();
    switch (command) {
    case CmdEditUndo:
        return writable && view->document()->isUndoAvailable();
    case CmdEditRedo:
        return writable && view->document()->isRedoAvailable();
    case EditCut:
        return writable && selection;
    case EditCopy:
        return selection;
    case EditPaste:
        return view && view->canPaste();
    case EditSelectAll:
    case CmdWindowCascade:
    case CmdWindowTile:
        return view != nullptr;
    default:
        return std::nullopt;
    }
}

QMenu* CMainFrame::buildEditMenu() {
    auto* edit = new QMenu(QStringLiteral("編集(&E)"), this);
    for (int id : {int(CmdEditUndo), int(CmdEditRedo)})
        edit->addAction(action(id));
    edit->addSeparator();
    using namespace EditorCommand;
    for (int id : {EditCut, EditCopy, EditPaste})
        edit->addAction(action(id));
    edit->addSeparator();
    edit->addAction(action(EditSelectAll));
    edit->addSeparator();
    for (int id : {EditFind, FindDown, FindUp, EditReplace})
        edit->addAction(action(id));
    return edit;
}

QMenu* CMainFrame::buildWindowMenu() {
    auto* windows = new QMenu(QStringLiteral("ウィンドウ(&W)"), this);
    windows->addAction(action(CmdWindowCascade));
    windows->addAction(action(CmdWindowTile));
    windows->addSeparator();
    connect(windows, &QMenu::aboutToShow, this, [this, windows] { listWindows(windows); });
    return windows;
}

void CMainFrame::listWindows(QMenu* windows) {
    // The list after the separator is built afresh each time the menu opens.
    const QList<QAction*> items = windows->actions();
    for (qsizetype i = items.indexOf(action(CmdWindowTile)) + 2; i < items.size(); ++i)
        delete items[i];
    const QList<CChildFrame*> frames = childFrames();
    CChildFrame* active = activeChildFrame();
    for (qsizetype i = 0; i < frames.size(); ++i) {
        CChildFrame* child = frames[i];
        const QString title = shownAsIs(child->document()->title());
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title;
        QAction* item = windows->addAction(text);
        item->setStatusTip(QStringLiteral("このウィンドウをアクティブにします"));
        item->setCheckable(true);
        item->setChecked(child == active);
        connect(item, &QAction::triggered, this, [this, child = QPointer<CChildFrame>(child)] {
            if (child)
                m_mdi->setActiveSubWindow(child);
        });
    }
}
