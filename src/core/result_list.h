#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumetrix {

// The suffixes of the kernel's result files, in the order of the Results page's list.
inline constexpr std::array<std::string_view, 9> kResultFileSuffixes = {
    ".rta", "_Spec.rta", "_Dif.rta", ".GL", ".jph", ".jsc", "_R.adf", "_T.adf", ".hrt"};

// Every file a complete run writes, after the output name: the ".rta" with every row, then the
// files written at its end, in the order the kernel writes them.
inline constexpr std::array<std::string_view, 11> kRunFileSuffixes = {
    ".rta",       "_Spec.rta", "_Dif.rta", "_Sum.jsc", ".jsc",  ".jph",
    "_ratio.jph", ".GL",       ".hrt",     "_R.adf",   "_T.adf"};

// The rows of a run in progress go to "<output name>_partial.rta"; the run's complete set of
// files replaces the earlier one only at its end, so a run that is stopped or fails leaves the
// earlier set whole (and a stopped run its own rows under this name).
inline constexpr std::string_view kPartialResultSuffix = "_partial.rta";

// The kernel's files of spectra and profiles begin with lines of run information, this heading
// first, above their header (docs/result-files.md).
inline constexpr std::string_view kRunInformationHeading = "Lumetrix simulation results";
inline constexpr std::size_t kRunInformationLines = 4;

inline constexpr std::string_view kOnLineResultsEntry = "OnLine results as selected below";
inline constexpr std::string_view kImportResultsEntry = "IMPORT results...";

// The entries of the result list for an output file name: the on-line view, the nine result
// files, the import command.
std::vector<std::string> resultListEntries(std::string_view outFileName);

} // namespace lumetrix
