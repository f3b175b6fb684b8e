// Reading a result file of 100,000 lines by 50 columns (about 45 MB) into the table model,
// TAB-separated and fixed-width; bytes per second are reported. Peak memory is measured from
// outside: /usr/bin/time -v build/src/lumetrix --table FILE > /dev/null
#include "core/result_files.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

std::string resultText(bool tabs) {
    std::string text;
    text.reserve(50u << 20);
    char cell[32];
    for (int c = 0; c < 50; ++c)
        text +=
            (c ? (tabs ? "\t" : "  ") : "") + std::string(tabs ? "A" : "  A") + std::to_string(c);
    text += "\r\n";
    for (int r = 0; r < 100000; ++r) {
        for (int c = 0; c < 50; ++c) {
            std::snprintf(cell, sizeof cell, tabs ? "%s%.6f" : "%s%9.6f",
                          c ? (tabs ? "\t" : " ") : "", 0.000013 * r + c);
            text += cell;
        }
        text += "\r\n";
    }
    return text;
}

void readTable(benchmark::State& state, bool tabs) {
    const std::string text = resultText(tabs);
    for (auto _ : state) {
        auto table = lumetrix::parseResultTable(text, 0, "bench.rta");
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ReadTabSeparated(benchmark::State& state) {
    readTable(state, true);
}
void BM_ReadFixedWidth(benchmark::State& state) {
    readTable(state, false);
}
BENCHMARK(BM_ReadTabSeparated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFixedWidth)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
