#include "core/data_file.h"

#include "core/folders.h"
#include "core/text_codec.h"
#include "core/textfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace lumetrix {
namespace {

// The values a column may hold: above (or from) `low`, below (or up to) `high`.
struct Column {
    const char* name;
    double low;
    bool lowIncluded;
    double high = std::numeric_limits<double>::infinity();
    bool highIncluded = false;
};

struct KindRule {
    const char* extension;
    std::vector<Column> columns;
};

const KindRule& ruleOf(DataKind kind) {
    // Upper limits far above any material or light source, below where the optics overflow.
    static const KindRule nk{
        ".nk", {{"wavelength", 0, false}, {"n", 0, false, 1000, true}, {"k", 0, true, 1000, true}}};
    static const KindRule spectrum{".spk",
                                   {{"wavelength", 0, false}, {"irradiance", 0, true, 1e4, true}}};
    static const KindRule haze{".hz", {{"wavelength", 0, false}, {"haze", 0, true, 1, true}}};
    static const KindRule calibration{".cal", {{"wavelength", 0, false}, {"c", 0, false}}};
    static const KindRule reflectance{".cal", {{"wavelength", 0, false}, {"c", 0, true, 1, true}}};
    static const KindRule adf{".adf", {{"angle", 0, true, 90, true}, {"intensity", 0, true}}};
    switch (kind) {
    case DataKind::Nk:
        return nk;
    case DataKind::Spectrum:
        return spectrum;
    case DataKind::Haze:
        return haze;
    case DataKind::Calibration:
        return calibration;
    case DataKind::ReflectanceCalibration:
        return reflectance;
    case DataKind::ExternalAdf:
        return adf;
    }
    return nk;
}

bool isSeparator(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSeparator(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSeparator(line[i]))
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// A field as a message shows it: at most 24 characters, control characters as "?".
std::string shown(std::string_view field) {
    constexpr std::size_t kShown = 24;
    std::string text(field.substr(0, kShown));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    if (field.size() > kShown)
        text += "...";
    return cp1252ToUtf8(text);
}

std::string quoted(std::string_view field) {
    return "\"" + shown(field) + "\"";
}

enum class NumberFault { None, NotANumber, NotFinite };

// A decimal number as data files write it, independent of the locale: an optional sign,
// digits with "." as the decimal point, an optional exponent. No hexadecimal, no commas.
// A value too small for a double reads as 0; one too large, an infinity or a NaN is refused.
NumberFault parseNumber(std::string_view text, double& value) {
    std::string_view digits = text;
    if (digits.starts_with('+'))
        digits.remove_prefix(1);
    if (digits.empty() || digits.front() == '+' || (text.starts_with('+') && digits[0] == '-'))
        return NumberFault::NotANumber;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (stop != end)
        return NumberFault::NotANumber;
    if (error == std::errc::result_out_of_range) {
        const std::size_t mark = digits.find_last_of("eE");
        if (mark == std::string_view::npos || mark + 1 >= digits.size() || digits[mark + 1] != '-')
            return NumberFault::NotFinite;
        value = digits.front() == '-' ? -0.0 : 0.0;
        return NumberFault::None;
    }
    if (error != std::errc{})
        return NumberFault::NotANumber;
    return std::isfinite(value) ? NumberFault::None : NumberFault::NotFinite;
}

std::string columnLabel(const KindRule& rule, std::size_t index) {
    std::string label = "column " + std::to_string(index + 1);
    if (index < rule.columns.size())
        label += std::string(" (") + rule.columns[index].name + ")";
    return label;
}

std::string columnList(const KindRule& rule) {
    std::string list;
    for (const Column& column : rule.columns)
        list += (list.empty() ? "" : ", ") + std::string(column.name);
    return list;
}

// What is wrong with a value of the column, or nothing.
std::optional<std::string> outOfLimits(const Column& column, double value, std::string_view text) {
    const bool lowOk = column.lowIncluded ? value >= column.low : value > column.low;
    const bool highOk = column.highIncluded ? value <= column.high : value < column.high;
    if (lowOk && highOk)
        return std::nullopt;
    auto number = [](double v) {
        char buffer[32];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, v);
        return error == std::errc{} ? std::string(buffer, end) : std::string("?");
    };
    std::string rule;
    if (column.lowIncluded && column.highIncluded)
        rule = "must lie between " + number(column.low) + " and " + number(column.high);
    else if (!lowOk)
        rule = (column.lowIncluded ? "must not be below " : "must be above ") + number(column.low);
    else
        rule =
            (column.highIncluded ? "must not be above " : "must be below ") + number(column.high);
    return std::string(column.name) + " " + rule + ", found " + shown(text);
}

// The numbers of a data line's fields into `values`; why they are not the kind's numbers.
std::optional<std::string> lineValues(const KindRule& rule,
                                      const std::vector<std::string_view>& fields,
                                      std::vector<double>& values) {
    const std::size_t width = rule.columns.size();
    for (std::size_t c = 0; c < fields.size(); ++c) {
        double value = 0;
        const NumberFault fault = parseNumber(fields[c], value);
        if (fault == NumberFault::NotANumber) {
            std::string reason =
                columnLabel(rule, c) + ": " + quoted(fields[c]) + " is not a number";
            if (fields[c].find_first_of(",;") != std::string_view::npos)
                reason += " (the decimal point is \".\"; columns are separated by tabs or "
                          "blanks)";
            return reason;
        }
        if (fault == NumberFault::NotFinite)
            return columnLabel(rule, c) + ": " + quoted(fields[c]) + " is not a finite number";
        if (c < width)
            values[c] = value;
    }
    if (fields.size() != width)
        return "expected " + std::to_string(width) + " numbers (" + columnList(rule) + "), found " +
               std::to_string(fields.size());
    for (std::size_t c = 0; c < width; ++c)
        if (const auto fault = outOfLimits(rule.columns[c], values[c], fields[c]))
            return fault;
    return std::nullopt;
}

// What the table as a whole must hold.
std::optional<ReadError> tableProblem(const std::string& path, DataKind kind,
                                      const DataTable& table) {
    if (table.columns[0].empty())
        return ReadError{path, 0, "the file holds no data line"};
    if (kind == DataKind::ExternalAdf) {
        // An ADF spreads the scattered light over angles: one angle, or no light, spreads none.
        if (table.columns[0].size() < 2)
            return ReadError{path, 0, "an ADF needs at least two angles"};
        const auto& intensity = table.columns[1];
        if (std::all_of(intensity.begin(), intensity.end(), [](double i) { return i == 0; }))
            return ReadError{path, 0, "every intensity is 0: the ADF spreads no light"};
    }
    return std::nullopt;
}

Result<DataTable> parse(const std::string& path, DataKind kind, const std::string& bytes,
                        std::vector<std::string>* dataLines) {
    const KindRule& rule = ruleOf(kind);
    const std::size_t width = rule.columns.size();
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return ReadError{path, 1, "UTF-16 text; save the file as Windows-1252 or plain ASCII text"};

    DataTable table;
    table.path = path;
    table.columns.resize(width);
    std::vector<double> values(width);
    std::string_view previousX; // the first field of the last data line, and its line
    int previousLine = 0;
    // The lines as splitLines gives them, read in place: a file of millions of empty lines
    // costs no memory.
    int n = 0;
    LineCursor cursor(bytes);
    for (std::string_view line; cursor.next(line);) {
        ++n; // at most 64 Mi lines: the size limit keeps this an int
        if (line.find('\0') != std::string_view::npos)
            return ReadError{path, n, "not a text file (NUL byte)"};
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            continue;
        if (line[start] == '#') {
            if (!table.columns[0].empty())
                return ReadError{path, n, "a comment line among the data lines"};
            if (table.comments.size() == kMaxDataFileComments)
                return ReadError{path, n,
                                 "more than " + std::to_string(kMaxDataFileComments) +
                                     " comment lines"};
            table.comments.push_back(cp1252ToUtf8(line.substr(start)));
            continue;
        }
        const std::vector<std::string_view> fields = fieldsOf(line);
        if (const auto fault = lineValues(rule, fields, values))
            return ReadError{path, n, *fault};
        if (!table.columns[0].empty() && values[0] <= table.columns[0].back())
            return ReadError{path, n,
                             std::string("the ") + rule.columns[0].name +
                                 " must rise from line to line: " + shown(fields[0]) +
                                 " is not above " + shown(previousX) + " on line " +
                                 std::to_string(previousLine)};
        previousX = fields[0];
        previousLine = n;
        for (std::size_t c = 0; c < width; ++c)
            table.columns[c].push_back(values[c]);
        if (dataLines)
            dataLines->emplace_back(line);
    }
    if (auto problem = tableProblem(path, kind, table))
        return *problem;
    return table;
}

Result<DataTable> read(const std::string& path, DataKind kind,
                       std::vector<std::string>* dataLines) {
    const auto bytes = readSmallFile(path, kMaxDataFileBytes, "data file");
    if (!bytes)
        return bytes.error();
    return parse(path, kind, bytes.value(), dataLines);
}

} // namespace

