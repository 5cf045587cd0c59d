// The two directory-listing operations of CFtpClient.

#include "encoding/LosslessCodec.h"
#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "ftp/ListingParser.h"
#include "ftp/ListingStream.h"
#include "ftp/SecureLogOn.h"
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
        const Result<std::vector<ListedEntry>> entries =
            m_session ? readSessionListing(*m_session, directory)
                      : readListing(*m_connection, directory, m_spaceDelimited);
        if (!entries.ok())
            return Result<>::from(entries); // no entry and no message: the caller tells the user
        count = appendListed(directory, *entries, match, list, kinds);
    }
    Log("★★★GetServerFileList END %d", count);
    return Result<>::done();
}

Result<> CFtpClient::streamListing(FtpTransport& transport, const QByteArray& path,
                                   const QByteArray& verb, ListingStream& stream) {
    Result<> read = transport.list(path, verb, [&stream](const char* data, qsizetype size) {
        stream.feed(data, size);
        return true;
    });
    if (stream.droppedLines() > 0)
        Log("★★★GetServerFileList %d lines longer than %lld bytes dropped", stream.droppedLines(),
            qlonglong(ListingStream::MaxLineBytes));
    return read;
}

Result<std::vector<ListedEntry>> CFtpClient::readListing(FtpTransport& transport,
                                                         const QByteArray& directory,
                                                         bool keepUnrecognised) {
    // The raw-listing switch asks for the server's own LIST text even where MLSD is offered.
    bool mlsd = transport.offersMlsd() && !m_rawListing;
    for (;;) {
        ListingStream stream(mlsd, keepUnrecognised && !mlsd, ListingParser(), listingLimit());
        const Result<> read = streamListing(transport, directory, mlsd ? "MLSD" : "LIST", stream);
        if (read.ok())
            return takeListing(stream);
        const int code = read.code();
        if (!mlsd || (code != 500 && code != 502 && code != 504))
            return Result<std::vector<ListedEntry>>::from(read);
        mlsd = false; // offered in FEAT but not understood after all
    }
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

// A name the server says it does not have (a 550 reply) is an answer, not a failure.
Result<int> CFtpClient::lookUpOne(const QByteArray& name, ServerFileList& list, int kinds) {
    auto notThere = [](const Result<>& failure) {
        return failure.code() == 550 ? Result<int>(0) : Result<int>::from(failure);
    };
    const QByteArray path = absolute(name);
    ListingParser parser;
    std::vector<ListedEntry> entries;
    if (m_session) {
        const Result<> listed =
            m_session->list(path, [&entries](ListedEntry&& e) { entries.push_back(std::move(e)); });
        if (!listed.ok())
            return Result<int>::from(listed);
    } else if (m_connection->offersMlsd() && !m_rawListing) {
        const Result<FtpReply> reply = m_connection->command("MLST " + path);
        if (!reply.ok())
            return Result<int>::from(reply);
        if (reply->isError())
            return notThere(reply->failure());
        for (const QByteArray& line : reply->text.split('\n')) {
            if (!line.startsWith(' '))
                continue;
            if (auto e = parser.parseMlsdLine(line.mid(1))) {
                e->name = FtpNames::lastComponent(path); // MLST names the whole path
                entries.push_back(*e);
            }
        }
    } else {
        ListingStream stream(false, m_spaceDelimited, parser);
        if (const Result<> read = streamListing(*m_connection, path, "LIST", stream); !read.ok())
            return notThere(read);
        entries = stream.finish();
    }
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
    const Result<std::vector<ListedEntry>> entries =
        m_profile->Protocol == ProtocolSftp ? sessionListingOfItsOwn() : ftpListingOfItsOwn();
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

Result<std::vector<ListedEntry>> CFtpClient::ftpListingOfItsOwn() {
    using Entries = Result<std::vector<ListedEntry>>;
    // A connection of its own, direct, on the profile's port.
    std::unique_ptr<FtpTransport> own;
    Result<> outcome = Result<>::failed();
    if (!m_profile->Server.isEmpty() && !FtpNames::breaksCommandLine(m_profile->User) &&
        !FtpNames::breaksCommandLine(m_profile->Passwd))
        outcome = SecureLogOn(endpoint(1), m_timeouts, m_progress, m_trust).run(own);
    if (outcome.isCancelled())
        return Entries::from(outcome);
    if (outcome.isRefused())
        return Entries::failed(); // the warning has been shown
    if (!outcome.ok()) {
        Prompt::error(QStringLiteral("InternetConnect ERROR <%1>").arg(quint32(outcome.code())));
        return Entries::from(outcome);
    }
    FtpTransport& transport = *own;
    QByteArray directory = transport.entryPath();
    if (!serverDirectory.isEmpty()) {
        const Result<> changed = FtpNames::breaksCommandLine(serverDirectory)
                                     ? Result<>::failed()
                                     : replyOutcome(transport.command("CWD " + serverDirectory));
        if (!changed.ok()) {
            Prompt::error(
                QStringLiteral("FtpSetCurrentDirectory ERROR <%1>").arg(quint32(changed.code())));
            return Entries::from(changed);
        }
        const Result<FtpReply> pwd = transport.command("PWD");
        if (pwd.ok() && pwd->code == 257)
            directory = FtpNames::directoryOfPwdReply(pwd->text);
        if (!directory.startsWith('/'))
            directory = FtpNames::join(transport.entryPath(), serverDirectory);
    }
    Entries entries = readListing(transport, directory, false);
    if (!entries.ok())
        Prompt::error(QStringLiteral("FindFirst ERROR <%1>").arg(quint32(entries.code())));
    transport.close();
    return entries;
}
