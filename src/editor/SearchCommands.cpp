// The view's side of search and replace: the one find operation, the replacement of the
// selection and the replacement of every occurrence.
#include "editor/CVantorpadView.h"

#include "editor/TextSearch.h"
#include "platform/BusyGuard.h"

#include <QTextDocument>

const QString& CVantorpadView::searchedText() {
    if (!m_searchedTextValid) {
        m_searchedText = document()->toRawText();
        m_searchedTextValid = true;
    }
    return m_searchedText;
}

bool CVantorpadView::FindInView(const QString& text, bool up, bool wholeWord, bool matchCase) {
    const QTextCursor selection = textCursor();
    const qsizetype from = up ? selection.selectionStart() : selection.selectionEnd();
    const TextSearch::Match match =
        TextSearch::find(searchedText(), text, from, {up, wholeWord, matchCase});
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

void CVantorpadView::replaceSelection(const QString& text, bool caretBefore) {
    QTextCursor selection = textCursor();
    if (isReadOnly() || !selection.hasSelection())
        return;
    const int start = selection.selectionStart();
    selection.insertText(text);
    if (caretBefore)
        selection.setPosition(start);
    setTextCursor(selection);
}

// The replacements are worked out on the text first and go into the document line by line in
// one edit block: one undo step, the lines between untouched, and no search of the document per
// match, which would take minutes for a hundred thousand matches.
qsizetype CVantorpadView::replaceAll(const QString& text, const QString& replacement,
                                     bool wholeWord, bool matchCase) {
    if (isReadOnly())
        return 0;
    BusyGuard busy(this);
    QTextCursor caret = textCursor();
    const TextSearch::Replaced r = TextSearch::replaceAll(
        searchedText(), text, replacement, caret.selectionStart(), {false, wholeWord, matchCase});
    caret.setPosition(caret.selectionStart());
    if (r.count > 0) {
        QTextCursor edit(document());
        edit.beginEditBlock();
        // Back to front, so that each piece's place in the old text is still its place.
        for (auto piece = r.pieces.crbegin(); piece != r.pieces.crend(); ++piece) {
            edit.setPosition(int(piece->start));
            edit.setPosition(int(piece->end), QTextCursor::KeepAnchor);
            edit.insertText(piece->text);
        }
        edit.endEditBlock();
        qsizetype grown = 0;
        for (const TextSearch::Piece& piece : r.pieces)
            grown += piece.text.size() - (piece.end - piece.start);
        caret.setPosition(int(r.pieces.last().end + grown));
    }
    setTextCursor(caret);
    // The search after the last replacement finds nothing, as a loop of searches would end.
    if (hooks().searchFailed)
        hooks().searchFailed(window());
    if (r.count > 0)
        setFocus();
    return r.count;
}
