#pragma once

#include "ftp/FtpTransport.h"
#include "ftp/RemoteSession.h"
#include "ftp/ServerTrust.h"

#include <memory>

// How an FTP session reads directories.
struct FtpListingMode {
    bool raw = false;              // LIST, the server's own text, even where MLSD is offered
    bool keepUnrecognised = false; // LIST lines of no known format kept whole as names
};

// FTP and FTPS over one FtpTransport (libcurl). The logon asks the trust questions of FTPS
// (SecureLogOn); every command that transfers nothing is one quote command whose reply the
// session judges; a refusal fails with the reply's text and code. Paths that reach the server
// are absolute, so the server's current directory is only what changeDirectory made of it.
class FtpSession : public RemoteSession {
public:
    // `trust` holds the certificates the user trusts; it outlives the session.
    FtpSession(const FtpEndpoint& endpoint, const FtpTimeouts& timeouts, ServerTrust& trust,
               FtpListingMode mode);
    ~FtpSession() override;

    // Refused, after its warning, for a certificate that changed or a protocol the profile
    // cannot have; Cancelled when the user did not trust the certificate.
    Result<QByteArray> logOn() override;
    void close() override;
    bool isOpen() const override { return m_transport && m_transport->isOpen(); }
    QByteArray currentDirectory() const override { return m_current; }
    // CWD, then PWD for the server's own name of where it now is.
    Result<QByteArray> changeDirectory(const QByteArray& directory) override;
    // MLSD where offered (unless raw), else LIST, parsed as it arrives.
    Result<void> list(const QByteArray& path, const EntrySink& sink) override;
    // MLST where MLSD is offered (unless raw), else LIST of the name.
    Result<void> lookUp(const QByteArray& path, const EntrySink& sink) override;
    // MDTM and, in binary mode, SIZE.
    Result<RemoteFileInfo> stat(const QByteArray& path) override;
    Result<qint64> retrieve(const QByteArray& path, TransferType mode, const Sink& sink) override;
    Result<qint64> store(const QByteArray& path, TransferType mode, qint64 size,
                         const Source& source) override;
    Result<void> rename(const QByteArray& from, const QByteArray& to) override;
    Result<void> remove(const QByteArray& path) override;
    Result<void> makeDirectory(const QByteArray& path) override;
    Result<void> removeDirectory(const QByteArray& path) override;

private:
    // The transport is there to be used; else a failure that says it is not.
    Result<void> ready() const;
    // ready(), and `path` can stand in a command line; an empty path only where `emptyIsHere`
    // (it then names the current directory).
    Result<void> readyFor(const QByteArray& path, bool emptyIsHere = false) const;
    // One command with a path; the server's refusal fails with its reply.
    Result<FtpReply> pathCommand(const QByteArray& verb, const QByteArray& path);
    // A command on `path` whose whole outcome is its reply, on a session that is ready.
    Result<void> pathOperation(const char* verb, const QByteArray& path);
    Result<void> streamListing(const QByteArray& path, bool mlsd, bool keepUnrecognised,
                               const EntrySink& sink);
    QByteArray absolute(const QByteArray& path) const;

    FtpEndpoint m_endpoint;
    FtpTimeouts m_timeouts;
    ServerTrust& m_trust;
    FtpListingMode m_mode;
    std::unique_ptr<FtpTransport> m_transport;
    QByteArray m_current;
};
