#include "grid/GridModel.h"

#include "grid/GridCellStore.h"
#include "grid/GridTextMeasurer.h"

#include <algorithm>
#include <new>

namespace {
int defaultIndex(bool fixedRow, bool fixedCol) {
    return (fixedRow ? 2 : 0) | (fixedCol ? 1 : 0);
}
} // namespace

GridModel::GridModel(QObject* parent) : QObject(parent), m_store(new GridCellStore) {
    for (CGridDefaultCell& cell : m_defaults)
        cell.SetGrid(this);
    SetColours(m_colours);
    SetDefaultFont(GridFont{});
}

GridModel::~GridModel() = default;

// Growing the table may run out of memory: the table then stays as it was before the step that
// failed, and the caller is told.
template <typename Body> bool GridModel::guardMemory(Body body) {
    try {
        body();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// --- counts ---------------------------------------------------------------------------------

int GridModel::RowTotal() const {
    return m_rows.count();
}

int GridModel::ColumnTotal() const {
    return m_cols.count();
}

bool GridModel::SetRowTotal(int n) {
    if (n < 0)
        return false;
    if (n == RowTotal())
        return true;
    const bool done = guardMemory([&] {
        m_store->setRowCount(n);
        m_rows.resize(n, DefaultRowHeight());
    });
    if (!done) {
        m_store->setRowCount(RowTotal());
        return false;
    }
    m_fixedRows = std::min(m_fixedRows, n);
    dropInvalidFocus();
    m_modified = true;
    emit layoutChanged();
    return true;
}

bool GridModel::SetColumnTotal(int n) {
    if (n < 0)
        return false;
    if (n == ColumnTotal())
        return true;
    const bool done = guardMemory([&] {
        m_columnFormats.resize(size_t(n), GridFormat::UseDefault);
        m_store->setColumnCount(n);
        m_cols.resize(n, DefaultColumnWidth());
    });
    if (!done) {
        m_columnFormats.resize(size_t(ColumnTotal()), GridFormat::UseDefault);
        m_store->setColumnCount(ColumnTotal());
        return false;
    }
    m_fixedCols = std::min(m_fixedCols, n);
    if (m_sortColumn >= n)
        m_sortColumn = -1;
    dropInvalidFocus();
    m_modified = true;
    emit layoutChanged();
    return true;
}

bool GridModel::SetFixedRowTotal(int n) {
    if (n < 0 || (n > RowTotal() && !SetRowTotal(n)))
        return false;
    ClearSelection();
    m_fixedRows = n; // the fixed bits follow from the position
    emit layoutChanged();
    return true;
}

bool GridModel::SetFixedColumnTotal(int n) {
    if (n < 0 || (n > ColumnTotal() && !SetColumnTotal(n)))
        return false;
    ClearSelection();
    m_fixedCols = n;
    emit layoutChanged();
    return true;
}

bool GridModel::IsValid(int row, int col) const {
    return row >= 0 && row < RowTotal() && col >= 0 && col < ColumnTotal();
}

bool GridModel::isDataCell(int row, int col) const {
    return IsValid(row, col) && row >= m_fixedRows && col >= m_fixedCols;
}

GridRange GridModel::TableRange() const {
    return {0, 0, RowTotal() - 1, ColumnTotal() - 1};
}

GridRange GridModel::DataRange() const {
    return {m_fixedRows, m_fixedCols, RowTotal() - 1, ColumnTotal() - 1};
}

// --- sizes ----------------------------------------------------------------------------------

void GridModel::SetRowHeight(int row, int height) {
    if (row < 0 || row >= RowTotal())
        return;
    m_rows.setSize(row, height);
    emit layoutChanged();
}

void GridModel::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= ColumnTotal())
        return;
    m_cols.setSize(col, width);
    emit layoutChanged();
}

int GridModel::DefaultRowHeight() const {
    return DefaultCell(false, false).GetHeight();
}

int GridModel::DefaultColumnWidth() const {
    return DefaultCell(false, true).GetWidth();
}

// --- cells ----------------------------------------------------------------------------------

CGridCell GridModel::CellAt(int row, int col) {
    return IsValid(row, col) ? CGridCell(this, row, col) : CGridCell();
}

QString GridModel::CellText(int row, int col) const {
    if (!IsValid(row, col))
        return {};
    return GridText::decode(m_codec, m_store->bytes(row, col));
}

