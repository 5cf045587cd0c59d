#pragma once

#include "ftp/CurlHandles.h"
#include "ftp/EventPump.h"
#include "ftp/ListingParser.h"
#include "ftp/ServerTrust.h"
#include "platform/Result.h"
#include "settings/ServerProtocol.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

struct curl_sockaddr;

// How long an FTP operation may wait before it gives up: the connect stage, one reply of the
// server, and a transfer that moves no byte.
struct FtpTimeouts {
    int connectMs = 1000;
    int responseSeconds = 30;
    int stallSeconds = 30;
};

// One reply of the server: its code and every line, joined by '\n', without line ends.
struct FtpReply {
    int code = 0;
    QByteArray text;
    bool isError() const { return code >= 400; }
    // The refusal as a failed result: the reply's text and its code.
    [[nodiscard]] Result<> failure() const;
};

// A command's reply as a result: the server's refusal fails with its text and code.
[[nodiscard]] Result<> replyOutcome(const Result<FtpReply>& reply);

// Where and how one connection is made.
struct FtpEndpoint {
    QByteArray host;
    int port = 21;
    QByteArray user;
    QByteArray password;
    int proxyMode = 0; // 1 = direct, 2 = the proxy in proxyName, else the environment's
    QByteArray proxyName;
    bool passive = false;
    int protocol = 0; // ServerProtocol: plain FTP or FTPS (AUTH TLS); SFTP is SftpSession's
    // FTPS: the key pin of a certificate the user trusted; the handshake then checks the key
    // instead of the system's certificate store.
    QByteArray pinnedKey;
    QByteArray keyFile; // SFTP: the profile's key file (a logon of another key is another logon)

    bool operator==(const FtpEndpoint&) const = default;
};

// One FTP control connection and the transfers on it, over libcurl. Every path given to it is
// absolute, so the server's idea of the current directory only matters to the commands the
// caller sends itself (CWD, PWD). While an operation runs the Qt event loop gets its turn, so
// windows repaint and a cancel button works; every wait is bounded by the time-outs.
class FtpTransport {
public:
    using Sink = std::function<bool(const char* data, qsizetype size)>;
    using Source = std::function<qint64(char* buffer, qint64 capacity)>; // -1 = read error
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    FtpTransport(const FtpEndpoint& endpoint, const FtpTimeouts& timeouts);
    ~FtpTransport();
    FtpTransport(const FtpTransport&) = delete;
    FtpTransport& operator=(const FtpTransport&) = delete;

    // Connects, logs on (USER, PASS), reads the directory the server put us in (PWD) and the
    // features it offers (FEAT). A connection that drops later is never made again silently.
    Result<> logOn();
    bool isOpen() const { return m_controlSocket >= 0; }
    // Says goodbye (QUIT) when the connection still stands, then lets it go.
    void close();
    QByteArray entryPath() const { return m_entryPath; }
    bool offersMlsd() const { return m_offersMlsd; }
    // FTPS: the certificate the server presented at logOn.
    PeerCertificate certificate() const;
    // FTPS: the certificate of the server, read in a handshake of its own that trusts anything
    // and logs on as "anonymous" (never with the profile's password), to show to the user.
    static PeerCertificate probeCertificate(const FtpEndpoint& endpoint,
                                            const FtpTimeouts& timeouts);

    // Sends one command line; done with the server's reply whatever its code.
    Result<FtpReply> command(const QByteArray& line);
    // Reads the file to the end of its data connection. A binary transfer fails when the
    // server announced a size (SIZE, or "(N bytes)" in its 150 reply) that differs from what
    // it sent, more or less: a size that lies leaves the caller nothing it could take as whole.
    //
    // An operation that failed says why: the server's refusal with its code, else a text of our
    // own for the transport's error with libcurl's code. A transfer is Cancelled when the
    // progress handler stopped it, and says nothing when its sink or source failed (their owner
    // knows why).
    Result<> retrieve(const QByteArray& path, bool ascii, const Sink& sink);
    Result<> store(const QByteArray& path, bool ascii, qint64 size, const Source& source);
    // Reads the listing of a directory with LIST or MLSD as it arrives (FTP).
    Result<> list(const QByteArray& directory, const QByteArray& verb, const Sink& sink);
    void setProgressHandler(Progress handler) { m_progress = std::move(handler); }

private:
    enum class Kind { Commands, Retrieve, Store, Listing };
    struct Request {
        Kind kind = Kind::Commands;
        QByteArray path;
        bool ascii = false;
        const Sink* sink = nullptr;
        const Source* source = nullptr;
        qint64 size = -1;
        QByteArray verb;
        curl_slist* quote = nullptr;
    };

    // libcurl's callbacks, which reach into the transport.
    struct Callbacks;
    friend struct Callbacks;

    // What the last operation did, from its failure fields; a transfer's may also be Cancelled
    // or have failed in its sink or source.
    Result<> outcome(bool ok) const;
    Result<> transferOutcome(bool ok) const;
    bool sendCommand(const QByteArray& line, FtpReply* reply);
    bool ensureHandles();
    void applyCommonOptions();
    bool perform(const Request& request);
    bool runTransfer();
    void pumpEvents();
    void recordFailure(int curlCode, const char* detail);
    static QByteArray urlFor(const FtpEndpoint& endpoint, const QByteArray& path);
    static void applySecurityOptions(CURL* easy, const FtpEndpoint& endpoint);

    // The TCP connect of the control connection, bounded by the connect time-out.
    int connectControl(const curl_sockaddr* address);
    void takeReplyLine(const QByteArray& line);
    // An FTP listing under way: its data is taken from the debug callback, as it came.
    bool takesRawListing() const {
        return m_request && m_request->kind == Kind::Listing && m_request->sink;
    }
    void noteAnnouncedSize(const FtpReply& reply);
    bool receivedAsAnnounced();

    FtpEndpoint m_endpoint;
    FtpTimeouts m_timeouts;
    // The easy handle goes before the multi handle it was used with.
    CurlMulti m_multi;
    CurlEasy m_easy;
    int m_controlSocket = -1;
    bool m_allowControlConnect = false;
    bool m_connectionLost = false;
    bool m_loggedOnAgain = false;
    bool m_connectTimedOut = false;
    int m_preconnected = -1;
    QByteArray m_entryPath;
    bool m_offersMlsd = false;
    const Request* m_request = nullptr;
    std::vector<FtpReply> m_replies;
    FtpReply m_partial;
    EventPump m_pump;
    quint64 m_activity = 0; // counts replies, commands and data, to tell progress from waiting
    QByteArray m_lastVerb;  // of the command the next reply answers
    std::vector<qint64> m_announcedSizes; // by SIZE and the 150 reply of this retrieval
    qint64 m_received = 0;
    Progress m_progress;

    int m_errorCode = 0;
    QString m_errorText;
    bool m_cancelled = false;
    bool m_localWriteFailed = false;
    char m_errorBuffer[256] = {};
};
