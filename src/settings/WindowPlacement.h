#pragma once

// A window rectangle as the settings keep it: left, top, right and bottom edges, the right and
// bottom edges exclusive.
struct WinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool isEmpty() const { return right <= left || bottom <= top; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const WinRect&) const = default;
};

WinRect intersect(const WinRect& a, const WinRect& b);

// Keeps a saved main-window rectangle on the screen: a rectangle wholly inside `usable` stays as
// it is; any other becomes the usable origin to the right and bottom edges of its visible part
// (an empty rectangle when nothing of it is visible).
WinRect KeepRectOnScreen(const WinRect& saved, const WinRect& usable);

// Show states as the settings store them.
enum ShowState : int {
    ShowNormal = 1,
    ShowMinimized = 2,
    ShowMaximized = 3,
    ShowDefault = 5,
};
