#include "ftp/CFtpClient.h"

#include "ftp/FtpNames.h"

std::optional<ServerFileStamp> CFtpClient::StampOf(const QByteArray& remote) {
    if (!isConnected() || busy() || remote.isEmpty() || FtpNames::breaksCommandLine(remote) ||
        !SetServerDir().ok())
        return std::nullopt;
    const QByteArray path = absolute(remote);
    ServerFileStamp stamp;
    if (m_session) {
        // Compared as text with the stamp taken at opening, as an MDTM answer is.
        const Result<RemoteFileInfo> info = m_session->stat(path);
        if (!info.ok() || (!info->modified && !info->size))
            return std::nullopt;
        if (info->modified)
            stamp.modified = QByteArray::number(*info->modified);
        stamp.size = info->size.value_or(-1);
        return stamp;
    }
    if (const Result<FtpReply> mdtm = m_connection->command("MDTM " + path); mdtm.ok()) {
        const std::optional<QByteArray> modified =
            ServerFileStamps::modifiedOfMdtmReply(mdtm->code, mdtm->text);
        if (modified)
            stamp.modified = *modified;
        else
            Log("StampOf %s: MDTM %d", remote.constData(), mdtm->code);
    }
    // Servers answer SIZE in binary mode only. A server without a usable MDTM is compared by
    // its size alone, which still tells most changes.
    const Result<FtpReply> type = m_connection->command("TYPE I");
    const Result<FtpReply> size = type.ok() && !type->isError()
                                      ? m_connection->command("SIZE " + path)
                                      : Result<FtpReply>::failed();
    if (size.ok() && size->code == 213) {
        bool ok = false;
        const qint64 bytes = size->text.mid(4).trimmed().toLongLong(&ok);
        if (ok && bytes >= 0)
            stamp.size = bytes;
    }
    if (stamp.modified.isEmpty() && stamp.size < 0)
        return std::nullopt;
    return stamp;
}
