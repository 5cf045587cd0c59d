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
    const LineEnd lineEnd = m_document ? m_document->prevailingLineEnd() : LineEnd::Lf;
    BusyGuard busy(this);
    const std::optional<Insertions::FileLines> file =
        Insertions::textFileLines(path, lineEndBytes(lineEnd));
    if (!file)
        return -1;
    const long from = sendLong(SCI_GETSELECTIONSTART);
    replaceRange(from, sendLong(SCI_GETSELECTIONEND), file->utf8);
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(from + file->utf8.size()));
    return file->count;
}

void CVantorpadView::OnJumpLine() {
    CJumpLine dialog(caretLine(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    jumpToLine(dialog.line());
}

void CVantorpadView::jumpToLine(int line) {
    const int from = caretLine();
    if (line > from)
        SendScintilla(SCI_LINESCROLL, 0UL, long(line - from));
    if (line > lines())
        SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(sendLong(SCI_GETLENGTH)));
    else
        SendScintilla(SCI_GOTOLINE, static_cast<unsigned long>(line - 1));
}
