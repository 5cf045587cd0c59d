#pragma once

#include "ftp/FtpTransport.h"

#include <memory>

// The logon of a session, with the trust questions of FTPS: a certificate the system's store
// does not vouch for is shown to the user once (ServerTrust::askCertificate), one trusted
// before is checked by its key and fingerprint, and a changed one is refused with a warning
// before the password leaves the PC. A plain FTP logon is just the transport's; SFTP is
// SftpSession's.
class SecureLogOn {
public:
    SecureLogOn(const FtpEndpoint& endpoint, const FtpTimeouts& timeouts,
                FtpTransport::Progress progress, ServerTrust& trust);
    // Makes `connection` and logs on with it. Done: the connection is open. Failed: the
    // connection's reason, nothing shown yet. Refused: a changed certificate, or a
    // profile that cannot connect; the warning has been shown. Cancelled: the user did not
    // trust the certificate.
    Result<> run(std::unique_ptr<FtpTransport>& connection);

private:
    Result<> attempt(std::unique_ptr<FtpTransport>& connection, bool mayAsk);
    Result<> askAboutCertificate(std::unique_ptr<FtpTransport>& connection,
                                 const Result<>& verification);
    QString serverText() const;

    FtpEndpoint m_endpoint;
    FtpTimeouts m_timeouts;
    FtpTransport::Progress m_progress;
    ServerTrust& m_trust;
    QByteArray m_server; // "host:port", as trust is kept
};
