#pragma once

#include "platform/BusyGuard.h"
#include "transfer/CFtpDlg.h"

#include <optional>

// Keeps the transfer window from starting another command while one runs (the FTP layer and
// the progress loop let the event loop turn meanwhile), with the wait cursor while it talks to
// a server or reads a disk, and the pane being filled locked against painting.
class CFtpDlg::Busy {
public:
    explicit Busy(CFtpDlg& window, bool waitCursor = true, QWidget* lockedPane = nullptr)
        : m_hold(window.m_busy) {
        if (waitCursor)
            m_guard.emplace(lockedPane);
    }
    ~Busy() { m_guard.reset(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

    // The wait cursor goes before a message of the window's own is shown.
    void release() { m_guard.reset(); }

private:
    BusyCount::Hold m_hold;
    std::optional<BusyGuard> m_guard;
};
