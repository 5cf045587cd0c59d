#include "ftp/FtpTransport.h"

#include "encoding/LosslessCodec.h"
#include "ftp/FtpNames.h"
#include "ftp/ListingParser.h"
#include "settings/ServerProtocol.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <curl/curl.h>

struct FtpTransport::Callbacks {
    static int debugCallback(CURL*, curl_infotype type, char* data, size_t size, void* self);
    static size_t writeCallback(char* data, size_t size, size_t count, void* self);
    static size_t readCallback(char* buffer, size_t size, size_t count, void* self);
    static int progressCallback(void* self, curl_off_t dltotal, curl_off_t dlnow,
                                curl_off_t ultotal, curl_off_t ulnow);
    static curl_socket_t openSocketCallback(void* self, curlsocktype purpose,
                                            curl_sockaddr* address);
    static int closeSocketCallback(void* self, curl_socket_t socket);
    static int socketOptionCallback(void* self, curl_socket_t socket, curlsocktype purpose);
};

namespace {

void initCurlOnce() {
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)done;
}

// Texts of our own for the transport's errors, in the words a user of this program reads.
QString transportText(int code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("操作がタイムアウトしました。");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("サーバに接続出来ませんでした。");
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("サーバ名またはアドレスを解決出来ませんでした。");
    case CURLE_COULDNT_RESOLVE_PROXY:
        return QStringLiteral("プロキシ名を解決出来ませんでした。");
    case CURLE_PARTIAL_FILE:
        return QStringLiteral("データの転送が途中で終わりました。");
    case CURLE_URL_MALFORMAT:
        return FtpNames::unusableNameMessage();
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
        return QStringLiteral("サーバとの接続が切断されました。");
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("サーバの証明書を確認出来ませんでした。");
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return QStringLiteral("サーバの証明書が信頼した時の証明書と異なります。");
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("サーバが暗号化(AUTH TLS)を受け付けませんでした。");
    case CURLE_SSL_CONNECT_ERROR:
        return QStringLiteral("暗号化通信を確立出来ませんでした。");
    case CURLE_LOGIN_DENIED:
        return QStringLiteral(
            "ログオン出来ませんでした。ユーザ名、パスワードまたは秘密鍵を確認して下さい。");
    case CURLE_FTP_ACCEPT_TIMEOUT:
        return QStringLiteral("データ接続がタイムアウトしました。");
    default:
        return QString();
    }
}

// A count of bytes as a server writes it: digits only, nothing the size of a wrapped number.
std::optional<qint64> byteCount(const QByteArray& digits) {
    if (digits.isEmpty() || digits.size() > 18 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return digits.toLongLong();
}

// "213 <size>", the answer to SIZE.
std::optional<qint64> sizeOfSizeReply(const FtpReply& reply) {
    return reply.code == 213 ? byteCount(reply.text.mid(4).trimmed()) : std::nullopt;
}

// "150 Opening BINARY mode data connection for x (1234 bytes).", as libcurl reads it too.
std::optional<qint64> sizeOfOpeningReply(const FtpReply& reply) {
    if (reply.code != 150 && reply.code != 125)
        return std::nullopt;
    const qsizetype bytes = reply.text.lastIndexOf(" bytes)");
    const qsizetype open = bytes < 0 ? -1 : reply.text.lastIndexOf('(', bytes);
    if (open < 0)
        return std::nullopt;
    return byteCount(reply.text.mid(open + 1, bytes - open - 1));
}

} // namespace

FtpTransport::FtpTransport(const FtpEndpoint& endpoint, const FtpTimeouts& timeouts)
    : m_endpoint(endpoint), m_timeouts(timeouts) {
    initCurlOnce();
}

FtpTransport::~FtpTransport() {
    close();
}

bool FtpTransport::ensureHandles() {
    if (m_easy)
        return true;
    m_multi.reset(curl_multi_init());
    m_easy.reset(curl_easy_init());
    if (!m_multi || !m_easy) {
        recordFailure(CURLE_FAILED_INIT, nullptr);
        return false;
    }
    applyCommonOptions();
    return true;
}

