#pragma once

#include "TempDir.h"
#include "ftp/ServerTrust.h"

#include <memory>

// The trust of one test: its permanent choices go to a directory of its own, and nothing
// another test trusted counts.
class TrustPlace {
public:
    ServerTrust& trust() const { return *m_trust; }
    QString path() const { return m_dir.path(); }
    // The certificates trusted permanently; empty when there are none.
    QByteArray file() const {
        return m_dir.exists(QStringLiteral("VantorpadTrust.txt"))
                   ? m_dir.read(QStringLiteral("VantorpadTrust.txt"))
                   : QByteArray();
    }
    // The program started again: the choices of this session are gone, the files stay.
    void restart() { m_trust = std::make_unique<ServerTrust>(m_dir.path()); }

private:
    TempDir m_dir;
    std::unique_ptr<ServerTrust> m_trust = std::make_unique<ServerTrust>(m_dir.path());
};

// For clients of plain FTP servers, which never ask about trust.
inline ServerTrust& plainFtpTrust() {
    static TrustPlace place;
    return place.trust();
}
