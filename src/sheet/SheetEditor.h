#pragma once

#include "grid/GridTypes.h"
#include "platform/Result.h"
#include "sheet/DelimitedText.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class GridModel;

// The spreadsheet's work on its grid, without a window: loading a delimited file into the grid
// and writing it back, and the row and column commands with their counters and questions. The
// window (CGridConv) runs the dialogs and forwards the commands here.
//
// Layout: row 0 holds the column headings ("Col.%d", or the file's first line), column 0 the row
// headings ("No.%05d"); data begin at (1, 1).
class SheetEditor {
public:
    struct LoadProgress {
        std::function<void(qint64)> readRange, read;  // bytes of line text
        std::function<void(qint64)> cellRange, cells; // rows filled
    };

    SheetEditor(GridModel& grid, DelimitedTextOptions options);

    DelimitedTextOptions& options() { return m_options; }
    const DelimitedTextOptions& options() const { return m_options; }
    GridModel& grid() { return m_grid; }

    // Reads the file at the options' path into the grid. False when it could not be read or
    // would not fit in memory (the message has been shown; the grid is left empty and can
    // neither be edited nor saved, so the file is never written over by a part of itself).
    bool load(const LoadProgress& progress = {});
    // True once a file has been loaded whole: only then may it be saved.
    bool loaded() const { return m_loaded; }

    // Writes the grid to the options' path with the options' format. Refused silently while
    // read-only or when nothing was loaded; Cancelled when the user declined to write cells that
    // would change the layout; Failed (reported) when the file could not be written. Done clears
    // the modified state.
    Result<> save();
    // Every path this editor has written, in order, without repeats.
    const QStringList& writtenPaths() const { return m_written; }

    bool readOnly() const { return m_options.readOnly; }
    void setReadOnly(bool readOnly);
    bool sortOnClick() const;
    void setSortOnClick(bool on);

    // Part 8.2's commands; the selection decides where they act.
    void insertRow();
    void deleteRows();
    void insertColumn();
    void deleteColumns();
    // The one selected column to move, or -1 after telling the user to select one.
    int moveColumnSource();
    void moveColumn(int source, int target);
    void hide();
    void showAll() { revealHidden(m_grid); }
    // Gives every hidden column its size back, fitted to its cells, and every hidden data row
    // the height of its visible neighbours; the others keep theirs. Shared by "全て表示" of the
    // menu and of the narrowing page.
    static void revealHidden(GridModel& grid);

    int rowCounter() const { return m_rows; }
    int columnCounter() const { return m_columns; }

    // The format of columns the spreadsheet inserts: single line, vertically centred, ellipsis.
    static quint32 insertedColumnFormat();

private:
    void configureGrid();
    // Fills the grid from parsed text; false (the grid emptied) when it would not fit in memory.
    bool fill(const DelimitedText::Parsed& parsed, const LoadProgress& progress);
    // What the grid of the parsed text will take, in bytes.
    qint64 gridEstimate(const DelimitedText::Parsed& parsed) const;
    [[nodiscard]] bool fillColumnHeadings(int columns);
    int firstSavedRow() const;
    void writeRows(DelimitedText::Writer& writer) const;
    // Asks whether to write cells that would change the layout, naming the first; true when
    // there is none or the user agreed.
    bool layoutConfirmed() const;
    // The first cell that written unquoted would read back as more fields or lines.
    std::optional<GridCellId> firstLayoutBreaker() const;
    QString rowName(int row) const;
    QString columnName(int col) const;

    GridModel& m_grid;
    DelimitedTextOptions m_options;
    TextEncoding m_encoding = TextEncoding::Cp932;
    int m_rows = 0;    // L: numbers new rows
    int m_columns = 1; // N: numbers new columns
    bool m_loaded = false;
    QStringList m_written;
};
