#include "settings/WindowPlacement.h"

#include <algorithm>

WinRect intersect(const WinRect& a, const WinRect& b) {
    WinRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    return r.isEmpty() ? WinRect{} : r;
}

WinRect KeepRectOnScreen(const WinRect& saved, const WinRect& usable) {
    WinRect visible = intersect(usable, saved);
    if (!visible.isEmpty() && visible == saved)
        return saved;
    if (visible.isEmpty())
        return WinRect{usable.left, usable.top, usable.left, usable.top};
    return WinRect{usable.left, usable.top, visible.right, visible.bottom};
}
