#pragma once

#include "ftp/ListingParser.h"

#include <QByteArray>

#include <functional>
#include <optional>

// An SFTP directory as libcurl reads it comes in one of two shapes: every name followed by a line
// feed, or the server's "ls -l" line of every entry followed by one. A name may hold a line feed
// itself, so neither shape alone says where one entry ends and the next begins, and a name such
// as "x\n-rw-r--r-- 1 u g 5 Jan 1 2020 passwd" would add an entry of its maker's choice.
// Read together they do say it: the names give the exact bytes, the lines the kind, size and
// date. Every line either starts an entry (its name part is the next name up to a line feed) or
// continues the name of the entry before (it is that piece whole); a line that is neither, or
// a name no line accounts for, means the two readings disagree (the directory changed between
// them, or the server writes lines of another format).
class SftpListing {
public:
    using EntrySink = std::function<void(ListedEntry&& entry)>;

    // `names`: the names-only reading, whole. Entries go to `sink` in the server's order, without
    // "." and "..".
    SftpListing(QByteArray names, EntrySink sink, const ListingParser& parser = ListingParser());

    // The "ls -l" reading, as it arrives. False once the readings disagree.
    bool feed(const char* data, qsizetype size);
    // False when the readings disagree.
    [[nodiscard]] bool finish();

private:
    bool take(const QByteArray& line);
    // The next name piece (up to a line feed) when the names hold one.
    std::optional<QByteArrayView> nextPiece() const;
    void emitCurrent();

    QByteArray m_names;
    qsizetype m_position = 0;
    EntrySink m_sink;
    ListingParser m_parser;
    QByteArray m_pending;
    std::optional<ListedEntry> m_current;
    bool m_currentIsLink = false;
    bool m_inLinkTarget = false; // past " -> " of a link's line: the rest is its target
    bool m_agree = true;
};
