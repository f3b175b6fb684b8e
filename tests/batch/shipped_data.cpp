// Checks the working folder that a build places beside the program. Every name that a listing
// offers (layers, spectra, calibration and reflectance calibration functions, haze data,
// external ADFs) must be a data file there that reads without a fault as its kind; every file of
// the data folders of data/ must be offered by a listing of its folder. (The data names of the
// example project: the kernel's tests run the example on data/.)
//   usage: shipped_data BUILT_WORKING_FOLDER SOURCE_DATA_FOLDER
#include "core/data_file.h"
#include "core/folders.h"
#include "core/listing.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <vector>

namespace {

using namespace lumetrix;
namespace fs = std::filesystem;

// A listing file and the kind of data file that each of its names stands for.
struct Shelf {
    const char* listing; // under List/
    std::string_view folder;
    DataKind kind;
    bool noneMeansNoFunction = false; // the item "none" names no file
};

const Shelf kShelves[] = {
    {"layer.dat", subdir::nk, DataKind::Nk},
    {"Spectrum.dat", subdir::spectrum, DataKind::Spectrum},
    {"cR.dat", subdir::calibration, DataKind::Calibration},
    {"cT.dat", subdir::calibration, DataKind::Calibration},
    {"ReflCal.dat", subdir::calibration, DataKind::ReflectanceCalibration, true},
    {"HR.dat", subdir::haze, DataKind::Haze},
    {"HT.dat", subdir::haze, DataKind::Haze},
    {"ADF1ext.dat", subdir::externalAdf, DataKind::ExternalAdf},
    {"ADF2ext.dat", subdir::externalAdf, DataKind::ExternalAdf},
};

int g_faults = 0;

void fault(const std::string& what) {
    std::cerr << what << '\n';
    ++g_faults;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: shipped_data BUILT_WORKING_FOLDER SOURCE_DATA_FOLDER\n";
        return 2;
    }
    const std::string workDir = argv[1];
    const std::string source = argv[2];

    // Per folder: the file names its listings offer, and those listings.
    std::map<std::string_view, std::set<std::string>> offered;
    std::map<std::string_view, std::string> offeredBy;
    for (const Shelf& shelf : kShelves) {
        std::string& listings = offeredBy[shelf.folder];
        listings += (listings.empty() ? "List/" : " or List/") + std::string(shelf.listing);
        const std::string listingPath = joinPath(joinPath(workDir, subdir::list), shelf.listing);
        const auto listed = readListingFile(listingPath);
        if (!listed) {
            fault(listed.error().describe());
            continue;
        }
        for (const std::string& name : listed.value()) {
            if (shelf.noneMeansNoFunction && name == "none")
                continue;
            const std::string path =
                dataFilePath(joinPath(workDir, shelf.folder), name, shelf.kind);
            if (const auto table = readDataFile(path, shelf.kind); !table)
                fault(listingPath + " names \"" + name + "\": " + table.error().describe());
            offered[shelf.folder].insert(name + dataFileExtension(shelf.kind));
        }
    }

    // Every entry of a data folder of the source tree is a file that a listing offers.
    for (const auto& [folder, listings] : offeredBy) {
        const std::set<std::string>& files = offered[folder];
        std::error_code error;
        const std::string shipped = joinPath(source, folder);
        for (const auto& entry : fs::directory_iterator(shipped, error)) {
            if (!entry.is_regular_file() || !files.contains(entry.path().filename().string()))
                fault(entry.path().string() + " ships but " + listings + " does not offer it");
        }
        if (error)
            fault(shipped + ": " + error.message());
    }

    if (g_faults == 0)
        std::cout << "The listings name shipped data files that read.\n";
    return g_faults == 0 ? 0 : 1;
}
