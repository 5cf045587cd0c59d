#include "transfer/DirectoryHistory.h"

void DirectoryHistory::load(const std::array<QString, MaxEntries>& history) {
    m_lines.clear();
    m_current = -1;
    for (const QString& directory : history) {
        if (!directory.isEmpty())
            m_lines.append(directory);
    }
}

void DirectoryHistory::storeInto(std::array<QString, MaxEntries>& history) const {
    for (int i = 0; i < MaxEntries; ++i)
        history[i] = i < m_lines.size() ? m_lines.at(i) : QString();
}

int DirectoryHistory::put(const QString& directory) {
    if (directory.isEmpty())
        return -1;
    m_current = int(m_lines.indexOf(directory));
    if (m_current >= 0)
        return m_current;
    m_lines.prepend(directory);
    while (m_lines.size() > MaxEntries)
        m_lines.removeLast();
    m_current = 0;
    return m_current;
}
