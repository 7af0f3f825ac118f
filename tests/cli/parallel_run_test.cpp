// Outputs do not depend on how the work is shared out: GNU parallel running
// sonorel-cli as separate processes gives, file for file, the bytes of a
// one-job run, and the processes' report lines arrive whole.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace sonorel {
namespace {

using test::FileNamesIn;
using test::ReadBytes;
using test::TempFolder;
namespace fs = std::filesystem;

// sonorel-cli over `inputs` as `jobs` processes at once, one file each.
int RunParallel(int jobs, const std::vector<fs::path>& inputs, const fs::path& out,
                const fs::path& report) {
    std::string command = "parallel --will-cite -j " + std::to_string(jobs) + " '" +
                          std::string(SONOREL_CLI_PROGRAM) + "' -q --report '" + report.string() +
                          "' -o '" + out.string() + "' {} :::";
    for (const fs::path& input : inputs)
        command += " '" + input.string() + "'";
    return std::system(command.c_str());
}

TEST(ParallelRun, TwoJobsGiveTheBytesOfOneJob) {
    const TempFolder folder;
    std::vector<fs::path> inputs;
    std::vector<std::string> names;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        names.push_back("side" + std::to_string(seed) + ".wav");
        inputs.push_back(folder / names.back());
        clitest::WriteStereoTransfer(inputs.back(), 1.0 + 0.25 * seed, seed);
    }
    fs::create_directory(folder / "one");
    fs::create_directory(folder / "two");

    ASSERT_EQ(RunParallel(1, inputs, folder / "one", folder / "one.jsonl"), 0)
        << "GNU parallel comes with scripts/install-deps.sh";
    ASSERT_EQ(RunParallel(2, inputs, folder / "two", folder / "two.jsonl"), 0);

    EXPECT_EQ(FileNamesIn(folder / "two"), names);
    for (const std::string& name : names) {
        const std::vector<unsigned char> alone = ReadBytes(folder / "one" / name);
        EXPECT_FALSE(alone.empty()) << name;
        EXPECT_TRUE(ReadBytes(folder / "two" / name) == alone) << name;
    }
    std::ifstream report(folder / "two.jsonl");
    int lines = 0;
    for (std::string line; std::getline(report, line); ++lines)
        EXPECT_EQ(nlohmann::json::parse(line)["result"], "ok") << line;
    EXPECT_EQ(lines, 4);
}

}  // namespace
}  // namespace sonorel
