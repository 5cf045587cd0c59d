#include "PythonServer.h"

#include <gtest/gtest.h>

int startPythonServer(QProcess& process, const QStringList& args, const char* what) {
    process.start(QStringLiteral(VANTORPAD_SYSTEM_PYTHON), args);
    if (!process.waitForStarted(10000)) {
        ADD_FAILURE() << "cannot start the " << what
                      << " server: " << process.errorString().toStdString();
        return 0;
    }
    QByteArray line;
    while (!line.contains('\n') && process.waitForReadyRead(15000))
        line += process.readAllStandardOutput();
    const int port = line.startsWith("PORT ") ? line.mid(5).trimmed().toInt() : 0;
    if (port <= 0)
        ADD_FAILURE() << "the " << what
                      << " server did not report its port: " << line.toStdString();
    return port;
}
