#include "editor/Insertions.h"

#include "doc/DocumentText.h"
#include "doc/TextFileIO.h"
#include "encoding/LosslessCodec.h"

#include <QDir>
#include <QRegularExpression>

namespace Insertions {

namespace {

constexpr qsizetype MaxDateTimeBytes = 255;

// Appends `text` unless it is empty or an equal one (letter case ignored) is there.
void addUnique(QStringList& list, const QString& text) {
    if (text.isEmpty())
        return;
    for (const QString& known : list) {
        if (known.compare(text, Qt::CaseInsensitive) == 0)
            return;
    }
    list.append(text);
}

// A formatted date or time goes in only when it fits the locale's 255-byte buffer.
void addDateTime(QStringList& list, const QString& text) {
    if (toCp932(text).size() <= MaxDateTimeBytes)
        addUnique(list, text);
}

struct Era {
    QDate start;
    const char16_t* name;
    char16_t letter;
};

// The eras since the calendar of today's Japan began; the newest first.
const Era* eraOf(QDate date) {
    static const Era eras[] = {{QDate(2019, 5, 1), u"令和", u'R'},
                               {QDate(1989, 1, 8), u"平成", u'H'},
                               {QDate(1926, 12, 25), u"昭和", u'S'},
                               {QDate(1912, 7, 30), u"大正", u'T'},
                               {QDate(1873, 1, 1), u"明治", u'M'}};
    for (const Era& era : eras) {
        if (date >= era.start)
            return &era;
    }
    return nullptr;
}

QStringList eraDates(QDate date) {
    const Era* era = eraOf(date);
    if (!era)
        return {};
    const int year = date.year() - era->start.year() + 1;
    const QString name = QString::fromUtf16(era->name);
    const QString yearText = year == 1 ? QStringLiteral("元") : QString::number(year);
    return {QStringLiteral("%1%2年%3月%4日").arg(name, yearText).arg(date.month()).arg(date.day()),
            QStringLiteral("%1%2/%3/%4")
                .arg(QChar(era->letter))
                .arg(year)
                .arg(date.month(), 2, 10, QChar(u'0'))
                .arg(date.day(), 2, 10, QChar(u'0'))};
}

QStringList linesOf(const QString& text) {
    static const QRegularExpression lineEnd(QStringLiteral("\\r\\n|\\r|\\n"));
    return text.split(lineEnd);
}

} // namespace

QStringList dateTimeEntries(const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QStringList entries;
    for (const char* format : {"yyyy/MM/dd", "yy/MM/dd", "yyyy/M/d", "yyyy-MM-dd"})
        addDateTime(entries, date.toString(QString::fromLatin1(format)));
    for (const char16_t* format : {u"yyyy年M月d日", u"yyyy年M月d日 dddd", u"yyyy年MM月dd日"})
        addDateTime(entries, japanese.toString(date, QString::fromUtf16(format)));
    for (const QString& era : eraDates(date))
        addDateTime(entries, era);
    for (const char16_t* format : {u"H:mm:ss", u"HH:mm:ss", u"AP h:mm:ss", u"H時mm分ss秒"})
        addDateTime(entries, japanese.toString(time, QString::fromUtf16(format)));
    return entries;
}

QStringList specialStrings(QByteArrayView fileBytes) {
    QStringList entries;
    for (const QString& line : linesOf(decodeDocument(fileBytes).text))
        addUnique(entries, line);
    return entries;
}

QStringList readSpecialStrings(const QString& stringFile, const QString& startDirectory) {
    for (const QString& path :
         {stringFile, QDir(startDirectory).filePath(QStringLiteral("KeyString.txt"))}) {
        if (path.isEmpty())
            continue;
        const Result<QByteArray> read = TextFileIO::readFile(path);
        if (read.ok())
            return specialStrings(*read);
    }
    return {};
}

namespace {

// The length of the line end that starts at `at`, or 0.
qsizetype lineEndAt(QByteArrayView text, qsizetype at) {
    switch (text[at]) {
    case '\n':
        return 1;
    case '\r':
        return at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
    case '\xE2': // U+2029
        return text.sliced(at).startsWith("\xE2\x80\xA9") ? 3 : 0;
    case '\xEF': // U+FDD0, U+FDD1
        return text.sliced(at).startsWith("\xEF\xB7\x90") ||
                       text.sliced(at).startsWith("\xEF\xB7\x91")
                   ? 3
                   : 0;
    default:
        return 0;
    }
}

} // namespace

std::optional<FileLines> textFileLines(const QString& path, QByteArrayView lineEnd) {
    const Result<QByteArray> read = TextFileIO::readFile(path);
    if (!read.ok())
        return std::nullopt;
    const QByteArray text = decodeForEditor(*read).utf8;
    FileLines result;
    result.utf8.reserve(text.size() + text.size() / 8);
    qsizetype lineStart = 0;
    const auto endLine = [&](qsizetype end) {
        if (end > lineStart) {
            result.utf8.append(text.sliced(lineStart, end - lineStart));
            result.utf8.append(lineEnd);
        }
        ++result.count;
    };
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype length = lineEndAt(text, at);
        if (length == 0) {
            ++at;
            continue;
        }
        endLine(at);
        at += length;
        lineStart = at;
    }
    if (lineStart < text.size())
        endLine(text.size()); // the last line had no end of its own
    return result;
}

std::optional<int> jumpTarget(const QString& field) {
    bool ok = false;
    const int line = field.trimmed().toInt(&ok);
    if (!ok || line < 1 || line > MaxJumpLine)
        return std::nullopt;
    return line;
}

QString jumpRangeMessage() {
    return QStringLiteral("1 から %1 までの整数を入力してください。").arg(MaxJumpLine);
}

} // namespace Insertions
