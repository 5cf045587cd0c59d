#pragma once

#include "grid/GridAxis.h"
#include "grid/GridCell.h"
#include "grid/GridCellAttributes.h"
#include "grid/GridSelection.h"
#include "grid/GridTextCodec.h"
#include "grid/GridTypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

class GridCellStore;
class GridTextMeasurer;

// What the grid does when the user acts on it, with the starting values.
struct GridBehaviour {
    bool editable = true;
    bool dragAndDrop = false;
    bool listMode = false;
    bool singleRowSelection = false; // only in list mode
    bool singleColSelection = false; // only in list mode
    bool allowDraw = true;
    bool enableSelection = true;
    bool selectRowsByFixedColumn = true; // a click in a fixed column selects the row
    bool selectColumnsByFixedRow = true; // a click in a fixed row selects the column
    bool sortOnClick = false;            // a click in a fixed row sorts by that column
    bool handleTabKey = true;            // Tab moves between cells
    bool doubleBuffer = true;            // paint through an off-screen buffer
    bool revealHiddenByDrag = true;      // a hidden row or column may be dragged open
    bool hideByDrag = true;              // dragging a border to zero hides
    bool trackFocusCell = true;          // the focused row and column are sunken in the headings
    bool frameFocusCell = true;          // the focused cell has a frame
    int fitStyle = GridFit::Both;        // what FitAll(0) covers
    bool rowResize = true;               // users may resize rows
    bool columnResize = true;            // users may resize columns
    int gridLines = GridLines::Both;
};

// The grid's own colours (0x00RRGGBB). The window replaces the platform ones from its palette.
struct GridColours {
    GridColour windowText = 0x000000;
    GridColour windowBack = 0xFFFFFF;
    GridColour buttonFace = 0xF0F0F0;
    GridColour buttonShadow = 0xA0A0A0;
    GridColour gridLines = 0xC0C0C0;
    GridColour background = 0xA0A0A0; // outside the cells
};

// The grid's table: counts, fixed (heading) rows and columns that come first, row heights and
// column widths (0 hides), the cells, the four default cells, the focus, the selection, sorting,
// the modified flag and marks, fitting. Cells keep bytes (the file's, unchanged); the text shown
// and edited goes through the grid's codec. Every index outside the table makes an operation do
// nothing (and return false, -1, a null cell or an empty text).
class GridModel : public QObject {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    // --- counts --------------------------------------------------------------------------
    int RowTotal() const;
    int ColumnTotal() const;
    int FixedRowTotal() const { return m_fixedRows; }
    int FixedColumnTotal() const { return m_fixedCols; }
    [[nodiscard]] bool SetRowTotal(int n);
    [[nodiscard]] bool SetColumnTotal(int n);
    [[nodiscard]] bool SetFixedRowTotal(int n);
    [[nodiscard]] bool SetFixedColumnTotal(int n);
    bool IsValid(int row, int col) const;
    // Every cell of the table: (0, 0, rows - 1, columns - 1); invalid when empty.
    GridRange TableRange() const;
    // The data cells: (fixed rows, fixed columns, rows - 1, columns - 1).
    GridRange DataRange() const;

    // --- sizes (0 hides) -----------------------------------------------------------------
    const GridAxis& Rows() const { return m_rows; }
    const GridAxis& Columns() const { return m_cols; }
    int RowHeight(int row) const { return m_rows.size(row); }
    int ColumnWidth(int col) const { return m_cols.size(col); }
    void SetRowHeight(int row, int height);
    void SetColumnWidth(int col, int width);
    int DefaultRowHeight() const;
    int DefaultColumnWidth() const;

