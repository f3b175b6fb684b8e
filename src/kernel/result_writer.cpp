#include "kernel/result_writer.h"

#include "core/numbertext.h"
#include "core/result_list.h"
#include "core/text_codec.h"
#include "core/textfile.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <span>
#include <unistd.h>

namespace lumetrix::kernel {
namespace {

constexpr double kElementaryCharge = 1.602176634e-19;
// The files written at the end of a run, after the ".rta".
constexpr auto kLaterFiles = std::span(kRunFileSuffixes).subspan<1>();

// Every file of a run's set, the partial ".rta" included.
std::vector<std::string_view> setSuffixes() {
    std::vector<std::string_view> set{".rta", kPartialResultSuffix};
    set.insert(set.end(), kLaterFiles.begin(), kLaterFiles.end());
    return set;
}

// Appends a quantity as "%.8g" writes it. Round-off of a quantity that is 0 (-1e-16 in a
// lossless layer) is written as 0, so no table shows a negative absorption that is not there.
void appendNum(std::string& out, double value) {
    appendGeneral(out, std::abs(value) < 1e-12 ? 0.0 : value, 8);
}

std::string num(double value) {
    std::string text;
    appendNum(text, value);
    return text;
}

std::string fixed(double value) {
    std::string text;
    appendFixed(text, value, 4);
    return text;
}

} // namespace

OutputLock::~OutputLock() {
    if (m_held)
        ::unlink(m_path.c_str());
}

std::optional<std::string> OutputLock::acquire() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(m_path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        if (fd >= 0) {
            const std::string pid = std::to_string(::getpid()) + "\n";
            const bool written =
                ::write(fd, pid.data(), pid.size()) == static_cast<ssize_t>(pid.size());
            ::close(fd);
            if (!written) {
                ::unlink(m_path.c_str());
                return cannotCreateFileMessage(m_path, std::strerror(errno));
            }
            m_held = true;
            return std::nullopt;
        }
        if (errno != EEXIST)
            return cannotCreateFileMessage(m_path, std::strerror(errno));
        std::ifstream in(m_path);
        long holder = 0;
        in >> holder;
        if (holder > 0 && (::kill(static_cast<pid_t>(holder), 0) == 0 || errno == EPERM))
            return "another run (process " + std::to_string(holder) +
                   ") is writing the result files of this output name (" + m_path +
                   "): wait for its end or choose another output name";
        ::unlink(m_path.c_str()); // stale: its run has ended without removing it
    }
    return cannotCreateFileMessage(m_path, "Another run took the output name at the same time.");
}

