#include "ftp/CFtpClient.h"

#include "encoding/FileConversion.h"
#include "encoding/LosslessCodec.h"
#include "encoding/SjisEucConversion.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"
#include "settings/NetworkSettings.h"
#include "settings/ServerProfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

FtpTimeouts& defaults() {
    static FtpTimeouts timeouts;
    return timeouts;
}

QByteArray cp(const QString& text) {
    // ASCII is its own CP932: a session with plain names never needs the code tables.
    const bool ascii =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? text.toLatin1() : toCp932(text);
}

// The password never appears in a message: not even its length.
const char* const HiddenPassword = "********";

// A file that exists but may not be replaced: a directory, or a file without write permission,
// which counts as read-only whoever runs the program.
bool isReplaceable(const QString& local) {
    QFileInfo target(local);
    return !target.exists() || (!target.isDir() && (target.permissions() & QFile::WriteOwner));
}

QString accessDenied(const QString& local) {
    return QStringLiteral("ＰＣ側ファイル(%1)にアクセス権が有りません。受信出来ません。")
        .arg(local);
}

// The intermediate file of a converting transfer ("%s.$$$"), beside the local file: created
// exclusively under a name of its own ("<name>.XXXXXX.$$$"), so that no file of the user's is
// ever taken for it, and removed with the QTemporaryFile on every path.
QString intermediateTemplate(const QString& local) {
    return local + QStringLiteral(".XXXXXX.$$$");
}

// Writes the whole of `from` into `local` as every local file is written (QSaveFile: beside the
// target, its mode kept, a symbolic link's target replaced), unchanged; Failed without a message.
Result<> copyInto(QFileDevice& from, const QString& local, const ConversionProgress& progress) {
    QSaveFile out(local);
    if (!from.seek(0) || !out.open(QIODevice::WriteOnly))
        return Result<>::failed();
    char block[64 * 1024];
    qint64 n = 0;
    qint64 copied = 0;
    while ((n = from.read(block, sizeof block)) > 0) {
        if (out.write(block, n) != n)
            return Result<>::failed();
        copied += n;
        if (!progress(copied, from.size()))
            return Result<>::cancelled();
    }
    return n == 0 && out.commit() ? Result<>::done() : Result<>::failed();
}

// A conversion's failure is shown where it stops the transfer.
Result<> shownConversion(Result<> converted) {
    if (!converted.ok() && !converted.message().isEmpty())
        Prompt::error(converted.message());
    return converted;
}

} // namespace

Result<> CFtpClient::unusableName() {
    return Result<>::failed(FtpNames::unusableNameMessage());
}

CFtpClient::CFtpClient(int proxyMode, const QString& proxyName, bool passive, bool rawListing,
                       bool spaceDelimited, bool logEnabled, ServerTrust& trust)
    : m_profile(std::make_unique<ServerProfile>()), m_proxyMode(proxyMode),
      m_proxyName(cp(proxyName)), m_passive(passive), m_rawListing(rawListing),
      m_spaceDelimited(spaceDelimited), m_logEnabled(logEnabled), m_trust(trust),
      m_timeouts(defaults()) {
    if (m_logEnabled) {
        m_log.open();
        int accessType = proxyMode == 1 ? 1 : (proxyMode == 2 ? 3 : 0);
        Log("CInternetSession Create %d %s %d", accessType, m_proxyName.constData(), 0x04000000);
    }
}

CFtpClient::~CFtpClient() {
    if (m_logEnabled)
        Log("Internetセッションの解放");
    m_log.close();
    if (m_session)
        m_session->close();
}

std::unique_ptr<CFtpClient> CFtpClient::create(const NetworkSettings& network, bool debugLog,
                                               const ServerProfile& profile, ServerTrust& trust) {
    auto client =
        std::make_unique<CFtpClient>(network.Proxy, network.Name, network.Passive != 0,
                                     network.Raw != 0, network.SpDelim != 0, debugLog, trust);
    client->useProfile(profile);
    return client;
}

void CFtpClient::useProfile(const ServerProfile& profile) {
    const FtpEndpoint before = endpoint(m_proxyMode);
    *m_profile = profile;
    serverDirectory =
        FtpNames::encodeForServer(profile.Dir, profile.Code).value_or(cp(profile.Dir));
    // An open connection is another server's, or another user's, once the logon differs.
    if (isConnected() && !(endpoint(m_proxyMode) == before))
        CloseSession();
}