void FtpTransport::applyCommonOptions() {
    CURL* e = m_easy.get();
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(e, CURLOPT_USERNAME, m_endpoint.user.constData());
    curl_easy_setopt(e, CURLOPT_PASSWORD, m_endpoint.password.constData());
    // libcurl's connect time-out covers the logon too; the TCP connect itself is bounded by
    // connectMs in connectControl(), the logon's replies by the response time-out.
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                     long(m_timeouts.connectMs) + 4L * m_timeouts.responseSeconds * 1000);
    curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_timeouts.responseSeconds));
    curl_easy_setopt(e, CURLOPT_ACCEPTTIMEOUT_MS, long(m_timeouts.responseSeconds) * 1000);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, long(m_timeouts.stallSeconds));
    // Paths are always absolute and sent whole: libcurl never changes the server's directory,
    // so the CWD of SetServerDir stays exactly what the server made of it.
    curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(e, CURLOPT_FTP_USE_EPSV, 1L);
    curl_easy_setopt(e, CURLOPT_FTP_USE_EPRT, 1L);
    curl_easy_setopt(e, CURLOPT_FTP_SKIP_PASV_IP, 1L);
    curl_easy_setopt(e, CURLOPT_FTPPORT, m_endpoint.passive ? nullptr : "-");
    if (m_endpoint.proxyMode == 1)
        curl_easy_setopt(e, CURLOPT_PROXY, "");
    else if (m_endpoint.proxyMode == 2)
        curl_easy_setopt(e, CURLOPT_PROXY, m_endpoint.proxyName.constData());
    // An FTP session through an HTTP proxy needs a tunnel; without a proxy this does nothing.
    curl_easy_setopt(e, CURLOPT_HTTPPROXYTUNNEL, 1L);
    applySecurityOptions(e, m_endpoint);
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, 256L * 1024);
    curl_easy_setopt(e, CURLOPT_UPLOAD_BUFFERSIZE, 256L * 1024);
    curl_easy_setopt(e, CURLOPT_VERBOSE, 1L); // the debug callback reads the server's replies
    curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &Callbacks::debugCallback);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Callbacks::writeCallback);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_READFUNCTION, &Callbacks::readCallback);
    curl_easy_setopt(e, CURLOPT_READDATA, this);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Callbacks::progressCallback);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, &Callbacks::openSocketCallback);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(e, CURLOPT_SOCKOPTFUNCTION, &Callbacks::socketOptionCallback);
    curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &Callbacks::closeSocketCallback);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, this);
}

void FtpTransport::applySecurityOptions(CURL* e, const FtpEndpoint& endpoint) {
    if (endpoint.protocol != ProtocolFtps)
        return;
    // Explicit TLS: AUTH TLS first, and the control and every data connection encrypted; a
    // server that refuses ends the logon before the password is sent.
    curl_easy_setopt(e, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(e, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
    curl_easy_setopt(e, CURLOPT_CERTINFO, 1L);
    if (!endpoint.pinnedKey.isEmpty()) {
        // A certificate the user trusted is checked by its key, in the handshake.
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(e, CURLOPT_PINNEDPUBLICKEY, endpoint.pinnedKey.constData());
    }
}

namespace {

PeerCertificate certificateOf(CURL* easy) {
    PeerCertificate c;
    curl_certinfo* info = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_CERTINFO, &info) != CURLE_OK || !info ||
        info->num_of_certs < 1)
        return c;
    for (curl_slist* item = info->certinfo[0]; item; item = item->next) {
        const QByteArray line(item->data);
        const qsizetype colon = line.indexOf(':');
        const QByteArray key = line.left(colon);
        const QString value = QString::fromUtf8(line.mid(colon + 1)).trimmed();
        if (key == "Subject")
            c.subject = value;
        else if (key == "Issuer")
            c.issuer = value;
        else if (key == "Start date")
            c.notBefore = PeerCertificate::localDate(value);
        else if (key == "Expire date")
            c.notAfter = PeerCertificate::localDate(value);
        else if (key == "Cert")
            c.der = PeerCertificate::derOfPem(line.mid(colon + 1));
    }
    return c;
}

} // namespace

PeerCertificate FtpTransport::certificate() const {
    return m_easy ? certificateOf(m_easy.get()) : PeerCertificate();
}