std::vector<std::string> ResultWriter::runInformation(const char* what) const {
    return {std::string(kRunInformationHeading), "Input file: " + m_s.inputFile,
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

std::string ResultWriter::rtaRow(int index, const WavelengthResult& o, Light light) const {
    const auto pick = [light](double specular, double scattered) {
        return light == Light::Specular    ? specular
               : light == Light::Scattered ? scattered
                                           : specular + scattered;
    };
    const double r = pick(o.specular.R, o.diffuseR), t = pick(o.specular.T, o.diffuseT);
    std::string line;
    line.reserve(16 * (o.specular.A.size() + 4));
    appendNum(line, m_s.wavelengths[static_cast<std::size_t>(index)]);
    double sum = r + t;
    for (const double value : {r, t}) {
        line += '\t';
        appendNum(line, value);
    }
    for (std::size_t l = 0; l < o.specular.A.size(); ++l) {
        const double a = pick(o.specular.A[l], o.diffuseA.empty() ? 0 : o.diffuseA[l]);
        line += '\t';
        appendNum(line, a);
        sum += a;
    }
    line += '\t';
    appendNum(line, sum);
    return line;
}

std::uintmax_t ResultWriter::bytesNeeded() const {
    // A number takes at most 15 characters and its TAB; the files with a row per wavelength
    // hold at most the ".rta"'s columns (three of them), the photocurrents' (two) and the
    // hazes'; the other files are small.
    const auto layers = static_cast<std::uintmax_t>(m_s.layerCount());
    const std::uintmax_t columns = 3 * (layers + 4) + 2 * (layers + 1) + 2 * layers + 1;
    return m_s.wavelengths.size() * columns * 16 + layers * 1024 + 64 * 1024;
}

std::optional<std::string> ResultWriter::begin() {
    // What would stop the set from taking its place at the end is found before the run.
    for (const std::string_view suffix : setSuffixes()) {
        std::error_code error;
        if (std::filesystem::is_directory(path(suffix), error))
            return cannotCreateFileMessage(path(suffix), "A folder has the name of this file.");
    }
    const std::string rta = path(kPartialResultSuffix);
    const std::filesystem::path folder = std::filesystem::absolute(rta).parent_path();
    std::error_code error;
    const std::filesystem::space_info room = std::filesystem::space(folder, error);
    if (!error && room.available < bytesNeeded())
        return cannotCreateFileMessage(
            rta, "The folder " + folder.string() + " has " + std::to_string(room.available / 1024) +
                     " KiB free; the result files of this run need about " +
                     std::to_string(bytesNeeded() / 1024 + 1) + " KiB.");
    m_rta.open(rta, std::ios::binary | std::ios::trunc);
    if (!m_rta)
        return cannotCreateFileMessage(rta, std::strerror(errno));
    for (const std::string& line : rtaHeader())
        m_rta << utf8ToCp1252(line).value_or(line) << "\r\n";
    m_rta.flush();
    if (!m_rta)
        return cannotCreateFileMessage(rta, std::strerror(errno));
    return std::nullopt;
}

void ResultWriter::row(int index, const WavelengthResult& result) {
    if (!m_rtaFault.empty())
        return;
    m_rta << rtaRow(index, result, Light::All) << "\r\n";
    // The rows reach the file in blocks, often enough for the on-line view to follow them.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_flushed >= std::chrono::milliseconds(100)) {
        m_rta.flush();
        m_flushed = now;
    }
    if (!m_rta)
        m_rtaFault = std::strerror(errno);
}

void ResultWriter::abandon() {
    m_rta.close();
    std::error_code ignored;
    std::filesystem::remove(path(kPartialResultSuffix), ignored);
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
    const auto add = [&](const std::string& item, double total, double scattered) {
        lines.push_back(item + "\t" + fixed(total - scattered) + "\t" + fixed(scattered) + "\t" +
                        fixed(total));
    };
    add("R", r.jphR, r.jphRScattered);
    add("T", r.jphT, r.jphTScattered);
    double pvScattered = 0;
    for (int i = 0; i < m_s.layerCount(); ++i) {
        const auto l = static_cast<std::size_t>(i);
        add(m_s.rows[l + 1].name, r.jph[l], r.jphScattered[l]);
        if (m_s.rows[l + 1].pvActive)
            pvScattered += r.jphScattered[l];
    }
    add("Total of the PV-active layers", r.jphTotal, pvScattered);
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
        std::string& line = lines.emplace_back();
        appendNum(line, m_s.wavelengths[w]);
        for (std::size_t l = 0; l < r.optics[w].specular.A.size(); ++l) {
            const double a = r.optics[w].A(l);
            line += '\t';
            appendNum(line,
                      ratio ? a : spectralPhotocurrent(m_s.wavelengths[w], m_s.irradiance[w], a));
        }
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
            const auto l = static_cast<std::size_t>(i), q = static_cast<std::size_t>(seg);
            for (const WavelengthResult& o : r.optics)
                share.push_back(o.specular.segments[l][q] +
                                (o.diffuseSegments.empty() ? 0 : o.diffuseSegments[l][q]));
            // mA/cm2 over the charge gives photons per cm2 and second, over the width per cm3.
            const double jph = photocurrent(m_s.wavelengths, m_s.irradiance, share);
            const double rate = width > 0 ? jph * 1e-3 / kElementaryCharge / (width * 1e-7) : 0;
            lines.push_back(num(top + (seg + 0.5) * width) + "\t" + row.name + "\t" + num(rate));
        }
        top += row.thickness;
    }
    return lines;
}

