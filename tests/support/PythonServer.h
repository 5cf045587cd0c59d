#pragma once

#include <QProcess>
#include <QStringList>

// Starts (the caller has set where its errors go) one of the test servers written in Python (with
// Debian's python3, which has the server modules) and reads the "PORT n" line it prints once it
// listens. Returns the port, or 0 after reporting a test failure that names `what`.
int startPythonServer(QProcess& process, const QStringList& args, const char* what);
