#pragma once

#include "editor/CVantorpadView.h"
#include "platform/ScopedOverride.h"

// Counts the failed searches of every editor (the bell and the flash) while it lives.
struct FailedSearches {
    int count = 0;
    ScopedOverride<std::function<void(QWidget*)>> counting{CVantorpadView::hooks().searchFailed,
                                                           [this](QWidget*) { ++count; }};
};
