#include "transfer/FileListView.h"

#include "transfer/FileListModel.h"

#include <QHeaderView>
#include <QItemSelection>

#include <algorithm>

FileListView::FileListView(QWidget* parent)
    : QTreeView(parent), m_model(new FileListModel(this)), m_ownOrder(ColumnCount, NameColumn) {
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // The widths of the original layout, widened where this font needs more for a full date.
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00 00:00")) + 16;
    const int widths[ColumnCount] = {150, 70, 90, std::max(105, dateWidth)};
    for (int c = 0; c < ColumnCount; ++c)
        setColumnWidth(c, widths[c]);
    header()->setStretchLastSection(true);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setSortIndicatorShown(true);
    connect(header(), &QHeaderView::sectionClicked, this, &FileListView::sortBy);
    connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (std::optional<std::size_t> entry = entryAt(index))
            emit entryActivated(*entry);
    });
}

void FileListView::showLines(std::vector<ServerListLine> lines) {
    m_listed = std::move(lines);
    m_order->refill();
    showSorted();
    scrollToTop();
}

void FileListView::clearLines() {
    m_listed.clear();
    m_model->setLines({});
}

void FileListView::sortBy(int column) {
    const std::vector<std::size_t> selected = selectedEntries();
    m_order->toggle(column);
    showSorted();
    selectEntries(selected);
}

void FileListView::keepOrderIn(FileListOrder& order) {
    m_order = &order;
    showSorted();
}

void FileListView::showSorted() {
    std::vector<FileListOrder::Row> rows;
    rows.reserve(m_listed.size());
    for (std::size_t i = 0; i < m_listed.size(); ++i)
        rows.push_back({m_listed[i].directory, m_listed[i].texts, int(i)});
    m_order->sort(rows);
    std::vector<ServerListLine> shown;
    shown.reserve(rows.size());
    for (const FileListOrder::Row& row : rows)
        shown.push_back(m_listed[std::size_t(row.id)]);
    m_model->setLines(std::move(shown));
    // The header shows a triangle pointing up for ascending. Qt's header draws the ascending
    // state as a downward arrow, so it is handed the opposite order.
    header()->setSortIndicator(m_order->sortColumn(),
                               m_order->ascending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

int FileListView::lineCount() const {
    return m_model->rowCount();
}

std::vector<std::size_t> FileListView::selectedEntries() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::size_t> entries;
    entries.reserve(std::size_t(rows.size()));
    for (const QModelIndex& index : rows)
        entries.push_back(m_model->line(index.row()).entry);
    return entries;
}

std::optional<std::size_t> FileListView::entryAt(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= m_model->rowCount())
        return std::nullopt;
    return m_model->line(index.row()).entry;
}

int FileListView::rowOf(std::size_t entry) const {
    const std::vector<ServerListLine>& lines = m_model->lines();
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (lines[row].entry == entry)
            return int(row);
    }
    return -1;
}

void FileListView::selectEntries(const std::vector<std::size_t>& entries) {
    if (entries.empty())
        return;
    std::vector<std::size_t> wanted = entries;
    std::sort(wanted.begin(), wanted.end());
    QItemSelection selection;
    const std::vector<ServerListLine>& lines = m_model->lines();
    int runStart = -1; // selected rows next to each other make one range
    for (int row = 0; row <= int(lines.size()); ++row) {
        const bool take =
            row < int(lines.size()) &&
            std::binary_search(wanted.begin(), wanted.end(), lines[std::size_t(row)].entry);
        if (take && runStart < 0)
            runStart = row;
        if (!take && runStart >= 0) {
            selection.select(m_model->index(runStart, 0), m_model->index(row - 1, ColumnCount - 1));
            runStart = -1;
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}
