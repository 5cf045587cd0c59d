#include "ftp/EventPump.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

void EventPump::turn() {
    auto* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_last < 25)
        return;
    m_last = now;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
