// The editor's right-click menu: menu 170 with its texts, each item running the main window's
// action of the same command id, so that the commands go through the usual routing.
#include "editor/CVantorpadView.h"

#include "commands/Command.h"
#include "commands/CommandHelp.h"
#include "commands/EditorCommands.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QStatusTipEvent>

namespace {

QString menuText(int command) {
    using namespace EditorCommand;
    switch (command) {
    case FormatFont:
        return QStringLiteral("フォント");
    case EditCut:
        return QStringLiteral("切り取り");
    case EditCopy:
        return QStringLiteral("ｺﾋﾟｰ");
    case EditPaste:
        return QStringLiteral("貼り付け");
    case EditPasteSpecial:
        return QStringLiteral("形式を選択して貼り付け");
    case EditSelectAll:
        return QStringLiteral("すべて選択");
    case EditFind:
        return QStringLiteral("検索");
    case EditRepeat:
        return QStringLiteral("次を検索");
    case EditReplace:
        return QStringLiteral("置換");
    case InsertDateTime:
        return QStringLiteral("日付＆時刻の挿入");
    case InsertSpecialString:
        return QStringLiteral("特定文字列の挿入");
    case ToUpper:
        return QStringLiteral("大文字変換");
    case ToLower:
        return QStringLiteral("小文字変換");
    case HalfKanaToFull:
        return QStringLiteral("半角ｶﾅ→全角カナ変換");
    case HalfToFull:
        return QStringLiteral("半角→全角変換");
    case FullToHalf:
        return QStringLiteral("全角→半角変換");
    case HiraganaToKatakana:
        return QStringLiteral("ひらがな→カナ変換");
    case KatakanaToHiragana:
        return QStringLiteral("カナ→ひらがな変換");
    case CmdKeywordColour:
        return QStringLiteral("キーワード色分け");
    case Keyword1Upper:
        return QStringLiteral("ｷｰﾜｰﾄﾞ1 大文字変換");
    case Keyword1Lower:
        return QStringLiteral("ｷｰﾜｰﾄﾞ1 小文字変換");
    case Keyword2Upper:
        return QStringLiteral("ｷｰﾜｰﾄﾞ2 大文字変換");
    case Keyword2Lower:
        return QStringLiteral("ｷｰﾜｰﾄﾞ2 小文字変換");
    default:
        return QString::number(command);
    }
}

} // namespace

void CVantorpadView::addMenuCommand(QMenu* menu, int command) {
    using namespace EditorCommand;
    // The platform's repeat-search has nothing to repeat here: the entry searches down.
    const int routed = command == EditRepeat ? FindDown : command;
    QAction* item = menu->addAction(menuText(command));
    item->setData(command);
    item->setStatusTip(commandHelp(command));
    QAction* target = m_lookup ? m_lookup(routed) : nullptr;
    if (handlesCommand(routed)) {
        item->setEnabled(isCommandEnabled(routed));
        connect(item, &QAction::triggered, this, [this, routed, target] {
            if (target)
                target->trigger();
            else
                runCommand(routed);
        });
        return;
    }
    if (target) {
        item->setEnabled(target->isEnabled());
        connect(item, &QAction::triggered, target, &QAction::trigger);
        return;
    }
    // The editing commands the text widget does itself; the others arrive with their
    // features and do nothing until then.
    const bool selection = textCursor().hasSelection();
    switch (command) {
    case EditCut:
        item->setEnabled(selection && !isReadOnly());
        connect(item, &QAction::triggered, this, &QPlainTextEdit::cut);
        break;
    case EditCopy:
        item->setEnabled(selection);
        connect(item, &QAction::triggered, this, &QPlainTextEdit::copy);
        break;
    case EditPaste:
    case EditPasteSpecial:
        item->setEnabled(canPaste());
        connect(item, &QAction::triggered, this, &QPlainTextEdit::paste);
        break;
    case EditSelectAll:
        connect(item, &QAction::triggered, this, &QPlainTextEdit::selectAll);
        break;
    default:
        break;
    }
}

QMenu* CVantorpadView::createContextMenu() {
    using namespace EditorCommand;
    auto* menu = new QMenu(this);
    addMenuCommand(menu, FormatFont);
    menu->addSeparator();
    for (int command : {EditCut, EditCopy, EditPaste, EditPasteSpecial, EditSelectAll})
        addMenuCommand(menu, command);
    menu->addSeparator();
    for (int command : {EditFind, EditRepeat, EditReplace})
        addMenuCommand(menu, command);
    menu->addSeparator();
    QMenu* insert = menu->addMenu(QStringLiteral("挿入"));
    addMenuCommand(insert, InsertDateTime);
    addMenuCommand(insert, InsertSpecialString);
    QMenu* convert = menu->addMenu(QStringLiteral("文字変換"));
    addMenuCommand(convert, ToUpper);
    addMenuCommand(convert, ToLower);
    convert->addSeparator();
    for (int command = HalfKanaToFull; command <= KatakanaToHiragana; ++command)
        addMenuCommand(convert, command);
    QMenu* keywords = menu->addMenu(QStringLiteral("キーワード"));
    addMenuCommand(keywords, CmdKeywordColour);
    keywords->addSeparator();
    addMenuCommand(keywords, Keyword1Upper);
    addMenuCommand(keywords, Keyword1Lower);
    keywords->addSeparator();
    addMenuCommand(keywords, Keyword2Upper);
    addMenuCommand(keywords, Keyword2Lower);
    // The popup is a window of its own, from which a help text would not reach the main
    // window's status bar: the view passes the texts on.
    connect(menu, &QMenu::hovered, this, [this](QAction* item) { item->showStatusText(this); });
    connect(menu, &QMenu::aboutToHide, this, [this] {
        QStatusTipEvent gone{QString()};
        QCoreApplication::sendEvent(this, &gone);
    });
    return menu;
}

void CVantorpadView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu();
    menu->exec(event->globalPos() + QPoint(5, 0));
    delete menu;
}
