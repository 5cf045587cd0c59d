#include "doc/CVantorpadDoc.h"

#include "doc/DiskFileWatch.h"
#include "doc/DocumentHost.h"
#include "doc/ServerUpload.h"
#include "doc/TextFileIO.h"
#include "ftp/CFtpClient.h"
#include "ftp/FtpNames.h"
#include "platform/BusyGuard.h"
#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/FileActions.h"
#include "transfer/PcDirectory.h"
#include "transfer/ServerFileFetch.h"
#include "transfer/ServerPaths.h"
#include "transfer/TransferRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr char EndOfFile = 0x1A;

} // namespace

CVantorpadDoc::CVantorpadDoc(DocumentHost& host, QObject* parent)
    : QObject(parent), m_host(host),
      m_profile(std::make_unique<ServerProfile>(host.currentProfile())),
      m_diskWatch(new DiskFileWatch(this)) {}

CVantorpadDoc::~CVantorpadDoc() = default;

void CVantorpadDoc::setPathName(const QString& path) {
    m_pathName = path;
    m_diskWatch->watch(path);
}

void CVantorpadDoc::setProfile(const ServerProfile& profile) {
    *m_profile = profile;
}

void CVantorpadDoc::OnNewDocument() {
    setPathName(QString());
    loadText(EditorText());
}

bool CVantorpadDoc::OnOpenDocument(const QString& path) {
    const Result<EditorText> read = readVersion(path);
    if (!read.ok()) {
        Prompt::error(read.message());
        return false;
    }
    loadText(*read);
    setPathName(QFileInfo(path).absoluteFilePath());
    m_localCopy = m_pathName;
    m_fileName = QFileInfo(path).fileName();
    if (m_title.isEmpty())
        setTitle(m_fileName);
    return true;
}

TextOrigin CVantorpadDoc::textOrigin() const {
    return m_serverFile && m_profile->Code == CodeSystemUtf8 ? TextOrigin::Utf8Server
                                                             : TextOrigin::Local;
}

void CVantorpadDoc::loadText(const EditorText& decoded) {
    m_encoding = decoded.encoding;
    m_prevailing = decoded.mainLineEnd;
    m_markedModified = false;
    if (m_holder)
        m_holder->loadEditorText(decoded.utf8, m_prevailing);
    else
        m_pendingText = decoded.utf8;
    editorModificationChanged();
    emit textLoaded();
}

void CVantorpadDoc::attachEditor(DocumentTextHolder* holder) {
    if (holder == m_holder)
        return;
    if (m_holder && !holder)
        m_pendingText = m_holder->editorText();
    const bool modified = isModified();
    disconnect(m_holderChanges);
    m_holder = holder;
    // The editor's own signal, found by name: the editor lies above this folder.
    if (auto* object = dynamic_cast<QObject*>(holder);
        object && object->metaObject()->indexOfSignal("textChanged()") >= 0)
        m_holderChanges = connect(object, SIGNAL(textChanged()), this, SLOT(editorTextChanged()));
    if (m_holder) {
        m_holder->loadEditorText(m_pendingText, m_prevailing);
        m_pendingText.clear();
        m_markedModified = modified;
    } else {
        m_markedModified = modified;
    }
    editorModificationChanged();
}

QByteArray CVantorpadDoc::editorText() const {
    return m_holder ? m_holder->editorText() : m_pendingText;
}

QString CVantorpadDoc::textWithLineEnds() const {
    return losslessTextOf(editorText());
}

bool CVantorpadDoc::OnSaveDocument(const QString& path) {
    const QString text = textWithLineEnds();
    EncodeResult encoded = encodeDocument(text, m_encoding);
    if (!encoded.ok()) {
        Prompt::error(
            QStringLiteral("%1 行目の文字%2は %3 で保存出来ない為、保存を中止しました。")
                .arg(lineNumberAt(text, encoded.unencodableAt))
                .arg(describeCharacter(text, encoded.unencodableAt), encodingName(m_encoding)));
        return false;
    }
    if (const Result<> written = TextFileIO::writeFile(path, encoded.bytes); !written.ok()) {
        Prompt::error(written.message());
        return false;
    }
    if (QFileInfo(path).absoluteFilePath() == m_pathName)
        m_diskWatch->acceptCurrent(); // our own version, not another program's
    setModified(false);
    return true;
}

QString CVantorpadDoc::localSaveDirectory() const {
    if (!m_pathName.isEmpty())
        return QFileInfo(m_pathName).absolutePath();
    return m_host.settings().PcDir;
}

