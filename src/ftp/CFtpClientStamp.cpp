#include "ftp/CFtpClient.h"

#include "ftp/FtpNames.h"

std::optional<ServerFileStamp> CFtpClient::StampOf(const QByteArray& remote) {
    if (!isConnected() || busy() || remote.isEmpty() || FtpNames::breaksCommandLine(remote) ||
        !SetServerDir().ok())
        return std::nullopt;
    // A server without a usable time is compared by its size alone, which still tells most
    // changes.
    const Result<RemoteFileInfo> info = m_session->stat(absolute(remote));
    if (!info.ok())
        return std::nullopt;
    ServerFileStamp stamp;
    // Compared as text with the stamp taken at opening: the server's own words when it has
    // them, else the number of seconds.
    if (!info->modifiedAsTold.isEmpty())
        stamp.modified = info->modifiedAsTold;
    else if (info->modified)
        stamp.modified = QByteArray::number(*info->modified);
    stamp.size = info->size.value_or(-1);
    if (stamp.modified.isEmpty() && stamp.size < 0)
        return std::nullopt;
    return stamp;
}
