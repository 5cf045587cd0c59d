#include "editor/TextSearch.h"

namespace TextSearch {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

// A match is a whole word when no word character continues it on a side where the searched
// text itself has a word character (a search for "(a" needs no boundary before the bracket).
bool boundedBefore(QChar before, QStringView needle) {
    return !isWordChar(needle.front()) || !isWordChar(before);
}

bool boundedAfter(QStringView text, qsizetype end, QStringView needle) {
    return end >= text.size() || !isWordChar(needle.back()) || !isWordChar(text[end]);
}

bool isWhole(QStringView text, qsizetype start, QStringView needle) {
    return (start == 0 || boundedBefore(text[start - 1], needle)) &&
           boundedAfter(text, start + needle.size(), needle);
}

bool containsLineBreak(QStringView text) {
    for (QChar c : text)
        if (c == u'\n' || c == QChar::ParagraphSeparator)
            return true;
    return false;
}

Qt::CaseSensitivity caseOf(const Options& options) {
    return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

qsizetype findDown(QStringView text, QStringView needle, qsizetype from, const Options& options) {
    for (qsizetype at = text.indexOf(needle, from, caseOf(options)); at >= 0;
         at = text.indexOf(needle, at + 1, caseOf(options)))
        if (!options.wholeWord || isWhole(text, at, needle))
            return at;
    return -1;
}

qsizetype findUp(QStringView text, QStringView needle, qsizetype from, const Options& options) {
    for (qsizetype at = from - needle.size(); at >= 0;) {
        at = text.lastIndexOf(needle, at, caseOf(options));
        if (at < 0)
            return -1;
        if (!options.wholeWord || isWhole(text, at, needle))
            return at;
        --at;
    }
    return -1;
}

} // namespace

Match find(QStringView text, QStringView needle, qsizetype from, const Options& options) {
    from = qBound(qsizetype(0), from, text.size());
    if (needle.isEmpty() || needle.size() > text.size())
        return {};
    const qsizetype at =
        options.up ? findUp(text, needle, from, options) : findDown(text, needle, from, options);
    return at < 0 ? Match{} : Match{at, needle.size()};
}

Replaced replaceAll(QStringView text, QStringView needle, QStringView replacement, qsizetype from,
                    const Options& options) {
    Replaced r;
    if (needle.isEmpty() || needle.size() > text.size())
        return r;
    const Qt::CaseSensitivity cs = caseOf(options);
    qsizetype copied = 0; // end of the old text already taken into a piece
    qsizetype at = text.indexOf(needle, qBound(qsizetype(0), from, text.size()), cs);
    while (at >= 0) {
        if (options.wholeWord) {
            // Right after a replacement the character before is the replacement's last one.
            const bool adjoins = r.count > 0 && at == copied && !replacement.isEmpty();
            const QChar before = adjoins ? replacement.back() : at > 0 ? text[at - 1] : QChar();
            if ((at > 0 || adjoins) && !boundedBefore(before, needle)) {
                at = text.indexOf(needle, at + 1, cs);
                continue;
            }
            if (!boundedAfter(text, at + needle.size(), needle)) {
                at = text.indexOf(needle, at + 1, cs);
                continue;
            }
        }
        // A line break between two occurrences starts a new piece.
        if (r.count == 0 || containsLineBreak(text.sliced(copied, at - copied))) {
            r.pieces.append({at, at, QString()});
            copied = at;
        }
        Piece& piece = r.pieces.last();
        piece.text.append(text.sliced(copied, at - copied));
        piece.text.append(replacement);
        copied = at + needle.size();
        piece.end = copied;
        ++r.count;
        at = text.indexOf(needle, copied, cs);
    }
    return r;
}

} // namespace TextSearch
