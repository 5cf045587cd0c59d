#include "transfer/FileListModel.h"

#include "widgets/ServerListIcons.h"

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {
    for (int i = 0; i < int(m_images.size()); ++i)
        m_images[std::size_t(i)] = ServerListIcons::image(i);
}

void FileListModel::setLines(std::vector<ServerListLine> lines) {
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_lines.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_lines.size()))
        return {};
    const ServerListLine& l = m_lines[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return l.texts.value(index.column());
    case Qt::DecorationRole:
        if (index.column() == NameColumn)
            return m_images[std::size_t(std::clamp(l.image, 0, int(m_images.size()) - 1))];
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case EntryRole:
        return qulonglong(l.entry);
    default:
        return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    static const QString titles[ColumnCount] = {QStringLiteral("名前"), QStringLiteral("拡張子"),
                                                QStringLiteral("ｻｲｽﾞ"), QStringLiteral("更新日時")};
    if (role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return titles[section];
    if (role == Qt::TextAlignmentRole)
        return int((section == SizeColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}
