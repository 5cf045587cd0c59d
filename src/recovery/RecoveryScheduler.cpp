#include "recovery/RecoveryScheduler.h"

#include <QTimer>

#include <algorithm>
#include <vector>

RecoveryScheduler::RecoveryScheduler(std::function<void(quint64)> due, QObject* parent)
    : QObject(parent), m_due(std::move(due)) {}

RecoveryScheduler::~RecoveryScheduler() = default;

void RecoveryScheduler::touch(quint64 key) {
    Pending& p = m_pending[key];
    if (!p.timer) {
        p.timer = std::make_unique<QTimer>();
        p.timer->setSingleShot(true);
        connect(p.timer.get(), &QTimer::timeout, this, [this, key] { fire(key); });
        p.since.start();
    }
    const qint64 left = std::max<qint64>(0, LongestMs - p.since.elapsed());
    p.timer->start(int(std::min<qint64>(QuietMs, left)));
}

void RecoveryScheduler::cancel(quint64 key) {
    m_pending.erase(key);
}

bool RecoveryScheduler::isPending(quint64 key) const {
    return m_pending.count(key) != 0;
}

void RecoveryScheduler::runPending() {
    std::vector<quint64> keys;
    for (const auto& entry : m_pending)
        keys.push_back(entry.first);
    for (quint64 key : keys)
        fire(key);
}

void RecoveryScheduler::fire(quint64 key) {
    // Erased first: `due` may touch the key again.
    const auto found = m_pending.find(key);
    if (found == m_pending.end())
        return;
    std::unique_ptr<QTimer> timer = std::move(found->second.timer);
    m_pending.erase(found);
    timer.release()->deleteLater(); // its own timeout signal is running
    m_due(key);
}
