// Where the show finds its pictures and music, and what it says about the places it passes over.
#include "demo/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::ReportCapture;
using testing_support::TempWorkingDir;

namespace {

// A data folder with every file but `left_out`.
void fillData(const fs::path& folder, const std::string& leftOut = "") {
    fs::create_directories(folder);
    for (const char* name : kShowDataFiles)
        if (name != leftOut) testing_support::writeFileBytes(folder / name, "x");
}

// An installation under the working folder: its program and its data folder.
struct Installed {
    fs::path program = fs::current_path() / "prefix" / "bin" / "oyun";
    fs::path data = fs::current_path() / "prefix" / "share" / "oyun" / "data";
};

TEST(DataFolder, AnIncompleteDataFolderIsNamedOnceWithWhatItLacks) {
    TempWorkingDir dir;
    const Installed installed;
    fillData(installed.data);
    fillData("data", "music.wma");
    ReportCapture captured;
    const DataSearch search = findDataFolder("", installed.program);
    ASSERT_TRUE(search.folder);
    EXPECT_TRUE(fs::equivalent(*search.folder, installed.data));
    ASSERT_EQ(captured.reports.size(), 1u) << captured.written();
    EXPECT_EQ(captured.reports[0].level, base::Level::kWarning);
    EXPECT_EQ(captured.reports[0].text, "./data lacks music.wma; using " + search.folder->string());
}

TEST(DataFolder, NothingIsSaidWhenTheFirstPlaceHoldsTheDataOrNoFolderIsThere) {
    TempWorkingDir dir;
    const Installed installed;
    fillData(installed.data);
    {
        ReportCapture captured;
        const DataSearch search = findDataFolder("", installed.program);
        ASSERT_TRUE(search.folder);
        EXPECT_TRUE(fs::equivalent(*search.folder, installed.data)) << "no ./data: the installation's";
        EXPECT_EQ(captured.written(), "");
    }
    fillData("data");
    ReportCapture captured;
    const DataSearch search = findDataFolder("", installed.program);
    EXPECT_EQ(search.folder, fs::path("data"));
    EXPECT_EQ(search.tried.size(), 1u);
    EXPECT_EQ(captured.written(), "");
    // A given folder is the only place, and an incomplete one is not passed over for another.
    fillData("partial", "t2.tga");
    const DataSearch given = findDataFolder("partial", installed.program);
    EXPECT_FALSE(given.folder);
    EXPECT_EQ(missingDataMessage(given), "no data for the show in partial (no t2.tga); give a folder with --data");
    EXPECT_EQ(captured.written(), "");
}

TEST(DataFolder, WithoutDataEachExistingPlaceSaysWhatItLacks) {
    TempWorkingDir dir;
    const Installed installed;
    fillData("data", "cre.tga");
    ReportCapture captured;
    const DataSearch search = findDataFolder("", installed.program);
    ASSERT_FALSE(search.folder);
    EXPECT_EQ(missingDataMessage(search), "no data for the show in data (no cre.tga) or " + installed.data.string() +
                                              "; give a folder with --data");
    EXPECT_EQ(captured.written(), "") << "the failure itself is the caller's one line";
    EXPECT_TRUE(passedOverMessages(search).empty());
}

TEST(DataFolder, AFolderIsCompleteOnlyWithEveryFileAsAFile) {
    TempWorkingDir dir;
    fillData("d");
    EXPECT_TRUE(holdsShowData("d"));
    EXPECT_EQ(firstMissingFile("d"), "");
    fs::remove("d/ball_sur.tga");
    fs::create_directory("d/ball_sur.tga");
    EXPECT_FALSE(holdsShowData("d"));
    EXPECT_EQ(firstMissingFile("d"), "ball_sur.tga");
    EXPECT_EQ(firstMissingFile("nowhere"), "mask.tga");
}

}  // namespace
