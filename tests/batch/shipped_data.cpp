// Checks the working folder that a build places beside the program. Every name that the layer
// and spectrum listings offer, and every layer and the spectrum of the example project, must
// be a data file there that reads without a fault; every nk and spectrum file of data/ must be
// offered by its listing.
//   usage: shipped_data BUILT_WORKING_FOLDER SOURCE_DATA_FOLDER
#include "core/data_file.h"
#include "core/folders.h"
#include "core/inputfile_reader.h"
#include "core/listing.h"

#include <filesystem>
#include <iostream>
#include <set>

namespace {

using namespace lumetrix;
namespace fs = std::filesystem;

struct Shelf {
    const char* listing; // under List/
    std::string_view folder;
    DataKind kind;
};

int g_faults = 0;

void fault(const std::string& what) {
    std::cerr << what << '\n';
    ++g_faults;
}

// The file of the name in the built folder reads as its kind.
void checkName(const std::string& workDir, const Shelf& shelf, const std::string& name,
               const std::string& namedBy) {
    const std::string path = dataFilePath(joinPath(workDir, shelf.folder), name, shelf.kind);
    if (const auto table = readDataFile(path, shelf.kind); !table)
        fault(namedBy + " names \"" + name + "\": " + table.error().describe());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: shipped_data BUILT_WORKING_FOLDER SOURCE_DATA_FOLDER\n";
        return 2;
    }
    const std::string workDir = argv[1];
    const std::string source = argv[2];
    const Shelf nk{"layer.dat", subdir::nk, DataKind::Nk};
    const Shelf spectrum{"Spectrum.dat", subdir::spectrum, DataKind::Spectrum};

    for (const Shelf& shelf : {nk, spectrum}) {
        const std::string listingPath = joinPath(joinPath(workDir, subdir::list), shelf.listing);
        const auto listed = readListingFile(listingPath);
        if (!listed) {
            fault(listed.error().describe());
            continue;
        }
        for (const std::string& name : listed.value())
            checkName(workDir, shelf, name, listingPath);
        const std::set<std::string> offered(listed.value().begin(), listed.value().end());
        std::error_code error;
        const std::string shipped = joinPath(source, shelf.folder);
        for (const auto& entry : fs::directory_iterator(shipped, error)) {
            const fs::path file = entry.path();
            if (file.extension() == dataFileExtension(shelf.kind) &&
                !offered.contains(file.stem().string()))
                fault(file.string() + " ships but " + listingPath + " does not offer it");
        }
        if (error)
            fault(shipped + ": " + error.message());
    }

    const std::string example = joinPath(joinPath(workDir, subdir::in), "CIGS example.dat");
    const auto project = readInputFile(example, ReaderContext{{}, workDir, false});
    if (!project) {
        fault(project.error().describe());
    } else {
        for (const LoadedRow& row : project.value().rows)
            checkName(workDir, nk, row.layerFile, example);
        checkName(workDir, spectrum, project.value().values.spectrum.cbSpekter, example);
    }
    if (g_faults == 0)
        std::cout << "The listings and the example name shipped data files that read.\n";
    return g_faults == 0 ? 0 : 1;
}