    // --- cells ---------------------------------------------------------------------------
    CGridCell CellAt(int row, int col);
    QString CellText(int row, int col) const;
    // The start of the cell's text, decoded from at most maxBytes bytes cut at a character
    // boundary: drawing a cell of megabytes on one line needs no more than its start.
    QString CellTextPrefix(int row, int col, qsizetype maxBytes) const;
    QByteArray CellBytes(int row, int col) const;
    // The cell's bytes without a copy, for writing a file out: valid until the next change of
    // the table (a numbered heading's only until the next one is read).
    QByteArrayView CellView(int row, int col) const;
    // The views of cells firstCol..ColumnTotal()-1 of a row at once (empty outside the table),
    // valid like CellView's.
    void RowViews(int row, int firstCol, QList<QByteArrayView>& out) const;
    // Sets the text of a cell through the codec. False outside the table or when the codec
    // cannot hold a character of the text (see EncodeText); the cell is then unchanged.
    [[nodiscard]] bool SetCellText(int row, int col, QStringView text);
    [[nodiscard]] bool SetCellBytes(int row, int col, QByteArrayView bytes);
    // Fills cells (row, firstCol + k) with fields[k] in one pass over the row, as loading does;
    // fields past the last column are dropped. False when the row or firstCol is outside.
    [[nodiscard]] bool SetRowBytes(int row, int firstCol, const QList<QByteArrayView>& fields);
    // Numbers the heading cells (column 0, empty until now) of rows firstRow..RowTotal()-1:
    // each reads heading(number), where a row's number is its index now. The number stays with
    // the row through sorting and inserting or removing rows; setting the cell stores what is
    // set instead. The texts are made when read, so numbered rows keep no heading text.
    using RowHeadingRule = std::function<QByteArray(int number)>;
    void SetRowHeadings(int firstRow, RowHeadingRule heading);
    // The bytes of `text` in the grid's codec, or where the first character it cannot hold is.
    EncodeResult EncodeText(QStringView text) const;
    GridTextCodec TextCodec() const { return m_codec; }
    void SetTextCodec(GridTextCodec codec) { m_codec = codec; }

    // The whole state word: stored bits plus focused, selected, fixed, fixed row, fixed column.
    quint32 CellState(int row, int col) const;
    // Sets the stored bits (GridState::Stored) of a cell; the other bits are ignored.
    void SetCellState(int row, int col, quint32 state);
    // The cell's own attributes; reset values when it has none.
    GridCellAttributes CellAttributes(int row, int col) const;
    void SetCellAttributes(int row, int col, const GridCellAttributes& attributes);
    // How many cells have attributes of their own (the side table's size).
    qsizetype AttributedCellCount() const;
    // Bytes the cells take (their blocks, the row table, the side table), for measuring.
    qsizetype StorageBytes() const;
    // At most the bytes a table of `rows` x `columns` takes when `cells` of its cells hold
    // `textBytes` bytes of text in all: what a caller checks before building a large table.
    static qint64 StorageEstimate(qint64 rows, qint64 columns, qint64 cells, qint64 textBytes);

    // --- default cells -------------------------------------------------------------------
    CGridDefaultCell& DefaultCell(bool fixedRow, bool fixedCol);
    const CGridDefaultCell& DefaultCell(bool fixedRow, bool fixedCol) const;
    const CGridDefaultCell& DefaultCellFor(int row, int col) const;
    // Gives all four default cells the font (their margin and sizes follow from it).
    void SetDefaultFont(const GridFont& font);
    // The measurer the window supplies; fitting and the default cells' sizes use it. Without one
    // the default sizes of a grid without a drawing context apply.
    void SetTextMeasurer(const GridTextMeasurer* measurer) { m_measurer = measurer; }
    const GridTextMeasurer* TextMeasurer() const { return m_measurer; }

    GridBehaviour& Behaviour() { return m_behaviour; }
    const GridBehaviour& Behaviour() const { return m_behaviour; }
    const GridColours& Colours() const { return m_colours; }
    // Takes the grid's colours and fills the default cells from them: normal cells get window
    // text on window background, the three fixed kinds window text on button face.
    void SetColours(const GridColours& colours);

