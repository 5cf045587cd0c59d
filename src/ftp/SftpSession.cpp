#include "ftp/SftpSession.h"

#include "ftp/FtpNames.h"
#include "ftp/ServerTrust.h"
#include "ftp/SshAuthentication.h"
#include "platform/Prompt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Reads of a download in flight at once, and the size of each: enough to keep the connection
// busy while the server answers, little enough to stay below every server's read limit.
constexpr int ReadsInFlight = 32;
constexpr uint32_t ReadSize = 64 * 1024;
// A write of an upload waits for its answer (libssh 0.10 has no writes in flight), so a write
// is as large as the server takes: OpenSSH's server (which tells its limits) takes 255 KiB;
// every server takes 32 KiB.
constexpr qint64 LargeWriteSize = 240 * 1024;
constexpr qint64 WriteSize = 32 * 1024;

QString fromServer(const char* text) {
    return QString::fromUtf8(text ? text : "");
}

// The TCP connection to the first of the host's addresses that answers within `timeoutMs`.
int connectWithin(const QByteArray& host, int port, int timeoutMs, QString* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray service = QByteArray::number(port);
    if (const int rc = getaddrinfo(host.constData(), service.constData(), &hints, &found)) {
        *error = QStringLiteral("サーバ %1 が見つかりません。(%2)")
                     .arg(QString::fromUtf8(host), QString::fromUtf8(gai_strerror(rc)));
        return -1;
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, &freeaddrinfo);
    int lastErrno = ETIMEDOUT;
    for (addrinfo* a = found; a; a = a->ai_next) {
        const int fd =
            socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        int rc = ::connect(fd, a->ai_addr, a->ai_addrlen);
        if (rc < 0 && errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            rc = poll(&p, 1, timeoutMs) == 1 ? 0 : -1;
            int soError = ETIMEDOUT;
            socklen_t length = sizeof soError;
            if (rc == 0 && (getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length) < 0 || soError))
                rc = -1;
            errno = soError;
        }
        if (rc == 0) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            // The requests of a pipelined transfer are small packets: Nagle's wait for the
            // server's acknowledgement would hold each of them (and halve the throughput).
            const int yes = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            return fd;
        }
        lastErrno = errno;
        ::close(fd);
    }
    *error = QStringLiteral("サーバに接続出来ませんでした。(%1)")
                 .arg(QString::fromLocal8Bit(strerror(lastErrno)));
    return -1;
}

QByteArray optionText(ssh_session session, ssh_options_e option) {
    char* value = nullptr;
    if (ssh_options_get(session, option, &value) != SSH_OK || !value)
        return {};
    const SshText owner(value);
    return QByteArray(value);
}

} // namespace

SftpSession::SftpSession(SshEndpoint endpoint, const FtpTimeouts& timeouts, ServerTrust& trust)
    : m_endpoint(std::move(endpoint)), m_timeouts(timeouts), m_trust(trust) {
    if (m_endpoint.sshDirectory.isEmpty())
        m_endpoint.sshDirectory = defaultSshDirectory();
}

SftpSession::~SftpSession() {
    close();
    m_endpoint.password.fill('\0');
}

QString SftpSession::defaultSshDirectory() {
    return QDir::home().filePath(QStringLiteral(".ssh"));
}

Result<QByteArray> SftpSession::logOn() {
    close();
    if (!m_endpoint.keyFile.isEmpty() && !QFileInfo(m_endpoint.keyFile).isFile())
        return Result<QByteArray>::refused(
            QStringLiteral("秘密鍵ファイル %1 が見つかりません。\n"
                           "オプション設定のサーバ設定を確認して下さい。")
                .arg(m_endpoint.keyFile));
    m_ssh.reset(ssh_new());
    if (!m_ssh)
        return Result<QByteArray>::failed(QStringLiteral("SSH の準備が出来ませんでした。"));
    for (auto step : {&SftpSession::configure, &SftpSession::connect, &SftpSession::checkHostKey}) {
        if (const Result<void> r = (this->*step)(); !r.ok()) {
            close();
            return Result<QByteArray>::from(r);
        }
    }
    SshAuthentication authentication(m_ssh.get(), m_endpoint.password, m_endpoint.keyFile);
    const Result<void> loggedOn =
        authentication.run(QString::fromUtf8(serverName()), QString::fromUtf8(m_user));
    if (!loggedOn.ok()) {
        close();
        return Result<QByteArray>::from(loggedOn);
    }
    if (const Result<void> r = openSftp(); !r.ok()) {
        close();
        return Result<QByteArray>::from(r);
    }
    return m_current;
}

