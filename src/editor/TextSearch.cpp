#include "editor/TextSearch.h"

#include "doc/DocumentText.h"

#include <QChar>
#include <QHash>

#include <algorithm>
#include <vector>

namespace TextSearch {

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF; // a byte that starts no character

// The character that starts at `at`, and where the next one starts.
char32_t decodeAt(QByteArrayView text, qsizetype at, qsizetype* next) {
    const auto b = uchar(text[at]);
    *next = at + 1;
    if (b < 0x80)
        return b;
    const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || at + extra >= text.size())
        return kInvalid;
    char32_t code = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k)
        code = (code << 6) | (uchar(text[at + k]) & 0x3F);
    *next = at + extra + 1;
    return code;
}

// The character that ends at `at` (kInvalid at the start of the text).
char32_t decodeBefore(QByteArrayView text, qsizetype at) {
    if (at <= 0)
        return kInvalid;
    qsizetype start = at - 1;
    while (start > 0 && at - start < 4 && (uchar(text[start]) & 0xC0) == 0x80)
        --start;
    qsizetype next;
    return decodeAt(text, start, &next);
}

bool isWordChar(char32_t c) {
    if (c > 0xFFFF)
        return false; // as a search over UTF-16 sees half of a pair
    const QChar q{char16_t(c)};
    return q.isLetterOrNumber() || c == u'_' || q.isMark();
}

char32_t folded(char32_t c) {
    return c > 0x10FFFF ? c : QChar::toCaseFolded(c);
}

// Every character that folds to the same as another: folding to the key.
const QHash<char32_t, std::vector<char32_t>>& foldClasses() {
    static const QHash<char32_t, std::vector<char32_t>> classes = [] {
        QHash<char32_t, std::vector<char32_t>> map;
        for (char32_t c = 0; c < 0x20000; ++c) {
            const char32_t f = QChar::toCaseFolded(c);
            if (f != c)
                map[f].push_back(c);
        }
        for (auto it = map.begin(); it != map.end(); ++it)
            it->push_back(it.key());
        return map;
    }();
    return classes;
}

QByteArray utf8Of(char32_t c) {
    return QString::fromUcs4(&c, 1).toUtf8();
}

// One search text, ready to be matched.
class Needle {
public:
    Needle(QStringView needle, const Options& options)
        : m_bytes(editorUtf8Of(needle)), m_matchCase(options.matchCase),
          m_wholeWord(options.wholeWord) {
        for (qsizetype at = 0, next = 0; at < m_bytes.size(); at = next)
            m_folded.push_back(folded(decodeAt(m_bytes, at, &next)));
        if (m_folded.empty())
            return;
        qsizetype next;
        m_first = decodeAt(m_bytes, 0, &next);
        m_last = decodeBefore(m_bytes, m_bytes.size());
        bool caseless = true;
        for (char32_t c : m_folded)
            caseless = caseless && !foldClasses().contains(c);
        // Without letters that have cases, matching without case is matching bytes.
        if (!m_matchCase && !caseless) {
            for (char32_t c : foldClasses().value(m_folded.front(), {m_folded.front()}))
                m_starts.push_back(utf8Of(c));
        }
    }

    bool isEmpty() const { return m_folded.empty(); }

    // The first occurrence starting at or after `from` (whole words only, if asked), whose end
    // is at most `limit`; the character before `from` is `before` when `from` follows a
    // replacement, else the text's own.
    Match next(QByteArrayView text, qsizetype from, qsizetype limit,
               char32_t before = kInvalid) const {
        const QByteArrayView scope = text.first(limit);
        while (from <= scope.size()) {
            const Match m = candidate(scope, from);
            if (!m.found())
                return {};
            const char32_t previous =
                m.start == from && before != kInvalid ? before : decodeBefore(text, m.start);
            if (!m_wholeWord || isWhole(text, m, previous))
                return m;
            qsizetype next;
            decodeAt(text, m.start, &next);
            from = next;
        }
        return {};
    }

