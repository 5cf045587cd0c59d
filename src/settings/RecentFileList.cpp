#include "settings/RecentFileList.h"

#include "encoding/LosslessCodec.h"
#include "platform/IniFile.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"

#include <QFileInfo>

namespace {
const QByteArray Section = QByteArrayLiteral("Recent File List");
QByteArray keyFor(int index) {
    return "File" + QByteArray::number(index + 1);
}

const QString Prefix = QStringLiteral("NO:");

QString joinPath(const QString& directory, const QString& name) {
    if (directory.isEmpty())
        return name;
    return directory.endsWith(u'/') ? directory + name : directory + u'/' + name;
}

bool sameLogOn(const ServerProfile& a, const ServerProfile& b) {
    return !a.Server.isEmpty() && a.Server == b.Server && a.User == b.User;
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

void RecentFileList::add(const RecentServerFile& file) {
    const QString text = file.text();
    m_files.removeAll(text);
    m_files.prepend(text);
    while (m_files.size() > Size)
        m_files.removeLast();
}

QString RecentServerFile::text() const {
    return Prefix + QString::number(profile) + u' ' + server + u':' + joinPath(directory, name);
}

std::optional<RecentServerFile> RecentServerFile::parse(const QString& text,
                                                        const ProfileTable& profiles) {
    const qsizetype space = text.indexOf(u' ');
    if (!text.startsWith(Prefix) || space != Prefix.size() + 1)
        return std::nullopt;
    bool number = false;
    const int index = text.mid(Prefix.size(), 1).toInt(&number);
    if (!number || index < 0 || index >= profiles.size())
        return std::nullopt;
    const QString rest = text.mid(space + 1);
    const QString& known = profiles[index].Server;
    qsizetype colon = -1;
    if (!known.isEmpty() && rest.startsWith(known + u':'))
        colon = known.size();
    else if (const qsizetype root = rest.indexOf(QStringLiteral(":/")); root > 0)
        colon = root;
    if (colon <= 0 || colon + 1 >= rest.size())
        return std::nullopt;
    const QString path = rest.mid(colon + 1);
    const qsizetype slash = path.lastIndexOf(u'/');
    RecentServerFile file;
    file.profile = index;
    file.server = rest.left(colon);
    file.directory = slash < 0 ? QString() : slash == 0 ? QStringLiteral("/") : path.left(slash);
    file.name = path.mid(slash + 1);
    if (file.name.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<RecentServerFile> RecentServerFile::of(const ServerProfile& profile,
                                                     const QString& name,
                                                     const ProfileTable& profiles, int preferred) {
    int index = -1;
    if (preferred >= 0 && preferred < profiles.size() && sameLogOn(profiles[preferred], profile))
        index = preferred;
    for (int i = 0; index < 0 && i < profiles.size(); ++i)
        if (sameLogOn(profiles[i], profile))
            index = i;
    if (index < 0 || name.isEmpty())
        return std::nullopt;
    return RecentServerFile{index, profile.Server, profile.Dir, name};
}
