// lumetrix-kernel: computes the results of an input file. Progress and the report go to
// standard output, one line each; a failure is one message on standard error.
#include "core/numbertext.h"
#include "kernel/optimise.h"
#include "kernel/result_writer.h"
#include "kernel/simulation.h"
#include "kernel/tools.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <malloc.h>
#include <map>
#include <string>
#include <string_view>

using namespace lumetrix;
using namespace lumetrix::kernel;

namespace {

constexpr const char* kUsage =
    "usage: lumetrix-kernel [--threads N] INPUT.dat\n"
    "       lumetrix-kernel transform --kind cR|cT --haze FILE --rms NM --incident NK_FILE\n"
    "                       --transmission NK_FILE [--power P] --out FILE.cal\n"
    "       lumetrix-kernel lpif REFERENCE IMPROVED --column-ref C1 --column-impr C2 --out FILE\n"
    "       lumetrix-kernel optimise INPUT.dat --settings FILE [--threads N]\n";

// The options "--name value" of a subcommand, and its other arguments in order; false when
// an option has no value or is not one of `known`.
bool splitArguments(int argc, char** argv, const std::vector<std::string>& known,
                    std::map<std::string, std::string>& options, std::vector<std::string>& rest) {
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!arg.starts_with("--")) {
            rest.push_back(arg);
            continue;
        }
        if (i + 1 >= argc || std::find(known.begin(), known.end(), arg) == known.end()) {
            std::cerr << "lumetrix-kernel: unexpected option " << arg << '\n' << kUsage;
            return false;
        }
        options[arg] = argv[++i];
    }
    return true;
}

// A number given on the command line; nothing when it is none.
std::optional<double> numberArgument(const std::string& text) {
    const auto value = parseFileNumber(text, '.');
    return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
}

// More threads than this only cost memory: the wavelengths are spread over at most these.
constexpr int kMostThreads = 256;
const std::string kThreadsNeed =
    "--threads needs a whole number from 1 to " + std::to_string(kMostThreads);

// The thread count of a "--threads" option; nothing when it is not a whole number in range.
std::optional<int> threadCount(const std::string& text) {
    const auto value = numberArgument(text);
    if (!value || *value != static_cast<int>(*value) || *value < 1 || *value > kMostThreads)
        return std::nullopt;
    return static_cast<int>(*value);
}

int usageFault(const std::string& what) {
    std::cerr << "lumetrix-kernel: " << what << '\n' << kUsage;
    return 2;
}

int transform(int argc, char** argv) {
    std::map<std::string, std::string> o;
    std::vector<std::string> rest;
    if (!splitArguments(
            argc, argv,
            {"--kind", "--haze", "--rms", "--incident", "--transmission", "--power", "--out"}, o,
            rest))
        return 2;
    for (const char* needed :
         {"--kind", "--haze", "--rms", "--incident", "--transmission", "--out"})
        if (!o.count(needed))
            return usageFault(std::string("transform needs ") + needed);
    if (!rest.empty() || (o["--kind"] != "cR" && o["--kind"] != "cT"))
        return usageFault("transform takes --kind cR or cT and no other arguments");
    const auto rms = numberArgument(o["--rms"]);
    const auto power = o.count("--power") ? numberArgument(o["--power"]) : std::optional(3.0);
    if (!rms || !power)
        return usageFault("--rms and --power take numbers");
    const auto report = transformHaze({o["--kind"] == "cR", o["--haze"], *rms, o["--incident"],
                                       o["--transmission"], *power, o["--out"]});
    if (!report) {
        std::cerr << "lumetrix-kernel: " << report.error().describe() << '\n';
        return 1;
    }
    std::cout << "Written " << o["--out"] << ": " << report.value().points << " points from "
              << report.value().first << " to " << report.value().last << " nm\n";
    for (const std::string& skipped : report.value().skipped)
        std::cout << "Skipped " << skipped << '\n';
    return 0;
}

