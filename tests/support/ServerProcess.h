#pragma once

#include <QProcess>

// Ends a server a fixture started: asks it to stop, and kills it when it has not within 3 s.
inline void stopServerProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}
