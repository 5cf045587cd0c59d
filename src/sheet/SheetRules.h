#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Small rules of the spreadsheet window, kept apart from its widgets.
namespace SheetRules {

constexpr int MaxMoveTarget = 99999;

// The headings the spreadsheet writes: "Col.%d" over data columns, "No.%05d" beside data rows.
QString columnHeading(int column);
QString rowHeading(int row);
// The headings as the cells' bytes (ASCII), for filling a million rows or columns quickly.
QByteArray columnHeadingBytes(int column);
QByteArray rowHeadingBytes(int row);

// The target column typed in "列移動": a whole number from 1 to MaxMoveTarget, else nothing.
std::optional<int> moveTarget(const QString& field);
int clampMoveTarget(int target);
QString moveTargetRangeMessage();

// A cell's text after "置換": every occurrence of `search` replaced from left to right without
// overlap; an empty cell with an empty search text becomes the replacement. Nothing when there
// was nothing to replace.
std::optional<QString> replaced(const QString& text, const QString& search,
                                const QString& replacement);

} // namespace SheetRules