int lpif(int argc, char** argv) {
    std::map<std::string, std::string> o;
    std::vector<std::string> rest;
    if (!splitArguments(argc, argv, {"--column-ref", "--column-impr", "--out"}, o, rest))
        return 2;
    if (rest.size() != 2 || !o.count("--column-ref") || !o.count("--column-impr") ||
        !o.count("--out"))
        return usageFault("lpif needs REFERENCE, IMPROVED, --column-ref, --column-impr and --out");
    // A layer's column of a table: a whole number from 2; whether the table has it, the
    // calculation says.
    int columns[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const std::string option = i == 0 ? "--column-ref" : "--column-impr";
        const auto value = numberArgument(o[option]);
        if (!value || *value != std::floor(*value) || *value < 2 ||
            *value > std::numeric_limits<int>::max())
            return usageFault(option +
                              " takes a layer's column of the table, a whole number from "
                              "2 to the table's last column, not \"" +
                              o[option] + "\"");
        columns[i] = static_cast<int>(*value);
    }
    const auto summary = computeLpif({rest[0], rest[1], columns[0], columns[1], o["--out"]});
    if (!summary) {
        std::cerr << "lumetrix-kernel: " << summary.error().describe() << '\n';
        return 1;
    }
    for (const std::string& line : lpifReport(summary.value()))
        std::cout << line << '\n';
    return 0;
}

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
    for (const std::string& warning : runWarnings(s))
        std::cout << warning << '\n';
    std::cout.flush();
    OutputLock lock(s.outputBase);
    if (const auto fault = lock.acquire()) {
        std::cerr << "lumetrix-kernel: " << *fault << '\n';
        return 1;
    }
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
    if (results.failure) {
        writer.abandon();
        std::cerr << "lumetrix-kernel: " << input << ": " << *results.failure << '\n';
        return 1;
    }
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

int optimiseCommand(int argc, char** argv) {
    std::map<std::string, std::string> o;
    std::vector<std::string> rest;
    if (!splitArguments(argc, argv, {"--settings", "--threads"}, o, rest))
        return 2;
    if (rest.size() != 1 || !o.count("--settings"))
        return usageFault("optimise needs INPUT.dat and --settings FILE");
    const auto threads = o.count("--threads") ? threadCount(o["--threads"]) : std::optional(0);
    if (!threads)
        return usageFault(kThreadsNeed);
    const auto settings = readOptimiseSettings(o["--settings"]);
    if (!settings) {
        std::cerr << "lumetrix-kernel: " << settings.error().describe() << '\n';
        return 1;
    }
    const auto simulation = prepareSimulation(rest[0]);
    if (!simulation) {
        std::cerr << "lumetrix-kernel: " << simulation.error().describe() << '\n';
        return 1;
    }
    OutputLock lock(simulation.value().outputBase);
    if (const auto fault = lock.acquire()) {
        std::cerr << "lumetrix-kernel: " << *fault << '\n';
        return 1;
    }
    const auto result = optimise(simulation.value(), settings.value(), *threads,
                                 [](const std::string& line) { std::cout << line << std::endl; });
    if (!result) {
        std::cerr << "lumetrix-kernel: " << result.error().describe() << '\n';
        return 1;
    }
    std::cout << result.value().bestLine << '\n';
    return 0;
}

int main(int argc, char** argv) {
    // Every wavelength takes and frees work arrays of the same sizes again; memory handed
    // back to the system would come back page by page (a fault per page, a fifth of a run
    // with scattered light), so freed memory is kept for the next wavelength.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    if (argc > 1 && std::string_view(argv[1]) == "optimise")
        return optimiseCommand(argc, argv);
    if (argc > 1 && std::string_view(argv[1]) == "transform")
        return transform(argc, argv);
    if (argc > 1 && std::string_view(argv[1]) == "lpif")
        return lpif(argc, argv);
    int threads = 0;
    std::string input;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--threads" && i + 1 < argc) {
            const auto count = threadCount(argv[++i]);
            if (!count)
                return usageFault(kThreadsNeed);
            threads = *count;
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
