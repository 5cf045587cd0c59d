#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// The most recently opened files, newest first, kept in section "Recent File List" as
// "File1".."File4" beside the program's own settings.
class RecentFileList {
public:
    static constexpr int Size = 4;

    void load(const IniFile& ini);
    // Returns the keys whose paths the file cannot hold; those keep the lines they had.
    [[nodiscard]] QStringList store(IniFile& ini) const;
    void add(const QString& path);
    void remove(int index);
    const QStringList& files() const { return m_files; }

private:
    QStringList m_files;
};
