#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <climits>
#include <cstring>

#include <sys/stat.h>

namespace {

const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

QByteArrayView trimmed(QByteArrayView text) {
    return text.trimmed();
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line, or a null view when the line is not a section header.
QByteArrayView sectionName(QByteArrayView line) {
    QByteArrayView t = trimmed(line);
    if (t.size() < 2 || t.front() != '[')
        return {};
    qsizetype close = t.indexOf(']');
    if (close < 0)
        return {};
    return trimmed(t.sliced(1, close - 1));
}

// Splits "key = value"; returns false for lines without '=' or comment lines.
bool splitKeyLine(QByteArrayView line, QByteArrayView* key, QByteArrayView* value) {
    QByteArrayView t = trimmed(line);
    if (t.isEmpty() || t.front() == ';' || t.front() == '[')
        return false;
    qsizetype eq = t.indexOf('=');
    if (eq <= 0)
        return false;
    *key = trimmed(t.first(eq));
    *value = trimmed(t.sliced(eq + 1));
    return true;
}

// A value wholly enclosed in one kind of quotes reads without them, as the classic reader has
// it; `value` is already trimmed.
QByteArrayView unquoted(QByteArrayView value) {
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\''))
        return value.sliced(1, value.size() - 2);
    return value;
}

// What the reader makes of the text after a key's '='.
QByteArrayView valueAsRead(QByteArrayView stored) {
    return unquoted(trimmed(stored));
}

// The text that reads back as `value`: the value itself, or the value in double quotes when the
// reader would change it (blanks at either end, quotes around it). Inside the quotes nothing is
// trimmed or unquoted, so any value comes back exactly.
QByteArray storedForm(const QByteArray& value) {
    if (valueAsRead(value) == value)
        return value;
    return '"' + value + '"';
}

bool isCp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

Result<> IniFile::load() {
    setContents({});
    QFile file(m_path);
    if (!file.exists())
        return Result<>::done();
    if (!file.open(QIODevice::ReadOnly))
        return Result<>::failed(file.errorString());
    setContents(file.readAll());
    return Result<>::done();
}

void IniFile::setContents(const QByteArray& bytes) {
    m_lines.clear();
    m_byteOrderMark = bytes.startsWith(ByteOrderMark);
    qsizetype start = m_byteOrderMark ? ByteOrderMark.size() : 0;
    qsizetype crlfLines = 0;
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        Line line;
        if (nl < 0) {
            line.text = bytes.mid(start);
            start = bytes.size();
        } else {
            line.text = bytes.mid(start, nl - start);
            line.end = QByteArrayLiteral("\n");
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.end.prepend('\r');
                ++crlfLines;
            }
            start = nl + 1;
        }
        m_lines.append(line);
    }
    m_newLineEnd = newLineEndOf(m_lines, crlfLines);
}

QByteArray IniFile::newLineEndOf(const QList<Line>& lines, qsizetype crlfLines) {
    qsizetype lfLines = 0;
    for (const Line& line : lines)
        lfLines += line.end == "\n" ? 1 : 0;
    if (crlfLines != lfLines)
        return crlfLines > lfLines ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    // A tie goes to the first line; a file without line ends takes the platform's CR LF.
    return lines.isEmpty() || lines.front().end.isEmpty() ? QByteArrayLiteral("\r\n")
                                                          : lines.front().end;
}

QByteArray IniFile::contents() const {
    QByteArray out;
    if (m_byteOrderMark)
        out += ByteOrderMark;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        out += line.text;
        // A last line without a line end gets one once the program has added lines after it.
        const bool last = i + 1 == m_lines.size();
        out += line.end.isEmpty() && !last ? m_newLineEnd : line.end;
    }
    return out;
}

Result<> IniFile::save() const {
    const bool existed = QFileInfo::exists(m_path);
    QSaveFile file(m_path);
    bool ok = file.open(QIODevice::WriteOnly);
    // A new file is for its owner's eyes only before the first byte of a password reaches it;
    // an existing file keeps the mode its owner gave it.
    if (ok && !existed && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0) {
        const int code = errno;
        file.cancelWriting();
        return Result<>::failed(QString::fromLocal8Bit(std::strerror(code)), code);
    }
    ok = ok && file.write(contents()) >= 0 && file.commit();
    if (!ok)
        return Result<>::failed(file.errorString(), int(file.error()));
    return Result<>::done();
}

