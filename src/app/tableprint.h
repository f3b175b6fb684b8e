#pragma once

#include <string>

namespace lumetrix {

// `lumetrix --table FILE --skip H`: prints the table that the Results page shows for the file,
// row 0 first, the cells of columns 1 and up joined by TABs. Returns the exit code: 0, or 1
// with the page's message on standard error when the file cannot be read.
int printResultTable(const std::string& path, int headerSkip);

} // namespace lumetrix
