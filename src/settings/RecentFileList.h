#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class IniFile;
class ProfileTable;
struct ServerProfile;

// A server file in the recent-file list: the profile it was opened with and its place on the
// server. The list keeps it as its text "NO:n サーバ:/パス", the number being the profile's
// ("Server0n"). A local path is absolute, so the two kinds cannot be mistaken for each other.
struct RecentServerFile {
    int profile = 0;
    QString server;
    QString directory; // the server directory as the profile's Dir holds it
    QString name;

    QString text() const;
    // The entry `text` names a server file of a valid profile number (whatever that profile
    // holds today); the server and the path are split at the first ":" after the server name
    // of `profiles`, else at the first ":/".
    static std::optional<RecentServerFile> parse(const QString& text, const ProfileTable& profiles);
    // The server file a document of `profile` named `name` is, `preferred` being the profile
    // number the program used last; nothing when no profile of the table is `profile`'s server
    // and user.
    static std::optional<RecentServerFile> of(const ServerProfile& profile, const QString& name,
                                              const ProfileTable& profiles, int preferred);
    bool operator==(const RecentServerFile&) const = default;
};

// The most recently opened files, newest first, kept in section "Recent File List" as
// "File1".."File4" beside the program's own settings.
class RecentFileList {
public:
    static constexpr int Size = 4;

    void load(const IniFile& ini);
    // Returns the keys whose paths the file cannot hold; those keep the lines they had.
    [[nodiscard]] QStringList store(IniFile& ini) const;
    void add(const QString& path);
    void add(const RecentServerFile& file);
    void remove(int index);
    const QStringList& files() const { return m_files; }

private:
    QStringList m_files;
};
