#include "sheet/DelimitedText.h"

#include <QDir>

#include <algorithm>
#include <cstring>

namespace DelimitedText {
namespace {

constexpr char Quote = '"';
constexpr char EndOfFile = 0x1A;
constexpr qsizetype ProgressStep = qsizetype(4) << 20; // report about every 4 MB

const char* findByte(const char* from, const char* end, char byte) {
    const void* hit = std::memchr(from, byte, size_t(end - from));
    return hit ? static_cast<const char*>(hit) : end;
}

// The first delimiter or LF from `from`. Fields are short: one loop beats two library searches.
const char* findFieldEnd(const char* from, const char* end, char delimiter) {
    while (from < end && *from != delimiter && *from != '\n')
        ++from;
    return from;
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

// Where the text of a line that ends at `lineEnd` stops: a CR just before an LF belongs to the
// line end.
const char* textStop(const char* from, const char* lineEnd, const char* end) {
    return lineEnd < end && lineEnd > from && lineEnd[-1] == '\r' ? lineEnd - 1 : lineEnd;
}

// The reading of one record from `p`, the only place that decides where records and fields
// end: calls field(begin, end) with each field's raw bytes (quotes included) and returns where
// the next record begins. An empty line has no fields. Without quoting every delimiter ends a
// field. With quoting a field that begins with a quote runs to its closing quote (a doubled
// quote is text) and then on to the delimiter; anywhere else a quote is text. A quote that
// never closes takes the rest of the text, and `openQuote` is set to it.
template <typename Field>
const char* readRecord(const char* p, const char* end, DelimitedFormat format, Field field,
                       const char** openQuote) {
    if (!format.quoted) {
        const char* lf = findByte(p, end, '\n');
        const char* stop = textStop(p, lf, end);
        while (stop > p) {
            const char* d = findByte(p, stop, format.delimiter);
            field(p, d);
            if (d == stop)
                break;
            p = d + 1;
            if (p == stop)
                field(p, p); // a delimiter at the end leaves an empty last field
        }
        return lf < end ? lf + 1 : end;
    }
    const char* const recordStart = p;
    for (;;) {
        const char* const fieldStart = p;
        if (p < end && *p == Quote) {
            const char* after = skipQuoted(p + 1, end);
            if (!after) {
                *openQuote = fieldStart;
                field(fieldStart, end);
                return end;
            }
            p = after;
        }
        p = findFieldEnd(p, end, format.delimiter);
        if (p < end && *p == format.delimiter) {
            field(fieldStart, p);
            ++p;
            continue;
        }
        const char* stop = textStop(fieldStart, p, end);
        if (stop > recordStart)
            field(fieldStart, stop);
        return p < end ? p + 1 : end;
    }
}

} // namespace

Parsed parse(QByteArray fileBytes, DelimitedFormat format, const Progress& progress) {
    Parsed parsed;
    qsizetype size = fileBytes.size();
    while (size > 0 && fileBytes[size - 1] == EndOfFile)
        --size; // the end-of-file marks some editors still write
    fileBytes.truncate(size);
    parsed.encoding = detectEncoding(fileBytes);
    parsed.bytes = std::move(fileBytes);
    parsed.start = parsed.encoding == TextEncoding::Utf8Bom ? 3 : 0;
    const char* const base = parsed.bytes.constData();
    const char* const end = base + parsed.bytes.size();
    const char* openQuote = nullptr;
    qsizetype nextReport = ProgressStep;
    for (const char* p = base + parsed.start; p < end;) {
        int fields = 0;
        p = readRecord(
            p, end, format, [&](const char*, const char*) { ++fields; }, &openQuote);
        if (fields > 0) {
            ++parsed.recordCount;
            parsed.fieldTotal += fields;
            parsed.fieldCount = std::max(parsed.fieldCount, fields);
        }
        if (progress && p - base >= nextReport) {
            progress(p - base);
            nextReport = (p - base) + ProgressStep;
        }
    }
    if (openQuote)
        parsed.unterminatedQuoteLine = int(std::count(base, openQuote, '\n')) + 1;
    return parsed;
}

RecordReader::RecordReader(const Parsed& parsed, DelimitedFormat format)
    : m_p(parsed.bytes.constData() + parsed.start),
      m_end(parsed.bytes.constData() + parsed.bytes.size()), m_format(format) {}

bool RecordReader::next(QList<QByteArrayView>& fields) {
    fields.resize(0); // keeps the capacity for the next record
    const char* openQuote = nullptr;
    m_raw.clear();
    while (m_raw.empty() && m_p < m_end)
        m_p = readRecord(
            m_p, m_end, m_format,
            [this](const char* b, const char* e) { m_raw.emplace_back(b, e); }, &openQuote);
    if (m_raw.empty())
        return false;
    if (!m_format.quoted) {
        for (const auto& [b, e] : m_raw)
            fields.emplace_back(b, e - b);
        return true;
    }
    // A quoted field's text is never longer than its raw bytes, so one buffer of the record's
    // size holds them all and the views into it stay valid.
    const qsizetype length = m_raw.back().second - m_raw.front().first;
    if (m_scratch.size() < length)
        m_scratch.resize(length);
    char* const out = m_scratch.data();
    qsizetype used = 0;
    for (const auto& [b, e] : m_raw) {
        if (b == e || *b != Quote) {
            fields.emplace_back(b, e - b);
            continue;
        }
        // The body with its doubled quotes undone, then the text after the closing quote.
        const qsizetype from = used;
        const char* p = b + 1;
        for (;;) {
            const char* q = findByte(p, e, Quote);
            std::memcpy(out + used, p, size_t(q - p));
            used += q - p;
            if (q + 1 < e && q[1] == Quote) {
                out[used++] = Quote;
                p = q + 2;
                continue;
            }
            p = q < e ? q + 1 : e;
            break;
        }
        std::memcpy(out + used, p, size_t(e - p));
        used += e - p;
        fields.emplace_back(out + from, used - from);
    }
    return true;
}

bool breaksLayout(QByteArrayView field, char delimiter) {
    const char* end = field.data() + field.size();
    return findFieldEnd(field.data(), end, delimiter) != end;
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
    m_textStart = m_used;
}

void Writer::reserve(qsizetype bytes) {
    if (bytes <= m_out.size())
        return;
    m_out.resize(bytes);
    m_data = m_out.data();
    m_capacity = m_out.size();
}

void Writer::grow(qsizetype n) {
    reserve(std::max(m_out.size() * 2, m_used + n + 4096));
}

QByteArray Writer::take() {
    endRow();
    m_out.truncate(m_used);
    m_used = 0;
    m_data = nullptr;
    m_capacity = 0;
    return std::move(m_out);
}

void Writer::beginRow() {
    if (!m_firstRow) {
        endRow();
        if (m_sink && m_used >= m_piece)
            send();
        put("\r\n", 2);
        ++m_lineFeedsPut;
    }
    m_firstRow = false;
    m_rowFields = 0;
    m_rowStart = m_used;
}

void Writer::endRow() {
    // A row of one empty field would be an empty line, which reading drops: with quoting the
    // field can say it is there.
    if (m_format.quoted && m_rowFields == 1 && m_used == m_rowStart)
        put("\"\"", 2);
    m_rowFields = 0;
}

void Writer::addField(QByteArrayView field) {
    if (m_rowFields++ > 0) {
        put(m_format.delimiter);
        ++m_delimitersPut;
    }
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

void Writer::sendTo(Sink sink, qsizetype piece) {
    m_sink = std::move(sink);
    m_piece = piece;
    reserve(piece + piece / 4);
}

void Writer::send() {
    if (!m_stopped &&
        !m_sink(QByteArrayView(m_data, m_used), !m_format.quoted && fieldsBreakLayout()))
        m_stopped = true;
    m_used = m_textStart = m_rowStart = 0;
    m_delimitersPut = m_lineFeedsPut = 0;
}

bool Writer::finish() {
    endRow();
    send();
    return !m_stopped;
}

bool Writer::fieldsBreakLayout() const {
    // Sixteen bytes at a time: a comparison gives -1 in each lane that matches. A lane counts to
    // at most 255 before the lanes are added up.
    using Bytes = unsigned char __attribute__((vector_size(16)));
    constexpr qsizetype Width = sizeof(Bytes);
    constexpr qsizetype Round = 255 * Width;
    const unsigned char delimiter = m_format.delimiter;
    const Bytes delimiters16 = Bytes{} + delimiter;
    const Bytes lineFeeds16 = Bytes{} + '\n';
    qint64 delimiters = 0, lineFeeds = 0;
    qsizetype at = m_textStart;
    while (m_used - at >= Width) {
        const qsizetype end = at + std::min(Round, (m_used - at) / Width * Width);
        Bytes d{}, lf{};
        for (; at < end; at += Width) {
            Bytes v;
            std::memcpy(&v, m_data + at, sizeof v);
            d -= Bytes(v == delimiters16);
            lf -= Bytes(v == lineFeeds16);
        }
        for (qsizetype k = 0; k < Width; ++k) {
            delimiters += d[k];
            lineFeeds += lf[k];
        }
    }
    for (; at < m_used; ++at) {
        delimiters += m_data[at] == char(delimiter);
        lineFeeds += m_data[at] == '\n';
    }
    return delimiters != m_delimitersPut || lineFeeds != m_lineFeedsPut;
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
