#include "platform/IniFile.h"

#include <QFile>
#include <QSaveFile>

#include <climits>

namespace {

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

bool isCp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

bool IniFile::load() {
    m_lines.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    setContents(file.readAll());
    return true;
}

void IniFile::setContents(const QByteArray& bytes) {
    m_lines.clear();
    m_crlf = bytes.isEmpty() || bytes.contains("\r\n");
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        qsizetype end = nl < 0 ? bytes.size() : nl;
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        m_lines.append(line);
        start = end + 1;
    }
}

QByteArray IniFile::contents() const {
    const QByteArray eol = m_crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    QByteArray out;
    for (const QByteArray& line : m_lines) {
        out += line;
        out += eol;
    }
    return out;
}

bool IniFile::save(QString* error) const {
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(contents());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

qsizetype IniFile::findSection(QByteArrayView section) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        QByteArrayView name = sectionName(m_lines[i]);
        if (!name.isNull() && sameName(name, section))
            return i;
    }
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype sectionLine) const {
    qsizetype i = sectionLine + 1;
    while (i < m_lines.size() && sectionName(m_lines[i]).isNull())
        ++i;
    return i;
}

qsizetype IniFile::findKey(qsizetype sectionLine, QByteArrayView key) const {
    qsizetype end = sectionEnd(sectionLine);
    for (qsizetype i = sectionLine + 1; i < end; ++i) {
        QByteArrayView k, v;
        if (splitKeyLine(m_lines[i], &k, &v) && sameName(k, key))
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
    splitKeyLine(m_lines[k], &name, &value);
    // A value wholly enclosed in quotes reads without them, as the classic reader does.
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\''))
        value = value.sliced(1, value.size() - 2);
    return cutAtCharBoundary(value.toByteArray());
}

int IniFile::readInt(QByteArrayView section, QByteArrayView key, int fallback) const {
    qsizetype s = findSection(section);
    qsizetype k = s < 0 ? -1 : findKey(s, key);
    if (k < 0)
        return fallback;
    QByteArrayView name, value;
    splitKeyLine(m_lines[k], &name, &value);
    return parseLeadingInt(value);
}

void IniFile::writeString(QByteArrayView section, QByteArrayView key, const QByteArray& value) {
    QByteArray line = key.toByteArray() + '=' + value;
    qsizetype s = findSection(section);
    if (s < 0) {
        m_lines.append('[' + section.toByteArray() + ']');
        m_lines.append(line);
        return;
    }
    qsizetype k = findKey(s, key);
    if (k >= 0) {
        // Keep the key's spelling as it stands in the file.
        QByteArrayView oldKey, oldValue;
        splitKeyLine(m_lines[k], &oldKey, &oldValue);
        m_lines[k] = oldKey.toByteArray() + '=' + value;
        return;
    }
    // New keys go after the last non-blank line of their section.
    qsizetype end = sectionEnd(s);
    while (end > s + 1 && trimmed(m_lines[end - 1]).isEmpty())
        --end;
    m_lines.insert(end, line);
}

void IniFile::writeInt(QByteArrayView section, QByteArrayView key, int value) {
    writeString(section, key, QByteArray::number(value));
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
