// The two directory-listing operations of CFtpClient.

#include "encoding/LosslessCodec.h"
#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "ftp/ListingStream.h"
#include "platform/Prompt.h"
#include "settings/ServerProfile.h"

#include <fnmatch.h>
#include <utility>

namespace {

// Servers that answer a listing of a missing name with an error line in the data.
bool isPseudoEntry(const QByteArray& name) {
    // "見つかりません。" in CP932, spelled out so that a listing needs no code tables.
    static const QByteArray notFoundJapanese =
        "\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42";
    return name.contains("No such file or directory") || name.contains(" not found") ||
           name.contains(notFoundJapanese);
}

qsizetype& listingLimitSetting() {
    static qsizetype limit = CFtpClient::DefaultListingLimit;
    return limit;
}

QByteArray parentOf(const QByteArray& path) {
    qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

} // namespace

qsizetype CFtpClient::setListingLimit(qsizetype limit) {
    return std::exchange(listingLimitSetting(), limit);
}

qsizetype CFtpClient::listingLimit() {
    return listingLimitSetting();
}

Result<> CFtpClient::GetServerFileList(const QByteArray& path, ServerFileList& list, int kinds) {
    Log("★★★GetServerFileList START %s %d RAW=%d", path.constData(), kinds, int(m_rawListing));
    if (!isConnected() || busy() || FtpNames::breaksCommandLine(path))
        return Result<>::refused();
    bool pattern = path.isEmpty() || path.contains('*') || path.contains('?') || path.endsWith('/');
    int count = 0;
    if (!pattern) {
        const Result<int> found = lookUpOne(path, list, kinds);
        if (!found.ok())
            return Result<>::from(found);
        count = *found;
    } else {
        qsizetype slash = path.lastIndexOf('/');
        QByteArray directory = m_currentDirectory;
        if (slash == 0)
            directory = "/";
        else if (slash > 0)
            directory = absolute(path.left(slash));
        QByteArray match = path.mid(slash + 1);
        if (match == "*")
            match.clear();
        const Result<std::vector<ListedEntry>> entries = readListing(*m_session, directory);
        if (!entries.ok())
            return Result<>::from(entries); // no entry and no message: the caller tells the user
        count = appendListed(directory, *entries, match, list, kinds);
    }
    Log("★★★GetServerFileList END %d", count);
    return Result<>::done();
}

// The entries a listing kept, and a word to the user when it kept only the first ones.
std::vector<ListedEntry> CFtpClient::takeListing(ListingStream& stream) {
    std::vector<ListedEntry> entries = stream.finish();
    if (const qsizetype omitted = stream.omittedEntries(); omitted > 0) {
        Log("★★★GetServerFileList %lld entries past the limit omitted", qlonglong(omitted));
        Prompt::information(
            QStringLiteral("サーバの一覧は %1 件ありますが、最初の %2 件だけを表示します。")
                .arg(qsizetype(entries.size()) + omitted)
                .arg(entries.size()));
    }
    return entries;
}

int CFtpClient::appendListed(const QByteArray& directory, const std::vector<ListedEntry>& entries,
                             const QByteArray& pattern, ServerFileList& list, int kinds) {
    int count = 0;
    list.reserve(list.size() + entries.size());
    for (const ListedEntry& e : entries) {
        if (!pattern.isEmpty() && ::fnmatch(pattern.constData(), e.name.constData(), 0) != 0)
            continue;
        ServerFileEntry entry;
        entry.name = e.name;
        entry.path = FtpNames::join(directory, e.name);
        entry.date = e.modified.text();
        entry.size = e.directory ? 0 : e.size;
        entry.directory = e.directory ? 1 : 0;
        if (appendEntry(std::move(entry), e.recognised, list, kinds))
            ++count;
    }
    return count;
}

// A name that is not there is an answer, not a failure: nothing is appended.
Result<int> CFtpClient::lookUpOne(const QByteArray& name, ServerFileList& list, int kinds) {
    const QByteArray path = absolute(name);
    std::vector<ListedEntry> entries;
    const Result<> found =
        m_session->lookUp(path, [&entries](ListedEntry&& e) { entries.push_back(std::move(e)); });
    if (!found.ok())
        return Result<int>::from(found);
    int count = 0;
    for (ListedEntry& e : entries) {
        ServerFileEntry entry;
        entry.name = e.recognised ? FtpNames::lastComponent(e.name) : e.name;
        entry.path = FtpNames::join(parentOf(path), entry.name);
        entry.date = e.modified.text();
        entry.size = e.directory ? 0 : e.size;
        entry.directory = e.directory ? 1 : 0;
        if (appendEntry(std::move(entry), e.recognised, list, kinds))
            ++count;
    }
    return count;
}

bool CFtpClient::appendEntry(ServerFileEntry entry, bool recognised, ServerFileList& list,
                             int kinds) {
    Q_UNUSED(recognised);
    if (m_logEnabled) {
        QByteArray url = "ftp://" + toCp932(m_profile->Server) + entry.path;
        Log("★★★GetServerFileList Name=%s Path=%s URL=%s", entry.name.constData(),
            entry.path.constData(), url.constData());
    }
    if (entry.directory) {
        if (!(kinds & ServerFileKindDirectories))
            return false;
    } else {
        if (!(kinds & ServerFileKindFiles) || isPseudoEntry(entry.name))
            return false;
    }
    if (m_spaceDelimited) {
        // Servers whose names the listing cannot delimit: the last word is the name.
        qsizetype blank = entry.name.lastIndexOf(' ');
        if (blank >= 0)
            entry.name = entry.name.mid(blank + 1);
        entry.path = entry.path.left(entry.path.lastIndexOf('/') + 1) + entry.name;
        entry.date = ListedTime().text();
        Log("★★★GetServerFileList SP-DELIM Name=%s Path=%s", entry.name.constData(),
            entry.path.constData());
    }
    if (!entry.directory)
        entry.extension = FtpNames::extensionOf(entry.name);
    list.push_back(std::move(entry));
    return true;
}

Result<> CFtpClient::GetServerFileListSDK(const QByteArray& path, ServerFileList& list, int kinds) {
    Log("★★★GetServerFileListSDK START %s %d PASV=%d RAW=%d", path.constData(), kinds,
        int(m_passive), int(m_rawListing));
    const Result<std::vector<ListedEntry>> entries = listingOfItsOwn();
    if (!entries.ok())
        return Result<>::from(entries);
    int count = 0;
    for (const ListedEntry& e : *entries) {
        if (count > 0 && m_logEnabled) {
            Log("★★★GetServerFileListSDK Name=%s", e.name.constData());
            Log("dwFileAttributes=%d nFileSizeHigh=%d nFileSizeLow=%d cFileName=%s "
                "cAlternateFileName=%s",
                int(e.attributes), int(quint64(e.size) >> 32), int(quint32(e.size)),
                e.name.constData(), "");
        }
        ServerFileEntry entry;
        entry.name = e.name;
        entry.path = serverDirectory == "/" ? "/" + e.name : serverDirectory + "/" + e.name;
        entry.date = e.modified.text();
        // Only an entry that is nothing but a directory counts as one here.
        entry.directory = e.attributes == ListedEntry::Directory ? 1 : 0;
        entry.size = entry.directory ? 0 : e.size;
        list.push_back(std::move(entry));
        ++count;
    }
    Log("★★★GetServerFileList2 END %d", count);
    return Result<>::done();
}