FtpTimeouts CFtpClient::setDefaultTimeouts(const FtpTimeouts& timeouts) {
    return std::exchange(defaults(), timeouts);
}

FtpTimeouts CFtpClient::defaultTimeouts() {
    return defaults();
}

void CFtpClient::setProgressHandler(ProgressHandler handler) {
    m_progress = std::move(handler);
    if (m_session)
        m_session->setProgressHandler(m_progress);
}

bool CFtpClient::busy() const {
    return m_session && m_session->busy();
}

void CFtpClient::Log(const char* format, ...) {
    if (!m_logEnabled || !m_log.isOpen())
        return;
    QByteArray cp932Format = cp(QString::fromUtf8(format));
    char buffer[FtpDebugLog::MaxMessage + 1];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, cp932Format.constData(), args);
    va_end(args);
    if (n < 0)
        return; // a message that cannot be formatted is left out
    m_log.write(QByteArray(buffer));
}

FtpEndpoint CFtpClient::endpoint(int proxyMode) const {
    FtpEndpoint e;
    e.host = cp(m_profile->Server);
    e.port = effectivePort(m_profile->Port, m_profile->Protocol);
    e.user = cp(m_profile->User);
    e.password = cp(m_profile->Passwd);
    e.proxyMode = proxyMode;
    e.proxyName = m_proxyName;
    e.passive = m_passive;
    e.protocol = m_profile->Protocol;
    e.keyFile = QFile::encodeName(m_profile->KeyFile);
    return e;
}

QByteArray CFtpClient::absolute(const QByteArray& name) const {
    return FtpNames::join(m_currentDirectory.isEmpty() ? QByteArray("/") : m_currentDirectory,
                          name);
}

void CFtpClient::showFailure(const Result<>& failure, const QString& fallback) {
    Prompt::error(failure.message().isEmpty() ? fallback : failure.message());
}

Result<> CFtpClient::OpenSession() {
    const ServerProfile& p = *m_profile;
    if (!p.canLogOn() || FtpNames::breaksCommandLine(p.Server) ||
        FtpNames::breaksCommandLine(p.User) || FtpNames::breaksCommandLine(p.Passwd)) {
        Prompt::error(QStringLiteral("OpenSession : パラメータエラー　環境を確認して下さい。"));
        return Result<>::refused();
    }
    if (p.Port > MaxPortNumber) {
        // libcurl would call the URL malformed, which reads as a fault of a name.
        Prompt::error(
            QStringLiteral("ポート番号 %1 は使用出来ません。1～%2 の範囲で設定して下さい。")
                .arg(p.Port)
                .arg(MaxPortNumber));
        return Result<>::refused();
    }
    if (busy())
        return Result<>::refused();
    Log("OpenSession START %s %s PORT=%d RAW=%d", cp(p.Server).constData(), cp(p.User).constData(),
        p.Port, int(m_passive));
    CloseSession();
    std::unique_ptr<RemoteSession> session = makeSession(m_proxyMode, m_spaceDelimited);
    const Result<QByteArray> root = session->logOn();
    if (!root.ok()) {
        if (root.isCancelled())
            return Result<>::from(root);
        const Result<> failure = Result<>::failed(root.message(), root.code());
        // A refusal has said why (a changed certificate's or host key's warning), or says it now.
        if (!root.isRefused())
            showLogOnFailure(failure);
        else if (!root.message().isEmpty())
            Prompt::error(root.message());
        return failure;
    }
    m_session = std::move(session);
    m_rootDirectory = *root;
    m_currentDirectory = m_rootDirectory;
    Log("OpenSession END ROOT=%s", m_rootDirectory.constData());
    return Result<>::done();
}

void CFtpClient::showLogOnFailure(const Result<>& failure) const {
    const ServerProfile& p = *m_profile;
    if (failure.message().isEmpty()) {
        Prompt::error(QStringLiteral("FTPセッションが確立出来ませんでした。"));
        return;
    }
    Prompt::error(QStringLiteral("FTPセッションでエラーになりました。\n%1\nSv=%2 Usr=%3 "
                                 "Pwd=%4 Port=%5 Pass=%6")
                      .arg(failure.message(), p.Server, p.User, QLatin1String(HiddenPassword))
                      .arg(p.Port)
                      .arg(int(m_passive)));
}

