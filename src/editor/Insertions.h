#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The rules of the editor's small insertions and of the jump to a line, without a window.
namespace Insertions {

// The lines of the date-and-time list for one moment, in the order a Japanese desktop offers
// them: short dates (2026/12/07, 26/12/07), long dates (2026年12月7日, with the weekday), dates
// in the Japanese era (令和8年12月7日, R8/12/07), then times (9:05:03, 09:05:03, 午前 9:05:03).
// A text equal to an earlier one (letter case ignored) is left out; none is longer than 255
// bytes in CP932.
QStringList dateTimeEntries(const QDateTime& moment);

// The entries of a special-string file: its lines (decoded as documents are, ending at CR LF,
// CR or LF), empty ones left out, a line equal to an earlier one (letter case ignored) too. A
// line of any length is an entry.
QStringList specialStrings(QByteArrayView fileBytes);

// The entries of the first of `stringFile` and "KeyString.txt" in `startDirectory` that can be
// read as text; empty when neither can.
QStringList readSpecialStrings(const QString& stringFile, const QString& startDirectory);

// A text file to insert at the caret, in the editor's form (see doc/DocumentText.h): its
// non-empty lines (decoded as documents are, ending at CR LF, CR, LF, U+2029, U+FDD0 or U+FDD1),
// each followed by `lineEnd`; and how many lines were read, empty ones included. Nothing when
// the file cannot be read as text.
struct FileLines {
    QByteArray utf8;
    int count = 0;
};
std::optional<FileLines> textFileLines(const QString& path, QByteArrayView lineEnd);

// The line a jump goes to, from the text of its field: a whole number from 1 to 9999999.
constexpr int MaxJumpLine = 9999999;
std::optional<int> jumpTarget(const QString& field);
// "1 から 9999999 までの整数を入力してください。"
QString jumpRangeMessage();

} // namespace Insertions
