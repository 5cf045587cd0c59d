#pragma once

#include <QString>

// Rules of the editor page that need no window.
namespace EditorPageRules {

// A local directory left empty means the start-up directory.
inline QString localDirectory(const QString& typed) {
    return typed.isEmpty() ? QStringLiteral(".") : typed;
}

// The cell height, in pixels, the font dialog starts with for a "FontSize" text: the size in
// points read by its leading digits, times 4, divided by 3 (integer division).
int fontDialogHeight(const QString& fontSize);
// The size in points the font dialog shows for a cell height (96 pixels to the inch, the
// resolution the height rule assumes).
inline double fontDialogPoints(int height) {
    return height * 3 / 4.0;
}
// "FontSize" for a size chosen in the font dialog: whole points, tenths dropped.
QString fontSizeText(double pointSize);
// "FontSize" after the font dialog closed with OK: a size left as the dialog started keeps the
// text it had (the height rule starts an 11-point font at 10.5 points, which must not turn into
// 10 when only the face or style changed).
QString fontSizeAfterDialog(const QString& current, double startPoints, double chosenPoints);
// Only a weight of exactly 700 is stored as bold.
inline int boldFlag(int weight) {
    return weight == 700 ? 1 : 0;
}
inline int weightOf(int bold) {
    return bold ? 700 : 400;
}

// The tab stop box's range, in characters.
constexpr int MinTabCount = 1;
constexpr int MaxTabCount = 99;

// The title of the folder dialog of the directory fields, naming the folder it starts in.
QString folderDialogTitle(const QString& startFolder);

} // namespace EditorPageRules
