#include "encoding/ByteStreamConverter.h"
#include "encoding/CodeTableBuilder.h"
#include "encoding/LosslessCodec.h"
#include "encoding/SjisEucConversion.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr qsizetype kTextSize = 4 * 1024 * 1024;
constexpr std::size_t kBlock = 64 * 1024;

// Running Japanese text in Shift_JIS: mostly kanji and hiragana, some ASCII, CR LF lines.
QByteArray makeSjisText() {
    QRandomGenerator random(42);
    QByteArray text;
    text.reserve(kTextSize + 64);
    int column = 0;
    while (text.size() < kTextSize) {
        const int kind = int(random.bounded(100));
        if (kind < 45) {
            const SjisPair p =
                JisToSjis(uchar(random.bounded(0x30, 0x4F)), uchar(random.bounded(0x21, 0x7F)));
            text.append(char(p.lead)).append(char(p.trail));
        } else if (kind < 85) {
            const SjisPair p = JisToSjis(0x24, uchar(random.bounded(0x21, 0x74)));
            text.append(char(p.lead)).append(char(p.trail));
        } else if (kind < 95) {
            text.append(char(random.bounded(0x61, 0x7B)));
        } else {
            text.append(char(random.bounded(0xB1, 0xDE)));
        }
        if (++column == 40) {
            text.append("\r\n");
            column = 0;
        }
    }
    return text;
}

const QByteArray& sjisText() {
    static const QByteArray text = makeSjisText();
    return text;
}

QByteArray convertAll(ByteStreamConverter& converter, const QByteArray& input) {
    QByteArray output(input.size() * 2 + 2, Qt::Uninitialized);
    std::size_t consumed = 0;
    const std::size_t written = converter.convert(
        reinterpret_cast<const uchar*>(input.constData()), std::size_t(input.size()), true,
        reinterpret_cast<uchar*>(output.data()), &consumed);
    output.truncate(qsizetype(written));
    return output;
}

const QByteArray& eucText() {
    static const QByteArray text = [] {
        SjisToEucConverter converter;
        return convertAll(converter, sjisText());
    }();
    return text;
}

// Feeds the converter 64 KiB at a time, carrying a cut sequence over as the file loop does.
void runBlocks(benchmark::State& state, ByteStreamConverter& converter, const QByteArray& input) {
    std::vector<uchar> in(kBlock + 1);
    std::vector<uchar> out((kBlock + 1) * ByteStreamConverter::kMaxGrowth);
    const auto* data = reinterpret_cast<const uchar*>(input.constData());
    const std::size_t size = std::size_t(input.size());
    for (auto _ : state) {
        std::size_t carried = 0;
        std::size_t position = 0;
        for (;;) {
            const std::size_t n = std::min(kBlock, size - position);
            std::copy(data + position, data + position + n, in.data() + carried);
            position += n;
            std::size_t consumed = 0;
            const std::size_t length = carried + n;
            const std::size_t written =
                converter.convert(in.data(), length, n == 0, out.data(), &consumed);
            benchmark::DoNotOptimize(written);
            if (n == 0)
                break;
            carried = length - consumed;
            if (carried > 0)
                in[0] = in[consumed];
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

void SjisToEucBlocks(benchmark::State& state) {
    SjisToEucConverter converter;
    runBlocks(state, converter, sjisText());
}

void EucToSjisBlocks(benchmark::State& state) {
    EucToSjisConverter converter;
    runBlocks(state, converter, eucText());
}

void decodeText(benchmark::State& state, const LosslessCodec& codec, const QByteArray& bytes) {
    for (auto _ : state)
        benchmark::DoNotOptimize(codec.decode(bytes));
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void encodeText(benchmark::State& state, const LosslessCodec& codec, const QByteArray& bytes) {
    const QString text = codec.decode(bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(codec.encode(text));
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void Cp932Decode(benchmark::State& state) {
    decodeText(state, LosslessCodec::cp932(), sjisText());
}
void Cp932Encode(benchmark::State& state) {
    encodeText(state, LosslessCodec::cp932(), sjisText());
}
void EucJpDecode(benchmark::State& state) {
    decodeText(state, LosslessCodec::eucJp(), eucText());
}
void EucJpEncode(benchmark::State& state) {
    encodeText(state, LosslessCodec::eucJp(), eucText());
}

// What the first use of a codec pays once: its tables, read from iconv.
void Cp932TableBuild(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(buildCodeTables(CodeTableKind::Cp932));
}

void EucJpTableBuild(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(buildCodeTables(CodeTableKind::EucJp));
}

} // namespace

BENCHMARK(SjisToEucBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(EucToSjisBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(Cp932Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(Cp932Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(EucJpDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(EucJpEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(Cp932TableBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(EucJpTableBuild)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
