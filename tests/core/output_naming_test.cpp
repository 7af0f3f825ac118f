// The output naming rule, alone and through real exclusive creation,
// including several jobs racing for the same names.

#include "pipeline/output_naming.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "settings/product.h"
#include "support/files.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using test::TempFolder;
using test::Wav16;
namespace fs = std::filesystem;

TEST(OutputNaming, CandidatesFollowTheCounterRule) {
    const OutputNaming n = NameOutputFor("/rec/side1.wav", "/out");
    EXPECT_EQ(n.folder, fs::path("/out"));
    EXPECT_EQ(n.base, "side1");
    EXPECT_EQ(n.extension, ".wav");
    EXPECT_EQ(n.Candidate(0), fs::path("/out/side1.wav"));
    EXPECT_EQ(n.Candidate(1), fs::path("/out/side1-1.wav"));
    EXPECT_EQ(n.Candidate(2), fs::path("/out/side1-2.wav"));
    EXPECT_EQ(n.Candidate(10), fs::path("/out/side1-10.wav"));
}

TEST(OutputNaming, ASingleFullStopMeansTheInputsOwnFolder) {
    EXPECT_EQ(NameOutputFor("/rec/side1.wav", ".").Candidate(1), fs::path("/rec/side1-1.wav"));
    EXPECT_EQ(NameOutputFor("side1.wav", ".").Candidate(0), fs::path("side1.wav"));
    // Anything else is a folder of that name, dots and all.
    EXPECT_EQ(NameOutputFor("/rec/side1.wav", "./").folder, fs::path("./"));
    EXPECT_EQ(NameOutputFor("/rec/side1.wav", "..").folder, fs::path(".."));
    EXPECT_EQ(NameOutputFor("/rec/side1.wav", "/my.out").Candidate(1),
              fs::path("/my.out/side1-1.wav"));
}

TEST(OutputNaming, ExtensionsDotsAndHiddenFiles) {
    // No extension in, none out.
    EXPECT_EQ(NameOutputFor("/rec/take", ".").Candidate(0), fs::path("/rec/take"));
    EXPECT_EQ(NameOutputFor("/rec/take", ".").Candidate(1), fs::path("/rec/take-1"));
    // A dot in a folder name is not an extension.
    EXPECT_EQ(NameOutputFor("/my.records/take", ".").Candidate(1), fs::path("/my.records/take-1"));
    // Only the last dot starts the extension.
    EXPECT_EQ(NameOutputFor("/rec/a.b.wav", ".").Candidate(1), fs::path("/rec/a.b-1.wav"));
    // A leading dot marks a hidden name, not an extension.
    EXPECT_EQ(NameOutputFor("/home/u/.profile", ".").Candidate(1), fs::path("/home/u/.profile-1"));
    EXPECT_EQ(NameOutputFor("/home/u/.take.wav", ".").Candidate(1),
              fs::path("/home/u/.take-1.wav"));
    // A trailing dot is kept where it was.
    EXPECT_EQ(NameOutputFor("/rec/take.", ".").Candidate(1), fs::path("/rec/take-1."));
}

// Creates the next output of `input` into `folderText` and closes it at once.
fs::path NextOutput(const fs::path& input, const std::string& folderText) {
    fs::path chosen;
    CreateStatus status{};
    auto writer = CreateFirstFreeOutput(NameOutputFor(input, folderText), Wav16(), kOutputComment,
                                        chosen, status);
    EXPECT_EQ(status, CreateStatus::Created) << chosen;
    EXPECT_TRUE(writer);
    return chosen;
}

TEST(CreateFirstFreeOutput, BesideItsInputTheFirstOutputIsNumberOne) {
    TempFolder folder;
    const fs::path input = folder / "side1.wav";
    std::ofstream(input) << "the transfer";
    EXPECT_EQ(NextOutput(input, "."), folder / "side1-1.wav");
    EXPECT_EQ(NextOutput(input, "."), folder / "side1-2.wav");
    EXPECT_EQ(test::ReadBytes(input).size(), 12u);  // the input is untouched
}

