#include "sheet/SheetEditor.h"

#include "grid/GridModel.h"
#include "platform/Prompt.h"
#include "sheet/DelimitedFile.h"
#include "sheet/SheetMemory.h"
#include "sheet/SheetRules.h"

#include <QIODevice>
#include <QList>

#include <limits>

namespace {

constexpr GridColour LightYellow = 0xFFFFE0; // RGB(255,255,224), the normal cells
// A save writes pieces of this size: a buffer that stays in the cache, not one the size of the
// file.
constexpr qsizetype SavePiece = qsizetype(1) << 20;

GridTextCodec codecFor(TextEncoding encoding) {
    return encoding == TextEncoding::Cp932 ? GridTextCodec::Cp932 : GridTextCodec::Utf8;
}

} // namespace

SheetEditor::SheetEditor(GridModel& grid, DelimitedTextOptions options)
    : m_grid(grid), m_options(std::move(options)) {}

quint32 SheetEditor::insertedColumnFormat() {
    return GridFormat::SingleLine | GridFormat::VCenter | GridFormat::EndEllipsis;
}

bool SheetEditor::load(const LoadProgress& progress) {
    m_loaded = false;
    configureGrid();
    Result<QByteArray> read = DelimitedFile::read(m_options.path);
    if (!read.ok()) {
        Prompt::error(read.message());
        return false;
    }
    if (progress.readRange)
        progress.readRange(read->size());
    const DelimitedFormat format{m_options.delimiter, m_options.quoted};
    const DelimitedText::Parsed parsed =
        DelimitedText::parse(std::move(read).value(), format, progress.read);
    if (progress.read)
        progress.read(parsed.bytes.size());
    if (!fill(parsed, progress)) {
        Prompt::error(QStringLiteral("メモリが不足しています。"));
        return false;
    }
    if (parsed.unterminatedQuoteLine > 0)
        Prompt::warning(
            DelimitedText::unterminatedQuoteMessage(m_options.path, parsed.unterminatedQuoteLine));
    return true;
}

void SheetEditor::configureGrid() {
    GridBehaviour& b = m_grid.Behaviour();
    b.listMode = false;
    b.editable = !m_options.readOnly && m_loaded;
    b.dragAndDrop = false;
    b.rowResize = true;
    b.selectRowsByFixedColumn = true;
    b.selectColumnsByFixedRow = true;
    b.sortOnClick = false;
    m_grid.DefaultCell(false, false).SetBackClr(LightYellow);
}

qint64 SheetEditor::gridEstimate(const DelimitedText::Parsed& parsed) const {
    const qint64 rows = parsed.recordCount + 1;
    const qint64 columns = qint64(parsed.fieldCount) + 1;
    // Row 0 holds the column headings; the rows' headings are numbered, not stored, but each
    // row keeps an empty cell before its fields.
    const qint64 cells = parsed.fieldTotal + rows + columns;
    const qint64 headingBytes = columns * SheetRules::columnHeadingBytes(int(columns)).size();
    return GridModel::StorageEstimate(rows, columns, cells,
                                      parsed.bytes.size() - parsed.start + headingBytes);
}

bool SheetEditor::fill(const DelimitedText::Parsed& parsed, const LoadProgress& progress) {
    const qint64 lines = parsed.recordCount;
    const int n = parsed.fieldCount;
    const int firstRow = m_options.firstRowHeadings ? 0 : 1;
    if (lines + firstRow >= std::numeric_limits<int>::max() ||
        !SheetMemory::fits(gridEstimate(parsed)))
        return false;
    m_encoding = parsed.encoding;
    m_grid.SetTextCodec(codecFor(parsed.encoding));
    m_rows = int(lines);
    m_columns = n;
    bool filled = m_grid.SetColumnTotal(n + 1);
    filled = filled && m_grid.SetRowTotal(std::max(int(lines) + firstRow, 1));
    filled = filled && m_grid.SetFixedRowTotal(1) && m_grid.SetFixedColumnTotal(1);
    filled = filled && fillColumnHeadings(n);
    if (filled)
        m_grid.SetRowHeadings(1, &SheetRules::rowHeadingBytes);
    if (progress.cellRange)
        progress.cellRange(lines);
    const DelimitedFormat format{m_options.delimiter, m_options.quoted};
    DelimitedText::RecordReader reader(parsed, format);
    QList<QByteArrayView> fields;
    for (int r = firstRow; filled && reader.next(fields); ++r) {
        // One reading counted the fields: a record never has more than the grid has columns.
        Q_ASSERT(fields.size() <= n);
        fields.resize(n); // short lines get empty cells, column headings included
        filled = m_grid.SetRowBytes(r, 1, fields);
        if (progress.cells)
            progress.cells(r - firstRow + 1);
    }
    if (!filled) {
        // What was built goes: a grid that is not the whole file must never be saved over it.
        static_cast<void>(m_grid.SetRowTotal(1));
        static_cast<void>(m_grid.SetColumnTotal(1));
        m_grid.MarkModified(false);
        return false;
    }
    if (m_options.autoSize)
        m_grid.FitAll(GridFit::Both);
    m_grid.MarkModified(false);
    m_loaded = true;
    m_grid.Behaviour().editable = !m_options.readOnly;
    return true;
}

