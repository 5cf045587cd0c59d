#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The text search of the editor: one occurrence downward or upward from a position, never
// wrapping, and the replacement of every occurrence after a position in one pass.
namespace TextSearch {

struct Options {
    bool up = false;
    bool wholeWord = false;
    bool matchCase = false;
};

struct Match {
    qsizetype start = -1;
    qsizetype length = 0;
    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
};

// Down: the first occurrence that starts at or after `from`. Up: the last one that ends at or
// before `from`.
Match find(QStringView text, QStringView needle, qsizetype from, const Options& options);

// Every occurrence at or after `from`, each searched for after the previous replacement as a
// loop of "find down, replace" would (a replacement is never searched again). The changes come
// as pieces in text order, one per line that has occurrences (from its first to its last), so
// that an editor replaces them without touching the lines between.
struct Piece {
    qsizetype start = 0; // where the piece begins in the old text
    qsizetype end = 0;   // and where it ends
    QString text;        // what stands there now
};
struct Replaced {
    QList<Piece> pieces;
    qsizetype count = 0;
};
Replaced replaceAll(QStringView text, QStringView needle, QStringView replacement, qsizetype from,
                    const Options& options);

} // namespace TextSearch
