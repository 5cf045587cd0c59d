#pragma once

#include "ftp/EventPump.h"
#include "ftp/FtpTransport.h"
#include "ftp/RemoteSession.h"
#include "ftp/ServerTrust.h"
#include "ftp/SshHandles.h"

#include <QString>

// Where and as whom an SFTP session logs on. The user's SSH setup counts as ssh reads it: a
// host that is a Host alias of the config file gets its HostName, User, Port, IdentityFile and
// ProxyJump; what the profile names itself comes first.
struct SshEndpoint {
    QByteArray host;
    int port = 0;        // 0 or 22: the config file's, else 22
    QByteArray user;     // empty: the config file's, else the local user's
    QByteArray password; // empty: asked for when the server wants one and no key logged on
    QString keyFile;     // a private key tried before the agent's and the default ones
    // The user's SSH directory (config, known_hosts, id_* keys), read only; empty: ~/.ssh.
    QString sshDirectory;
};

// SFTP over libssh. Logs on with the profile's key file, the agent's keys (SSH_AUTH_SOCK),
// the config file's and the default identities, the password or keyboard-interactive, in that
// order (the agent first when the profile names no key file). A pass phrase is asked for once
// per session and never kept beyond it. Host keys are checked against the user's known_hosts
// and the program's own known-hosts file; nothing is ever written into the SSH directory.
class SftpSession : public RemoteSession {
public:
    // `trust` holds the host keys the user trusts; it outlives the session.
    SftpSession(SshEndpoint endpoint, const FtpTimeouts& timeouts, ServerTrust& trust);
    ~SftpSession() override;

    Result<QByteArray> logOn() override;
    void close() override;
    bool isOpen() const override { return m_sftp != nullptr; }
    QByteArray currentDirectory() const override { return m_current; }
    Result<QByteArray> changeDirectory(const QByteArray& directory) override;
    Result<void> list(const QByteArray& path, const EntrySink& sink) override;
    // A file's entry, or a directory's entries: what list() gives of the path.
    Result<void> lookUp(const QByteArray& path, const EntrySink& sink) override {
        return list(path, sink);
    }
    Result<RemoteFileInfo> stat(const QByteArray& path) override;
    Result<qint64> retrieve(const QByteArray& path, TransferType mode, const Sink& sink) override;
    Result<qint64> store(const QByteArray& path, TransferType mode, qint64 size,
                         const Source& source) override;
    Result<void> rename(const QByteArray& from, const QByteArray& to) override;
    Result<void> remove(const QByteArray& path) override;
    Result<void> makeDirectory(const QByteArray& path) override;
    Result<void> removeDirectory(const QByteArray& path) override;

    // After logOn: the host, port and user the connection went to, the config file applied.
    QByteArray host() const { return m_host; }
    int port() const { return m_port; }
    QByteArray user() const { return m_user; }
    // "host:port", as trust is kept.
    QByteArray serverName() const { return m_host + ':' + QByteArray::number(m_port); }

    // The user's SSH directory when the endpoint names none.
    static QString defaultSshDirectory();

private:
    Result<void> configure();
    Result<void> connect();
    Result<void> checkHostKey();
    Result<void> openSftp();
    QByteArray absolute(const QByteArray& path) const;
    // The session is there to be used; else a failure that says it is not.
    Result<void> ready() const;
    // A request the server refused or a connection that failed, in the server's words when it
    // gave any, else `fallback`.
    Result<void> failure(const QString& fallback) const;
    Result<void> lostOrRefused(int sftpStatus, const QString& fallback) const;
    void drain(sftp_file file, std::vector<int>& pending) const;

    SshEndpoint m_endpoint;
    FtpTimeouts m_timeouts;
    ServerTrust& m_trust;
    int m_socket = -1; // the TCP connection when it is ours (no proxy command)
    SshSessionHandle m_ssh;
    SftpHandle m_sftp;
    QByteArray m_host;
    int m_port = 22;
    QByteArray m_user;
    QByteArray m_current;
    EventPump m_pump;
};
