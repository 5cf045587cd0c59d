#include "ftp/ListingStream.h"

#include <cstring>
#include <utility>

ListingStream::ListingStream(bool mlsd, bool keepUnrecognised, const ListingParser& parser,
                             qsizetype limit)
    : m_parser(parser), m_mlsd(mlsd), m_keepUnrecognised(keepUnrecognised), m_limit(limit) {}

void ListingStream::feed(const char* data, qsizetype size) {
    const char* end = data + size;
    while (data < end) {
        const char* newline = static_cast<const char*>(std::memchr(data, '\n', size_t(end - data)));
        const char* stop = newline ? newline : end;
        if (m_dropping) {
            // the rest of a line that was too long: nothing of it is kept
        } else if (m_pending.size() + (stop - data) > MaxLineBytes) {
            m_pending = QByteArray(); // its memory too
            m_dropping = true;
            ++m_dropped;
        } else if (newline && m_pending.isEmpty()) {
            take(QByteArray(data, stop - data));
        } else {
            m_pending.append(data, stop - data);
            if (newline)
                take(std::exchange(m_pending, QByteArray()));
        }
        if (!newline)
            return;
        m_dropping = false;
        data = newline + 1;
    }
}

std::vector<ListedEntry> ListingStream::finish() {
    if (!m_pending.isEmpty())
        take(std::exchange(m_pending, QByteArray()));
    return std::move(m_entries);
}

void ListingStream::add(ListedEntry&& entry) {
    if (m_output)
        m_output(std::move(entry));
    else if (m_limit >= 0 && qsizetype(m_entries.size()) >= m_limit)
        ++m_omitted;
    else
        m_entries.push_back(std::move(entry));
}

void ListingStream::take(QByteArray line) {
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        return;
    if (m_mlsd) {
        if (auto entry = m_parser.parseMlsdLine(line))
            add(std::move(*entry));
        return;
    }
    if (line.startsWith("total ") && ListingParser::isCount(line.mid(6).trimmed()))
        return;
    if (auto entry = m_parser.parseListLine(line))
        add(std::move(*entry));
    else if (m_keepUnrecognised)
        add(ListingParser::unrecognised(line));
}
