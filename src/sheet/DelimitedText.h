#pragma once

#include "doc/DocumentText.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
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
// quote runs to the matching quote and may hold delimiters, doubled quotes and line breaks.
namespace DelimitedText {

// One kept line (one record in quoted mode, which may span lines), without its line end.
struct Record {
    qsizetype offset = 0;
    qsizetype length = 0;
};

struct Parsed {
    QByteArray bytes; // the text the records point into
    TextEncoding encoding = TextEncoding::Cp932;
    std::vector<Record> records;
    int fieldCount = 1; // the largest field count of all records, at least 1
    // 1-based line where a quote opened that never closed (the rest of the file is that
    // field), 0 when every quote closed.
    int unterminatedQuoteLine = 0;
};

// Called now and then during parsing with the number of line bytes read so far.
using Progress = std::function<void(qsizetype bytesRead)>;

// The text of a file's bytes: a 0x1A that is the last byte ends the text (and is dropped); a
// 0x1A anywhere else is an ordinary byte. A UTF-8 byte order mark is set aside in `encoding`.
Parsed parse(QByteArray fileBytes, DelimitedFormat format, const Progress& progress = {});

// The fields of one record, as views into `parsed.bytes` or into `scratch` (for quoted fields
// whose doubled quotes were undone). Fills `fields` with the record's own fields (not padded).
void splitRecord(const Parsed& parsed, const Record& record, DelimitedFormat format,
                 QList<QByteArrayView>& fields, QByteArray& scratch);

// True when writing `field` unquoted would give the file more fields or lines when read again.
bool breaksLayout(QByteArrayView field, char delimiter);

// Builds a file: rows joined by CR LF with no line end after the last, fields joined by the
// delimiter, in quoted mode exactly the fields that need it in double quotes.
class Writer {
public:
    Writer(DelimitedFormat format, TextEncoding encoding);
    void reserve(qsizetype bytes);
    void beginRow();
    void addField(QByteArrayView field);
    QByteArray take();

private:
    // Appends raw bytes; the buffer grows by doubling, so a field costs one copy.
    void put(const char* bytes, qsizetype n);
    void put(char byte) { put(&byte, 1); }

    DelimitedFormat m_format;
    QByteArray m_out; // its size is the capacity in use; m_used bytes are written
    qsizetype m_used = 0;
    bool m_firstRow = true;
    bool m_firstField = true;
};

// Messages of the format, in the program's words.
QString unterminatedQuoteMessage(const QString& path, int line);
QString layoutQuestion(const QString& rowHeading, const QString& columnHeading, char delimiter);

} // namespace DelimitedText
