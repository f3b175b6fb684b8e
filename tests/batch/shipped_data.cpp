// Checks the working folder that a build places beside the program. Every name that a listing
// offers (layers, spectra, calibration and reflectance calibration functions, haze data,
// external ADFs), and every data name the example project uses, must be a data file there that
// reads without a fault as its kind; every file of the data folders of data/ must be offered by
// a listing of its folder.
//   usage: shipped_data BUILT_WORKING_FOLDER SOURCE_DATA_FOLDER
#include "core/data_file.h"
#include "core/folders.h"
#include "core/inputfile_reader.h"
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

constexpr std::string_view kNoFunction = "none";

int g_faults = 0;

void fault(const std::string& what) {
    std::cerr << what << '\n';
    ++g_faults;
}

// The file of the name in its folder of the built working folder reads as its kind.
void checkName(const std::string& workDir, std::string_view folder, DataKind kind,
               const std::string& name, const std::string& namedBy) {
    const std::string path = dataFilePath(joinPath(workDir, folder), name, kind);
    if (const auto table = readDataFile(path, kind); !table)
        fault(namedBy + " names \"" + name + "\": " + table.error().describe());
}

// Checks every data name of the project read from the path: layers, spectrum, the two haze sets
// (calibration functions for method "c", haze data for "h"), external ADFs of the main block, the
// groups and the diffuse light, and the reflectance calibration functions. Empty boxes name
// nothing; an ADF box of an internal function holds an item number, and the file names that a
// group with internal functions keeps are not in use.
void checkNamesOf(const LoadedProject& loaded, const std::string& workDir,
                  const std::string& path) {
    const Project& p = loaded.values;
    const auto use = [&](const std::string& name, std::string_view folder, DataKind kind,
                         const std::string& where) {
        if (!name.empty())
            checkName(workDir, folder, kind, name, path + " (" + where + ")");
    };
    for (const LoadedRow& row : loaded.rows)
        use(row.layerFile, subdir::nk, DataKind::Nk, "a layer");
    use(p.spectrum.cbSpekter, subdir::spectrum, DataKind::Spectrum, "the spectrum");

    const auto haze = [&](bool calibration, const std::string& r, const std::string& t,
                          const std::string& set) {
        const std::string_view folder = calibration ? subdir::calibration : subdir::haze;
        const DataKind kind = calibration ? DataKind::Calibration : DataKind::Haze;
        use(r, folder, kind, "R data of the " + set);
        use(t, folder, kind, "T data of the " + set);
    };
    haze(p.haze.rbHazeC, p.haze.cb_cR_HR, p.haze.cb_cT_HT, "haze parameters");
    haze(p.haze.rbHazeC_adv, p.haze.cb_cR_HR_adv, p.haze.cb_cT_HT_adv, "other haze parameters");

    const auto adf = [&](const AdfFunction& f, const std::string& which) {
        if (!f.external)
            return;
        use(f.r.text, subdir::externalAdf, DataKind::ExternalAdf, "R data of " + which);
        use(f.t.text, subdir::externalAdf, DataKind::ExternalAdf, "T data of " + which);
    };
    adf(p.adf.adf1, "ADF1");
    adf(p.adf.adf2, "ADF2");
    for (int g = 1; g <= p.adf.groups.count(); ++g) {
        const AdfGroup& group = p.adf.groups.group(g);
        const std::string in = " of ADF interface group " + std::to_string(g);
        const std::pair<const AdfSet*, std::string> sets[] = {{&group.adf1, "ADF1"},
                                                              {&group.adf2, "ADF2"}};
        for (const auto& [set, which] : sets) {
            if (!set->external)
                continue; // the group keeps its file names for a switch back to external
            use(set->rFile, subdir::externalAdf, DataKind::ExternalAdf, "R data of " + which + in);
            use(set->tFile, subdir::externalAdf, DataKind::ExternalAdf, "T data of " + which + in);
        }
    }
    if (!p.spectrum.rbSpecADFInternal)
        use(p.spectrum.cbADF1_Spekt.text, subdir::externalAdf, DataKind::ExternalAdf,
            "the ADF of the diffuse light");

    for (const auto& f : p.refTrans.functions)
        for (const std::string& name : {f.c12, f.c21})
            if (name != kNoFunction)
                use(name, subdir::calibration, DataKind::ReflectanceCalibration,
                    "a reflectance calibration function");
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
            if (shelf.noneMeansNoFunction && name == kNoFunction)
                continue;
            checkName(workDir, shelf.folder, shelf.kind, name, listingPath);
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

    const std::string example = joinPath(joinPath(workDir, subdir::in), "CIGS example.dat");
    const auto project = readInputFile(example, ReaderContext{{}, workDir, false});
    if (project)
        checkNamesOf(project.value(), workDir, example);
    else
        fault(project.error().describe());
    if (g_faults == 0)
        std::cout << "The listings and the example name shipped data files that read.\n";
    return g_faults == 0 ? 0 : 1;
}
