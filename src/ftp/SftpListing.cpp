#include "ftp/SftpListing.h"

#include <utility>

namespace {

// `text` is `piece` whole, or a link's `piece` followed by its target.
enum class Match { None, Whole, WithTarget };

Match matchPiece(QByteArrayView text, QByteArrayView piece, bool link) {
    if (text == piece)
        return Match::Whole;
    if (link && text.startsWith(piece) && text.sliced(piece.size()).startsWith(" -> "))
        return Match::WithTarget;
    return Match::None;
}

} // namespace

SftpListing::SftpListing(QByteArray names, EntrySink sink, const ListingParser& parser)
    : m_names(std::move(names)), m_sink(std::move(sink)), m_parser(parser) {}

bool SftpListing::feed(const char* data, qsizetype size) {
    if (!m_agree)
        return false; // nothing more is kept
    m_pending.append(data, size);
    qsizetype from = 0;
    qsizetype end;
    while (m_agree && (end = m_pending.indexOf('\n', from)) >= 0) {
        m_agree = take(m_pending.sliced(from, end - from));
        from = end + 1;
    }
    m_pending.remove(0, from);
    return m_agree;
}

bool SftpListing::finish() {
    if (m_agree && !m_pending.isEmpty())
        m_agree = take(std::exchange(m_pending, QByteArray()));
    emitCurrent();
    return m_agree && m_position == m_names.size();
}

std::optional<QByteArrayView> SftpListing::nextPiece() const {
    const qsizetype end = m_names.indexOf('\n', m_position);
    if (end < 0)
        return std::nullopt;
    return QByteArrayView(m_names).sliced(m_position, end - m_position);
}

bool SftpListing::take(const QByteArray& line) {
    const std::optional<QByteArrayView> piece = nextPiece();
    if (!piece)
        return m_inLinkTarget; // every name is accounted for: only a link's target may go on
    auto consume = [this, piece](Match match) {
        m_position += piece->size() + 1;
        m_inLinkTarget = match == Match::WithTarget;
    };
    // The next piece of a name that held a line feed.
    if (m_current && !m_inLinkTarget) {
        if (const Match match = matchPiece(line, *piece, m_currentIsLink); match != Match::None) {
            m_current->name += '\n' + piece->toByteArray();
            consume(match);
            return true;
        }
    }
    // A new entry: its line's name part begins with the next name.
    qsizetype nameStart = 0;
    if (std::optional<ListedEntry> entry = m_parser.parseListLine(line, &nameStart)) {
        const bool link = line.startsWith('l');
        if (const Match match = matchPiece(QByteArrayView(line).sliced(nameStart), *piece, link);
            match != Match::None) {
            emitCurrent();
            entry->name = piece->toByteArray();
            m_current = std::move(entry);
            m_currentIsLink = link;
            consume(match);
            return true;
        }
    }
    return m_inLinkTarget; // the rest of a link's target that held a line feed
}

void SftpListing::emitCurrent() {
    if (!m_current)
        return;
    ListedEntry entry = std::move(*m_current);
    m_current.reset();
    if (entry.name != "." && entry.name != "..")
        m_sink(std::move(entry));
}
