// The profiles that log on to the test servers, kept apart from the servers themselves so that
// a test which never asks for a profile does not depend on the profile record.
#include "FtpServerFixture.h"
#include "FtpsServerFixture.h"
#include "SftpServerFixture.h"
#include "settings/ServerProfile.h"

namespace {

ServerProfile logOnProfile(int protocol, const QString& user, const QString& password, int port,
                           int code, const QString& dir) {
    ServerProfile p;
    p.Server = QStringLiteral("127.0.0.1");
    p.User = user;
    p.Passwd = password;
    p.Port = port;
    p.Code = code;
    p.Dir = dir;
    p.Protocol = protocol;
    return p;
}

} // namespace

ServerProfile FtpServerFixture::profile(int code, const QString& dir) const {
    ServerProfile p = logOnProfile(ProtocolFtp, user(), password(), m_port, code, dir);
    p.Server = host();
    return p;
}

ServerProfile FtpsServerFixture::profile(int code, const QString& dir) const {
    return logOnProfile(ProtocolFtps, QStringLiteral("anonymous"), QStringLiteral("guest"), m_port,
                        code, dir);
}

ServerProfile SftpServerFixture::profile(int code) const {
    return logOnProfile(ProtocolSftp, QStringLiteral("vantorpad"), QStringLiteral("pass-w0rd"),
                        m_port, code, QString());
}
