// The insertion commands of the editor view: date and time (32777), special strings (32791), a
// text file at the caret (32792) and the jump to a line (32769).

#include "editor/CVantorpadView.h"

#include "doc/DocumentHost.h"
#include "editor/InsertionDialogs.h"
#include "editor/Insertions.h"
#include "platform/BusyGuard.h"
#include "settings/AppSettings.h"

#include <QDateTime>
#include <QDir>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

void CVantorpadView::OnInsertDateTime() {
    CDateDialog dialog(CDateDialog::DateTime,
                       Insertions::dateTimeEntries(QDateTime::currentDateTime()), this);
    if (dialog.exec() == QDialog::Accepted)
        insertPlainText(dialog.chosen()); // replaces the selection, one undo step
}

void CVantorpadView::OnInsertSpecialString() {
    const QStringList entries =
        Insertions::readSpecialStrings(m_host.settings().StringFile, m_host.startDir());
    CDateDialog dialog(CDateDialog::SpecialStrings, entries, this);
    if (dialog.exec() == QDialog::Accepted)
        insertPlainText(dialog.chosen());
}

int CVantorpadView::InsertTextFile(const QString& path) {
    if (isReadOnly())
        return -1;
    const std::optional<Insertions::FileLines> file = Insertions::textFileLines(path);
    if (!file)
        return -1;
    BusyGuard busy(this);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    for (const QString& line : file->lines)
        cursor.insertText(line + u'\n');
    cursor.endEditBlock();
    setTextCursor(cursor);
    return file->count;
}

void CVantorpadView::OnJumpLine() {
    const int caretLine = textCursor().blockNumber() + 1;
    CJumpLine dialog(caretLine, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    jumpToLine(dialog.line());
}

void CVantorpadView::jumpToLine(int line) {
    const int caretLine = textCursor().blockNumber() + 1;
    if (line > caretLine) {
        QScrollBar* bar = verticalScrollBar();
        bar->setValue(bar->value() + (line - caretLine));
    }
    QTextCursor cursor(document());
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (block.isValid())
        cursor.setPosition(block.position());
    else
        cursor.movePosition(QTextCursor::End); // beyond the last line: the end of the text
    setTextCursor(cursor);
}
