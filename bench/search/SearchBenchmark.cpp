// Figures for searching the editor on a 20 MB CP932 document: a find that walks from the start
// to the one match at the end (target under 50 ms), repeated as F3 does and first after an edit, a
// one-character search text that is not there, and "全て置換" of 100,000 matches (target under 1 s,
// one undo step). Each figure is printed beside its target.
#include "app/CVantorpadApp.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "encoding/LosslessCodec.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString EndMark = QStringLiteral("終わりの印");
constexpr int Marked = 100000;

// Lines of some 50 bytes; the first 100,000 lines that are a multiple of four hold "MARK", the
// last line holds the end mark.
QByteArray makeDocument() {
    QString text;
    text.reserve(12 << 20);
    const QString filler = QStringLiteral("サーバのファイルを編集する abc def 0123 ");
    qsizetype bytes = 0;
    for (int line = 0; bytes < (20 << 20); ++line) {
        QString l = filler;
        if (line % 4 == 0 && line / 4 < Marked)
            l += QStringLiteral("MARK");
        l += QStringLiteral("\r\n");
        bytes += toCp932(l).size();
        text += l;
    }
    text += EndMark;
    return toCp932(text);
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<CVantorpadApp> app = std::make_unique<CVantorpadApp>();
    CVantorpadDoc* doc = nullptr;
    std::unique_ptr<CVantorpadView> view;

    Fixture() {
        const QString path = dir.filePath(QStringLiteral("big.txt"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(makeDocument());
        f.close();
        doc = new CVantorpadDoc(app->documentHost());
        if (!doc->OnOpenDocument(path))
            qFatal("cannot open the benchmark document");
        view = std::make_unique<CVantorpadView>(app->documentHost(), doc);
        view->resize(1000, 700);
        CVantorpadView::hooks().searchFailed = [](QWidget*) {};
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void find(benchmark::State& state, const QString& text, bool matchCase, bool expectFound) {
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->select(0, 0);
        if (f.view->FindInView(text, false, false, matchCase) != expectFound)
            state.SkipWithError("unexpected result");
    }
    state.counters["target_ms"] = 50;
}

void BM_FindAtTheEnd(benchmark::State& state) {
    find(state, EndMark, true, true);
}

void BM_FindAtTheEndIgnoringCase(benchmark::State& state) {
    find(state, EndMark, false, true);
}

// The first search after an edit takes the text afresh from the document.
void BM_FindAtTheEndAfterAnEdit(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.view->select(0, 0);
        f.view->insertPlainText(QStringLiteral("x"));
        f.view->undo();
        state.ResumeTiming();
        f.view->select(0, 0);
        if (!f.view->FindInView(EndMark, false, false, true))
            state.SkipWithError("not found");
    }
    state.counters["target_ms"] = 50;
}

void BM_FindOneMissingCharacter(benchmark::State& state) {
    find(state, QStringLiteral("Q"), false, false);
}

// One undo must bring the whole text back (the undo stack itself counts the edits inside the
// one block, so its size says nothing about undo presses).
void BM_ReplaceAll(benchmark::State& state) {
    Fixture& f = fixture();
    const QString before = f.view->toPlainText();
    for (auto _ : state) {
        f.view->select(0, 0);
        state.counters["replaced"] = double(
            f.view->replaceAll(QStringLiteral("MARK"), QStringLiteral("MARKED"), false, true));
        state.PauseTiming();
        f.view->undo();
        state.counters["one_undo_restores"] = f.view->toPlainText() == before ? 1 : 0;
        state.ResumeTiming();
    }
    state.counters["target_ms"] = 1000;
}

} // namespace

BENCHMARK(BM_FindAtTheEnd)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindAtTheEndIgnoringCase)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindAtTheEndAfterAnEdit)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindOneMissingCharacter)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture().view.reset();
    return 0;
}
