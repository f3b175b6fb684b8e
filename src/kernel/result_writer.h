#pragma once

#include "kernel/simulation.h"

#include <fstream>
#include <optional>
#include <string>
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
// The ".rta" grows row by row while the run goes on, so the on-line view can follow it; the
// other files are written whole at the end, each beside itself and then renamed into place.
class ResultWriter {
public:
    explicit ResultWriter(const Simulation& simulation) : m_s(simulation) {}

    // Starts the ".rta" with its header; the reason when it cannot be written.
    std::optional<std::string> begin();
    // The ".rta" row of wavelength `index`, flushed at once.
    void row(int index, const WavelengthResult& result);
    // Ends the ".rta" and writes every other file.
    std::optional<std::string> finish(const RunResults& results);
    // Removes the ".rta" of a run that failed, so that no partial result stays behind.
    void abandon();

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

    std::string path(const char* suffix) const { return m_s.outputBase + suffix; }

private:
    std::vector<std::string> runInformation(const char* what) const;

    const Simulation& m_s;
    std::ofstream m_rta;
};

} // namespace lumetrix::kernel
