// The grid window's cell updates by the user and its clipboard: copy, cut, paste and clearing.
#include "grid/CGridCtrl.h"

#include "grid/GridClipboardText.h"
#include "platform/BusyGuard.h"
#include "platform/Prompt.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

QString codecName(GridTextCodec codec) {
    return codec == GridTextCodec::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS");
}

// The visible entries of an axis from first to last.
std::vector<int> visibleBetween(const GridAxis& axis, int first, int last) {
    std::vector<int> out;
    for (int i = axis.visibleAtOrAfter(first); i >= 0 && i <= last;
         i = axis.visibleAtOrAfter(i + 1))
        out.push_back(i);
    return out;
}

} // namespace

CGridCtrl::CellUpdate CGridCtrl::applyCellText(int row, int col, const QString& text) {
    if (!m_model.Behaviour().editable || !m_model.IsValid(row, col) ||
        (m_model.CellState(row, col) & GridState::ReadOnly) || refusesEdit(row, col))
        return {};
    if (text == m_model.CellText(row, col))
        return {};
    const EncodeResult encoded = m_model.EncodeText(text);
    if (!encoded.ok())
        return {false, encoded.unencodableAt};
    const QByteArray old = m_model.CellBytes(row, col);
    (void)m_model.SetCellBytes(row, col, encoded.bytes);
    bool refuse = !m_model.CellAt(row, col).ValidateEdit(text);
    if (!refuse)
        emit endEdit(row, col, text, &refuse);
    if (refuse) {
        (void)m_model.SetCellBytes(row, col, old);
        return {};
    }
    m_model.MarkModified(true, row, col);
    return {true, -1};
}

void CGridCtrl::reportUnencodable(const QString& text, qsizetype at) const {
    const QString character = text.mid(at, text.at(at).isHighSurrogate() ? 2 : 1);
    Prompt::error(QStringLiteral("文字%1は %2 で保存出来ない為、セルに書き込みませんでした。")
                      .arg(character, codecName(m_model.TextCodec())));
}

bool CGridCtrl::UpdateCellText(int row, int col, const QString& text) {
    const CellUpdate update = applyCellText(row, col, text);
    if (update.unencodableAt >= 0)
        reportUnencodable(text, update.unencodableAt);
    return update.changed;
}

QString CGridCtrl::CopySelectionText() const {
    const GridRange bounds = m_model.SelectionBounds();
    if (!bounds.isValid())
        return {};
    return GridClipboardText::build(
        visibleBetween(m_model.Rows(), bounds.top, bounds.bottom),
        visibleBetween(m_model.Columns(), bounds.left, bounds.right),
        [this](int r, int c) { return m_model.IsCellSelected(r, c); },
        [this](int r, int c) { return m_model.CellText(r, c); });
}

void CGridCtrl::Copy() {
    if (!m_model.SelectionBounds().isValid())
        return;
    QGuiApplication::clipboard()->setText(CopySelectionText());
}

void CGridCtrl::Cut() {
    if (!m_model.Behaviour().editable)
        return;
    Copy();
    ClearSelectedCells();
}

void CGridCtrl::ClearSelectedCells() {
    const GridRange bounds = m_model.SelectionBounds();
    if (!bounds.isValid() || !m_model.Behaviour().editable)
        return;
    BusyGuard busy(viewport());
    const std::vector<int> columns = visibleBetween(m_model.Columns(), bounds.left, bounds.right);
    for (int row : visibleBetween(m_model.Rows(), bounds.top, bounds.bottom))
        for (int col : columns)
            if (m_model.IsCellSelected(row, col) && !m_model.CellBytes(row, col).isEmpty())
                (void)applyCellText(row, col, QString());
}

void CGridCtrl::Paste() {
    PasteText(QGuiApplication::clipboard()->text());
}

GridCellId CGridCtrl::pasteTarget() const {
    const GridRange bounds = m_model.SelectionBounds();
    if (bounds.isValid())
        return {bounds.top, bounds.left};
    const GridCellId focus = m_model.FocusCell();
    if (m_model.IsValid(focus.row, focus.col))
        return focus;
    const GridViewport map = viewportMap();
    return {map.firstDataRow(), map.firstDataColumn()};
}

void CGridCtrl::PasteText(const QString& text) {
    if (!m_model.Behaviour().editable)
        return;
    const GridCellId target = pasteTarget();
    if (!m_model.IsValid(target.row, target.col) ||
        (m_model.CellState(target.row, target.col) & GridState::ReadOnly))
        return;
    if (m_editBox && m_editBox->row() == target.row && m_editBox->column() == target.col) {
        m_editBox->insert(text);
        return;
    }
    BusyGuard busy(viewport());
    const auto lines = GridClipboardText::split(text, m_model.RowTotal() - target.row,
                                                m_model.ColumnTotal() - target.col);
    GridCellId furthest;
    qsizetype unencodable = -1;
    QString unencodableText;
    int row = m_model.Rows().visibleAtOrAfter(target.row);
    for (const auto& fields : lines) {
        if (row < 0)
            break;
        int col = m_model.Columns().visibleAtOrAfter(target.col);
        for (const QString& field : fields) {
            if (col < 0)
                break;
            const CellUpdate update = applyCellText(row, col, field);
            if (update.unencodableAt >= 0 && unencodable < 0) {
                unencodable = update.unencodableAt;
                unencodableText = field;
            }
            furthest = {qMax(furthest.row, row), qMax(furthest.col, col)};
            col = m_model.Columns().visibleAtOrAfter(col + 1);
        }
        row = m_model.Rows().visibleAtOrAfter(row + 1);
    }
    if (furthest.isValid())
        m_model.SelectRange({target.row, target.col, furthest.row, furthest.col});
    if (unencodable >= 0)
        reportUnencodable(unencodableText, unencodable);
}
