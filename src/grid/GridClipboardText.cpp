#include "grid/GridClipboardText.h"

namespace GridClipboardText {

QString build(const std::vector<int>& rows, const std::vector<int>& columns,
              const std::function<bool(int, int)>& isSelected,
              const std::function<QString(int, int)>& text) {
    QString out;
    bool firstRow = true;
    for (int row : rows) {
        if (!firstRow)
            out += QLatin1Char('\n');
        firstRow = false;
        bool firstColumn = true;
        for (int column : columns) {
            if (!firstColumn)
                out += QLatin1Char('\t');
            firstColumn = false;
            if (isSelected(row, column))
                out += text(row, column);
        }
    }
    return out;
}

namespace {

bool isTrimmed(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n') || c == QLatin1Char('\v') || c == QLatin1Char('\f');
}

QStringView trimmed(QStringView field) {
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && isTrimmed(field[begin]))
        ++begin;
    while (end > begin && isTrimmed(field[end - 1]))
        --end;
    return field.sliced(begin, end - begin);
}

bool isSeparator(QChar c, bool tabsOnly) {
    return c == QLatin1Char('\t') || (!tabsOnly && c == QLatin1Char(','));
}

PastedLine splitLine(QStringView line, bool tabsOnly, qsizetype maxFields) {
    PastedLine fields;
    if (tabsOnly && line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size() && fields.size() < maxFields; ++i) {
        if (i < line.size() && !isSeparator(line[i], tabsOnly))
            continue;
        const QStringView field = line.sliced(start, i - start);
        // The field after the last separator is written only when it holds something: a
        // trailing separator must not clear the next cell.
        const bool last = i == line.size();
        const QStringView kept = tabsOnly ? field : trimmed(field);
        if (!last || !kept.isEmpty())
            fields.append(kept.toString());
        start = i + 1;
    }
    return fields;
}

} // namespace

std::vector<PastedLine> split(QStringView text, qsizetype maxLines, qsizetype maxFields) {
    const bool tabsOnly = text.contains(QLatin1Char('\t'));
    std::vector<PastedLine> lines;
    qsizetype start = 0;
    while (start <= text.size() && qsizetype(lines.size()) < maxLines) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        lines.push_back(splitLine(text.sliced(start, end - start), tabsOnly, maxFields));
        start = end + 1;
    }
    return lines;
}

} // namespace GridClipboardText
