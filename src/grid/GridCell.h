#pragma once

#include "grid/GridCellAttributes.h"
#include "grid/GridTypes.h"

#include <QString>
#include <QStringView>

class GridModel;
class GridTextMeasurer;
class CGridDefaultCell;

// What every cell does: its text, state, format, colours, font and margin, the is-tests read
// from the state word, the fall-back of every attribute to the matching default cell, and the
// extent measures that fitting uses. Getters give the value in effect (the cell's own or the
// default cell's); the attribute getters with "Own" give the cell's own value.
class CGridCellBase {
public:
    virtual ~CGridCellBase() = default;

    [[nodiscard]] virtual bool SetText(QStringView text) = 0;
    virtual void SetImage(int image) = 0;
    virtual void SetData(quint32 data) = 0;
    virtual void SetState(quint32 state) = 0;
    virtual void SetFormat(quint32 format) = 0;
    virtual void SetTextClr(GridColour colour) = 0;
    virtual void SetBackClr(GridColour colour) = 0;
    virtual void SetFont(const GridFont& font) = 0;
    virtual void SetMargin(quint32 margin) = 0;

    virtual QString GetText() const = 0;
    QString GetTipText() const { return GetText(); }
    virtual int GetImage() const = 0;
    virtual quint32 GetData() const = 0;
    virtual quint32 GetState() const = 0;
    virtual GridCellAttributes OwnAttributes() const = 0;
    virtual const GridModel* GetGrid() const = 0;
    // The default cell this cell falls back on; none without a grid.
    virtual const CGridDefaultCell* GetDefaultCell() const;
    virtual bool IsEditing() const = 0;

    quint32 GetFormat() const;
    GridColour GetTextClr() const;
    GridColour GetBackClr() const;
    GridFont GetFont() const;
    quint32 GetMargin() const;
    bool IsDefaultFont() const { return !OwnAttributes().font.has_value(); }

    bool IsFocused() const { return GetState() & GridState::Focused; }
    bool IsFixed() const { return GetState() & GridState::Fixed; }
    bool IsFixedCol() const { return GetState() & GridState::FixedColumn; }
    bool IsFixedRow() const { return GetState() & GridState::FixedRow; }
    bool IsSelected() const { return GetState() & GridState::Selected; }
    bool IsReadOnly() const { return GetState() & GridState::ReadOnly; }
    bool IsModified() const { return GetState() & GridState::Modified; }
    bool IsDropHighlighted() const { return GetState() & GridState::DropHighlighted; }

    // Size of `text` as this cell draws it: single-line (or without word break) on one line,
    // otherwise the widest line and the height drawing needs; plus two margins in height and four
    // margins and the font's overhang in width; a font turned by 90 degrees swaps the two. With
    // no text or no measurer, the default cell's size.
    GridSize GetTextExtent(QStringView text, const GridTextMeasurer* measurer) const;
    // The text extent of the cell's own text (an image adds nothing: the grid has no images).
    GridSize GetCellExtent(const GridTextMeasurer* measurer) const;
    // The size an empty cell measures: the default cell's width and height.
    virtual GridSize DefaultSize() const;
    // Accepts every text; a cell class of its own may refuse.
    virtual bool ValidateEdit(QStringView text) const {
        Q_UNUSED(text);
        return true;
    }
};

// A cell of a grid: a handle onto the grid's compact storage (row, column), not an object the
// grid keeps. It stays valid until rows or columns are inserted, removed or sorted. A null
// handle (outside the table) reads as an empty cell and ignores every change.
class CGridCell : public CGridCellBase {
public:
    CGridCell() = default;
    CGridCell(GridModel* grid, int row, int col) : m_grid(grid), m_row(row), m_col(col) {}

    bool isNull() const { return m_grid == nullptr; }
    explicit operator bool() const { return !isNull(); }
    int row() const { return m_row; }
    int col() const { return m_col; }

    [[nodiscard]] bool SetText(QStringView text) override;
    void SetImage(int image) override;
    void SetData(quint32 data) override;
    // Sets the bits the cell stores (GridState::Stored); the others follow from the position,
    // the focus and the selection and are changed through the grid.
    void SetState(quint32 state) override;
    void SetFormat(quint32 format) override;
    void SetTextClr(GridColour colour) override;
    void SetBackClr(GridColour colour) override;
    void SetFont(const GridFont& font) override;
    void SetMargin(quint32 margin) override;

    QString GetText() const override;
    int GetImage() const override { return OwnAttributes().image; }
    quint32 GetData() const override { return OwnAttributes().data; }
    quint32 GetState() const override;
    GridCellAttributes OwnAttributes() const override;
    const GridModel* GetGrid() const override { return m_grid; }
    const CGridDefaultCell* GetDefaultCell() const override;
    bool IsEditing() const override;
    // Back to the reset values: empty text, no stored state, no attributes.
    void Reset();

private:
    template <typename Change> void changeAttributes(Change change);

    GridModel* m_grid = nullptr;
    int m_row = -1;
    int m_col = -1;
};

// The defaults stored cells fall back on: one for normal cells, one for fixed columns, one for
// fixed rows and one for cells in both. Adds the default width and height of a row or column.
class CGridDefaultCell : public CGridCellBase {
public:
    CGridDefaultCell();

    [[nodiscard]] bool SetText(QStringView text) override;
    void SetImage(int image) override { m_attributes.image = image; }
    void SetData(quint32 data) override { m_attributes.data = data; }
    void SetState(quint32 state) override { m_state = state; }
    void SetFormat(quint32 format) override { m_attributes.format = format; }
    void SetTextClr(GridColour colour) override { m_attributes.textColour = colour; }
    void SetBackClr(GridColour colour) override { m_attributes.backColour = colour; }
    // Sets the font and from it the margin (one space), the width (" XXXXXXXXXXXX ") and the
    // height (one and a half times that text's height), measured by the grid's measurer; with
    // none, margin 3, width 40, height 16.
    void SetFont(const GridFont& font) override;
    void SetMargin(quint32 margin) override { m_attributes.margin = margin; }

    QString GetText() const override { return m_text; }
    int GetImage() const override { return m_attributes.image; }
    quint32 GetData() const override { return m_attributes.data; }
    quint32 GetState() const override { return m_state; }
    GridCellAttributes OwnAttributes() const override { return m_attributes; }
    const GridModel* GetGrid() const override { return m_grid; }
    const CGridDefaultCell* GetDefaultCell() const override { return nullptr; }
    bool IsEditing() const override { return false; }
    GridSize DefaultSize() const override { return {m_width, m_height}; }

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    void SetWidth(int width) { m_width = width; }
    void SetHeight(int height) { m_height = height; }
    quint32 GetStyle() const { return m_style; }
    void SetStyle(quint32 style) { m_style = style; }
    void SetGrid(const GridModel* grid) { m_grid = grid; }

private:
    QString m_text;
    quint32 m_state = 0;
    GridCellAttributes m_attributes;
    int m_width = 30;
    int m_height = 10;
    quint32 m_style = 0;
    const GridModel* m_grid = nullptr;
};
