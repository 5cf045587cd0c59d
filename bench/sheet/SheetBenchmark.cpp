// Figures for the spreadsheet on a 100 MB CP932 CSV of 1,000,000 lines of 10 Japanese and ASCII
// fields, against the targets: load at least 150 MB/s with a peak under 4 times the file size,
// save at least 300 MB/s, narrowing all rows on a text found in every second row and replace
// all over one column of 1,000,000 cells each under 1 s. Beside it the peak of loading the
// worst shapes, 10 MB of one-character fields on short lines, target under 10 times the file.
#include "encoding/LosslessCodec.h"
#include "grid/CGridCtrl.h"
#include "grid/GridModel.h"
#include "platform/Prompt.h"
#include "platform/ScopedOverride.h"
#include "sheet/SheetEditor.h"
#include "sheet/SheetSearch.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int Lines = 1000000;
constexpr int NarrowColumn = 4;  // holds "対象データ" in every second row
constexpr int ReplaceColumn = 3; // "abc" and a number in every row

class YesPrompt : public Prompt {
public:
    PromptAnswer ask(const QString&, PromptIcon, PromptButtons buttons) override {
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Yes;
    }
};

// Forgets the high-water mark of the process's memory, so the next peak is the next load's.
void resetPeak() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// A line of /proc/self/status in MB: "VmRSS" (now) or "VmHWM" (the high-water mark).
double statusMegabytes(const char* key) {
    double kilobytes = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const size_t n = std::strlen(key);
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, key, n) == 0)
                kilobytes = std::atof(line + n + 1);
        std::fclose(f);
    }
    return kilobytes / 1024.0;
}

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("big.csv"));
    qint64 size = 0;

    // Written a line at a time, so that generating costs little memory.
    Fixture() {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        const QByteArray names[4] = {toCp932(u"東京都港区芝公園"), toCp932(u"大阪府大阪市北区"),
                                     toCp932(u"ｻｰﾊﾞﾌｧｲﾙ"), toCp932(u"福岡県福岡市")};
        const QByteArray target = toCp932(u"対象データ");
        QByteArray chunk;
        for (int i = 0; i < Lines; ++i) {
            chunk += QByteArray::number(i) + ',' + names[i % 4] + ",abc" +
                     QByteArray::number(i % 997) + ',' + (i % 2 ? target : QByteArray("other")) +
                     ",2026-12-08,12:34:56," + names[(i + 1) % 4] + ",x" +
                     QByteArray::number(i * 7) + ",ZZZZZZZZZZZZZZZZZZ,end\r\n";
            if (chunk.size() > (1 << 20)) {
                f.write(chunk);
                chunk.clear();
            }
        }
        f.write(chunk);
        size = f.size();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The file in a grid window, shown and painted once.
struct Loaded {
    CGridCtrl window;
    GridModel& grid = window.model();
    SheetEditor editor;
    explicit Loaded(const QString& path) : editor(grid, options(path)) {
        if (!editor.load())
            std::abort();
        window.resize(1000, 700);
        window.show();
        QApplication::processEvents();
    }
    SheetSearch::CellWriter writer() {
        return [this](int r, int c, const QString& t) { return window.UpdateCellText(r, c, t); };
    }
    static DelimitedTextOptions options(const QString& path) {
        DelimitedTextOptions o;
        o.path = path;
        return o;
    }
};

// 10 MB of one line repeated: the shapes where a cell's and a row's own cost weigh most
// against their text, down to empty lines.
const char* const ShortLines[] = {"a,b\r\n", "a,b,c,d,e\r\n", "a\n", "a\r\n", "\n"};

void BM_LoadPeakShortLines(benchmark::State& state) {
    const QByteArray line(ShortLines[state.range(0)]);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.csv"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || !f.write(line.repeated((10 << 20) / line.size())))
            std::abort();
    }
    const double size = double(QFileInfo(path).size());
    double peak = 0;
    for (auto _ : state) {
        malloc_trim(0); // what the last run freed goes back, so that it counts again
        const double before = statusMegabytes("VmRSS");
        resetPeak();
        auto loaded = std::make_unique<Loaded>(path);
        peak = statusMegabytes("VmHWM") - before;
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    state.counters["memory_over_file"] = peak * (1 << 20) / size;
    state.SetLabel(QByteArray(line).replace("\r", "\\r").replace("\n", "\\n").toStdString() +
                   " x 10 MB, target: memory_over_file < 10");
}

void BM_Load(benchmark::State& state) {
    Fixture& f = fixture();
    const double before = statusMegabytes("VmRSS");
    resetPeak();
    for (auto _ : state) {
        auto loaded = std::make_unique<Loaded>(f.path);
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * f.size);
    state.counters["file_MB"] = double(f.size) / (1 << 20);
    const double peak = statusMegabytes("VmHWM") - before;
    state.counters["memory_over_file"] = peak * (1 << 20) / double(f.size);
    state.SetLabel("targets: >= 150 MB/s, memory_over_file < 4");
}

void BM_Save(benchmark::State& state) {
    Fixture& f = fixture();
    Loaded loaded(f.path);
    loaded.editor.options().path = f.dir.filePath(QStringLiteral("saved.csv"));
    for (auto _ : state)
        if (!loaded.editor.save().ok())
            state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * f.size);
    state.SetLabel("target: >= 300 MB/s");
}

void BM_NarrowRows(benchmark::State& state) {
    Loaded loaded(fixture().path);
    for (auto _ : state) {
        state.PauseTiming();
        SheetEditor::revealHidden(loaded.grid);
        loaded.grid.SelectColumns(NarrowColumn, NarrowColumn);
        static_cast<void>(SheetSearch::prepare(loaded.grid));
        state.ResumeTiming();
        SheetSearch::narrow(loaded.grid, QStringLiteral("対象"), false, true);
    }
    int hidden = 0;
    for (int r = 1; r < loaded.grid.RowTotal(); ++r)
        hidden += loaded.grid.RowHeight(r) == 0;
    state.counters["rows_hidden"] = hidden;
    state.SetLabel("target: < 1000 ms");
}

void BM_ReplaceAllColumn(benchmark::State& state) {
    Loaded loaded(fixture().path);
    int changed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        loaded.grid.SelectColumns(ReplaceColumn, ReplaceColumn);
        static_cast<void>(SheetSearch::prepare(loaded.grid));
        state.ResumeTiming();
        changed = SheetSearch::replaceAll(loaded.grid, loaded.writer(), QStringLiteral("abc"),
                                          QStringLiteral("xyz"));
        state.PauseTiming();
        loaded.grid.SelectColumns(ReplaceColumn, ReplaceColumn);
        static_cast<void>(SheetSearch::prepare(loaded.grid));
        static_cast<void>(SheetSearch::replaceAll(loaded.grid, loaded.writer(),
                                                  QStringLiteral("xyz"), QStringLiteral("abc")));
        state.ResumeTiming();
    }
    state.counters["cells_changed"] = changed;
    state.SetLabel("target: < 1000 ms");
}

} // namespace

BENCHMARK(BM_LoadPeakShortLines)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_NarrowRows)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReplaceAllColumn)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    YesPrompt yes;
    const ScopedOverride installed(Prompt::install, static_cast<Prompt*>(&yes));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
