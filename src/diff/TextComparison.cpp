#include "diff/TextComparison.h"

#include <QHashFunctions>

#include <dtl/dtl.hpp>

#include <algorithm>
#include <cstring>

namespace {

// Elements of both levels: interned line ids, or the bytes of one UTF-8 character packed into
// 32 bits (a character has at most four).
using Element = quint32;
using Sequence = std::vector<Element>;

struct Match {
    int left;
    int right;
};

// How many element comparisons a comparison may still make. Once it has run out, no two
// elements are equal any more: the difference algorithm then ends after a bounded number of
// steps and shows the rest as one change.
struct Budget {
    long long remaining;
    bool exceeded = false;
};

class BudgetCompare {
public:
    BudgetCompare() = default;
    explicit BudgetCompare(Budget* budget) : m_budget(budget) {}
    bool impl(const Element& a, const Element& b) const {
        if (--m_budget->remaining < 0) {
            m_budget->exceeded = true;
            return false;
        }
        return a == b;
    }

private:
    Budget* m_budget = nullptr;
};

// Line comparisons allowed: several times what two texts of a hundred megabytes that differ in
// a few thousand places need, and a fraction of a second.
constexpr long long LineBudget = 400'000'000;
// Character comparisons of all changed lines together, and of one line pair.
constexpr long long CharacterBudget = 100'000'000;
constexpr long long LinePairBudget = 4'000'000;
constexpr long long PairSetUpCost = 500;

// The difference algorithm keeps at most this many path points and then shows the rest of the
// texts as one change (dtl's MAX_CORDINATES_SIZE).
constexpr double PathPointLimit = double(dtl::MAX_CORDINATES_SIZE);

// Whether the shortest edit of `edits` steps between sequences whose lengths differ by `delta`
// can have needed more path points than the algorithm keeps.
bool mayHaveBeenCut(long long edits, long long delta) {
    const double p = double(edits - delta) / 2.0;
    return (p + 1.0) * (double(delta) + p + 1.0) >= PathPointLimit;
}

// Appends the pairs of equal elements of `a` and `b` (a longest common subsequence, offset by
// `leftBase` and `rightBase`) to `matches`; false when it is not the best one, because the budget
// ran out or the algorithm cut its path short.
bool matchMiddle(const Sequence& a, const Sequence& b, int leftBase, int rightBase, Budget& budget,
                 std::vector<Match>& matches) {
    if (a.empty() || b.empty())
        return true;
    dtl::Diff<Element, Sequence, BudgetCompare> diff(a, b, BudgetCompare(&budget));
    diff.onUnserious(); // past the path limit the rest is one change, not another round
    diff.compose();
    long long common = 0;
    for (const auto& [element, info] : diff.getSes().getSequence()) {
        if (info.type != dtl::SES_COMMON)
            continue;
        matches.push_back({leftBase + int(info.beforeIdx) - 1, rightBase + int(info.afterIdx) - 1});
        ++common;
    }
    const auto edits = static_cast<long long>(a.size() + b.size()) - 2 * common;
    const auto delta =
        std::abs(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
    return !budget.exceeded && !mayHaveBeenCut(edits, delta);
}

// The equal pairs of `a` and `b` in order: the common start and end, and the middle through
// the difference algorithm.
bool matchSequences(const Sequence& a, const Sequence& b, Budget& budget,
                    std::vector<Match>& matches) {
    const int n = int(a.size());
    const int m = int(b.size());
    int head = 0;
    while (head < n && head < m && a[head] == b[head])
        ++head;
    int tail = 0;
    while (tail < n - head && tail < m - head && a[n - 1 - tail] == b[m - 1 - tail])
        ++tail;
    for (int i = 0; i < head; ++i)
        matches.push_back({i, i});
    const Sequence middleA(a.begin() + head, a.end() - tail);
    const Sequence middleB(b.begin() + head, b.end() - tail);
    const bool best = matchMiddle(middleA, middleB, head, head, budget, matches);
    for (int i = tail; i > 0; --i)
        matches.push_back({n - i, m - i});
    return best;
}

// Lines to ids: equal ids exactly for equal bytes. Open addressing over a table twice the
// number of lines, so that interning a text of a million lines stays a matter of milliseconds.
class LineInterner {
public:
    explicit LineInterner(size_t lines) {
        size_t size = 16;
        while (size < lines * 2)
            size *= 2;
        m_slots.assign(size, Slot{});
        m_mask = size - 1;
    }

    Element idOf(QByteArrayView line) {
        const size_t hash = qHash(line, size_t(0x9e3779b9));
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot& slot = m_slots[i];
            if (slot.id == Empty) {
                slot = {hash, Element(m_lines.size())};
                m_lines.push_back(line);
                return slot.id;
            }
            if (slot.hash == hash && m_lines[slot.id] == line)
                return slot.id;
        }
    }
    size_t count() const { return m_lines.size(); }

private:
    static constexpr Element Empty = ~Element(0);
    struct Slot {
        size_t hash = 0;
        Element id = Empty;
    };
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    std::vector<QByteArrayView> m_lines;
};

// The equal lines of both sides. A line that only one side has can never be equal to one of
// the other side, so only the lines both sides have go to the difference algorithm: a few
// changed lines among hundreds of thousands leave it little to do, and two wholly different
// texts nothing.
bool matchLines(const Sequence& left, const Sequence& right, size_t ids,
                std::vector<Match>& matches) {
    std::vector<quint8> seen(ids, 0); // bit 1: the left side has the line, bit 2: the right
    for (Element id : left)
        seen[id] |= 1;
    for (Element id : right)
        seen[id] |= 2;
    Sequence a, b;
    std::vector<int> aLines, bLines;
    for (int i = 0; i < int(left.size()); ++i) {
        if (seen[left[i]] == 3) {
            a.push_back(left[i]);
            aLines.push_back(i);
        }
    }
    for (int i = 0; i < int(right.size()); ++i) {
        if (seen[right[i]] == 3) {
            b.push_back(right[i]);
            bLines.push_back(i);
        }
    }
    Budget budget{LineBudget};
    std::vector<Match> kept;
    const bool best = matchSequences(a, b, budget, kept);
    matches.reserve(kept.size());
    for (const Match& k : kept)
        matches.push_back({aLines[k.left], bLines[k.right]});
    return best;
}

// The stretches between the equal pairs: where the two sequences differ.
template <class Gap>
void forEachGap(const std::vector<Match>& matches, int leftSize, int rightSize, Gap&& gap) {
    int i = 0;
    int j = 0;
    for (const Match& m : matches) {
        if (m.left > i || m.right > j)
            gap(i, m.left, j, m.right);
        i = m.left + 1;
        j = m.right + 1;
    }
    if (leftSize > i || rightSize > j)
        gap(i, leftSize, j, rightSize);
}

// The characters of a UTF-8 line, each packed into one element, with the byte offset where
// each starts (and the line's length at the end). A byte that starts no valid sequence is a
// character of its own; the editor's text has none, but a line is never misread because of one.
void splitCharacters(QByteArrayView line, Sequence& chars, std::vector<int>& offsets) {
    const auto* bytes = reinterpret_cast<const uchar*>(line.data());
    const int size = int(line.size());
    for (int i = 0; i < size;) {
        const uchar lead = bytes[i];
        int length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 1;
        int valid = 1;
        while (valid < length && i + valid < size && (bytes[i + valid] & 0xC0) == 0x80)
            ++valid;
        if (valid < length)
            length = 1;
        Element packed = 0;
        std::memcpy(&packed, bytes + i, size_t(length));
        chars.push_back(packed);
        offsets.push_back(i);
        i += length;
    }
    offsets.push_back(size);
}

// The changed characters of two lines; false when a line is too long to compare.
bool compareLinePair(QByteArrayView left, QByteArrayView right, Budget& budget,
                     std::vector<CharRange>& leftRanges, std::vector<CharRange>& rightRanges) {
    Sequence a, b;
    std::vector<int> aOffsets, bOffsets;
    splitCharacters(left, a, aOffsets);
    splitCharacters(right, b, bOffsets);
    if (a.size() > size_t(TextComparison::MaxComparedLineLength) ||
        b.size() > size_t(TextComparison::MaxComparedLineLength))
        return false;
    std::vector<Match> matches;
    static_cast<void>(matchSequences(a, b, budget, matches)); // a poorer match is still right
    forEachGap(matches, int(a.size()), int(b.size()), [&](int i, int iEnd, int j, int jEnd) {
        if (iEnd > i)
            leftRanges.push_back({aOffsets[i], aOffsets[iEnd] - aOffsets[i]});
        if (jEnd > j)
            rightRanges.push_back({bOffsets[j], bOffsets[jEnd] - bOffsets[j]});
    });
    return true;
}

// Compares the characters of the changed lines as long as the budget of all of them lasts;
// later lines are shown as changed lines only.
class CharacterPass {
public:
    void compare(ChangedLinePair& pair, QByteArrayView left, QByteArrayView right) {
        if (m_remaining <= 0)
            return;
        Budget budget{std::min(LinePairBudget, m_remaining)};
        const long long given = budget.remaining;
        static_cast<void>(compareLinePair(left, right, budget, pair.left, pair.right));
        // Setting up a pair costs about as much as a few hundred comparisons; a pair that ran
        // out went on for up to the path limit without comparing.
        m_remaining -= std::max(given - std::max(budget.remaining, 0LL), PairSetUpCost) +
                       (budget.exceeded ? static_cast<long long>(dtl::MAX_CORDINATES_SIZE) : 0);
    }

private:
    long long m_remaining = CharacterBudget;
};

} // namespace

