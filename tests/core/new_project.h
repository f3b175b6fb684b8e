#pragma once

// The project the pages hold at start, with the shipped listing files, and the helpers that
// write a project and read a file back.
#include "core/inputfile_reader.h"
#include "core/inputfile_writer.h"
#include "core/layer_rows.h"
#include "core/listing.h"
#include "core/text_codec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
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

// The two media and the named layers between them.
inline Project withLayers(std::initializer_list<const char*> names) {
    LayerRows rows;
    rows.addRow();
    rows.addRow();
    for (const char* name : names) {
        rows.addRow();
        rows.rows()[static_cast<std::size_t>(rows.count() - 2)].layerFile = name;
    }
    Project p;
    p.structure.rows = rows.rows();
    return p;
}

inline Project newProject() {
    Project p = withLayers({});
    p.haze.cb_cR_HR = p.haze.cb_cR_HR_adv = shippedListing("List/cR.dat").front();
    p.haze.cb_cT_HT = p.haze.cb_cT_HT_adv = shippedListing("List/cT.dat").front();
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

// Expected lines by number (from 1); a text beginning with "..." is matched at the line's end.
using LineChecks = std::vector<std::pair<std::size_t, std::string>>;

inline void expectLines(const std::vector<std::string>& lines, const LineChecks& checks) {
    for (const auto& [n, text] : checks) {
        ASSERT_LE(n, lines.size()) << "no line " << n;
        const std::string& line = lines[n - 1];
        if (text.starts_with("..."))
            EXPECT_TRUE(line.ends_with(text.substr(3))) << "line " << n << ": " << line;
        else
            EXPECT_EQ(line, text) << "line " << n;
    }
}

// Two files line by line, naming the first line that differs.
inline void expectSameLines(const std::vector<std::string>& actual,
                            const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < actual.size() && i < expected.size(); ++i)
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << "line " << i + 1 << " is \"" << actual[i] << "\", expected \""
                          << expected[i] << "\"";
            return;
        }
    EXPECT_EQ(actual.size(), expected.size());
}

inline ReaderContext readerContext(bool addOn = false) {
    return {{'.', ','}, "/w", addOn};
}

// The lines as a file holds them (Windows-1252).
inline std::vector<std::string> fileLines(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines)
        out.push_back(*utf8ToCp1252(line));
    return out;
}

inline LoadedProject parse(const std::vector<std::string>& lines, bool addOn = false) {
    const auto loaded = parseInputLines(fileLines(lines), "test.dat", readerContext(addOn));
    EXPECT_TRUE(loaded.ok()) << (loaded.ok() ? "" : loaded.error().describe());
    return loaded.ok() ? loaded.value() : LoadedProject{};
}

} // namespace lumetrix::test
