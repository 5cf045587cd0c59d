#pragma once

#include "editor/CVantorpadView.h"

// Counts the failed searches of every editor (the bell and the flash) while it lives.
struct FailedSearches {
    int count = 0;
    CVantorpadView::Hooks saved = CVantorpadView::hooks();
    FailedSearches() {
        CVantorpadView::hooks().searchFailed = [this](QWidget*) { ++count; };
    }
    ~FailedSearches() { CVantorpadView::hooks() = saved; }
};
