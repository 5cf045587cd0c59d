#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <map>
#include <memory>

class QTimer;

// When the recovery file of a document is due: a while after the last change, but never later
// than `longest` after the first change not yet written, however long the typing goes on.
class RecoveryScheduler : public QObject {
    Q_OBJECT
public:
    static constexpr int QuietMs = 1000;
    static constexpr int LongestMs = 5000;

    // `due` is called with the key of a document whose file is due.
    explicit RecoveryScheduler(std::function<void(quint64)> due, QObject* parent = nullptr);
    ~RecoveryScheduler() override;

    // The document `key` changed.
    void touch(quint64 key);
    // Nothing is due for `key` any more.
    void cancel(quint64 key);
    bool isPending(quint64 key) const;
    // Calls `due` now for every key that is waiting.
    void runPending();

private:
    struct Pending {
        std::unique_ptr<QTimer> timer;
        QElapsedTimer since;
    };
    void fire(quint64 key);

    std::function<void(quint64)> m_due;
    std::map<quint64, Pending> m_pending;
};
