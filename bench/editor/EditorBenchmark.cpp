// Figures for the editor on large documents, headless.
//
// Opening: each file is opened and painted in a process of its own (this program started again
// with --child), so that the peak memory printed is that file's alone: first paint in the view
// beside a bare QPlainTextEdit on the same file (with the ratio), typing at the end (a key and
// its repaint), and for the bad shapes (one 50 MB line, 5,000,000 empty lines, 250 MB) a save
// that must give the file back byte for byte.
//
// Editing, on one 20 MB CP932 document in this process: keyword colouring, applying the editor
// settings, saving, each character conversion of the whole text, inserting the file at the
// caret, replace-all of 100,000 matches and a find that walks to the end.
//
// The machine may be busy with other work: run it a few times and take the best figures.
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
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int KeywordsPerSet = 10;
constexpr int Marked = 100000;
constexpr qint64 MB = qint64(1) << 20;
const QString EndMark = QStringLiteral("終わりの印");

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
// keywords, the first 100,000 of those also "MARK"; the last line holds the end mark.
QByteArray makeEditingDocument() {
    QString text;
    text.reserve(12 << 20);
    const QString filler = QStringLiteral("サーバのファイルを編集する abc def 0123 ");
    int line = 0;
    qsizetype bytes = 0;
    while (bytes < 20 * MB) {
        QString l = filler;
        if (line % 4 == 0) {
            const int k = (line / 4) % (2 * KeywordsPerSet);
            l += keyword(k / KeywordsPerSet, k % KeywordsPerSet);
            if (line / 4 < Marked)
                l += QStringLiteral(" MARK");
        }
        l += QStringLiteral("\r\n");
        bytes += toCp932(l).size();
        text += l;
        ++line;
    }
    text += EndMark;
    return toCp932(text);
}

// `unit` repeated up to `size` bytes.
QByteArray repeated(const QByteArray& unit, qint64 size) {
    QByteArray out;
    out.reserve(size + unit.size());
    while (out.size() < size)
        out += unit;
    return out;
}

QByteArray makeUtf8Lines(qint64 size) {
    return repeated(QStringLiteral("サーバのファイルを編集する abc def 0123 ").toUtf8() + '\n',
                    size);
}

QByteArray makeCp932Lines(qint64 size) {
    return repeated(toCp932(QStringLiteral("サーバのﾌｧｲﾙを編集する abc def 0123 \r\n")), size);
}

// One line without a break: Japanese and ASCII, a kept byte now and then.
QByteArray makeOneLine(qint64 size) {
    QByteArray unit = toCp932(QStringLiteral("一行だけの長いファイル abc 0123 "));
    unit += "\x81";
    return repeated(unit, size);
}

QByteArray makeEmptyLines(qint64 count) {
    return repeated("\r\n", count * 2);
}

// The process's high-water mark of resident memory. Not getrusage's: that one keeps the mark
// of the process that started this one.
long peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

double msSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

bool sameFile(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) &&
           fa.readAll() == fb.readAll();
}

// ---- The child process: one file, one figure set, printed as name=value lines.

void print(const char* name, double value) {
    std::printf("%s=%.3f\n", name, value);
    std::fflush(stdout);
}

// Keys typed at the end of the text, each with the repaint it causes; the slowest one counts.
double slowestKeystrokeMs(CVantorpadView& view) {
    view.activateWindow();
    view.setFocus();
    QApplication::processEvents();
    view.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    view.viewport()->repaint();
    double slowest = 0;
    for (int i = 0; i < 20; ++i) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &view;
        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(target, &release);
        QApplication::processEvents();
        view.viewport()->repaint();
        slowest = std::max(slowest, msSince(timer));
    }
    return slowest;
}

