#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

// The grid's clipboard text, without a window: what a copy puts on the clipboard and how a
// pasted text is cut into fields.
namespace GridClipboardText {

// The text of a copy: for each of `rows` (hidden ones already left out) the texts of `columns`
// joined by TAB, a cell that is not selected giving an empty field; rows joined by LF, no LF
// after the last one.
QString build(const std::vector<int>& rows, const std::vector<int>& columns,
              const std::function<bool(int, int)>& isSelected,
              const std::function<QString(int, int)>& text);

// One pasted line: the fields to write, left to right. An empty line has none; a trailing
// separator adds no empty field, so it clears nothing.
using PastedLine = QStringList;

// Cuts a pasted text into lines and fields. Text holding a TAB is the grid's own (or a
// spreadsheet's) copy: lines split at LF, a CR before the LF dropped, fields split at TAB only
// and kept exactly, commas and spaces included. Other text is split at TAB and comma alike, each
// field trimmed of spaces and line-control characters. Only the first `maxLines` lines and
// `maxFields` fields of each line are kept: the rest would fall outside the grid.
std::vector<PastedLine> split(QStringView text, qsizetype maxLines, qsizetype maxFields);

} // namespace GridClipboardText
