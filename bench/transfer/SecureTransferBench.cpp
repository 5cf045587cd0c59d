// A 200 MB download and upload over FTPS (vsftpd) and SFTP (asyncssh) on 127.0.0.1, through the
// program's FTP client, beside the curl command moving the same file over the same protocol.
// Prints the best of the runs and the share of curl's throughput (target: at least 90 %).
//
//   bench_secure_transfer [megabytes=200] [runs=2]

#include "FtpsServerFixture.h"
#include "SftpServerFixture.h"
#include "ftp/CFtpClient.h"
#include "ftp/ServerTrust.h"
#include "platform/Prompt.h"
#include "platform/ScopedOverride.h"
#include "settings/ServerProfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Trusts every certificate and host key for this run only, and prints any other message.
class TrustingPrompt : public Prompt {
public:
    PromptAnswer ask(const QString& text, PromptIcon, PromptButtons buttons) override {
        if (buttons == PromptButtons::YesNoCancel)
            return PromptAnswer::No;
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return PromptAnswer::Ok;
    }
};

double bestSeconds(int runs, const std::function<bool()>& act) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!act())
            std::fprintf(stderr, "a transfer failed\n");
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

bool runCurl(const QStringList& args) {
    QProcess curl;
    curl.start(QStringLiteral("curl"),
               QStringList{QStringLiteral("-s"), QStringLiteral("-k")} + args);
    return curl.waitForFinished(600000) && curl.exitCode() == 0;
}

void report(const char* what, double megabytes, double ours, double curl) {
    std::printf("%-28s %8.1f MB/s %8.1f MB/s %6.1f %%  >= 90 %%\n", what, megabytes / ours,
                megabytes / curl, 100.0 * curl / ours);
}

// One protocol: upload and download through CFtpClient, then through curl.
void measure(const char* name, const ServerProfile& profile, const NetworkSettings& network,
             const QString& serverDir, const QStringList& curlLogOn, const QString& url,
             const QString& bigFile, double megabytes, int runs, const QString& work) {
    ServerTrust trust(work);
    auto client = CFtpClient::create(network, false, profile, trust);
    const QByteArray remote = QFile::encodeName(serverDir + QStringLiteral("/big.bin"));
    const QString down = work + QStringLiteral("/down.bin");
    const double up =
        bestSeconds(runs, [&] { return client->PutFileAuto(bigFile, remote, false, false).ok(); });
    const double get = bestSeconds(runs, [&] {
        return client->GetFileAuto(down, remote, false).ok() &&
               QFileInfo(down).size() == QFileInfo(bigFile).size();
    });
    const QString curlUrl = url + serverDir + QStringLiteral("/big-curl.bin");
    const double curlUp = bestSeconds(runs, [&] {
        return runCurl(curlLogOn + QStringList{QStringLiteral("-T"), bigFile, curlUrl});
    });
    const double curlGet = bestSeconds(runs, [&] {
        return runCurl(curlLogOn + QStringList{QStringLiteral("-o"), down, curlUrl});
    });
    std::printf("%s\n", name);
    report("  upload", megabytes, up, curlUp);
    report("  download", megabytes, get, curlGet);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 200;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    QTemporaryDir work;
    TrustingPrompt prompt;
    const ScopedOverride scoped(Prompt::install, static_cast<Prompt*>(&prompt));

    const QString bigFile = work.filePath(QStringLiteral("big.bin"));
    {
        QFile file(bigFile);
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < block.size(); ++i)
            block[i] = char((i * 131 + i / 251) & 0xFF);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < int(megabytes); ++i)
            file.write(block);
    }
    std::printf("%-28s %13s %13s %8s  %s\n", "", "ours", "curl", "share", "target");

    FtpsServerFixture ftps;
    measure("FTPS (vsftpd, AUTH TLS)", ftps.profile(), ftps.network(), ftps.rootDir(),
            {QStringLiteral("--ssl-reqd"), QStringLiteral("-u"), QStringLiteral("anonymous:guest")},
            QStringLiteral("ftp://127.0.0.1:%1/").arg(ftps.port()), bigFile, megabytes, runs,
            work.path());

    SftpServerFixture sftp;
    measure("SFTP (asyncssh)", sftp.profile(), sftp.network(), QString(),
            {QStringLiteral("-u"), QStringLiteral("vantorpad:pass-w0rd")},
            QStringLiteral("sftp://127.0.0.1:%1").arg(sftp.port()), bigFile, megabytes, runs,
            work.path());
    return 0;
}