int runViewChild(const QString& path, bool save) {
    CVantorpadApp app;
    YesPrompt yes; // the message about a line too long to lay out
    const ScopedOverride scoped(Prompt::install, static_cast<Prompt*>(&yes));
    const long before = peakKilobytes();
    QElapsedTimer timer;
    timer.start();
    auto* doc = new CVantorpadDoc(app.documentHost());
    if (!doc->OnOpenDocument(path))
        return 1;
    CVantorpadView view(app.documentHost(), doc);
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    view.repaint();
    print("paint_ms", msSince(timer));
    const double textBytes = double(view.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const long peak = peakKilobytes();
    print("text_MB", textBytes / double(MB));
    print("peak_MB", double(peak) / 1024);
    print("peak_over_text", double(peak) * 1024 / textBytes);
    print("growth_over_text", double(peak - before) * 1024 / textBytes);
    print("lines", view.lineCount());
    if (save) {
        timer.start();
        const QString target = path + QStringLiteral(".saved");
        if (!doc->OnSaveDocument(target))
            return 1;
        print("save_ms", msSince(timer));
        print("identical", sameFile(path, target) ? 1 : 0);
        QFile::remove(target);
    }
    print("keystroke_ms", slowestKeystrokeMs(view));
    print("peak_over_text_end", double(peakKilobytes()) * 1024 / textBytes);
    return 0;
}

int runPlainChild(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    QPlainTextEdit edit;
    edit.setPlainText(decodeDocument(file.readAll()).text);
    edit.resize(1000, 700);
    edit.show();
    QApplication::processEvents();
    edit.repaint();
    print("paint_ms", msSince(timer));
    return 0;
}

int runChild(const QString& mode, const QString& path) {
    if (mode == QStringLiteral("plain"))
        return runPlainChild(path);
    return runViewChild(path, mode == QStringLiteral("view+save"));
}

// ---- The parent side.

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

QString writeOnce(const QString& name, const std::function<QByteArray()>& make) {
    const QString path = scratch().filePath(name);
    if (!QFile::exists(path)) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(make()) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

std::map<std::string, double> runChildProcess(const QString& mode, const QString& path) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode, path});
    child.waitForFinished(-1);
    std::map<std::string, double> figures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            figures[line.left(eq).toStdString()] = line.mid(eq + 1).toDouble();
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        figures["failed"] = 1;
    return figures;
}

// Opens the file in a child process; with `compare` also in a bare QPlainTextEdit.
void openInChild(benchmark::State& state, const QString& path, bool compare, bool save) {
    std::map<std::string, double> view;
    for (auto _ : state) {
        view = runChildProcess(save ? QStringLiteral("view+save") : QStringLiteral("view"), path);
        if (view.count("failed") || !view.count("paint_ms")) {
            state.SkipWithError("the view did not open the file");
            return;
        }
        state.SetIterationTime(view["paint_ms"] / 1000);
    }
    for (const auto& [name, value] : view)
        state.counters[name] = value;
    state.counters["file_MB"] = double(QFile(path).size()) / double(MB);
    if (compare) {
        std::map<std::string, double> plain = runChildProcess(QStringLiteral("plain"), path);
        state.counters["QPlainTextEdit_ms"] = plain["paint_ms"];
        state.counters["QPlainTextEdit_over_view"] = plain["paint_ms"] / view["paint_ms"];
    }
}

void BM_Open20MBCp932(benchmark::State& state) {
    openInChild(state, writeOnce(QStringLiteral("cp932-20.txt"), makeEditingDocument), true, false);
}

void BM_Open100MBUtf8(benchmark::State& state) {
    openInChild(state,
                writeOnce(QStringLiteral("utf8-100.txt"), [] { return makeUtf8Lines(100 * MB); }),
                true, false);
}

void BM_OpenOneLine50MB(benchmark::State& state) {
    openInChild(state,
                writeOnce(QStringLiteral("one-line.txt"), [] { return makeOneLine(50 * MB); }),
                false, true);
}

void BM_OpenEmptyLines5M(benchmark::State& state) {
    openInChild(
        state, writeOnce(QStringLiteral("empty-lines.txt"), [] { return makeEmptyLines(5000000); }),
        false, true);
}

