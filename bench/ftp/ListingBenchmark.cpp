// Kernels of listing a large directory: parsing MLSD and LIST text, and putting the entries
// in the list order as a list view shows them.

#include "ftp/FileListOrder.h"
#include "ftp/FtpNames.h"
#include "ftp/ListingParser.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Entries = 20000;

QByteArray mlsdListing() {
    QByteArray data;
    for (int i = 0; i < Entries; ++i)
        data += "modify=20240305140700;perm=radfwMT;size=" + QByteArray::number(i * 37) +
                ";type=file;unique=fe00g" + QByteArray::number(i) + "; entry" +
                QByteArray::number(i) + ".txt\r\n";
    return data;
}

QByteArray unixListing() {
    QByteArray data;
    for (int i = 0; i < Entries; ++i)
        data += "-rw-r--r--   1 user     group    " + QByteArray::number(i * 37) +
                " Mar 05 14:07 entry" + QByteArray::number(i) + ".txt\r\n";
    return data;
}

void ParseMlsd(benchmark::State& state) {
    const QByteArray data = mlsdListing();
    ListingParser parser;
    for (auto _ : state)
        benchmark::DoNotOptimize(parser.parseMlsd(data));
    state.SetItemsProcessed(state.iterations() * Entries);
}
BENCHMARK(ParseMlsd)->Unit(benchmark::kMillisecond);

void ParseUnixList(benchmark::State& state) {
    const QByteArray data = unixListing();
    ListingParser parser;
    for (auto _ : state)
        benchmark::DoNotOptimize(parser.parseList(data, false));
    state.SetItemsProcessed(state.iterations() * Entries);
}
BENCHMARK(ParseUnixList)->Unit(benchmark::kMillisecond);

void OrderRows(benchmark::State& state) {
    std::vector<ListedEntry> entries = ListingParser().parseMlsd(mlsdListing());
    for (auto _ : state) {
        std::vector<FileListOrder::Row> rows;
        rows.reserve(entries.size());
        for (size_t i = 0; i < entries.size(); ++i)
            rows.push_back({false,
                            {FtpNames::display(entries[i].name),
                             FileListOrder::sizeText(entries[i].size), QString()},
                            int(i)});
        FileListOrder order(3);
        order.refill();
        order.sort(rows);
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * Entries);
}
BENCHMARK(OrderRows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
