#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The directory box of the server lists: at most ten directories, the newest on top. A
// directory already in the box is only selected; a new one goes to the top and pushes the
// oldest out. The box is kept per profile in its "HisDir00".."HisDir09" entries.
class DirectoryHistory {
public:
    static constexpr int MaxEntries = 10; // a profile's HistoryCount

    // Replaces the lines with the non-empty entries of a profile's history, in order.
    void load(const std::array<QString, MaxEntries>& history);
    // Writes the lines back; the entries after the last line become empty.
    void storeInto(std::array<QString, MaxEntries>& history) const;

    // Puts `directory` into the box and returns the index of its line (0 for a new one); an
    // empty directory is not put in and returns -1, leaving the selection as it is.
    int put(const QString& directory);

    const QStringList& lines() const { return m_lines; }
    int currentIndex() const { return m_current; }
    QString currentText() const { return m_current >= 0 ? m_lines.at(m_current) : QString(); }
    void select(int index) { m_current = (index >= 0 && index < m_lines.size()) ? index : -1; }

private:
    QStringList m_lines;
    int m_current = -1;
};
