#include "kernel/tools.h"

#include "core/data_file.h"
#include "core/numbertext.h"
#include "core/result_files.h"
#include "core/result_list.h"
#include "core/textfile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <numbers>

namespace lumetrix::kernel {
namespace {

std::string num(double value) {
    std::string text;
    appendGeneral(text, value, 10);
    return text;
}

// The result of a tool never goes over one of the files it reads.
std::optional<ReadError> notAnInput(const std::string& out,
                                    const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        std::error_code error;
        if (std::filesystem::equivalent(out, input, error))
            return ReadError{out, 0,
                             "this is also a file the computation reads; choose another "
                             "output file"};
    }
    return std::nullopt;
}

std::optional<ReadError> writeLines(const std::string& path,
                                    const std::vector<std::string>& lines) {
    if (const auto reason = writeTextFile(path, lines))
        return ReadError{path, 0, cannotCreateFileMessage(path, *reason)};
    return std::nullopt;
}

} // namespace

Result<TransformReport> transformHaze(const TransformRequest& q) {
    if (!(q.rms > 0))
        return ReadError{q.hazeFile, 0, "the rms roughness must be above 0 nm"};
    if (!q.reflected && !(q.power > 0))
        return ReadError{q.hazeFile, 0, "the HT power factor must be above 0"};
    if (const auto fault = notAnInput(q.outFile, {q.hazeFile, q.incidentNk, q.transmissionNk}))
        return *fault;
    const auto haze = readDataFile(q.hazeFile, DataKind::Haze);
    if (!haze)
        return haze.error();
    const auto incident = readDataFile(q.incidentNk, DataKind::Nk);
    if (!incident)
        return incident.error();
    const auto transmitted = readDataFile(q.transmissionNk, DataKind::Nk);
    if (!transmitted)
        return transmitted.error();

    TransformReport report;
    std::vector<std::string> lines{
        std::string("# Calibration function ") + (q.reflected ? "cR" : "cT") +
            " made by the cR_cT transform from the haze data " + q.hazeFile + ",",
        "# rms roughness " + num(q.rms) + " nm, incident medium " + q.incidentNk +
            ", medium in transmission " + q.transmissionNk +
            (q.reflected ? std::string() : ", HT power factor " + num(q.power)),
        "# Columns: wavelength (nm), c"};
    const auto& x = haze.value().columns[0];
    const auto& h = haze.value().columns[1];
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double lambda = x[i], hz = h[i];
        const auto n1 = incident.value().at(1, lambda), n2 = transmitted.value().at(1, lambda);
        const auto skip = [&](const std::string& why) {
            report.skipped.push_back(num(lambda) + " nm: " + why);
        };
        if (!n1 || !n2) {
            skip("outside the range of the nk data");
            continue;
        }
        if (hz <= 0 || hz >= 1) {
            skip(hz <= 0 ? "haze 0 (no scattering to calibrate)" : "haze 1 (no specular light)");
            continue;
        }
        const double contrast = q.reflected ? *n1 : std::abs(*n1 - *n2);
        if (contrast < 1e-12) {
            skip("the media have no index contrast");
            continue;
        }
        const double exponent = -std::log(1 - hz);
        const double c = std::pow(exponent, q.reflected ? 0.5 : 1 / q.power) * lambda /
                         (4 * std::numbers::pi * q.rms * contrast);
        if (!std::isfinite(c) || c <= 0) {
            skip("no finite calibration value");
            continue;
        }
        lines.push_back(num(lambda) + "\t" + num(c));
        if (report.points == 0)
            report.first = lambda;
        report.last = lambda;
        ++report.points;
    }
    if (report.points == 0)
        return ReadError{q.hazeFile, 0, "no wavelength of the haze data gives a calibration value"};
    if (const auto fault = writeLines(q.outFile, lines))
        return *fault;
    return report;
}

namespace {

// The "_ratio.jph" files carry the lines of run information above their header.
constexpr int kHeaderSkip = static_cast<int>(kRunInformationLines);

// The table of a "_ratio.jph" file: a text file with its header below four lines of run
// information and a row of a wavelength and at least one layer below that. Another result file
// read so (an ".rta") would give numbers, but wrong ones.
Result<ResultTable> ratioTable(const std::string& path) {
    auto bytes = readSmallFile(path, kMaxResultFileBytes, "result file");
    if (!bytes)
        return bytes.error();
    const std::string noTable = "the file holds no table";
    int line = 0;
    std::string header;
    LineCursor cursor(bytes.value());
    for (std::string_view text; cursor.next(text);) {
        if (++line; text.find('\0') != std::string_view::npos)
            return ReadError{path, line, noTable + ": it is not a text file (NUL byte)"};
        if (const auto start = text.find_first_not_of("\t ");
            line == kHeaderSkip + 1 && start != std::string_view::npos) {
            text.remove_prefix(start);
            header = text.substr(0, text.find_first_of("\t "));
        }
    }
    auto table = parseResultTable(std::move(bytes).value(), kHeaderSkip, path);
    if (!table)
        return ReadError{path, table.error().line, noTable + ": " + table.error().reason};
    if (line > kHeaderSkip && (header.empty() || parseFileNumber(header, '.')))
        return ReadError{path, kHeaderSkip + 1,
                         "no header line below four lines of run information: this is not a "
                         "\"_ratio.jph\" file"};
    if (line <= kHeaderSkip + 1 || table.value().columnCount() < 3)
        return ReadError{path, line,
                         noTable + " (" + std::to_string(line) +
                             " lines): a \"_ratio.jph\" file has four lines of run information, "
                             "a header and a row of at least two columns per wavelength"};
    return table;
}

} // namespace

