// Figures for the editor on a large document: open and show (beside a bare QPlainTextEdit showing
// the same file, with the ratio of the two), keyword colouring, applying the editor settings,
// saving, each character conversion of the whole text and inserting a file. Each step runs once
// per iteration on the same 20 MB CP932 file; peak memory is the process's high-water mark,
// shown against the file's size.
#include "app/CVantorpadApp.h"
#include "doc/CVantorpadDoc.h"
#include "doc/DocumentText.h"
#include "editor/CVantorpadView.h"
#include "encoding/LosslessCodec.h"
#include "platform/Prompt.h"
#include "platform/ScopedOverride.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <memory>

namespace {

constexpr int KeywordsPerSet = 10;

// Answers every question with Yes, so that colouring runs.
class YesPrompt : public Prompt {
public:
    PromptAnswer ask(const QString&, PromptIcon, PromptButtons buttons) override {
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Yes;
    }
};

QString keyword(int set, int index) {
    return set == 0 ? QStringLiteral("Keyword%1x").arg(index)
                    : QStringLiteral("日本語%1").arg(index);
}

// About 20 MB of CP932 text in lines of some 50 bytes; every fourth line holds one of the 20
// keywords, which makes 100,000 matches.
QByteArray makeDocument() {
    QString text;
    text.reserve(12 << 20);
    const QString filler = QStringLiteral("サーバのファイルを編集する abc def 0123 ");
    int line = 0;
    qsizetype bytes = 0;
    while (bytes < (20 << 20)) {
        QString l = filler;
        if (line % 4 == 0) {
            const int k = (line / 4) % (2 * KeywordsPerSet);
            l += keyword(k / KeywordsPerSet, k % KeywordsPerSet);
        }
        l += QStringLiteral("\r\n");
        bytes += toCp932(l).size();
        text += l;
        ++line;
    }
    return toCp932(text);
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    qint64 size = 0;
    std::unique_ptr<CVantorpadApp> app;
    CVantorpadDoc* doc = nullptr;
    std::unique_ptr<CVantorpadView> view;

    Fixture() {
        path = dir.filePath(QStringLiteral("big.txt"));
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            const QByteArray bytes = makeDocument();
            f.write(bytes);
            size = bytes.size();
        }
        app = std::make_unique<CVantorpadApp>();
        for (int i = 0; i < KeywordsPerSet; ++i) {
            app->settings.Key1[i] = keyword(0, i);
            app->settings.Key2[i] = keyword(1, i);
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The parts of opening: reading and decoding the file, and filling the text document.
void BM_ReadAndDecode(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        QFile file(f.path);
        file.open(QIODevice::ReadOnly);
        const DecodedText decoded = decodeDocument(file.readAll());
        benchmark::DoNotOptimize(decoded.text.size());
    }
}

// The same file read, decoded and shown in a bare QPlainTextEdit, for comparison.
double plainTextEditMilliseconds(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QPlainTextEdit edit;
    edit.setPlainText(decodeDocument(file.readAll()).text);
    edit.resize(1000, 700);
    edit.show();
    QApplication::processEvents();
    edit.repaint();
    return double(timer.nsecsElapsed()) / 1e6;
}

void BM_OpenAndShow(benchmark::State& state) {
    Fixture& f = fixture();
    const long before = peakKilobytes();
    QElapsedTimer timer;
    double viewMs = 0;
    for (auto _ : state) {
        timer.start();
        f.view.reset();
        delete f.doc;
        f.doc = new CVantorpadDoc(f.app->documentHost());
        if (!f.doc->OnOpenDocument(f.path))
            state.SkipWithError("cannot open");
        f.view = std::make_unique<CVantorpadView>(f.app->documentHost(), f.doc);
        f.view->resize(1000, 700);
        f.view->show();
        QApplication::processEvents();
        f.view->repaint();
        viewMs = double(timer.nsecsElapsed()) / 1e6;
    }
    state.counters["file_MB"] = double(f.size) / (1 << 20);
    state.counters["peak_RSS_MB"] = peakKilobytes() / 1024.0;
    state.counters["peak_over_file"] = peakKilobytes() * 1024.0 / double(f.size);
    state.counters["RSS_before_MB"] = before / 1024.0;
    const double plainMs = plainTextEditMilliseconds(f.path);
    state.counters["QPlainTextEdit_ms"] = plainMs;
    state.counters["QPlainTextEdit_over_view"] = plainMs / viewMs;
}

void BM_KeywordColouring(benchmark::State& state) {
    Fixture& f = fixture();
    YesPrompt yes;
    const ScopedOverride scoped(Prompt::install, static_cast<Prompt*>(&yes));
    for (auto _ : state) {
        f.view->OnKeywordColour();
        f.view->repaint();
    }
    state.counters["lines"] = f.view->lineCount();
}

void BM_ApplyEditorSettings(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->ApplyEditorSettings();
        f.view->repaint();
    }
}

void BM_Save(benchmark::State& state) {
    Fixture& f = fixture();
    const QString target = f.dir.filePath(QStringLiteral("saved.txt"));
    for (auto _ : state)
        if (!f.doc->OnSaveDocument(target))
            state.SkipWithError("cannot save");
    QFile a(f.path), b(target);
    a.open(QIODevice::ReadOnly);
    b.open(QIODevice::ReadOnly);
    state.counters["identical"] = a.readAll() == b.readAll() ? 1 : 0;
}

// A character conversion of the whole 20 MB text through the view (convert and replace), the
// command's argument; undone between iterations, outside the timing.
void BM_Conversion(benchmark::State& state) {
    Fixture& f = fixture();
    const int command = int(state.range(0));
    for (auto _ : state) {
        f.view->selectAll();
        f.view->runConversion(command);
        state.PauseTiming();
        f.view->undo();
        state.ResumeTiming();
    }
}

void BM_InsertTextFile(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->select(0, 0);
        state.counters["lines"] = f.view->InsertTextFile(f.path);
        state.PauseTiming();
        f.view->undo();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ReadAndDecode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenAndShow)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_KeywordColouring)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ApplyEditorSettings)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(3);
// 199 upper case ... 209 katakana to hiragana.
BENCHMARK(BM_Conversion)->DenseRange(199, 209)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_InsertTextFile)->Unit(benchmark::kMillisecond)->Iterations(1);

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
