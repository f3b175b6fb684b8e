// A stand-in for the simulation kernel, for the tests of RUN.
//
//     lumetrix_kernel_double INPUT.dat
//
// It reads the structure and the output path from the input file, prints a report line naming
// the input file, then for each of LUMETRIX_DOUBLE_ROWS wavelengths (default 3) writes one row
// of <output>.rta (flushed) and prints "progress I N"; at the end the empty line of the .rta
// and <output>_Sum.jsc. LUMETRIX_DOUBLE_DELAY_MS waits before the header and each row.
// LUMETRIX_DOUBLE tells it to misbehave:
//   fail    after the first row, a message on standard error and exit code 1
//   silent  exit code 1 without a message
//   crash   killed by a signal after the first row
//   hang    after the last row and half of another, wait until killed (at most a minute,
//           then exit code 3)
// Wrong usage gives exit code 2.
//
//     lumetrix_kernel_double optimise INPUT.dat --settings FILE
//
// stands in for the optimisation: after the line "settings FILE" it prints
// LUMETRIX_DOUBLE_ROWS lines "iteration I best J" (J = 20 + I), then the best line with the
// value 100 + 10 * P for the P-th parameter line of the settings file, in its order. Here
// "fail" writes a message on standard error and exits with 1 after the first iteration, and
// "hang" waits after the iterations until killed.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

struct Input {
    std::vector<std::string> layers; // every row, the media included
    std::string output;              // folder and name, without a suffix
};

bool readInput(const char* path, Input& input) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(trimmed(line));
    const std::string count = "No. of layers: ";
    const std::string outName = "Name of the output files (with full path):";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(count, 0) == 0) {
            const int rows = std::atoi(lines[i].c_str() + count.size());
            // The rows follow the column titles and a rule line.
            for (int r = 0; r < rows && i + 4 + std::size_t(r) < lines.size(); ++r)
                input.layers.push_back(lines[i + 4 + std::size_t(r)].substr(
                    0, lines[i + 4 + std::size_t(r)].find(' ')));
        }
        if (lines[i] == outName && i + 1 < lines.size())
            input.output = lines[i + 1];
    }
    return input.layers.size() >= 2 && !input.output.empty();
}

void waitBeforeRow() {
    const int ms = std::atoi(env("LUMETRIX_DOUBLE_DELAY_MS").c_str());
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int optimise(int argc, char** argv) {
    if (argc != 5 || std::string(argv[3]) != "--settings") {
        std::cerr << "usage: lumetrix-kernel optimise INPUT.dat --settings FILE\n";
        return 2;
    }
    std::ifstream settings(argv[4]);
    const std::pair<std::string, std::string> labels[] = {{"thickness", "thickness"},
                                                          {"roughness", "roughness"},
                                                          {"n", "n_factor"},
                                                          {"k", "k_factor"}};
    std::string best = "best:";
    int parameters = 0;
    for (std::string line; std::getline(settings, line);)
        for (const auto& [key, label] : labels)
            if (line.rfind(key + " = ", 0) == 0)
                best += " " + label + "=" + std::to_string(100 + 10 * parameters++);
    std::cout << "settings " << argv[4] << std::endl;
    const std::string mode = env("LUMETRIX_DOUBLE");
    const int iterations =
        env("LUMETRIX_DOUBLE_ROWS").empty() ? 3 : std::atoi(env("LUMETRIX_DOUBLE_ROWS").c_str());
    for (int i = 1; i <= iterations; ++i) {
        waitBeforeRow();
        std::cout << "iteration " << i << " best " << 20 + i << std::endl;
        if (mode == "fail") {
            std::cerr << "layer 9 is not a layer of the structure\n";
            return 1;
        }
    }
    if (mode == "hang") {
        std::this_thread::sleep_for(std::chrono::minutes(1));
        return 3;
    }
    std::cout << best << " jsc=" << 20 + iterations << " iterations=" << iterations << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "optimise")
        return optimise(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: lumetrix-kernel [--threads N] INPUT.dat\n";
        return 2;
    }
    Input input;
    if (!readInput(argv[1], input)) {
        std::cerr << argv[1] << ": no structure or output name\n";
        return 1;
    }
    const std::string mode = env("LUMETRIX_DOUBLE");
    const int wavelengths =
        env("LUMETRIX_DOUBLE_ROWS").empty() ? 3 : std::atoi(env("LUMETRIX_DOUBLE_ROWS").c_str());
    const std::size_t layers = input.layers.size() - 2;
    std::cout << "input " << argv[1] << "\n"
              << "Range used: 300 - " << 300 + 10 * (wavelengths - 1) << " nm" << std::endl;
    if (mode == "silent")
        return 1;

    waitBeforeRow(); // the header too
    std::ofstream rta(input.output + ".rta");
    rta << "lambda\tR\tT";
    for (std::size_t l = 0; l < layers; ++l)
        rta << '\t' << input.layers[l + 1];
    rta << "\tSum\n" << std::flush;
    for (int i = 0; i < wavelengths; ++i) {
        waitBeforeRow();
        // R rises by 0.01 from 0.1, T is 0.5, the layers share the rest.
        const double r = 0.1 + 0.01 * i, t = 0.5;
        rta << 300 + 10 * i << '\t' << r << '\t' << t;
        for (std::size_t l = 0; l < layers; ++l)
            rta << '\t' << (1 - r - t) / double(layers);
        rta << "\t1\n" << std::flush;
        std::cout << "progress " << i + 1 << ' ' << wavelengths << std::endl;
        if (i == 0 && mode == "fail") {
            std::cerr << "nk/CIGS.nk, line 7: the wavelengths do not rise\n";
            return 1;
        }
        if (i == 0 && mode == "crash")
            std::raise(SIGTERM);
    }
    if (mode == "hang") {
        rta << 300 + 10 * wavelengths << "\t0.1" << std::flush; // a row being written
        std::this_thread::sleep_for(std::chrono::minutes(1));
        return 3;
    }
    rta << '\n';
    // Item i (R, T, then the layers) carries 1.25 * (i + 1) mA/cm2, the total 99.5.
    std::ofstream sum(input.output + "_Sum.jsc");
    sum << "Jsc\n(mA/cm2)\n\n";
    for (std::size_t i = 0; i < input.layers.size(); ++i)
        sum << 1.25 * double(i + 1) << '\t'
            << (i == 0   ? "R"
                : i == 1 ? "T"
                         : input.layers[i - 1])
            << '\n';
    sum << "\n99.5\tPV active\n";
    return 0;
}
