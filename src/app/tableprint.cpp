#include "app/tableprint.h"

#include "core/result_files.h"
#include "core/textfile.h"

#include <cstdio>

namespace lumetrix {

int printResultTable(const std::string& path, int headerSkip) {
    const auto cannotOpen = [&path](const ReadError& error) {
        std::fprintf(stderr, "lumetrix: Cannot open file \"%s\"\n%s\n", path.c_str(),
                     error.describe().c_str());
        return 1;
    };
    auto bytes = readSmallFile(path, kMaxResultFileBytes, "result file");
    if (!bytes)
        return cannotOpen(bytes.error());
    // The header is the line after the skipped ones: a skip of every line leaves none.
    long lines = 0;
    LineCursor cursor(bytes.value());
    for (std::string_view line; cursor.next(line);)
        ++lines;
    if (lines > 0 && headerSkip >= lines) {
        std::fprintf(stderr,
                     "lumetrix: --skip %d leaves no line of \"%s\" for the header: the file has "
                     "%ld line%s\n",
                     headerSkip, path.c_str(), lines, lines == 1 ? "" : "s");
        return 1;
    }
    const auto table = parseResultTable(std::move(bytes).value(), headerSkip, path);
    if (!table)
        return cannotOpen(table.error());
    const ResultTable& t = table.value();
    std::string out;
    for (int r = 0; r < t.rowCount(); ++r) {
        t.forEachCell(r, [&out](int column, std::string_view text) {
            if (column > 1)
                out += '\t';
            out += text;
        });
        out += '\n';
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace lumetrix