    // --- inserting and removing ----------------------------------------------------------
    // Inserts a column before `before` (-1 or the count: at the end); the new index, or -1.
    int AddColumn(QStringView heading, quint32 format = GridFormat::Initial, int before = -1);
    // Inserts a row before `before` (-1: at the end; the count itself is refused); the new
    // index, or -1.
    int AddRow(QStringView heading, int before = -1);
    [[nodiscard]] bool RemoveColumn(int col);
    [[nodiscard]] bool RemoveRow(int row);

    // --- modified flag and marks ---------------------------------------------------------
    bool IsModified() const { return m_modified; }
    void MarkModified(bool modified = true, int row = -1, int col = -1);

    // --- fitting -------------------------------------------------------------------------
    void FitAll(int style = GridFit::GridOwn);
    [[nodiscard]] bool FitColumn(int col);
    [[nodiscard]] bool FitRow(int row);
    GridSize TextExtent(int row, int col) const;

    // --- sorting -------------------------------------------------------------------------
    // Compares two cells' bytes; negative, 0 or positive. None: numbers by value when the
    // column holds only numbers (ColumnHoldsNumbers), else GridText::compare.
    using CompareFunction = std::function<int(QByteArrayView, QByteArrayView)>;
    void SetCompareFunction(CompareFunction compare) { m_compare = std::move(compare); }
    [[nodiscard]] bool SortByColumn(int col, bool ascending);
    // True when every data cell of the column that is not empty holds a decimal number (a
    // sign, digits, a point; spaces around), and one at least does.
    bool ColumnHoldsNumbers(int col) const;
    int SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_sortAscending; }

    // --- focus, editing and selection ----------------------------------------------------
    GridCellId FocusCell() const { return m_focus; }
    // Invalid or outside the table: no focused cell.
    void SetFocusCell(GridCellId cell);
    GridCellId EditingCell() const { return m_editing; }
    void SetEditingCell(GridCellId cell);

    const GridSelection& Selection() const { return m_selection; }
    void SetSelection(const GridSelection& selection);
    void ClearSelection();
    // Adds a rectangle (clipped to the data cells) to the selection, or replaces it.
    void SelectRange(const GridRange& range, bool add = false);
    void SelectAll();
    void SelectRows(int firstRow, int lastRow, bool add = false);
    void SelectColumns(int firstCol, int lastCol, bool add = false);
    void DeselectCell(int row, int col);
    bool IsCellSelected(int row, int col) const;
    GridRange SelectionBounds() const;
    // The next data cell after `start` (right, then down) whose state has any of `bits`;
    // (-1,-1) when none. A start before the data begins at the first data cell.
    GridCellId NextCellWith(GridCellId start, quint32 bits) const;

    void SetListStyle(bool list);

signals:
    // Counts, sizes or fixed counts changed: scroll bars need recomputing, the view repainting.
    void layoutChanged();
    // One cell's text, state or attributes changed.
    void cellChanged(int row, int col);
    // Many cells changed (sort, fill, marks cleared).
    void contentChanged();
    void selectionChanged();
    void focusChanged();

private:
    friend class CGridCell;
    void dropInvalidFocus();
    void clearAllMarks();
    bool isDataCell(int row, int col) const;
    template <typename Body> bool guardMemory(Body body);

    std::unique_ptr<GridCellStore> m_store;
    GridAxis m_rows;
    GridAxis m_cols;
    std::vector<quint32> m_columnFormats; // the format AddColumn gave a column's cells
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    GridTextCodec m_codec = GridTextCodec::Cp932;
    CGridDefaultCell m_defaults[4]; // normal, fixed column, fixed row, both
    const GridTextMeasurer* m_measurer = nullptr;
    GridBehaviour m_behaviour;
    GridColours m_colours;
    bool m_modified = false;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
    CompareFunction m_compare;
    GridCellId m_focus;
    GridCellId m_editing;
    GridSelection m_selection;
};
