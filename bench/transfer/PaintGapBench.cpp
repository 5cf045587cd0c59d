// bench_paint_gap: how long the windows fail to repaint while a large EUC-JP file goes up and
// comes down through the transfer window (conversion and data), headless, against pyftpdlib on
// 127.0.0.1.
//
//   bench_paint_gap [--mb N]     (default 400)
//
// The progress window's animation asks for a paint many times a second; every paint of the
// progress window or of the transfer window is stamped, and the longest gap between two
// stamps from the press of the button to the end of the transfer is printed (target: under
// 100 ms). Run it with TMPDIR on a tmpfs or a fast disk: the file is written three times.

#include "BenchServer.h"

#include "ftp/ServerTrust.h"
#include "platform/ConsolePrompt.h"
#include "platform/ScopedOverride.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/CFtpDlg.h"
#include "transfer/CProgressDlg.h"
#include "transfer/FileListView.h"
#include "transfer/TransferRules.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// Stamps every paint of the watched windows and keeps the longest gap between two.
class PaintGaps : public QObject {
public:
    void start() {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_paints = 0;
    }
    qint64 longest() const { return std::max(m_longest, m_clock.elapsed() - m_last); }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_clock.isValid()) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && (qobject_cast<CProgressDlg*>(widget->window()) ||
                           qobject_cast<CFtpDlg*>(widget->window()))) {
                const qint64 now = m_clock.elapsed();
                m_longest = std::max(m_longest, now - m_last);
                m_last = now;
                ++m_paints;
            }
        }
        return false;
    }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_paints = 0;
};

// Shift_JIS text with Japanese lines, CR LF: every byte of it goes through the conversion.
bool writeSjis(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray line = QByteArray::fromHex("93fa967b8cea82cc8365834c83588367") + "\r\n";
    QByteArray block;
    while (block.size() < 1024 * 1024)
        block += line;
    for (qint64 written = 0; written < bytes; written += block.size()) {
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

int mbFrom(const QStringList& args) {
    const int at = int(args.indexOf(QStringLiteral("--mb")));
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : 400;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int megabytes = mbFrom(QCoreApplication::arguments());
    ConsolePrompt console;
    const ScopedOverride installed(Prompt::install, static_cast<Prompt*>(&console));

    QTemporaryDir work;
    const QString root = work.filePath(QStringLiteral("root"));
    const QString pcUp = work.filePath(QStringLiteral("pc-up"));
    const QString pcDown = work.filePath(QStringLiteral("pc-down"));
    QDir().mkpath(root);
    QDir().mkpath(pcUp);
    QDir().mkpath(pcDown);
    if (!writeSjis(pcUp + QStringLiteral("/big.txt"), qint64(megabytes) * 1024 * 1024)) {
        std::fprintf(stderr, "bench_paint_gap: cannot write the file\n");
        return 1;
    }
    Server server(root);
    if (server.port() <= 0) {
        std::fprintf(stderr, "bench_paint_gap: the FTP server did not start\n");
        return 1;
    }
    AppSettings settings =
        settingsFor(server, CodeSystemEuc, QStringLiteral("/"), pcUp, work.path());
    int current = 0;

    ServerTrust trust(work.path()); // plain FTP: never asked
    CFtpDlg window(TransferWindowContext{settings, current, 0, trust, {}, {}});
    window.show();
    QCoreApplication::processEvents();
    PaintGaps gaps;
    app.installEventFilter(&gaps);
    window.findChild<QComboBox*>(QStringLiteral("TransferMode"))->setCurrentIndex(TransferAscii);

    struct Round {
        const char* name;
        CFtpDlg::Pane pane;
        int command;
    };
    const Round rounds[] = {{"upload", CFtpDlg::PcPane, CFtpDlg::CmdUpload},
                            {"download", CFtpDlg::ServerPane, CFtpDlg::CmdDownload}};
    std::printf("EUC-JP transfer of %d MB through the transfer window\n", megabytes);
    for (const Round& round : rounds) {
        window.enterPcDirectory(round.pane == CFtpDlg::PcPane ? pcUp : pcDown);
        window.enterServerDirectory("/");
        window.pane(round.pane)->selectAll();
        QElapsedTimer timer;
        timer.start();
        gaps.start();
        window.runCommand(round.command);
        const qint64 longest = gaps.longest();
        std::printf("%-9s %7.1f s  %6d paints  longest gap %5lld ms  (target < 100 ms)\n",
                    round.name, timer.elapsed() / 1000.0, gaps.paints(),
                    static_cast<long long>(longest));
    }
    const bool complete = QFileInfo(pcDown + QStringLiteral("/big.txt")).size() ==
                          QFileInfo(pcUp + QStringLiteral("/big.txt")).size();
    std::printf("round trip %s\n", complete ? "complete" : "INCOMPLETE");
    return complete ? 0 : 1;
}
