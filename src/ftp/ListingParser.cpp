#include "ftp/ListingParser.h"

#include "ftp/ListingStream.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <charconv>
#include <cstdio>

namespace {

struct Token {
    qsizetype start;
    qsizetype end;
    QByteArrayView text;
};

std::vector<Token> tokens(const QByteArray& line) {
    std::vector<Token> result;
    result.reserve(12);
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        while (i < n && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        qsizetype start = i;
        while (i < n && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            result.push_back({start, i, QByteArrayView(line.constData() + start, i - start)});
    }
    return result;
}

bool isDigits(QByteArrayView text) {
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The value of a run of digits (isDigits() checked by the caller); -1 when it does not fit.
qint64 number(QByteArrayView digits) {
    qint64 value = 0;
    auto [end, error] = std::from_chars(digits.begin(), digits.end(), value);
    return error == std::errc() && end == digits.end() ? value : -1;
}

// The month of an English short name ("Jan"), in any case; 0 for anything else.
int monthNumber(QByteArrayView text) {
    static const std::array<QByteArray, 12> names = [] {
        std::array<QByteArray, 12> english;
        for (int month = 1; month <= 12; ++month)
            english[size_t(month - 1)] =
                QLocale::c().monthName(month, QLocale::ShortFormat).toLatin1();
        return english;
    }();
    if (text.size() != 3)
        return 0;
    for (size_t i = 0; i < names.size(); ++i) {
        if (text.compare(names[i], Qt::CaseInsensitive) == 0)
            return int(i) + 1;
    }
    return 0;
}

bool isPermissions(QByteArrayView text) {
    static const QByteArrayView kinds = "-dlbcpsDn";
    static const QByteArrayView modes = "rwxsStTlL-";
    if (text.size() < 10 || text.size() > 11 || !kinds.contains(text[0]))
        return false;
    for (int i = 1; i < 10; ++i) {
        if (!modes.contains(text[i]))
            return false;
    }
    return true;
}

// "HH:MM" into hour and minute.
bool parseClock(QByteArrayView text, int* hour, int* minute) {
    qsizetype colon = text.indexOf(':');
    if (colon < 1 || colon > 2 || text.size() != colon + 3)
        return false;
    QByteArrayView h = text.first(colon);
    QByteArrayView m = text.sliced(colon + 1);
    if (!isDigits(h) || !isDigits(m))
        return false;
    *hour = int(number(h));
    *minute = int(number(m));
    return *hour < 24 && *minute < 60;
}

// "YYYY-MM-DD", as "ls --time-style=long-iso" writes it.
bool parseIsoDate(QByteArrayView text, int* year, int* month, int* day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    QByteArrayView y = text.first(4);
    QByteArrayView m = text.sliced(5, 2);
    QByteArrayView d = text.sliced(8, 2);
    if (!isDigits(y) || !isDigits(m) || !isDigits(d))
        return false;
    *year = int(number(y));
    *month = int(number(m));
    *day = int(number(d));
    return QDate::isValid(*year, *month, *day);
}

quint32 attributesFor(bool directory, bool readOnly, const QByteArray& name) {
    quint32 bits = directory ? ListedEntry::Directory : 0;
    if (readOnly)
        bits |= ListedEntry::ReadOnly;
    if (name.startsWith('.') && name != "." && name != "..")
        bits |= ListedEntry::Hidden;
    if (!directory && bits == 0)
        bits = ListedEntry::Normal;
    return bits;
}

// "YYYYMMDDHHMMSS" (MLSD's modify fact, UTC) as seconds since 1970; -1 when malformed.
qint64 utcSeconds(QByteArrayView text) {
    if (text.size() < 14)
        return -1;
    int digits[14];
    for (int i = 0; i < 14; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        digits[i] = text[i] - '0';
    }
    auto number = [&digits](int from, int count) {
        int n = 0;
        for (int i = from; i < from + count; ++i)
            n = n * 10 + digits[i];
        return n;
    };
    const QDate date(number(0, 4), number(4, 2), number(6, 2));
    const QTime minute(number(8, 2), number(10, 2));
    const int second = number(12, 2);
    if (!date.isValid() || !minute.isValid() || second > 60)
        return -1;
    // A leap second (":60") counts as the first second of the next minute.
    return QDateTime(date, minute, Qt::UTC).toSecsSinceEpoch() + second;
}

} // namespace

QString ListedTime::text() const {
    if (!isValid())
        return QStringLiteral("----/--/--");
    char text[32];
    std::snprintf(text, sizeof text, "%4d/%02d/%02d %02d:%02d", year, month, day, hour, minute);
    return QString::fromLatin1(text);
}

ListingParser::ListingParser(const QDateTime& now) {
    QDate d = now.date();
    QTime t = now.time();
    m_now = {d.year(), d.month(), d.day(), t.hour(), t.minute()};
}

ListedTime ListingParser::localFromUtc(qint64 secondsSinceEpoch) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
    if (!local.isValid())
        return {};
    const QDate d = local.date();
    const QTime t = local.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute()};
}

