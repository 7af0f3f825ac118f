// A collection as it lies on disk: a folder per disc, label scans, notes and
// checksum files beside the transfers, the same side names on several discs.
// Each row runs the built sonorel-cli over the same tree.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace sonorel {
namespace {

using test::ReadBytes;
using test::TempFolder;
namespace fs = std::filesystem;

// Every file under `root`, relative, sorted; "." names included.
std::vector<std::string> TreeFiles(const fs::path& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files.push_back(entry.path().lexically_relative(root).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// What sha256sum says of a file.
std::string Sha256Sum(const fs::path& path) {
    const std::string command = "sha256sum '" + path.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::array<char, 65> digest{};
    const std::size_t got = std::fread(digest.data(), 1, 64, pipe);
    ::pclose(pipe);
    return std::string(digest.data(), got);
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

const std::vector<std::string> kRestored{"disc1/side1.wav", "disc1/side2.wav", "disc2/side1.wav"};

struct TreeRun {
    const char* what;
    std::vector<std::string> args;
    const char* out;  // the output folder, under the case's folder
    int status;
    std::vector<std::string> filesAfter;  // in `out`
    const char* saysOnErr;
    std::size_t reportLines;  // JSON lines on standard output (--report -)
};

TEST(Tree, ARecursiveRunMirrorsTheTreeAndSkipsWhatIsNotSound) {
    const TempFolder folder;
    const fs::path archive = folder / "archive";
    fs::create_directories(archive / "disc1");
    fs::create_directories(archive / "disc2" / "scans");
    clitest::WriteStereoTransfer(archive / "disc1" / "side1.wav", 1.0, 1);
    clitest::WriteStereoTransfer(archive / "disc1" / "side2.wav", 1.5, 2);
    clitest::WriteStereoTransfer(archive / "disc2" / "side1.wav", 2.0, 3);
    std::ofstream(archive / "disc1" / "notes.txt") << "Recorded 1931, worn.\n";
    std::ofstream(archive / "disc1" / "side1.wav.md5") << "0123456789abcdef  side1.wav\n";
    std::ofstream(archive / "disc2" / "scans" / "label.png", std::ios::binary)
        << std::string("\x89PNG\r\n\x1a\n", 8) << std::string(20000, '\x55');
    for (const char* out : {"out", "shared", "empty"})
        fs::create_directory(folder / out);

    const std::vector<TreeRun> runs{
        {"a folder without -r", {"-o", "out", "archive"}, "out", 2, {}, "--recursive", 0},
        {"a dry run creates nothing",
         {"--dry-run", "-r", "-o", "out", "archive"},
         "out",
         0,
         {},
         "3 files that are not sound files would be skipped",
         0},
        {"-r with two jobs and the report on standard output",
         {"-r", "-j", "2", "--report", "-", "-o", "out", "archive"},
         "out",
         0,
         kRestored,
         "3 files that are not sound files were skipped",
         3},
        // Shares are taken from the sorted list of every file, so here the
        // first holds the three that are not sound and the second the sides.
        {"share 1 of 2",
         {"-r", "--share", "1/2", "-o", "shared", "archive"},
         "shared",
         0,
         {},
         "3 files that are not sound files were skipped",
         0},
        {"share 2 of 2",
         {"-r", "--share", "2/2", "-o", "shared", "archive"},
         "shared",
         0,
         kRestored,
         "",
         0},
    };
    for (const TreeRun& run : runs) {
        SCOPED_TRACE(run.what);
        const clitest::ChildRun child =
            clitest::RunChild(SONOREL_CLI_PROGRAM, run.args, folder.Path());
        ASSERT_TRUE(child.exited) << child.err;
        EXPECT_EQ(child.status, run.status) << child.err;
        EXPECT_NE(child.err.find(run.saysOnErr), std::string::npos) << child.err;
        EXPECT_EQ(TreeFiles(folder / run.out), run.filesAfter);
        // Each file that is not sound named once, and only in the runs that
        // took the whole tree or the share it falls in.
        for (const char* junk : {"notes.txt", "side1.wav.md5", "label.png"})
            EXPECT_LE(Count(child.err, junk), 1u) << junk;

        if (run.reportLines > 0) {
            // Nothing but whole JSON lines on standard output.
            std::istringstream lines(child.out);
            std::size_t n = 0;
            for (std::string line; std::getline(lines, line); ++n) {
                const nlohmann::json report = nlohmann::json::parse(line);
                ASSERT_EQ(report["result"], "ok") << line;
                const fs::path input = report["input"].get<std::string>();
                const fs::path output = report["output"].get<std::string>();
                EXPECT_EQ(output, folder / run.out / input.lexically_relative(archive));
                EXPECT_EQ(report["input_sha256"], Sha256Sum(input));
                EXPECT_EQ(report["output_sha256"], Sha256Sum(output));
            }
            EXPECT_EQ(n, run.reportLines);
        } else if (run.status == 0 && std::string(run.what).starts_with("a dry run")) {
            EXPECT_EQ(Count(child.out, " -> "), 3u) << child.out;
            EXPECT_NE(child.out.find("out/disc2/side1.wav (WAV"), std::string::npos) << child.out;
        }
    }
    // The shares together give the bytes of the one-process run.
    for (const std::string& name : kRestored)
        EXPECT_TRUE(ReadBytes(folder / "shared" / name) == ReadBytes(folder / "out" / name))
            << name;
}

}  // namespace
}  // namespace sonorel