std::vector<QByteArrayView> TextComparison::splitLines(QByteArrayView text) {
    std::vector<QByteArrayView> lines;
    const char* data = text.data();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] != '\n' && data[i] != '\r')
            continue;
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        lines.push_back(text.sliced(start, i + 1 - start));
        start = i + 1;
    }
    if (start < size)
        lines.push_back(text.sliced(start));
    return lines;
}

void TextComparison::compareCharacters(QByteArrayView left, QByteArrayView right,
                                       std::vector<CharRange>& leftRanges,
                                       std::vector<CharRange>& rightRanges) {
    Budget budget{LinePairBudget};
    static_cast<void>(compareLinePair(left, right, budget, leftRanges, rightRanges));
}

TextComparison TextComparison::compare(QByteArrayView left, QByteArrayView right) {
    TextComparison result;
    const std::vector<QByteArrayView> leftLines = splitLines(left);
    const std::vector<QByteArrayView> rightLines = splitLines(right);
    LineInterner interner(leftLines.size() + rightLines.size());
    Sequence leftIds, rightIds;
    leftIds.reserve(leftLines.size());
    rightIds.reserve(rightLines.size());
    for (QByteArrayView line : leftLines)
        leftIds.push_back(interner.idOf(line));
    for (QByteArrayView line : rightLines)
        rightIds.push_back(interner.idOf(line));

    std::vector<Match> matches;
    result.m_approximate = !matchLines(leftIds, rightIds, interner.count(), matches);

    CharacterPass characters;
    forEachGap(
        matches, int(leftIds.size()), int(rightIds.size()), [&](int i, int iEnd, int j, int jEnd) {
            TextChange change{i, iEnd - i, j, jEnd - j, {}};
            for (int k = 0; k < std::min(change.leftCount, change.rightCount); ++k) {
                ChangedLinePair pair{i + k, j + k, {}, {}};
                characters.compare(pair, leftLines[size_t(i + k)], rightLines[size_t(j + k)]);
                change.pairs.push_back(std::move(pair));
            }
            result.m_changes.push_back(std::move(change));
        });
    return result;
}

namespace {

// Maps a line of one side to the other; `from` and `to` read the first line and count of a
// change on either side.
template <class From, class To>
int mapLine(const std::vector<TextChange>& changes, int line, From from, To to) {
    const auto after =
        std::upper_bound(changes.begin(), changes.end(), line,
                         [&](int l, const TextChange& c) { return l < from(c).first; });
    if (after == changes.begin())
        return line;
    const TextChange& c = *(after - 1);
    const auto [first, count] = from(c);
    const auto [otherFirst, otherCount] = to(c);
    if (line < first + count)
        return otherFirst + std::max(0, std::min(line - first, otherCount - 1));
    return line - (first + count) + otherFirst + otherCount;
}

std::pair<int, int> leftSide(const TextChange& c) {
    return {c.leftFirst, c.leftCount};
}
std::pair<int, int> rightSide(const TextChange& c) {
    return {c.rightFirst, c.rightCount};
}

} // namespace

int TextComparison::rightLineFor(int leftLine) const {
    return mapLine(m_changes, leftLine, leftSide, rightSide);
}

int TextComparison::leftLineFor(int rightLine) const {
    return mapLine(m_changes, rightLine, rightSide, leftSide);
}
