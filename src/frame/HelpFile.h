#pragma once

#include <QString>
#include <QStringList>

// Where the help page is: installed beside the program's data, in a source tree's docs, or in
// the directory the program was started in.
namespace HelpFile {

inline constexpr int NotFoundCode = 2;  // no such file
inline constexpr int NoViewerCode = 31; // no program to show it (no browser on the desktop)

// The places looked at, in order, for a program in `programDir` started in `startDir`.
QStringList candidates(const QString& programDir, const QString& startDir);
// The first candidate that is a readable file, or an empty text.
QString locate(const QString& programDir, const QString& startDir);
// "表示ファイル<%s>が起動出来ませんでした。(%d)"
QString failureMessage(const QString& file, int code);

} // namespace HelpFile