namespace {

// The chosen layer's absorbed fraction against the wavelength, read as the Results page reads a
// line of a table.
Result<GraphLine> absorbed(const ResultTable& t, int column, const std::string& file) {
    if (column < 2 || column >= t.columnCount())
        return ReadError{file, 0,
                         "column " + std::to_string(column) +
                             " is not a layer's column (the table has columns 2 to " +
                             std::to_string(t.columnCount() - 1) + ")"};
    auto points = tablePoints(t, 1, column, t.rowCount() - 1);
    if (!points)
        return ReadError{file, 0, points.error().reason};
    const std::vector<double>& x = points.value().x;
    for (std::size_t i = 1; i < x.size(); ++i)
        if (!(x[i] > x[i - 1]))
            return ReadError{file, kHeaderSkip + 2 + static_cast<int>(i),
                             "the wavelength " + num(x[i]) +
                                 " nm is not above the one "
                                 "before (" +
                                 num(x[i - 1]) + " nm): the rows must rise"};
    return points;
}

// The summary of the LPIF at its wavelengths (rising), `undefined` of the common ones left out.
LpifSummary summarise(const std::vector<std::pair<double, double>>& lpif, int undefined) {
    LpifSummary s;
    s.first = lpif.front().first;
    s.last = lpif.back().first;
    s.points = static_cast<int>(lpif.size());
    s.undefined = undefined;
    s.minimum = s.maximum = lpif.front().second;
    s.minimumAt = s.maximumAt = lpif.front().first;
    for (const auto& [lambda, factor] : lpif) {
        s.mean += factor / static_cast<double>(lpif.size());
        if (factor < s.minimum) {
            s.minimum = factor;
            s.minimumAt = lambda;
        }
        if (factor > s.maximum) {
            s.maximum = factor;
            s.maximumAt = lambda;
        }
    }
    for (const double at : kLpifWavelengths) {
        double value = std::numeric_limits<double>::quiet_NaN();
        for (std::size_t i = 0; i + 1 < lpif.size(); ++i)
            if (lpif[i].first <= at && at <= lpif[i + 1].first) {
                const double f = (at - lpif[i].first) / (lpif[i + 1].first - lpif[i].first);
                value = lpif[i].second + f * (lpif[i + 1].second - lpif[i].second);
                break;
            }
        if (lpif.size() == 1 && lpif.front().first == at)
            value = lpif.front().second;
        s.notable.emplace_back(at, value);
    }
    return s;
}

} // namespace

Result<LpifSummary> computeLpif(const LpifRequest& q) {
    if (const auto fault = notAnInput(q.outFile, {q.reference, q.improved}))
        return *fault;
    const auto reference = ratioTable(q.reference);
    if (!reference)
        return reference.error();
    const auto improved = ratioTable(q.improved);
    if (!improved)
        return improved.error();
    const auto ref = absorbed(reference.value(), q.columnReference, q.reference);
    if (!ref)
        return ref.error();
    const auto impr = absorbed(improved.value(), q.columnImproved, q.improved);
    if (!impr)
        return impr.error();
    std::map<double, double> improvedAt; // absorbed fraction by wavelength
    for (std::size_t i = 0; i < impr.value().x.size(); ++i)
        improvedAt[impr.value().x[i]] = impr.value().y[i];
    std::vector<std::string> lines{"Wavelength (nm)\tA_ref\tA_impr\tLPIF"};
    std::vector<std::pair<double, double>> lpif;
    int undefined = 0;
    for (std::size_t i = 0; i < ref.value().x.size(); ++i) {
        const double lambda = ref.value().x[i];
        const auto other = improvedAt.find(lambda);
        if (other == improvedAt.end())
            continue;
        const double aRef = ref.value().y[i], aImpr = other->second;
        // The path ratio is defined only for a partly absorbing layer; a fraction within
        // round-off (1e-12) of 0 or 1 is none.
        const auto partly = [](double a) { return a >= 1e-12 && a <= 1 - 1e-12; };
        const double factor = std::log1p(-aImpr) / std::log1p(-aRef);
        if (!partly(aRef) || !partly(aImpr) || !std::isfinite(factor)) {
            ++undefined;
            continue;
        }
        lines.push_back(num(lambda) + "\t" + num(aRef) + "\t" + num(aImpr) + "\t" + num(factor));
        lpif.emplace_back(lambda, factor);
    }
    if (lpif.empty())
        return ReadError{q.reference, 0,
                         "no wavelength of both files has an absorbed fraction between 0 and 1"};
    if (const auto fault = writeLines(q.outFile, lines))
        return *fault;
    return summarise(lpif, undefined);
}

std::vector<std::string> lpifReport(const LpifSummary& s) {
    std::vector<std::string> lines{
        "LPIF from " + num(s.first) + " to " + num(s.last) + " nm (" + std::to_string(s.points) +
        " points): mean " + num(s.mean) + ", minimum " + num(s.minimum) + " at " +
        num(s.minimumAt) + " nm, maximum " + num(s.maximum) + " at " + num(s.maximumAt) + " nm"};
    std::string notable = "LPIF at";
    for (const auto& [at, value] : s.notable)
        notable += std::string(at == s.notable.front().first ? " " : ", ") + num(at) + " nm: " +
                   (std::isnan(value) ? std::string("none (outside the range)") : num(value));
    lines.push_back(notable);
    if (s.undefined > 0)
        lines.push_back(std::to_string(s.undefined) +
                        " wavelengths left out: no LPIF where a layer absorbs nothing or "
                        "everything");
    return lines;
}

} // namespace lumetrix::kernel
