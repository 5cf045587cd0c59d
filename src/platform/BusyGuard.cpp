#include "platform/BusyGuard.h"

#include <QApplication>
#include <QWidget>

namespace {
int g_depth = 0;
}

BusyGuard::BusyGuard(QWidget* lockedWidget) : m_locked(lockedWidget) {
    ++g_depth;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_locked) {
        m_wasUpdating = m_locked->updatesEnabled();
        m_locked->setUpdatesEnabled(false);
        m_locked->grabMouse();
    }
}

BusyGuard::~BusyGuard() {
    if (m_locked) {
        m_locked->releaseMouse();
        m_locked->setUpdatesEnabled(m_wasUpdating);
    }
    QApplication::restoreOverrideCursor();
    --g_depth;
}

int BusyGuard::depth() {
    return g_depth;
}