QString GridModel::CellTextPrefix(int row, int col, qsizetype maxBytes) const {
    if (!IsValid(row, col))
        return {};
    const QByteArrayView bytes = m_store->bytes(row, col);
    return GridText::decode(m_codec,
                            bytes.first(GridText::characterPrefix(m_codec, bytes, maxBytes)));
}

QByteArray GridModel::CellBytes(int row, int col) const {
    if (!IsValid(row, col))
        return {};
    return m_store->bytes(row, col).toByteArray();
}

QByteArrayView GridModel::CellView(int row, int col) const {
    return IsValid(row, col) ? m_store->bytes(row, col) : QByteArrayView();
}

void GridModel::RowViews(int row, int firstCol, QList<QByteArrayView>& out) const {
    m_store->rowBytes(row, firstCol, out);
}

EncodeResult GridModel::EncodeText(QStringView text) const {
    return GridText::encode(m_codec, text);
}

bool GridModel::SetCellText(int row, int col, QStringView text) {
    if (!IsValid(row, col))
        return false;
    const EncodeResult encoded = EncodeText(text);
    return encoded.ok() && SetCellBytes(row, col, encoded.bytes);
}

bool GridModel::SetCellBytes(int row, int col, QByteArrayView bytes) {
    if (!IsValid(row, col))
        return false;
    if (!guardMemory([&] { m_store->setBytes(row, col, bytes); }))
        return false;
    emit cellChanged(row, col);
    return true;
}

void GridModel::SetRowHeadings(int firstRow, RowHeadingRule heading) {
    m_store->numberRows(firstRow, std::move(heading));
    emit contentChanged();
}

bool GridModel::SetRowBytes(int row, int firstCol, const QList<QByteArrayView>& fields) {
    if (!IsValid(row, firstCol))
        return false;
    if (!guardMemory([&] { m_store->setRowBytes(row, firstCol, fields); }))
        return false;
    emit contentChanged();
    return true;
}

quint32 GridModel::CellState(int row, int col) const {
    if (!IsValid(row, col))
        return 0;
    quint32 state = m_store->state(row, col);
    if (m_focus == GridCellId{row, col})
        state |= GridState::Focused;
    if (m_selection.contains(row, col))
        state |= GridState::Selected;
    if (row < m_fixedRows)
        state |= GridState::Fixed | GridState::FixedRow;
    if (col < m_fixedCols)
        state |= GridState::Fixed | GridState::FixedColumn;
    return state;
}

void GridModel::SetCellState(int row, int col, quint32 state) {
    if (!IsValid(row, col) || quint32(m_store->state(row, col)) == (state & GridState::Stored))
        return;
    if (guardMemory([&] { m_store->setState(row, col, quint8(state & GridState::Stored)); }))
        emit cellChanged(row, col);
}

// GCC 12 takes the copy of an empty std::optional<GridFont> for a read of its payload.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
GridCellAttributes GridModel::CellAttributes(int row, int col) const {
    if (!IsValid(row, col))
        return {};
    const quint32 columnFormat = m_columnFormats[size_t(col)];
    if (const GridCellAttributes* own = m_store->attributes(row, col)) {
        GridCellAttributes attributes = *own;
        if (attributes.format == GridFormat::UseDefault)
            attributes.format = columnFormat;
        return attributes;
    }
    GridCellAttributes attributes;
    attributes.format = columnFormat;
    return attributes;
}
#pragma GCC diagnostic pop

void GridModel::SetCellAttributes(int row, int col, const GridCellAttributes& attributes) {
    if (!IsValid(row, col))
        return;
    GridCellAttributes stored = attributes;
    if (stored.format == m_columnFormats[size_t(col)])
        stored.format = GridFormat::UseDefault; // the column gives it already
    if (guardMemory([&] { m_store->setAttributes(row, col, stored); }))
        emit cellChanged(row, col);
}

qsizetype GridModel::AttributedCellCount() const {
    return m_store->attributedCount();
}

qsizetype GridModel::StorageBytes() const {
    return m_store->memoryUsed();
}

qint64 GridModel::StorageEstimate(qint64 rows, qint64 columns, qint64 cells, qint64 textBytes) {
    return GridCellStore::estimate(rows, cells, textBytes) + GridAxis::bytesFor(rows) +
           GridAxis::bytesFor(columns) + columns * qint64(sizeof(quint32));
}

