#pragma once

#include "ftp/FileListOrder.h"
#include "transfer/ServerListLines.h"

#include <QTreeView>

#include <optional>
#include <vector>

class FileListModel;

// One pane of the transfer window: a report-style list of the four columns, several lines
// selectable, sorted in the program's list order with one direction state per column for the
// life of the pane, or of whoever keeps the states (keepOrderIn).
class FileListView : public QTreeView {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    // A list filled anew (lines in listing order): shown sorted by name ascending.
    void showLines(std::vector<ServerListLine> lines);
    void clearLines();
    // A click on a column header: that column's direction toggles and the list is sorted by
    // it; the selected lines stay selected.
    void sortBy(int column);
    // From now on the column directions are `order`'s, kept by its owner beyond this list.
    void keepOrderIn(FileListOrder& order);

    const FileListOrder& order() const { return *m_order; }
    FileListModel* lines() const { return m_model; }
    int lineCount() const;

    // Listing entries of the selected lines, top to bottom.
    std::vector<std::size_t> selectedEntries() const;
    std::optional<std::size_t> entryAt(const QModelIndex& index) const;
    // The row showing listing entry `entry`, or -1.
    int rowOf(std::size_t entry) const;
    void selectEntries(const std::vector<std::size_t>& entries);

signals:
    // A line was double-clicked.
    void entryActivated(std::size_t entry);

private:
    void showSorted();

    FileListModel* m_model = nullptr;
    FileListOrder m_ownOrder;
    FileListOrder* m_order = &m_ownOrder;
    std::vector<ServerListLine> m_listed; // in listing order
};
