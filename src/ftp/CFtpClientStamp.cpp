#include "ftp/CFtpClient.h"

#include "ftp/FtpNames.h"

std::optional<ServerFileStamp> CFtpClient::StampOf(const QByteArray& remote) {
    if (!m_connection || m_connection->busy() || remote.isEmpty() ||
        FtpNames::breaksCommandLine(remote) || SetServerDir() != OpResult::Done)
        return std::nullopt;
    const QByteArray path = absolute(remote);
    FtpReply mdtm;
    if (!m_connection->command("MDTM " + path, &mdtm))
        return std::nullopt;
    const std::optional<QByteArray> modified =
        ServerFileStamps::modifiedOfMdtmReply(mdtm.code, mdtm.text);
    if (!modified) {
        Log("StampOf %s: MDTM %d", remote.constData(), mdtm.code);
        return std::nullopt;
    }
    ServerFileStamp stamp;
    stamp.modified = *modified;
    // Servers answer SIZE in binary mode only; a size they will not give leaves the time alone
    // to compare.
    FtpReply type;
    FtpReply size;
    if (m_connection->command("TYPE I", &type) && !type.isError() &&
        m_connection->command("SIZE " + path, &size) && size.code == 213) {
        bool ok = false;
        const qint64 bytes = size.text.mid(4).trimmed().toLongLong(&ok);
        if (ok)
            stamp.size = bytes;
    }
    return stamp;
}
