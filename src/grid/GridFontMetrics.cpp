#include "grid/GridFontMetrics.h"

#include <QFontMetrics>

QFont GridFontMetrics::font(const GridFont& description) const {
    QFont f = m_base;
    if (!description.family.isEmpty())
        f.setFamily(description.family);
    // A size of zero or less is no size: the grid's own stays.
    if (description.pixelSize > 0)
        f.setPixelSize(description.pixelSize);
    else if (description.pointSize > 0)
        f.setPointSize(description.pointSize);
    f.setWeight(QFont::Weight(qBound(1, description.weight, 1000)));
    f.setItalic(description.italic);
    f.setUnderline(description.underline);
    return f;
}

GridFont GridFontMetrics::describe(const QFont& font) {
    GridFont d;
    d.family = font.family();
    d.pixelSize = font.pixelSize() > 0 ? font.pixelSize() : 0;
    d.pointSize = font.pointSize() > 0 ? font.pointSize() : 0;
    d.weight = font.weight();
    d.italic = font.italic();
    d.underline = font.underline();
    return d;
}

GridSize GridFontMetrics::lineSize(const GridFont& description, QStringView text) const {
    const QFontMetrics metrics(font(description));
    return {metrics.horizontalAdvance(text.toString()), metrics.height()};
}

int GridFontMetrics::overhang(const GridFont& description) const {
    // Slanted glyphs reach past their advance by about a fifth of the height.
    return description.italic ? QFontMetrics(font(description)).height() / 5 : 0;
}

int GridFontMetrics::wrappedHeight(const GridFont& description, QStringView text, int width) const {
    const QFontMetrics metrics(font(description));
    return metrics
        .boundingRect(QRect(0, 0, qMax(1, width), 1 << 20), Qt::TextWordWrap, text.toString())
        .height();
}
