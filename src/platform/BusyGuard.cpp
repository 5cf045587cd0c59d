#include "platform/BusyGuard.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

namespace {
int g_depth = 0;

// Headless platforms cannot grab the mouse and say so on every try.
bool platformGrabsMouse() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}
} // namespace

BusyGuard::BusyGuard(QWidget* lockedWidget) : m_locked(lockedWidget) {
    ++g_depth;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_locked) {
        m_wasUpdating = m_locked->updatesEnabled();
        m_locked->setUpdatesEnabled(false);
        if (platformGrabsMouse())
            m_locked->grabMouse();
    }
}

BusyGuard::~BusyGuard() {
    if (m_locked) {
        if (QWidget::mouseGrabber() == m_locked)
            m_locked->releaseMouse();
        m_locked->setUpdatesEnabled(m_wasUpdating);
    }
    QApplication::restoreOverrideCursor();
    --g_depth;
}

int BusyGuard::depth() {
    return g_depth;
}