QString SheetEditor::rowName(int row) const {
    const QString heading = m_grid.CellText(row, 0);
    return heading.isEmpty() ? QStringLiteral("%1 行目").arg(row + 1) : heading;
}

QString SheetEditor::columnName(int col) const {
    const QString heading = m_grid.CellText(0, col);
    return heading.isEmpty() ? SheetRules::columnHeading(col) : heading;
}

bool SheetEditor::fillColumnHeadings(int columns) {
    // One pass over row 0: a cell at a time would rewrite the row once per column.
    QByteArray text;
    std::vector<qsizetype> ends;
    ends.reserve(size_t(columns));
    for (int c = 1; c <= columns; ++c) {
        text += SheetRules::columnHeadingBytes(c);
        ends.push_back(text.size());
    }
    QList<QByteArrayView> headings;
    headings.reserve(columns);
    qsizetype start = 0;
    for (qsizetype end : ends) {
        headings.append(QByteArrayView(text.constData() + start, end - start));
        start = end;
    }
    return m_grid.SetRowBytes(0, 1, headings);
}

void SheetEditor::writeRows(DelimitedText::Writer& writer) const {
    QList<QByteArrayView> fields;
    for (int r = firstSavedRow(); r < m_grid.RowTotal() && !writer.stopped(); ++r) {
        m_grid.RowViews(r, 1, fields);
        writer.beginRow();
        for (QByteArrayView field : fields)
            writer.addField(field);
    }
}

bool SheetEditor::layoutConfirmed() const {
    const std::optional<GridCellId> breaker = firstLayoutBreaker();
    if (!breaker)
        return true;
    const QString question = DelimitedText::layoutQuestion(
        rowName(breaker->row), columnName(breaker->col), m_options.delimiter);
    return Prompt::current().ask(question, PromptIcon::Warning, PromptButtons::YesNo) ==
           PromptAnswer::Yes;
}

int SheetEditor::firstSavedRow() const {
    return m_options.firstRowHeadings ? 0 : 1;
}

std::optional<GridCellId> SheetEditor::firstLayoutBreaker() const {
    QList<QByteArrayView> fields;
    for (int r = firstSavedRow(); r < m_grid.RowTotal(); ++r) {
        m_grid.RowViews(r, 1, fields);
        for (qsizetype k = 0; k < fields.size(); ++k)
            if (DelimitedText::breaksLayout(fields[k], m_options.delimiter))
                return GridCellId{r, int(k) + 1};
    }
    return std::nullopt;
}

Result<> SheetEditor::save() {
    if (m_options.readOnly || !m_loaded)
        return Result<>::refused();
    m_rows = m_grid.RowTotal();
    m_columns = m_grid.ColumnTotal();
    // The text goes to the temporary file a piece at a time, each piece looked at once for a
    // cell that would change the layout; the question comes with the first such piece, and a
    // No leaves the file as it was.
    const Result<> written = DelimitedFile::writeFrom(m_options.path, [this](QIODevice& device) {
        bool asked = false, declined = false;
        DelimitedText::Writer writer({m_options.delimiter, m_options.quoted}, m_encoding);
        writer.sendTo(
            [&](QByteArrayView text, bool breaksLayout) {
                if (breaksLayout && !asked) {
                    asked = true;
                    declined = !layoutConfirmed();
                    if (declined)
                        return false;
                }
                return device.write(text.data(), text.size()) == text.size();
            },
            SavePiece);
        writeRows(writer);
        if (writer.finish())
            return Result<>::done();
        return declined ? Result<>::cancelled() : Result<>::failed();
    });
    if (!written.ok()) {
        if (!written.message().isEmpty())
            Prompt::error(written.message());
        return written;
    }
    m_grid.MarkModified(false);
    if (!m_written.contains(m_options.path))
        m_written.append(m_options.path);
    return Result<>::done();
}

void SheetEditor::setReadOnly(bool readOnly) {
    m_options.readOnly = readOnly;
    m_grid.Behaviour().editable = !readOnly && m_loaded;
}

