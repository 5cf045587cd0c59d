#pragma once

#include "editor/KeywordMatcher.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QTextBlock>
#include <QTextLayout>

#include <vector>

class QTextDocument;

// Keyword colours drawn over a document's text. They live in the text layout of each block
// (like a syntax highlighter's), not in the text's character formats, so colouring never adds
// an undo step, never marks the document modified and costs one format list per coloured
// line. A colour moves with its text while the user edits inside the line; a line that is
// split or joined loses its colours, as the colouring is a one-shot action.
class KeywordOverlay : public QObject {
    Q_OBJECT
public:
    explicit KeywordOverlay(QTextDocument* document);

    // Colours every match, later matches over earlier ones and over the colours of earlier
    // runs; colours[set] is the set's colour, drawn bold. Colours of earlier runs that no match
    // covers stay.
    void apply(const QList<KeywordMatch>& matches, const QColor colours[2]);
    void clear();
    bool isEmpty() const { return m_blocks.empty(); }

    // The coloured ranges of `block`, as drawn.
    QList<QTextLayout::FormatRange> rangesOf(const QTextBlock& block) const;

private:
    void onContentsChange(int from, int removed, int added);

    void clearFormats(const QTextBlock& block);

    QTextDocument* m_document;
    // Numbers of the coloured lines, ascending. Numbers rather than QTextBlock handles: a handle
    // of a line that an edit removed must never be touched again.
    std::vector<int> m_blocks;
    int m_blockCount = 0;
};
