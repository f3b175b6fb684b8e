// The HAZE PARAMETERS and ANGULAR DISTRIBUTION FUNCTIONS sections.
#include "new_project.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

using namespace test;

constexpr std::size_t C = 2;

TEST(ScatteringSections, Defaults) {
    Project p = newProject();
    p.adf.cbOtherADF = false;
    const Lines l{build(p)};
    EXPECT_TRUE(l(C + 22).ends_with(": 3"));
    EXPECT_TRUE(l(C + 24).ends_with(": c"));
    EXPECT_EQ(l(C + 29), "Use other haze parameters for specified interfaces (y/n): n");
    EXPECT_EQ(l(C + 30), "Specified interfaces (0 = front surface):  ");
    EXPECT_EQ(l(C + 31), "Select Haze functions (h) / Callibration functions (c): c");
    EXPECT_EQ(l(C + 32), "T data:  ");
    EXPECT_EQ(l(C + 33), "R data:  ");
    EXPECT_EQ(l(C + 42), "No. of equivalent angles per 90 degrees: 45");
    EXPECT_EQ(l(C + 48), "T data: 1");
    for (std::size_t n = C + 52; n <= C + 55; ++n)
        EXPECT_TRUE(l(n).ends_with("= 1.00")) << l(n);
}

TEST(ScatteringSections, PowerFactorChoices) {
    const std::string label =
        "Power factor for calculation of haze parameter for transmitted light (HT): ";
    ASSERT_EQ(label.size(), 75u); // the custom value starts at column 76
    const std::pair<HazeSettings::Power, std::string> cases[] = {
        {HazeSettings::Power::Two, "2"},
        {HazeSettings::Power::Three, "3"},
        {HazeSettings::Power::Custom, "2.5"},
    };
    for (const auto& [power, value] : cases) {
        Project p = newProject();
        p.haze.power = power;
        EXPECT_EQ(Lines{build(p)}(C + 22), label + value);
    }
}

TEST(ScatteringSections, OtherHazeAndTransmissionOnly) {
    Project p = newProject();
    p.haze.cbUseOtherHaze = true;
    p.haze.eHazeOtherSpecifyInt = "0,2";
    p.haze.rbHazeC_adv = false;
    p.haze.cb_cT_HT_adv = "HT_flat";
    p.haze.cb_cR_HR_adv = "HR_flat";
    p.haze.cbSpecified = true;
    p.haze.eHazeSpecSpecifyInt = "1";
    p.haze.rbHazeC = false;
    const Lines l{build(p)};
    EXPECT_TRUE(l(C + 24).ends_with(": h"));
    EXPECT_EQ(l(C + 29), "Use other haze parameters for specified interfaces (y/n): y");
    EXPECT_EQ(l(C + 30), "Specified interfaces (0 = front surface): 0,2");
    EXPECT_TRUE(l(C + 31).ends_with(": h"));
    EXPECT_EQ(l(C + 32), "T data: HT_flat");
    EXPECT_EQ(l(C + 33), "R data: HR_flat");
    EXPECT_TRUE(l(C + 36).ends_with("(y/n): y"));
    EXPECT_EQ(l(C + 37), "Specified interfaces (0 = front surface): 1");

    p.haze.cbSpecified = false; // the interfaces stay, the file writes the placeholder
    EXPECT_EQ(Lines{build(p)}(C + 37), "Specified interfaces (0 = front surface):  ");
}

TEST(ScatteringSections, UncheckedGroupsWriteOnePlaceholderBlock) {
    Project p = newProject();
    p.adf.cbOtherADF = false;
    p.adf.groups.add();
    p.adf.groups.group(1).interfaces = "3";
    p.adf.groups.group(1).adf1.external = true;
    p.adf.groups.group(1).adf2.parameters[AdfSet::LambertianR] = 2.5;
    const Lines l{build(p)};
    EXPECT_EQ(l(C + 70), "Use other ADF for specified interfaces: n");
    EXPECT_EQ(l(C + 71), "No. of ADF interface groups: 1");
    const std::size_t b = C + 72;
    EXPECT_EQ(l(b), "");
    EXPECT_EQ(l(b + 1), "ADF interface group: 1");
    EXPECT_EQ(l(b + 2), "Specified interfaces (0 = front surface):  ");
    EXPECT_TRUE(l(b + 5).ends_with(": i"));
    EXPECT_EQ(l(b + 7), "T data:  ");
    EXPECT_EQ(l(b + 8), "R data:  ");
    EXPECT_EQ(l(b + 11), "ad [2-3] Lambertian power n for T = 1");
    EXPECT_EQ(l(b + 24), "ad [2-3] Lambertian power n for R = 2.5");
    EXPECT_EQ(l(b + 28), std::string(100, '-'));
    EXPECT_EQ(l(b + 29), "List of internal ADF1"); // exactly 29 group lines
}