PeerCertificate FtpTransport::probeCertificate(const FtpEndpoint& endpoint,
                                               const FtpTimeouts& timeouts) {
    initCurlOnce();
    const CurlEasy handle(curl_easy_init());
    CURL* e = handle.get();
    if (!e)
        return {};
    FtpEndpoint probe = endpoint;
    probe.pinnedKey.clear();
    probe.user = "anonymous";
    probe.password.clear();
    const QByteArray url = urlFor(probe, "/");
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_USERNAME, "anonymous");
    curl_easy_setopt(e, CURLOPT_PASSWORD, "");
    curl_easy_setopt(e, CURLOPT_CONNECT_ONLY, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                     long(timeouts.connectMs) + 1000L * timeouts.responseSeconds);
    curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(timeouts.responseSeconds));
    if (endpoint.proxyMode == 1)
        curl_easy_setopt(e, CURLOPT_PROXY, "");
    else if (endpoint.proxyMode == 2)
        curl_easy_setopt(e, CURLOPT_PROXY, endpoint.proxyName.constData());
    curl_easy_setopt(e, CURLOPT_HTTPPROXYTUNNEL, 1L);
    applySecurityOptions(e, probe);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 0L);
    (void)curl_easy_perform(e); // the logon may fail: the handshake before it is what counts
    return certificateOf(e);
}

QByteArray FtpTransport::urlFor(const FtpEndpoint& endpoint, const QByteArray& path) {
    QByteArray host = endpoint.host;
    if (host.contains(':') && !host.startsWith('['))
        host = '[' + host + ']';
    // Every byte but letters, digits and "-._~" is escaped, so no name can be mistaken for URL
    // syntax (";type=", "?", "#", "%").
    const QByteArray absolute = path.startsWith('/') ? path : '/' + path;
    // The whole path, slashes included, is escaped: "%2F" first makes it absolute.
    return "ftp://" + host + ':' + QByteArray::number(endpoint.port) + '/' +
           absolute.toPercentEncoding();
}

Result<> FtpReply::failure() const {
    return Result<>::failed(fromCp932(text), code);
}

Result<> replyOutcome(const Result<FtpReply>& reply) {
    if (!reply.ok())
        return Result<>::from(reply);
    return reply->isError() ? reply->failure() : Result<>::done();
}

Result<> FtpTransport::outcome(bool ok) const {
    return ok ? Result<>::done() : Result<>::failed(m_errorText, m_errorCode);
}

Result<> FtpTransport::transferOutcome(bool ok) const {
    if (ok)
        return Result<>::done();
    if (m_cancelled)
        return Result<>::cancelled();
    return Result<>::failed(m_localWriteFailed ? QString() : m_errorText, m_errorCode);
}

Result<> FtpTransport::logOn() {
    close();
    m_connectionLost = false;
    if (!ensureHandles())
        return outcome(false);
    CurlList quote;
    appendTo(quote, "*FEAT");
    Request request;
    request.quote = quote.get();
    m_allowControlConnect = true;
    bool ok = perform(request);
    m_allowControlConnect = false;
    if (!ok) {
        close();
        return outcome(false);
    }
    char* entry = nullptr;
    curl_easy_getinfo(m_easy.get(), CURLINFO_FTP_ENTRY_PATH, &entry);
    m_entryPath = entry && *entry ? QByteArray(entry) : QByteArray("/");
    m_offersMlsd = false;
    for (const FtpReply& reply : m_replies) {
        if (reply.code != 211)
            continue;
        for (const QByteArray& line : reply.text.split('\n')) {
            if (line.trimmed().toUpper().startsWith("MLST"))
                m_offersMlsd = true;
        }
    }
    return Result<>::done();
}

void FtpTransport::close() {
    if (!m_easy)
        return;
    if (isOpen() && !m_connectionLost) {
        // A polite goodbye, bounded so that a silent server cannot hold the caller.
        int saved = m_timeouts.responseSeconds;
        m_timeouts.responseSeconds = qMin(5, saved);
        FtpReply ignored;
        sendCommand("QUIT", &ignored);
        m_timeouts.responseSeconds = saved;
    }
    // Whatever libcurl still wants to say on this socket fails at once instead of waiting.
    if (m_controlSocket >= 0)
        ::shutdown(m_controlSocket, SHUT_RDWR);
    m_easy.reset();
    m_multi.reset();
    m_controlSocket = -1;
}

