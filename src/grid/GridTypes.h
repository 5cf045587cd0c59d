#pragma once

#include <QString>
#include <QtGlobal>

// Small value types the grid model and the grid window share.

// A cell position; (-1,-1) when there is none.
struct GridCellId {
    int row = -1;
    int col = -1;
    bool isValid() const { return row >= 0 && col >= 0; }
    friend bool operator==(const GridCellId&, const GridCellId&) = default;
};

// An inclusive rectangle of cells (first row, first column, last row, last column); invalid
// when any index is negative or first > last.
struct GridRange {
    int top = -1;
    int left = -1;
    int bottom = -1;
    int right = -1;
    bool isValid() const { return top >= 0 && left >= 0 && top <= bottom && left <= right; }
    bool contains(int row, int col) const {
        return row >= top && row <= bottom && col >= left && col <= right;
    }
    friend bool operator==(const GridRange&, const GridRange&) = default;
};

struct GridSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const GridSize&, const GridSize&) = default;
};

// A colour as 0x00RRGGBB. kGridDefaultColour is the reserved value: take the default cell's.
using GridColour = quint32;
inline constexpr GridColour kGridDefaultColour = 0xFF000000u;

// A font description, turned into a real font by the window. Core keeps no font object.
struct GridFont {
    QString family;
    int pixelSize = 0; // 0 with pointSize 0: the window's own font
    int pointSize = 0;
    int weight = 400; // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    int escapement = 0; // rotation in tenths of a degree; 900 and 2700 swap width and height
    friend bool operator==(const GridFont&, const GridFont&) = default;
};

// State bits of a cell.
namespace GridState {
inline constexpr quint32 Focused = 0x01;
inline constexpr quint32 Selected = 0x02;
inline constexpr quint32 DropHighlighted = 0x04;
inline constexpr quint32 ReadOnly = 0x08;
inline constexpr quint32 Fixed = 0x10;
inline constexpr quint32 FixedRow = 0x20;
inline constexpr quint32 FixedColumn = 0x40;
inline constexpr quint32 Modified = 0x80;
// Bits a cell stores itself; the others follow from its position, the focus and the selection.
inline constexpr quint32 Stored = DropHighlighted | ReadOnly | Modified;
} // namespace GridState

// Text drawing flags of a cell's format (the values of the classic text-drawing call).
namespace GridFormat {
inline constexpr quint32 Left = 0x00;
inline constexpr quint32 Center = 0x01;
inline constexpr quint32 Right = 0x02;
inline constexpr quint32 VCenter = 0x04;
inline constexpr quint32 Bottom = 0x08;
inline constexpr quint32 WordBreak = 0x10;
inline constexpr quint32 SingleLine = 0x20;
inline constexpr quint32 NoPrefix = 0x800;
inline constexpr quint32 CalcRect = 0x400;
inline constexpr quint32 EndEllipsis = 0x8000;
inline constexpr quint32 UseDefault = 0xFFFFFFFFu; // take the default cell's
// What a default cell starts with.
inline constexpr quint32 Initial = SingleLine | VCenter | NoPrefix | EndEllipsis;
} // namespace GridFormat

// Which parts FitAll covers.
namespace GridFit {
inline constexpr int GridOwn = 0; // the grid's own fit style
inline constexpr int Fixed = 1;   // heading rows and columns
inline constexpr int Data = 2;    // data rows and columns
inline constexpr int Both = 3;
} // namespace GridFit

// Which grid lines are drawn.
namespace GridLines {
inline constexpr int None = 0;
inline constexpr int Horizontal = 1;
inline constexpr int Vertical = 2;
inline constexpr int Both = 3;
} // namespace GridLines