TEST(CreateFirstFreeOutput, TheSameInputTwiceIntoAnotherFolder) {
    TempFolder in, out;
    const fs::path input = in / "name.wav";
    std::ofstream(input) << "x";
    EXPECT_EQ(NextOutput(input, out.Path().string()), out / "name.wav");
    EXPECT_EQ(NextOutput(input, out.Path().string()), out / "name-1.wav");
}

TEST(CreateFirstFreeOutput, SkipsFoldersAndFilesOfTheCandidateNames) {
    TempFolder out;
    fs::create_directory(out / "name.wav");
    std::ofstream(out / "name-1.wav") << "keep me";
    EXPECT_EQ(NextOutput("/elsewhere/name.wav", out.Path().string()), out / "name-2.wav");
    EXPECT_TRUE(fs::is_directory(out / "name.wav"));
    EXPECT_EQ(fs::file_size(out / "name-1.wav"), 7u);
}

TEST(CreateFirstFreeOutput, AMissingFolderFailsWithoutTryingFurtherNames) {
    TempFolder out;
    fs::path chosen;
    CreateStatus status{};
    auto writer = CreateFirstFreeOutput(NameOutputFor("/rec/a.wav", (out / "missing").string()),
                                        Wav16(), kOutputComment, chosen, status);
    EXPECT_FALSE(writer);
    EXPECT_EQ(status, CreateStatus::Failed);
    EXPECT_EQ(chosen, out / "missing" / "a.wav");
}

// Jobs that name outputs for the same input at the same moment: every one
// gets a name of its own and nothing is written over. Each job marks its
// files with its own level and checks them afterwards.
TEST(CreateFirstFreeOutput, RacingJobsGetDistinctNamesAndOverwriteNothing) {
    TempFolder out;
    constexpr int kJobs = 8;
    constexpr int kFilesPerJob = 6;
    std::vector<std::vector<fs::path>> names(kJobs);
    std::vector<std::thread> jobs;
    jobs.reserve(kJobs);
    for (int j = 0; j < kJobs; ++j) {
        jobs.emplace_back([&, j] {
            const std::vector<float> mark(100, 0.01f * (j + 1));
            for (int f = 0; f < kFilesPerJob; ++f) {
                fs::path chosen;
                CreateStatus status{};
                auto writer =
                    CreateFirstFreeOutput(NameOutputFor("/rec/side1.wav", out.Path().string()),
                                          Wav16(), kOutputComment, chosen, status);
                if (!writer || !writer->Write(mark) || !writer->Close()) return;
                names[j].push_back(writer->Path());  // the committed name
            }
        });
    }
    for (std::thread& t : jobs)
        t.join();

    std::set<fs::path> all;
    for (int j = 0; j < kJobs; ++j) {
        ASSERT_EQ(names[j].size(), static_cast<std::size_t>(kFilesPerJob)) << "job " << j;
        for (const fs::path& p : names[j]) {
            EXPECT_TRUE(all.insert(p).second) << p << " given twice";
            auto reader = SoundReader::Open(p);
            ASSERT_TRUE(reader) << p;
            EXPECT_EQ(reader->Format().frames, 100) << p;
            std::vector<float> left(100), right(100);
            ASSERT_EQ(reader->Read(left, right, 100), 100);
            EXPECT_NEAR(left[0], 0.01f * (j + 1), 1.0 / 32768) << p << " overwritten";
        }
    }
    // The names are exactly side1.wav, side1-1.wav, ... without gaps.
    for (int k = 0; k < kJobs * kFilesPerJob; ++k) {
        EXPECT_EQ(all.count(NameOutputFor("/rec/side1.wav", out.Path().string()).Candidate(k)), 1u)
            << k;
    }
}

}  // namespace
}  // namespace sonorel
