// The sections after the ADF lists: reflectance, spectrum, files, settings, comments.
#include "new_project.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

using namespace test;

constexpr std::size_t C = 2;

// The first lines of the closing sections in the new project: R, S and F.
struct Marks {
    std::size_t r, s, f;
};
Marks marks(const Project& p) {
    const std::size_t r = C + 76 + 29 + p.adf.adf1List.size() + p.adf.adf2List.size();
    return {r, r + 40, r + 54};
}

TEST(ClosingSections, NewProjectIsTheGoldenFile) {
    const auto expected = golden("new_project.dat");
    const auto lines = build(newProject());
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST(ClosingSections, NewProjectLineCount) {
    const Project p = newProject();
    EXPECT_EQ(build(p).size(), 195 + p.adf.adf1List.size() + p.adf.adf2List.size());
}

TEST(ClosingSections, DefaultsWritePlaceholders) {
    const Project p = newProject();
    const Lines l{build(p)};
    const auto [r, s, f] = marks(p);
    EXPECT_EQ(l(r + 1), "TOTAL REFLECTANCE AND TRANSMITTANCE");
    for (const std::size_t n : {r + 4, r + 5, r + 6, r + 9, r + 14, r + 33, r + 37})
        EXPECT_TRUE(l(n).ends_with("  ")) << "line R + " << n - r << ": " << l(n);
    EXPECT_TRUE(l(r + 20).ends_with("(y/n): n)"));
    EXPECT_EQ(l(r + 21), "Specified interfaces (0 = front surface): ");
    EXPECT_TRUE(l(r + 22).ends_with("c12(wavelength): "));
    EXPECT_EQ(l(r + 38), "c21scatt [>1]= 1");
    EXPECT_EQ(l(s + 1), "ILLUMINATION SPECTRUM");
    EXPECT_EQ(l(f + 1), "FILES");
}

TEST(ClosingSections, CheckedFactorsAndFunctions) {
    Project p = newProject();
    auto& rt = p.refTrans;
    rt.cbIncludeDecr = true;
    rt.factors[1] = {"0,2", "0.8", "0.9", true};
    rt.cbIncludeFDecrTR = true;
    rt.functions[1] = {"3", "ReflCal_glass", "ReflCal_ZnO_textured", true};
    rt.cbIncludeDecr_adv = true;
    rt.pbC12entire = "0.95";
    rt.cbIncludeInc_adv = true;
    rt.eRTSpecifInterface_adv = "4";
    rt.pbC21Scatt = "1.5";
    const Lines l{build(p)};
    const std::size_t r = marks(p).r;
    EXPECT_TRUE(l(r + 3).ends_with("(y/n): y"));
    EXPECT_EQ(l(r + 4), "Specified interfaces (0 = front surface): ");
    EXPECT_EQ(l(r + 9), "Specified interfaces (0 = front surface): 0,2");
    EXPECT_TRUE(l(r + 10).ends_with("c12 [0..1] = 0.8"));
    EXPECT_TRUE(l(r + 11).ends_with("c21 [0..1] = 0.9"));
    EXPECT_TRUE(l(r + 12).ends_with("(y/n): y"));
    EXPECT_TRUE(l(r + 7).ends_with("(y/n): n"));
    EXPECT_TRUE(l(r + 20).ends_with("(y/n): y"));
    EXPECT_EQ(l(r + 26), "Specified interfaces (0 = front surface): 3");
    EXPECT_TRUE(l(r + 27).ends_with("c12(wavelength): ReflCal_glass"));
    EXPECT_TRUE(l(r + 28).ends_with("c21(wavelength): ReflCal_ZnO_textured"));
    EXPECT_TRUE(l(r + 29).ends_with("(y/n): y"));
    EXPECT_EQ(l(r + 33), "c12entire [0..1] = 0.95");
    EXPECT_EQ(l(r + 37), "Specified interfaces (0 = front surface): 4");
    EXPECT_EQ(l(r + 38), "c21scatt [>1]= 1.5");
}

TEST(ClosingSections, C21ScattIsWrittenWhileItsOptionIsOff) {
    Project p = newProject();
    p.refTrans.pbC21Scatt = "3.5";
    EXPECT_EQ(Lines{build(p)}(marks(p).r + 38), "c21scatt [>1]= 3.5");
}

TEST(ClosingSections, CoherentLightWritesFixedValues) {
    Project p = newProject();
    p.spectrum.pbRatio = "0.50";
    p.spectrum.pbSpectrLamb = "2.00";
    p.spectrum.pbSpectrEllipsis = "3.00";
    p.spectrum.rbSpecADFInternal = false;
    p.spectrum.cbADF1_Spekt = {2, "ADF1_Mo_back"};
    const Lines l{build(p)};
    const std::size_t s = marks(p).s;
    EXPECT_EQ(l(s + 4), "Ratio diffused/(diffused+specular) = 0");
    EXPECT_TRUE(l(s + 6).ends_with(": i"));
    EXPECT_EQ(l(s + 8), "ADF spectrum data:  ");
    EXPECT_EQ(l(s + 11), "ad [2-3] Lambertian power n = 1.00");
    EXPECT_EQ(l(s + 12), "ad [4-5] Ellipsis radius ratio b:a = 1.00");
}

TEST(ClosingSections, CombinedLightWritesTheDiffusePart) {
    Project p = newProject();
    p.spectrum.rbCoherent = false;
    p.spectrum.pbRatio = "0.25";
    p.spectrum.cbADF1_Spekt = {2, "Lambertian cos^n, normalised"};
    p.spectrum.pbSpectrLamb = "2.00";
    const std::size_t s = marks(p).s;
    Lines l{build(p)};
    EXPECT_EQ(l(s + 4), "Ratio diffused/(diffused+specular) = 0.25");
    EXPECT_EQ(l(s + 8), "ADF spectrum data: 3"); // the third item
    EXPECT_EQ(l(s + 11), "ad [2-3] Lambertian power n = 2.00");
    p.spectrum.cbADF1_Spekt.selected = -1;
    EXPECT_EQ(Lines{build(p)}(s + 8), "ADF spectrum data: 0");
    p.spectrum.rbSpecADFInternal = false;
    p.spectrum.cbADF1_Spekt.text = "ADF1_Mo_back";
    l = Lines{build(p)};
    EXPECT_TRUE(l(s + 6).ends_with(": e"));
    EXPECT_EQ(l(s + 8), "ADF spectrum data: ADF1_Mo_back");
}

TEST(ClosingSections, SpectrumLineAndTheAddOn) {
    struct Case {
        const char* name;
        bool addOn;
        bool manually;
        bool offersConversion;
        bool converts;
        bool throws;
        const char* line;
        int calls;
    };
    const Case cases[] = {
        {"no add-on", false, true, true, true, false, "Spectrum: AM15", 0},
        {"range not set", true, false, true, true, false, "Spectrum: AM15", 0},
        {"converted", true, true, true, true, false, "Spectrum: AM15_tmp", 1},
        {"conversion failed", true, true, true, false, false, "Spectrum: AM15", 1},
        {"conversion threw", true, true, true, true, true, "Spectrum: AM15", 1},
        {"no conversion offered", true, true, false, true, false, "Spectrum: AM15", 0},
    };
    for (const auto& c : cases) {
        Project p = newProject();
        p.spectrum.cbManually = c.manually;
        WriterContext context = writerContext();
        context.addOnPresent = c.addOn;
        std::vector<std::pair<std::string, std::string>> calls;
        if (c.offersConversion)
            context.makeAm15File = [&](const std::string& source, const std::string& target) {
                calls.emplace_back(source, target);
                if (c.throws)
                    throw std::runtime_error("conversion failed");
                return c.converts ? std::nullopt : std::optional<std::string>("From above To");
            };
        std::vector<std::string> notes;
        context.note = [&](const std::string& text) { notes.push_back(text); };
        EXPECT_EQ(Lines{build(p, context)}(marks(p).s + 3), c.line) << c.name;
        // Why the full spectrum was written instead of the range, when a conversion failed.
        const bool failed = c.calls == 1 && !c.converts;
        ASSERT_EQ(notes.size(), failed || c.throws ? 1u : 0u) << c.name;
        if (!notes.empty()) {
            EXPECT_EQ(notes[0], "The spectrum range could not be applied (" +
                                    std::string(c.throws ? "the add-on failed" : "From above To") +
                                    "); the full spectrum \"AM15\" was written.")
                << c.name;
        }
        ASSERT_EQ(static_cast<int>(calls.size()), c.calls) << c.name;
        if (!calls.empty()) {
            EXPECT_EQ(calls[0].first, "/w/Spectrum/AM15.spk");
            EXPECT_EQ(calls[0].second, "/w/Spectrum/AM15_tmp.spk");
        }
    }
}

TEST(ClosingSections, FilesAreWrittenWithFullPaths) {
    Project p = newProject();
    p.files.eDir_HRHT = "/data/haze";
    p.files.eDir_spk = "<WORKDIR>/Spectrum/";
    p.files.eOutFileName = "run1";
    const Lines l{build(p)};
    const std::size_t f = marks(p).f;
    EXPECT_EQ(l(f + 4), "/w/Out/run1");
    EXPECT_EQ(l(f + 9), "/w/nk");
    EXPECT_EQ(l(f + 12), "/data/haze"); // a full path stays as it is
    EXPECT_EQ(l(f + 15), "/w/cT_cR");
    EXPECT_EQ(l(f + 18), "/w/ADF_external");
    EXPECT_EQ(l(f + 21), "/w/Spectrum/"); // a trailing separator only when the edit has one
    EXPECT_EQ(l(f + 24), "/w/List");
}

TEST(ClosingSections, PrecisionAndComments) {
    Project p = newProject();
    p.rbNormalPrecision = false;
    p.comments = "first line\nsecond, with \xC3\xA9\r\nthird";
    const auto lines = build(p);
    const Lines l{lines};
    const std::size_t f = marks(p).f;
    EXPECT_EQ(l(f + 29), "Precision level (n-normal, h-high): h");
    EXPECT_EQ(l(f + 32), "ADDITIONAL COMMENTS / SETTINGS:");
    ASSERT_EQ(lines.size(), f + 33 + 3);
    EXPECT_EQ(l(f + 34), "first line");
    EXPECT_EQ(l(f + 35), "second, with \xC3\xA9");
    EXPECT_EQ(l(f + 36), "third");
    EXPECT_FALSE(checkProjectForFile(p, '.'));
    p.comments = "arrow \xE2\x86\x92";
    const auto problem = checkProjectForFile(p, '.');
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("comment"), std::string::npos);
}

} // namespace
} // namespace lumetrix