bool SheetEditor::sortOnClick() const {
    return m_grid.Behaviour().sortOnClick;
}

void SheetEditor::setSortOnClick(bool on) {
    m_grid.Behaviour().sortOnClick = on;
}

void SheetEditor::insertRow() {
    const GridRange s = m_grid.SelectionBounds();
    if (s.bottom < 0)
        return;
    ++m_rows;
    const int before = s.bottom + 1 < m_grid.RowTotal() ? s.bottom + 1 : -1;
    m_grid.AddRow(SheetRules::rowHeading(m_rows), before);
    m_grid.MarkModified(true);
}

void SheetEditor::deleteRows() {
    const GridRange s = m_grid.SelectionBounds();
    if (!s.isValid())
        return;
    if (Prompt::question(
            QStringLiteral("%1 行を削除しても宜しいですか？").arg(s.bottom - s.top + 1)) !=
        PromptAnswer::Yes)
        return;
    for (int r = s.bottom; r >= s.top; --r)
        static_cast<void>(m_grid.RemoveRow(r));
    m_grid.MarkModified(true);
    m_rows = m_grid.RowTotal();
}

void SheetEditor::insertColumn() {
    const GridRange s = m_grid.SelectionBounds();
    if (s.right < 0)
        return;
    ++m_columns;
    m_grid.AddColumn(SheetRules::columnHeading(m_columns), insertedColumnFormat(), s.right + 1);
    m_grid.MarkModified(true);
}

void SheetEditor::deleteColumns() {
    const GridRange s = m_grid.SelectionBounds();
    if (!s.isValid())
        return;
    if (Prompt::question(
            QStringLiteral("%1 列を削除しても宜しいですか？").arg(s.right - s.left + 1)) !=
        PromptAnswer::Yes)
        return;
    for (int c = s.right; c >= s.left; --c)
        static_cast<void>(m_grid.RemoveColumn(c));
    m_grid.MarkModified(true);
    m_columns = m_grid.ColumnTotal();
}

int SheetEditor::moveColumnSource() {
    const GridRange s = m_grid.SelectionBounds();
    if (!s.isValid() || s.left != s.right) {
        Prompt::error(QStringLiteral("列を１列選択して下さい。"));
        return -1;
    }
    return s.left;
}

void SheetEditor::moveColumn(int source, int target) {
    m_rows = m_grid.RowTotal();
    const QString heading = m_grid.CellText(0, source);
    std::vector<QByteArray> texts;
    texts.reserve(size_t(std::max(m_rows - 1, 0)));
    for (int r = 1; r < m_rows; ++r)
        texts.push_back(m_grid.CellBytes(r, source));
    if (!m_grid.RemoveColumn(source))
        return;
    const int before = target < m_grid.ColumnTotal() ? target : -1;
    const int col = m_grid.AddColumn(heading, insertedColumnFormat(), before);
    if (col < 0)
        return;
    for (int r = 1; r < m_rows; ++r) {
        static_cast<void>(m_grid.SetCellBytes(r, col, texts[size_t(r - 1)]));
        m_grid.MarkModified(true, r, col);
    }
    m_grid.MarkModified(true);
}

void SheetEditor::hide() {
    const GridRange s = m_grid.SelectionBounds();
    if (s.left != 1 && s.left >= 0 && s.left < m_grid.ColumnTotal())
        m_grid.SetColumnWidth(s.left, 0);
    if (s.top != 1 && s.top >= 0 && s.top < m_grid.RowTotal())
        m_grid.SetRowHeight(s.top, 0);
}

void SheetEditor::revealHidden(GridModel& grid) {
    for (int c = 0; c < grid.ColumnTotal(); ++c)
        if (grid.ColumnWidth(c) == 0) {
            grid.SetColumnWidth(c, 1);
            static_cast<void>(grid.FitColumn(c));
        }
    // A data row takes the height of the data rows around it, which all have the grid's row
    // height (the default, or the fitted one after "サイズ自動調整"); a fit of its own would
    // make it stand out. A row with no visible data row around it is fitted.
    const int fixed = grid.FixedRowTotal();
    for (int r = 0; r < grid.RowTotal(); ++r) {
        if (grid.RowHeight(r) != 0)
            continue;
        int neighbour = r > fixed ? grid.Rows().visibleAtOrBefore(r - 1) : -1;
        if (neighbour < fixed)
            neighbour = r >= fixed ? grid.Rows().visibleAtOrAfter(r + 1) : -1;
        if (neighbour >= fixed) {
            grid.SetRowHeight(r, grid.RowHeight(neighbour));
            continue;
        }
        grid.SetRowHeight(r, 1);
        static_cast<void>(grid.FitRow(r));
    }
}
