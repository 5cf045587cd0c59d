// The grid model at the scale of the files users open: 1,000,000 rows x 10 columns of short
// Japanese and ASCII texts (about 60 MB of cell text). Each benchmark prints its figure against
// its target:
//   memory of the filled grid        < 4 bytes per byte of cell text
//   SortByColumn over all rows       < 2 s
//   hiding every second row          < 1 s for 500,000 rows, one SetRowHeight at a time
//   FitAll on 100,000 rows           < 1 s (a measurer that counts characters)
#include "encoding/LosslessCodec.h"
#include "grid/GridModel.h"
#include "grid/GridTextMeasurer.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int Rows = 1000000;
constexpr int Columns = 10;

// Short cell texts, half Japanese, half ASCII, 2 to 10 bytes in CP932.
const QList<QByteArray>& samples() {
    static const QList<QByteArray> list = [] {
        const char* texts[] = {"東京都", "大阪",   "名古屋市", "札幌",   "ｱｲｳ",     "品川区",
                               "データ", "表計算", "横浜",     "神戸市", "A-1234",  "xyz",
                               "100",    "3.14",   "Tokyo",    "ok",     "2026/12", "abc def"};
        QList<QByteArray> out;
        for (const char* t : texts)
            out.append(toCp932(QString::fromUtf8(t)));
        return out;
    }();
    return list;
}

size_t heapInUse() {
    // Large blocks (the grid's chunks of rows among them) are mapped, outside the arena.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct Filled {
    std::unique_ptr<GridModel> grid;
    qint64 textBytes = 0;
    size_t heapBytes = 0;
};

// Fills a grid of `rows` data rows the way loading does: one SetRowBytes per row.
Filled fill(int rows) {
    Filled f;
    const size_t before = heapInUse();
    f.grid = std::make_unique<GridModel>();
    (void)f.grid->SetColumnTotal(Columns + 1);
    (void)f.grid->SetRowTotal(rows + 1);
    (void)f.grid->SetFixedRowTotal(1);
    (void)f.grid->SetFixedColumnTotal(1);
    const QList<QByteArray>& texts = samples();
    quint32 seed = 12345;
    QList<QByteArrayView> fields(Columns + 1);
    QByteArray heading;
    for (int r = 1; r <= rows; ++r) {
        heading = "No." + QByteArray::number(r).rightJustified(5, '0');
        fields[0] = heading;
        for (int c = 1; c <= Columns; ++c) {
            seed = seed * 1103515245u + 12345u;
            fields[c] = texts[int((seed >> 16) % quint32(texts.size()))];
        }
        for (const QByteArrayView field : fields)
            f.textBytes += field.size();
        (void)f.grid->SetRowBytes(r, 0, fields);
    }
    f.heapBytes = heapInUse() - before;
    return f;
}

Filled& million() {
    static Filled f = fill(Rows);
    return f;
}

void report(const char* what, double value, const char* unit, double target) {
    std::printf("%-46s %10.3f %-3s (target < %g %s) %s\n", what, value, unit, target, unit,
                value < target ? "ok" : "OVER");
}

void BM_MemoryOfFilledGrid(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(million().grid.get());
    const Filled& f = million();
    const double perByte = double(f.heapBytes) / double(f.textBytes);
    state.counters["text_MB"] = double(f.textBytes) / (1 << 20);
    state.counters["heap_MB"] = double(f.heapBytes) / (1 << 20);
    state.counters["bytes_per_text_byte"] = perByte;
    report("memory per byte of cell text (1,000,000 x 10)", perByte, "B", 4);
}

void BM_SortByColumn(benchmark::State& state) {
    GridModel& grid = *million().grid;
    QElapsedTimer timer;
    double seconds = 0;
    int column = 3;
    for (auto _ : state) {
        timer.start();
        (void)grid.SortByColumn(column, column % 2 == 1);
        seconds = timer.nsecsElapsed() / 1e9;
        ++column; // the next iteration sorts rows that are not yet in order
    }
    report("SortByColumn over 1,000,000 rows", seconds, "s", 2);
}

void BM_HideEverySecondRow(benchmark::State& state) {
    GridModel& grid = *million().grid;
    // The window recomputes its scroll bars after each change; the model answers from its sums.
    qint64 lastTotal = 0;
    QObject::connect(&grid, &GridModel::layoutChanged, [&] { lastTotal = grid.Rows().total(); });
    QElapsedTimer timer;
    double seconds = 0;
    for (auto _ : state) {
        timer.start();
        for (int r = 2; r <= Rows; r += 2)
            grid.SetRowHeight(r, 0);
        seconds = timer.nsecsElapsed() / 1e9;
        state.PauseTiming();
        for (int r = 2; r <= Rows; r += 2)
            grid.SetRowHeight(r, grid.DefaultRowHeight());
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(lastTotal);
    report("hiding 500,000 rows one at a time", seconds, "s", 1);
}

// Every character 7 pixels wide, lines 12 high: the cost of the walk, not of a font engine.
class CountingMeasurer : public GridTextMeasurer {
public:
    GridSize lineSize(const GridFont&, QStringView text) const override {
        return {int(text.size()) * 7, 12};
    }
};

void BM_FitAll(benchmark::State& state) {
    static Filled f = fill(100000);
    CountingMeasurer measurer;
    f.grid->SetTextMeasurer(&measurer);
    QElapsedTimer timer;
    double seconds = 0;
    for (auto _ : state) {
        timer.start();
        f.grid->FitAll();
        seconds = timer.nsecsElapsed() / 1e9;
    }
    f.grid->SetTextMeasurer(nullptr);
    report("FitAll on 100,000 rows x 10 columns", seconds, "s", 1);
}

BENCHMARK(BM_MemoryOfFilledGrid)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SortByColumn)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_HideEverySecondRow)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FitAll)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
