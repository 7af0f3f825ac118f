// --format and --bits on the built sonorel-cli: lossless masters from lossy
// or plain inputs, and the report saying when a lossy input stays lossy.

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "child_process.h"
#include "soundfile/sound_file.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace sonorel {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

struct FormatCase {
    const char* input;  // side.wav, or side.mp3 made from it
    std::vector<std::string> args;
    int status;
    const char* output;  // under out/, empty when refused
    HeaderType header;
    SampleEncoding encoding;
    bool lossyAgain;
};

TEST(OutputFormats, FormatAndBitsGiveTheAskedForFileAndTheReportSaysWhatStaysLossy) {
    const TempFolder folder;
    clitest::WriteStereoTransfer(folder / "side.wav", 1.0, 4);
    const std::string encode = "ffmpeg -loglevel error -y -i '" + (folder / "side.wav").string() +
                               "' -c:a libmp3lame -b:a 192k '" + (folder / "side.mp3").string() +
                               "'";
    ASSERT_EQ(std::system(encode.c_str()), 0) << "ffmpeg comes with scripts/install-deps.sh";

    const std::vector<FormatCase> cases{
        {"side.mp3", {}, 0, "side.mp3", HeaderType::Other, SampleEncoding::Other, true},
        {"side.mp3",
         {"--format", "flac", "--bits", "24"},
         0,
         "side.flac",
         HeaderType::Flac,
         SampleEncoding::Pcm24,
         false},
        {"side.mp3",
         {"--format", "wav"},
         0,
         "side.wav",
         HeaderType::Wav,
         SampleEncoding::Pcm24,
         false},
        {"side.wav",
         {"--bits", "float"},
         0,
         "side.wav",
         HeaderType::Wav,
         SampleEncoding::Float32,
         false},
        {"side.wav",
         {"--format", "flac"},
         0,
         "side.flac",
         HeaderType::Flac,
         SampleEncoding::Pcm16,
         false},
        {"side.wav",
         {"--format", "flac", "--bits", "float"},
         2,
         "",
         HeaderType::Other,
         SampleEncoding::Other,
         false},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const FormatCase& c = cases[i];
        SCOPED_TRACE(std::string(c.input) + " case " + std::to_string(i));
        const fs::path out = folder / ("out" + std::to_string(i));
        fs::create_directory(out);
        std::vector<std::string> args{"-q", "--report", "-", "-o", out.string()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.emplace_back(c.input);
        const clitest::ChildRun run = clitest::RunChild(SONOREL_CLI_PROGRAM, args, folder.Path());
        ASSERT_TRUE(run.exited);
        ASSERT_EQ(run.status, c.status) << run.err;
        if (c.status != 0) {
            EXPECT_TRUE(fs::is_empty(out));
            EXPECT_NE(run.err.find("FLAC"), std::string::npos) << run.err;
            continue;
        }
        const nlohmann::json report = nlohmann::json::parse(run.out);
        EXPECT_EQ(report["output"], (out / c.output).string());
        EXPECT_EQ(report["lossy_again"], c.lossyAgain);
        const auto reader = SoundReader::Open(out / c.output);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->Format().channels, 1);
        EXPECT_EQ(reader->Format().Header(), c.header);
        EXPECT_EQ(reader->Format().Encoding(), c.encoding);
        EXPECT_EQ(reader->Format().IsLossy(), c.lossyAgain);
    }
}

}  // namespace
}  // namespace sonorel
