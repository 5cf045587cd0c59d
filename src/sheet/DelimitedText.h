#pragma once

#include "doc/DocumentText.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstring>
#include <functional>
#include <utility>
#include <vector>

// The settings that travel from the entry into the spreadsheet window and stay with it.
struct DelimitedTextOptions {
    QString path;
    bool readOnly = false;
    char delimiter = ',';          // ',', '\t' or ' '
    bool firstRowHeadings = false; // the file's first line is the column headings
    bool autoSize = false;         // fit rows and columns after loading
    bool quoted = false; // "引用符(\")を解釈する": fields in double quotes (RFC 4180)
};

// How fields are separated and whether double quotes mean anything.
struct DelimitedFormat {
    char delimiter = ',';
    bool quoted = false;
};

// Delimited text, bytes in and bytes out. A line ends at LF (a CR just before it belongs to the
// line end); empty lines are dropped; every delimiter byte separates. Without quoting a field is
// the exact run of bytes between two delimiters. With quoting, a field that begins with a double
// quote runs to the matching quote and may hold delimiters, doubled quotes and line breaks; a
// quote anywhere else is text.
namespace DelimitedText {

struct Parsed {
    QByteArray bytes; // the text, from `start` on (a byte order mark before it)
    qsizetype start = 0;
    TextEncoding encoding = TextEncoding::Cp932;
    qsizetype recordCount = 0; // kept lines (records in quoted mode, which may span lines)
    int fieldCount = 1;        // the largest field count of all records, at least 1
    qsizetype fieldTotal = 0;  // the fields of all records together
    // 1-based line where a quote opened that never closed (the rest of the file is that
    // field), 0 when every quote closed.
    int unterminatedQuoteLine = 0;
};

// Called now and then during parsing with the number of bytes read so far.
using Progress = std::function<void(qsizetype bytesRead)>;

// Reads the text of a file's bytes once to count its records and fields. A run of 0x1A bytes
// that ends the file ends the text (the bytes are dropped, so a save after a save drops
// nothing more); a 0x1A anywhere else is an ordinary byte. A UTF-8 byte order mark is set
// aside in `encoding`.
Parsed parse(QByteArray fileBytes, DelimitedFormat format, const Progress& progress = {});

// Gives the records of parsed text one after the other, split into fields. The same reading
// as parse's decides where records and fields end, so a record never has more fields than
// parse counted.
class RecordReader {
public:
    RecordReader(const Parsed& parsed, DelimitedFormat format);
    // The next record's fields (not padded), as views into the text or, for quoted fields
    // whose quotes were undone, into the reader's own buffer (valid until the next call).
    // False after the last record.
    bool next(QList<QByteArrayView>& fields);

private:
    const char* m_p;
    const char* m_end;
    DelimitedFormat m_format;
    std::vector<std::pair<const char*, const char*>> m_raw;
    QByteArray m_scratch;
};

// True when writing `field` unquoted would give the file more fields or lines when read again.
bool breaksLayout(QByteArrayView field, char delimiter);

// Builds a file: rows joined by CR LF with no line end after the last, fields joined by the
// delimiter, in quoted mode exactly the fields that need it in double quotes (and a row of one
// empty field as "", which an empty line would lose).
class Writer {
public:
    Writer(DelimitedFormat format, TextEncoding encoding);
    void reserve(qsizetype bytes);
    void beginRow();
    void addField(QByteArrayView field);
    // Ends the last row; take() does it too.
    void endRow();
    // True when a field written so far holds the delimiter or a LF, so that the text would read
    // back unquoted as more fields or lines: one fast look at the whole text (it has more of them
    // than were put between fields and rows), where breaksLayout tells which field.
    bool fieldsBreakLayout() const;
    QByteArray take();

    // From now on the text goes to `sink` in pieces of about `piece` bytes, each ending with a
    // whole row, with whether a field in the piece breaks the layout (see fieldsBreakLayout). A
    // sink that returns false stops the writing.
    using Sink = std::function<bool(QByteArrayView text, bool breaksLayout)>;
    void sendTo(Sink sink, qsizetype piece);
    bool stopped() const { return m_stopped; }
    // Ends the last row and sends what is left; false when the writing was stopped.
    [[nodiscard]] bool finish();

private:
    // Appends raw bytes; the buffer grows by doubling, so a field costs one copy.
    void put(const char* bytes, qsizetype n) {
        if (m_used + n > m_capacity)
            grow(n);
        std::memcpy(m_data + m_used, bytes, size_t(n));
        m_used += n;
    }
    void grow(qsizetype n);
    void put(char byte) { put(&byte, 1); }
    void send();

    DelimitedFormat m_format;
    QByteArray m_out; // its size is the capacity in use; m_used bytes are written
    qsizetype m_used = 0;
    char* m_data = nullptr; // m_out's bytes, m_capacity of them
    qsizetype m_capacity = 0;
    bool m_firstRow = true;
    int m_rowFields = 0;       // fields of the row being written
    qsizetype m_rowStart = 0;  // where its text begins
    qsizetype m_textStart = 0; // after the byte order mark
    qint64 m_delimitersPut = 0;
    qint64 m_lineFeedsPut = 0;
    Sink m_sink;
    qsizetype m_piece = 0;
    bool m_stopped = false;
};

// Messages of the format, in the program's words.
QString unterminatedQuoteMessage(const QString& path, int line);
QString layoutQuestion(const QString& rowHeading, const QString& columnHeading, char delimiter);

} // namespace DelimitedText