void CFtpClient::CloseSession() {
    if (!isConnected() || busy())
        return;
    Log("CloseSession START");
    m_session->close();
    m_session.reset();
}

Result<> CFtpClient::SetServerDir() {
    if (serverDirectory.isEmpty())
        return Result<>::done();
    Log("SetServerDir START %s", serverDirectory.constData());
    Result<> changed = Result<>::done();
    if (!isConnected()) {
        changed = Result<>::failed(QStringLiteral("ＦＴＰセッションが確立されていません。"));
    } else if (FtpNames::breaksCommandLine(serverDirectory)) {
        changed = unusableName();
    } else if (busy()) {
        changed = Result<>::failed(QStringLiteral("別の操作を実行中です。"));
    } else {
        const Result<QByteArray> entered = m_session->changeDirectory(serverDirectory);
        if (entered.ok()) {
            // The server's own name for where it now is: relative names are taken from it.
            m_currentDirectory = *entered;
            Log("SetServerDir END");
            return Result<>::done();
        }
        if (entered.isCancelled())
            return Result<>::from(entered);
        changed = Result<>::from(entered);
    }
    showFailure(changed, QStringLiteral("サーバＤｉｒの指定が誤っています。"));
    return changed;
}

Result<> CFtpClient::FileSend(const QString& local, const QByteArray& remote, bool ascii,
                              bool deleteFirst) {
    if (!isConnected()) {
        Prompt::error(QStringLiteral("FileSend : ＦＴＰセッションが確立されていません。"));
        return Result<>::refused();
    }
    if (busy())
        return Result<>::refused();
    Log("FileSend START %s→%s %d %d", cp(local).constData(), remote.constData(), int(ascii),
        int(deleteFirst));
    if (!QFileInfo::exists(local)) {
        Prompt::error(
            QStringLiteral("PC上に%1が存在しない為、サーバに転送出来ません。").arg(local));
        return Result<>::failed();
    }
    if (remote.isEmpty() || FtpNames::breaksCommandLine(remote)) {
        const Result<> refused = unusableName();
        showFailure(refused, QString());
        return refused;
    }
    if (deleteFirst) {
        ServerFileList existing;
        // A file the server has is deleted first; one it does not have needs nothing, and a
        // lookup that failed sends anyway, as the server replaces a file it still has.
        if (GetServerFileList(remote, existing, ServerFileKindFiles).ok() && !existing.empty()) {
            const Result<> deleted = sessionRequest(
                remote, [this](const QByteArray& path) { return m_session->remove(path); });
            if (!deleted.ok()) {
                Prompt::error(QStringLiteral("サーバファイルにアクセス権が有りません。(%1)")
                                  .arg(quint32(deleted.code())));
                return deleted;
            }
        }
    }
    if (const Result<> sent = sendFrom(local, remote, ascii); !sent.ok())
        return sent;
    Log("FileSend END");
    return Result<>::done();
}

// A transfer the transport could not finish: Cancelled when the user stopped it (nothing to
// say), else Failed after the server's reason, or `fallback` when the fault was local.
Result<> CFtpClient::transferFailure(const Result<>& failure, const QString& fallback) {
    if (!failure.isCancelled())
        showFailure(failure, fallback);
    return failure;
}

Result<> CFtpClient::sendFrom(const QString& local, const QByteArray& remote, bool ascii) {
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompt::error(QStringLiteral("ファイルの送信が出来ませんでした。"));
        return Result<>::failed(QString(), int(file.error()));
    }
    const RemoteSession::Source source = [&file](char* buffer, qint64 capacity) {
        return file.read(buffer, capacity);
    };
    const Result<> stored = Result<>::from(m_session->store(
        absolute(remote), ascii ? TransferType::Ascii : TransferType::Binary, file.size(), source));
    if (stored.ok())
        return stored;
    return transferFailure(stored, QStringLiteral("ファイルの送信が出来ませんでした。"));
}

