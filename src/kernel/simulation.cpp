#include "kernel/simulation.h"

#include "core/folders.h"
#include "core/inputfile_reader.h"
#include "core/inputfile_writer.h"
#include "core/interface_list.h"
#include "core/number_ranges.h"
#include "core/numbertext.h"
#include "kernel/angle_bins.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>
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
    std::vector<int> interfaces(const std::string& text, const std::string& what);
    std::optional<ReadError> readScattering(Scattering& scattering);
    std::optional<ReadError> readHazeSet(HazeSet& set, bool calibration, const std::string& r,
                                         const std::string& t);
    // `name` names the function in messages and finds the line of its choice.
    std::optional<ReadError> readAdf(Adf& adf, const AdfFunction& function, bool reflected,
                                     bool second, const std::string& name);
    std::optional<ReadError> readAdfs(InterfaceAdfs& adfs, const AdfFunction& adf1,
                                      const AdfFunction& adf2, const std::string& adf1Name,
                                      const std::string& adf2Name);
    std::optional<ReadError> fromSet(const AdfSet& set, const std::string& name,
                                     AdfFunction& function) const;
    std::optional<ReadError> readCalibration(Calibration& calibration);
    // The rows of the structure with their nk data.
    std::optional<ReadError> readStructure(Simulation& s);
    // The spectrum file: a range set manually lies beside the output files.
    std::string spectrumPath(const Simulation& s) const;
    std::optional<ReadError> fixGrid(Simulation& s, const DataTable& spectrum) const;

    const std::string& m_file;
    const LoadedProject& m_loaded;
    char m_decimal;
    std::map<std::string, DataTable> m_nk;
    std::optional<ReadError> m_fault; // the first interface list at fault
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
    if (p.files.eOutFileName.empty())
        return ReadError{m_file, m_loaded.outputLine, "the output files have no name"};
    // An output path without a folder, or with a relative one, lies beside the input file.
    const std::string& outFolder = m_loaded.statedFolders.outFileDir;
    const std::string inputFolder = folderPart(m_file).empty() ? "." : folderPart(m_file);
    s.outputBase = joinPath(outFolder.empty() ? inputFolder
                            : std::filesystem::path(outFolder).is_absolute()
                                ? outFolder
                                : joinPath(inputFolder, outFolder),
                            p.files.eOutFileName);
    s.coherence = {number(p.structure.pbIfactor), number(p.structure.pbCfactor)};
    // More bins than this cost minutes per wavelength and gigabytes, and gain nothing.
    constexpr int kMostAnglesPer90 = 360;
    const double angles = number(p.adf.pbNoAngles);
    const bool anglesInRange =
        angles >= 1 && angles <= kMostAnglesPer90 && angles == std::floor(angles);
    s.anglesPer90 = anglesInRange ? static_cast<int>(angles) : 45;
    if (s.coherence.incoherentFactor <= 0 || s.coherence.coherentFactor < 1)
        return ReadError{m_file, 0,
                         "the incoherence factors must be above 0 and the coherence factor at "
                         "least 1"};
    if (const auto fault = readStructure(s))
        return *fault;
    if (s.rows.size() < 2)
        return ReadError{m_file, 0, "the structure needs a top and a bottom medium"};
    s.spectrumName = p.spectrum.cbSpekter;
    const std::string spectrumFile = spectrumPath(s);
    const auto spectrum = readDataFile(spectrumFile, DataKind::Spectrum);
    if (!spectrum)
        return spectrum.error();
    if (!p.spectrum.rbCoherent)
        s.scattering.diffuseShare = std::clamp(number(p.spectrum.pbRatio), 0.0, 1.0);
    if (s.scatters()) {
        if (!anglesInRange)
            return ReadError{m_file, m_loaded.lineOf(kAnglesLine),
                             "the number of equivalent angles per 90 degrees \"" +
                                 p.adf.pbNoAngles + "\" is not a whole number from 1 to " +
                                 std::to_string(kMostAnglesPer90)};
        s.scattering.bins = s.anglesPer90 * (p.rbNormalPrecision ? 1 : 2);
        if (const auto fault = readScattering(s.scattering))
            return *fault;
    }
    if (const auto fault = readCalibration(s.calibration))
        return *fault;
    if (m_fault)
        return *m_fault;
    if (const auto fault = fixGrid(s, spectrum.value()))
        return *fault;
    return s;
}

std::optional<ReadError> Preparer::readStructure(Simulation& s) {
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
    return std::nullopt;
}

