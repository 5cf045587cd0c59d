#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The order shared by every file list of the program: directories before files, then the text
// shown in the sort column, compared without regard to letter case as CP932 bytes (at most
// 255), ascending or descending. Each column keeps its own direction: 1 ascending, 2
// descending, 0 before its first click.
class FileListOrder {
public:
    static constexpr int Ascending = 1;
    static constexpr int Descending = 2;

    // One line of a list: its kind and the text of each column.
    struct Row {
        bool directory = false;
        QStringList texts;
        int id = 0; // the caller's reference to its own item
    };

    explicit FileListOrder(int columnCount, int nameColumn = 0);

    int columnCount() const { return int(m_states.size()); }
    int state(int column) const;
    int sortColumn() const { return m_sortColumn; }
    bool ascending() const { return state(m_sortColumn) != Descending; }

    // A click on a column header: 1 becomes 2, anything else 1; that column becomes the sort
    // column.
    void toggle(int column);
    // After a list is filled anew: the name column is set to 2 and toggled, so a fresh list is
    // sorted by name ascending.
    void refill();

    // Sorts rows by the sort column and its direction (stable for equal texts).
    void sort(std::vector<Row>& rows) const;
    // Whether `a` belongs before `b` in the current order.
    bool lessThan(const Row& a, const Row& b) const;

    // The comparison of shown texts: CP932 bytes, ASCII letters folded outside double-byte
    // characters, cut at 255 bytes. Negative, zero or positive.
    static int compareText(const QString& a, const QString& b);
    static QByteArray sortKey(const QString& text);
    // Sizes as "%10d", so that their text order is their numeric order.
    static QString sizeText(qint64 size);

private:
    std::vector<int> m_states;
    int m_nameColumn;
    int m_sortColumn;
};
