// Figures for the comparison window's core: two texts of 20 MB in the editor's form (Japanese
// lines of some 60 bytes, with repeated lines as source text has them) that differ in 1,000
// lines spread over the whole text, and two texts of 100 MB that have no line in common, the
// case that must not hang; then the whole way from the command to the comparison window shown
// on its first change, for the 20 MB texts (a document against its file on disk).
#include "app/CVantorpadApp.h"
#include "compare/CompareWindow.h"
#include "diff/TextComparison.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray makeText(qsizetype bytes, const QByteArray& tag, int changeEvery) {
    QByteArray text;
    text.reserve(bytes + 256);
    const QByteArray filler("サーバのファイルを編集する abc def ");
    for (int line = 0; text.size() < bytes; ++line) {
        if (line % 10 == 9) {
            text += "}\n"; // the same line many times over
            continue;
        }
        text += filler + QByteArray::number(line);
        if (changeEvery > 0 && line % changeEvery == (changeEvery > 1 ? 1 : 0))
            text += tag;
        text += '\n';
    }
    return text;
}

void reportSize(benchmark::State& state, const QByteArray& left, const TextComparison& result) {
    state.counters["MB"] = double(left.size()) / (1 << 20);
    state.counters["changes"] = double(result.changes().size());
    state.counters["approximate"] = result.approximate() ? 1 : 0;
}

// 1,000 changed lines in 20 MB: about 330,000 lines, every 330th line changed.
void BM_Compare20MbThousandChanges(benchmark::State& state) {
    const qsizetype size = 20 << 20;
    const QByteArray probe = makeText(size, QByteArray(), 0);
    const int lines = int(probe.count('\n'));
    const int every = lines / 1000 / 10 * 10; // a multiple of 10: never a "}" line
    const QByteArray left = makeText(size, QByteArray(), 0);
    const QByteArray right = makeText(size, " 変更", every);
    for (auto _ : state) {
        const TextComparison result = TextComparison::compare(left, right);
        benchmark::DoNotOptimize(result.changes().data());
        reportSize(state, left, result);
    }
}
BENCHMARK(BM_Compare20MbThousandChanges)->Unit(benchmark::kMillisecond)->Iterations(3);

// Two 100 MB texts without a common line: one change, quickly.
void BM_Compare100MbUnlike(benchmark::State& state) {
    const qsizetype size = 100 << 20;
    QByteArray left = makeText(size, " 左", 1);
    QByteArray right = makeText(size, " 右", 1);
    for (auto _ : state) {
        const TextComparison result = TextComparison::compare(left, right);
        benchmark::DoNotOptimize(result.changes().data());
        reportSize(state, left, result);
    }
}
BENCHMARK(BM_Compare100MbUnlike)->Unit(benchmark::kMillisecond)->Iterations(1);

// From the document's command to the window painted on its first change.
void BM_CompareWindow20Mb(benchmark::State& state) {
    const qsizetype size = 20 << 20;
    const QByteArray probe = makeText(size, QByteArray(), 0);
    const int every = int(probe.count('\n')) / 1000 / 10 * 10;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    const auto write = [&](const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    if (!write(probe)) {
        state.SkipWithError("cannot write");
        return;
    }
    CVantorpadApp app;
    auto* doc = new CVantorpadDoc(app.documentHost());
    if (!doc->OnOpenDocument(path) || !write(makeText(size, " 変更", every))) {
        state.SkipWithError("cannot open");
        return;
    }
    auto view = std::make_unique<CVantorpadView>(app.documentHost(), doc);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!doc->compareWithDisk())
            state.SkipWithError("no comparison");
        CompareWindow* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* c = qobject_cast<CompareWindow*>(w); c && c->isVisible())
                window = c;
        if (!window) {
            state.SkipWithError("no window");
            break;
        }
        QApplication::processEvents();
        window->repaint();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.counters["changes"] = double(window->comparison().changes().size());
        state.counters["first change"] = window->currentChange() + 1;
        delete window;
    }
    view.reset();
    delete doc;
}
BENCHMARK(BM_CompareWindow20Mb)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

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
