#pragma once

#include "core/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lumetrix {

// The data files a project names. All share one text convention (docs/data-files.md):
// optional comment lines beginning with "#" before the data, then one line of numbers per
// point, separated by tabs or blanks, "." as the decimal point, the first column strictly
// rising; Windows-1252 (or plain ASCII) text, LF, CR LF or CR line ends, empty lines anywhere.
// The kinds differ in their columns and the values these may hold:
//   Nk                      wavelength (nm) > 0, n > 0, k >= 0
//   Spectrum                wavelength (nm) > 0, irradiance (W/(m^2 nm)) >= 0
//   Haze                    wavelength (nm) > 0, haze in [0, 1]
//   Calibration             wavelength (nm) > 0, c > 0
//   ReflectanceCalibration  wavelength (nm) > 0, c in [0, 1]
//   ExternalAdf             angle (degrees) in [0, 90], relative intensity >= 0
enum class DataKind { Nk, Spectrum, Haze, Calibration, ReflectanceCalibration, ExternalAdf };

// Data files larger than this are refused unread; so are files of more comment lines, which
// would cost far more memory than their bytes.
inline constexpr std::size_t kMaxDataFileBytes = 64 * 1024 * 1024;
inline constexpr std::size_t kMaxDataFileComments = 10000;

struct DataTable {
    std::string path;
    std::vector<std::string> comments;        // the comment lines, '#' kept, as UTF-8
    std::vector<std::vector<double>> columns; // columns[c][row]; column 0 the rising x

    int rows() const;
    double first() const; // x of the first row (NaN for a table without rows)
    double last() const;  // x of the last row (NaN for a table without rows)
    // Column c at x, linearly interpolated between the two rows around x (a row's own value
    // at its x). Nothing outside [first(), last()] (never extrapolated), for a column the
    // table does not have, or for a NaN x. Binary search: O(log rows).
    std::optional<double> at(int column, double x) const;
    // The same, the search starting from `hint` (a row, set to the row found): for x rising
    // from call to call the row is found in a step or two instead of a search.
    std::optional<double> at(int column, double x, std::size_t& hint) const;
};

// Reads and checks a data file of the given kind; the error names the file and the line.
Result<DataTable> readDataFile(const std::string& path, DataKind kind);

// The same, also giving the data lines as the file holds them (one per row, in the file's
// bytes), for a caller that copies lines through unchanged.
Result<DataTable> readDataFile(const std::string& path, DataKind kind,
                               std::vector<std::string>& dataLines);

// The file of a data name in its folder: folder + name + extension of the kind (".nk",
// ".spk", ".hz", ".cal", ".adf").
std::string dataFilePath(const std::string& folder, const std::string& name, DataKind kind);

// The extension of the kind's files, the dot included.
const char* dataFileExtension(DataKind kind);

} // namespace lumetrix
