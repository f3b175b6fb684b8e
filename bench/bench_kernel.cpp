// The kernel's speed: one wavelength of a 48-layer coherent stack, and the whole shipped
// example (data read, every wavelength of its spectrum, every result file written) on 1 and
// on all threads. The example runs from a copy whose folders point at data/ of the sources.
#include "kernel/optics.h"
#include "kernel/optimise.h"
#include "kernel/result_writer.h"
#include "kernel/simulation.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <omp.h>
#include <sstream>

namespace {

using namespace lumetrix::kernel;

void CoherentStack48(benchmark::State& state) {
    std::vector<OpticalLayer> layers;
    for (int i = 0; i < 48; ++i)
        layers.push_back(
            {{i % 2 ? 2.3 : 1.46, i % 3 ? 0.0 : 0.01}, 80.0 + i, Coherence::Coherent, 0, 5});
    double lambda = 400;
    for (auto _ : state) {
        benchmark::DoNotOptimize(solveStack(1.0, layers, {1.52, 0}, lambda));
        lambda = lambda < 1100 ? lambda + 1 : 400;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CoherentStack48);

std::string exampleInput() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "lumetrix_bench_kernel";
    fs::create_directories(dir / "Out");
    std::ifstream in(std::string(LUMETRIX_DATA_DIR) + "/in/CIGS example.dat", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string text = bytes.str();
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"/opt/lumetrix/Out", (dir / "Out").string()},
          {"/opt/lumetrix", LUMETRIX_DATA_DIR}})
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
            text.replace(at, from.size(), to);
    std::ofstream(dir / "example.dat", std::ios::binary) << text;
    return (dir / "example.dat").string();
}

// range(0): threads (0: all); range(1): 1 with the example's rough interfaces, 0 with every
// interface computed flat.
void ExampleRun(benchmark::State& state) {
    const std::string input = exampleInput();
    const int threads = state.range(0) ? static_cast<int>(state.range(0)) : omp_get_max_threads();
    for (auto _ : state) {
        auto simulation = prepareSimulation(input);
        if (!simulation) {
            state.SkipWithError(simulation.error().describe().c_str());
            return;
        }
        Simulation s = std::move(simulation).value();
        s.anyRough = state.range(1) != 0;
        simulation = std::move(s);
        ResultWriter writer(simulation.value());
        writer.begin();
        const auto results = runSimulation(
            simulation.value(), threads,
            {nullptr, nullptr, [&](int i, const WavelengthResult& o) { writer.row(i, o); }});
        writer.finish(results);
        state.counters["wavelengths"] = static_cast<double>(simulation.value().wavelengths.size());
    }
    state.counters["threads"] = threads;
}
BENCHMARK(ExampleRun)
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);

// The example's scattered light alone at a chosen number of angle bins per 90 degrees
// (range(0); 360 is the most, 180 equivalent angles at precision "h"), one thread, every wavelength
// solved, no files written; range(1) = 1 replaces the example's specular ADF2 by a Lambertian one,
// whose scattered light is redistributed over all bins.
void ExampleScatteringBins(benchmark::State& state) {
    auto simulation = prepareSimulation(exampleInput());
    if (!simulation) {
        state.SkipWithError(simulation.error().describe().c_str());
        return;
    }
    Simulation s = std::move(simulation).value();
    s.scattering.bins = static_cast<int>(state.range(0));
    const auto prepare = [&s, &state](InterfaceAdfs& adfs) {
        if (state.range(1))
            for (Adf* adf : {&adfs.adf2R, &adfs.adf2T})
                *adf = Adf{};
        adfs.share(s.scattering.bins);
    };
    prepare(s.scattering.adfs);
    for (auto& group : s.scattering.groups)
        prepare(group.second);
    for (auto _ : state)
        benchmark::DoNotOptimize(runSimulation(s, 1, {}));
    state.counters["wavelengths"] = static_cast<double>(s.wavelengths.size());
}
BENCHMARK(ExampleScatteringBins)
    ->ArgsProduct({{2, 8, 45, 90, 360}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace
// The thickness of the example's CIGS absorber (1000 to 3000 nm) for the most photocurrent,
// by the simplex; the counters give the iterations and the photocurrent gained.
void ExampleAbsorberOptimisation(benchmark::State& state) {
    const auto simulation = prepareSimulation(exampleInput());
    if (!simulation) {
        state.SkipWithError(simulation.error().describe().c_str());
        return;
    }
    OptimiseSettings settings;
    settings.layers = {5};
    settings.parameters = {{OptimisedParameter::Kind::Thickness,
                            {5},
                            OptimisedParameter::Interval::Absolute,
                            1000,
                            3000}};
    for (auto _ : state) {
        const RunResults start = runSimulation(simulation.value(), 0, {});
        const auto result = optimise(simulation.value(), settings, 0, {});
        state.counters["iterations"] = result ? result.value().iterations : -1;
        state.counters["jsc_gained"] = result ? result.value().jsc - start.jph[3] : 0;
        state.counters["thickness"] = result ? result.value().values[0] : 0;
    }
}
BENCHMARK(ExampleAbsorberOptimisation)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
