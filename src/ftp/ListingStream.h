#pragma once

#include "ftp/ListingParser.h"

#include <QByteArray>

#include <vector>

// Parses a listing while it arrives, line by line, so that reading a large directory costs
// little more than receiving it, and memory follows the entries kept, not the bytes sent.
class ListingStream {
public:
    // No entry of any listing needs more: a longer line is dropped, not held, so a server
    // that sends one endless line costs this much memory at most.
    static constexpr qsizetype MaxLineBytes = 64 * 1024;

    // `keepUnrecognised`: LIST lines of no known format become unrecognised entries.
    ListingStream(bool mlsd, bool keepUnrecognised, const ListingParser& parser = ListingParser());

    void feed(const char* data, qsizetype size);
    // Takes a last line without a line end; returns the entries in the server's order.
    std::vector<ListedEntry> finish();
    // Lines dropped for being longer than MaxLineBytes.
    int droppedLines() const { return m_dropped; }

private:
    void take(QByteArray line);

    ListingParser m_parser;
    bool m_mlsd;
    bool m_keepUnrecognised;
    QByteArray m_pending;
    bool m_dropping = false; // inside a line that is too long, until its line end
    int m_dropped = 0;
    std::vector<ListedEntry> m_entries;
};
