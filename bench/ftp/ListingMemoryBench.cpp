// bench_listing_memory: the memory a large directory costs, listed from pyftpdlib on 127.0.0.1
// (tests/support/ftp_server.py serving a prepared MLSD listing) and held as the program holds it.
//
//   bench_listing_memory [ENTRIES [LIMIT]]      default 1000000 entries, the program's limit
//
// For each way of holding it (as `vantorpadctl ls` prints it, as the transfer window shows it)
// it prints the entries listed and kept, and the growth of the peak resident size per entry.
// Each way runs in a process of its own, so that one's peak does not hide the other's.

#include "ftp/CFtpClient.h"
#include "ftp/FileListOrder.h"
#include "ftp/FtpNames.h"
#include "platform/ConsolePrompt.h"
#include "platform/ScopedOverride.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/ServerListLines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

const QString User = QStringLiteral("bench");
const QString Password = QStringLiteral("bench-pass");

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool writeListing(const QString& path, qsizetype entries) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block;
    for (qsizetype i = 0; i < entries; ++i) {
        block += "type=file;size=" + QByteArray::number(i * 37) +
                 ";modify=20240305140700;perm=radfw; report-" + QByteArray::number(i) + ".txt\r\n";
        if (block.size() > (1 << 20) || i + 1 == entries)
            file.write(std::exchange(block, QByteArray()));
    }
    return true;
}

// Lists the server's directory and holds it the way `how` says; prints one line.
int measure(const QString& how, int port, qsizetype entries, qsizetype limit) {
    CFtpClient::setListingLimit(limit);
    NetworkSettings network;
    network.Proxy = 1;
    network.Passive = 1;
    ServerProfile profile;
    profile.Server = QStringLiteral("127.0.0.1");
    profile.Port = port;
    profile.User = User;
    profile.Passwd = Password;
    ServerTrust trust(QDir::currentPath()); // plain FTP: never asked
    auto client = CFtpClient::create(network, false, profile, trust);
    if (!client->OpenSession().ok())
        return 1;
    const long before = peakKilobytes();
    ServerFileList list;
    if (!client->GetServerFileList("*", list, ServerFileKindAll).ok())
        return 1;
    client->CloseSession();
    std::size_t held = 0;
    if (how == QLatin1String("ls")) {
        std::vector<FileListOrder::Row> rows;
        rows.reserve(list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            rows.push_back({list[i].directory != 0,
                            {FtpNames::display(list[i].name), FileListOrder::sizeText(list[i].size),
                             list[i].date},
                            int(i)});
        FileListOrder order(3);
        order.refill();
        order.sort(rows);
        held = rows.size();
    } else {
        AppSettings settings;
        held = BuildServerListLines(list, settings, false, CodeSystemSjis).size();
    }
    const double grown = double(peakKilobytes() - before) * 1024.0;
    std::printf("%-7s listed %lld, kept %zu: peak grew %.0f MB, %.0f bytes per listed entry, "
                "%.0f per kept entry\n",
                qPrintable(how), qlonglong(entries), held, grown / 1e6, grown / double(entries),
                held ? grown / double(held) : 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ConsolePrompt console;
    const ScopedOverride installed(Prompt::install, static_cast<Prompt*>(&console));
    const QStringList args = QCoreApplication::arguments().mid(1);
    const qsizetype entries = args.value(0, QStringLiteral("1000000")).toLongLong();
    const qsizetype limit =
        args.value(1, QString::number(CFtpClient::DefaultListingLimit)).toLongLong();
    if (args.size() == 4) // a measuring child: ENTRIES LIMIT HOW PORT
        return measure(args[2], args[3].toInt(), entries, limit);

    QTemporaryDir work;
    const QString listing = work.filePath(QStringLiteral("listing.mlsd"));
    QDir(work.path()).mkdir(QStringLiteral("root"));
    if (!writeListing(listing, entries))
        return 1;
    QProcess server;
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(QStringLiteral(VANTORPAD_SYSTEM_PYTHON),
                 {QStringLiteral(VANTORPAD_FTP_SERVER_SCRIPT), QStringLiteral("--root"),
                  work.filePath(QStringLiteral("root")), QStringLiteral("--user"), User,
                  QStringLiteral("--password"), Password, QStringLiteral("--mlsd-file"), listing});
    QByteArray line;
    while (server.waitForStarted(10000) && !line.contains('\n') && server.waitForReadyRead(15000))
        line += server.readAllStandardOutput();
    if (!line.startsWith("PORT "))
        return 1;
    const QString port = QString::fromLatin1(line.mid(5).trimmed());
    int status = 0;
    for (const QString& how : {QStringLiteral("ls"), QStringLiteral("window")}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::number(entries), QString::number(limit), how, port});
        child.waitForFinished(-1);
        status |= child.exitCode();
    }
    server.closeWriteChannel();
    if (!server.waitForFinished(3000))
        server.kill();
    return status;
}