Result<void> SftpSession::configure() {
    ssh_session s = m_ssh.get();
    const QDir sshDir(m_endpoint.sshDirectory);
    const QByteArray dir = QFile::encodeName(sshDir.path());
    const QByteArray knownHosts = QFile::encodeName(sshDir.filePath(QStringLiteral("known_hosts")));
    const QByteArray ownKnownHosts = QFile::encodeName(m_trust.knownHostsPath());
    const long timeout = m_timeouts.responseSeconds;
    // Only the user's config file counts, read below: libssh would read the one of the HOME
    // it finds in the password database, and the system's.
    const int no = 0;
    ssh_options_set(s, SSH_OPTIONS_PROCESS_CONFIG, &no);
    ssh_options_set(s, SSH_OPTIONS_SSH_DIR, dir.constData());
    ssh_options_set(s, SSH_OPTIONS_HOST, m_endpoint.host.constData());
    if (m_endpoint.port > 0 && m_endpoint.port != 22)
        ssh_options_set(s, SSH_OPTIONS_PORT, &m_endpoint.port);
    if (!m_endpoint.user.isEmpty())
        ssh_options_set(s, SSH_OPTIONS_USER, m_endpoint.user.constData());
    ssh_options_set(s, SSH_OPTIONS_KNOWNHOSTS, knownHosts.constData());
    ssh_options_set(s, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, ownKnownHosts.constData());
    ssh_options_set(s, SSH_OPTIONS_TIMEOUT, &timeout);
    const QString config = sshDir.filePath(QStringLiteral("config"));
    if (QFileInfo::exists(config) &&
        ssh_options_parse_config(s, QFile::encodeName(config).constData()) != SSH_OK)
        return Result<void>::failed(
            QStringLiteral("%1 を読み取れませんでした。書式を確認して下さい。\n(%2)")
                .arg(config, fromServer(ssh_get_error(s))));
    // Whatever the config file said, the program's own checks stand.
    ssh_options_set(s, SSH_OPTIONS_KNOWNHOSTS, knownHosts.constData());
    ssh_options_set(s, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, ownKnownHosts.constData());
    ssh_options_set(s, SSH_OPTIONS_TIMEOUT, &timeout);
    unsigned int port = 22;
    ssh_options_get_port(s, &port);
    m_port = int(port);
    m_host = optionText(s, SSH_OPTIONS_HOST);
    m_user = optionText(s, SSH_OPTIONS_USER);
    return Result<void>::done();
}

Result<void> SftpSession::connect() {
    ssh_session s = m_ssh.get();
    // A proxy command (ProxyJump) makes its own way; otherwise the TCP connect is ours, so that
    // an unreachable server costs the connect time-out and no more.
    if (optionText(s, SSH_OPTIONS_PROXYCOMMAND).isEmpty()) {
        QString error;
        const int fd = connectWithin(m_host, m_port, m_timeouts.connectMs, &error);
        if (fd < 0)
            return Result<void>::failed(error);
        // libssh uses a socket it was given but leaves closing it to us (close()).
        m_socket = fd;
        ssh_options_set(s, SSH_OPTIONS_FD, &fd);
    }
    if (ssh_connect(s) != SSH_OK)
        return Result<void>::failed(QStringLiteral("SSH の接続が出来ませんでした。\n(%1)")
                                        .arg(fromServer(ssh_get_error(s))));
    return Result<void>::done();
}

