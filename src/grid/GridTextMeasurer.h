#pragma once

#include "grid/GridTypes.h"

#include <QStringView>

// Text measuring the grid window supplies (it owns the fonts), so that fitting and the default
// cells' sizes are decided in core and tested with a measurer of the test's own.
class GridTextMeasurer {
public:
    virtual ~GridTextMeasurer() = default;
    // Size of `text` on one line in `font` (no line breaks taken into account).
    virtual GridSize lineSize(const GridFont& font, QStringView text) const = 0;
    // The font's overhang (extra width of slanted or bold glyphs); 0 for most fonts.
    virtual int overhang(const GridFont& font) const {
        Q_UNUSED(font);
        return 0;
    }
    // Height that drawing `text` with line breaks at LF needs at width `width`; by default the
    // sum of its lines' heights.
    virtual int wrappedHeight(const GridFont& font, QStringView text, int width) const;
};
