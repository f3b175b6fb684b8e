// libFuzzer target: any bytes as an input file. The reader must return a project or an error
// naming a line, and the writer must write whatever the reader accepted.
#include "core/inputfile_reader.h"
#include "core/inputfile_writer.h"
#include "core/listing.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const lumetrix::ReaderContext context{{'.', ','}, "/w", true};
    const auto loaded = lumetrix::parseInputLines(lumetrix::splitLines(bytes), "fuzz.dat", context);
    if (!loaded) {
        if (loaded.error().reason.empty())
            __builtin_trap(); // every refusal says why
        return 0;
    }
    std::vector<std::string> lines;
    lumetrix::WriterContext writer;
    writer.workDir = "/w";
    lumetrix::BuildInputFile(loaded.value().values, writer, lines);
    return 0;
}
