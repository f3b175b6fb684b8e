// Writing and reading the largest project: 50 rows, 15 ADF groups, long ADF lists.
#include "core/inputfile_reader.h"
#include "core/inputfile_writer.h"
#include "core/layer_rows.h"
#include "core/text_codec.h"

#include <benchmark/benchmark.h>

namespace {

lumetrix::Project largestProject() {
    using namespace lumetrix;
    Project p;
    LayerRows rows;
    for (int i = 0; i < 50; ++i)
        rows.addRow();
    p.structure.rows = rows.rows();
    for (std::size_t i = 1; i + 1 < p.structure.rows.size(); ++i) {
        p.structure.rows[i].layerFile = "layer_material_" + std::to_string(i);
        p.structure.rows[i].thickness = "1234.5678";
    }
    for (int g = 1; g < AdfGroupTable::kMaxGroups; ++g)
        p.adf.groups.add();
    for (int k = 0; k < 500; ++k) {
        p.adf.adf1List.push_back("internal ADF1 model " + std::to_string(k));
        p.adf.adf2List.push_back("internal ADF2 model " + std::to_string(k));
    }
    p.comments = std::string(2000, 'c');
    return p;
}

lumetrix::WriterContext context() {
    lumetrix::WriterContext c;
    c.workDir = "/opt/lumetrix";
    return c;
}

void BM_WriteLargestProject(benchmark::State& state) {
    const lumetrix::Project p = largestProject();
    for (auto _ : state) {
        std::vector<std::string> lines;
        lumetrix::BuildInputFile(p, context(), lines);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_WriteLargestProject);

void BM_ReadLargestProject(benchmark::State& state) {
    std::vector<std::string> lines;
    lumetrix::BuildInputFile(largestProject(), context(), lines);
    for (auto& line : lines)
        line = *lumetrix::utf8ToCp1252(line);
    const lumetrix::ReaderContext reader{{'.', ','}, "/opt/lumetrix", false};
    for (auto _ : state) {
        auto loaded = lumetrix::parseInputLines(lines, "largest.dat", reader);
        if (!loaded)
            state.SkipWithError("the largest project did not read back");
        benchmark::DoNotOptimize(loaded);
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_ReadLargestProject);

} // namespace

BENCHMARK_MAIN();
