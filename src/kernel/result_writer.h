#pragma once

#include "kernel/simulation.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetrix::kernel {

// Holds an output name for one run, so that two runs never write the same result files:
// "<output>.lock" beside them holds the process id and goes when the holder ends. A lock
// whose process has ended (a killed run) is stale and taken over.
class OutputLock {
public:
    explicit OutputLock(std::string outputBase) : m_path(std::move(outputBase) + ".lock") {}
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;
    ~OutputLock();

    // The reason when another run holds the name or the lock cannot be made.
    std::optional<std::string> acquire();

private:
    std::string m_path;
    bool m_held = false;
};

// The result files of a run, in the layouts the Results page reads (docs/result-files.md).
// The rows grow in "<output>_partial.rta" while the run goes on, so the on-line view can follow
// them; at the end every other file is written beside its place, and only when all of them are
// written does the whole set (the ".rta" renamed from the partial one) replace the earlier run's.
class ResultWriter {
public:
    explicit ResultWriter(const Simulation& simulation) : m_s(simulation) {}

    // Starts the partial ".rta" with its header, once the output folder has room for the
    // whole set; the reason when it cannot be written.
    std::optional<std::string> begin();
    // The row of wavelength `index`; rows reach the file at least every 0.1 s.
    void row(int index, const WavelengthResult& result);
    // Ends the rows, writes every other file and puts the set in place.
    std::optional<std::string> finish(const RunResults& results);
    // Removes the partial ".rta" of a run that failed, so that no partial result stays behind.
    void abandon();

    // An upper estimate of the bytes of the whole set of result files.
    std::uintmax_t bytesNeeded() const;

    // The lines of each file, for the tests and for finish().
    std::vector<std::string> rtaHeader() const;
    enum class Light { All, Specular, Scattered };
    std::string rtaRow(int index, const WavelengthResult& result, Light light) const;
    std::vector<std::string> totalsLines(const RunResults& results) const;
    std::vector<std::string> jscLines(const RunResults& results) const;
    std::vector<std::string> jphLines(const RunResults& results, bool ratio) const;
    std::vector<std::string> generationLines(const RunResults& results) const;
    std::vector<std::string> hazeLines(const RunResults& results) const;
    std::vector<std::string> adfLines(const RunResults& results, bool reflected) const;

    std::string path(std::string_view suffix) const { return m_s.outputBase + std::string(suffix); }

private:
    std::vector<std::string> runInformation(const char* what) const;

    const Simulation& m_s;
    std::ofstream m_rta;
    std::string m_rtaFault; // why a row could not be written: the first failure
    std::chrono::steady_clock::time_point m_flushed{};
};

} // namespace lumetrix::kernel