int DataTable::rows() const {
    return columns.empty() ? 0 : static_cast<int>(columns[0].size());
}

double DataTable::first() const {
    return rows() > 0 ? columns[0].front() : std::numeric_limits<double>::quiet_NaN();
}

double DataTable::last() const {
    return rows() > 0 ? columns[0].back() : std::numeric_limits<double>::quiet_NaN();
}

std::optional<double> DataTable::at(int column, double x) const {
    std::size_t hint = 0;
    return at(column, x, hint);
}

std::optional<double> DataTable::at(int column, double x, std::size_t& hint) const {
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size() || rows() == 0)
        return std::nullopt;
    const std::vector<double>& xs = columns[0];
    const std::vector<double>& ys = columns[static_cast<std::size_t>(column)];
    if (ys.size() != xs.size() || !(x >= xs.front() && x <= xs.back()))
        return std::nullopt;
    // The first row whose x is not below the wanted one: a few steps on from the hint when x
    // lies beyond the row before it, else a search (x <= the last x, so i stays in range).
    std::size_t i = hint < xs.size() && (hint == 0 || xs[hint - 1] < x) ? hint : 0;
    for (int step = 0; step < 4 && xs[i] < x; ++step)
        ++i;
    if (xs[i] < x)
        i = static_cast<std::size_t>(
            std::lower_bound(xs.begin() + static_cast<std::ptrdiff_t>(i), xs.end(), x) -
            xs.begin());
    hint = i;
    if (xs[i] == x)
        return ys[i];
    const double x0 = xs[i - 1], x1 = xs[i];
    const double y0 = ys[i - 1], y1 = ys[i];
    return y0 + (y1 - y0) * ((x - x0) / (x1 - x0));
}

Result<DataTable> readDataFile(const std::string& path, DataKind kind) {
    return read(path, kind, nullptr);
}

Result<DataTable> readDataFile(const std::string& path, DataKind kind,
                               std::vector<std::string>& dataLines) {
    dataLines.clear();
    auto table = read(path, kind, &dataLines);
    if (!table)
        dataLines.clear();
    return table;
}

const char* dataFileExtension(DataKind kind) {
    return ruleOf(kind).extension;
}

std::string dataFilePath(const std::string& folder, const std::string& name, DataKind kind) {
    return joinPath(folder, name + dataFileExtension(kind));
}

} // namespace lumetrix