TEST(ScatteringSections, ThreeGroupsPutTheListsAtC159) {
    Project p = newProject();
    p.adf.groups.add();
    p.adf.groups.add();
    p.adf.groups.group(2).interfaces = "0,1,4";
    AdfSet& external = p.adf.groups.group(3).adf1;
    external.external = true;
    external.rChoice = "4";
    external.tFile = "ADF1_ZnO_textured";
    external.rFile = "ADF1_CIGS_rough";
    const Lines l{build(p)};
    EXPECT_EQ(l(C + 71), "No. of ADF interface groups: 3");
    EXPECT_EQ(l(C + 72 + 29 + 1), "ADF interface group: 2");
    EXPECT_EQ(l(C + 72 + 29 + 2), "Specified interfaces (0 = front surface): 0,1,4");
    const std::size_t b3 = C + 72 + 58;
    EXPECT_EQ(l(b3 + 1), "ADF interface group: 3");
    EXPECT_TRUE(l(b3 + 5).ends_with(": e"));
    EXPECT_EQ(l(b3 + 7), "T data: ADF1_ZnO_textured");
    EXPECT_EQ(l(b3 + 8), "R data: ADF1_CIGS_rough");
    EXPECT_TRUE(l(b3 + 17).ends_with(": i"));
    EXPECT_EQ(l(b3 + 19), "T data: 1");
    EXPECT_EQ(l(C + 159), "List of internal ADF1");
    EXPECT_EQ(l(C + 160), "[1] " + p.adf.adf1List[0]);
    EXPECT_EQ(external.rChoice, "4"); // kept for a switch back
}

TEST(ScatteringSections, GroupNumbersInGeneralFormatWithTheRegionalSeparator) {
    Project p = newProject();
    p.adf.groups.group(1).adf1.parameters = {2.5, 0.1, 1.0 / 3, 1e-6};
    const Lines l{build(p, writerContext(','))};
    const std::size_t b = C + 72;
    EXPECT_EQ(l(b + 11), "ad [2-3] Lambertian power n for T = 0,1");
    EXPECT_EQ(l(b + 12), "ad [2-3] Lambertian power n for R = 2,5");
    EXPECT_EQ(l(b + 13), "ad [4-5] Ellipsis radius ratio b:a for T = 1E-6");
    EXPECT_EQ(l(b + 14), "ad [4-5] Ellipsis radius ratio b:a for R = 0,333333333333333");
}

TEST(ScatteringSections, MainChoicesArePositionsOrFileNames) {
    Project p = newProject();
    p.adf.adf1.t.selected = 3;
    p.adf.adf1.r.selected = -1;
    p.adf.adf2.external = true;
    p.adf.adf2.t.text = "ADF2_Mo_back";
    p.adf.adf2.r.text = "my file";
    const Lines l{build(p)};
    EXPECT_EQ(l(C + 48), "T data: 4");
    EXPECT_EQ(l(C + 49), "R data: 0"); // no selection
    EXPECT_TRUE(l(C + 58).ends_with(": e"));
    EXPECT_EQ(l(C + 60), "T data: ADF2_Mo_back");
    EXPECT_EQ(l(C + 61), "R data: my file");
    EXPECT_EQ(l(C + 66), "ad [4-7] Ellipsis radius ratio b:a for T = 1.00");
}

TEST(ScatteringSections, EmptyListsAndTheNextSectionLine) {
    Project p = newProject();
    p.adf.adf1List.clear();
    p.adf.adf2List.clear();
    const Lines l{build(p)};
    const std::size_t list = C + 72 + 29;
    EXPECT_EQ(l(list), "List of internal ADF1");
    EXPECT_EQ(l(list + 1), "");
    EXPECT_EQ(l(list + 2), "List of internal ADF2");
    EXPECT_EQ(l(list + 3), "");
    EXPECT_EQ(l(list + 5), "TOTAL REFLECTANCE AND TRANSMITTANCE");
    // With lists, the next section begins at C + 76 + 29 G + K1 + K2.
    const Project full = newProject();
    const Lines f{build(full)};
    EXPECT_EQ(f(C + 76 + 29 + full.adf.adf1List.size() + full.adf.adf2List.size() + 1),
              "TOTAL REFLECTANCE AND TRANSMITTANCE");
}

TEST(ScatteringSections, FreeTextsOutsideTheCharacterSetAreNamed) {
    Project p = newProject();
    p.adf.groups.group(1).interfaces = "0\xE2\x80\xA6"; // … is in the set
    EXPECT_FALSE(checkProjectForFile(p, '.'));
    p.haze.eHazeSpecSpecifyInt = "\xE2\x88\x9E";
    const auto problem = checkProjectForFile(p, '.');
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("transmission-only"), std::string::npos);
}

} // namespace
} // namespace lumetrix
