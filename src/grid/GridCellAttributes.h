#pragma once

#include "grid/GridTypes.h"

#include <optional>

// The attributes a cell may have besides its text and state. Few cells have any: they live in a
// side table of the grid, one entry per cell that has one. Every field starts at "take the
// default cell's" (or at its reset value).
struct GridCellAttributes {
    quint32 format = GridFormat::UseDefault;
    GridColour textColour = kGridDefaultColour;
    GridColour backColour = kGridDefaultColour;
    std::optional<GridFont> font; // none: the default cell's
    quint32 margin = 0xFFFFFFFFu; // all bits set: the default cell's
    int image = -1;               // index in the grid's image list, -1 none
    quint32 data = 0;             // a value kept for the owner

    bool isReset() const { return *this == GridCellAttributes{}; }
    friend bool operator==(const GridCellAttributes&, const GridCellAttributes&) = default;
};

inline constexpr quint32 kGridDefaultMargin = 0xFFFFFFFFu;
