#include "ftp/SecureLogOn.h"

#include "platform/Prompt.h"
#include "settings/ServerProtocol.h"

#include <curl/curl.h>

SecureLogOn::SecureLogOn(const FtpEndpoint& endpoint, const FtpTimeouts& timeouts,
                         FtpTransport::Progress progress, ServerTrust& trust)
    : m_endpoint(endpoint), m_timeouts(timeouts), m_progress(std::move(progress)), m_trust(trust),
      m_server(endpoint.host + ':' + QByteArray::number(endpoint.port)) {}

QString SecureLogOn::serverText() const {
    return QString::fromLatin1(m_server);
}

Result<> SecureLogOn::run(std::unique_ptr<FtpTransport>& connection) {
    if (!isKnownProtocol(m_endpoint.protocol)) {
        Prompt::error(QStringLiteral("サーバ %1 の接続方式(Protocol=%2)が正しくありません。\n"
                                     "接続しません。オプション設定のサーバ設定で接続方式を"
                                     "選び直して下さい。")
                          .arg(serverText())
                          .arg(m_endpoint.protocol));
        return Result<>::refused();
    }
    return attempt(connection, true);
}

Result<> SecureLogOn::attempt(std::unique_ptr<FtpTransport>& connection, bool mayAsk) {
    const bool ftps = m_endpoint.protocol == ProtocolFtps;
    const auto trusted = ftps ? m_trust.certificateFor(m_server) : std::nullopt;
    FtpEndpoint endpoint = m_endpoint;
    endpoint.pinnedKey = trusted ? trusted->pin : QByteArray();
    connection = std::make_unique<FtpTransport>(endpoint, m_timeouts);
    connection->setProgressHandler(m_progress);
    const Result<> loggedOn = connection->logOn();
    if (loggedOn.ok()) {
        if (!trusted)
            return loggedOn;
        // The same key under another certificate is still not the certificate the user saw.
        const PeerCertificate now = connection->certificate();
        if (now.fingerprint() == trusted->fingerprint)
            return loggedOn;
        connection->close();
        ServerTrust::warnCertificateChanged(serverText(), trusted->fingerprint, now);
        return Result<>::refused();
    }
    if (!ftps)
        return loggedOn;
    if (loggedOn.code() == CURLE_SSL_PINNEDPUBKEYNOTMATCH) {
        ServerTrust::warnCertificateChanged(serverText(),
                                            trusted ? trusted->fingerprint : QString(),
                                            FtpTransport::probeCertificate(m_endpoint, m_timeouts));
        return Result<>::refused();
    }
    if (loggedOn.code() == CURLE_PEER_FAILED_VERIFICATION && mayAsk && !trusted)
        return askAboutCertificate(connection, loggedOn);
    return loggedOn;
}

Result<> SecureLogOn::askAboutCertificate(std::unique_ptr<FtpTransport>& connection,
                                          const Result<>& verification) {
    const PeerCertificate certificate = FtpTransport::probeCertificate(m_endpoint, m_timeouts);
    if (certificate.isNull() || certificate.publicKeyPin().isEmpty())
        return verification; // nothing the user could judge: the verification failure stands
    const TrustChoice choice = ServerTrust::askCertificate(serverText(), certificate);
    if (choice == TrustChoice::Cancel)
        return Result<>::cancelled();
    if (!m_trust.trustCertificate(m_server, certificate, choice))
        Prompt::error(QStringLiteral("信頼した証明書を %1 に保存出来ませんでした。\n"
                                     "この証明書は今回のみ信頼します。")
                          .arg(m_trust.filePath()));
    return attempt(connection, false);
}
