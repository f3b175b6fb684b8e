#include "kernel/simulation.h"

#include "core/folders.h"
#include "core/inputfile_reader.h"
#include "core/numbertext.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <omp.h>

namespace lumetrix::kernel {
namespace {

// The first structure row stands on this line of a file of the current layout.
constexpr int kFirstRowLine = 12;

class Preparer {
public:
    Preparer(const std::string& file, const LoadedProject& loaded, char decimal)
        : m_file(file), m_loaded(loaded), m_decimal(decimal) {}

    Result<Simulation> prepare();

private:
    // A number the reader has checked already; the decimal separator is the file's.
    double number(const std::string& text) const {
        std::string t = text;
        std::erase(t, ' ');
        return static_cast<double>(parseFileNumber(t, m_decimal).value_or(0));
    }
    int rowLine(std::size_t row) const {
        return m_loaded.layout == LoadedProject::Layout::Current
                   ? kFirstRowLine + static_cast<int>(row)
                   : 0;
    }
    Result<DataTable> nkOf(const std::string& name);
    std::optional<ReadError> fixGrid(Simulation& s, const DataTable& spectrum) const;

    const std::string& m_file;
    const LoadedProject& m_loaded;
    char m_decimal;
    std::map<std::string, DataTable> m_nk;
};

Result<DataTable> Preparer::nkOf(const std::string& name) {
    if (const auto known = m_nk.find(name); known != m_nk.end())
        return known->second;
    auto table = readDataFile(dataFilePath(m_loaded.statedFolders.layerFileDir, name, DataKind::Nk),
                              DataKind::Nk);
    if (table)
        m_nk.emplace(name, table.value());
    return table;
}

Result<Simulation> Preparer::prepare() {
    const Project& p = m_loaded.values;
    Simulation s;
    s.inputFile = m_file;
    s.outputBase = joinPath(m_loaded.statedFolders.outFileDir, p.files.eOutFileName);
    s.coherence = {number(p.structure.pbIfactor), number(p.structure.pbCfactor)};
    s.anglesPer90 = static_cast<int>(number(p.adf.pbNoAngles));
    if (s.coherence.incoherentFactor <= 0 || s.coherence.coherentFactor < 1)
        return ReadError{m_file, 0,
                         "the incoherence factors must be above 0 and the coherence factor at "
                         "least 1"};
    for (std::size_t i = 0; i < m_loaded.rows.size(); ++i) {
        const LoadedRow& loaded = m_loaded.rows[i];
        const bool medium = i == 0 || i + 1 == m_loaded.rows.size();
        StackRow row;
        row.name = loaded.layerFile;
        if (!medium) {
            if (!loaded.thickness || !loaded.segments)
                return ReadError{m_file, rowLine(i),
                                 "the layer \"" + row.name + "\" has no thickness or segments"};
            row.thickness = number(*loaded.thickness);
            row.segments = std::max(1, static_cast<int>(number(*loaded.segments)));
        }
        if (i > 0 && loaded.roughness)
            row.roughness = number(*loaded.roughness);
        row.pvActive = loaded.pvActive;
        s.anyRough = s.anyRough || row.roughness > 0;
        auto nk = nkOf(row.name);
        if (!nk)
            return nk.error();
        row.nk = std::move(nk).value();
        s.rows.push_back(std::move(row));
    }
    if (s.rows.size() < 2)
        return ReadError{m_file, 0, "the structure needs a top and a bottom medium"};
    s.spectrumName = p.spectrum.cbSpekter;
    const auto spectrum = readDataFile(
        dataFilePath(m_loaded.statedFolders.spectrumDir, s.spectrumName, DataKind::Spectrum),
        DataKind::Spectrum);
    if (!spectrum)
        return spectrum.error();
    if (const auto fault = fixGrid(s, spectrum.value()))
        return *fault;
    return s;
}

std::optional<ReadError> Preparer::fixGrid(Simulation& s, const DataTable& spectrum) const {
    const auto& x = spectrum.columns[0];
    for (std::size_t i = 0; i < x.size(); ++i) {
        const bool covered = std::all_of(s.rows.begin(), s.rows.end(), [&](const StackRow& row) {
            return row.nk.first() <= x[i] && x[i] <= row.nk.last();
        });
        if (covered) {
            s.wavelengths.push_back(x[i]);
            s.irradiance.push_back(spectrum.columns[1][i]);
        }
    }
    if (!s.wavelengths.empty())
        return std::nullopt;
    // Name the narrowest nk file: the one that leaves the spectrum out.
    const StackRow& narrowest =
        *std::min_element(s.rows.begin(), s.rows.end(), [](const StackRow& a, const StackRow& b) {
            return a.nk.last() - a.nk.first() < b.nk.last() - b.nk.first();
        });
    const auto range = [](const DataTable& t) {
        return formatGeneral(t.first(), '.') + " - " + formatGeneral(t.last(), '.') + " nm";
    };
    return ReadError{narrowest.nk.path, 0,
                     "no wavelength of the spectrum " + spectrum.path + " (" + range(spectrum) +
                         ") lies inside the range of every nk file; this one covers only " +
                         range(narrowest.nk)};
}

// The layers at one wavelength.
std::vector<OpticalLayer> layersAt(const Simulation& s, double wavelength) {
    std::vector<OpticalLayer> layers;
    for (std::size_t i = 1; i + 1 < s.rows.size(); ++i) {
        const StackRow& row = s.rows[i];
        const double n = row.nk.at(1, wavelength).value_or(1);
        const double k = row.nk.at(2, wavelength).value_or(0);
        OpticalLayer layer{{n, k}, row.thickness, Coherence::Coherent, 0, row.segments};
        layer.coherence =
            coherenceOf(row.thickness, wavelength, n, s.coherence, &layer.incoherentWeight);
        layers.push_back(layer);
    }
    return layers;
}

Complex indexAt(const StackRow& row, double wavelength) {
    return {row.nk.at(1, wavelength).value_or(1), row.nk.at(2, wavelength).value_or(0)};
}

} // namespace

Result<Simulation> prepareSimulation(const std::string& inputFile) {
    // The file holds numbers with the decimal separator of the machine that saved it.
    char decimal = '.';
    auto loaded = readInputFile(inputFile, {{'.', ','}, {}, false});
    if (!loaded) {
        auto comma = readInputFile(inputFile, {{',', '.'}, {}, false});
        if (!comma)
            return loaded.error();
        loaded = std::move(comma);
        decimal = ',';
    }
    return Preparer(inputFile, loaded.value(), decimal).prepare();
}

double spectralPhotocurrent(double wavelength, double irradiance, double fraction) {
    constexpr double q = 1.602176634e-19, h = 6.62607015e-34, c = 299792458;
    // Photons per (m^2 s nm) times the charge gives A/(m^2 nm); 0.1 makes it mA/(cm^2 nm).
    return q / (h * c) * wavelength * 1e-9 * irradiance * fraction * 0.1;
}

double photocurrent(const std::vector<double>& wavelengths, const std::vector<double>& irradiance,
                    const std::vector<double>& fraction) {
    double sum = 0;
    for (std::size_t i = 0; i + 1 < wavelengths.size(); ++i)
        sum += 0.5 *
               (spectralPhotocurrent(wavelengths[i], irradiance[i], fraction[i]) +
                spectralPhotocurrent(wavelengths[i + 1], irradiance[i + 1], fraction[i + 1])) *
               (wavelengths[i + 1] - wavelengths[i]);
    return sum;
}

RunResults runSimulation(const Simulation& s, int threads, const RunCallbacks& callbacks) {
    const int count = static_cast<int>(s.wavelengths.size());
    RunResults out;
    out.optics.resize(static_cast<std::size_t>(count));
    std::vector<char> finished(static_cast<std::size_t>(count), 0);
    int handedOn = 0;
    const int threadCount = threads > 0 ? threads : omp_get_max_threads();
#pragma omp parallel for schedule(dynamic) num_threads(threadCount)
    for (int i = 0; i < count; ++i) {
        const double lambda = s.wavelengths[static_cast<std::size_t>(i)];
        StackOptics optics = solveStack(indexAt(s.rows.front(), lambda), layersAt(s, lambda),
                                        indexAt(s.rows.back(), lambda), lambda);
#pragma omp critical(lumetrix_results)
        {
            out.optics[static_cast<std::size_t>(i)] = std::move(optics);
            finished[static_cast<std::size_t>(i)] = 1;
            while (handedOn < count && finished[static_cast<std::size_t>(handedOn)]) {
                if (callbacks.row)
                    callbacks.row(handedOn, out.optics[static_cast<std::size_t>(handedOn)]);
                ++handedOn;
                if (callbacks.progress)
                    callbacks.progress(handedOn, count);
            }
        }
    }
    const auto share = [&](auto pick) {
        std::vector<double> fraction;
        for (const StackOptics& o : out.optics)
            fraction.push_back(pick(o));
        return photocurrent(s.wavelengths, s.irradiance, fraction);
    };
    out.jphR = share([](const StackOptics& o) { return o.R; });
    out.jphT = share([](const StackOptics& o) { return o.T; });
    for (int layer = 0; layer < s.layerCount(); ++layer) {
        out.jph.push_back(
            share([layer](const StackOptics& o) { return o.A[static_cast<std::size_t>(layer)]; }));
        if (s.rows[static_cast<std::size_t>(layer) + 1].pvActive)
            out.jphTotal += out.jph.back();
    }
    return out;
}

} // namespace lumetrix::kernel
