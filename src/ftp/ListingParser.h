#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>

#include <compare>
#include <optional>
#include <vector>

// A wall-clock time of the local time zone, to the minute, as listings give it. Kept as plain
// numbers: a directory of 100,000 entries is not worth 100,000 time-zone look-ups.
struct ListedTime {
    int year = 0; // 0 = not known
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;

    bool isValid() const { return year > 0; }
    // "%4d/%02d/%02d %02d:%02d", the way the program shows a date; "----/--/--" when not known.
    QString text() const;
    auto operator<=>(const ListedTime&) const = default;
};

// One entry of a server's directory listing as the server described it.
struct ListedEntry {
    // Attribute bits in the form the listing operations report them.
    static constexpr quint32 ReadOnly = 0x01;
    static constexpr quint32 Hidden = 0x02;
    static constexpr quint32 Directory = 0x10;
    static constexpr quint32 Normal = 0x80;

    QByteArray name;
    bool directory = false;
    qint64 size = 0;
    ListedTime modified; // local time; invalid when the listing gave none
    quint32 attributes = Normal;
    bool recognised = true; // false: a LIST line of no known format, kept whole as the name
};

// Reads the listings of FTP servers: MLSD lines (RFC 3659) and LIST lines in the Unix ("ls -l")
// and DOS/Windows formats. A line that matches no format is never guessed at.
class ListingParser {
public:
    // `now` decides the year of Unix dates that show a time instead of a year: the most recent
    // such date that is not in the future.
    explicit ListingParser(const QDateTime& now = QDateTime::currentDateTime());

    // A UTC time given as seconds since 1970, in the local time zone.
    static ListedTime localFromUtc(qint64 secondsSinceEpoch);

    // One line without its line end: a CR left at its end belongs to the name.
    std::optional<ListedEntry> parseMlsdLine(const QByteArray& line) const;
    // `nameStart`, when given: where the name begins in the line.
    std::optional<ListedEntry> parseListLine(const QByteArray& line,
                                             qsizetype* nameStart = nullptr) const;

    // Whole listings, in the server's order. MLSD entries of the listed directory itself and of
    // its parent are left out, and so are lines of no known format, unless `keepUnrecognised`
    // asks for LIST lines of no known format as unrecognised entries.
    std::vector<ListedEntry> parseMlsd(const QByteArray& data) const;
    std::vector<ListedEntry> parseList(const QByteArray& data, bool keepUnrecognised) const;

    static QByteArrayList lines(const QByteArray& data);
    // A line of no known format, kept whole as the name.
    static ListedEntry unrecognised(const QByteArray& line);
    // Digits only: the count of a "total N" line.
    static bool isCount(QByteArrayView text);

private:
    std::optional<ListedEntry> parseUnixLine(const QByteArray& line, qsizetype* nameStart) const;
    std::optional<ListedEntry> parseDosLine(const QByteArray& line) const;
    ListedTime dateWithoutYear(int month, int day, int hour, int minute) const;

    ListedTime m_now;
};
