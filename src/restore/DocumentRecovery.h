#pragma once

#include "recovery/RecoveryScheduler.h"
#include "recovery/RecoveryStore.h"
#include "recovery/RecoveryWriter.h"
#include "restore/RecoveryOffer.h"

#include <QHash>
#include <QObject>

#include <functional>

struct AppSettings;
class CVantorpadDoc;

// Where restored documents go: a new empty document in an editor window, and whether a document
// of a path is open already.
struct RestoreTarget {
    std::function<CVantorpadDoc*()> newDocument;
    std::function<bool(const QString& path)> isOpen;
};

// Keeps the unsaved text of every open document in a recovery file of this run (written within
// RecoveryScheduler::LongestMs of a change, off the typing path) and removes it once the text is
// saved or given up; at start, offers and restores what runs that ended abnormally left.
class DocumentRecovery : public QObject {
    Q_OBJECT
public:
    explicit DocumentRecovery(const AppSettings& settings, QString directory = QString());
    ~DocumentRecovery() override; // as close()

    // The document's text or its unsaved state changed.
    void documentChanged(CVantorpadDoc& document);
    // The document is closed: its file goes.
    void documentClosed(CVantorpadDoc& document);
    // Writes every file that is due at once and waits until written.
    void writePending();
    // A normal end: this run's files and lock go.
    void close();

    // The files runs that ended abnormally left, read; taken over by this run until applied.
    QList<RecoveryOffer> takeLeftovers();
    // Restores, discards or keeps the offers as the user chose; a restored offer's file goes
    // once the restored document's own file is written. What could not be restored as it was
    // (another profile, a name that cannot be a local file) is said in one message.
    void apply(const QList<RecoveryOffer>& offers, const RecoveryAnswer& answer,
               const RestoreTarget& target);

    const RecoveryStore& store() const { return m_store; }

private:
    struct Entry {
        quint64 key = 0;
        bool written = false;
        bool closed = false;
    };
    Entry& entryOf(CVantorpadDoc& document);
    void due(quint64 key);
    void sayOnce(const QString& message);
    // Restores one record into a new document; the message says what was done otherwise.
    QString restore(const RecoveryRecord& record, const RestoreTarget& target);

    const AppSettings& m_settings;
    RecoveryStore m_store;
    RecoveryWriter m_writer;
    RecoveryScheduler m_scheduler;
    QHash<CVantorpadDoc*, Entry> m_entries;
    quint64 m_nextKey = 1;
    bool m_said = false;
};

// The snapshot of a document's unsaved text, taken on the GUI thread.
RecoverySnapshot snapshotOf(const CVantorpadDoc& document, const AppSettings& settings);
// How an offer names its document: the local path, "NO:n サーバ:/パス" or the title.
QString offeredDocument(const RecoveryRecord& record);
