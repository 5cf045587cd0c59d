// Fitting rows and columns to their cells' extents.
#include "grid/GridModel.h"

#include "grid/GridTextMeasurer.h"

#include <algorithm>
#include <vector>

GridSize GridModel::TextExtent(int row, int col) const {
    if (!IsValid(row, col))
        return {};
    // The handle only reads through the grid; it needs a non-const pointer to exist at all.
    const CGridCell cell(const_cast<GridModel*>(this), row, col);
    return cell.GetCellExtent(m_measurer);
}

void GridModel::FitAll(int style) {
    if (style == GridFit::GridOwn)
        style = m_behaviour.fitStyle;
    const int firstRow = (style & GridFit::Fixed) ? 0 : m_fixedRows;
    const int lastRow = (style & GridFit::Data) ? RowTotal() - 1 : m_fixedRows - 1;
    if (firstRow > lastRow && ColumnTotal() == 0)
        return;
    // Heights are gathered first and set once, so every row costs one tree update.
    std::vector<int> heights;
    std::vector<int> visibleRows;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (m_rows.isHidden(r))
            continue; // hidden rows stay hidden and are not measured
        visibleRows.push_back(r);
        heights.push_back(1);
    }
    for (int c = 0; c < ColumnTotal(); ++c) {
        if (m_cols.isHidden(c))
            continue;
        int width = 0;
        for (size_t k = 0; k < visibleRows.size(); ++k) {
            const GridSize extent = TextExtent(visibleRows[k], c);
            width = std::max(width, extent.width);
            heights[k] = std::max(heights[k], extent.height);
        }
        m_cols.setSize(c, width);
    }
    for (size_t k = 0; k < visibleRows.size(); ++k)
        m_rows.setSize(visibleRows[k], heights[k]);
    emit layoutChanged();
}

bool GridModel::FitColumn(int col) {
    if (col < 0 || col >= ColumnTotal())
        return false;
    int width = 0;
    for (int r = 0; r < RowTotal(); ++r)
        if (!m_rows.isHidden(r))
            width = std::max(width, TextExtent(r, col).width);
    m_cols.setSize(col, width);
    emit layoutChanged();
    return true;
}

bool GridModel::FitRow(int row) {
    if (row < 0 || row >= RowTotal())
        return false;
    int height = 0;
    for (int c = 0; c < ColumnTotal(); ++c)
        if (!m_cols.isHidden(c))
            height = std::max(height, TextExtent(row, c).height);
    m_rows.setSize(row, height);
    emit layoutChanged();
    return true;
}
