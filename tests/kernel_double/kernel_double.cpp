// A stand-in for the simulation kernel, for the tests of RUN and of the optimisation.
//   lumetrix_kernel_double INPUT.dat
// reports its input and range, then writes <output>_partial.rta row by row with "progress I N"
// lines, and at the end the totals in <output>_Sum.jsc and the rows renamed to <output>.rta.
//   lumetrix_kernel_double optimise INPUT.dat --settings FILE
// prints "iteration I best J" lines, then the best line with a value for each parameter of FILE.
// LUMETRIX_DOUBLE_ROWS gives the rows or iterations (3), LUMETRIX_DOUBLE_DELAY_MS a wait before
// each; LUMETRIX_DOUBLE = fail | silent | crash | hang makes it misbehave (a hang ends after a
// minute with exit code 3). Wrong usage gives exit code 2.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

int rows() {
    return env("LUMETRIX_DOUBLE_ROWS").empty() ? 3 : std::atoi(env("LUMETRIX_DOUBLE_ROWS").c_str());
}

void waitBeforeRow() {
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::atoi(env("LUMETRIX_DOUBLE_DELAY_MS").c_str())));
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

// The number of layers between the media and the output name (folder and name, no suffix).
bool readInput(const char* path, int& layers, std::string& output) {
    std::ifstream file(path);
    const std::string count = "No. of layers: ";
    for (std::string line; std::getline(file, line);) {
        line = trimmed(line);
        if (line.rfind(count, 0) == 0)
            layers = std::atoi(line.c_str() + count.size()) - 2; // the media are rows too
        if (line == "Name of the output files (with full path):" && std::getline(file, output))
            output = trimmed(output);
    }
    return layers >= 0 && !output.empty();
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
    const int iterations = rows();
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
    int layers = -1;
    std::string output;
    if (!readInput(argv[1], layers, output)) {
        std::cerr << argv[1] << ": no structure or output name\n";
        return 1;
    }
    const std::string mode = env("LUMETRIX_DOUBLE");
    const int wavelengths = rows();
    std::cout << "input " << argv[1] << "\n"
              << "Range used: 300 - " << 300 + 10 * (wavelengths - 1) << " nm" << std::endl;
    if (mode == "silent")
        return 1;

    waitBeforeRow(); // the header too
    std::ofstream rta(output + "_partial.rta");
    rta << "lambda\tR\tT";
    for (int l = 1; l <= layers; ++l)
        rta << "\tlayer " << l;
    rta << "\tSum\n" << std::flush;
    for (int i = 0; i < wavelengths; ++i) {
        waitBeforeRow();
        const double r = 0.1 + 0.01 * i, t = 0.5;
        rta << 300 + 10 * i << '\t' << r << '\t' << t;
        for (int l = 0; l < layers; ++l)
            rta << '\t' << (1 - r - t) / layers;
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
    rta.close();
    // Item i (R, T, then the layers) carries 1.25 * (i + 1) mA/cm2, the total 99.5.
    std::ofstream sum(output + "_Sum.jsc");
    sum << "Jsc\n(mA/cm2)\n\n";
    for (int i = 0; i < layers + 2; ++i)
        sum << 1.25 * (i + 1) << "\titem " << i + 1 << '\n';
    sum << "\n99.5\tPV active\n";
    sum.close();
    return std::rename((output + "_partial.rta").c_str(), (output + ".rta").c_str()) == 0 ? 0 : 1;
}
