// lumetrix-kernel: computes the results of an input file. Progress and the report go to
// standard output, one line each; a failure is one message on standard error.
#include "kernel/result_writer.h"
#include "kernel/simulation.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

using namespace lumetrix;
using namespace lumetrix::kernel;

namespace {

constexpr const char* kUsage = "usage: lumetrix-kernel [--threads N] INPUT.dat\n";

// The layers that some wavelengths treat as incoherent, for the report.
std::string incoherentLayers(const Simulation& s) {
    std::string names;
    for (int i = 1; i <= s.layerCount(); ++i) {
        const StackRow& row = s.rows[static_cast<std::size_t>(i)];
        int thick = 0;
        for (double lambda : s.wavelengths)
            if (coherenceOf(row.thickness, lambda, row.nk.at(1, lambda).value_or(1), s.coherence) !=
                Coherence::Coherent)
                ++thick;
        if (thick > 0)
            names += (names.empty() ? "" : ", ") + row.name +
                     (thick == static_cast<int>(s.wavelengths.size()) ? "" : " (partly)");
    }
    return names.empty() ? "none" : names;
}

int run(const std::string& input, int threads) {
    const auto prepared = prepareSimulation(input);
    if (!prepared) {
        std::cerr << "lumetrix-kernel: " << prepared.error().describe() << '\n';
        return 1;
    }
    const Simulation& s = prepared.value();
    std::cout << "Input file: " << input << '\n'
              << "Wavelengths: " << s.wavelengths.front() << " - " << s.wavelengths.back()
              << " nm, " << s.wavelengths.size() << " points of the spectrum " << s.spectrumName
              << '\n'
              << "Layers treated as incoherent: " << incoherentLayers(s) << '\n';
    if (s.scatters())
        std::cout << "Scattered light: " << s.scattering.bins << " angle bins per 90 degrees\n";
    std::cout.flush();
    ResultWriter writer(s);
    if (const auto fault = writer.begin()) {
        std::cerr << "lumetrix-kernel: " << *fault << '\n';
        return 1;
    }
    const RunResults results = runSimulation(
        s, threads,
        {nullptr,
         [](int done, int total) { std::cout << "progress " << done << ' ' << total << std::endl; },
         [&writer](int index, const WavelengthResult& result) { writer.row(index, result); }});
    if (const auto fault = writer.finish(results)) {
        writer.abandon();
        std::cerr << "lumetrix-kernel: " << *fault << '\n';
        return 1;
    }
    std::printf("Total photocurrent density of the PV-active layers: %.2f mA/cm2\n",
                results.jphTotal);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int threads = 0;
    std::string input;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--threads" && i + 1 < argc) {
            try {
                threads = std::stoi(argv[++i]);
            } catch (const std::exception&) {
                threads = -1;
            }
            if (threads < 1) {
                std::cerr << "lumetrix-kernel: --threads needs a whole number of at least 1\n"
                          << kUsage;
                return 2;
            }
        } else if (arg.starts_with("-") || !input.empty()) {
            std::cerr << "lumetrix-kernel: unexpected argument " << arg << '\n' << kUsage;
            return 2;
        } else {
            input = arg;
        }
    }
    if (input.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    return run(input, threads);
}
