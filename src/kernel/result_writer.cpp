#include "kernel/result_writer.h"

#include "core/text_codec.h"
#include "core/textfile.h"

#include <cstdio>
#include <filesystem>

namespace lumetrix::kernel {
namespace {

constexpr double kElementaryCharge = 1.602176634e-19;
// The files written at the end of a run.
constexpr const char* kLaterFiles[] = {"_Spec.rta",  "_Dif.rta", "_Sum.jsc", ".jsc",   ".jph",
                                       "_ratio.jph", ".GL",      ".hrt",     "_R.adf", "_T.adf"};

std::string num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.8g", value);
    return text;
}

std::string fixed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

} // namespace

std::vector<std::string> ResultWriter::runInformation(const char* what) const {
    return {"Lumetrix simulation results", "Input file: " + m_s.inputFile,
            "Spectrum: " + m_s.spectrumName + ", " + num(m_s.wavelengths.front()) + " - " +
                num(m_s.wavelengths.back()) + " nm, " + std::to_string(m_s.wavelengths.size()) +
                " wavelengths",
            what};
}

std::vector<std::string> ResultWriter::rtaHeader() const {
    std::string header = "Wavelength (nm)\tR\tT";
    for (int i = 1; i <= m_s.layerCount(); ++i)
        header += "\t" + m_s.rows[static_cast<std::size_t>(i)].name;
    return {header + "\tR+T+A"};
}

std::string ResultWriter::rtaRow(int index, const StackOptics& o, bool scatteredOnly) const {
    // Flat interfaces scatter nothing: the scattered part of every quantity is 0.
    const double keep = scatteredOnly ? 0 : 1;
    std::string line = num(m_s.wavelengths[static_cast<std::size_t>(index)]) + "\t" +
                       num(keep * o.R) + "\t" + num(keep * o.T);
    double sum = o.R + o.T;
    for (double a : o.A) {
        line += "\t" + num(keep * a);
        sum += a;
    }
    return line + "\t" + num(keep * sum);
}

std::optional<std::string> ResultWriter::begin() {
    // The files of an earlier run go first, so that a run that stops early leaves none of
    // them beside its own partial ".rta".
    for (const char* suffix : kLaterFiles) {
        std::error_code ignored;
        std::filesystem::remove(path(suffix), ignored);
    }
    m_rta.open(path(".rta"), std::ios::binary | std::ios::trunc);
    if (!m_rta)
        return cannotCreateFileMessage(path(".rta"), "it cannot be created");
    for (const std::string& line : rtaHeader())
        m_rta << utf8ToCp1252(line).value_or(line) << "\r\n";
    m_rta.flush();
    return std::nullopt;
}

void ResultWriter::row(int index, const StackOptics& optics) {
    m_rta << rtaRow(index, optics, false) << "\r\n";
    m_rta.flush();
}

void ResultWriter::abandon() {
    m_rta.close();
    std::error_code ignored;
    std::filesystem::remove(path(".rta"), ignored);
}

std::vector<std::string> ResultWriter::totalsLines(const RunResults& r) const {
    std::vector<std::string> lines{"Photocurrent densities (mA/cm2)",
                                   "every absorbed photon giving one carrier", "Jph\tItem"};
    lines.push_back(fixed(r.jphR) + "\tR");
    lines.push_back(fixed(r.jphT) + "\tT");
    for (int i = 0; i < m_s.layerCount(); ++i)
        lines.push_back(fixed(r.jph[static_cast<std::size_t>(i)]) + "\t" +
                        m_s.rows[static_cast<std::size_t>(i) + 1].name);
    lines.emplace_back();
    lines.push_back(fixed(r.jphTotal) + "\tTotal of the PV-active layers");
    return lines;
}

std::vector<std::string> ResultWriter::jscLines(const RunResults& r) const {
    std::vector<std::string> lines{
        "Item\tJph specular (mA/cm2)\tJph scattered (mA/cm2)\tJph total (mA/cm2)"};
    const auto add = [&](const std::string& item, double value) {
        lines.push_back(item + "\t" + fixed(value) + "\t" + fixed(0) + "\t" + fixed(value));
    };
    add("R", r.jphR);
    add("T", r.jphT);
    for (int i = 0; i < m_s.layerCount(); ++i)
        add(m_s.rows[static_cast<std::size_t>(i) + 1].name, r.jph[static_cast<std::size_t>(i)]);
    add("Total of the PV-active layers", r.jphTotal);
    return lines;
}

