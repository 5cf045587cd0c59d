#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

// The text search of the editor: one occurrence downward or upward from a position, never
// wrapping, and the replacement of every occurrence after a position in one pass.
//
// The text is the editor's own (UTF-8, kept bytes as stand-ins, see doc/DocumentText.h) and
// positions are its byte offsets, so that a search never copies or converts the document.
// Matching is by character: without match case, characters are equal when their case foldings
// are (as QString compares without case); a whole word has no letter, digit, mark or '_' of the
// Basic Multilingual Plane next to it on a side where the searched text has one.
namespace TextSearch {

struct Options {
    bool up = false;
    bool wholeWord = false;
    bool matchCase = false;
};

struct Match {
    qsizetype start = -1;
    qsizetype length = 0; // in bytes; without match case it may differ from the search text's
    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
};

// Down: the first occurrence that starts at or after `from`. Up: the last one that ends at or
// before `from`.
Match find(QByteArrayView text, QStringView needle, qsizetype from, const Options& options);

// Every occurrence at or after `from`, each searched for after the previous replacement as a
// loop of "find down, replace" would (a replacement is never searched again): the stretch of
// the old text from the first occurrence to the end of the last, and what stands there now.
struct Replaced {
    qsizetype start = 0;
    qsizetype end = 0;
    QByteArray text;
    qsizetype count = 0;
};
Replaced replaceAll(QByteArrayView text, QStringView needle, QStringView replacement,
                    qsizetype from, const Options& options);

} // namespace TextSearch
