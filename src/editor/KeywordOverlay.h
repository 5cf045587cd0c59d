#pragma once

#include "editor/KeywordMatcher.h"

#include <QColor>
#include <QList>
#include <QObject>

class CVantorpadView;

// Keyword colours as two Scintilla indicators (one per keyword set) that colour the text over
// its syntax colours, so both show at once. Indicators are no part of the text: colouring never
// adds an undo step and never marks the document modified, and a colour moves with its text as
// the user edits around it.
class KeywordOverlay : public QObject {
    Q_OBJECT
public:
    explicit KeywordOverlay(CVantorpadView* view);

    // Colours every match (positions in UTF-16 units), later matches over earlier ones and over
    // the colours of earlier runs; colours[set] is the set's colour. Colours of earlier runs
    // that no match covers stay.
    void apply(const QList<KeywordMatch>& matches, const QColor colours[2]);
    void clear();
    bool isEmpty() const { return m_empty; }

    // The keyword set (0 or 1) whose colour the character at `position` (UTF-16) is drawn in,
    // or -1.
    int setAt(qsizetype position) const;
    // The coloured stretches between two UTF-16 positions, in text order.
    QList<KeywordMatch> rangesBetween(qsizetype from, qsizetype to) const;

    static constexpr int FirstIndicator = 8; // the first one Scintilla leaves to its users

private:
    CVantorpadView* m_view;
    bool m_empty = true;
};
