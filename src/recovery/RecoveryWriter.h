#pragma once

#include "recovery/RecoveryRecord.h"

#include <QObject>
#include <QString>

class QThread;

// A document's unsaved text as taken on the GUI thread: what it belongs to, and the editor's
// text as it stands (a copy of the editor's buffer, nothing converted yet).
struct RecoverySnapshot {
    RecoveryRecord record; // everything but the body
    QByteArray editorUtf8;
};

// The record a snapshot becomes: the body is the bytes the document would save, or the editor's
// own text when a character cannot be saved in the document's encoding.
RecoveryRecord recordOf(const RecoverySnapshot& snapshot);

// Writes and removes recovery files on a thread of its own, in the order asked, so that typing
// never waits for a large document's conversion or the disk; a removal asked after a write
// always comes after it.
class RecoveryWriter : public QObject {
    Q_OBJECT
public:
    explicit RecoveryWriter(QObject* parent = nullptr);
    ~RecoveryWriter() override; // finishes what was asked

    void write(const QString& path, RecoverySnapshot snapshot);
    void remove(const QString& path);
    // Waits until everything asked so far is done.
    void flush();

signals:
    // A write failed (delivered on the thread that owns the writer).
    void failed(const QString& message);

private:
    QThread* m_thread;
    QObject* m_worker; // lives on m_thread
};
