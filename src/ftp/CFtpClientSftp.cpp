// CFtpClient over SFTP: the operations go to a RemoteSession, and its results become the
// client's results and messages.

#include "ftp/CFtpClient.h"

#include "ftp/FtpNames.h"
#include "ftp/ListingStream.h"
#include "ftp/SftpSession.h"
#include "platform/Prompt.h"

std::unique_ptr<RemoteSession> CFtpClient::makeSftpSession() const {
    SshEndpoint e;
    // SSH names users and passwords in UTF-8.
    e.host = m_profile.Server.toUtf8();
    e.port = m_profile.Port > 0 ? m_profile.Port : 0;
    e.user = m_profile.User.toUtf8();
    e.password = m_profile.Passwd.toUtf8();
    e.keyFile = m_profile.KeyFile;
    auto session = std::make_unique<SftpSession>(std::move(e), m_timeouts, m_trust);
    session->setProgressHandler(m_progress);
    return session;
}

OpResult CFtpClient::openSftp() {
    std::unique_ptr<RemoteSession> session = makeSftpSession();
    const Result<QByteArray> root = session->logOn();
    if (!root.ok()) {
        if (root.status() == ResultStatus::Cancelled)
            return OpResult::Cancelled;
        rememberFailure(root);
        // A refusal has said why (a changed host key's warning), or says it now.
        if (root.status() != ResultStatus::Refused)
            showLogOnFailure();
        else if (!root.message().isEmpty())
            Prompt::error(root.message());
        return OpResult::Failed;
    }
    m_session = std::move(session);
    m_rootDirectory = *root;
    m_currentDirectory = m_rootDirectory;
    Log("OpenSession END ROOT=%s", m_rootDirectory.constData());
    return OpResult::Done;
}

void CFtpClient::rememberFailure(const result_detail::Outcome& outcome) {
    m_lastError = quint32(outcome.code());
    m_lastErrorText = outcome.message();
}

OpResult CFtpClient::sessionFailure(const result_detail::Outcome& outcome,
                                    const QString& fallback) {
    if (outcome.status() == ResultStatus::Cancelled)
        return OpResult::Cancelled;
    rememberFailure(outcome);
    showFailure(fallback);
    return OpResult::Failed;
}

bool CFtpClient::sessionRequest(
    const QByteArray& name, const std::function<Result<void>(const QByteArray& path)>& request) {
    if (!m_session || busy() || name.isEmpty() || FtpNames::breaksCommandLine(name)) {
        m_lastError = 0;
        m_lastErrorText = QStringLiteral("名前に使用出来ない文字が含まれています。");
        return false;
    }
    const Result<void> done = request(absolute(name));
    rememberFailure(done);
    return done.ok();
}

bool CFtpClient::readSessionListing(RemoteSession& session, const QByteArray& directory,
                                    std::vector<ListedEntry>* entries) {
    ListingStream stream(false, false, ListingParser(), listingLimit());
    const Result<void> listed =
        session.list(directory, [&stream](ListedEntry&& e) { stream.add(std::move(e)); });
    if (!listed.ok()) {
        rememberFailure(listed);
        return false;
    }
    return takeListing(stream, entries);
}

OpResult CFtpClient::sessionListingOfItsOwn(std::vector<ListedEntry>* entries) {
    std::unique_ptr<RemoteSession> own = makeSftpSession();
    const Result<QByteArray> root =
        m_profile.Server.isEmpty() ? Result<QByteArray>::failed() : own->logOn();
    if (root.status() == ResultStatus::Cancelled)
        return OpResult::Cancelled;
    if (root.status() == ResultStatus::Refused && root.message().isEmpty())
        return OpResult::Failed; // the warning has been shown
    if (!root.ok()) {
        rememberFailure(root);
        Prompt::error(QStringLiteral("InternetConnect ERROR <%1>").arg(m_lastError));
        return OpResult::Failed;
    }
    QByteArray directory = *root;
    if (!serverDirectory.isEmpty()) {
        const Result<QByteArray> entered = own->changeDirectory(serverDirectory);
        if (!entered.ok()) {
            rememberFailure(entered);
            Prompt::error(QStringLiteral("FtpSetCurrentDirectory ERROR <%1>").arg(m_lastError));
            return OpResult::Failed;
        }
        directory = *entered;
    }
    if (!readSessionListing(*own, directory, entries)) {
        Prompt::error(QStringLiteral("FindFirst ERROR <%1>").arg(m_lastError));
        return OpResult::Failed;
    }
    own->close();
    return OpResult::Done;
}
