#pragma once

#include "transfer/ServerListLines.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <array>
#include <vector>

// The lines of one pane of the transfer window, in the order shown: the four columns "名前",
// "拡張子", "ｻｲｽﾞ" and "更新日時", the image of each line and the listing entry it stands for.
// A table model rather than widget items, so that a directory of tens of thousands of entries
// is shown at once.
class FileListModel : public QAbstractTableModel {
public:
    static constexpr int EntryRole = Qt::UserRole;

    explicit FileListModel(QObject* parent = nullptr);

    void setLines(std::vector<ServerListLine> lines);
    const std::vector<ServerListLine>& lines() const { return m_lines; }
    const ServerListLine& line(int row) const { return m_lines[std::size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<ServerListLine> m_lines;
    std::array<QIcon, 6> m_images;
};
