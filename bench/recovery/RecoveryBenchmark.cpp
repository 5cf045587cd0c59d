// The recovery file of a 20 MB CP932 document: the GUI thread's share of a write (the snapshot,
// a copy of the editor's buffer), the writer's share (conversion and the atomic write), and the
// longest keystroke while the writer works. Typing must never wait more than a frame (16 ms).
#include "app/CVantorpadApp.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "encoding/LosslessCodec.h"
#include "recovery/RecoveryStore.h"
#include "recovery/RecoveryWriter.h"
#include "restore/DocumentRecovery.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>

namespace {

QByteArray makeDocument() {
    const QByteArray line = toCp932(QStringLiteral("サーバのファイルを編集する abc def 0123\r\n"));
    QByteArray bytes;
    bytes.reserve((20 << 20) + line.size());
    while (bytes.size() < (20 << 20))
        bytes += line;
    return bytes;
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<CVantorpadApp> app;
    CVantorpadDoc* doc = nullptr;
    std::unique_ptr<CVantorpadView> view;

    Fixture() {
        qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toLocal8Bit());
        const QString path = dir.filePath(QStringLiteral("big.txt"));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(makeDocument());
        f.close();
        app = std::make_unique<CVantorpadApp>();
        doc = new CVantorpadDoc(app->documentHost());
        if (!doc->OnOpenDocument(path))
            std::abort();
        view = std::make_unique<CVantorpadView>(app->documentHost(), doc);
        view->resize(1000, 700);
        view->show();
        view->setFocus();
        QApplication::processEvents();
        // Scintilla makes room for typing in a freshly loaded text once: not a figure of ours.
        for (int i = 0; i < 10; ++i)
            keystroke();
    }

    // One character typed as the keyboard types it; its time in milliseconds.
    double keystroke() {
        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(view.get(), &press);
        QApplication::sendEvent(view.get(), &release);
        return double(timer.nsecsElapsed()) / 1e6;
    }
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_SnapshotOnTheGuiThread(benchmark::State& state) {
    Fixture& f = fixture();
    f.keystroke();
    for (auto _ : state)
        benchmark::DoNotOptimize(snapshotOf(*f.doc, f.app->settings).editorUtf8.size());
}

void BM_ConvertAndWriteOnTheWriter(benchmark::State& state) {
    Fixture& f = fixture();
    const RecoverySnapshot snapshot = snapshotOf(*f.doc, f.app->settings);
    const QString path = f.dir.filePath(QStringLiteral("bench.vrec"));
    for (auto _ : state)
        if (!RecoveryStore::writeFile(path, RecoveryFormat::write(recordOf(snapshot))).ok())
            state.SkipWithError("cannot write");
}

// Keystrokes while `writer`, when there is one, converts and writes the document's file as the
// program does (the snapshot on this thread, the rest on the writer's). The counters give the
// longest keystroke (wall time, and the GUI thread's own processor time, which leaves out the
// time another process had the processor) and the GUI thread's share of a write.
void typeWhileWriting(benchmark::State& state, RecoveryWriter* writer) {
    Fixture& f = fixture();
    const QString path = f.dir.filePath(QStringLiteral("typing.vrec"));
    double longestKey = 0;
    double longestKeyCpu = 0;
    double longestHandOver = 0;
    double longestHandOverCpu = 0;
    for (auto _ : state) {
        if (writer) {
            QElapsedTimer timer;
            timer.start();
            const double cpuBefore = threadCpuMs();
            writer->write(path, snapshotOf(*f.doc, f.app->settings));
            longestHandOverCpu = std::max(longestHandOverCpu, threadCpuMs() - cpuBefore);
            longestHandOver = std::max(longestHandOver, double(timer.nsecsElapsed()) / 1e6);
        }
        for (int i = 0; i < 50; ++i) {
            const double cpuBefore = threadCpuMs();
            longestKey = std::max(longestKey, f.keystroke());
            longestKeyCpu = std::max(longestKeyCpu, threadCpuMs() - cpuBefore);
        }
        if (writer)
            writer->flush();
    }
    state.counters["longest_key_ms"] = longestKey;
    state.counters["longest_key_cpu_ms"] = longestKeyCpu;
    if (writer) {
        state.counters["gui_share_of_write_ms"] = longestHandOver;
        state.counters["gui_share_of_write_cpu_ms"] = longestHandOverCpu;
    }
}

void BM_TypingWhileTheFileIsWritten(benchmark::State& state) {
    RecoveryWriter writer;
    typeWhileWriting(state, &writer);
}

void BM_TypingAlone(benchmark::State& state) {
    typeWhileWriting(state, nullptr);
}

} // namespace

BENCHMARK(BM_SnapshotOnTheGuiThread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAndWriteOnTheWriter)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TypingWhileTheFileIsWritten)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TypingAlone)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Fixture& f = fixture();
    f.view.reset();
    delete f.doc;
    f.app.reset();
    return 0;
}
