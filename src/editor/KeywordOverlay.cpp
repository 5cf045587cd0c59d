#include "editor/KeywordOverlay.h"

#include <QTextDocument>

#include <algorithm>
#include <iterator>

KeywordOverlay::KeywordOverlay(QTextDocument* document)
    : QObject(document), m_document(document), m_blockCount(document->blockCount()) {
    connect(document, &QTextDocument::contentsChange, this, &KeywordOverlay::onContentsChange);
}

namespace {

// The ranges of a line after a run: earlier colours stay where the run's own matches do not
// wholly cover them (those could never show again), and the run's ranges come last, so that
// they are drawn over what is left.
QList<QTextLayout::FormatRange> layered(const QList<QTextLayout::FormatRange>& earlier,
                                        const QList<QTextLayout::FormatRange>& added) {
    QList<QTextLayout::FormatRange> ranges;
    for (const QTextLayout::FormatRange& old : earlier) {
        const bool hidden = std::any_of(added.begin(), added.end(), [&old](const auto& r) {
            return r.start <= old.start && old.start + old.length <= r.start + r.length;
        });
        if (!hidden)
            ranges.append(old);
    }
    return ranges + added;
}

} // namespace

void KeywordOverlay::apply(const QList<KeywordMatch>& matches, const QColor colours[2]) {
    // A run adds to the colours of earlier runs (a run without keywords changes nothing); only
    // clear() takes them away.
    if (matches.isEmpty())
        return;
    QTextCharFormat formats[2];
    for (int set = 0; set < 2; ++set) {
        formats[set].setForeground(colours[set]);
        formats[set].setFontWeight(QFont::Bold);
        formats[set].setFontItalic(false);
    }
    // Group the matches by line.
    std::vector<qsizetype> order(size_t(matches.size()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = qsizetype(i);
    std::stable_sort(order.begin(), order.end(), [&matches](qsizetype a, qsizetype b) {
        return matches[a].start < matches[b].start;
    });
    int firstPosition = -1;
    int lastPosition = 0;
    QTextBlock block;
    std::vector<qsizetype> group;
    std::vector<int> coloured;
    auto flush = [&] {
        if (!block.isValid() || group.empty())
            return;
        // Inside a line the ranges go in application order: the layout draws later ranges over
        // earlier ones, which is how a later keyword wins.
        std::sort(group.begin(), group.end());
        QList<QTextLayout::FormatRange> ranges;
        ranges.reserve(qsizetype(group.size()));
        for (qsizetype index : group) {
            const KeywordMatch& m = matches[index];
            ranges.append({int(m.start) - block.position(), int(m.length), formats[m.set]});
        }
        const bool hadColours =
            std::binary_search(m_blocks.begin(), m_blocks.end(), block.blockNumber());
        block.layout()->setFormats(hadColours ? layered(block.layout()->formats(), ranges)
                                              : ranges);
        coloured.push_back(block.blockNumber());
        if (firstPosition < 0)
            firstPosition = block.position();
        lastPosition = block.position() + block.length();
        group.clear();
    };
    for (qsizetype index : order) {
        const KeywordMatch& m = matches[index];
        if (!block.isValid() || m.start >= block.position() + block.length()) {
            flush();
            block = m_document->findBlock(int(m.start));
        }
        group.push_back(index);
    }
    flush();
    std::vector<int> merged;
    merged.reserve(m_blocks.size() + coloured.size());
    std::set_union(m_blocks.begin(), m_blocks.end(), coloured.begin(), coloured.end(),
                   std::back_inserter(merged));
    m_blocks.swap(merged);
    m_blockCount = m_document->blockCount();
    if (firstPosition >= 0)
        m_document->markContentsDirty(firstPosition, lastPosition - firstPosition);
}

void KeywordOverlay::clear() {
    if (m_blocks.empty())
        return;
    int first = m_document->characterCount();
    int last = 0;
    for (int number : m_blocks) {
        const QTextBlock block = m_document->findBlockByNumber(number);
        if (!block.isValid())
            continue;
        clearFormats(block);
        first = std::min(first, block.position());
        last = std::max(last, block.position() + block.length());
    }
    m_blocks.clear();
    if (last > first)
        m_document->markContentsDirty(first, last - first);
}

void KeywordOverlay::clearFormats(const QTextBlock& block) {
    if (block.isValid() && block.layout() && !block.layout()->formats().isEmpty())
        block.layout()->clearFormats();
}

QList<QTextLayout::FormatRange> KeywordOverlay::rangesOf(const QTextBlock& block) const {
    if (!std::binary_search(m_blocks.begin(), m_blocks.end(), block.blockNumber()))
        return {};
    return block.layout()->formats();
}

void KeywordOverlay::onContentsChange(int from, int removed, int added) {
    const int blockCount = m_document->blockCount();
    const int oldCount = m_blockCount;
    m_blockCount = blockCount;
    if (m_blocks.empty())
        return;
    const QTextBlock block = m_document->findBlock(from);
    const int first = block.blockNumber();
    if (blockCount == oldCount) {
        if (!std::binary_search(m_blocks.begin(), m_blocks.end(), first))
            return;
        // An edit inside one line: colours after it move with their text, colours it touched
        // are dropped.
        const int at = from - block.position();
        QList<QTextLayout::FormatRange> kept;
        for (QTextLayout::FormatRange r : block.layout()->formats()) {
            if (r.start + r.length <= at) {
                kept.append(r);
            } else if (r.start >= at + removed) {
                r.start += added - removed;
                kept.append(r);
            }
        }
        block.layout()->setFormats(kept);
        return;
    }
    // Lines were split or joined: the lines the edit reached lose their colours, the lines
    // after it move by the number of lines gained or lost.
    const QTextBlock end = m_document->findBlock(from + added);
    const int delta = blockCount - oldCount;
    const int lastOld = end.blockNumber() - delta; // last old line the edit reached
    clearFormats(block);
    clearFormats(end);
    std::vector<int> kept;
    kept.reserve(m_blocks.size());
    for (int number : m_blocks) {
        if (number < first)
            kept.push_back(number);
        else if (number > lastOld)
            kept.push_back(number + delta);
    }
    m_blocks.swap(kept);
}