Result<> CFtpClient::FileReceive(bool ascii, const QString& local, const QByteArray& remote) {
    if (const Result<> ready = readyToReceive(ascii, local, remote); !ready.ok())
        return ready;
    // The data goes to a temporary file beside the target, which replaces the target only
    // when the transfer is complete: a failed download leaves the old file as it was. A target
    // that cannot be replaced is reported before the server is asked for data.
    QSaveFile file(local);
    if (!isReplaceable(local) || !file.open(QIODevice::WriteOnly)) {
        Prompt::error(accessDenied(local));
        return Result<>::failed();
    }
    if (const Result<> received = receiveInto(file, remote, ascii); !received.ok()) {
        file.cancelWriting();
        return received;
    }
    if (!file.commit()) {
        Prompt::error(accessDenied(local));
        return Result<>::failed();
    }
    Log("FileReceive END");
    return Result<>::done();
}

Result<> CFtpClient::readyToReceive(bool ascii, const QString& local, const QByteArray& remote) {
    if (!isConnected()) {
        Prompt::error(QStringLiteral("FileReceive : ＦＴＰセッションが確立されていません。"));
        return Result<>::refused();
    }
    if (busy())
        return Result<>::refused();
    Log("FileReceive START %s←%s %d", cp(local).constData(), remote.constData(), int(ascii));
    // A server's name never leaves its directory here: no "/" of a relative name, no ".",
    // "..", NUL or line break. The local path is checked too, so that a caller that built it
    // by hand cannot write outside the directory it meant.
    QByteArray name = remote.startsWith('/') ? FtpNames::lastComponent(remote) : remote;
    if (!FtpNames::isSafeLocalComponent(name) || FtpNames::breaksCommandLine(remote) ||
        !FtpNames::isSafeLocalTarget(local)) {
        Prompt::error(FtpNames::unreceivableMessage(remote));
        return Result<>::failed();
    }
    return Result<>::done();
}

Result<> CFtpClient::receiveInto(QFileDevice& file, const QByteArray& remote, bool ascii,
                                 TextCodeGuess* guess) {
    // The code system is told while the data arrives: a second pass over a large file would
    // hold the window as long as its conversion.
    const RemoteSession::Sink sink = [&file, guess](const char* data, qsizetype size) {
        if (guess)
            guess->feed(QByteArrayView(data, size));
        return file.write(data, size) == size;
    };
    const Result<> retrieved = Result<>::from(m_session->retrieve(
        absolute(remote), ascii ? TransferType::Ascii : TransferType::Binary, sink));
    if (retrieved.ok())
        return retrieved;
    return transferFailure(retrieved, QStringLiteral("ファイルの受信が出来ませんでした。"));
}

bool CFtpClient::checkComposite(const QString& local, const QByteArray& remote,
                                const QString& message) {
    if (!m_profile->canLogOn() || local.isEmpty() || remote.isEmpty()) {
        Prompt::error(message);
        return false;
    }
    return true;
}

Result<> CFtpClient::PutFileAuto(const QString& local, const QByteArray& remote, bool ascii,
                                 bool deleteFirst) {
    if (!checkComposite(local, remote, QStringLiteral("PutFileAuto : パラメータエラー")))
        return Result<>::refused();
    Log("PutFileAuto START %s→%s %d %d", cp(local).constData(), remote.constData(), int(ascii),
        int(deleteFirst));
    bool opened = false;
    if (!isConnected()) {
        if (const Result<> r = OpenSession(); !r.ok())
            return r;
        opened = true;
    }
    if (const Result<> dir = SetServerDir(); !dir.ok())
        return dir;
    const Result<> result = FileSend(local, remote, ascii, deleteFirst);
    if (opened)
        CloseSession();
    Log("PutFileAuto END %d", int(result.status()));
    return result;
}

Result<> CFtpClient::PutFileEUCAuto(const QString& local, const QByteArray& remote,
                                    bool deleteFirst) {
    return PutFileEUCAuto(local, remote, deleteFirst, NotShiftJis::Convert).result;
}

