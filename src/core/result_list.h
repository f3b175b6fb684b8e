#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace lumetrix {

// The suffixes of the kernel's result files, in the order of the Results page's list.
inline constexpr std::array<std::string_view, 9> kResultFileSuffixes = {
    ".rta", "_Spec.rta", "_Dif.rta", ".GL", ".jph", ".jsc", "_R.adf", "_T.adf", ".hrt"};

inline constexpr std::string_view kOnLineResultsEntry = "OnLine results as selected below";
inline constexpr std::string_view kImportResultsEntry = "IMPORT results...";

// The entries of the result list for an output file name: the on-line view, the nine result
// files, the import command.
std::vector<std::string> resultListEntries(std::string_view outFileName);

} // namespace lumetrix