std::string Preparer::spectrumPath(const Simulation& s) const {
    std::string spectrumFile =
        dataFilePath(m_loaded.statedFolders.spectrumDir, s.spectrumName, DataKind::Spectrum);
    // A range set manually lies beside the output files; older files left it with the spectra.
    if (s.spectrumName.ends_with(kSpectrumRangeSuffix)) {
        const std::string beside =
            dataFilePath(folderPart(s.outputBase), s.spectrumName, DataKind::Spectrum);
        std::error_code error;
        if (std::filesystem::exists(beside, error) || !std::filesystem::exists(spectrumFile, error))
            spectrumFile = beside;
    }
    return spectrumFile;
}

std::optional<ReadError> Preparer::readCalibration(Calibration& c) {
    const RefTransSettings& rt = m_loaded.values.refTrans;
    if (rt.cbIncludeDecr)
        for (const auto& block : rt.factors)
            if (const auto list = interfaces(block.interfaces, "of a calibration factor column");
                !list.empty())
                c.rules.push_back(
                    {list, number(block.c12), number(block.c21), -1, -1, block.direct});
    if (rt.cbIncludeFDecrTR) {
        for (const auto& block : rt.functions) {
            const auto list = interfaces(block.interfaces, "of a calibration function column");
            if (list.empty())
                continue;
            Calibration::Rule rule{list, 1, 1, -1, -1, block.direct};
            for (auto [name, table] :
                 {std::pair{&block.c12, &rule.f12}, std::pair{&block.c21, &rule.f21}}) {
                if (name->empty() || *name == "none")
                    continue;
                auto read = readDataFile(dataFilePath(m_loaded.statedFolders.calibrationDir, *name,
                                                      DataKind::ReflectanceCalibration),
                                         DataKind::ReflectanceCalibration);
                if (!read)
                    return read.error();
                c.functions.push_back(std::move(read).value());
                *table = static_cast<int>(c.functions.size()) - 1;
            }
            c.rules.push_back(rule);
        }
    }
    if (rt.cbIncludeDecr_adv)
        c.c12entire = number(rt.pbC12entire);
    if (rt.cbIncludeInc_adv) {
        c.backInterfaces = interfaces(rt.eRTSpecifInterface_adv, "of c21scatt");
        c.c21scatt = number(rt.pbC21Scatt);
    }
    return std::nullopt;
}

// The interfaces of a list such as "0 2, 3" (blanks, commas or semicolons between them);
// the first list that holds anything else, or an interface the structure does not have, is
// the preparation's fault.
std::vector<int> Preparer::interfaces(const std::string& text, const std::string& what) {
    const int last = static_cast<int>(m_loaded.rows.size()) - 2;
    if (const auto problem = interfaceListProblem(text, last); problem && !m_fault)
        m_fault = ReadError{m_file, 0, "the interfaces " + what + " \"" + text + "\": " + *problem};
    return interfaceNumbers(text);
}

std::optional<ReadError> Preparer::readHazeSet(HazeSet& set, bool calibration, const std::string& r,
                                               const std::string& t) {
    set.calibration = calibration;
    const std::string& folder =
        calibration ? m_loaded.statedFolders.calibrationDir : m_loaded.statedFolders.hazeFileDir;
    const DataKind kind = calibration ? DataKind::Calibration : DataKind::Haze;
    for (auto [table, name] : {std::pair{&set.r, &r}, std::pair{&set.t, &t}}) {
        auto read = readDataFile(dataFilePath(folder, *name, kind), kind);
        if (!read)
            return read.error();
        *table = std::move(read).value();
    }
    return std::nullopt;
}

// The internal models in the order of the lists ADF1.dat and ADF2.dat.
constexpr AdfModel kAdf1Models[] = {
    AdfModel::Specular,  AdfModel::Lambertian,        AdfModel::LambertianPerAngle,
    AdfModel::Ellipsoid, AdfModel::EllipsoidPerAngle, AdfModel::Gaussian,
    AdfModel::Uniform};
constexpr AdfModel kAdf2Models[] = {AdfModel::Specular,           AdfModel::Lambertian,
                                    AdfModel::LambertianPerAngle, AdfModel::Ellipsoid,
                                    AdfModel::EllipsoidPerAngle,  AdfModel::EllipsoidTilted,
                                    AdfModel::EllipsoidSmoothed,  AdfModel::Gaussian};

