#pragma once

#include "ftp/ListingParser.h"

#include <QByteArray>

#include <functional>
#include <vector>

// Parses a listing while it arrives, line by line, so that reading a large directory costs
// little more than receiving it, and memory follows the entries kept, not the bytes sent.
class ListingStream {
public:
    // No entry of any listing needs more: a longer line is dropped, not held, so a server
    // that sends one endless line costs this much memory at most.
    static constexpr qsizetype MaxLineBytes = 64 * 1024;

    // `keepUnrecognised`: LIST lines of no known format become unrecognised entries.
    // `limit`: at most so many entries are kept; the rest are only counted, so a directory of
    // millions of entries cannot take the memory of the machine.
    ListingStream(bool mlsd, bool keepUnrecognised, const ListingParser& parser = ListingParser(),
                  qsizetype limit = -1);

    // Entries go to `output` as they are read, instead of being kept for finish(); the caller
    // then keeps what it wants (and the limit is its own).
    using Output = std::function<void(ListedEntry&& entry)>;
    void setOutput(Output output) { m_output = std::move(output); }

    void feed(const char* data, qsizetype size);
    // An entry read whole elsewhere (SFTP).
    void add(ListedEntry&& entry);
    // Takes a last line without a line end; returns the entries in the server's order.
    std::vector<ListedEntry> finish();
    // Lines dropped for being longer than MaxLineBytes.
    int droppedLines() const { return m_dropped; }
    // Entries listed past the limit, counted but not kept.
    qsizetype omittedEntries() const { return m_omitted; }

private:
    void take(QByteArray line);

    ListingParser m_parser;
    bool m_mlsd;
    bool m_keepUnrecognised;
    QByteArray m_pending;
    bool m_dropping = false; // inside a line that is too long, until its line end
    int m_dropped = 0;
    qsizetype m_limit;
    qsizetype m_omitted = 0;
    std::vector<ListedEntry> m_entries;
    Output m_output;
};
