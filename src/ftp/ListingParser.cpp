#include "ftp/ListingParser.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace {

struct Token {
    qsizetype start;
    qsizetype end;
    QByteArray text;
};

std::vector<Token> tokens(const QByteArray& line) {
    std::vector<Token> result;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        while (i < n && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        qsizetype start = i;
        while (i < n && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            result.push_back({start, i, line.mid(start, i - start)});
    }
    return result;
}

bool isDigits(const QByteArray& text) {
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int monthNumber(const QByteArray& text) {
    static const char* const names[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
    if (text.size() != 3)
        return 0;
    QByteArray lower = text.toLower();
    for (int i = 0; i < 12; ++i) {
        if (lower == names[i])
            return i + 1;
    }
    return 0;
}

bool isPermissions(const QByteArray& text) {
    if (text.size() < 10 || text.size() > 11)
        return false;
    if (!QByteArray("-dlbcpsDn").contains(text[0]))
        return false;
    for (int i = 1; i < 10; ++i) {
        if (!QByteArray("rwxsStTlL-").contains(text[i]))
            return false;
    }
    return true;
}

// "HH:MM" into hour and minute.
bool parseClock(const QByteArray& text, int* hour, int* minute) {
    qsizetype colon = text.indexOf(':');
    if (colon < 1 || colon > 2 || text.size() != colon + 3)
        return false;
    QByteArray h = text.left(colon);
    QByteArray m = text.mid(colon + 1);
    if (!isDigits(h) || !isDigits(m))
        return false;
    *hour = h.toInt();
    *minute = m.toInt();
    return *hour < 24 && *minute < 60;
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

ListedEntry unrecognised(const QByteArray& line) {
    ListedEntry entry;
    entry.name = line;
    entry.recognised = false;
    return entry;
}

} // namespace

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

std::optional<ListedEntry> ListingParser::parseMlsdLine(QByteArray line) const {
    if (line.endsWith('\r'))
        line.chop(1);
    // "fact=value;fact=value; name": every fact ends with ';', the name follows one blank.
    qsizetype space = line.indexOf(' ');
    if (space <= 0 || space + 1 >= line.size() || line[space - 1] != ';' ||
        !line.left(space).contains('='))
        return std::nullopt;
    ListedEntry entry;
    entry.name = line.mid(space + 1);
    QByteArray type = "file";
    QByteArray perm;
    bool hasPerm = false;
    for (const QByteArray& fact : line.left(space).split(';')) {
        qsizetype eq = fact.indexOf('=');
        if (eq <= 0)
            continue;
        QByteArray key = fact.left(eq).toLower();
        QByteArray value = fact.mid(eq + 1);
        if (key == "type") {
            type = value.toLower();
        } else if (key == "size") {
            bool ok = false;
            qint64 size = value.toLongLong(&ok);
            if (ok && size >= 0)
                entry.size = size;
        } else if (key == "modify") {
            QDateTime utc = QDateTime::fromString(QString::fromLatin1(value.left(14)),
                                                  QStringLiteral("yyyyMMddHHmmss"));
            if (utc.isValid()) {
                utc.setTimeZone(QTimeZone::utc());
                entry.modified = utc.toLocalTime();
            }
        } else if (key == "perm") {
            perm = value.toLower();
            hasPerm = true;
        }
    }
    if (type == "cdir" || type == "pdir")
        return std::nullopt;
    entry.directory = type == "dir";
    if (entry.directory)
        entry.size = 0;
    bool readOnly = hasPerm && !entry.directory && !perm.contains('w') && !perm.contains('a');
    entry.attributes = attributesFor(entry.directory, readOnly, entry.name);
    return entry;
}

std::optional<ListedEntry> ListingParser::parseListLine(QByteArray line) const {
    if (line.endsWith('\r'))
        line.chop(1);
    if (auto entry = parseUnixLine(line))
        return entry;
    return parseDosLine(line);
}

std::optional<ListedEntry> ListingParser::parseUnixLine(const QByteArray& line) const {
    std::vector<Token> t = tokens(line);
    if (t.size() < 6 || !isPermissions(t[0].text))
        return std::nullopt;
    for (size_t i = 2; i + 1 < t.size(); ++i) {
        if (!isDigits(t[i - 1].text))
            continue;
        QDateTime when;
        size_t last = 0;
        int hour = 0;
        int minute = 0;
        int month = monthNumber(t[i].text);
        if (month && i + 2 < t.size() && isDigits(t[i + 1].text)) {
            int day = t[i + 1].text.toInt();
            const QByteArray& third = t[i + 2].text;
            if (parseClock(third, &hour, &minute))
                when = dateWithoutYear(month, day, hour, minute);
            else if (third.size() == 4 && isDigits(third))
                when = QDateTime(QDate(third.toInt(), month, day), QTime(0, 0));
            last = i + 2;
        } else {
            // ISO dates, as "ls --time-style=long-iso" writes them: 2024-03-05 14:07
            QDate date = QDate::fromString(QString::fromLatin1(t[i].text), Qt::ISODate);
            if (date.isValid() && t[i].text.size() == 10 &&
                parseClock(t[i + 1].text, &hour, &minute))
                when = QDateTime(date, QTime(hour, minute));
            last = i + 1;
        }
        if (!when.isValid() || t[last].end + 1 >= line.size())
            continue;
        ListedEntry entry;
        entry.name = line.mid(t[last].end + 1);
        entry.directory = t[0].text[0] == 'd';
        if (t[0].text[0] == 'l') {
            qsizetype arrow = entry.name.indexOf(" -> ");
            if (arrow > 0)
                entry.name.truncate(arrow);
        }
        entry.size = entry.directory ? 0 : t[i - 1].text.toLongLong();
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
    QDateTime when(QDate(year, m.captured(1).toInt(), m.captured(2).toInt()),
                   QTime(hour, m.captured(5).toInt()));
    if (!when.isValid())
        return std::nullopt;
    ListedEntry entry;
    entry.name = m.captured(8).toLatin1();
    entry.directory = m.captured(7) == QLatin1String("<DIR>");
    entry.size = entry.directory ? 0 : m.captured(7).toLongLong();
    entry.modified = when;
    entry.attributes = attributesFor(entry.directory, false, entry.name);
    return entry;
}

QDateTime ListingParser::dateWithoutYear(int month, int day, int hour, int minute) const {
    QTime time(hour, minute);
    for (int year = m_now.date().year(); year >= m_now.date().year() - 8; --year) {
        QDate date(year, month, day);
        if (!date.isValid())
            continue; // 29 February of a year that has none
        QDateTime when(date, time);
        if (when <= m_now)
            return when;
    }
    return QDateTime();
}

std::vector<ListedEntry> ListingParser::parseMlsd(const QByteArray& data) const {
    std::vector<ListedEntry> result;
    for (const QByteArray& line : lines(data)) {
        if (auto entry = parseMlsdLine(line))
            result.push_back(std::move(*entry));
    }
    return result;
}

std::vector<ListedEntry> ListingParser::parseList(const QByteArray& data,
                                                  bool keepUnrecognised) const {
    std::vector<ListedEntry> result;
    for (const QByteArray& line : lines(data)) {
        if (line.startsWith("total ") && isDigits(line.mid(6).trimmed()))
            continue;
        if (auto entry = parseListLine(line))
            result.push_back(std::move(*entry));
        else if (keepUnrecognised)
            result.push_back(unrecognised(line));
    }
    return result;
}