// --- default cells --------------------------------------------------------------------------

CGridDefaultCell& GridModel::DefaultCell(bool fixedRow, bool fixedCol) {
    return m_defaults[defaultIndex(fixedRow, fixedCol)];
}

const CGridDefaultCell& GridModel::DefaultCell(bool fixedRow, bool fixedCol) const {
    return m_defaults[defaultIndex(fixedRow, fixedCol)];
}

const CGridDefaultCell& GridModel::DefaultCellFor(int row, int col) const {
    return DefaultCell(row >= 0 && row < m_fixedRows, col >= 0 && col < m_fixedCols);
}

void GridModel::SetDefaultFont(const GridFont& font) {
    for (CGridDefaultCell& cell : m_defaults)
        cell.SetFont(font);
    emit contentChanged();
}

void GridModel::SetColours(const GridColours& colours) {
    m_colours = colours;
    for (int k = 0; k < 4; ++k) {
        m_defaults[k].SetTextClr(colours.windowText);
        m_defaults[k].SetBackClr(k == 0 ? colours.windowBack : colours.buttonFace);
    }
    emit contentChanged();
}

// --- inserting and removing -----------------------------------------------------------------

int GridModel::AddColumn(QStringView heading, quint32 format, int before) {
    if (before != -1 && (before < m_fixedCols || before > ColumnTotal()))
        return -1;
    ClearSelection();
    if (RowTotal() == 0 && !SetRowTotal(1))
        return -1;
    const int at = before == -1 ? ColumnTotal() : before;
    const bool done = guardMemory([&] {
        m_columnFormats.insert(m_columnFormats.begin() + at, format);
        m_store->insertColumns(at, 1);
        m_cols.insert(at, 1, 0);
    });
    if (!done)
        return -1;
    if (SetCellText(0, at, heading))
        m_store->setState(0, at, GridState::Modified);
    m_cols.setSize(at, CellAt(0, at).GetTextExtent(heading, m_measurer).width);
    if (m_focus.isValid() && m_focus.col >= at)
        ++m_focus.col;
    if (m_sortColumn >= at)
        ++m_sortColumn;
    m_modified = true;
    emit layoutChanged();
    return at;
}

int GridModel::AddRow(QStringView heading, int before) {
    if (before != -1 && (before < m_fixedRows || before >= RowTotal()))
        return -1;
    ClearSelection();
    if (ColumnTotal() == 0 && !SetColumnTotal(1))
        return -1;
    const int at = before == -1 ? RowTotal() : before;
    const bool done = guardMemory([&] {
        m_store->insertRows(at, 1);
        m_rows.insert(at, 1, 0);
    });
    if (!done)
        return -1;
    if (SetCellText(at, 0, heading))
        m_store->setState(at, 0, GridState::Modified);
    const int height = heading.isEmpty() ? DefaultCell(true, false).GetHeight()
                                         : CellAt(at, 0).GetTextExtent(heading, m_measurer).height;
    m_rows.setSize(at, height);
    if (m_focus.isValid() && m_focus.row >= at)
        ++m_focus.row;
    m_modified = true;
    emit layoutChanged();
    return at;
}

bool GridModel::RemoveColumn(int col) {
    if (col < 0 || col >= ColumnTotal())
        return false;
    ClearSelection();
    m_store->removeColumns(col, 1);
    m_cols.remove(col, 1);
    m_columnFormats.erase(m_columnFormats.begin() + col);
    if (col < m_fixedCols)
        --m_fixedCols;
    if (m_focus.col == col)
        m_focus = {};
    else if (m_focus.col > col)
        --m_focus.col;
    if (m_sortColumn == col)
        m_sortColumn = -1;
    else if (m_sortColumn > col)
        --m_sortColumn;
    dropInvalidFocus();
    m_modified = true;
    emit layoutChanged();
    return true;
}

bool GridModel::RemoveRow(int row) {
    if (row < 0 || row >= RowTotal())
        return false;
    // The rows' numbers may need writing out first: the only step that takes memory.
    if (!guardMemory([&] { m_store->removeRows(row, 1); }))
        return false;
    ClearSelection();
    m_rows.remove(row, 1);
    if (row < m_fixedRows)
        --m_fixedRows;
    if (m_focus.row == row)
        m_focus = {};
    else if (m_focus.row > row)
        --m_focus.row;
    dropInvalidFocus();
    m_modified = true;
    emit layoutChanged();
    return true;
}

