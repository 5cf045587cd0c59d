// The view's side of search and replace: the one find operation, the replacement of the
// selection and the replacement of every occurrence. The searches read Scintilla's own bytes;
// nothing copies or converts the document.
#include "editor/CVantorpadView.h"

#include "editor/TextSearch.h"
#include "platform/BusyGuard.h"

// Scintilla's bytes from the character before `from` to `to` (-1: the end), in place: its text
// lies in two parts around a gap where it was last changed, and asking for a stretch moves the
// gap only when it lies inside, so the parts that are asked for stay where they are.
QByteArrayView CVantorpadView::documentBytes(long from, long to, long* base) const {
    if (to < 0)
        to = sendLong(SCI_GETLENGTH);
    *base = sendLong(SCI_POSITIONBEFORE, static_cast<unsigned long>(from));
    const char* bytes = reinterpret_cast<const char*>(
        sendLong(SCI_GETRANGEPOINTER, static_cast<unsigned long>(*base), to - *base));
    return QByteArrayView(bytes, to - *base);
}

bool CVantorpadView::FindInView(const QString& text, bool up, bool wholeWord, bool matchCase) {
    const long from = sendLong(up ? SCI_GETSELECTIONSTART : SCI_GETSELECTIONEND);
    long base = 0;
    // Upward, the character after the selection's start still decides a whole word.
    const QByteArrayView bytes =
        up ? documentBytes(0, sendLong(SCI_POSITIONAFTER, static_cast<unsigned long>(from)), &base)
           : documentBytes(from, -1, &base);
    const TextSearch::Match match =
        TextSearch::find(bytes, text, from - base, {up, wholeWord, matchCase});
    if (!match.found()) {
        if (hooks().searchFailed)
            hooks().searchFailed(window());
        return false;
    }
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(base + match.start),
                  long(base + match.end()));
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

// The new text from the first occurrence to the end of the last is built first and goes into
// the document as one replacement in one undo action: Scintilla then moves its text once,
// however many occurrences there are.
qsizetype CVantorpadView::replaceAll(const QString& text, const QString& replacement,
                                     bool wholeWord, bool matchCase) {
    if (isReadOnly())
        return 0;
    BusyGuard busy(this);
    const long from = sendLong(SCI_GETSELECTIONSTART);
    long base = 0;
    const TextSearch::Replaced r =
        TextSearch::replaceAll(documentBytes(from, -1, &base), text, replacement, from - base,
                               {false, wholeWord, matchCase});
    long caret = from;
    if (r.count > 0) {
        replaceRange(long(base + r.start), long(base + r.end), r.text);
        caret = long(base + r.start + r.text.size());
    }
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(caret));
    // The search after the last replacement finds nothing, as a loop of searches would end.
    if (hooks().searchFailed)
        hooks().searchFailed(window());
    if (r.count > 0)
        setFocus();
    return r.count;
}
