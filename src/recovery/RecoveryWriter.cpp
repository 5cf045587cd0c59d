#include "recovery/RecoveryWriter.h"

#include "recovery/RecoveryStore.h"

#include <QFile>
#include <QThread>

RecoveryRecord recordOf(const RecoverySnapshot& snapshot) {
    RecoveryRecord record = snapshot.record;
    EncodeResult encoded = encodeFromEditor(snapshot.editorUtf8, record.encoding);
    record.bodyIsEditorText = !encoded.ok();
    record.body = encoded.ok() ? std::move(encoded.bytes) : snapshot.editorUtf8;
    return record;
}

RecoveryWriter::RecoveryWriter(QObject* parent)
    : QObject(parent), m_thread(new QThread(this)), m_worker(new QObject) {
    m_thread->setObjectName(QStringLiteral("recovery"));
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start(QThread::LowPriority);
}

RecoveryWriter::~RecoveryWriter() {
    flush();
    m_thread->quit();
    m_thread->wait();
}

void RecoveryWriter::write(const QString& path, RecoverySnapshot snapshot) {
    QMetaObject::invokeMethod(
        m_worker,
        [this, path, snapshot = std::move(snapshot)] {
            const Result<> written =
                RecoveryStore::writeFile(path, RecoveryFormat::write(recordOf(snapshot)));
            if (!written.ok())
                QMetaObject::invokeMethod(
                    this, [this, message = written.message()] { emit failed(message); });
        },
        Qt::QueuedConnection);
}

void RecoveryWriter::remove(const QString& path) {
    QMetaObject::invokeMethod(
        m_worker, [path] { QFile::remove(path); }, Qt::QueuedConnection);
}

void RecoveryWriter::flush() {
    QMetaObject::invokeMethod(
        m_worker, [] {}, Qt::BlockingQueuedConnection);
}
