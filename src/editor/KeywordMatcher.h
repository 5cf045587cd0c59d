#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One coloured stretch of text: `set` is 0 for keyword set 1 and 1 for set 2.
struct KeywordMatch {
    qsizetype start = 0;
    qsizetype length = 0;
    int set = 0;
    bool operator==(const KeywordMatch&) const = default;
};

// Finds every occurrence of the keywords in `text`, case-insensitive and not limited to whole
// words, in the order colouring applies them: set 1 before set 2, each set's keywords in index
// order, each keyword's matches left to right, a search going on at the end of the previous
// match. Where matches overlap, a later one is meant to win. Empty keywords are skipped.
QList<KeywordMatch> findKeywordMatches(QStringView text, const QStringList& set1,
                                       const QStringList& set2);

// `text` with every UTF-16 unit case-folded on its own, so that positions stay those of `text`.
QString foldCaseKeepingPositions(QStringView text);
