#include "restore/DocumentRecovery.h"

#include "doc/CVantorpadDoc.h"
#include "doc/ServerUpload.h"
#include "doc/TextFileIO.h"
#include "ftp/FtpNames.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "transfer/ServerFileFetch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <Qsci/qsciscintilla.h>

namespace {

RecoveryKind kindOf(const CVantorpadDoc& document) {
    if (document.pathName().isEmpty())
        return RecoveryKind::Untitled;
    return document.serverFile() ? RecoveryKind::Server : RecoveryKind::Local;
}

// The document's text in the editor's form, copied from Scintilla's buffer around its gap:
// asking for the text in one piece (the character pointer) moves the gap to the end, and the
// next keystroke moves it back, some 20 MB of memory for a large document.
QByteArray editorTextOf(const CVantorpadDoc& document) {
    auto* editor = qobject_cast<QsciScintilla*>(document.view());
    if (!editor)
        return document.editorText();
    const long length = editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    QByteArray text(length + 1, Qt::Uninitialized);
    editor->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, 0L, length, text.data());
    text.chop(1);
    return text;
}

QString timeText(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                          : QString();
}

} // namespace

RecoverySnapshot snapshotOf(const CVantorpadDoc& document, const AppSettings& settings) {
    RecoverySnapshot s;
    RecoveryRecord& r = s.record;
    r.kind = kindOf(document);
    r.title = document.title();
    r.encoding = document.encoding();
    r.lineEnd = document.prevailingLineEnd();
    r.savedAt = QDateTime::currentDateTimeUtc();
    if (r.kind == RecoveryKind::Server) {
        const ServerProfile& p = document.profile();
        r.path = document.transferCopyPath().isEmpty() ? document.pathName()
                                                       : document.transferCopyPath();
        r.profile = {recoveryProfileNumber(settings, p),
                     p.Server,
                     p.User,
                     p.Protocol,
                     p.Port,
                     p.Code,
                     p.Dir};
        r.fileName = document.fileName();
        r.stamp = document.serverStamp();
    } else {
        r.path = document.pathName();
    }
    // A copy of the editor's buffer is all the GUI thread pays; converting it is the writer's.
    s.editorUtf8 = editorTextOf(document);
    return s;
}

QString offeredDocument(const RecoveryRecord& record) {
    switch (record.kind) {
    case RecoveryKind::Local:
        return QDir::toNativeSeparators(record.path);
    case RecoveryKind::Server:
        return QStringLiteral("NO:%1 %2:%3")
            .arg(record.profile.number)
            .arg(record.profile.server,
                 QString::fromUtf8(
                     FtpNames::join(record.profile.directory.toUtf8(), record.fileName.toUtf8())));
    case RecoveryKind::Untitled:
        break;
    }
    return record.title.isEmpty() ? QStringLiteral("新規") : record.title;
}

DocumentRecovery::DocumentRecovery(const AppSettings& settings, QString directory)
    : m_settings(settings), m_store(std::move(directory)),
      m_scheduler([this](quint64 key) { due(key); }) {
    connect(&m_writer, &RecoveryWriter::failed, this, &DocumentRecovery::sayOnce);
}

// Only a process that dies leaves its files behind.
DocumentRecovery::~DocumentRecovery() {
    close();
}

DocumentRecovery::Entry& DocumentRecovery::entryOf(CVantorpadDoc& document) {
    auto found = m_entries.find(&document);
    if (found != m_entries.end())
        return *found;
    CVantorpadDoc* key = &document;
    connect(&document, &QObject::destroyed, this, [this, key] {
        const auto gone = m_entries.find(key);
        if (gone == m_entries.end())
            return;
        m_scheduler.cancel(gone->key);
        if (gone->written)
            m_writer.remove(m_store.pathFor(gone->key));
        m_entries.erase(gone);
    });
    return *m_entries.insert(&document, Entry{m_nextKey++, false, false});
}

void DocumentRecovery::documentChanged(CVantorpadDoc& document) {
    Entry& entry = entryOf(document);
    if (entry.closed)
        return;
    if (document.hasUnsavedText()) {
        m_scheduler.touch(entry.key);
        return;
    }
    m_scheduler.cancel(entry.key);
    if (entry.written) {
        m_writer.remove(m_store.pathFor(entry.key));
        entry.written = false;
    }
}

void DocumentRecovery::documentClosed(CVantorpadDoc& document) {
    Entry& entry = entryOf(document);
    m_scheduler.cancel(entry.key);
    if (entry.written)
        m_writer.remove(m_store.pathFor(entry.key));
    entry.written = false;
    entry.closed = true;
}

void DocumentRecovery::due(quint64 key) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key != key)
            continue;
        CVantorpadDoc* document = it.key();
        if (it->closed || !document->hasUnsavedText())
            return;
        if (const Result<> opened = m_store.open(); !opened.ok()) {
            sayOnce(opened.message());
            return;
        }
        m_writer.write(m_store.pathFor(key), snapshotOf(*document, m_settings));
        it->written = true;
        return;
    }
}

void DocumentRecovery::writePending() {
    m_scheduler.runPending();
    m_writer.flush();
}

void DocumentRecovery::close() {
    m_entries.clear();
    m_writer.flush();
    m_store.releaseLeftovers();
    m_store.close();
}