void BM_Open250MBCp932(benchmark::State& state) {
    openInChild(state,
                writeOnce(QStringLiteral("cp932-250.txt"), [] { return makeCp932Lines(250 * MB); }),
                false, true);
}

// ---- Editing the 20 MB document in this process.

struct Fixture {
    QString path;
    std::unique_ptr<CVantorpadApp> app;
    CVantorpadDoc* doc = nullptr;
    std::unique_ptr<CVantorpadView> view;

    Fixture() {
        path = writeOnce(QStringLiteral("cp932-20.txt"), makeEditingDocument);
        app = std::make_unique<CVantorpadApp>();
        for (int i = 0; i < KeywordsPerSet; ++i) {
            app->settings.Key1[i] = keyword(0, i);
            app->settings.Key2[i] = keyword(1, i);
        }
        doc = new CVantorpadDoc(app->documentHost());
        if (!doc->OnOpenDocument(path))
            qFatal("cannot open the benchmark document");
        view = std::make_unique<CVantorpadView>(app->documentHost(), doc);
        view->resize(1000, 700);
        view->show();
        QApplication::processEvents();
        CVantorpadView::hooks().searchFailed = [](QWidget*) {};
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadAndDecode(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        QFile file(f.path);
        file.open(QIODevice::ReadOnly);
        const EditorText decoded = decodeForEditor(file.readAll());
        benchmark::DoNotOptimize(decoded.utf8.size());
    }
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
    const QString target = scratch().filePath(QStringLiteral("saved.txt"));
    for (auto _ : state)
        if (!f.doc->OnSaveDocument(target))
            state.SkipWithError("cannot save");
    state.counters["identical"] = sameFile(f.path, target) ? 1 : 0;
}

// A character conversion of the whole 20 MB text through the view (convert and replace), the
// command's argument; undone between iterations, outside the timing.
void BM_Conversion(benchmark::State& state) {
    Fixture& f = fixture();
    const int command = int(state.range(0));
    for (auto _ : state) {
        f.view->selectAll();
        f.view->runConversion(command);
        f.view->repaint();
        state.PauseTiming();
        f.view->undo();
        state.ResumeTiming();
    }
    state.counters["target_ms"] = 500;
}

void BM_InsertTextFile(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->select(0, 0);
        state.counters["lines"] = f.view->InsertTextFile(f.path);
        f.view->repaint();
        state.PauseTiming();
        f.view->undo();
        state.ResumeTiming();
    }
    state.counters["target_ms"] = 500;
}

// One undo must bring the whole text back.
void BM_ReplaceAll(benchmark::State& state) {
    Fixture& f = fixture();
    const QByteArray before = f.doc->editorText();
    for (auto _ : state) {
        f.view->select(0, 0);
        state.counters["replaced"] = double(
            f.view->replaceAll(QStringLiteral("MARK"), QStringLiteral("MARKED"), false, true));
        f.view->repaint();
        state.PauseTiming();
        f.view->undo();
        state.counters["one_undo_restores"] = f.doc->editorText() == before ? 1 : 0;
        state.ResumeTiming();
    }
    state.counters["target_ms"] = 200;
}

void BM_FindAtTheEnd(benchmark::State& state) {
    Fixture& f = fixture();
    const bool matchCase = state.range(0) != 0;
    for (auto _ : state) {
        f.view->select(0, 0);
        if (!f.view->FindInView(EndMark, false, false, matchCase))
            state.SkipWithError("not found");
    }
    state.counters["target_ms"] = 30;
}

} // namespace

BENCHMARK(BM_Open20MBCp932)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_Open100MBUtf8)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_OpenOneLine50MB)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_OpenEmptyLines5M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_Open250MBCp932)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_ReadAndDecode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KeywordColouring)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ApplyEditorSettings)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(3);
// 199 upper case ... 209 katakana to hiragana.
BENCHMARK(BM_Conversion)->DenseRange(199, 209)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_InsertTextFile)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);
// Match case on, then off.
BENCHMARK(BM_FindAtTheEnd)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--child")
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture().view.reset();
    return 0;
}
