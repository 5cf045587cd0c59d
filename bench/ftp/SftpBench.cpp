// bench_sftp: one SFTP transfer through SftpSession against a server on 127.0.0.1, for
// compare_sftp.sh. Logs on with KEY; the host key must be in SSHDIR/known_hosts.
//
//   bench_sftp get PORT USER KEY SSHDIR REMOTE LOCAL
//   bench_sftp put PORT USER KEY SSHDIR LOCAL REMOTE
//
// Exit status 0 on success. Messages go to stderr.

#include "ftp/SftpSession.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

int fail(const QString& what) {
    std::fprintf(stderr, "bench_sftp: %s\n", qPrintable(what));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 7 || (args[0] != u"get" && args[0] != u"put"))
        return fail(QStringLiteral("usage: get|put PORT USER KEY SSHDIR FROM TO"));
    SshEndpoint endpoint;
    endpoint.host = "127.0.0.1";
    endpoint.port = args[1].toInt();
    endpoint.user = args[2].toUtf8();
    endpoint.keyFile = args[3];
    endpoint.sshDirectory = args[4];
    ServerTrust trust(args[4]); // nothing asked: the host key is in SSHDIR/known_hosts
    SftpSession session(endpoint, FtpTimeouts{}, trust);
    if (const auto r = session.logOn(); !r.ok())
        return fail(r.message());
    if (args[0] == u"get") {
        QSaveFile out(args[6]);
        if (!out.open(QIODevice::WriteOnly))
            return fail(out.errorString());
        const auto r = session.retrieve(
            args[5].toUtf8(), TransferType::Binary,
            [&out](const char* data, qsizetype size) { return out.write(data, size) == size; });
        if (!r.ok() || !out.commit())
            return fail(r.message());
    } else {
        QFile in(args[5]);
        if (!in.open(QIODevice::ReadOnly))
            return fail(in.errorString());
        const auto r = session.store(
            args[6].toUtf8(), TransferType::Binary, in.size(),
            [&in](char* buffer, qint64 capacity) { return in.read(buffer, capacity); });
        if (!r.ok())
            return fail(r.message());
    }
    session.close();
    return 0;
}
