#include "ftp/FtpSession.h"

#include "encoding/LosslessCodec.h"
#include "ftp/FtpNames.h"
#include "ftp/ListingStream.h"
#include "ftp/SecureLogOn.h"
#include "ftp/ServerFileStamp.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

// A name the server says it does not have (a 550 reply) is an answer, not a failure.
Result<void> notThere(const Result<void>& failure) {
    return failure.code() == 550 ? Result<void>::done() : failure;
}

// "YYYYMMDDhhmmss" of an MDTM answer, UTC, as seconds since 1970.
std::optional<qint64> secondsOfMdtm(const QByteArray& time) {
    const QDateTime at(
        QDate::fromString(QString::fromLatin1(time.left(8)), QStringLiteral("yyyyMMdd")),
        QTime::fromString(QString::fromLatin1(time.mid(8, 6)), QStringLiteral("HHmmss")),
        QTimeZone::utc());
    return at.isValid() ? std::optional<qint64>(at.toSecsSinceEpoch()) : std::nullopt;
}

} // namespace

FtpSession::FtpSession(const FtpEndpoint& endpoint, const FtpTimeouts& timeouts, ServerTrust& trust,
                       FtpListingMode mode)
    : m_endpoint(endpoint), m_timeouts(timeouts), m_trust(trust), m_mode(mode) {}

FtpSession::~FtpSession() {
    close();
    m_endpoint.password.fill('\0');
}

Result<QByteArray> FtpSession::logOn() {
    close();
    // A line break would end USER or PASS early and start another command.
    if (FtpNames::breaksCommandLine(m_endpoint.user) ||
        FtpNames::breaksCommandLine(m_endpoint.password))
        return Result<QByteArray>::failed();
    const auto progress = [this](qint64 done, qint64 total) { return progressed(done, total); };
    const Result<void> loggedOn =
        SecureLogOn(m_endpoint, m_timeouts, progress, m_trust).run(m_transport);
    if (!loggedOn.ok()) {
        m_transport.reset();
        return Result<QByteArray>::from(loggedOn);
    }
    m_current = m_transport->entryPath();
    return m_current;
}

void FtpSession::close() {
    if (m_transport)
        m_transport->close();
    m_transport.reset();
}

Result<void> FtpSession::ready() const {
    if (m_transport)
        return Result<void>::done();
    return Result<void>::refused(QStringLiteral("サーバとの接続が切断されました。"));
}

Result<void> FtpSession::readyFor(const QByteArray& path, bool emptyIsHere) const {
    if (const Result<void> r = ready(); !r.ok())
        return r;
    if ((path.isEmpty() && !emptyIsHere) || FtpNames::breaksCommandLine(path))
        return Result<void>::failed(FtpNames::unusableNameMessage());
    return Result<void>::done();
}

QByteArray FtpSession::absolute(const QByteArray& path) const {
    return FtpNames::join(m_current.isEmpty() ? QByteArray("/") : m_current, path);
}

Result<FtpReply> FtpSession::pathCommand(const QByteArray& verb, const QByteArray& path) {
    if (path.isEmpty() || FtpNames::breaksCommandLine(path))
        return Result<FtpReply>::failed(FtpNames::unusableNameMessage());
    const Result<FtpReply> reply = m_transport->command(verb + ' ' + absolute(path));
    if (const Result<void> outcome = replyOutcome(reply); !outcome.ok())
        return Result<FtpReply>::from(outcome);
    return reply;
}

Result<QByteArray> FtpSession::changeDirectory(const QByteArray& directory) {
    const BusyScope busy(*this);
    if (const Result<void> r = readyFor(directory, true); !r.ok())
        return Result<QByteArray>::from(r);
    if (const Result<void> changed = replyOutcome(m_transport->command("CWD " + directory));
        !changed.ok())
        return Result<QByteArray>::from(changed);
    // The server's own name for where it now is: relative names are taken from it.
    const Result<FtpReply> pwd = m_transport->command("PWD");
    QByteArray where;
    if (pwd.ok() && pwd->code == 257)
        where = FtpNames::directoryOfPwdReply(pwd->text);
    m_current = where.startsWith('/') ? where : absolute(directory);
    return m_current;
}

Result<void> FtpSession::streamListing(const QByteArray& path, bool mlsd, bool keepUnrecognised,
                                       const EntrySink& sink) {
    ListingStream stream(mlsd, keepUnrecognised);
    stream.setOutput(sink);
    const Result<void> read = m_transport->list(path, mlsd ? "MLSD" : "LIST",
                                                [&stream](const char* data, qsizetype size) {
                                                    stream.feed(data, size);
                                                    return true;
                                                });
    if (stream.droppedLines() > 0)
        note(toCp932(QStringLiteral("★★★GetServerFileList %1 lines longer than %2 bytes dropped")
                         .arg(stream.droppedLines())
                         .arg(ListingStream::MaxLineBytes)));
    if (read.ok())
        stream.finish(); // a last line without its line end
    return read;
}