qsizetype IniFile::findSection(QByteArrayView section) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        QByteArrayView name = sectionName(m_lines[i].text);
        if (!name.isNull() && sameName(name, section))
            return i;
    }
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype sectionLine) const {
    qsizetype i = sectionLine + 1;
    while (i < m_lines.size() && sectionName(m_lines[i].text).isNull())
        ++i;
    return i;
}

qsizetype IniFile::findKey(qsizetype sectionLine, QByteArrayView key) const {
    qsizetype end = sectionEnd(sectionLine);
    for (qsizetype i = sectionLine + 1; i < end; ++i) {
        QByteArrayView k, v;
        if (splitKeyLine(m_lines[i].text, &k, &v) && sameName(k, key))
            return i;
    }
    return -1;
}

bool IniFile::contains(QByteArrayView section, QByteArrayView key) const {
    qsizetype s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QByteArray IniFile::readString(QByteArrayView section, QByteArrayView key,
                               const QByteArray& fallback) const {
    qsizetype s = findSection(section);
    qsizetype k = s < 0 ? -1 : findKey(s, key);
    if (k < 0)
        return cutAtCharBoundary(fallback);
    QByteArrayView name, value;
    splitKeyLine(m_lines[k].text, &name, &value);
    return cutAtCharBoundary(valueAsRead(value).toByteArray());
}

int IniFile::readInt(QByteArrayView section, QByteArrayView key, int fallback) const {
    qsizetype s = findSection(section);
    qsizetype k = s < 0 ? -1 : findKey(s, key);
    if (k < 0)
        return fallback;
    QByteArrayView name, value;
    splitKeyLine(m_lines[k].text, &name, &value);
    return parseLeadingInt(value);
}

bool IniFile::canHold(QByteArrayView value) {
    return !value.contains('\r') && !value.contains('\n');
}

Result<> IniFile::writeString(QByteArrayView section, QByteArrayView key, const QByteArray& value) {
    if (!canHold(value))
        return Result<>::refused();
    const QByteArray stored = storedForm(value);
    QByteArray line = key.toByteArray() + '=' + stored;
    qsizetype s = findSection(section);
    if (s < 0) {
        insertLine(m_lines.size(), '[' + section.toByteArray() + ']');
        insertLine(m_lines.size(), line);
        return Result<>::done();
    }
    qsizetype k = findKey(s, key);
    if (k >= 0) {
        QByteArrayView oldKey, oldValue;
        splitKeyLine(m_lines[k].text, &oldKey, &oldValue);
        // A line that already reads as the value stays as its owner wrote it (blanks, quotes).
        if (valueAsRead(oldValue) == value)
            return Result<>::done();
        // Keep the key's spelling as it stands in the file.
        m_lines[k].text = oldKey.toByteArray() + '=' + stored;
        return Result<>::done();
    }
    // New keys go after the last non-blank line of their section.
    qsizetype end = sectionEnd(s);
    while (end > s + 1 && trimmed(m_lines[end - 1].text).isEmpty())
        --end;
    insertLine(end, line);
    return Result<>::done();
}

void IniFile::insertLine(qsizetype at, QByteArray text) {
    m_lines.insert(at, Line{std::move(text), m_newLineEnd});
}

void IniFile::writeInt(QByteArrayView section, QByteArrayView key, int value) {
    // A number is always one line.
    (void)writeString(section, key, QByteArray::number(value));
}

QByteArray IniFile::cutAtCharBoundary(const QByteArray& value, int limit) {
    if (value.size() <= limit)
        return value;
    qsizetype i = 0;
    while (i < value.size()) {
        qsizetype width = isCp932Lead(static_cast<unsigned char>(value[i])) ? 2 : 1;
        if (i + width > limit)
            break;
        i += width;
    }
    return value.left(i);
}

int IniFile::parseLeadingInt(QByteArrayView text) {
    QByteArrayView t = trimmed(text);
    bool negative = false;
    if (!t.isEmpty() && (t.front() == '-' || t.front() == '+')) {
        negative = t.front() == '-';
        t = t.sliced(1);
    }
    long long value = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            value = INT_MAX;
    }
    if (negative)
        return 0;
    return static_cast<int>(value);
}
