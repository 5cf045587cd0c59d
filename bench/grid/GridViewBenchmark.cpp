// Figures for the grid window on 1,000,000 rows of 10 columns of short Japanese and ASCII texts:
// painting one screen at the top, the middle and the end, Ctrl+End from the first cell, and
// select all plus copy on a grid of 10,000 rows. Each figure is printed against its target.
#include "encoding/LosslessCodec.h"
#include "grid/CGridCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kDataColumns = 10;

// One row's cells: a row number, short Japanese words and ASCII codes, some 60 bytes in CP932.
QList<QByteArray> rowFields(int row) {
    static const QString words[] = {QStringLiteral("東京"), QStringLiteral("大阪府"),
                                    QStringLiteral("サーバ"), QStringLiteral("編集")};
    QList<QByteArray> fields;
    for (int c = 0; c < kDataColumns; ++c) {
        if (c % 2 == 0)
            fields.append(QByteArray::number(row * 10 + c));
        else
            fields.append(toCp932(words[(row + c) % 4]));
    }
    return fields;
}

std::unique_ptr<CGridCtrl> makeGrid(int rows) {
    auto grid = std::make_unique<CGridCtrl>();
    GridModel& m = grid->model();
    (void)m.SetRowTotal(rows + 1);
    (void)m.SetColumnTotal(kDataColumns + 1);
    (void)m.SetFixedRowTotal(1);
    (void)m.SetFixedColumnTotal(1);
    for (int r = 1; r <= rows; ++r) {
        const QList<QByteArray> fields = rowFields(r);
        QList<QByteArrayView> views;
        for (const QByteArray& f : fields)
            views.append(f);
        (void)m.SetRowBytes(r, 1, views);
        (void)m.SetCellText(r, 0, QStringLiteral("No.%1").arg(r, 5, 10, QLatin1Char('0')));
    }
    m.MarkModified(false);
    grid->resize(1280, 900);
    grid->show();
    return grid;
}

CGridCtrl& bigGrid() {
    static std::unique_ptr<CGridCtrl> grid = makeGrid(1000000);
    return *grid;
}

void paintOnce(CGridCtrl& grid) {
    QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    grid.viewport()->render(&image);
    benchmark::DoNotOptimize(image.bits());
}

void sendKey(QWidget* to, int key, Qt::KeyboardModifiers mods) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(to, &press);
}

void BM_PaintScreen(benchmark::State& state) {
    CGridCtrl& grid = bigGrid();
    QScrollBar* bar = grid.verticalScrollBar();
    const int positions[] = {0, bar->maximum() / 2, bar->maximum()};
    bar->setValue(positions[state.range(0)]);
    for (auto _ : state)
        paintOnce(grid);
    static const char* where[] = {"top", "middle", "end"};
    state.SetLabel(std::string(where[state.range(0)]) + ", target < 16 ms");
}
BENCHMARK(BM_PaintScreen)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_CtrlEndFromFirstCell(benchmark::State& state) {
    CGridCtrl& grid = bigGrid();
    for (auto _ : state) {
        state.PauseTiming();
        grid.verticalScrollBar()->setValue(0);
        grid.SetFocusCellTo({1, 1});
        state.ResumeTiming();
        sendKey(&grid, Qt::Key_End, Qt::ControlModifier);
        paintOnce(grid);
    }
    if (grid.model().FocusCell() != GridCellId{1000000, kDataColumns})
        state.SkipWithError("Ctrl+End did not reach the last cell");
    state.SetLabel("key and repaint, target < 16 ms");
}
BENCHMARK(BM_CtrlEndFromFirstCell)->Unit(benchmark::kMillisecond);

void BM_SelectAllAndCopy10000Rows(benchmark::State& state) {
    static std::unique_ptr<CGridCtrl> grid = makeGrid(10000);
    grid->SetFocusCellTo({1, 1});
    qsizetype copied = 0;
    for (auto _ : state) {
        sendKey(grid.get(), Qt::Key_A, Qt::ControlModifier);
        sendKey(grid.get(), Qt::Key_C, Qt::ControlModifier);
        copied = QApplication::clipboard()->text().size();
    }
    state.counters["chars"] = double(copied);
    state.SetLabel("target < 200 ms");
}
BENCHMARK(BM_SelectAllAndCopy10000Rows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
