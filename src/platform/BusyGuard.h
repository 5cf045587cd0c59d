#pragma once

#include <QPointer>

class QWidget;

// Wait cursor, mouse capture and a painting lock for the length of a long operation, restored
// on every path out of the scope that holds the guard.
class BusyGuard {
public:
    explicit BusyGuard(QWidget* lockedWidget = nullptr);
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    static int depth();

private:
    QPointer<QWidget> m_locked;
    bool m_wasUpdating = true;
};