EucUpload CFtpClient::PutFileEUCAuto(const QString& local, const QByteArray& remote,
                                     bool deleteFirst, NotShiftJis otherwise) {
    if (!checkComposite(
            local, remote,
            QStringLiteral("PutFileEUCAuto : パラメータエラー　環境を確認して下さい。")))
        return {Result<>::refused(), false};
    Log("PutFileEUCAuto START %s→%s %d", cp(local).constData(), remote.constData(),
        int(deleteFirst));
    EucUpload upload;
    if (otherwise == NotShiftJis::AsIs) {
        const Result<bool> read = readsAsShiftJisText(local);
        if (!read.ok()) {
            upload.result = Result<>::from(read); // nothing has been sent
            return upload;
        }
        upload.converted = *read;
    }
    if (!upload.converted) {
        upload.result = sendIn(local, remote, deleteFirst);
        Log("PutFileEUCAuto END %d", int(upload.result.status()));
        return upload;
    }
    QTemporaryFile intermediate(intermediateTemplate(local));
    if (!intermediate.open()) {
        Prompt::error(
            FileConversionTexts::sjisToEuc().cannotOpen.arg(local + QStringLiteral(".$$$")));
        return upload;
    }
    const auto progress = [this](qint64 done, qint64 total) {
        return conversionProgressed(done, total);
    };
    if (Result<> converted = shownConversion(ConvertSjisToEuc(intermediate, local, progress));
        !converted.ok()) {
        upload.result = std::move(converted); // the server has not been asked for anything
        return upload;
    }
    upload.result = sendIn(intermediate.fileName(), remote, deleteFirst);
    Log("PutFileEUCAuto END %d", int(upload.result.status()));
    return upload;
}

// Reads the local file of an upload, block by block in the conversion's phase, until a byte
// rules Shift_JIS text out: an image or an archive is told by its first bytes, and only a text
// is read to its end. Done with whether it is Shift_JIS text; a failure has been shown.
Result<bool> CFtpClient::readsAsShiftJisText(const QString& local) {
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompt::error(FileConversionTexts::sjisToEuc().cannotOpen.arg(local));
        return Result<bool>::failed();
    }
    TextCodeGuess guess;
    char block[64 * 1024];
    qint64 n = 0;
    qint64 read = 0;
    while (guess.mayBeShiftJisText() && (n = file.read(block, sizeof block)) > 0) {
        guess.feed(QByteArrayView(block, n));
        read += n;
        if (!conversionProgressed(read, std::max(read, file.size())))
            return Result<bool>::cancelled();
    }
    if (n < 0) {
        Prompt::error(FileConversionTexts::sjisToEuc().cannotRead.arg(local));
        return Result<bool>::failed();
    }
    return guess.isShiftJisText();
}

// An upload of a converting transfer: a fresh session, the server directory, the file in
// binary, and the session closed.
Result<> CFtpClient::sendIn(const QString& local, const QByteArray& remote, bool deleteFirst) {
    if (const Result<> r = OpenSession(); !r.ok())
        return r;
    if (const Result<> dir = SetServerDir(); !dir.ok())
        return dir;
    const Result<> result = FileSend(local, remote, false, deleteFirst);
    CloseSession();
    return result;
}

Result<> CFtpClient::GetFileAuto(const QString& local, const QByteArray& remote, bool ascii) {
    if (!checkComposite(local, remote,
                        QStringLiteral("GetFileAuto : パラメータエラー　環境を確認して下さい。")))
        return Result<>::refused();
    Log("GetFileAuto START %s←%s %d", cp(local).constData(), remote.constData(), int(ascii));
    if (const Result<> r = OpenSession(); !r.ok())
        return r;
    if (const Result<> dir = SetServerDir(); !dir.ok())
        return dir;
    const Result<> result = FileReceive(ascii, local, remote);
    CloseSession();
    Log("GetFileAuto END %d", int(result.status()));
    return result;
}

Result<> CFtpClient::GetFileEUCAuto(const QString& local, const QByteArray& remote) {
    return GetFileEUCAuto(local, remote, NotEucJp::Convert).result;
}

