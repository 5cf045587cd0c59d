#include "FtpTestSupport.h"

#include "settings/ServerProfile.h"

std::unique_ptr<CFtpClient> clientFor(const FtpServerFixture& server, bool passive, bool log,
                                      const QString& dir, int raw, int spaceDelimited) {
    NetworkSettings network = server.network(passive);
    network.Raw = raw;
    network.SpDelim = spaceDelimited;
    auto client =
        CFtpClient::create(network, log, server.profile(CodeSystemSjis, dir), plainFtpTrust());
    client->setTimeouts(shortTimeouts());
    return client;
}
