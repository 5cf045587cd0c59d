#pragma once

#include "grid/GridTextMeasurer.h"
#include "grid/GridTypes.h"

#include <QFont>

// The window's side of the grid's fonts: a core font description becomes a QFont (the grid's
// own font fills in what the description leaves open), and text is measured with QFontMetrics.
class GridFontMetrics : public GridTextMeasurer {
public:
    explicit GridFontMetrics(const QFont& base) : m_base(base) {}
    void setBase(const QFont& base) { m_base = base; }

    QFont font(const GridFont& font) const;
    static GridFont describe(const QFont& font);

    GridSize lineSize(const GridFont& font, QStringView text) const override;
    int overhang(const GridFont& font) const override;
    int wrappedHeight(const GridFont& font, QStringView text, int width) const override;

private:
    QFont m_base;
};
