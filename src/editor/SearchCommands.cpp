// The view's side of search and replace: the one find operation, the replacement of the
// selection and the replacement of every occurrence.
#include "editor/CVantorpadView.h"

#include "editor/TextSearch.h"
#include "platform/BusyGuard.h"

const QString& CVantorpadView::searchedText() const {
    if (!m_searchedTextValid) {
        m_searchedText = toPlainText();
        m_searchedTextValid = true;
    }
    return m_searchedText;
}

bool CVantorpadView::FindInView(const QString& text, bool up, bool wholeWord, bool matchCase) {
    const qsizetype from = up ? selectionStart() : selectionEnd();
    const TextSearch::Match match =
        TextSearch::find(searchedText(), text, from, {up, wholeWord, matchCase});
    if (!match.found()) {
        if (hooks().searchFailed)
            hooks().searchFailed(window());
        return false;
    }
    select(match.start, match.end());
    setFocus();
    return true;
}

void CVantorpadView::replaceSelection(const QString& text, bool caretBefore) {
    if (isReadOnly() || !hasSelection())
        return;
    const long start = sendLong(SCI_GETSELECTIONSTART);
    insertPlainText(text);
    if (caretBefore)
        SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(start));
}

// The replacements are worked out on the text first and go into the document piece by piece in
// one undo action, back to front so that each piece's place is still its place: the lines
// between stay untouched and no search of the document runs per match.
qsizetype CVantorpadView::replaceAll(const QString& text, const QString& replacement,
                                     bool wholeWord, bool matchCase) {
    if (isReadOnly())
        return 0;
    BusyGuard busy(this);
    const qsizetype from = selectionStart();
    const TextSearch::Replaced r = TextSearch::replaceAll(searchedText(), text, replacement, from,
                                                          {false, wholeWord, matchCase});
    long caret = bytePosition(from);
    if (r.count > 0) {
        const long firstPiece = bytePosition(r.pieces.first().start);
        const long lastEnd = bytePosition(r.pieces.last().end);
        SendScintilla(SCI_BEGINUNDOACTION);
        // One replacement from the first piece to the end of the last: Scintilla then moves
        // its text once, however many matches there are.
        QString joined;
        qsizetype at = r.pieces.first().start;
        const QString& all = searchedText();
        for (const TextSearch::Piece& piece : r.pieces) {
            joined.append(QStringView(all).sliced(at, piece.start - at));
            joined.append(piece.text);
            at = piece.end;
        }
        const QByteArray utf8 = editorUtf8Of(joined);
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(firstPiece), lastEnd);
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.constData());
        SendScintilla(SCI_ENDUNDOACTION);
        caret = firstPiece + long(utf8.size());
    }
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(caret));
    // The search after the last replacement finds nothing, as a loop of searches would end.
    if (hooks().searchFailed)
        hooks().searchFailed(window());
    if (r.count > 0)
        setFocus();
    return r.count;
}