EucDownload CFtpClient::GetFileEUCAuto(const QString& local, const QByteArray& remote,
                                       NotEucJp otherwise) {
    if (!checkComposite(
            local, remote,
            QStringLiteral("GetFileEUCAuto : パラメータエラー　環境を確認して下さい。")))
        return {Result<>::refused(), std::nullopt};
    Log("GetFileEUCAuto START %s←%s", cp(local).constData(), remote.constData());
    if (Result<> r = OpenSession(); !r.ok())
        return {std::move(r), std::nullopt};
    if (Result<> dir = SetServerDir(); !dir.ok())
        return {std::move(dir), std::nullopt};
    // The target is checked here, before the server is asked for data, since the download
    // itself goes to the intermediate file.
    QTemporaryFile intermediate(intermediateTemplate(local));
    if (!isReplaceable(local) || !intermediate.open()) {
        Prompt::error(accessDenied(local));
        CloseSession();
        return {Result<>::failed(), std::nullopt};
    }
    TextCodeGuess guess;
    Result<> received = readyToReceive(false, intermediate.fileName(), remote);
    if (received.ok())
        received = receiveInto(intermediate, remote, false, &guess);
    CloseSession();
    if (!received.ok())
        return {std::move(received), std::nullopt};
    EucDownload download;
    if (!intermediate.flush()) {
        Prompt::error(accessDenied(local));
        return download;
    }
    download.looksLike = guess.notEucJp();
    download.result = writeTarget(local, intermediate, download.looksLike, otherwise);
    Log("GetFileEUCAuto END %d", int(download.result.status()));
    return download;
}

// The last step of a download from an EUC-JP server: the target gets the converted file, the
// file as it came, or nothing, by what the bytes turned out to be and what the caller said.
Result<> CFtpClient::writeTarget(const QString& local, QFileDevice& intermediate,
                                 std::optional<TextCode> looksLike, NotEucJp otherwise) {
    if (looksLike && otherwise == NotEucJp::Report)
        return Result<>::refused();
    const auto progress = [this](qint64 done, qint64 total) {
        return conversionProgressed(done, total);
    };
    if (looksLike && otherwise == NotEucJp::AsIs) {
        const Result<> copied = copyInto(intermediate, local, progress);
        if (!copied.ok() && !copied.isCancelled())
            Prompt::error(accessDenied(local));
        return copied;
    }
    // Replaces the target only when complete, keeping its mode (see convertFile).
    return shownConversion(ConvertEucToSjis(local, intermediate.fileName(), progress));
}

// A block of a conversion is done: the window gets its turn and the handler hears of it.
bool CFtpClient::conversionProgressed(qint64 done, qint64 total) {
    m_pump.turn();
    if (!m_progress)
        return true;
    m_phase = TransferPhase::Conversion;
    const bool goOn = m_progress(done, total);
    m_phase = TransferPhase::Data;
    return goOn;
}

Result<> CFtpClient::inServerDir() {
    Result<> dir = SetServerDir();
    if (!dir.ok())
        Prompt::error(QStringLiteral("ディレクトリ変更に失敗しました。"));
    return dir;
}

Result<> CFtpClient::Remove(const QByteArray& name) {
    Log("Remove START %s", name.constData());
    if (Result<> dir = inServerDir(); !dir.ok())
        return dir;
    return sessionRequest(name, [this](const QByteArray& path) { return m_session->remove(path); });
}

Result<> CFtpClient::Rename(const QByteArray& oldName, const QByteArray& newName) {
    Log("Rename START %s->%s", oldName.constData(), newName.constData());
    if (Result<> dir = inServerDir(); !dir.ok())
        return dir;
    if (newName.isEmpty() || FtpNames::breaksCommandLine(newName))
        return unusableName();
    return sessionRequest(oldName, [this, &newName](const QByteArray& path) {
        return m_session->rename(path, absolute(newName));
    });
}

Result<> CFtpClient::RmDir(const QByteArray& name) {
    Log("RmDir START %s/%s", serverDirectory.constData(), name.constData());
    if (Result<> dir = inServerDir(); !dir.ok())
        return dir;
    return sessionRequest(
        name, [this](const QByteArray& path) { return m_session->removeDirectory(path); });
}

Result<> CFtpClient::MakeDir(const QByteArray& name) {
    Log("MakeDir START %s/%s", serverDirectory.constData(), name.constData());
    if (Result<> dir = inServerDir(); !dir.ok())
        return dir;
    return sessionRequest(
        name, [this](const QByteArray& path) { return m_session->makeDirectory(path); });
}
