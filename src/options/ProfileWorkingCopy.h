#pragma once

#include "encoding/CodeSystem.h"
#include "settings/AppSettings.h"
#include "settings/ProfileTable.h"
#include "settings/ServerProtocol.h"

#include <QString>
#include <QStringList>

#include <array>

struct ServerProfile;

// What the FTP page's profile controls hold: one profile without its directory history.
struct ProfileFields {
    QString Server;
    QString User;
    QString Passwd;
    int Code = CodeSystemEuc;
    int Port = 21;
    QString Dir;
    int Update = 1;
    int DirChg = 1;
    int Special = 1;
    int BackMode = 0;
    int BackNo = 0; // index into BackupExtensions(), -1 when the list has no selection
    QString BackExt;
    int NameSmall = 0;
    int SvDel = 1;
    int Protocol = ProtocolFtp;
    QString KeyFile;
    int SafeUpload = 0;

    // What "ｸﾘｱ" puts into the controls.
    static ProfileFields cleared();
    // What the controls show for a stored profile: a port of 0 or less shows as 21, a backup
    // number outside the list shows no selection.
    static ProfileFields shownFor(const ServerProfile& profile);

    // The fields are enough to log on, by the profile's own rule.
    bool canLogOn() const;
    // Backup mode renames the old file on the server, so deleting it first is off and its
    // switch locked; the extension list only matters with backup mode on.
    void applyBackupRule();
    bool deleteFirstEnabled() const { return BackMode == 0; }
    bool extensionListEnabled() const { return BackMode != 0; }

    bool operator==(const ProfileFields&) const = default;
};

// The backup extensions offered for a server profile, by BackNo.
const QStringList& BackupExtensions();

// The FTP page's working copy of the five server profiles: which one the controls show, which
// one is to become the default, and how control values are stored into a profile. Nothing here
// reaches AppSettings until the options dialog is confirmed.
class ProfileWorkingCopy {
public:
    ProfileWorkingCopy() = default;
    explicit ProfileWorkingCopy(const ProfileTable& profiles, int defaultProfile = 0);

    const ProfileTable& profiles() const { return m_profiles; }
    const ServerProfile& profile(int index) const { return m_profiles[clampIndex(index)]; }

    int shownProfile() const { return m_shown; }
    // The default profile as read, even outside 0..4, until the user chooses another: a number
    // the page cannot show is still not the page's to change.
    int defaultProfile() const { return m_default; }

    // Makes `index` the shown profile and returns what its controls show.
    ProfileFields load(int index);
    // Stores control values into the shown profile as the user typed them: a profile without
    // server, user or password stays so (the server tasks refuse it when it is used; only
    // "ｸﾘｱ" empties the controls). A port of 0 or less becomes 21, and the backup extension
    // follows the list choice. The directory history is kept. Returns the values the controls
    // show afterwards.
    ProfileFields store(const ProfileFields& fields);
    // The shown profile as storing these values would make it (the server tasks of the page
    // connect with it).
    ServerProfile withFields(const ProfileFields& fields) const;
    // Only a profile that has a stored server name can become the default; returns whether
    // `index` was taken.
    bool chooseDefault(int index);

    // Text of a profile in the two profile selectors.
    static QString itemText(int index, const ServerProfile& profile);
    QString itemText(int index) const { return itemText(index, profile(index)); }

    static int normalisedPort(int port) { return port <= 0 ? 21 : port; }
    // An empty port means the default port of the protocol.
    static int normalisedPort(int port, int protocol) { return effectivePort(port, protocol); }
    // 0 and less stand for the default port; nothing can stand for a port past the last one.
    static constexpr int MaxPort = MaxPortNumber;
    static bool portInRange(int port) { return port <= MaxPort; }

private:
    static int clampIndex(int index);
    // The values as they are stored: the default port, the backup extension of the list choice.
    static ProfileFields normalised(ProfileFields fields);

    ProfileTable m_profiles;
    int m_shown = 0;
    int m_default = 0;
};