std::vector<std::string> ResultWriter::hazeLines(const RunResults& r) const {
    std::string header = "Wavelength (nm)";
    for (std::size_t i = 1; i < m_s.rows.size(); ++i)
        if (m_s.rows[i].roughness > 0)
            header += "\tHR " + std::to_string(i - 1) + "\tHT " + std::to_string(i - 1);
    std::vector<std::string> lines{header};
    for (std::size_t w = 0; w < m_s.wavelengths.size(); ++w) {
        std::string& line = lines.emplace_back();
        appendNum(line, m_s.wavelengths[w]);
        const WavelengthResult& o = r.optics[w];
        for (std::size_t j = 0; j < o.hazeR.size(); ++j)
            for (const double haze : {o.hazeR[j], o.hazeT[j]}) {
                line += '\t';
                appendNum(line, haze);
            }
    }
    return lines;
}

std::vector<std::string> ResultWriter::adfLines(const RunResults& r, bool reflected) const {
    std::vector<std::string> lines{"Angle (deg)\tShare of the incident photons"};
    const int bins = m_s.anyRough ? m_s.scattering.bins : std::max(1, m_s.anglesPer90);
    const double all = photocurrent(m_s.wavelengths, m_s.irradiance,
                                    std::vector<double>(m_s.wavelengths.size(), 1.0));
    for (int b = 0; b < bins; ++b) {
        std::vector<double> leaving;
        for (const WavelengthResult& o : r.optics) {
            const Eigen::VectorXd& bin = reflected ? o.leavingR : o.leavingT;
            leaving.push_back(bin.size() > b ? bin(b) : 0.0);
        }
        const double share =
            all > 0 ? photocurrent(m_s.wavelengths, m_s.irradiance, leaving) / all : 0;
        lines.push_back(num((b + 0.5) * 90.0 / bins) + "\t" + num(share));
    }
    return lines;
}

std::optional<std::string> ResultWriter::finish(const RunResults& r) {
    m_rta << "\r\n";
    m_rta.flush();
    if (!m_rta && m_rtaFault.empty())
        m_rtaFault = std::strerror(errno);
    m_rta.close();
    if (!m_rtaFault.empty())
        return cannotCreateFileMessage(path(kPartialResultSuffix), m_rtaFault);
    std::vector<std::string> specular = rtaHeader(), scattered = rtaHeader();
    for (std::size_t w = 0; w < r.optics.size(); ++w) {
        specular.push_back(rtaRow(static_cast<int>(w), r.optics[w], Light::Specular));
        scattered.push_back(rtaRow(static_cast<int>(w), r.optics[w], Light::Scattered));
    }
    specular.emplace_back();
    scattered.emplace_back();
    const std::vector<std::string> contents[] = {
        specular,           scattered,         totalsLines(r),     jscLines(r),
        jphLines(r, false), jphLines(r, true), generationLines(r), hazeLines(r),
        adfLines(r, true),  adfLines(r, false)};
    static_assert(std::size(contents) == kLaterFiles.size());
    std::vector<StagedFile> staged;
    const auto refuse = [&staged](const std::string& file, const std::string& reason) {
        for (const StagedFile& written : staged)
            discardStagedFile(written);
        return cannotCreateFileMessage(file, reason);
    };
    for (std::size_t i = 0; i < kLaterFiles.size(); ++i) {
        StagedFile file;
        if (const auto reason = stageTextFile(path(kLaterFiles[i]), contents[i], file))
            return refuse(path(kLaterFiles[i]), *reason);
        staged.push_back(file);
    }
    // A folder that took a file's name during the run would stop the set half way.
    for (const std::string_view suffix : setSuffixes()) {
        std::error_code error;
        if (std::filesystem::is_directory(path(suffix), error))
            return refuse(path(suffix), "A folder has the name of this file.");
    }
    // Every file is written: the set replaces the earlier one, the ".rta" last.
    std::optional<std::string> fault;
    for (const StagedFile& file : staged)
        if (const auto reason = commitStagedFile(file); reason && !fault)
            fault = cannotCreateFileMessage(file.target, *reason);
    if (!fault && std::rename(path(kPartialResultSuffix).c_str(), path(".rta").c_str()) != 0)
        fault = cannotCreateFileMessage(path(".rta"), std::strerror(errno));
    return fault;
}

} // namespace lumetrix::kernel
