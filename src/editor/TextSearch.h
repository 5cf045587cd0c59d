#pragma once

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
// loop of "find down, replace" would (a replacement is never searched again).
struct Replaced {
    qsizetype start = 0; // where the changed stretch begins in the old text
    qsizetype end = 0;   // and where it ends
    QString text;        // what stands there now
    qsizetype count = 0;
};
Replaced replaceAll(QStringView text, QStringView needle, QStringView replacement, qsizetype from,
                    const Options& options);

} // namespace TextSearch
