// The view's side of search and replace: the one find operation, the replacement of the
// selection and the replacement of every occurrence.
#include "editor/CVantorpadView.h"

#include "editor/TextSearch.h"
#include "platform/BusyGuard.h"

#include <QTextDocument>

bool CVantorpadView::FindInView(const QString& text, bool up, bool wholeWord, bool matchCase) {
    const QTextCursor selection = textCursor();
    const qsizetype from = up ? selection.selectionStart() : selection.selectionEnd();
    const TextSearch::Match match =
        TextSearch::find(document()->toRawText(), text, from, {up, wholeWord, matchCase});
    if (!match.found()) {
        if (hooks().searchFailed)
            hooks().searchFailed(window());
        return false;
    }
    QTextCursor found(document());
    found.setPosition(int(match.start));
    found.setPosition(int(match.end()), QTextCursor::KeepAnchor);
    setTextCursor(found);
    setFocus();
    return true;
}

void CVantorpadView::replaceSelection(const QString& text) {
    QTextCursor selection = textCursor();
    if (isReadOnly() || !selection.hasSelection())
        return;
    selection.insertText(text);
    setTextCursor(selection);
}

// The occurrences are replaced in the text first and the changed stretch goes into the document
// in one edit: one undo step, and no per-match work in the document, which would take minutes
// for a hundred thousand matches.
qsizetype CVantorpadView::replaceAll(const QString& text, const QString& replacement,
                                     bool wholeWord, bool matchCase) {
    if (isReadOnly())
        return 0;
    BusyGuard busy(this);
    QTextCursor caret = textCursor();
    const TextSearch::Replaced r =
        TextSearch::replaceAll(document()->toRawText(), text, replacement, caret.selectionStart(),
                               {false, wholeWord, matchCase});
    if (r.count > 0) {
        QTextCursor edit(document());
        edit.beginEditBlock();
        edit.setPosition(int(r.start));
        edit.setPosition(int(r.end), QTextCursor::KeepAnchor);
        edit.insertText(r.text);
        edit.endEditBlock();
        caret.setPosition(int(r.start + r.text.size()));
    } else {
        caret.setPosition(caret.selectionStart());
    }
    setTextCursor(caret);
    // The search after the last replacement finds nothing, as a loop of searches would end.
    if (hooks().searchFailed)
        hooks().searchFailed(window());
    if (r.count > 0)
        setFocus();
    return r.count;
}