std::vector<std::string> ResultWriter::jphLines(const RunResults& r, bool ratio) const {
    auto lines = runInformation(ratio ? "Fraction of the incident photons absorbed per layer"
                                      : "Spectral photocurrent density per layer (mA/(cm2 nm))");
    std::string header = "Wavelength (nm)";
    for (int i = 1; i <= m_s.layerCount(); ++i)
        header += "\t" + m_s.rows[static_cast<std::size_t>(i)].name;
    lines.push_back(header);
    for (std::size_t w = 0; w < m_s.wavelengths.size(); ++w) {
        std::string line = num(m_s.wavelengths[w]);
        for (double a : r.optics[w].A)
            line += "\t" +
                    num(ratio ? a : spectralPhotocurrent(m_s.wavelengths[w], m_s.irradiance[w], a));
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ResultWriter::generationLines(const RunResults& r) const {
    auto lines = runInformation("Generation rate per segment (cm-3 s-1), at the segment's middle");
    lines.emplace_back("x (nm)\tLayer\tG (cm-3 s-1)");
    double top = 0;
    for (int i = 0; i < m_s.layerCount(); ++i) {
        const StackRow& row = m_s.rows[static_cast<std::size_t>(i) + 1];
        const double width = row.thickness / row.segments;
        for (int seg = 0; seg < row.segments; ++seg) {
            std::vector<double> share;
            for (const StackOptics& o : r.optics)
                share.push_back(
                    o.segments[static_cast<std::size_t>(i)][static_cast<std::size_t>(seg)]);
            // mA/cm2 over the charge gives photons per cm2 and second, over the width per cm3.
            const double jph = photocurrent(m_s.wavelengths, m_s.irradiance, share);
            const double rate = width > 0 ? jph * 1e-3 / kElementaryCharge / (width * 1e-7) : 0;
            lines.push_back(num(top + (seg + 0.5) * width) + "\t" + row.name + "\t" + num(rate));
        }
        top += row.thickness;
    }
    return lines;
}

std::vector<std::string> ResultWriter::hazeLines() const {
    std::string header = "Wavelength (nm)";
    int rough = 0;
    for (std::size_t i = 1; i < m_s.rows.size(); ++i)
        if (m_s.rows[i].roughness > 0) {
            header += "\tHR " + std::to_string(i - 1) + "\tHT " + std::to_string(i - 1);
            ++rough;
        }
    std::vector<std::string> lines{header};
    for (double lambda : m_s.wavelengths) {
        std::string line = num(lambda);
        for (int j = 0; j < rough; ++j)
            line += "\t0\t0"; // flat interfaces scatter nothing
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ResultWriter::adfLines() const {
    std::vector<std::string> lines{"Angle (deg)\tShare of the incident photons"};
    const int bins = std::max(1, m_s.anglesPer90);
    for (int b = 0; b < bins; ++b)
        lines.push_back(num((b + 0.5) * 90.0 / bins) + "\t0");
    return lines;
}

std::optional<std::string> ResultWriter::finish(const RunResults& r) {
    m_rta << "\r\n";
    m_rta.close();
    if (!m_rta)
        return cannotCreateFileMessage(path(".rta"), "it could not be written to the end");
    std::vector<std::string> spec = rtaHeader(), dif = rtaHeader();
    for (std::size_t w = 0; w < r.optics.size(); ++w) {
        spec.push_back(rtaRow(static_cast<int>(w), r.optics[w], false));
        dif.push_back(rtaRow(static_cast<int>(w), r.optics[w], true));
    }
    spec.emplace_back();
    dif.emplace_back();
    const std::vector<std::string> contents[] = {spec,
                                                 dif,
                                                 totalsLines(r),
                                                 jscLines(r),
                                                 jphLines(r, false),
                                                 jphLines(r, true),
                                                 generationLines(r),
                                                 hazeLines(),
                                                 adfLines(),
                                                 adfLines()};
    static_assert(std::size(contents) == std::size(kLaterFiles));
    for (std::size_t i = 0; i < std::size(kLaterFiles); ++i)
        if (const auto reason = writeTextFile(path(kLaterFiles[i]), contents[i]))
            return cannotCreateFileMessage(path(kLaterFiles[i]), *reason);
    return std::nullopt;
}

} // namespace lumetrix::kernel