void GridModel::dropInvalidFocus() {
    if (m_focus.isValid() && !IsValid(m_focus.row, m_focus.col)) {
        m_focus = {};
        emit focusChanged();
    }
    if (m_editing.isValid() && !IsValid(m_editing.row, m_editing.col))
        m_editing = {};
}

// --- modified flag and marks ----------------------------------------------------------------

void GridModel::MarkModified(bool modified, int row, int col) {
    if (col < 0 || col == m_sortColumn)
        m_sortColumn = -1; // the heading loses its sort mark
    if (row < 0 || col < 0) {
        m_modified = modified;
    } else if (IsValid(row, col)) {
        const quint32 stored = m_store->state(row, col);
        SetCellState(row, col,
                     modified ? stored | GridState::Modified : stored & ~GridState::Modified);
        if (modified)
            m_modified = true;
    }
    if (!m_modified)
        clearAllMarks();
    emit contentChanged();
}

void GridModel::clearAllMarks() {
    m_store->clearStateBits(GridState::Modified);
}

// --- focus, editing and selection -----------------------------------------------------------

void GridModel::SetFocusCell(GridCellId cell) {
    const GridCellId next = IsValid(cell.row, cell.col) ? cell : GridCellId{};
    if (next == m_focus)
        return;
    m_focus = next;
    emit focusChanged();
}

void GridModel::SetEditingCell(GridCellId cell) {
    m_editing = IsValid(cell.row, cell.col) ? cell : GridCellId{};
}

void GridModel::SetSelection(const GridSelection& selection) {
    m_selection = selection;
    emit selectionChanged();
}

void GridModel::ClearSelection() {
    if (m_selection.isEmpty())
        return;
    m_selection.clear();
    emit selectionChanged();
}

void GridModel::SelectRange(const GridRange& range, bool add) {
    const GridRange data = DataRange();
    const GridRange clipped{std::max(range.top, data.top), std::max(range.left, data.left),
                            std::min(range.bottom, data.bottom), std::min(range.right, data.right)};
    if (!add)
        m_selection.clear();
    m_selection.add(clipped);
    emit selectionChanged();
}

void GridModel::SelectAll() {
    SelectRange(DataRange());
}

void GridModel::SelectRows(int firstRow, int lastRow, bool add) {
    SelectRange(
        {std::min(firstRow, lastRow), m_fixedCols, std::max(firstRow, lastRow), ColumnTotal() - 1},
        add);
}

void GridModel::SelectColumns(int firstCol, int lastCol, bool add) {
    SelectRange(
        {m_fixedRows, std::min(firstCol, lastCol), RowTotal() - 1, std::max(firstCol, lastCol)},
        add);
}

void GridModel::DeselectCell(int row, int col) {
    if (!m_selection.contains(row, col))
        return;
    m_selection.remove(row, col);
    emit selectionChanged();
}

bool GridModel::IsCellSelected(int row, int col) const {
    return isDataCell(row, col) && m_selection.contains(row, col);
}

GridRange GridModel::SelectionBounds() const {
    return m_selection.bounds(DataRange());
}

GridCellId GridModel::NextCellWith(GridCellId start, quint32 bits) const {
    const GridRange data = DataRange();
    if (!data.isValid())
        return {};
    int row = data.top;
    int col = data.left;
    if (start.row >= data.top) {
        row = start.row;
        col = std::max(start.col + 1, data.left);
    }
    const quint8 stored = quint8(bits & GridState::Stored);
    for (; row <= data.bottom; ++row, col = data.left) {
        int best = -1;
        const auto consider = [&](int found) {
            if (found >= 0 && found <= data.right && (best < 0 || found < best))
                best = found;
        };
        if (bits & GridState::Selected)
            consider(m_selection.nextInRow(row, col, data.right));
        if ((bits & GridState::Focused) && m_focus.row == row && m_focus.col >= col)
            consider(m_focus.col);
        if (stored)
            consider(m_store->nextWithState(row, col, stored));
        if (best >= 0)
            return {row, best};
    }
    return {};
}

void GridModel::SetListStyle(bool list) {
    ClearSelection();
    m_sortColumn = -1;
    m_behaviour.listMode = list;
    m_behaviour.selectRowsByFixedColumn = false;
    emit contentChanged();
}
