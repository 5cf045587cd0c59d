#pragma once

#include "editor/SyntaxLanguage.h"

#include <QColor>
#include <QFont>

class QObject;
class QsciLexer;

// One of Scintilla's own lexers for `language` (nullptr for plain text).
QsciLexer* createLexer(SyntaxLanguage language, QObject* parent);

// Colours every style of `lexer` from one palette on the editor's own paper and ink: comments,
// keywords, strings, numbers, tags and the like each get a hue that reads on a light paper, and
// a lighter one of the same hue on a dark paper; everything else is drawn in `ink`.
void paintLexer(QsciLexer& lexer, const QFont& font, const QColor& paper, const QColor& ink);