Result<void> FtpSession::list(const QByteArray& path, const EntrySink& sink) {
    const BusyScope busy(*this);
    if (const Result<void> r = readyFor(path, true); !r.ok())
        return r;
    // The raw-listing switch asks for the server's own LIST text even where MLSD is offered.
    bool mlsd = m_transport->offersMlsd() && !m_mode.raw;
    for (;;) {
        const Result<void> read =
            streamListing(absolute(path), mlsd, m_mode.keepUnrecognised && !mlsd, sink);
        const int code = read.code();
        if (read.ok() || !mlsd || (code != 500 && code != 502 && code != 504))
            return read;
        mlsd = false; // offered in FEAT but not understood after all
    }
}

Result<void> FtpSession::lookUp(const QByteArray& path, const EntrySink& sink) {
    const BusyScope busy(*this);
    if (const Result<void> r = readyFor(path); !r.ok())
        return r;
    const QByteArray whole = absolute(path);
    if (!m_transport->offersMlsd() || m_mode.raw)
        return notThere(streamListing(whole, false, m_mode.keepUnrecognised, sink));
    const Result<FtpReply> reply = m_transport->command("MLST " + whole);
    if (!reply.ok())
        return Result<void>::from(reply);
    if (reply->isError())
        return notThere(reply->failure());
    const ListingParser parser;
    for (const QByteArray& line : reply->text.split('\n')) {
        if (!line.startsWith(' '))
            continue;
        if (auto e = parser.parseMlsdLine(line.mid(1))) {
            e->name = FtpNames::lastComponent(whole); // MLST names the whole path
            sink(std::move(*e));
        }
    }
    return Result<void>::done();
}

Result<RemoteFileInfo> FtpSession::stat(const QByteArray& path) {
    const BusyScope busy(*this);
    if (const Result<void> r = readyFor(path); !r.ok())
        return Result<RemoteFileInfo>::from(r);
    const QByteArray whole = absolute(path);
    RemoteFileInfo info;
    const Result<FtpReply> mdtm = m_transport->command("MDTM " + whole);
    if (mdtm.ok()) {
        if (const auto told = ServerFileStamps::modifiedOfMdtmReply(mdtm->code, mdtm->text)) {
            info.modifiedAsTold = *told;
            info.modified = secondsOfMdtm(*told);
        } else {
            note("StampOf " + whole + ": MDTM " + QByteArray::number(mdtm->code));
        }
    }
    // Servers answer SIZE in binary mode only.
    const Result<FtpReply> type = m_transport->command("TYPE I");
    const Result<FtpReply> size = type.ok() && !type->isError()
                                      ? m_transport->command("SIZE " + whole)
                                      : Result<FtpReply>::failed();
    if (size.ok() && size->code == 213) {
        bool ok = false;
        const qint64 bytes = size->text.mid(4).trimmed().toLongLong(&ok);
        if (ok && bytes >= 0)
            info.size = bytes;
    }
    if (info.modifiedAsTold.isEmpty() && !info.size) {
        if (mdtm.ok() && mdtm->isError())
            return Result<RemoteFileInfo>::from(mdtm->failure());
        return Result<RemoteFileInfo>::failed(
            QStringLiteral("ファイルの情報を得られませんでした。"));
    }
    return info;
}

Result<qint64> FtpSession::retrieve(const QByteArray& path, TransferType mode, const Sink& sink) {
    const BusyScope busy(*this);
    if (const Result<void> r = readyFor(path); !r.ok())
        return Result<qint64>::from(r);
    qint64 moved = 0;
    const FtpTransport::Sink counted = [&sink, &moved](const char* data, qsizetype size) {
        if (!sink(data, size))
            return false;
        moved += size;
        return true;
    };
    const Result<void> r =
        m_transport->retrieve(absolute(path), mode == TransferType::Ascii, counted);
    if (!r.ok())
        return Result<qint64>::from(r);
    return moved;
}

Result<qint64> FtpSession::store(const QByteArray& path, TransferType mode, qint64 size,
                                 const Source& source) {
    const BusyScope busy(*this);
    if (const Result<void> r = readyFor(path); !r.ok())
        return Result<qint64>::from(r);
    qint64 moved = 0;
    const FtpTransport::Source counted = [&source, &moved](char* buffer, qint64 capacity) {
        const qint64 n = source(buffer, capacity);
        if (n > 0)
            moved += n;
        return n;
    };
    const Result<void> r =
        m_transport->store(absolute(path), mode == TransferType::Ascii, size, counted);
    if (!r.ok())
        return Result<qint64>::from(r);
    return moved;
}

Result<void> FtpSession::rename(const QByteArray& from, const QByteArray& to) {
    const BusyScope busy(*this);
    if (const Result<void> r = ready(); !r.ok())
        return r;
    const Result<FtpReply> asked = pathCommand("RNFR", from);
    if (!asked.ok())
        return Result<void>::from(asked);
    if (asked->code != 350)
        return Result<void>::failed();
    return Result<void>::from(pathCommand("RNTO", to));
}

Result<void> FtpSession::pathOperation(const char* verb, const QByteArray& path) {
    const BusyScope busy(*this);
    if (const Result<void> r = ready(); !r.ok())
        return r;
    return Result<void>::from(pathCommand(verb, path));
}

Result<void> FtpSession::remove(const QByteArray& path) {
    return pathOperation("DELE", path);
}

Result<void> FtpSession::makeDirectory(const QByteArray& path) {
    return pathOperation("MKD", path);
}

Result<void> FtpSession::removeDirectory(const QByteArray& path) {
    return pathOperation("RMD", path);
}
