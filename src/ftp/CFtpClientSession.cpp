// CFtpClient and its RemoteSession: the session of the profile's protocol, and the requests
// and listings that go to it.

#include "ftp/CFtpClient.h"

#include "ftp/FtpNames.h"
#include "ftp/FtpSession.h"
#include "ftp/ListingStream.h"
#include "ftp/SftpSession.h"
#include "platform/Prompt.h"
#include "settings/ServerProfile.h"

std::unique_ptr<RemoteSession> CFtpClient::makeSession(int proxyMode, bool keepUnrecognised) {
    std::unique_ptr<RemoteSession> session;
    if (m_profile->Protocol == ProtocolSftp) {
        SshEndpoint e;
        // SSH names users and passwords in UTF-8.
        e.host = m_profile->Server.toUtf8();
        e.port = m_profile->Port > 0 ? m_profile->Port : 0;
        e.user = m_profile->User.toUtf8();
        e.password = m_profile->Passwd.toUtf8();
        e.keyFile = m_profile->KeyFile;
        session = std::make_unique<SftpSession>(std::move(e), m_timeouts, m_trust);
    } else {
        session = std::make_unique<FtpSession>(endpoint(proxyMode), m_timeouts, m_trust,
                                               FtpListingMode{m_rawListing, keepUnrecognised});
    }
    session->setProgressHandler(m_progress);
    session->setNote([this](const QByteArray& line) { Log("%s", line.constData()); });
    return session;
}

Result<>
CFtpClient::sessionRequest(const QByteArray& name,
                           const std::function<Result<>(const QByteArray& path)>& request) {
    if (!m_session || busy() || name.isEmpty() || FtpNames::breaksCommandLine(name))
        return unusableName();
    return request(absolute(name));
}

Result<std::vector<ListedEntry>> CFtpClient::readListing(RemoteSession& session,
                                                         const QByteArray& directory) {
    ListingStream stream(false, false, ListingParser(), listingLimit());
    const Result<> listed =
        session.list(directory, [&stream](ListedEntry&& e) { stream.add(std::move(e)); });
    if (!listed.ok())
        return Result<std::vector<ListedEntry>>::from(listed);
    return takeListing(stream);
}

Result<std::vector<ListedEntry>> CFtpClient::listingOfItsOwn() {
    using Entries = Result<std::vector<ListedEntry>>;
    // Direct, whatever the proxy settings say, on the profile's port.
    std::unique_ptr<RemoteSession> own = makeSession(1, false);
    const Result<QByteArray> root =
        m_profile->Server.isEmpty() ? Result<QByteArray>::failed() : own->logOn();
    if (root.isCancelled())
        return Entries::from(root);
    if (root.isRefused() && root.message().isEmpty())
        return Entries::failed(); // the warning has been shown
    if (!root.ok()) {
        Prompt::error(QStringLiteral("InternetConnect ERROR <%1>").arg(quint32(root.code())));
        return Entries::failed(root.message(), root.code());
    }
    QByteArray directory = *root;
    if (!serverDirectory.isEmpty()) {
        const Result<QByteArray> entered = own->changeDirectory(serverDirectory);
        if (!entered.ok()) {
            Prompt::error(
                QStringLiteral("FtpSetCurrentDirectory ERROR <%1>").arg(quint32(entered.code())));
            return Entries::from(entered);
        }
        directory = *entered;
    }
    Entries entries = readListing(*own, directory);
    if (!entries.ok())
        Prompt::error(QStringLiteral("FindFirst ERROR <%1>").arg(quint32(entries.code())));
    own->close();
    return entries;
}
