#pragma once

#include <optional>

// The state of the keyboard's Caps Lock and Num Lock keys, read from the window system where
// it tells (X11: the keyboard's indicator lights); nullopt elsewhere, so that an indicator
// stays empty rather than showing a wrong state.
struct KeyboardLocks {
    std::optional<bool> capsLock;
    std::optional<bool> numLock;

    static KeyboardLocks read();
};
