#include "sheet/SheetRules.h"

#include <algorithm>
#include <cstdio>

namespace SheetRules {

QString columnHeading(int column) {
    return QString::fromLatin1(columnHeadingBytes(column));
}

QByteArray columnHeadingBytes(int column) {
    return "Col." + QByteArray::number(column);
}

QString rowHeading(int row) {
    return QString::fromLatin1(rowHeadingBytes(row));
}

QByteArray rowHeadingBytes(int row) {
    char text[24];
    const int length = std::snprintf(text, sizeof text, "No.%05d", row);
    return QByteArray(text, length);
}

std::optional<int> moveTarget(const QString& field) {
    bool ok = false;
    const int target = field.trimmed().toInt(&ok);
    if (!ok || target < 1 || target > MaxMoveTarget)
        return std::nullopt;
    return target;
}

int clampMoveTarget(int target) {
    return std::clamp(target, 1, MaxMoveTarget);
}

QString moveTargetRangeMessage() {
    // The wording of the range check of every number field of the program.
    return QStringLiteral("1 から %1 までの整数を入力してください。").arg(MaxMoveTarget);
}

std::optional<QString> replaced(const QString& text, const QString& search,
                                const QString& replacement) {
    if (search.isEmpty())
        return text.isEmpty() ? std::optional<QString>(replacement) : std::nullopt;
    if (!text.contains(search))
        return std::nullopt;
    QString out = text;
    out.replace(search, replacement, Qt::CaseSensitive);
    return out;
}

} // namespace SheetRules
