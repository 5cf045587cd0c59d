#include "settings/RecentFileList.h"

#include "encoding/LosslessCodec.h"
#include "platform/IniFile.h"
#include "settings/AppSettings.h"

#include <QFileInfo>

namespace {
const QByteArray Section = QByteArrayLiteral("Recent File List");
QByteArray keyFor(int index) {
    return "File" + QByteArray::number(index + 1);
}
} // namespace

void RecentFileList::load(const IniFile& ini) {
    m_files.clear();
    for (int i = 0; i < Size; ++i) {
        QByteArray value = ini.readString(Section, keyFor(i), QByteArray());
        if (!value.isEmpty())
            m_files.append(fromCp932(value));
    }
}

QStringList RecentFileList::store(IniFile& ini) const {
    QStringList kept;
    for (int i = 0; i < Size; ++i)
        if (!writeSettingsText(ini, Section, keyFor(i), m_files.value(i)))
            kept.append(
                QStringLiteral("[%1] %2").arg(QLatin1String(Section), QLatin1String(keyFor(i))));
    return kept;
}

void RecentFileList::add(const QString& path) {
    QString absolute = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > Size)
        m_files.removeLast();
}

void RecentFileList::remove(int index) {
    if (index >= 0 && index < m_files.size())
        m_files.removeAt(index);
}