Result<void> SftpSession::checkHostKey() {
    ssh_session s = m_ssh.get();
    ssh_key raw = nullptr;
    if (ssh_get_server_publickey(s, &raw) != SSH_OK)
        return Result<void>::failed(fromServer(ssh_get_error(s)));
    const SshKeyHandle key(raw);
    char* base64 = nullptr;
    if (ssh_pki_export_pubkey_base64(key.get(), &base64) != SSH_OK)
        return Result<void>::failed(fromServer(ssh_get_error(s)));
    const SshText owner(base64);
    const QByteArray blob = QByteArray::fromBase64(base64);
    const QString server = QString::fromUtf8(serverName());
    switch (ssh_session_is_known_server(s)) {
    case SSH_KNOWN_HOSTS_OK:
        return Result<void>::done();
    case SSH_KNOWN_HOSTS_CHANGED:
    case SSH_KNOWN_HOSTS_OTHER:
        m_trust.warnHostKeyChanged(server, blob);
        return Result<void>::refused();
    case SSH_KNOWN_HOSTS_UNKNOWN:
    case SSH_KNOWN_HOSTS_NOT_FOUND:
        break;
    case SSH_KNOWN_HOSTS_ERROR:
        return Result<void>::failed(fromServer(ssh_get_error(s)));
    }
    if (m_trust.trustedThisSession(serverName(), blob))
        return Result<void>::done();
    const TrustChoice choice = ServerTrust::askHostKey(server, blob);
    if (choice == TrustChoice::Cancel)
        return Result<void>::cancelled();
    if (!m_trust.trustHostKey(serverName(), blob, choice))
        Prompt::error(QStringLiteral("信頼したホスト鍵を %1 に保存出来ませんでした。\n"
                                     "このホスト鍵は今回のみ信頼します。")
                          .arg(m_trust.knownHostsPath()));
    return Result<void>::done();
}

Result<void> SftpSession::openSftp() {
    m_sftp.reset(sftp_new(m_ssh.get()));
    if (!m_sftp || sftp_init(m_sftp.get()) != SSH_OK) {
        const QString detail = fromServer(ssh_get_error(m_ssh.get()));
        m_sftp.reset();
        return Result<void>::failed(
            QStringLiteral("サーバの SFTP を開始出来ませんでした。\n(%1)").arg(detail));
    }
    const SshText home(sftp_canonicalize_path(m_sftp.get(), "."));
    m_current = home ? QByteArray(home.get()) : QByteArray("/");
    return Result<void>::done();
}

void SftpSession::close() {
    m_sftp.reset();
    m_ssh.reset();
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}

QByteArray SftpSession::absolute(const QByteArray& path) const {
    const QByteArray joined = FtpNames::join(m_current, path);
    QByteArray clean = QDir::cleanPath(QString::fromLatin1(joined)).toLatin1();
    return clean.isEmpty() ? QByteArray("/") : clean;
}

Result<void> SftpSession::ready() const {
    if (m_sftp)
        return Result<void>::done();
    return Result<void>::refused(QStringLiteral("サーバとの接続が切断されました。"));
}

Result<void> SftpSession::failure(const QString& fallback) const {
    const int status = m_sftp ? sftp_get_error(m_sftp.get()) : SSH_FX_OK;
    return lostOrRefused(status, fallback);
}

Result<void> SftpSession::lostOrRefused(int sftpStatus, const QString& fallback) const {
    const QString detail = m_ssh ? fromServer(ssh_get_error(m_ssh.get())) : QString();
    if (!m_ssh || !ssh_is_connected(m_ssh.get()))
        return Result<void>::failed(QStringLiteral("サーバとの接続が切断されました。") +
                                        (detail.isEmpty() ? QString() : u'\n' + detail),
                                    sftpStatus);
    // The server's status message, as it gave it ("SFTP server: No such file").
    return Result<void>::failed(detail.isEmpty() ? fallback : detail, sftpStatus);
}

Result<QByteArray> SftpSession::changeDirectory(const QByteArray& directory) {
    if (const Result<void> r = ready(); !r.ok())
        return Result<QByteArray>::from(r);
    const QByteArray path = absolute(directory);
    // A directory is current when it can be listed, as an FTP server's CWD finds out.
    const SftpDirHandle dir(sftp_opendir(m_sftp.get(), path.constData()));
    if (!dir)
        return Result<QByteArray>::from(
            failure(QStringLiteral("サーバＤｉｒの指定が誤っています。")));
    m_current = path;
    return m_current;
}

