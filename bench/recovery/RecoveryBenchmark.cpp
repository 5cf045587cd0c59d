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

// A write as the program makes it (the snapshot, then the writer's thread), and keystrokes
// while the writer is busy; the counters give the longest keystroke and the GUI thread's share
// of the write.
void BM_TypingWhileTheFileIsWritten(benchmark::State& state) {
    Fixture& f = fixture();
    RecoveryWriter writer;
    const QString path = f.dir.filePath(QStringLiteral("typing.vrec"));
    double longestKey = 0;
    double longestHandOver = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        writer.write(path, snapshotOf(*f.doc, f.app->settings));
        longestHandOver = std::max(longestHandOver, double(timer.nsecsElapsed()) / 1e6);
        for (int i = 0; i < 50; ++i)
            longestKey = std::max(longestKey, f.keystroke());
        writer.flush();
    }
    state.counters["longest_key_ms"] = longestKey;
    state.counters["gui_share_of_write_ms"] = longestHandOver;
}

// A keystroke alone, with the recovery bookkeeping it sets off (the document is unsaved).
void BM_Keystroke(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.keystroke());
}

} // namespace

BENCHMARK(BM_SnapshotOnTheGuiThread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAndWriteOnTheWriter)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TypingWhileTheFileIsWritten)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);

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