Result<> CVantorpadDoc::DoSave(const QString& path) {
    QString target = path;
    if (target.isEmpty()) {
        FileDialogRequest request;
        request.parent = m_view;
        request.title = QStringLiteral("名前を付けて保存");
        request.directory = localSaveDirectory();
        request.fileName = m_fileName.isEmpty() ? m_title : m_fileName;
        request.filters = m_host.settings().BuildPcFileFilter();
        FileDialogResult chosen = FileDialogs::current().save(request);
        if (!chosen.accepted)
            return Result<>::cancelled();
        target = chosen.path;
    }
    if (!OnSaveDocument(target))
        return Result<>::failed();
    const QString absolute = QFileInfo(target).absoluteFilePath();
    if (absolute != m_pathName) {
        // The stamp tells the version of the downloaded copy, not of a file saved elsewhere.
        m_serverStamp.reset();
        setPathName(absolute);
        setTitle(QFileInfo(absolute).fileName());
    }
    m_host.addRecentFile(absolute);
    return Result<>::done();
}

// The commands' saves have told the user about any failure; the document stays as it is.
void CVantorpadDoc::OnFileSave() {
    static_cast<void>(m_serverFile ? SaveToServer() : DoSave(m_pathName));
}

void CVantorpadDoc::OnFileSaveAs() {
    static_cast<void>(DoSave(QString()));
}

bool CVantorpadDoc::canSaveToServer() const {
    return m_profile->Update != 0 && m_profile->isComplete();
}

void CVantorpadDoc::OnFileSaveToServer() {
    ServerProfile profile = *m_profile;
    QString name = m_fileName;
    if (!m_host.askSaveToServer(m_view, profile, name))
        return;
    if (ServerPaths::differsBeyondLetterCase(name, m_fileName) && !renameLocalCopy(name, profile))
        return;
    *m_profile = profile;
    static_cast<void>(SaveToServer()); // its failures have been reported
}

bool CVantorpadDoc::renameLocalCopy(const QString& name, const ServerProfile& profile) {
    if (!serverNameOf(name, profile)) {
        Prompt::error(FtpNames::unencodableMessage(name));
        return false;
    }
    // A document that never had a file starts its copy in the transfer directory.
    const QString dir =
        m_localCopy.isEmpty() ? m_host.settings().TranDir : QFileInfo(m_localCopy).absolutePath();
    if (PcDirectory::hasEntry(dir, name)) {
        Prompt::error(FileActionMessages::nameTaken());
        return false;
    }
    if (!m_localCopy.isEmpty() &&
        !PcDirectory::renameEntry(
            dir, TransferRules::localNameBytes(QFileInfo(m_localCopy).fileName()), name)) {
        Prompt::error(FileActionMessages::renameFailed());
        return false;
    }
    m_localCopy = QFileInfo(QDir(dir).filePath(name)).absoluteFilePath();
    setPathName(m_localCopy);
    m_serverStamp.reset(); // another server file from now on
    m_fileName = name;
    setTitle(name);
    return true;
}

Result<> CVantorpadDoc::SaveToServer() {
    BusyGuard busy(m_view);
    if (m_pathName.isEmpty())
        return Result<>::refused();
    adoptServerEncoding();
    if (!OnSaveDocument(m_pathName))
        return Result<>::failed();
    const Result<> uploaded = uploadLocalCopy();
    if (m_serverCopyPending != !uploaded.ok()) {
        m_serverCopyPending = !uploaded.ok();
        emit serverCopyPendingChanged(m_serverCopyPending);
    }
    m_host.unsavedTextChanged(*this);
    return uploaded;
}

void CVantorpadDoc::adoptServerEncoding() {
    if (!m_serverFile || m_profile->Code != CodeSystemUtf8 || m_encoding != TextEncoding::Cp932)
        return;
    QFile copy(m_pathName);
    const QByteArray bytes = copy.open(QIODevice::ReadOnly) ? copy.readAll() : QByteArray();
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }))
        m_encoding = TextEncoding::Utf8;
}