Result<FtpReply> FtpTransport::command(const QByteArray& line) {
    FtpReply reply;
    if (!sendCommand(line, &reply))
        return Result<FtpReply>::from(outcome(false));
    return reply;
}

bool FtpTransport::sendCommand(const QByteArray& line, FtpReply* reply) {
    *reply = FtpReply();
    if (!isOpen()) {
        m_connectionLost = true;
        recordFailure(CURLE_COULDNT_CONNECT, nullptr);
        return false;
    }
    // The leading '*' makes libcurl go on after a refusal: the caller judges the reply.
    CurlList quote;
    appendTo(quote, '*' + line);
    Request request;
    request.quote = quote.get();
    bool ok = perform(request);
    if (!ok)
        return false;
    if (m_replies.empty()) {
        recordFailure(CURLE_GOT_NOTHING, nullptr);
        return false;
    }
    *reply = m_replies.back();
    if (reply->isError()) {
        m_errorCode = reply->code;
        m_errorText = fromCp932(reply->text);
    }
    return true;
}

Result<> FtpTransport::retrieve(const QByteArray& path, bool ascii, const Sink& sink) {
    Request request;
    request.kind = Kind::Retrieve;
    request.path = path;
    request.ascii = ascii;
    request.sink = &sink;
    // Text sizes are not comparable (line ends change on the way), so only binary transfers
    // are held against what the server announced.
    const bool ok = perform(request) && (ascii || receivedAsAnnounced());
    return transferOutcome(ok);
}

bool FtpTransport::receivedAsAnnounced() {
    for (qint64 announced : m_announcedSizes) {
        if (announced != m_received) {
            m_errorCode = CURLE_PARTIAL_FILE;
            m_errorText = QStringLiteral("サーバが知らせた大きさ(%1 バイト)と受信したデータ(%2 "
                                         "バイト)が異なる為、受信出来ませんでした。")
                              .arg(announced)
                              .arg(m_received);
            return false;
        }
    }
    return true;
}

Result<> FtpTransport::store(const QByteArray& path, bool ascii, qint64 size,
                             const Source& source) {
    Request request;
    request.kind = Kind::Store;
    request.path = path;
    request.ascii = ascii;
    request.size = size;
    request.source = &source;
    const bool ok = perform(request);
    return transferOutcome(ok);
}

Result<> FtpTransport::list(const QByteArray& directory, const QByteArray& verb, const Sink& sink) {
    Request request;
    request.kind = Kind::Listing;
    request.path = directory.endsWith('/') ? directory : directory + '/';
    request.verb = verb;
    request.sink = &sink;
    const bool ok = perform(request);
    return outcome(ok);
}

bool FtpTransport::perform(const Request& request) {
    if (m_request) {
        // Called again from the event loop while an operation runs: refused, not nested.
        m_errorCode = CURLE_AGAIN;
        m_errorText = QStringLiteral("別の操作を実行中です。");
        return false;
    }
    m_replies.clear();
    m_partial = FtpReply();
    m_errorCode = 0;
    m_errorText.clear();
    m_cancelled = false;
    m_localWriteFailed = false;
    m_loggedOnAgain = false;
    m_connectTimedOut = false;
    m_errorBuffer[0] = 0;
    m_lastVerb.clear();
    m_announcedSizes.clear();
    m_received = 0;
    if (!m_allowControlConnect && !isOpen()) {
        m_connectionLost = true;
        recordFailure(CURLE_COULDNT_CONNECT, nullptr);
        return false;
    }
    if (!ensureHandles())
        return false;

    CURL* e = m_easy.get();
    bool body = request.kind != Kind::Commands;
    QByteArray url =
        urlFor(m_endpoint, request.kind == Kind::Commands ? QByteArray("/") : request.path);
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_NOBODY, body ? 0L : 1L);
    curl_easy_setopt(e, CURLOPT_UPLOAD, request.kind == Kind::Store ? 1L : 0L);
    // The data type is set by a command of our own right before each transfer, with libcurl
    // kept in binary: text then passes unchanged in both directions, as the server sends it
    // (libcurl would turn CR LF into LF), and libcurl's idea of the type never goes stale.
    CurlList type;
    if (request.kind == Kind::Retrieve || request.kind == Kind::Store)
        appendTo(type, request.ascii ? "TYPE A" : "TYPE I");
    // libcurl would stop reading at the size the server announced and call a longer file
    // complete. It reads every download to the end of its data connection instead, and the
    // announced size is asked for (SIZE, binary only: servers refuse it in text mode) and
    // held against what came, by retrieve().
    if (request.kind == Kind::Retrieve && !request.ascii)
        appendTo(type, "*SIZE " + request.path);
    curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(e, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(e, CURLOPT_PREQUOTE, type.get());
    curl_easy_setopt(e, CURLOPT_QUOTE, request.quote);
    curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST,
                     request.kind == Kind::Listing ? request.verb.constData() : nullptr);
    curl_easy_setopt(e, CURLOPT_INFILESIZE_LARGE,
                     curl_off_t(request.kind == Kind::Store ? request.size : -1));
    curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_timeouts.responseSeconds));

    m_request = &request;
    bool ok = runTransfer();
    m_request = nullptr;
    // The lists go with this call: libcurl must not keep pointers to them.
    curl_easy_setopt(e, CURLOPT_PREQUOTE, nullptr);
    curl_easy_setopt(e, CURLOPT_QUOTE, nullptr);
    return ok;
}

