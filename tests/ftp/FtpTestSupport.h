#pragma once

#include "FtpServerFixture.h"
#include "TrustPlace.h"
#include "ftp/CFtpClient.h"

#include <memory>

// Time-outs for tests: short enough that a fault cannot hold a test long, long enough for a
// busy machine.
inline FtpTimeouts shortTimeouts() {
    FtpTimeouts t;
    t.connectMs = 1000;
    t.responseSeconds = 5;
    t.stallSeconds = 5;
    return t;
}

// For the tests of servers that stop answering.
inline FtpTimeouts quickTimeouts() {
    FtpTimeouts t;
    t.responseSeconds = 2;
    t.stallSeconds = 2;
    return t;
}

// A client for the fixture's server, as the program's tasks make one.
std::unique_ptr<CFtpClient> clientFor(const FtpServerFixture& server, bool passive = true,
                                      bool log = false, const QString& dir = QString(), int raw = 0,
                                      int spaceDelimited = 0);
