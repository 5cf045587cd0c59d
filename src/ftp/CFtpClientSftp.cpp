// CFtpClient over SFTP: the operations go to a RemoteSession, whose results become the client's
// results and messages.

#include "ftp/CFtpClient.h"

#include "ftp/FtpNames.h"
#include "ftp/ListingStream.h"
#include "ftp/SftpSession.h"
#include "platform/Prompt.h"
#include "settings/ServerProfile.h"

std::unique_ptr<RemoteSession> CFtpClient::makeSftpSession() const {
    SshEndpoint e;
    // SSH names users and passwords in UTF-8.
    e.host = m_profile->Server.toUtf8();
    e.port = m_profile->Port > 0 ? m_profile->Port : 0;
    e.user = m_profile->User.toUtf8();
    e.password = m_profile->Passwd.toUtf8();
    e.keyFile = m_profile->KeyFile;
    auto session = std::make_unique<SftpSession>(std::move(e), m_timeouts, m_trust);
    session->setProgressHandler(m_progress);
    return session;
}

Result<> CFtpClient::openSftp() {
    std::unique_ptr<RemoteSession> session = makeSftpSession();
    const Result<QByteArray> root = session->logOn();
    if (!root.ok()) {
        if (root.isCancelled())
            return Result<>::from(root);
        const Result<> failure = Result<>::failed(root.message(), root.code());
        // A refusal has said why (a changed host key's warning), or says it now.
        if (!root.isRefused())
            showLogOnFailure(failure);
        else if (!root.message().isEmpty())
            Prompt::error(root.message());
        return failure;
    }
    m_session = std::move(session);
    m_rootDirectory = *root;
    m_currentDirectory = m_rootDirectory;
    Log("OpenSession END ROOT=%s", m_rootDirectory.constData());
    return Result<>::done();
}

Result<>
CFtpClient::sessionRequest(const QByteArray& name,
                           const std::function<Result<>(const QByteArray& path)>& request) {
    if (!m_session || busy() || name.isEmpty() || FtpNames::breaksCommandLine(name))
        return unusableName();
    return request(absolute(name));
}

Result<std::vector<ListedEntry>> CFtpClient::readSessionListing(RemoteSession& session,
                                                                const QByteArray& directory) {
    ListingStream stream(false, false, ListingParser(), listingLimit());
    const Result<> listed =
        session.list(directory, [&stream](ListedEntry&& e) { stream.add(std::move(e)); });
    if (!listed.ok())
        return Result<std::vector<ListedEntry>>::from(listed);
    return takeListing(stream);
}

Result<std::vector<ListedEntry>> CFtpClient::sessionListingOfItsOwn() {
    using Entries = Result<std::vector<ListedEntry>>;
    std::unique_ptr<RemoteSession> own = makeSftpSession();
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
    Entries entries = readSessionListing(*own, directory);
    if (!entries.ok())
        Prompt::error(QStringLiteral("FindFirst ERROR <%1>").arg(quint32(entries.code())));
    own->close();
    return entries;
}