Result<> CVantorpadDoc::uploadLocalCopy() {
    ServerUploadRequest request;
    request.network = m_host.settings().Network;
    request.debugLog = m_host.ftpDebugLog();
    request.profile = *m_profile;
    request.localPath = m_pathName;
    request.fileName = m_fileName;
    request.utf8 = m_encoding != TextEncoding::Cp932;
    request.openServerVersion = [this](CFtpClient& client, const QByteArray& remote) {
        openServerVersion(client, remote);
    };
    request.compareServerVersion = [this](CFtpClient& client, const QByteArray& remote,
                                          const std::optional<ServerFileStamp>& current) {
        compareServerVersion(client, remote, current);
    };
    return uploadToServer(request, m_host.serverTrust(), m_serverStamp);
}

namespace {

// "<name>_server.<ext>" beside `copy`, numbered when that name is taken, so that no file is
// overwritten and the extension (and with it the keyword colouring) stays.
QString serverVersionPath(const QString& copy) {
    const QFileInfo info(copy);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 1;; ++n) {
        const QString tail = n == 1 ? QString() : QString::number(n);
        const QString path = info.dir().filePath(info.completeBaseName() +
                                                 QStringLiteral("_server") + tail + suffix);
        if (!QFileInfo::exists(path))
            return path;
    }
}

} // namespace

Result<> CVantorpadDoc::fetchServerFile(CFtpClient& client, const QString& path,
                                        const QByteArray& remote) {
    return m_profile->Code == CodeSystemEuc ? client.GetFileEUCAuto(path, remote)
                                            : client.GetFileAuto(path, remote, true);
}

void CVantorpadDoc::openServerVersion(CFtpClient& client, const QByteArray& remote) {
    const QString path = serverVersionPath(m_pathName);
    if (fetchServerFile(client, path, remote).ok())
        static_cast<void>(m_host.openTextDocument(path, *m_profile, false, true, std::nullopt));
}

void CVantorpadDoc::compareServerVersion(CFtpClient& client, const QByteArray& remote,
                                         const std::optional<ServerFileStamp>& current) {
    const QString path = serverVersionPath(m_pathName);
    if (!fetchServerFile(client, path, remote).ok()) {
        QFile::remove(path); // a part of the file, if any; the failure has been shown
        return;
    }
    if (m_host.compareWithVersion(*this, path, VersionSource::Server, true))
        m_serverStamp = current;
}

bool CVantorpadDoc::canCompare() const {
    return m_serverFile ? m_profile->isComplete() : !m_pathName.isEmpty();
}

void CVantorpadDoc::OnFileCompare() {
    if (!canCompare())
        return;
    if (!m_serverFile) {
        static_cast<void>(compareWithDisk()); // a failure has been shown
        return;
    }
    BusyGuard busy(m_view);
    const std::optional<QByteArray> remote = serverNameOf(m_fileName, *m_profile);
    if (!remote) {
        Prompt::error(FtpNames::unencodableMessage(m_fileName));
        return;
    }
    const std::unique_ptr<CFtpClient> client = logOnForDocument(
        m_host.settings().Network, m_host.ftpDebugLog(), *m_profile, m_host.serverTrust());
    if (!client)
        return;
    compareServerVersion(*client, *remote, client->StampOf(*remote));
    client->CloseSession();
}

bool CVantorpadDoc::compareWithDisk() {
    return !m_pathName.isEmpty() &&
           m_host.compareWithVersion(*this, m_pathName, VersionSource::Disk, false);
}

void CVantorpadDoc::OnFileReload() {
    if (isModified() && Prompt::question(QStringLiteral(
                            "変更を破棄して再読込します。宜しいですか？")) != PromptAnswer::Yes)
        return;
    static_cast<void>(readFile());
}

bool CVantorpadDoc::readFile() {
    const Result<EditorText> read = readVersion(m_pathName);
    if (!read.ok()) {
        Prompt::error(read.message());
        return false;
    }
    loadText(*read);
    m_diskWatch->acceptCurrent();
    return true;
}

Result<EditorText> CVantorpadDoc::readVersion(const QString& path) const {
    Result<QByteArray> read = TextFileIO::readFile(path);
    if (!read.ok())
        return Result<EditorText>::from(read);
    QByteArray& bytes = read.value();
    if (m_host.settings().DelEOF != 0 && bytes.endsWith(EndOfFile))
        bytes.chop(1);
    return decodeForEditor(bytes, textOrigin());
}

void CVantorpadDoc::OnFileRewritten() {
    m_diskWatch->acceptCurrent(); // the spreadsheet's save asks its own question
    // Edits of its own would overwrite the new file at the next save: the user says which stay.
    if (isModified() && Prompt::question(QStringLiteral("%1 はスプレット画面で保存されました。\n"
                                                        "編集中の変更を破棄して再読込しますか？")
                                             .arg(m_title)) != PromptAnswer::Yes)
        return;
    if (readFile() && m_serverFile)
        setModified(true);
}

