// The oyun-assets program itself: it writes the same twelve files on every run, and fails
// clearly when it cannot.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/assets/asset_writer.h"

using testing_support::readFileBytes;
using testing_support::TempWorkingDir;

namespace {

const std::filesystem::path kData = OYUN_TEST_DATA_DIR;
const std::string kTool = OYUN_ASSETS_TOOL;

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
    std::vector<std::string> written;  // what the run left in its working folder
};

// A path in single quotes for the shell (built by append: GCC 12 warns falsely about
// chains of string additions).
std::string quoted(const std::filesystem::path& path) {
    std::string q = "'";
    q.append(path.string()).append("'");
    return q;
}

// Runs the tool with a shell prefix (environment settings) and the given arguments.
ToolRun runTool(const std::string& prefix, const std::string& arguments) {
    TempWorkingDir logs;
    std::string command = prefix;
    command.append(" '").append(kTool).append("' ").append(arguments).append(" >out.txt 2>err.txt");
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFileBytes(logs.path() / "out.txt");
    run.err = readFileBytes(logs.path() / "err.txt");
    for (const auto& entry : std::filesystem::directory_iterator(logs.path())) {
        const std::string name = entry.path().filename().string();
        if (name != "out.txt" && name != "err.txt") run.written.push_back(name);
    }
    return run;
}

}  // namespace

TEST(AssetsProgram, WritesTheSameBytesAsTheBuildDid) {
    TempWorkingDir dir;
    const std::filesystem::path out = dir.path() / "fresh" / "data";
    const ToolRun run = runTool("", quoted(out));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(assets::assetFileNames().size(), 12u);
    for (const std::string& name : assets::assetFileNames()) {
        SCOPED_TRACE(name);
        EXPECT_NE(run.out.find(name), std::string::npos) << "a progress line per file";
        const std::string fresh = readFileBytes(out / name);
        ASSERT_FALSE(fresh.empty());
        EXPECT_TRUE(fresh == readFileBytes(kData / name)) << "differs from the build's copy";
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), std::filesystem::directory_iterator()), 12);
}

TEST(AssetsProgram, FailsClearlyWhenTheFolderCannotBeMade) {
    TempWorkingDir dir;
    testing_support::writeFileBytes(dir.path() / "occupied", "not a folder");
    const ToolRun run = runTool("", quoted(dir.path() / "occupied" / "data"));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("oyun-assets: cannot create the folder"), std::string::npos) << run.err;

    const ToolRun same = runTool("", quoted(dir.path() / "occupied"));
    EXPECT_NE(same.exitCode, 0);
    EXPECT_NE(same.err.find("is not a folder"), std::string::npos) << same.err;
}

TEST(AssetsProgram, FailsClearlyWithoutFonts) {
    TempWorkingDir dir;
    // A fontconfig set-up that knows no fonts at all.
    std::string config = "<?xml version=\"1.0\"?>\n<fontconfig><dir>";
    config.append((dir.path() / "none").string()).append("</dir><cachedir>");
    config.append((dir.path() / "cache").string()).append("</cachedir></fontconfig>\n");
    testing_support::writeFileBytes(dir.path() / "fonts.conf", config);
    std::string environment = "FONTCONFIG_FILE=";
    environment.append(quoted(dir.path() / "fonts.conf"));
    const ToolRun run = runTool(environment, quoted(dir.path() / "data"));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("fonts-dejavu-core"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "data" / "text.tga"));
}

TEST(AssetsProgram, ExplainsItsUsage) {
    const ToolRun help = runTool("", "--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.find("Usage: oyun-assets [OPTIONS] OUTPUT_DIR"), help.out.find('\n') + 1) << help.out;
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos) << help.out;
    EXPECT_EQ(help.err, "");
    const ToolRun version = runTool("", "--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("oyun-assets ", 0), 0u) << version.out;

    // Wrong command lines: the reason, the usage, 2, and nothing written anywhere.
    const std::vector<std::pair<std::string, std::string>> wrong = {
        {"", "oyun-assets: OUTPUT_DIR is required\n"},
        {"a b", "oyun-assets: unexpected argument b\n"},
        {"--bogus", "oyun-assets: unknown option --bogus\n"},
        {"-x", "oyun-assets: unknown option -x\n"},
        {"-- --bogus", "oyun-assets: OUTPUT_DIR: needs a value, not the option --bogus\n"},
    };
    for (const auto& [arguments, reason] : wrong) {
        const ToolRun run = runTool("", arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.err.rfind(reason + "Usage: oyun-assets [OPTIONS] OUTPUT_DIR\n", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_EQ(run.written, std::vector<std::string>{}) << arguments;
    }
}
