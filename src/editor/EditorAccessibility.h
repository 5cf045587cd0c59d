#pragma once

// The editor view's accessible interface (text, caret, selection in UTF-16 offsets), answered
// through Scintilla's UTF-16 line index. It takes the place of QScintilla's own, which counts
// the characters from the start of the text at every change and every caret move: seconds per
// key at the end of a large document. Installed once, by the first view.
void installEditorAccessibility();

class CVantorpadView;
// Tells an assistive technology, when one listens, where the caret now is.
void reportCaretToAccessibility(CVantorpadView* view);
