#include "transfer/TransferBatch.h"

#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "ftp/ProfileUpload.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "transfer/ServerListLines.h"
#include "transfer/ServerPaths.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferRules.h"

#include <algorithm>

namespace {

const QString CancelQuestion = QStringLiteral("中止します。\nよろしいですか？");

} // namespace

TransferBatch::TransferBatch(CFtpClient& client, const AppSettings& settings,
                             const ServerProfile& profile, int transferMode, const QString& pcPath,
                             TransferProgress& progress)
    : m_client(client), m_settings(settings), m_profile(profile), m_mode(transferMode),
      m_pcPath(pcPath), m_progress(progress) {
    m_client.setProgressHandler(
        [this](qint64 done, qint64 total) { return progressed(done, total); });
}

TransferBatch::~TransferBatch() {
    m_client.setProgressHandler(nullptr);
}

void TransferBatch::upload(const ServerFileList& selected, const ServerFileList* serverListing) {
    m_haveListing = serverListing != nullptr;
    m_listedFiles.clear();
    if (serverListing) {
        for (const ServerFileEntry& e : *serverListing) {
            if (e.directory == 0)
                m_listedFiles.push_back(e.name);
        }
        std::sort(m_listedFiles.begin(), m_listedFiles.end());
    }
    run(Direction::Upload, selected, m_profile.Code);
}

bool TransferBatch::mayExistOnServer(const QByteArray& remote) const {
    return !m_haveListing || std::binary_search(m_listedFiles.begin(), m_listedFiles.end(), remote);
}

void TransferBatch::download(const ServerFileList& selected, int listCode) {
    run(Direction::Download, selected, listCode);
}

namespace {

// "." and ".." stand for directories already listed: selected with the rest, they are not
// counted (a server that lists a file of such a name has it refused like any unusable name).
bool isDots(const ServerFileEntry& entry) {
    return entry.name == "." || entry.name == "..";
}

} // namespace

void TransferBatch::run(Direction direction, const ServerFileList& selected, int listCode) {
    m_direction = direction;
    m_refused.clear();
    const int total = int(std::count_if(selected.begin(), selected.end(),
                                        [](const ServerFileEntry& e) { return !isDots(e); }));
    m_batchFiles = m_filesDone = 0;
    m_batchBytes = m_bytesBefore = 0;
    for (const ServerFileEntry& entry : selected) {
        if (entry.directory == 0 && !isDots(entry)) {
            ++m_batchFiles;
            m_batchBytes += std::max<qint64>(0, entry.size);
        }
    }
    m_progress.showBatch(0, m_batchFiles, 0, m_batchBytes);
    int position = 0;
    for (const ServerFileEntry& entry : selected) {
        m_progress.processEvents();
        if (m_cancelled)
            break; // confirmed while the last file was coming in
        if (m_progress.cancelRequested() && askToStop())
            break;
        const bool counted = !isDots(entry);
        if (counted)
            ++position;
        if (entry.directory != 0)
            continue; // counted, never moved
        const QString counter = TransferRules::counterText(position, total);
        if (direction == Direction::Upload)
            uploadOne(entry, counter);
        else
            downloadOne(entry, listCode, counter);
        if (counted)
            finishFile(entry.size);
    }
    // Names no local file can have, all in one message rather than one box each.
    if (!m_refused.isEmpty())
        Prompt::error(FtpNames::unreceivableMessage(m_refused, listCode));
    if (!m_unconverted.isEmpty())
        Prompt::information(
            TransferRules::unconvertedMessage(direction == Direction::Upload, m_unconverted));
}

void TransferBatch::noteUnconverted(const Result<>& result, bool unconverted, const QString& name) {
    if (result.ok() && unconverted)
        m_unconverted.append(name);
}

void TransferBatch::finishFile(qint64 size) {
    ++m_filesDone;
    m_bytesBefore += std::max<qint64>(0, size);
    m_progress.showBatch(m_filesDone, m_batchFiles, m_bytesBefore, m_batchBytes);
}

bool TransferBatch::askToStop() {
    m_progress.takeCancelPress(); // this question answers the press
    if (Prompt::question(CancelQuestion) != PromptAnswer::Yes)
        return false;
    m_cancelled = true;
    m_progress.hideWindow();
    return true;
}

bool TransferBatch::progressed(qint64 done, qint64 total) {
    const bool converting = m_client.phase() == TransferPhase::Conversion;
    m_progress.showBytes(done, total > 0 || converting ? total : m_expectedSize);
    if (!converting) {
        m_progress.showBatch(m_filesDone, m_batchFiles,
                             m_bytesBefore + std::clamp<qint64>(done, 0, m_expectedSize),
                             m_batchBytes);
    }
    // The window turns with the transport's loop, and here with the conversion's blocks.
    // An upload finishes moving its file; a download, and a conversion in either direction,
    // is asked at once and may stop where it is.
    const bool atOnce = converting || m_direction == Direction::Download;
    if (!atOnce || m_stopFile || !m_progress.takeCancelPress())
        return !m_stopFile;
    return stopAtOnce();
}

