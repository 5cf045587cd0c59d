#include "options/ProfileWorkingCopy.h"

#include "settings/ServerProfile.h"

ProfileFields ProfileFields::cleared() {
    ProfileFields fields;
    fields.SvDel = 0;
    fields.BackExt.clear();
    return fields;
}

ProfileFields ProfileFields::shownFor(const ServerProfile& profile) {
    ProfileFields fields;
    fields.Server = profile.Server;
    fields.User = profile.User;
    fields.Passwd = profile.Passwd;
    fields.Code = profile.Code;
    fields.Port = ProfileWorkingCopy::normalisedPort(profile.Port, profile.Protocol);
    fields.Protocol = profile.Protocol;
    fields.KeyFile = profile.KeyFile;
    fields.Dir = profile.Dir;
    fields.Update = profile.Update;
    fields.DirChg = profile.DirChg;
    fields.Special = profile.Special;
    fields.BackMode = profile.BackMode;
    fields.BackNo =
        profile.BackNo >= 0 && profile.BackNo < BackupExtensions().size() ? profile.BackNo : -1;
    fields.BackExt = profile.BackExt;
    fields.NameSmall = profile.NameSmall;
    fields.SvDel = profile.SvDel;
    fields.SafeUpload = profile.SafeUpload;
    fields.applyBackupRule();
    return fields;
}

void ProfileFields::applyBackupRule() {
    if (BackMode)
        SvDel = 0;
}

const QStringList& BackupExtensions() {
    static const QStringList extensions = {QStringLiteral(".bak"), QStringLiteral(".old")};
    return extensions;
}

ProfileWorkingCopy::ProfileWorkingCopy(const ProfileTable& profiles, int defaultProfile)
    : m_profiles(profiles), m_default(defaultProfile) {}

int ProfileWorkingCopy::clampIndex(int index) {
    return index >= 0 && index < AppSettings::ProfileCount ? index : 0;
}

ProfileFields ProfileWorkingCopy::load(int index) {
    m_shown = clampIndex(index);
    return ProfileFields::shownFor(m_profiles[m_shown]);
}

ProfileFields ProfileWorkingCopy::normalised(ProfileFields fields) {
    fields.Port = normalisedPort(fields.Port, fields.Protocol);
    // A backup number that came from an edited file selects nothing; the first extension is
    // stored then, so that a backup never gets the file's own name.
    if (fields.BackNo < 0 || fields.BackNo >= BackupExtensions().size())
        fields.BackNo = 0;
    fields.BackExt = BackupExtensions().at(fields.BackNo);
    return fields;
}

ServerProfile ProfileWorkingCopy::withFields(const ProfileFields& shown) const {
    const ProfileFields fields = normalised(shown);
    ServerProfile profile = m_profiles[m_shown];
    profile.Server = fields.Server;
    profile.User = fields.User;
    profile.Passwd = fields.Passwd;
    profile.Code = fields.Code;
    profile.Dir = fields.Dir;
    profile.Update = fields.Update;
    profile.DirChg = fields.DirChg;
    profile.Special = fields.Special;
    profile.BackMode = fields.BackMode;
    profile.BackNo = fields.BackNo;
    profile.BackExt = fields.BackExt;
    profile.NameSmall = fields.NameSmall;
    profile.SvDel = fields.SvDel;
    profile.SafeUpload = fields.SafeUpload;
    profile.Port = fields.Port;
    profile.Protocol = fields.Protocol;
    profile.KeyFile = fields.KeyFile;
    return profile;
}

ProfileFields ProfileWorkingCopy::store(const ProfileFields& fields) {
    m_profiles[m_shown] = withFields(fields);
    return normalised(fields);
}

bool ProfileWorkingCopy::chooseDefault(int index) {
    if (index < 0 || index >= AppSettings::ProfileCount || m_profiles[index].Server.isEmpty())
        return false;
    m_default = index;
    return true;
}

QString ProfileWorkingCopy::itemText(int index, const ServerProfile& profile) {
    if (profile.Server.isEmpty())
        return QStringLiteral("NO:%1　未　設　定").arg(index);
    return QStringLiteral("NO:%1　【%2】").arg(QString::number(index), profile.Server);
}

bool ProfileFields::canLogOn() const {
    ServerProfile logOn;
    logOn.Server = Server;
    logOn.User = User;
    logOn.Passwd = Passwd;
    logOn.Protocol = Protocol;
    return logOn.canLogOn();
}