QByteArrayList ListingParser::lines(const QByteArray& data) {
    QByteArrayList result;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            result.append(line);
    }
    return result;
}

std::optional<ListedEntry> ListingParser::parseMlsdLine(const QByteArray& line) const {
    // "fact=value;fact=value; name": every fact ends with ';', the name follows one blank.
    qsizetype space = line.indexOf(' ');
    if (space <= 0 || space + 1 >= line.size() || line[space - 1] != ';')
        return std::nullopt;
    ListedEntry entry;
    QByteArrayView type = "file";
    QByteArrayView perm;
    bool hasFact = false;
    bool hasPerm = false;
    const QByteArrayView facts(line.constData(), space);
    for (qsizetype pos = 0; pos < facts.size();) {
        qsizetype semi = facts.indexOf(';', pos);
        QByteArrayView fact = facts.sliced(pos, semi - pos);
        pos = semi + 1;
        qsizetype eq = fact.indexOf('=');
        if (eq <= 0)
            continue;
        hasFact = true;
        QByteArrayView key = fact.first(eq);
        QByteArrayView value = fact.sliced(eq + 1);
        if (key.compare("type", Qt::CaseInsensitive) == 0) {
            type = value;
        } else if (key.compare("size", Qt::CaseInsensitive) == 0) {
            qint64 size = 0;
            auto [end, error] = std::from_chars(value.begin(), value.end(), size);
            if (error == std::errc() && end == value.end() && size >= 0)
                entry.size = size;
        } else if (key.compare("modify", Qt::CaseInsensitive) == 0) {
            qint64 seconds = utcSeconds(value);
            if (seconds >= 0)
                entry.modified = localFromUtc(seconds);
        } else if (key.compare("perm", Qt::CaseInsensitive) == 0) {
            perm = value;
            hasPerm = true;
        }
    }
    if (!hasFact || type.compare("cdir", Qt::CaseInsensitive) == 0 ||
        type.compare("pdir", Qt::CaseInsensitive) == 0)
        return std::nullopt;
    entry.name = line.sliced(space + 1);
    entry.directory = type.compare("dir", Qt::CaseInsensitive) == 0;
    if (entry.directory)
        entry.size = 0;
    bool writable =
        perm.contains('w') || perm.contains('W') || perm.contains('a') || perm.contains('A');
    entry.attributes =
        attributesFor(entry.directory, hasPerm && !entry.directory && !writable, entry.name);
    return entry;
}

std::optional<ListedEntry> ListingParser::parseListLine(const QByteArray& line,
                                                        qsizetype* nameStart) const {
    qsizetype start = 0;
    std::optional<ListedEntry> entry = parseUnixLine(line, &start);
    if (!entry) {
        entry = parseDosLine(line);
        start = entry ? line.size() - entry->name.size() : 0;
    }
    if (nameStart)
        *nameStart = start;
    return entry;
}