std::optional<ReadError> Preparer::readAdf(Adf& adf, const AdfFunction& function, bool reflected,
                                           bool second, const std::string& name) {
    const AdfChoice& choice = reflected ? function.r : function.t;
    if (function.external) {
        const auto table = readDataFile(
            dataFilePath(m_loaded.statedFolders.externalAdfDir, choice.text, DataKind::ExternalAdf),
            DataKind::ExternalAdf);
        if (!table)
            return table.error();
        adf.degrees = table.value().columns[0];
        adf.intensity = table.value().columns[1];
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(std::max(0, choice.selected));
    const std::size_t count = second ? std::size(kAdf2Models) : std::size(kAdf1Models);
    const std::string chosen =
        name == kSpectrumAdfChoice ? name : name + (reflected ? " for R" : " for T");
    if (index >= count)
        return ReadError{m_file, m_loaded.lineOf(chosen),
                         "the internal ADF" + std::string(second ? "2" : "1") + " number " +
                             std::to_string(index + 1) + " is none of the models (the " + chosen +
                             " is a model from 1 to " + std::to_string(count) + ")"};
    adf.model = second ? kAdf2Models[index] : kAdf1Models[index];
    adf.parameters = {number(reflected ? function.lambertianR : function.lambertianT),
                      number(reflected ? function.ellipseR : function.ellipseT)};
    // A negative power or a flat or inverted ellipse spreads no light (or NaN); beyond 100
    // every model is a spike that the bins cannot resolve.
    const AdfModel m = adf.model;
    const std::string which =
        std::string("ADF") + (second ? "2" : "1") + (reflected ? " for R" : " for T");
    const bool power =
        m == AdfModel::Lambertian || m == AdfModel::LambertianPerAngle || m == AdfModel::Gaussian;
    const bool ellipse = m == AdfModel::Ellipsoid || m == AdfModel::EllipsoidPerAngle ||
                         m == AdfModel::EllipsoidTilted || m == AdfModel::EllipsoidSmoothed;
    const double p = adf.parameters.lambertianPower, b = adf.parameters.ellipseRatio;
    if (power && !(p >= 0 && p <= 100))
        return ReadError{m_file, 0,
                         "the Lambertian power n of " + which + " is " + formatGeneral(p, '.') +
                             "; it must lie between 0 and 100"};
    if (ellipse && !(b > 0 && b <= 100))
        return ReadError{m_file, 0,
                         "the ellipsis radius ratio b:a of " + which + " is " +
                             formatGeneral(b, '.') + "; it must be above 0 and at most 100"};
    return std::nullopt;
}

std::optional<ReadError> Preparer::readScattering(Scattering& sc) {
    const Project& p = m_loaded.values;
    const HazeSettings& h = p.haze;
    sc.powerHT = h.power == HazeSettings::Power::Two     ? 2
                 : h.power == HazeSettings::Power::Three ? 3
                                                         : number(h.ePowerHT);
    const bool rough =
        std::any_of(m_loaded.rows.begin() + 1, m_loaded.rows.end(), [this](const LoadedRow& row) {
            return row.roughness && number(*row.roughness) > 0;
        });
    // Haze files are read only for a structure with a rough interface.
    if (rough) {
        if (const auto fault = readHazeSet(sc.main, h.rbHazeC, h.cb_cR_HR, h.cb_cT_HT))
            return fault;
        if (h.cbUseOtherHaze) {
            sc.otherInterfaces = interfaces(h.eHazeOtherSpecifyInt, "of the other haze parameters");
            if (const auto fault =
                    readHazeSet(sc.other, h.rbHazeC_adv, h.cb_cR_HR_adv, h.cb_cT_HT_adv))
                return fault;
        }
        if (h.cbSpecified)
            sc.transmissionOnlyInterfaces =
                interfaces(h.eHazeSpecSpecifyInt, "scattered only in transmission");
    }
    if (sc.diffuseShare > 0) {
        const SpectrumSettings& light = p.spectrum;
        const AdfFunction spectrum{!light.rbSpecADFInternal,
                                   light.cbADF1_Spekt,
                                   {},
                                   light.pbSpectrLamb,
                                   "1",
                                   light.pbSpectrEllipsis,
                                   "1"};
        if (const auto fault = readAdf(sc.spectrumAdf, spectrum, false, false, kSpectrumAdfChoice))
            return fault;
    }
    if (const auto fault = readAdfs(sc.adfs, p.adf.adf1, p.adf.adf2, "ADF1", "ADF2"))
        return fault;
    if (p.adf.cbOtherADF) {
        for (int g = 1; g <= p.adf.groups.count(); ++g) {
            const AdfGroup& group = p.adf.groups.group(g);
            const std::string name1 = adfGroupChoiceName(g, "ADF1"),
                              name2 = adfGroupChoiceName(g, "ADF2");
            AdfFunction adf1, adf2;
            if (auto fault = fromSet(group.adf1, name1, adf1))
                return fault;
            if (auto fault = fromSet(group.adf2, name2, adf2))
                return fault;
            InterfaceAdfs adfs;
            if (const auto fault = readAdfs(adfs, adf1, adf2, name1, name2))
                return fault;
            sc.groups.emplace_back(
                interfaces(group.interfaces, "of ADF interface group " + std::to_string(g)),
                std::move(adfs));
        }
    }
    sc.adfs.share(sc.bins);
    for (auto& group : sc.groups)
        group.second.share(sc.bins);
    return std::nullopt;
}

std::optional<ReadError> Preparer::readAdfs(InterfaceAdfs& adfs, const AdfFunction& adf1,
                                            const AdfFunction& adf2, const std::string& adf1Name,
                                            const std::string& adf2Name) {
    for (auto [adf, function, reflected, second] :
         {std::tuple{&adfs.adf1R, &adf1, true, false}, std::tuple{&adfs.adf1T, &adf1, false, false},
          std::tuple{&adfs.adf2R, &adf2, true, true}, std::tuple{&adfs.adf2T, &adf2, false, true}})
        if (const auto fault =
                readAdf(*adf, *function, reflected, second, second ? adf2Name : adf1Name))
            return fault;
    return std::nullopt;
}

// A group's ADF as the main block states one. An internal choice is a list position, as in
// the main block; an empty one takes the first model.
std::optional<ReadError> Preparer::fromSet(const AdfSet& set, const std::string& name,
                                           AdfFunction& f) const {
    const auto text = [&set](AdfSet::Parameter p) { return formatGeneral(set.parameters[p], '.'); };
    f = {set.external,
         {0, set.tFile},
         {0, set.rFile},
         text(AdfSet::LambertianT),
         text(AdfSet::LambertianR),
         text(AdfSet::EllipseT),
         text(AdfSet::EllipseR)};
    if (set.external)
        return std::nullopt;
    for (auto [choice, item, side] :
         {std::tuple{&f.t, &set.tChoice, " for T"}, std::tuple{&f.r, &set.rChoice, " for R"}}) {
        std::string t = *item;
        std::erase(t, ' ');
        const auto value = t.empty() ? std::optional<long double>(1) : parseFileNumber(t, '.');
        if (!value || *value != std::floor(*value) || !ranges::kListPosition.holds(*value))
            return ReadError{m_file, m_loaded.lineOf(name + side),
                             "the " + name + side + " \"" + *item +
                                 "\" is not a whole number between " +
                                 formatGeneral(ranges::kListPosition.min, '.') + " and " +
                                 formatGeneral(ranges::kListPosition.max, '.')};
        choice->selected = static_cast<int>(*value) - 1;
    }
    return std::nullopt;
}

std::optional<ReadError> Preparer::fixGrid(Simulation& s, const DataTable& spectrum) const {
    const auto& x = spectrum.columns[0];
    // The haze and calibration functions of rough interfaces limit the grid as well.
    std::vector<const DataTable*> hazeTables;
    for (const DataTable& function : s.calibration.functions)
        hazeTables.push_back(&function);
    if (s.anyRough) {
        hazeTables.insert(hazeTables.end(), {&s.scattering.main.r, &s.scattering.main.t});
        if (!s.scattering.otherInterfaces.empty())
            hazeTables.insert(hazeTables.end(), {&s.scattering.other.r, &s.scattering.other.t});
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
        const bool covered =
            std::all_of(s.rows.begin(), s.rows.end(),
                        [&](const StackRow& row) {
                            return row.nk.first() <= x[i] && x[i] <= row.nk.last();
                        }) &&
            std::all_of(hazeTables.begin(), hazeTables.end(), [&](const DataTable* t) {
                return t->first() <= x[i] && x[i] <= t->last();
            });
        if (covered) {
            s.wavelengths.push_back(x[i]);
            s.irradiance.push_back(spectrum.columns[1][i]);
        }
    }
    if (!s.wavelengths.empty())
        return std::nullopt;
    // Name the file that leaves the spectrum out: the one whose range begins last or ends
    // first; where the ranges do not even overlap, the two that set them apart.
    std::vector<const DataTable*> limits = hazeTables;
    for (const StackRow& row : s.rows)
        limits.push_back(&row.nk);
    const DataTable& from = **std::max_element(
        limits.begin(), limits.end(),
        [](const DataTable* a, const DataTable* b) { return a->first() < b->first(); });
    const DataTable& to = **std::min_element(
        limits.begin(), limits.end(),
        [](const DataTable* a, const DataTable* b) { return a->last() < b->last(); });
    const auto range = [](const DataTable& t) {
        return formatGeneral(t.first(), '.') + " - " + formatGeneral(t.last(), '.') + " nm";
    };
    if (from.first() > to.last())
        return ReadError{from.path, 0,
                         "its range (" + range(from) + ") does not overlap that of " + to.path +
                             " (" + range(to) +
                             "): no wavelength lies inside the range of every nk, haze and "
                             "calibration file in use"};
    const DataTable& culprit = spectrum.last() < from.first() ? from : to;
    return ReadError{culprit.path, 0,
                     "no wavelength of the spectrum " + spectrum.path + " (" + range(spectrum) +
                         ") lies inside the range of every nk, haze and calibration file in "
                         "use; this one covers only " +
                         range(culprit)};
}

// The layers at one wavelength. A thread takes its wavelengths in rising order, so each
// row's nk data are read on from the row of the last wavelength (a hint per row).
std::vector<OpticalLayer> layersAt(const Simulation& s, double wavelength) {
    thread_local std::vector<std::size_t> hints;
    hints.resize(s.rows.size());
    std::vector<OpticalLayer> layers;
    for (std::size_t i = 1; i + 1 < s.rows.size(); ++i) {
        const StackRow& row = s.rows[i];
        const double n = row.nk.at(1, wavelength, hints[i]).value_or(1);
        const double k = row.nk.at(2, wavelength, hints[i]).value_or(0);
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
    // The front end opens a damaged file with a warning; a run of it would read values from
    // the wrong lines.
    if (const LoadedProject& l = loaded.value(); !l.corruptedAfter.empty())
        return ReadError{inputFile, l.corruptedLine,
                         "the heading \"" + l.missingHeading +
                             "\" does not stand on this line: the file is damaged after the "
                             "section \"" +
                             l.corruptedAfter + "\""};
    return Preparer(inputFile, loaded.value(), decimal).prepare();
}

std::vector<std::string> runWarnings(const Simulation& s) {
    std::vector<std::string> warnings;
    double mostK = 0, at = 0;
    for (const double lambda : s.wavelengths)
        if (const double k = s.rows.front().nk.at(2, lambda).value_or(0); k > mostK) {
            mostK = k;
            at = lambda;
        }
    if (mostK > 0)
        warnings.push_back("Warning: the top medium " + s.rows.front().name + " absorbs (k = " +
                           formatGeneral(mostK, '.') + " at " + formatGeneral(at, '.') +
                           " nm): R is the light that does not enter the structure, what the "
                           "top medium absorbs included");
    if (s.wavelengths.size() == 1)
        warnings.push_back("Warning: only one wavelength of the spectrum (" +
                           formatGeneral(s.wavelengths.front(), '.') +
                           " nm) lies inside the data; a photocurrent density needs two or "
                           "more, so every Jph is 0");
    return warnings;
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

InterfaceHaze Calibration::at(int j, double wavelength) const {
    InterfaceHaze h;
    for (const Rule& rule : rules) {
        if (std::find(rule.interfaces.begin(), rule.interfaces.end(), j) == rule.interfaces.end())
            continue;
        const auto value = [this, wavelength](int function, double factor) {
            return function < 0 ? factor
                                : functions[static_cast<std::size_t>(function)]
                                      .at(1, wavelength)
                                      .value_or(1);
        };
        const double c12 = value(rule.f12, rule.c12), c21 = value(rule.f21, rule.c21);
        // A direct rule sets the reflectance; factors of several rules multiply.
        h.c12 = rule.direct ? c12 : h.c12 * c12;
        h.c21 = rule.direct ? c21 : h.c21 * c21;
        h.direct = h.direct || rule.direct;
    }
    if (j == 0)
        h.c12 *= c12entire;
    return h;
}

void InterfaceAdfs::share(int bins) {
    shares1R = adf1R.shares(bins);
    shares1T = adf1T.shares(bins);
    shares2R = adf2R.shares(bins);
    shares2T = adf2T.shares(bins);
}

const InterfaceAdfs& Scattering::adfsOf(int j) const {
    for (const auto& [interfaces, own] : groups)
        if (std::find(interfaces.begin(), interfaces.end(), j) != interfaces.end())
            return own;
    return adfs;
}

std::vector<double> Adf::shares(int bins) const {
    return degrees.empty() ? adfShares(model, parameters, bins)
                           : adfShares(degrees, intensity, bins);
}

namespace {

bool listed(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The haze of a rough interface for light of invariant u = (n sin theta)^2 in medium nIn
// going towards nOut (real parts). Haze data hold the value at normal incidence; at other
// directions they follow the scalar formula's scaling (dataHazeRAtU, dataHazeTAtU).
struct SideHaze {
    bool calibration;
    double r, t; // cR and cT, or H_R and H_T at normal incidence, at this wavelength
    double lambda, sigma, gamma;

    SideHaze(const HazeSet& set, double lambda, double sigma, double gamma)
        : calibration(set.calibration), r(set.r.at(1, lambda).value_or(0)),
          t(set.t.at(1, lambda).value_or(0)), lambda(lambda), sigma(sigma), gamma(gamma) {}

    double reflected(double nIn, double u) const {
        return calibration ? hazeRAtU(lambda, sigma, r, nIn, u) : dataHazeRAtU(r, nIn, u);
    }
    double transmitted(double nIn, double nOut, double u) const {
        return calibration ? hazeTAtU(lambda, sigma, t, nIn, nOut, u, gamma)
                           : dataHazeTAtU(t, nIn, nOut, u, gamma);
    }
};

} // namespace

namespace {

Eigen::VectorXd toVector(const std::vector<double>& v) {
    return Eigen::Map<const Eigen::VectorXd>(v.data(), static_cast<Eigen::Index>(v.size()));
}

// The hazes of the rough interfaces at a wavelength, into `haze` and the result's hazes; the
// side of each rough interface, none for a flat one.
std::vector<std::optional<SideHaze>> roughSides(const Simulation& s, double lambda,
                                                std::vector<InterfaceHaze>& haze,
                                                WavelengthResult& out) {
    const Scattering& sc = s.scattering;
    const std::size_t faces = haze.size();
    const auto realIndex = [&](std::size_t row) { return indexAt(s.rows[row], lambda).real(); };
    std::vector<std::optional<SideHaze>> sides(faces);
    for (std::size_t j = 0; j < faces; ++j) {
        const double sigma = s.rows[j + 1].roughness;
        if (sigma <= 0)
            continue;
        const int face = static_cast<int>(j);
        const SideHaze side(listed(sc.otherInterfaces, face) ? sc.other : sc.main, lambda, sigma,
                            sc.powerHT);
        const double n1 = realIndex(j), n2 = realIndex(j + 1);
        haze[j].reflectDown = side.reflected(n1, 0);
        haze[j].transmitDown = side.transmitted(n1, n2, 0);
        haze[j].reflectUp = side.reflected(n2, 0);
        haze[j].transmitUp = side.transmitted(n2, n1, 0);
        if (listed(sc.transmissionOnlyInterfaces, face))
            haze[j].reflectDown = 0;
        out.hazeR.push_back(haze[j].reflectDown);
        out.hazeT.push_back(haze[j].transmitDown);
        sides[j] = side;
    }
    return sides;
}

// The beam carries the share of the illumination that is not diffuse.
void scaleBeam(StackOptics& beam, double direct) {
    beam.R *= direct;
    beam.T *= direct;
    for (auto* values : {&beam.A, &beam.scatteredUp, &beam.scatteredDown})
        for (double& v : *values)
            v *= direct;
    for (auto& layer : beam.segments)
        for (double& v : layer)
            v *= direct;
}

// The interfaces in angle bins, and the light the beam scatters into the bins at each of them,
// up and down.
struct BinSources {
    std::vector<BinInterface> interfaces;
    std::vector<Eigen::VectorXd> up, down;
};

BinSources binSources(const Simulation& s, double lambda, const std::vector<InterfaceHaze>& haze,
                      const std::vector<std::optional<SideHaze>>& sides, const StackOptics& beam) {
    const Scattering& sc = s.scattering;
    const int bins = sc.bins;
    const std::size_t faces = haze.size();
    BinSources sources;
    auto& [interfaces, up, down] = sources;
    const auto specular = [](const Adf& adf) {
        return adf.degrees.empty() && adf.model == AdfModel::Specular;
    };
    const auto lambertian = [](const Adf& adf) {
        return adf.degrees.empty() && adf.model == AdfModel::Lambertian &&
               adf.parameters.lambertianPower == 1;
    };
    // The light scattered out of the beams goes into each bin by its ADF1 share and, by
    // reciprocity, in proportion to how readily that bin's own light is scattered there.
    const auto weighted = [&](const std::vector<double>& shares, const Eigen::VectorXd& scattered) {
        const Eigen::VectorXd adf = toVector(shares);
        const Eigen::VectorXd product = adf.cwiseProduct(scattered);
        return product.sum() > 0 ? Eigen::VectorXd(product / product.sum()) : adf;
    };
    for (std::size_t j = 0; j < faces; ++j) {
        const Complex n1 = indexAt(s.rows[j], lambda), n2 = indexAt(s.rows[j + 1], lambda);
        const InterfaceAdfs& adfs = sc.adfsOf(static_cast<int>(j));
        const BinCalibration calibration{
            haze[j].c12, haze[j].c21, haze[j].direct,
            listed(s.calibration.backInterfaces, static_cast<int>(j)) ? s.calibration.c21scatt : 1};
        if (!sides[j]) {
            interfaces.push_back(makeInterface(n1, n2, bins, nullptr, nullptr, calibration));
        } else {
            const SideHaze& side = *sides[j];
            const double a1 = n1.real(), a2 = n2.real();
            const bool specularR = specular(adfs.adf2R), specularT = specular(adfs.adf2T);
            const bool diffuse = lambertian(adfs.adf2R) && lambertian(adfs.adf2T);
            // The side of light in medium `in` going towards medium `out`.
            const auto sideFrom = [&](double in, double out) {
                return RoughSide{
                    [&side, in](double u) { return side.reflected(in, u); },
                    [&side, in, out](double u) { return side.transmitted(in, out, u); },
                    adfs.shares2R,
                    adfs.shares2T,
                    specularR,
                    specularT,
                    diffuse};
            };
            const RoughSide above = sideFrom(a1, a2), below = sideFrom(a2, a1);
            interfaces.push_back(makeInterface(n1, n2, bins, &above, &below, calibration));
        }
        const BinInterface& face = interfaces.back();
        up.push_back(beam.scatteredUp[j] * weighted(adfs.shares1R, face.scatteredAbove));
        down.push_back(beam.scatteredDown[j] * weighted(adfs.shares1T, face.scatteredBelow));
    }
    return sources;
}

// The scattered light each segment of each layer absorbs: each bin's light fades along the
// layer from where it enters, by the same factor over every segment.
std::vector<std::vector<double>> scatteredSegments(const std::vector<OpticalLayer>& layers,
                                                   const std::vector<Eigen::VectorXd>& pass,
                                                   const BinSolution& light, int bins) {
    std::vector<std::vector<double>> segments;
    for (std::size_t l = 0; l < layers.size(); ++l) {
        const int parts = std::max(1, layers[l].segments);
        const auto count = static_cast<std::size_t>(parts);
        std::vector<double> shares(count, 0.0), fade(count + 1);
        for (int i = 0; i < bins; ++i) {
            const double p = pass[l](i), step = std::pow(p, 1.0 / parts);
            fade[0] = 1;
            for (std::size_t q = 1; q < count; ++q)
                fade[q] = fade[q - 1] * step;
            fade[count] = p;
            for (std::size_t q = 0; q < count; ++q)
                shares[q] += light.down[l](i) * (fade[q] - fade[q + 1]) +
                             light.up[l](i) * (fade[count - q - 1] - fade[count - q]);
        }
        segments.push_back(shares);
    }
    return segments;
}

} // namespace

WavelengthResult solveWavelength(const Simulation& s, double lambda) {
    WavelengthResult out;
    const std::vector<OpticalLayer> layers = layersAt(s, lambda);
    const Complex top = indexAt(s.rows.front(), lambda), bottom = indexAt(s.rows.back(), lambda);
    const std::size_t faces = layers.size() + 1;
    std::vector<InterfaceHaze> haze(faces);
    if (s.calibration.any())
        for (std::size_t j = 0; j < faces; ++j)
            haze[j] = s.calibration.at(static_cast<int>(j), lambda);
    if (!s.scatters()) {
        out.specular = solveStack(top, layers, bottom, lambda,
                                  s.calibration.any() ? haze : std::vector<InterfaceHaze>{});
        return out;
    }
    const Scattering& sc = s.scattering;
    const std::vector<std::optional<SideHaze>> sides = roughSides(s, lambda, haze, out);
    out.specular = solveStack(top, layers, bottom, lambda, haze);
    // The diffuse share of the illumination enters as scattered light, the rest as the beam.
    if (const double direct = 1 - sc.diffuseShare; direct != 1)
        scaleBeam(out.specular, direct);

    // The scattered light, in angle bins.
    const int bins = sc.bins;
    const BinSources sources = binSources(s, lambda, haze, sides, out.specular);
    std::vector<Eigen::VectorXd> pass;
    for (const OpticalLayer& layer : layers)
        pass.push_back(
            slabPass(4 * std::numbers::pi * layer.index.imag() / lambda * layer.thickness, bins));
    const Eigen::VectorXd diffuse =
        sc.diffuseShare > 0
            ? Eigen::VectorXd(sc.diffuseShare * toVector(sc.spectrumAdf.shares(bins)))
            : Eigen::VectorXd::Zero(bins);
    const BinSolution light =
        solveBins(sources.interfaces, pass, diffuse, sources.up, sources.down);
    out.leavingR = light.reflected;
    out.leavingT = light.transmitted;
    out.diffuseR = light.reflected.sum();
    out.diffuseT = light.transmitted.sum();
    out.diffuseA = light.absorbed;
    out.diffuseSegments = scatteredSegments(layers, pass, light, bins);
    return out;
}

std::optional<std::string> nonFiniteQuantity(const Simulation& s, const WavelengthResult& o) {
    const auto finite = [](double x) { return std::isfinite(x); };
    const auto allFinite = [&](const auto& values) {
        return std::all_of(values.begin(), values.end(), finite);
    };
    if (!finite(o.R()))
        return "R";
    if (!finite(o.T()))
        return "T";
    for (std::size_t l = 0; l < o.specular.A.size(); ++l)
        if (!finite(o.A(l)) || !allFinite(o.specular.segments[l]) ||
            (!o.diffuseSegments.empty() && !allFinite(o.diffuseSegments[l])))
            return "absorption of layer " + std::to_string(l + 1) + " (" + s.rows[l + 1].name + ")";
    if (!allFinite(o.hazeR) || !allFinite(o.hazeT))
        return "haze of a rough interface";
    if (!o.leavingR.allFinite() || !o.leavingT.allFinite())
        return "angular distribution of the light leaving the structure";
    return std::nullopt;
}

RunResults runSimulation(const Simulation& s, int threads, const RunCallbacks& callbacks) {
    const int count = static_cast<int>(s.wavelengths.size());
    RunResults out;
    out.optics.resize(static_cast<std::size_t>(count));
    std::vector<char> finished(static_cast<std::size_t>(count), 0);
    int handedOn = 0;
    // The first wavelength whose result is not finite; the ones above it are not computed.
    int failedAt = count;
    const int threadCount = threads > 0 ? threads : omp_get_max_threads();
#pragma omp parallel for schedule(dynamic) num_threads(threadCount)
    for (int i = 0; i < count; ++i) {
        int limit;
#pragma omp atomic read
        limit = failedAt;
        if (i > limit)
            continue;
        const double lambda = s.wavelengths[static_cast<std::size_t>(i)];
        WavelengthResult result = solveWavelength(s, lambda);
        const auto bad = nonFiniteQuantity(s, result);
#pragma omp critical(lumetrix_results)
        {
            if (bad && i < failedAt) {
#pragma omp atomic write
                failedAt = i;
                out.failure = "at " + formatGeneral(lambda, '.') + " nm the " + *bad +
                              " is not a finite number; the run stopped there";
            }
            out.optics[static_cast<std::size_t>(i)] = std::move(result);
            finished[static_cast<std::size_t>(i)] = !bad;
            while (handedOn < failedAt && finished[static_cast<std::size_t>(handedOn)]) {
                if (callbacks.row)
                    callbacks.row(handedOn, out.optics[static_cast<std::size_t>(handedOn)]);
                ++handedOn;
                if (callbacks.progress)
                    callbacks.progress(handedOn, count);
            }
        }
    }
    if (out.failure)
        return out;
    const auto share = [&](auto pick) {
        std::vector<double> fraction;
        for (const WavelengthResult& o : out.optics)
            fraction.push_back(pick(o));
        return photocurrent(s.wavelengths, s.irradiance, fraction);
    };
    out.jphR = share([](const WavelengthResult& o) { return o.R(); });
    out.jphT = share([](const WavelengthResult& o) { return o.T(); });
    out.jphRScattered = share([](const WavelengthResult& o) { return o.diffuseR; });
    out.jphTScattered = share([](const WavelengthResult& o) { return o.diffuseT; });
    for (int layer = 0; layer < s.layerCount(); ++layer) {
        const auto l = static_cast<std::size_t>(layer);
        out.jph.push_back(share([l](const WavelengthResult& o) { return o.A(l); }));
        out.jphScattered.push_back(share(
            [l](const WavelengthResult& o) { return o.diffuseA.empty() ? 0.0 : o.diffuseA[l]; }));
        if (s.rows[l + 1].pvActive)
            out.jphTotal += out.jph.back();
    }
    return out;
}

} // namespace lumetrix::kernel
