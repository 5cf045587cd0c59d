#pragma once

#include "grid/GridModel.h"
#include "grid/GridTextMeasurer.h"

#include <QStringList>

// A measurer with fixed metrics: every character is `charWidth` wide and a line `lineHeight`
// high, so the extents the rules produce can be worked out by hand.
class FixedMeasurer : public GridTextMeasurer {
public:
    int charWidth = 7;
    int lineHeight = 12;
    mutable QStringList measured; // every text measured, in order
    GridSize lineSize(const GridFont& font, QStringView text) const override {
        measured.append(text.toString());
        if (font.pixelSize == 0 && font.pointSize < 0)
            return {};
        return {int(text.size()) * charWidth, lineHeight};
    }
};

// A grid of `rows` x `cols` with one fixed row and column, each data cell holding "r,c".
inline void fillGrid(GridModel& grid, int rows, int cols) {
    (void)grid.SetRowTotal(rows);
    (void)grid.SetColumnTotal(cols);
    (void)grid.SetFixedRowTotal(1);
    (void)grid.SetFixedColumnTotal(1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            (void)grid.SetCellText(r, c, QString::number(r) + u',' + QString::number(c));
}
