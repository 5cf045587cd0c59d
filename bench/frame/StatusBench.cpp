// The status bar's refresh, run on every idle cycle, with a 20 MB CP932 document open and the
// caret on its last line (the line number is the part that could grow with the text). Target:
// under 1 ms per cycle, so that typing never waits for it.
#include "app/CVantorpadApp.h"
#include "encoding/LosslessCodec.h"
#include "frame/CMainFrame.h"
#include "platform/Prompt.h"
#include "settings/ServerProfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "editor/CVantorpadView.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QByteArray twentyMegabytes() {
    QByteArray bytes;
    bytes.reserve(21 << 20);
    for (int line = 0; bytes.size() < (20 << 20); ++line)
        bytes += toCp932(QStringLiteral("%1 行目：状態表示の確認 status line text\r\n").arg(line));
    return bytes;
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<CVantorpadApp> app;
    QString previous = QDir::currentPath();

    Fixture() {
        QFile ini(dir.filePath(QStringLiteral("Vantorpad.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Env]\r\nPcDir=" + dir.path().toUtf8() + "\r\nTranDir=" + dir.path().toUtf8() +
                  "\r\n");
        ini.close();
        QFile text(dir.filePath(QStringLiteral("big.txt")));
        text.open(QIODevice::WriteOnly);
        text.write(twentyMegabytes());
        text.close();
        QDir::setCurrent(dir.path());
        app = std::make_unique<CVantorpadApp>();
        app->InitInstance({});
        app->OpenTextDocument(dir.filePath(QStringLiteral("big.txt")), {}, false, false);
        CVantorpadView* view = app->mainFrame()->activeView();
        const qsizetype end = view->toPlainText().size();
        view->select(end, end);
    }
    ~Fixture() {
        app->mainFrame()->activeView()->doc()->setModified(false);
        app->ExitInstance();
        QDir::setCurrent(previous);
    }
};

void BM_StatusRefresh(benchmark::State& state) {
    static Fixture f;
    CMainFrame* frame = f.app->mainFrame();
    CVantorpadView* view = frame->activeView();
    int step = 0;
    for (auto _ : state) {
        // Every other cycle the caret has moved, so the line pane really changes.
        if (++step % 2 == 0)
            view->SendScintilla(step % 4 ? QsciScintillaBase::SCI_LINEUP
                                         : QsciScintillaBase::SCI_LINEDOWN);
        frame->refreshStatus();
    }
}
BENCHMARK(BM_StatusRefresh)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
