#include "app/tableprint.h"

#include "core/result_files.h"

#include <cstdio>

namespace lumetrix {

int printResultTable(const std::string& path, int headerSkip) {
    const auto table = readResultTable(path, headerSkip);
    if (!table) {
        std::fprintf(stderr, "lumetrix: Cannot open file \"%s\"\n%s\n", path.c_str(),
                     table.error().describe().c_str());
        return 1;
    }
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