bool FtpTransport::runTransfer() {
    curl_multi_add_handle(m_multi.get(), m_easy.get());
    int running = 1;
    CURLcode result = CURLE_OK;
    bool finished = false;
    while (!finished) {
        const quint64 before = m_activity;
        CURLMcode mc = curl_multi_perform(m_multi.get(), &running);
        if (mc != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(m_multi.get(), &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == m_easy.get()) {
                result = msg->data.result;
                finished = true;
            }
        }
        if (finished || !running)
            break;
        pumpEvents();
        // Something happened (a reply came, data moved): libcurl may be able to go on at
        // once, for instance to connect the data connection after EPSV, without any socket
        // or timer telling so. Otherwise wait for the sockets, never longer than it takes to
        // keep windows painting.
        if (m_activity == before)
            curl_multi_poll(m_multi.get(), nullptr, 0, 20, nullptr);
    }

    if (m_allowControlConnect && result == CURLE_OK) {
        curl_socket_t active = CURL_SOCKET_BAD;
        curl_easy_getinfo(m_easy.get(), CURLINFO_ACTIVESOCKET, &active);
        m_controlSocket = active;
    }
    curl_multi_remove_handle(m_multi.get(), m_easy.get());

    if (m_loggedOnAgain && result == CURLE_OK)
        result = CURLE_RECV_ERROR;
    if (result == CURLE_OK)
        return true;
    recordFailure(result, m_errorBuffer);
    return false;
}

void FtpTransport::pumpEvents() {
    m_pump.turn();
}

void FtpTransport::recordFailure(int curlCode, const char* detail) {
    if (m_cancelled) {
        m_errorCode = curlCode;
        m_errorText = QStringLiteral("転送が中止されました。");
        return;
    }
    if (m_connectTimedOut) {
        m_errorCode = CURLE_OPERATION_TIMEDOUT;
        m_errorText = transportText(CURLE_OPERATION_TIMEDOUT);
        return;
    }
    if (m_connectionLost) {
        m_errorCode = curlCode;
        m_errorText = QStringLiteral("サーバとの接続が切断されました。");
        return;
    }
    // A server without TLS answers AUTH with a refusal of its own; our text says what failed.
    if (curlCode == CURLE_USE_SSL_FAILED) {
        m_errorCode = curlCode;
        m_errorText = transportText(curlCode);
        if (!m_replies.empty() && m_replies.back().isError())
            m_errorText += QStringLiteral(" (") + fromCp932(m_replies.back().text) + u')';
        return;
    }
    // A refusal that ended the operation says most: it wins over libcurl's view of the
    // failure. An earlier refusal that libcurl worked around (EPSV, SIZE) is not the cause.
    if (!m_replies.empty() && m_replies.back().isError()) {
        m_errorCode = m_replies.back().code;
        m_errorText = fromCp932(m_replies.back().text);
        return;
    }
    m_errorCode = curlCode;
    QString text = transportText(curlCode);
    QString libcurlText =
        QString::fromUtf8(detail && *detail ? detail : curl_easy_strerror(CURLcode(curlCode)));
    m_errorText = text.isEmpty() ? libcurlText : text + QStringLiteral(" (") + libcurlText + u')';
}