    // The last occurrence that ends at or before `limit`.
    Match previous(QByteArrayView text, qsizetype limit) const {
        qsizetype high = limit; // occurrences starting before here are still to be looked at
        for (qsizetype block = 1 << 16; high > 0; block *= 2) {
            qsizetype low = std::max<qsizetype>(0, high - block);
            while (low > 0 && (uchar(text[low]) & 0xC0) == 0x80)
                --low;
            // Only occurrences that start before `high` are new here.
            const qsizetype scope = std::min(limit, high + maxLength());
            Match last;
            for (Match m = next(text, low, scope); m.found() && m.start < high;) {
                last = m;
                qsizetype after;
                decodeAt(text, m.start, &after);
                m = next(text, after, scope);
            }
            if (last.found())
                return last;
            high = low;
        }
        return {};
    }

private:
    // The most bytes an occurrence can take.
    qsizetype maxLength() const {
        return m_starts.empty() ? m_bytes.size() : qsizetype(m_folded.size()) * 4;
    }

    // The next place at or after `from` where the search text stands, whole word or not.
    Match candidate(QByteArrayView text, qsizetype from) const {
        if (m_starts.empty()) {
            const qsizetype at = text.indexOf(m_bytes, from);
            return at < 0 ? Match{} : Match{at, m_bytes.size()};
        }
        // Without match case: each place where a character that folds as the first one stands,
        // nearest first, compared character by character.
        std::vector<qsizetype> nextAt(m_starts.size());
        for (size_t i = 0; i < m_starts.size(); ++i)
            nextAt[i] = text.indexOf(m_starts[i], from);
        while (true) {
            size_t nearest = 0;
            for (size_t i = 1; i < nextAt.size(); ++i)
                if (nextAt[i] >= 0 && (nextAt[nearest] < 0 || nextAt[i] < nextAt[nearest]))
                    nearest = i;
            const qsizetype at = nextAt[nearest];
            if (at < 0)
                return {};
            if (const qsizetype end = matchEnd(text, at); end >= 0)
                return {at, end - at};
            nextAt[nearest] = text.indexOf(m_starts[nearest], at + 1);
        }
    }

    qsizetype matchEnd(QByteArrayView text, qsizetype at) const {
        for (char32_t wanted : m_folded) {
            if (at >= text.size())
                return -1;
            qsizetype next;
            if (folded(decodeAt(text, at, &next)) != wanted)
                return -1;
            at = next;
        }
        return at;
    }

    bool isWhole(QByteArrayView text, const Match& m, char32_t before) const {
        const bool boundedBefore = !isWordChar(m_first) || !isWordChar(before);
        qsizetype next;
        const char32_t after = m.end() < text.size() ? decodeAt(text, m.end(), &next) : kInvalid;
        const bool boundedAfter = !isWordChar(m_last) || !isWordChar(after);
        return boundedBefore && boundedAfter;
    }

    QByteArray m_bytes;
    bool m_matchCase;
    bool m_wholeWord;
    std::vector<char32_t> m_folded;
    char32_t m_first = 0;
    char32_t m_last = 0;
    std::vector<QByteArray> m_starts; // the first character's forms, without match case
};

} // namespace

Match find(QByteArrayView text, QStringView needle, qsizetype from, const Options& options) {
    from = qBound(qsizetype(0), from, text.size());
    const Needle n(needle, options);
    if (n.isEmpty())
        return {};
    return options.up ? n.previous(text, from) : n.next(text, from, text.size());
}

Replaced replaceAll(QByteArrayView text, QStringView needle, QStringView replacement,
                    qsizetype from, const Options& options) {
    Replaced r;
    const Needle n(needle, options);
    if (n.isEmpty())
        return r;
    const QByteArray with = editorUtf8Of(replacement);
    const char32_t replacementLast = with.isEmpty() ? kInvalid : decodeBefore(with, with.size());
    qsizetype copied = -1; // end of the old text already taken into the result
    for (Match m = n.next(text, qBound(qsizetype(0), from, text.size()), text.size()); m.found();
         m = n.next(text, copied, text.size(), replacementLast)) {
        if (r.count == 0) {
            r.start = m.start;
            r.text.reserve(text.size() - m.start + (text.size() - m.start) / 8);
        } else {
            r.text.append(text.sliced(copied, m.start - copied));
        }
        r.text.append(with);
        copied = m.end();
        ++r.count;
    }
    r.end = r.count > 0 ? copied : r.start;
    r.text.squeeze();
    return r;
}

} // namespace TextSearch
