// Catalogue data through a default run of the built sonorel-cli: what an
// archive's transfer carries comes out with the restored side, checked in
// the output's own chunks and with ffprobe; with --no-metadata none of it
// does, and either way the samples are those of the standard output.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "child_process.h"
#include "soundfile/sound_file.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace sonorel {
namespace {

using test::ReadBytes;
using test::TempFolder;
namespace fs = std::filesystem;

std::vector<std::byte> Bytes(std::string_view text) {
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return {data, data + text.size()};
}

std::uint32_t Le32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// A RIFF file's chunks, "LIST" ones under "LIST/" + their list type, and the
// fields of INFO lists and the labels of adtl lists under their own ids.
std::multimap<std::string, std::string> Chunks(const fs::path& path) {
    const std::vector<unsigned char> b = ReadBytes(path);
    std::multimap<std::string, std::string> chunks;
    const auto walk = [&](std::size_t at, std::size_t end, const std::string& prefix,
                          auto& self) -> void {
        while (at + 8 <= end) {
            const std::string id(reinterpret_cast<const char*>(&b[at]), 4);
            const std::size_t size = Le32(b, at + 4);
            if (at + 8 + size > end) return;
            const std::string data(reinterpret_cast<const char*>(&b[at + 8]), size);
            if (id == "LIST" && size >= 4) {
                self(at + 12, at + 8 + size, data.substr(0, 4) + "/", self);
            } else {
                chunks.emplace(prefix + id, data);
            }
            at += 8 + size + size % 2;
        }
    };
    if (b.size() >= 12) walk(12, b.size(), "", walk);
    return chunks;
}

// What ffprobe reads as the file's tags.
nlohmann::json ProbeTags(const fs::path& path) {
    const std::string command =
        "ffprobe -v error -show_entries format_tags -of json '" + path.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string text;
    std::array<char, 4096> buffer{};
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        text.append(buffer.data(), got);
    ::pclose(pipe);
    return nlohmann::json::parse(text)["format"]["tags"];
}

std::uint32_t CuePosition(const std::string& cue, int n) {
    std::vector<unsigned char> b(cue.begin(), cue.end());
    return Le32(b, 4 + 24 * static_cast<std::size_t>(n) + 20);  // dwSampleOffset
}

TEST(Metadata, ADefaultRunCarriesTheTransfersCatalogueDataAndNoMetadataDropsIt) {
    const TempFolder folder;
    // An archive's transfer: tags, a Broadcast WAV chunk, two cue points
    // with labels, iXML and an INFO field the sound library has no name for.
    clitest::WriteStereoTransfer(folder / "plain.wav", 1.0, 5);
    SoundMetadata metadata;
    metadata.texts = {{TextField::Title, "Stardust"},
                      {TextField::Artist, "The Orchestra"},
                      {TextField::TrackNumber, "3"}};
    std::vector<std::byte> bext(BroadcastChunk::kFixedBytes, std::byte{0});
    std::memcpy(bext.data(), "Side A, take 2", 14);
    metadata.broadcast = BroadcastChunk::FromBytes(bext);
    metadata.cues = {{.id = 1, .positionFrames = 1000, .label = "start"},
                     {.id = 2, .positionFrames = 30000, .label = "crack"}};
    const std::string ixml = "<?xml version=\"1.0\"?><BWFXML><PROJECT>Shelf 12</PROJECT></BWFXML>";
    metadata.ixml = RawChunk{"iXML", Bytes(ixml)};
    metadata.otherInfo = {RawChunk{"ICMS", Bytes(std::string("Archive Trust") + '\0')}};
    {
        const auto plain = SoundReader::Open(folder / "plain.wav");
        ASSERT_TRUE(plain);
        CreateStatus status{};
        auto writer =
            SoundWriter::CreateWithChannels(folder / "side.wav", plain->Format(), 2, "", status);
        ASSERT_TRUE(writer);
        writer->SetMetadata(metadata);
        std::vector<float> left(44100), right(44100), both(2 * 44100);
        ASSERT_EQ(plain->Read(left, right, 44100), 44100);
        for (std::size_t i = 0; i < left.size(); ++i) {
            both[2 * i] = left[i];
            both[2 * i + 1] = right[i];
        }
        ASSERT_TRUE(writer->Write(both));
        ASSERT_TRUE(writer->Close());
    }

    const struct {
        const char* what;
        std::vector<std::string> args;
        bool carried;
        std::uint32_t cueShift;
    } runs[] = {
        {"default", {}, true, 3162},
        {"aligned", {"--align"}, true, 0},
        {"--no-metadata", {"--no-metadata"}, false, 0},
    };
    std::string samples;
    for (const auto& run : runs) {
        SCOPED_TRACE(run.what);
        const fs::path out = folder / run.what;
        fs::create_directory(out);
        std::vector<std::string> args{"-q", "--report", "-", "-o", out.string()};
        args.insert(args.end(), run.args.begin(), run.args.end());
        args.emplace_back("side.wav");
        const clitest::ChildRun child = clitest::RunChild(SONOREL_CLI_PROGRAM, args, folder.Path());
        ASSERT_EQ(child.status, 0) << child.err;
        const nlohmann::json report = nlohmann::json::parse(child.out);
        const auto chunks = Chunks(out / "side.wav");

        // The header comment stays the program's own.
        ASSERT_EQ(chunks.count("INFO/ICMT"), 1u);
        EXPECT_EQ(chunks.find("INFO/ICMT")->second.substr(0, 20), "Processed by Sonorel");
        EXPECT_EQ(chunks.count("bext"), run.carried ? 1u : 0u);
        EXPECT_EQ(chunks.count("iXML"), run.carried ? 1u : 0u);
        EXPECT_EQ(chunks.count("INFO/ICMS"), run.carried ? 1u : 0u);
        EXPECT_EQ(chunks.count("cue "), run.carried ? 1u : 0u);
        if (run.carried) {
            EXPECT_EQ(report["metadata"]["dropped"], nlohmann::json::array()) << child.out;
            EXPECT_EQ(chunks.find("iXML")->second.substr(0, ixml.size()), ixml);
            EXPECT_EQ(chunks.find("INFO/ICMS")->second.substr(0, 13), "Archive Trust");
            EXPECT_EQ(chunks.find("bext")->second.substr(0, 14), "Side A, take 2");
            const std::string& cue = chunks.find("cue ")->second;
            EXPECT_EQ(CuePosition(cue, 0), 1000 + run.cueShift);
            EXPECT_EQ(CuePosition(cue, 1), 30000 + run.cueShift);
            const auto labels = chunks.equal_range("adtl/labl");
            std::vector<std::string> names;
            for (auto it = labels.first; it != labels.second; ++it)
                names.push_back(it->second.substr(4, it->second.find('\0', 4) - 4));
            EXPECT_EQ(names, (std::vector<std::string>{"start", "crack"}));
            const nlohmann::json tags = ProbeTags(out / "side.wav");
            EXPECT_EQ(tags["title"], "Stardust");
            EXPECT_EQ(tags["artist"], "The Orchestra");
            EXPECT_EQ(tags["track"], "3");
        }
        // Only the chunks around them differ: the samples do not.
        if (run.cueShift == 3162 || !run.carried) {
            ASSERT_EQ(chunks.count("data"), 1u);
            if (samples.empty()) {
                samples = chunks.find("data")->second;
            } else {
                EXPECT_TRUE(chunks.find("data")->second == samples);
            }
        }
    }
}

}  // namespace
}  // namespace sonorel
