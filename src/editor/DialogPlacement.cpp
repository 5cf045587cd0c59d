#include "editor/DialogPlacement.h"

#include <QList>

#include <cstdlib>
#include <optional>

namespace {

// The room left between the dialog and the text it keeps clear of.
constexpr int Gap = 8;

} // namespace

QPoint placeClearOf(const QRect& dialog, const QRect& keep, const QRect& screen) {
    if (!dialog.intersects(keep))
        return dialog.topLeft();
    const int x = dialog.left();
    const int y = dialog.top();
    const QList<QPoint> candidates = {
        {x, keep.bottom() + 1 + Gap},
        {x, keep.top() - Gap - dialog.height()},
        {keep.right() + 1 + Gap, y},
        {keep.left() - Gap - dialog.width(), y},
    };
    std::optional<QPoint> best;
    for (const QPoint& place : candidates) {
        const QRect moved(place, dialog.size());
        if (!screen.contains(moved))
            continue;
        const int distance = std::abs(place.x() - x) + std::abs(place.y() - y);
        if (!best || distance < std::abs(best->x() - x) + std::abs(best->y() - y))
            best = place;
    }
    return best.value_or(dialog.topLeft());
}
