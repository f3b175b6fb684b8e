#include "core/result_list.h"

namespace lumetrix {

std::vector<std::string> resultListEntries(std::string_view outFileName) {
    std::vector<std::string> entries;
    entries.emplace_back(kOnLineResultsEntry);
    for (const auto suffix : kResultFileSuffixes)
        entries.push_back(std::string(outFileName) + std::string(suffix));
    entries.emplace_back(kImportResultsEntry);
    return entries;
}

} // namespace lumetrix