bool CVantorpadDoc::SaveModified() {
    if (m_serverFile && (isModified() || m_serverCopyPending)) {
        switch (Prompt::question(QStringLiteral("ｻｰﾊﾞ(%1)へ %2 の変更を保存しますか？")
                                     .arg(m_profile->Server, m_fileName),
                                 PromptButtons::YesNoCancel)) {
        case PromptAnswer::Yes:
            return SaveToServer().ok();
        case PromptAnswer::No:
            return true;
        default:
            return false;
        }
    }
    if (!isModified())
        return true;
    switch (Prompt::question(QStringLiteral("%1 への変更を保存しますか?").arg(m_title),
                             PromptButtons::YesNoCancel)) {
    case PromptAnswer::Yes:
        return DoSave(m_pathName).ok();
    case PromptAnswer::No:
        return true;
    default:
        return false;
    }
}

void CVantorpadDoc::OnCloseDocument() {
    m_host.documentClosed(*this);
    if (!m_serverFile || m_host.settings().SvFileDel != 1 || m_localCopy.isEmpty())
        return;
    const QString& copy = m_localCopy;
    if (m_serverCopyPending) {
        // The server may already have renamed or deleted its file: this copy can be the only
        // one of the user's latest text.
        Prompt::information(QStringLiteral("サーバへの保存が完了していない為、%1 を残しました。")
                                .arg(QDir::toNativeSeparators(copy)));
        return;
    }
    QFile::remove(copy);
}

bool CVantorpadDoc::isModified() const {
    return m_markedModified || (m_holder && m_holder->isTextModified());
}

// Text is marked modified only as a whole (a file rewritten by another window); the editor
// knows by itself when edits make it so.
void CVantorpadDoc::setModified(bool modified) {
    m_markedModified = modified;
    if (!modified && m_holder)
        m_holder->markTextUnmodified();
    editorModificationChanged();
}

void CVantorpadDoc::editorModificationChanged() {
    const bool modified = isModified();
    if (modified == m_shownModified)
        return;
    m_shownModified = modified;
    emit modifiedChanged(modified);
    m_host.unsavedTextChanged(*this);
}

void CVantorpadDoc::editorTextChanged() {
    if (isModified())
        m_host.unsavedTextChanged(*this);
}

void CVantorpadDoc::RestoreText(const QString& path, const EditorText& text) {
    setPathName(path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath());
    m_localCopy = m_pathName;
    m_fileName = path.isEmpty() ? QString() : QFileInfo(path).fileName();
    loadText(text);
    setModified(true);
}

void CVantorpadDoc::setTitle(const QString& title) {
    if (m_title == title)
        return;
    m_title = title;
    emit titleChanged(title);
}

void CVantorpadDoc::setInsertMode(bool insert) {
    if (m_insertMode == insert)
        return;
    m_insertMode = insert;
    emit insertModeChanged(insert);
}

void CVantorpadDoc::checkDiskFile() {
    // A server document's local copy is this program's own; its server has its own check.
    if (m_serverFile)
        return;
    switch (m_diskWatch->takeChange()) {
    case DiskFileWatch::Change::None:
        return;
    case DiskFileWatch::Change::Deleted:
        Prompt::warning(QStringLiteral("%1 は他のプログラムによって削除されました。\n"
                                       "編集中のテキストはそのまま残っています。")
                            .arg(QDir::toNativeSeparators(m_pathName)));
        setModified(true); // the text is nowhere else now
        return;
    case DiskFileWatch::Change::Changed:
        break;
    }
    const QString text = QStringLiteral("%1 は他のプログラムによって変更されました。")
                             .arg(QDir::toNativeSeparators(m_pathName));
    PromptChoices choices;
    choices.yes = QStringLiteral("再読込する");
    choices.no = QStringLiteral("比較する");
    choices.cancel = QStringLiteral("編集中のテキストを残す");
    switch (Prompt::current().choose(text, PromptIcon::Question, choices)) {
    case PromptAnswer::Yes:
        static_cast<void>(readFile()); // a file that cannot be read now has said so
        return;
    case PromptAnswer::No:
        static_cast<void>(compareWithDisk()); // a failure has been shown
        break;
    default:
        break;
    }
    // The editor's text is no longer the file's: saving it is the user's to decide.
    setModified(true);
}