void DocumentRecovery::sayOnce(const QString& message) {
    if (m_said)
        return;
    m_said = true;
    Prompt::error(message + QStringLiteral("\n編集は続けられますが、異常終了した時に"
                                           "保存していない変更は復元出来ません。"));
}

QList<RecoveryOffer> DocumentRecovery::takeLeftovers() {
    QList<RecoveryOffer> offers;
    for (const QString& file : m_store.takeLeftovers()) {
        RecoveryOffer offer;
        offer.file = file;
        QFile in(file);
        Result<RecoveryRecord> read =
            in.open(QIODevice::ReadOnly)
                ? RecoveryFormat::read(in.readAll())
                : Result<RecoveryRecord>::failed(
                      QStringLiteral("復元ファイルを読めません。(%1)").arg(in.errorString()));
        if (!read.ok()) {
            offer.document = QDir::toNativeSeparators(file);
            offer.time = timeText(QFileInfo(file).lastModified());
            offer.note = read.message();
        } else {
            offer.record = std::move(read).value();
            offer.document = offeredDocument(*offer.record);
            offer.time = timeText(offer.record->savedAt);
            if (offer.record->kind == RecoveryKind::Server &&
                !recoveryProfileMatches(m_settings, offer.record->profile))
                offer.note = QStringLiteral("サーバ設定が変わった為、サーバに関係の無い文書として"
                                            "復元します。");
        }
        offers.append(std::move(offer));
    }
    return offers;
}

void DocumentRecovery::apply(const QList<RecoveryOffer>& offers, const RecoveryAnswer& answer,
                             const RestoreTarget& target) {
    if (answer.choice == RecoveryChoice::Later) {
        m_store.releaseLeftovers();
        return;
    }
    if (answer.choice == RecoveryChoice::Discard) {
        for (const RecoveryOffer& offer : offers)
            m_store.removeLeftover(offer.file);
        m_store.releaseLeftovers();
        return;
    }
    QStringList messages;
    QStringList restored;
    for (int i = 0; i < offers.size(); ++i) {
        const RecoveryOffer& offer = offers[i];
        if (!offer.record ||
            (answer.choice == RecoveryChoice::RestoreSelected && !answer.selected.contains(i)))
            continue; // kept for a later start
        const QString message = restore(*offer.record, target);
        if (!message.isEmpty())
            messages.append(message);
        restored.append(offer.file);
    }
    // The restored texts are in this run's files before the old files go.
    writePending();
    for (const QString& file : restored)
        m_store.removeLeftover(file);
    m_store.releaseLeftovers();
    if (!messages.isEmpty())
        Prompt::information(messages.join(u'\n'));
}

QString DocumentRecovery::restore(const RecoveryRecord& record, const RestoreTarget& target) {
    const EditorText text = recoveredEditorText(record);
    const auto restoreAt = [&](const QString& path) {
        CVantorpadDoc* document = target.newDocument();
        document->RestoreText(path, text);
        document->setTitle(path.isEmpty() ? offeredDocument(record) : QFileInfo(path).fileName());
        return document;
    };
    // Text that cannot go back where it came from is kept in a document without a file.
    const auto untitled = [&](const QString& why) {
        restoreAt(QString())->setTitle(record.kind == RecoveryKind::Untitled
                                           ? offeredDocument(record)
                                           : QFileInfo(record.path).fileName());
        return why;
    };
    const QString shown = offeredDocument(record);
    const QString alreadyOpen =
        QStringLiteral("%1 は既に開いている為、名前の無い文書として復元しました。").arg(shown);
    switch (record.kind) {
    case RecoveryKind::Untitled:
        return untitled(QString());
    case RecoveryKind::Local:
        if (target.isOpen(record.path))
            return untitled(alreadyOpen);
        restoreAt(record.path);
        return QString();
    case RecoveryKind::Server:
        break;
    }
    if (!recoveryProfileMatches(m_settings, record.profile))
        return untitled(QStringLiteral("%1 のサーバ設定が変わった為、サーバに関係の無い文書として"
                                       "復元しました。")
                            .arg(shown));
    ServerProfile profile = m_settings.Profiles[std::size_t(record.profile.number)];
    profile.Dir = record.profile.directory;
    profile.Code = record.profile.code;
    // The local copy goes where opening the file from the server would put it.
    const std::optional<QByteArray> remote = serverNameOf(record.fileName, profile);
    const std::optional<QString> local =
        remote ? FtpNames::localPathFor(m_settings.TranDir, *remote, profile.Code,
                                        profile.NameSmall != 0)
               : std::nullopt;
    if (!local)
        return untitled(QStringLiteral("%1 の転送ファイルを作れない為、サーバに関係の無い文書として"
                                       "復元しました。")
                            .arg(shown));
    if (target.isOpen(*local))
        return untitled(alreadyOpen);
    QString message;
    if (!QFileInfo::exists(*local) && !record.bodyIsEditorText) {
        if (const Result<> written = TextFileIO::writeFile(*local, record.body); !written.ok())
            message = written.message();
    }
    CVantorpadDoc* document = restoreAt(*local);
    document->setServerFile(true);
    document->setProfile(profile);
    document->setServerStamp(record.stamp);
    return message;
}