std::optional<ListedEntry> ListingParser::parseUnixLine(const QByteArray& line,
                                                        qsizetype* nameStart) const {
    std::vector<Token> t = tokens(line);
    if (t.size() < 6 || !isPermissions(t[0].text))
        return std::nullopt;
    for (size_t i = 2; i + 1 < t.size(); ++i) {
        if (!isDigits(t[i - 1].text))
            continue;
        ListedTime when;
        size_t last = 0;
        int hour = 0;
        int minute = 0;
        int month = monthNumber(t[i].text);
        int year = 0;
        int day = 0;
        if (month && i + 2 < t.size() && isDigits(t[i + 1].text)) {
            day = int(number(t[i + 1].text));
            QByteArrayView third = t[i + 2].text;
            if (parseClock(third, &hour, &minute))
                when = dateWithoutYear(month, day, hour, minute);
            else if (third.size() == 4 && isDigits(third) &&
                     QDate::isValid(int(number(third)), month, day))
                when = {int(number(third)), month, day, 0, 0};
            last = i + 2;
        } else if (parseIsoDate(t[i].text, &year, &month, &day) &&
                   parseClock(t[i + 1].text, &hour, &minute)) {
            when = {year, month, day, hour, minute};
            last = i + 1;
        }
        if (!when.isValid() || t[last].end + 1 >= line.size())
            continue;
        ListedEntry entry;
        *nameStart = t[last].end + 1;
        entry.name = line.mid(*nameStart);
        entry.directory = t[0].text[0] == 'd';
        if (t[0].text[0] == 'l') {
            qsizetype arrow = entry.name.indexOf(" -> ");
            if (arrow > 0)
                entry.name.truncate(arrow);
        }
        entry.size = entry.directory ? 0 : qMax<qint64>(0, number(t[i - 1].text));
        entry.modified = when;
        entry.attributes = attributesFor(entry.directory, t[0].text[2] != 'w', entry.name);
        return entry;
    }
    return std::nullopt;
}

std::optional<ListedEntry> ListingParser::parseDosLine(const QByteArray& line) const {
    static const QRegularExpression dos(
        QStringLiteral("^(\\d{2})-(\\d{2})-(\\d{2}|\\d{4}) +(\\d{1,2}):(\\d{2}) *([AaPp][Mm])? +"
                       "(<DIR>|\\d+) +(.+)$"));
    QRegularExpressionMatch m = dos.match(QString::fromLatin1(line));
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += year < 70 ? 2000 : 1900;
    int hour = m.captured(4).toInt();
    QString half = m.captured(6).toUpper();
    if (half == QLatin1String("PM") && hour < 12)
        hour += 12;
    else if (half == QLatin1String("AM") && hour == 12)
        hour = 0;
    int month = m.captured(1).toInt();
    int day = m.captured(2).toInt();
    int minute = m.captured(5).toInt();
    if (!QDate::isValid(year, month, day) || hour > 23 || minute > 59)
        return std::nullopt;
    ListedTime when{year, month, day, hour, minute};
    ListedEntry entry;
    entry.name = m.captured(8).toLatin1();
    entry.directory = m.captured(7) == QLatin1String("<DIR>");
    entry.size = entry.directory ? 0 : m.captured(7).toLongLong();
    entry.modified = when;
    entry.attributes = attributesFor(entry.directory, false, entry.name);
    return entry;
}

ListedTime ListingParser::dateWithoutYear(int month, int day, int hour, int minute) const {
    for (int year = m_now.year; year >= m_now.year - 8; --year) {
        if (!QDate::isValid(year, month, day))
            continue; // 29 February of a year that has none
        ListedTime when{year, month, day, hour, minute};
        if (when <= m_now)
            return when;
    }
    return {};
}

ListedEntry ListingParser::unrecognised(const QByteArray& line) {
    ListedEntry entry;
    entry.name = line;
    entry.recognised = false;
    return entry;
}

bool ListingParser::isCount(QByteArrayView text) {
    return isDigits(text);
}

std::vector<ListedEntry> ListingParser::parseMlsd(const QByteArray& data) const {
    ListingStream stream(true, false, *this);
    stream.feed(data.constData(), data.size());
    return stream.finish();
}

std::vector<ListedEntry> ListingParser::parseList(const QByteArray& data,
                                                  bool keepUnrecognised) const {
    ListingStream stream(false, keepUnrecognised, *this);
    stream.feed(data.constData(), data.size());
    return stream.finish();
}
