// Figures for the comparison window's core: two texts of 20 MB in the editor's form (Japanese
// lines of some 60 bytes, with repeated lines as source text has them) that differ in 1,000
// lines spread over the whole text, and two texts of 100 MB that have no line in common, the
// case that must not hang. The time is what the window waits before it shows the first change.
#include "diff/TextComparison.h"

#include <QByteArray>

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

} // namespace

BENCHMARK_MAIN();
