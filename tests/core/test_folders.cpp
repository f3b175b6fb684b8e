#include "core/folders.h"
#include "core/result_list.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

TEST(Folders, DefaultsLieUnderTheWorkingFolderAndResultsFollowTheOutputName) {
    const FolderSettings f = FolderSettings::defaults("/opt/lx");
    EXPECT_EQ(
        (std::vector{f.WorkDir, f.LayerFileDir, f.CalibrationDir, f.HazeFileDir, f.ExternalAdfDir,
                     f.SpectrumDir, f.OutFileDir, f.ListDir, f.InputFileDir}),
        (std::vector<std::string>{"/opt/lx", "/opt/lx/nk", "/opt/lx/cT_cR", "/opt/lx/HT_HR",
                                  "/opt/lx/ADF_external", "/opt/lx/Spectrum", "/opt/lx/Out",
                                  "/opt/lx/List", "/opt/lx/in"}));
    EXPECT_EQ(f.OutFileName, "LXOut");
    EXPECT_EQ(FolderSettings::defaults("/").ListDir, "/List");
    EXPECT_EQ(
        resultListEntries("run1"),
        (std::vector<std::string>{"OnLine results as selected below", "run1.rta", "run1_Spec.rta",
                                  "run1_Dif.rta", "run1.GL", "run1.jph", "run1.jsc", "run1_R.adf",
                                  "run1_T.adf", "run1.hrt", "IMPORT results..."}));
}

TEST(Folders, MarkerDisplayExpansionBrowseStartAndPathPieces) {
    struct Case {
        const char* path;
        const char* shown;
    };
    const Case cases[] = {
        {"/opt/lx/nk2", "<WORKDIR>/nk2"},
        {"/opt/lx", "<WORKDIR>"},
        {"/home/me/nk", "/home/me/nk"},
        {"/OPT/lx/nk", "/OPT/lx/nk"}, // letter case counts
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toWorkDirDisplay(c.path, "/opt/lx"), c.shown) << c.path;
        EXPECT_EQ(expandWorkDir(c.shown, "/opt/lx"), c.path) << c.shown;
    }
    EXPECT_EQ(expandWorkDir("/a/<WORKDIR>/b", "/w"), "/a/<WORKDIR>/b"); // only at the start
    EXPECT_EQ(browseStartFolder("<WORKDIR>/Out", "/w"), "/w/Out/");
    EXPECT_EQ(browseStartFolder("/data/Out", "/w"), "/data/Out");
    EXPECT_EQ(withoutTrailingSeparator("<WORKDIR>/Out/"), "<WORKDIR>/Out");
    EXPECT_EQ(withoutTrailingSeparator("C:\\Out\\"), "C:\\Out");
    EXPECT_EQ(withoutTrailingSeparator("/a/b"), "/a/b");
    EXPECT_EQ(lastPathComponent("<WORKDIR>/runs/Out7"), "Out7");
    EXPECT_EQ(lastPathComponent("D:\\sim\\Out7"), "Out7");
    EXPECT_EQ(lastPathComponent("Out7"), "Out7");
    EXPECT_EQ(joinPath("/w/", "nk"), "/w/nk");
    EXPECT_EQ(joinPath("<WORKDIR>", "Out"), "<WORKDIR>/Out");
}

} // namespace
} // namespace lumetrix
