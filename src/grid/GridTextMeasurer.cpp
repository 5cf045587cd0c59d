#include "grid/GridTextMeasurer.h"

#include <QList>

int GridTextMeasurer::wrappedHeight(const GridFont& font, QStringView text, int width) const {
    Q_UNUSED(width);
    int height = 0;
    for (QStringView line : text.split(u'\n'))
        height += lineSize(font, line).height;
    return height;
}
