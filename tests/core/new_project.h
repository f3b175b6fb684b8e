#pragma once

// A project as the pages hold it at start, with the shipped listing files, for the writer's
// tests.
#include "core/inputfile_writer.h"
#include "core/layer_rows.h"
#include "core/listing.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace lumetrix::test {

inline std::string fixture(const std::string& name) {
    return std::string(LUMETRIX_TEST_DATA_DIR) + "/" + name;
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> shippedListing(const char* name) {
    return readListingFile(std::string(LUMETRIX_DATA_DIR) + "/" + name).value();
}

inline Project newProject() {
    LayerRows rows;
    rows.addRow();
    rows.addRow();
    Project p;
    p.structure.rows = rows.rows();
    p.haze.cb_cR_HR = shippedListing("List/cR.dat").front();
    p.haze.cb_cT_HT = shippedListing("List/cT.dat").front();
    p.haze.cb_cR_HR_adv = p.haze.cb_cR_HR;
    p.haze.cb_cT_HT_adv = p.haze.cb_cT_HT;
    p.adf.adf1List = shippedListing("ADF1.dat");
    p.adf.adf2List = shippedListing("ADF2.dat");
    p.adf.adf1.t.text = p.adf.adf1.r.text = p.adf.adf1List.front();
    p.adf.adf2.t.text = p.adf.adf2.r.text = p.adf.adf2List.front();
    const std::string calibration = shippedListing("List/ReflCal.dat").front();
    for (auto& f : p.refTrans.functions)
        f.c12 = f.c21 = calibration;
    p.spectrum.cbSpekter = shippedListing("List/Spectrum.dat").front();
    p.spectrum.cbADF1_Spekt.text = p.adf.adf1List.front();
    p.files = {"<WORKDIR>/Out",      "LXOut",           "<WORKDIR>/nk",
               "<WORKDIR>/HT_HR",    "<WORKDIR>/cT_cR", "<WORKDIR>/ADF_external",
               "<WORKDIR>/Spectrum", "<WORKDIR>/List"};
    return p;
}

inline WriterContext writerContext(char separator = '.') {
    WriterContext context;
    context.workDir = "/w";
    context.decimalSeparator = separator;
    context.spectrumDir = "/w/Spectrum";
    return context;
}

inline std::vector<std::string> build(const Project& p,
                                      const WriterContext& context = writerContext()) {
    std::vector<std::string> lines;
    BuildInputFile(p, context, lines);
    return lines;
}

// The golden file with the working folder put in for @WORKDIR@.
inline std::vector<std::string> golden(const char* name, const std::string& workDir = "/w") {
    std::vector<std::string> lines =
        readListingFile(std::string(LUMETRIX_TEST_DATA_DIR) + "/" + name).value();
    for (std::string& line : lines) {
        const auto at = line.find("@WORKDIR@");
        if (at != std::string::npos)
            line.replace(at, 9, workDir);
    }
    return lines;
}

// Line n of the file, counted from 1.
struct Lines {
    std::vector<std::string> lines;
    const std::string& operator()(std::size_t n) const { return lines.at(n - 1); }
};

} // namespace lumetrix::test