Result<void> SftpSession::list(const QByteArray& path, const EntrySink& sink) {
    const BusyScope busy(*this);
    if (const Result<void> r = ready(); !r.ok())
        return r;
    const QByteArray directory = absolute(path);
    const SftpAttributesHandle self(sftp_stat(m_sftp.get(), directory.constData()));
    if (!self) {
        const int status = sftp_get_error(m_sftp.get());
        if (status == SSH_FX_NO_SUCH_FILE)
            return Result<void>::done(); // a name that is not there lists nothing
        return lostOrRefused(status, QStringLiteral("サーバの一覧を読み取れませんでした。"));
    }
    auto entryOf = [](const sftp_attributes_struct& a) {
        ListedEntry entry;
        entry.name = a.name;
        entry.directory = a.type == SSH_FILEXFER_TYPE_DIRECTORY;
        entry.size = entry.directory ? 0 : qint64(a.size);
        if (a.flags & SSH_FILEXFER_ATTR_ACMODTIME)
            entry.modified = ListingParser::localFromUtc(qint64(a.mtime));
        entry.attributes = entry.directory ? ListedEntry::Directory : ListedEntry::Normal;
        return entry;
    };
    if (self->type != SSH_FILEXFER_TYPE_DIRECTORY) {
        ListedEntry entry = entryOf(*self);
        entry.name = directory.mid(directory.lastIndexOf('/') + 1);
        sink(std::move(entry));
        return Result<void>::done();
    }
    const SftpDirHandle dir(sftp_opendir(m_sftp.get(), directory.constData()));
    if (!dir)
        return failure(QStringLiteral("サーバの一覧を読み取れませんでした。"));
    while (const SftpAttributesHandle a{sftp_readdir(m_sftp.get(), dir.get())}) {
        if (qstrcmp(a->name, ".") != 0 && qstrcmp(a->name, "..") != 0)
            sink(entryOf(*a));
        m_pump.turn();
    }
    if (!sftp_dir_eof(dir.get()))
        return failure(QStringLiteral("サーバの一覧を読み取れませんでした。"));
    return Result<void>::done();
}

Result<RemoteFileInfo> SftpSession::stat(const QByteArray& path) {
    if (const Result<void> r = ready(); !r.ok())
        return Result<RemoteFileInfo>::from(r);
    const SftpAttributesHandle a(sftp_stat(m_sftp.get(), absolute(path).constData()));
    if (!a)
        return Result<RemoteFileInfo>::from(
            failure(QStringLiteral("ファイルの情報を得られませんでした。")));
    RemoteFileInfo info;
    info.directory = a->type == SSH_FILEXFER_TYPE_DIRECTORY;
    if (a->flags & SSH_FILEXFER_ATTR_SIZE)
        info.size = qint64(a->size);
    if (a->flags & SSH_FILEXFER_ATTR_ACMODTIME)
        info.modified = qint64(a->mtime);
    return info;
}

void SftpSession::drain(sftp_file file, std::vector<int>& pending) const {
    QByteArray discard(ReadSize, Qt::Uninitialized);
    for (int id : pending) {
        if (sftp_async_read(file, discard.data(), ReadSize, uint32_t(id)) < 0)
            break;
    }
    pending.clear();
}

