#pragma once

#include <QPoint>
#include <QRect>

// Where a dialog goes so that it leaves `keep` (a match just found) visible: where it is when it
// does not cover `keep`; else the nearest of the places just below, above, right or left of
// `keep` that lies wholly on `screen`; where none does, where it is. Returns the dialog's new
// top-left corner; all rectangles are in screen coordinates.
QPoint placeClearOf(const QRect& dialog, const QRect& keep, const QRect& screen);
