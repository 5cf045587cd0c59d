#pragma once

#include "ftp/EventPump.h"
#include "ftp/ListingParser.h"
#include "ftp/ServerTrust.h"
#include "settings/ServerProfile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

#include <curl/curl.h>

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
};

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
    bool logOn();
    bool isOpen() const { return m_controlSocket >= 0; }
    // An operation is under way (the event loop may call back into the owner meanwhile).
    bool busy() const { return m_request != nullptr; }
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

    // Sends one command line; true when the server answered it, whatever the code.
    bool command(const QByteArray& line, FtpReply* reply);
    // Reads the file to the end of its data connection. A binary transfer fails when the
    // server announced a size (SIZE, or "(N bytes)" in its 150 reply) that differs from what
    // it sent, more or less: a size that lies leaves the caller nothing it could take as whole.
    bool retrieve(const QByteArray& path, bool ascii, const Sink& sink);
    bool store(const QByteArray& path, bool ascii, qint64 size, const Source& source);
    // Reads the listing of a directory with LIST or MLSD as it arrives (FTP).
    bool list(const QByteArray& directory, const QByteArray& verb, const Sink& sink);
    void setProgressHandler(Progress handler) { m_progress = std::move(handler); }

    // About the last failure: the code of the server's refusal, else the transport's code; the
    // refusal's text, else a text of our own for the transport's error.
    int errorCode() const { return m_errorCode; }
    QString errorText() const { return m_errorText; }
    bool wasCancelled() const { return m_cancelled; }
    bool localWriteFailed() const { return m_localWriteFailed; }
    // The replies of the last operation, the password masked (for the debug log).
    const std::vector<FtpReply>& replies() const { return m_replies; }

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

    bool ensureHandles();
    void applyCommonOptions();
    bool perform(const Request& request);
    bool runTransfer();
    void pumpEvents();
    void recordFailure(int curlCode, const char* detail);
    static QByteArray urlFor(const FtpEndpoint& endpoint, const QByteArray& path);
    static void applySecurityOptions(CURL* easy, const FtpEndpoint& endpoint);

    static int debugCallback(CURL*, curl_infotype type, char* data, size_t size, void* self);
    static size_t writeCallback(char* data, size_t size, size_t count, void* self);
    static size_t readCallback(char* buffer, size_t size, size_t count, void* self);
    static int progressCallback(void* self, curl_off_t dltotal, curl_off_t dlnow,
                                curl_off_t ultotal, curl_off_t ulnow);
    static curl_socket_t openSocketCallback(void* self, curlsocktype purpose,
                                            curl_sockaddr* address);
    static int closeSocketCallback(void* self, curl_socket_t socket);
    static int socketOptionCallback(void* self, curl_socket_t socket, curlsocktype purpose);
    // The TCP connect of the control connection, bounded by the connect time-out.
    curl_socket_t connectControl(const curl_sockaddr* address);
    void takeReplyLine(const QByteArray& line);
    // An FTP listing under way: its data is taken from the debug callback, as it came.
    bool takesRawListing() const {
        return m_request && m_request->kind == Kind::Listing && m_request->sink;
    }
    void noteAnnouncedSize(const FtpReply& reply);
    bool receivedAsAnnounced();

    FtpEndpoint m_endpoint;
    FtpTimeouts m_timeouts;
    CURLM* m_multi = nullptr;
    CURL* m_easy = nullptr;
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
