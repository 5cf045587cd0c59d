#include "sheet/DelimitedText.h"

#include <QDir>

#include <algorithm>
#include <cstring>

namespace DelimitedText {
namespace {

constexpr char Quote = '"';
constexpr qsizetype ProgressStep = qsizetype(4) << 20; // report about every 4 MB

const char* findByte(const char* from, const char* end, char byte) {
    const void* hit = std::memchr(from, byte, size_t(end - from));
    return hit ? static_cast<const char*>(hit) : end;
}

int countByte(const char* from, const char* end, char byte) {
    return int(std::count(from, end, byte));
}

// Reads records without quoting: one per non-empty line.
void parsePlain(Parsed& parsed, qsizetype start, char delimiter, const Progress& progress) {
    const char* const base = parsed.bytes.constData();
    const char* const end = base + parsed.bytes.size();
    const char* p = base + start;
    qsizetype lineBytes = 0, nextReport = ProgressStep;
    while (p < end) {
        const char* lf = findByte(p, end, '\n');
        const char* stop = (lf < end && lf > p && lf[-1] == '\r') ? lf - 1 : lf;
        if (stop > p) {
            parsed.records.push_back({p - base, stop - p});
            parsed.fieldCount = std::max(parsed.fieldCount, countByte(p, stop, delimiter) + 1);
            lineBytes += stop - p;
        }
        p = lf + 1;
        if (progress && lineBytes >= nextReport) {
            progress(lineBytes);
            nextReport = lineBytes + ProgressStep;
        }
    }
}

// Walks one quoted field's body from just after its opening quote; returns the position after
// the closing quote, or nullptr when it never closes.
const char* skipQuoted(const char* p, const char* end) {
    for (;;) {
        p = findByte(p, end, Quote);
        if (p == end)
            return nullptr;
        if (p + 1 < end && p[1] == Quote) {
            p += 2;
            continue;
        }
        return p + 1;
    }
}

// Reads records with RFC 4180 quoting: a record ends at a line end outside quotes.
void parseQuoted(Parsed& parsed, qsizetype start, char delimiter, const Progress& progress) {
    const char* const base = parsed.bytes.constData();
    const char* const end = base + parsed.bytes.size();
    const char* p = base + start;
    int line = 1;
    qsizetype nextReport = ProgressStep;
    while (p < end) {
        const char* recordStart = p;
        int fields = 1;
        for (;;) { // one field per turn
            if (p < end && *p == Quote) {
                const int openLine = line;
                const char* after = skipQuoted(p + 1, end);
                if (!after) {
                    parsed.unterminatedQuoteLine = openLine;
                    p = end;
                    break;
                }
                line += countByte(p, after, '\n');
                p = after;
            }
            while (p < end && *p != delimiter && *p != '\n' && *p != Quote)
                ++p;
            if (p < end && *p == Quote) { // a quote inside an unquoted field is text
                ++p;
                continue;
            }
            if (p < end && *p == delimiter) {
                ++p;
                ++fields;
                continue;
            }
            break; // at a line end or the end of the text
        }
        const char* stop = (p < end && p > recordStart && p[-1] == '\r') ? p - 1 : p;
        if (stop > recordStart) {
            parsed.records.push_back({recordStart - base, stop - recordStart});
            parsed.fieldCount = std::max(parsed.fieldCount, fields);
        }
        if (p < end) { // at an LF
            ++p;
            ++line;
        }
        if (progress && p - base >= nextReport) {
            progress(p - base);
            nextReport = (p - base) + ProgressStep;
        }
    }
}

} // namespace

Parsed parse(QByteArray fileBytes, DelimitedFormat format, const Progress& progress) {
    Parsed parsed;
    if (!fileBytes.isEmpty() && fileBytes.back() == '\x1A')
        fileBytes.chop(1); // the end-of-file mark some editors still write
    parsed.encoding = detectEncoding(fileBytes);
    parsed.bytes = std::move(fileBytes);
    const qsizetype start = parsed.encoding == TextEncoding::Utf8Bom ? 3 : 0;
    if (format.quoted)
        parseQuoted(parsed, start, format.delimiter, progress);
    else
        parsePlain(parsed, start, format.delimiter, progress);
    return parsed;
}

void splitRecord(const Parsed& parsed, const Record& record, DelimitedFormat format,
                 QList<QByteArrayView>& fields, QByteArray& scratch) {
    fields.resize(0); // keeps the capacity for the next record
    const char* p = parsed.bytes.constData() + record.offset;
    const char* const end = p + record.length;
    if (!format.quoted) {
        for (;;) {
            const char* d = findByte(p, end, format.delimiter);
            fields.emplace_back(p, d - p);
            if (d == end)
                return;
            p = d + 1;
        }
    }
    // Unquoted bodies are never longer than the record, so the views into scratch stay valid.
    if (scratch.size() < record.length)
        scratch.resize(record.length);
    char* const out = scratch.data();
    qsizetype used = 0;
    for (;;) {
        const char* fieldStart = p;
        if (p < end && *p == Quote) {
            const qsizetype from = used;
            ++p;
            for (;;) {
                const char* q = findByte(p, end, Quote);
                std::memcpy(out + used, p, size_t(q - p));
                used += q - p;
                if (q == end) {
                    p = end;
                    break;
                }
                if (q + 1 < end && q[1] == Quote) {
                    out[used++] = Quote;
                    p = q + 2;
                    continue;
                }
                p = q + 1;
                break;
            }
            const char* d = findByte(p, end, format.delimiter);
            std::memcpy(out + used, p, size_t(d - p)); // text after the closing quote
            used += d - p;
            fields.emplace_back(out + from, used - from);
            p = d;
        } else {
            p = findByte(p, end, format.delimiter);
            fields.emplace_back(fieldStart, p - fieldStart);
        }
        if (p == end)
            return;
        ++p;
    }
}

bool breaksLayout(QByteArrayView field, char delimiter) {
    // Fields are short: one loop beats a library search per byte value.
    for (char c : field)
        if (c == delimiter || c == '\n')
            return true;
    return false;
}

namespace {

bool needsQuotes(QByteArrayView field, char delimiter) {
    for (char c : field)
        if (c == delimiter || c == '\n' || c == '\r' || c == Quote)
            return true;
    return false;
}

} // namespace

Writer::Writer(DelimitedFormat format, TextEncoding encoding) : m_format(format) {
    if (encoding == TextEncoding::Utf8Bom)
        put("\xEF\xBB\xBF", 3);
}

void Writer::reserve(qsizetype bytes) {
    if (bytes > m_out.size())
        m_out.resize(bytes);
}

void Writer::put(const char* bytes, qsizetype n) {
    if (m_used + n > m_out.size())
        m_out.resize(std::max(m_out.size() * 2, m_used + n + 4096));
    std::memcpy(m_out.data() + m_used, bytes, size_t(n));
    m_used += n;
}

QByteArray Writer::take() {
    m_out.truncate(m_used);
    m_used = 0;
    return std::move(m_out);
}

void Writer::beginRow() {
    if (!m_firstRow)
        put("\r\n", 2);
    m_firstRow = false;
    m_firstField = true;
}

void Writer::addField(QByteArrayView field) {
    if (!m_firstField)
        put(m_format.delimiter);
    m_firstField = false;
    if (!m_format.quoted || !needsQuotes(field, m_format.delimiter)) {
        put(field.data(), field.size());
        return;
    }
    put(Quote);
    for (char c : field) {
        put(c);
        if (c == Quote)
            put(Quote);
    }
    put(Quote);
}

QString unterminatedQuoteMessage(const QString& path, int line) {
    return QStringLiteral("%1 の %2 行目の引用符(\")が閉じられていません。\n"
                          "ファイルの終わりまでを１つのセルとして読み込みました。")
        .arg(QDir::toNativeSeparators(path))
        .arg(line);
}

QString layoutQuestion(const QString& rowHeading, const QString& columnHeading, char delimiter) {
    const QString name = delimiter == '\t'  ? QStringLiteral("TAB")
                         : delimiter == ' ' ? QStringLiteral("スペース")
                                            : QStringLiteral(",");
    return QStringLiteral("セル（%1, %2）に区切文字（%3）か改行が有る為、"
                          "読み直すと列か行が増えます。\nこのまま保存しますか？")
        .arg(rowHeading, columnHeading, name);
}

} // namespace DelimitedText