Result<qint64> SftpSession::retrieve(const QByteArray& path, TransferType, const Sink& sink) {
    const BusyScope busy(*this);
    if (const Result<void> r = ready(); !r.ok())
        return Result<qint64>::from(r);
    const SftpFileHandle file(sftp_open(m_sftp.get(), absolute(path).constData(), O_RDONLY, 0));
    if (!file)
        return Result<qint64>::from(failure(QStringLiteral("ファイルの受信が出来ませんでした。")));
    const SftpAttributesHandle attributes(sftp_fstat(file.get()));
    const qint64 total =
        attributes && (attributes->flags & SSH_FILEXFER_ATTR_SIZE) ? qint64(attributes->size) : 0;
    QByteArray buffer(ReadSize, Qt::Uninitialized);
    std::vector<int> pending; // request ids in the order they were sent
    qint64 done = 0;
    bool atEnd = false;
    auto fail = [&](const Result<void>& why) {
        drain(file.get(), pending);
        return Result<qint64>::from(why);
    };
    while (!atEnd || !pending.empty()) {
        while (!atEnd && int(pending.size()) < ReadsInFlight) {
            const int id = sftp_async_read_begin(file.get(), ReadSize);
            if (id < 0)
                return fail(failure(QStringLiteral("ファイルの受信が出来ませんでした。")));
            pending.push_back(id);
        }
        const int id = pending.front();
        pending.erase(pending.begin());
        const int n = sftp_async_read(file.get(), buffer.data(), ReadSize, uint32_t(id));
        if (n < 0)
            return fail(failure(QStringLiteral("ファイルの受信が出来ませんでした。")));
        if (n == 0) {
            atEnd = true;
            continue;
        }
        if (!sink(buffer.constData(), n))
            return fail(
                Result<void>::failed(QStringLiteral("PC側のファイルに書き込めませんでした。")));
        done += n;
        if (!progressed(done, total))
            return fail(Result<void>::cancelled());
        m_pump.turn();
        if (uint32_t(n) < ReadSize && !atEnd) {
            // A short piece moves everything after it: the reads in flight asked for the wrong
            // places, so they are let go and reading goes on right after what came.
            drain(file.get(), pending);
            sftp_seek64(file.get(), quint64(done));
        }
    }
    return done;
}

Result<qint64> SftpSession::store(const QByteArray& path, TransferType, qint64 size,
                                  const Source& source) {
    const BusyScope busy(*this);
    if (const Result<void> r = ready(); !r.ok())
        return Result<qint64>::from(r);
    const SftpFileHandle file(
        sftp_open(m_sftp.get(), absolute(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
    if (!file)
        return Result<qint64>::from(failure(QStringLiteral("ファイルの送信が出来ませんでした。")));
    const qint64 writeSize =
        sftp_extension_supported(m_sftp.get(), "limits@openssh.com", "1") ? LargeWriteSize
                                                                          : WriteSize;
    QByteArray buffer(writeSize, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        const qint64 got = source(buffer.data(), writeSize);
        if (got < 0)
            return Result<qint64>::failed(QStringLiteral("PC側のファイルを読み込めませんでした。"));
        if (got == 0)
            break;
        for (qint64 at = 0; at < got;) {
            const ssize_t n = sftp_write(file.get(), buffer.constData() + at, size_t(got - at));
            if (n <= 0)
                return Result<qint64>::from(
                    failure(QStringLiteral("ファイルの送信が出来ませんでした。")));
            at += n;
        }
        done += got;
        if (!progressed(done, size))
            return Result<qint64>::cancelled();
        m_pump.turn();
    }
    return done;
}

Result<void> SftpSession::rename(const QByteArray& from, const QByteArray& to) {
    if (const Result<void> r = ready(); !r.ok())
        return r;
    if (sftp_rename(m_sftp.get(), absolute(from).constData(), absolute(to).constData()) != SSH_OK)
        return failure(QStringLiteral("名前を変更出来ませんでした。"));
    return Result<void>::done();
}

Result<void> SftpSession::remove(const QByteArray& path) {
    if (const Result<void> r = ready(); !r.ok())
        return r;
    if (sftp_unlink(m_sftp.get(), absolute(path).constData()) != SSH_OK)
        return failure(QStringLiteral("ファイルを削除出来ませんでした。"));
    return Result<void>::done();
}

Result<void> SftpSession::makeDirectory(const QByteArray& path) {
    if (const Result<void> r = ready(); !r.ok())
        return r;
    if (sftp_mkdir(m_sftp.get(), absolute(path).constData(), 0755) != SSH_OK)
        return failure(QStringLiteral("ディレクトリを作成出来ませんでした。"));
    return Result<void>::done();
}

Result<void> SftpSession::removeDirectory(const QByteArray& path) {
    if (const Result<void> r = ready(); !r.ok())
        return r;
    if (sftp_rmdir(m_sftp.get(), absolute(path).constData()) != SSH_OK)
        return failure(QStringLiteral("ディレクトリを削除出来ませんでした。"));
    return Result<void>::done();
}
