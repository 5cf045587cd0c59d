#include "ftp/EventPump.h"

#include <QCoreApplication>
#include <QThread>

void EventPump::turn() {
    auto* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    if (m_sinceTurn.isValid() && m_sinceTurn.elapsed() < 25)
        return;
    m_sinceTurn.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
