#pragma once

#include "ftp/ListingParser.h"

#include <QByteArray>

#include <vector>

// Parses a listing while it arrives, line by line, so that reading a large directory costs
// little more than receiving it.
class ListingStream {
public:
    // `keepUnrecognised`: LIST lines of no known format become unrecognised entries.
    ListingStream(bool mlsd, bool keepUnrecognised, const ListingParser& parser = ListingParser());

    void feed(const char* data, qsizetype size);
    // Takes a last line without a line end; returns the entries in the server's order.
    std::vector<ListedEntry> finish();

private:
    void take(QByteArray line);

    ListingParser m_parser;
    bool m_mlsd;
    bool m_keepUnrecognised;
    QByteArray m_pending;
    std::vector<ListedEntry> m_entries;
};