int FtpTransport::Callbacks::debugCallback(CURL*, curl_infotype type, char* data, size_t size,
                                           void* self) {
    auto* t = static_cast<FtpTransport*>(self);
    if (type == CURLINFO_HEADER_IN || type == CURLINFO_HEADER_OUT)
        ++t->m_activity;
    static const bool trace = qEnvironmentVariableIsSet("VANTORPAD_FTP_TRACE");
    if (trace && type <= CURLINFO_HEADER_OUT) {
        QByteArray text(data, qsizetype(size));
        if (text.startsWith("PASS "))
            text = "PASS ********\r\n"; // never the password, not even in a trace
        static const char* const marks[] = {"* ", "< ", "> "};
        std::fprintf(stderr, "%s%s", marks[type], text.constData());
    }
    if (type == CURLINFO_DATA_IN && t->takesRawListing()) {
        // libcurl reads a listing in ASCII and turns every CR, a CR inside a name too, into a
        // line feed before the write callback sees it; here the bytes are still as they came.
        t->m_received += qint64(size);
        if (!t->m_localWriteFailed && !(*t->m_request->sink)(data, qsizetype(size)))
            t->m_localWriteFailed = true; // the write callback ends the transfer
        return 0;
    }
    if (type == CURLINFO_HEADER_IN) {
        QByteArray chunk(data, qsizetype(size));
        for (QByteArray line : chunk.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (!line.isEmpty())
                t->takeReplyLine(line);
        }
    } else if (type == CURLINFO_HEADER_OUT) {
        t->m_partial = FtpReply(); // a new command: whatever was half-read belongs to nothing
        const QByteArray sent(data, qsizetype(size));
        t->m_lastVerb = sent.left(sent.indexOf(' ')).trimmed();
        if (!t->m_allowControlConnect && size > 5 && std::memcmp(data, "USER ", 5) == 0) {
            // Should libcurl ever log on again by itself, this is not the session the caller
            // opened: the operation is reported as failed, the connection as lost.
            t->m_loggedOnAgain = true;
            t->m_connectionLost = true;
        }
    }
    return 0;
}

void FtpTransport::takeReplyLine(const QByteArray& line) {
    // Replies are kept short: a server may send lines of any length, the user reads 1 KiB.
    constexpr qsizetype keep = 1023;
    bool hasCode = line.size() >= 3 && std::isdigit(uchar(line[0])) &&
                   std::isdigit(uchar(line[1])) && std::isdigit(uchar(line[2]));
    int code = hasCode ? line.left(3).toInt() : 0;
    if (m_partial.code == 0) {
        if (!hasCode)
            return; // noise outside any reply
        m_partial.code = code;
        m_partial.text = line.left(keep);
    } else if (m_partial.text.size() < keep) {
        m_partial.text += '\n' + line.left(keep - m_partial.text.size() - 1);
    }
    bool last = hasCode && code == m_partial.code && (line.size() == 3 || line[3] != '-');
    if (last) {
        noteAnnouncedSize(m_partial);
        m_replies.push_back(m_partial);
        m_partial = FtpReply();
    }
}

void FtpTransport::noteAnnouncedSize(const FtpReply& reply) {
    if (!m_request || m_request->kind != Kind::Retrieve)
        return;
    std::optional<qint64> size;
    if (m_lastVerb == "SIZE")
        size = sizeOfSizeReply(reply);
    else if (m_lastVerb == "RETR")
        size = sizeOfOpeningReply(reply);
    if (size)
        m_announcedSizes.push_back(*size);
}