bool TransferBatch::stopAtOnce() {
    if (Prompt::question(CancelQuestion) != PromptAnswer::Yes)
        return true;
    m_stopFile = true;
    m_cancelled = true;
    m_progress.hideWindow();
    return false;
}

void TransferBatch::uploadOne(const ServerFileEntry& entry, const QString& counter) {
    const QString localName = TransferRules::shownLocalName(entry.name);
    const QString local = TransferRules::localPath(m_pcPath, localName);
    const QString shown =
        m_profile.NameSmall != 0 ? FtpNames::lowerCaseAscii(localName) : localName;
    m_expectedSize = entry.size;
    m_stopFile = false;
    m_progress.showItem(shown, counter);
    m_progress.showBytes(0, entry.size);
    const std::optional<QByteArray> remote = TransferRules::uploadName(localName, m_profile);
    Result<> result = Result<>::failed();
    if (!remote) {
        Prompt::error(FtpNames::unencodableMessage(shown));
    } else {
        result = send(local, *remote, localName);
    }
    if (result.ok()) {
        ++m_transferred;
        return;
    }
    if (m_stopFile)
        return; // stopped by the user during the conversion, before anything was sent
    ++m_failed;
    Prompt::error(QStringLiteral("<%1>のアップロードに失敗しました。(CODE=%2)")
                      .arg(local)
                      .arg(result.resultCode()));
    m_client.CloseSession(); // the connection may be what failed: the next file logs on afresh
}

Result<> TransferBatch::enterDirectory() {
    if (!m_client.isConnected()) {
        m_inDirectory = false;
        if (const Result<> opened = m_client.OpenSession(); !opened.ok())
            return opened;
    }
    if (!m_inDirectory) {
        if (!m_client.SetServerDir().ok())
            return Result<>::failed();
        m_inDirectory = true;
    }
    return Result<>::done();
}

Result<> TransferBatch::send(const QString& local, const QByteArray& remote, const QString& name) {
    // Without SafeUpload the server's file of that name goes first, whatever the profile's
    // "SvDel" says.
    const ProfileUpload upload{remote, mayExistOnServer(remote), false};
    return uploadByProfile(m_client, m_profile, upload,
                           [&](const QByteArray& as, bool deleteFirst) {
                               return sendAs(local, as, name, deleteFirst);
                           });
}

Result<> TransferBatch::sendAs(const QString& local, const QByteArray& remote, const QString& name,
                               bool deleteFirst) {
    const bool ascii = TransferRules::asciiFor(m_settings, m_mode, name);
    if (m_profile.Code == CodeSystemEuc && ascii) {
        const EucUpload sent =
            m_client.PutFileEUCAuto(local, remote, deleteFirst, NotShiftJis::AsIs);
        noteUnconverted(sent.result, !sent.converted, name);
        return sent.result;
    }
    if (const Result<> entered = enterDirectory(); !entered.ok())
        return entered;
    return m_client.FileSend(local, remote, ascii, deleteFirst);
}

Result<> TransferBatch::receive(const QString& local, const QByteArray& remote,
                                const QString& name) {
    // A file the transfer mode makes binary moves byte for byte, on an EUC-JP server too:
    // converting an image or an archive would corrupt it.
    const bool ascii = TransferRules::asciiFor(m_settings, m_mode, name);
    if (m_profile.Code == CodeSystemEuc && ascii) {
        const EucDownload received = m_client.GetFileEUCAuto(local, remote, NotEucJp::AsIs);
        noteUnconverted(received.result, received.looksLike.has_value(), name);
        return received.result;
    }
    if (const Result<> entered = enterDirectory(); !entered.ok())
        return entered;
    return m_client.FileReceive(ascii, local, remote);
}

void TransferBatch::downloadOne(const ServerFileEntry& entry, int listCode,
                                const QString& counter) {
    const QString shown = ServerNames::shown(entry.name, listCode);
    const std::optional<QString> local =
        TransferRules::downloadPath(m_pcPath, entry.name, listCode, m_profile);
    if (!local) {
        ++m_failed;
        m_refused << entry.name;
        return;
    }
    m_expectedSize = entry.size;
    m_stopFile = false;
    m_progress.showItem(shown, counter);
    m_progress.showBytes(0, entry.size);
    const Result<> result = receive(*local, entry.name, shown);
    if (result.ok()) {
        ++m_transferred;
        return;
    }
    m_client.CloseSession(); // the next file logs on afresh
    if (m_stopFile)
        return; // stopped by the user, who knows
    ++m_failed;
    Prompt::error(QStringLiteral("<%1>のダウンロードに失敗しました。(CODE=%2)")
                      .arg(shown)
                      .arg(result.resultCode()));
}
