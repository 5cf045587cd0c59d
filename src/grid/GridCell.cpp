#include "grid/GridCell.h"

#include "grid/GridModel.h"
#include "grid/GridTextMeasurer.h"

#include <QList>

#include <algorithm>

// --- CGridCellBase: fall-back to the default cell and the extent measures --------------------

const CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
    return nullptr;
}

GridSize CGridCellBase::DefaultSize() const {
    const CGridDefaultCell* fallback = GetDefaultCell();
    return fallback ? fallback->DefaultSize() : GridSize{30, 10};
}

quint32 CGridCellBase::GetFormat() const {
    const quint32 own = OwnAttributes().format;
    const CGridDefaultCell* fallback = GetDefaultCell();
    return own == GridFormat::UseDefault && fallback ? fallback->GetFormat() : own;
}

GridColour CGridCellBase::GetTextClr() const {
    const GridColour own = OwnAttributes().textColour;
    const CGridDefaultCell* fallback = GetDefaultCell();
    return own == kGridDefaultColour && fallback ? fallback->GetTextClr() : own;
}

GridColour CGridCellBase::GetBackClr() const {
    const GridColour own = OwnAttributes().backColour;
    const CGridDefaultCell* fallback = GetDefaultCell();
    return own == kGridDefaultColour && fallback ? fallback->GetBackClr() : own;
}

GridFont CGridCellBase::GetFont() const {
    const GridCellAttributes own = OwnAttributes();
    if (own.font)
        return *own.font;
    const CGridDefaultCell* fallback = GetDefaultCell();
    return fallback ? fallback->GetFont() : GridFont{};
}

quint32 CGridCellBase::GetMargin() const {
    const quint32 own = OwnAttributes().margin;
    if (own != kGridDefaultMargin)
        return own;
    const CGridDefaultCell* fallback = GetDefaultCell();
    return fallback ? fallback->GetMargin() : 0;
}

GridSize CGridCellBase::GetTextExtent(QStringView text, const GridTextMeasurer* measurer) const {
    if (text.isEmpty() || !measurer)
        return DefaultSize();
    const GridFont font = GetFont();
    const quint32 format = GetFormat();
    const int margin = int(std::min<quint32>(GetMargin(), 0xFFFF));
    GridSize size;
    if ((format & GridFormat::SingleLine) || !(format & GridFormat::WordBreak)) {
        size = measurer->lineSize(font, text);
    } else {
        for (QStringView line : text.split(u'\n'))
            size.width = std::max(size.width, measurer->lineSize(font, line).width);
        size.height = measurer->wrappedHeight(font, text, size.width);
    }
    size.height += 2 * margin;
    size.width += 4 * margin + measurer->overhang(font);
    if (font.escapement == 900 || font.escapement == 2700)
        std::swap(size.width, size.height);
    return size;
}

GridSize CGridCellBase::GetCellExtent(const GridTextMeasurer* measurer) const {
    return GetTextExtent(GetText(), measurer);
}

// --- CGridCell: a handle onto the grid's storage ----------------------------------------------

template <typename Change> void CGridCell::changeAttributes(Change change) {
    if (!m_grid)
        return;
    GridCellAttributes attributes = m_grid->CellAttributes(m_row, m_col);
    change(attributes);
    m_grid->SetCellAttributes(m_row, m_col, attributes);
}

bool CGridCell::SetText(QStringView text) {
    return m_grid && m_grid->SetCellText(m_row, m_col, text);
}
void CGridCell::SetImage(int image) {
    changeAttributes([&](GridCellAttributes& a) { a.image = image; });
}
void CGridCell::SetData(quint32 data) {
    changeAttributes([&](GridCellAttributes& a) { a.data = data; });
}
void CGridCell::SetState(quint32 state) {
    if (m_grid)
        m_grid->SetCellState(m_row, m_col, state);
}
void CGridCell::SetFormat(quint32 format) {
    changeAttributes([&](GridCellAttributes& a) { a.format = format; });
}
void CGridCell::SetTextClr(GridColour colour) {
    changeAttributes([&](GridCellAttributes& a) { a.textColour = colour; });
}
void CGridCell::SetBackClr(GridColour colour) {
    changeAttributes([&](GridCellAttributes& a) { a.backColour = colour; });
}
void CGridCell::SetFont(const GridFont& font) {
    changeAttributes([&](GridCellAttributes& a) { a.font = font; });
}
void CGridCell::SetMargin(quint32 margin) {
    changeAttributes([&](GridCellAttributes& a) { a.margin = margin; });
}

QString CGridCell::GetText() const {
    return m_grid ? m_grid->CellText(m_row, m_col) : QString();
}
quint32 CGridCell::GetState() const {
    return m_grid ? m_grid->CellState(m_row, m_col) : 0;
}
GridCellAttributes CGridCell::OwnAttributes() const {
    return m_grid ? m_grid->CellAttributes(m_row, m_col) : GridCellAttributes{};
}
const CGridDefaultCell* CGridCell::GetDefaultCell() const {
    return m_grid ? &m_grid->DefaultCellFor(m_row, m_col) : nullptr;
}
bool CGridCell::IsEditing() const {
    return m_grid && m_grid->EditingCell() == GridCellId{m_row, m_col};
}

void CGridCell::Reset() {
    if (!m_grid)
        return;
    (void)m_grid->SetCellBytes(m_row, m_col, {}); // inside the table: cannot fail
    m_grid->SetCellState(m_row, m_col, 0);
    m_grid->SetCellAttributes(m_row, m_col, {});
}

// --- CGridDefaultCell -------------------------------------------------------------------------

CGridDefaultCell::CGridDefaultCell() {
    m_attributes.format = GridFormat::Initial;
}

bool CGridDefaultCell::SetText(QStringView text) {
    m_text = text.toString();
    return true;
}

void CGridDefaultCell::SetFont(const GridFont& font) {
    m_attributes.font = font;
    const GridTextMeasurer* measurer = m_grid ? m_grid->TextMeasurer() : nullptr;
    const GridSize sample = measurer ? measurer->lineSize(font, u" XXXXXXXXXXXX ") : GridSize{};
    if (sample.width <= 0 || sample.height <= 0) {
        // No drawing context, or a font that draws nothing (zero height): sizes of 0 would hide
        // every new row and column, so the sizes of a grid without a drawing context apply.
        m_attributes.margin = 3;
        m_width = 40;
        m_height = 16;
        return;
    }
    m_attributes.margin = quint32(std::max(measurer->lineSize(font, u" ").width, 0));
    m_width = sample.width;
    m_height = sample.height * 3 / 2;
}
