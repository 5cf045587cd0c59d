#include "transfer/ServerBrowserState.h"

#include "ftp/CFtpClient.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/ServerListLines.h"
#include "transfer/ServerPaths.h"

#include <algorithm>

// The history a window keeps is the one a profile stores.
static_assert(DirectoryHistory::MaxEntries == ServerProfile::HistoryCount);

namespace {

const QString SessionFailed = QStringLiteral("ＦＴＰセッションOPENに失敗しました。");
const QString DirectoryFailed = QStringLiteral("ＤＩｒ変更に失敗しました。");
const QString ListingFailed = QStringLiteral("ディレクトリの一覧を取得出来ませんでした。");

} // namespace

ServerBrowserState::ServerBrowserState(AppSettings& settings, int profileNumber)
    : m_settings(settings),
      m_profileNumber(std::clamp(profileNumber, 0, AppSettings::ProfileCount - 1)),
      m_profile(std::make_unique<ServerProfile>()) {
    *m_profile = m_settings.Profiles[std::size_t(m_profileNumber)];
    m_directory = ServerNames::directoryBytes(m_profile->Dir, m_profile->Code);
    m_history.load(m_profile->HisDir);
    m_history.put(m_profile->Dir);
}

ServerBrowserState::ServerBrowserState(AppSettings& settings, int profileNumber,
                                       const ServerProfile& given)
    : ServerBrowserState(settings, profileNumber) {
    m_keepsHistory = false;
    for (int i = 0; i < AppSettings::ProfileCount; ++i) {
        if (isCopyOf(given, m_settings.Profiles[std::size_t(i)])) {
            m_profileNumber = i;
            m_keepsHistory = true;
        }
    }
    *m_profile = given;
    m_directory = ServerNames::directoryBytes(m_profile->Dir, m_profile->Code);
    // The stored profile's history is newer than the copy's.
    m_history.load(m_keepsHistory ? m_settings.Profiles[std::size_t(m_profileNumber)].HisDir
                                  : m_profile->HisDir);
    m_history.put(m_profile->Dir);
}

ServerBrowserState::~ServerBrowserState() = default;

bool ServerBrowserState::isCopyOf(const ServerProfile& copy, ServerProfile stored) {
    stored.Dir = copy.Dir;
    stored.HisDir = copy.HisDir;
    stored.Code = copy.Code;
    return stored == copy;
}

bool ServerBrowserState::selectProfile(int number) {
    if (number < 0 || number >= AppSettings::ProfileCount)
        return false;
    const ServerProfile& chosen = m_settings.Profiles[std::size_t(number)];
    if (chosen.Server.isEmpty())
        return false;
    storeHistory();
    *m_profile = chosen;
    m_profileNumber = number;
    m_keepsHistory = true;
    m_directory = ServerNames::directoryBytes(m_profile->Dir, m_profile->Code);
    m_haveListed = false; // the last good directory was another server's
    m_history.load(m_profile->HisDir);
    m_history.put(m_profile->Dir);
    return true;
}

void ServerBrowserState::selectHistoryLine(int index) {
    m_history.select(index);
    m_profile->Dir = m_history.currentText();
    m_directory = ServerNames::directoryBytes(m_profile->Dir, m_profile->Code);
}

void ServerBrowserState::enter(const QByteArray& path) {
    m_directory = path;
    m_profile->Dir = ServerNames::directoryText(path, m_profile->Code);
}

bool ServerBrowserState::goUp() {
    const QByteArray parent = ServerPaths::parent(m_directory);
    if (parent == m_directory)
        return false;
    enter(parent);
    return true;
}

void ServerBrowserState::storeHistory() {
    if (!m_keepsHistory)
        return;
    m_history.storeInto(m_settings.Profiles[std::size_t(m_profileNumber)].HisDir);
}

void ServerBrowserState::copyProfileInto(CFtpClient& client) const {
    client.useProfile(*m_profile);
    client.serverDirectory = m_directory;
}

void ServerBrowserState::clearEntries() {
    m_entries.clear();
    m_listed = false;
}

ServerBrowserState::Listing ServerBrowserState::logOn(CFtpClient& client, bool fresh) const {
    if (!fresh && client.isConnected()) {
        copyProfileInto(client);
        return {};
    }
    client.CloseSession();
    copyProfileInto(client);
    if (const Result<> opened = client.OpenSession(); !opened.ok())
        return {opened, SessionFailed};
    return {};
}

ServerBrowserState::Listing ServerBrowserState::list(CFtpClient& client, int kinds,
                                                     bool ownConnection) {
    Listing listing = listOnce(client, kinds, ownConnection);
    if (listing.result.ok()) {
        m_lastListed = m_directory;
        m_haveListed = true;
        return listing;
    }
    // A logon that failed would fail again; a directory that vanished is left for the last one
    // that listed, so that "↑" and "再読込" work from there.
    if (!m_haveListed || m_lastListed == m_directory || !client.isConnected())
        return listing;
    enter(m_lastListed);
    if (!listOnce(client, kinds, ownConnection).result.ok())
        m_haveListed = false;
    return listing;
}

ServerBrowserState::Listing ServerBrowserState::listOnce(CFtpClient& client, int kinds,
                                                         bool ownConnection) {
    clearEntries();
    if (Listing opened = logOn(client, true); !opened.result.ok())
        return opened;
    if (!client.SetServerDir().ok())
        return {Result<>::failed(), DirectoryFailed};
    const Result<> read = ownConnection ? client.GetServerFileListSDK("*", m_entries, kinds)
                                        : client.GetServerFileList("*", m_entries, kinds);
    m_listCode = m_profile->Code;
    if (!read.ok()) {
        // The SDK listing has said why; the listing over the session says nothing itself.
        m_entries.clear();
        return {read, ownConnection ? QString() : ListingFailed};
    }
    m_listed = true;
    m_history.put(m_profile->Dir);
    return {};
}
