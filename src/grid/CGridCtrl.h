#pragma once

#include "grid/CGridEditBox.h"
#include "grid/GridFontMetrics.h"
#include "grid/GridModel.h"
#include "grid/GridNavigation.h"
#include "grid/GridViewport.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QTimer>

// The grid window: draws its GridModel, moves the focus and the selection with the keyboard and
// the mouse, resizes and hides rows and columns by their heading borders, edits cells in place
// and copies, cuts and pastes TAB-separated text. The table itself (counts, sizes, cells,
// sorting, fitting) is the model's: change it through model(); the window follows its signals.
class CGridCtrl : public QAbstractScrollArea {
    Q_OBJECT
public:
    // What a mouse press started (the values are the grid's mouse modes).
    enum class MouseMode {
        None = 0,
        SelectAll = 1,
        SelectColumn = 2,
        SelectRow = 3,
        SelectCells = 4,
        OverRowBorder = 6,
        SizingRow = 7,
        OverColumnBorder = 8,
        SizingColumn = 9,
        PrepareEdit = 10,
    };

    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    GridModel& model() { return m_model; }
    const GridModel& model() const { return m_model; }

    // Where a cell lies in the window (viewport coordinates), and the cell at a point.
    QRect CellRect(int row, int col) const;
    GridCellId CellFromPoint(QPoint point) const;
    // Scrolls so that a data cell is in view.
    void EnsureVisible(int row, int col);
    // Focuses a cell and starts the selection anew there (as a click does), or extends it from
    // where it began.
    void SetFocusCellTo(GridCellId cell, bool extend = false);

    // --- editing -------------------------------------------------------------------------
    // Opens the edit box over a cell (nothing for a cell outside, a grid that is not editable or
    // a read-only cell). `typed` is the character of a Character start.
    void BeginCellEdit(int row, int col, GridEditStart how, const QString& typed = {});
    // The open edit box, or none.
    CGridEditBox* EditBox() const { return m_editBox; }
    // Ends an open edit, its text going into the cell as when the box loses the focus. False
    // when the edit is still open (its text could not be held and the user was told).
    [[nodiscard]] bool EndCellEdit();
    // The one way a cell's text is changed by the user (edit, paste, cut, Delete): only in an
    // editable grid, for a cell that is not read-only, with the parent's consent before and
    // after; a changed text marks the cell and the grid modified. True when the text changed.
    [[nodiscard]] bool UpdateCellText(int row, int col, const QString& text);

    // --- clipboard -----------------------------------------------------------------------
    // The selection as the clipboard carries it; empty without a selection.
    QString CopySelectionText() const;
    void Copy();
    void Cut();
    void Paste();
    // Pastes `text` as if it came from the clipboard.
    void PasteText(const QString& text);
    // Clears the selected cells that are not hidden (Delete, the second half of Cut).
    void ClearSelectedCells();

    // Rows one notch of the wheel scrolls, read from the desktop at creation.
    int WheelLines() const { return m_wheelLines; }

signals:
    // The right button went down on a cell ((-1,-1) outside the cells).
    void rightClick(int row, int col, QPoint globalPos);
    // A data cell was double-clicked.
    void doubleClick(int row, int col);
    // An edit of a cell is about to start; set *refuse to keep the cell as it is.
    void beforeEdit(int row, int col, bool* refuse);
    // A cell's text is about to change to `text`; set *refuse to put the old text back.
    void endEdit(int row, int col, const QString& text, bool* refuse);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    bool focusNextPrevChild(bool next) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    GridViewport viewportMap() const;
    void updateScrollBars();
    void followLayout();
    bool handleMoveKey(int key, Qt::KeyboardModifiers modifiers);
    bool handleCommandKey(const QKeyEvent* event);
    void moveFocus(GridCellId to, bool extend);
    void onEditEnded(int row, int col, const QString& text, int key);
    bool refusesEdit(int row, int col);
    void pageMove(int direction, bool extend);

    // Cell updates and the clipboard (CGridCtrlClipboard.cpp).
    // What applying a text to a cell came to; the caller tells the user.
    struct CellUpdate {
        bool changed = false;
        qsizetype unencodableAt = -1; // a character the cell's codec cannot hold
    };
    CellUpdate applyCellText(int row, int col, const QString& text);
    void reportUnencodable(const QString& text, qsizetype at) const;
    GridCellId pasteTarget() const;

    // Mouse (CGridCtrlMouse.cpp).
    struct Border {
        bool column = false;
        int index = -1; // the row or column the border sizes
    };
    Border borderAt(QPoint point) const;
    void pressOnHeading(GridCellId cell, Qt::KeyboardModifiers modifiers);
    void pressOnData(GridCellId cell, Qt::KeyboardModifiers modifiers);
    void dragSelection(QPoint point);
    void selectTo(GridCellId cell);
    void finishSizing(QPoint point);
    void autoScroll();
    // Where auto-scrolling goes for a pointer at `pos`: -1, 0 or 1 on each axis; (0,0) inside.
    QPoint autoScrollDirection(QPoint pos) const;
    void updateCursor(QPoint point);

    GridModel m_model;
    GridFontMetrics m_fonts;
    QPointer<CGridEditBox> m_editBox;
    int m_wheelLines = 3;
    int m_wheelRemainder = 0;

    MouseMode m_mouseMode = MouseMode::None;
    GridCellId m_pressCell;      // where the left button went down
    GridCellId m_selectionStart; // where the selection began (Shift extends from it)
    GridCellId m_dragCell;       // the cell the pointer was last over while selecting
    GridSelection m_previousSelection;
    Border m_sizing;
    int m_sizingLine = -1; // window x (or y) of the line that follows the pointer while sizing
    QPoint m_lastMouse;
    QTimer m_autoScroll;
};