size_t FtpTransport::Callbacks::writeCallback(char* data, size_t size, size_t count, void* self) {
    auto* t = static_cast<FtpTransport*>(self);
    ++t->m_activity;
    // A fast server fills one turn of the loop with many megabytes: the window gets its turn
    // between the blocks too (a call into the busy client meanwhile fails at once).
    t->pumpEvents();
    size_t bytes = size * count;
    if (t->takesRawListing())
        return t->m_localWriteFailed ? 0 : bytes; // read by the debug callback
    if (!t->m_request || !t->m_request->sink)
        return bytes;
    t->m_received += qint64(bytes);
    if (!(*t->m_request->sink)(data, qsizetype(bytes))) {
        t->m_localWriteFailed = true;
        return 0; // libcurl ends the transfer with a write error
    }
    return bytes;
}

size_t FtpTransport::Callbacks::readCallback(char* buffer, size_t size, size_t count, void* self) {
    auto* t = static_cast<FtpTransport*>(self);
    if (!t->m_request || !t->m_request->source)
        return 0;
    qint64 n = (*t->m_request->source)(buffer, qint64(size * count));
    if (n < 0) {
        t->m_localWriteFailed = true;
        return CURL_READFUNC_ABORT;
    }
    return size_t(n);
}

int FtpTransport::Callbacks::progressCallback(void* self, curl_off_t dltotal, curl_off_t dlnow,
                                              curl_off_t ultotal, curl_off_t ulnow) {
    auto* t = static_cast<FtpTransport*>(self);
    if (!t->m_progress || !t->m_request)
        return 0;
    qint64 done = 0;
    qint64 total = 0;
    if (t->m_request->kind == Kind::Store) {
        done = ulnow;
        total = t->m_request->size >= 0 ? t->m_request->size : ultotal;
    } else if (t->m_request->kind == Kind::Retrieve) {
        done = dlnow;
        // libcurl is not told the size (it would stop reading there): the announced one shows.
        total = dltotal > 0 || t->m_announcedSizes.empty() ? dltotal : t->m_announcedSizes.front();
    } else {
        return 0;
    }
    if (!t->m_progress(done, total)) {
        t->m_cancelled = true;
        return 1;
    }
    return 0;
}

curl_socket_t FtpTransport::Callbacks::openSocketCallback(void* self, curlsocktype purpose,
                                                          curl_sockaddr* address) {
    auto* t = static_cast<FtpTransport*>(self);
    // A control connection is made only by logOn; a lost one is never replaced behind the
    // caller's back (data connections are opened while the control connection stands).
    if (purpose == CURLSOCKTYPE_IPCXN && t->m_controlSocket < 0 && !t->m_allowControlConnect) {
        t->m_connectionLost = true;
        return CURL_SOCKET_BAD;
    }
    if (purpose == CURLSOCKTYPE_IPCXN && t->m_allowControlConnect && t->m_controlSocket < 0)
        return t->connectControl(address);
    return ::socket(address->family, address->socktype, address->protocol);
}

int FtpTransport::connectControl(const curl_sockaddr* address) {
    int fd = ::socket(address->family, address->socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                      address->protocol);
    if (fd < 0)
        return CURL_SOCKET_BAD;
    int rc = ::connect(fd, &address->addr, address->addrlen);
    if (rc != 0 && errno == EINPROGRESS) {
        QElapsedTimer clock;
        clock.start();
        pollfd p{fd, POLLOUT, 0};
        while ((rc = ::poll(&p, 1, 20)) == 0 && clock.elapsed() < m_timeouts.connectMs)
            pumpEvents();
        if (rc == 0) {
            m_connectTimedOut = true;
            ::close(fd);
            return CURL_SOCKET_BAD;
        }
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        rc = (rc > 0 && error == 0) ? 0 : -1;
    }
    if (rc != 0) {
        ::close(fd);
        return CURL_SOCKET_BAD;
    }
    m_preconnected = fd;
    return fd;
}

int FtpTransport::Callbacks::socketOptionCallback(void* self, curl_socket_t socket, curlsocktype) {
    auto* t = static_cast<FtpTransport*>(self);
    return socket == t->m_preconnected ? CURL_SOCKOPT_ALREADY_CONNECTED : CURL_SOCKOPT_OK;
}

int FtpTransport::Callbacks::closeSocketCallback(void* self, curl_socket_t socket) {
    auto* t = static_cast<FtpTransport*>(self);
    if (socket == t->m_controlSocket)
        t->m_controlSocket = -1;
    if (socket == t->m_preconnected)
        t->m_preconnected = -1;
    return ::close(socket);
}
