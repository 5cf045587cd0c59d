// bench_ftp: one CFtpClient operation against an FTP server on 127.0.0.1, for compare.sh.
//
//   bench_ftp get  PORT USER PASSWORD REMOTE LOCAL   binary download
//   bench_ftp put  PORT USER PASSWORD LOCAL REMOTE   binary upload
//   bench_ftp ls   PORT USER PASSWORD DIR            list (MLSD), sort in the list order
//   bench_ftp lsraw PORT USER PASSWORD DIR           the same from the raw listing (LIST)
//
// Exit status 0 on success. Messages go to stderr through the console Prompt.

#include "ftp/CFtpClient.h"
#include "ftp/FileListOrder.h"
#include "ftp/FtpNames.h"
#include "platform/ConsolePrompt.h"
#include "platform/ScopedOverride.h"
#include "settings/NetworkSettings.h"
#include "settings/ServerProfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>

namespace {

std::unique_ptr<CFtpClient> clientFor(const QStringList& args, ServerTrust& trust) {
    NetworkSettings network;
    network.Proxy = 1;
    network.Passive = 1;
    network.Raw = args[0] == QLatin1String("lsraw") ? 1 : 0;
    ServerProfile profile;
    profile.Server = QStringLiteral("127.0.0.1");
    profile.Port = args[1].toInt();
    profile.User = args[2];
    profile.Passwd = args[3];
    return CFtpClient::create(network, false, profile, trust);
}

// With BENCH_FTP_PHASES set, the milliseconds of each phase go to stderr.
void phase(QElapsedTimer& clock, const char* name) {
    static const bool show = qEnvironmentVariableIsSet("BENCH_FTP_PHASES");
    if (show)
        std::fprintf(stderr, "%-8s %4lld ms\n", name, clock.restart());
}

int list(CFtpClient& client, const QByteArray& dir) {
    QElapsedTimer clock;
    clock.start();
    client.serverDirectory = dir;
    if (!client.OpenSession().ok())
        return 1;
    phase(clock, "logon");
    if (!client.SetServerDir().ok())
        return 1;
    phase(clock, "cwd");
    ServerFileList entries;
    if (const Result<> listed = client.GetServerFileList("*", entries, ServerFileKindAll);
        !listed.ok()) {
        std::fprintf(stderr, "bench_ftp: %s\n", qPrintable(listed.message()));
        return 1;
    }
    phase(clock, "listing");
    client.CloseSession();
    phase(clock, "close");
    // As a list view fills itself: the shown texts, then the order of a fresh list.
    std::vector<FileListOrder::Row> rows;
    rows.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const ServerFileEntry& e = entries[i];
        rows.push_back({e.directory != 0,
                        {FtpNames::display(e.name), FileListOrder::sizeText(e.size), e.date},
                        int(i)});
    }
    FileListOrder order(3);
    order.refill();
    order.sort(rows);
    phase(clock, "order");
    std::printf("%zu entries, first %s\n", rows.size(),
                rows.empty() ? "-" : rows.front().texts[0].toLocal8Bit().constData());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ConsolePrompt console;
    const ScopedOverride installed(Prompt::install, static_cast<Prompt*>(&console));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: bench_ftp get|put|ls PORT USER PASSWORD ARGS...\n");
        return 2;
    }
    ServerTrust trust(QDir::currentPath()); // plain FTP: never asked
    auto client = clientFor(args, trust);
    const QString op = args[0];
    if (op == QLatin1String("get") && args.size() == 6)
        return client->GetFileAuto(args[5], args[4].toLocal8Bit(), 0).ok() ? 0 : 1;
    if (op == QLatin1String("put") && args.size() == 6)
        return client->PutFileAuto(args[4], args[5].toLocal8Bit(), 0, 0).ok() ? 0 : 1;
    if (op == QLatin1String("ls") || op == QLatin1String("lsraw"))
        return list(*client, args[4].toLocal8Bit());
    std::fprintf(stderr, "bench_ftp: unknown operation\n");
    return 2;
}
