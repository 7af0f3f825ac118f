// Catalogue data carried from input to output: the text fields and the
// Broadcast WAV chunk, from files written by the sound library and by
// FFmpeg, in the formats archives use.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "pipeline/carried_metadata.h"
#include "pipeline/process_file.h"
#include "settings/product.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using namespace sonorel::test;

constexpr std::int64_t kFrames = 44100;
constexpr std::uint64_t kTimeReference = 88200;  // two seconds after midnight
// An odd number of bytes: FFmpeg stores a NUL after the history, and the
// sound library cannot read an RF64 file whose 'bext' chunk then has an odd
// length (FFmpeg pads it as it should, but the library does not skip the pad).
const std::string kHistory =
    "A=ANALOGUE,M=mono,T=Garrard 301; 3 mil\r\nA=PCM,F=44100,W=16,M=stereo";
const std::string kSettingsText = "click 5, noise 5";

struct FormatCase {
    const char* name;
    HeaderType header;
    SampleEncoding encoding;
    const char* extension;
    const char* ffmpegArguments;
    bool broadcast;  // the format has a 'bext' chunk
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

const FormatCase kFormats[] = {
    {"Wav", HeaderType::Wav, SampleEncoding::Pcm16, ".wav", "-c:a pcm_s16le -write_bext 1", true},
    {"Rf64", HeaderType::Rf64, SampleEncoding::Pcm24, ".wav",
     "-c:a pcm_s24le -rf64 always -write_bext 1", true},
    {"Flac", HeaderType::Flac, SampleEncoding::Pcm16, ".flac", "-c:a flac", false},
    {"Ogg", HeaderType::Ogg, SampleEncoding::Other, ".ogg", "-c:a libvorbis", false},
};

const std::vector<TextEntry> kTexts{{TextField::Title, "Tiger Rag"},
                                    {TextField::Copyright, "Public domain"},
                                    {TextField::Artist, "The Band"},
                                    {TextField::Comment, "transfer notes"},
                                    {TextField::Date, "1931"},
                                    {TextField::Album, "Side A"},
                                    {TextField::TrackNumber, "3"},
                                    {TextField::Genre, "Jazz"},
                                    {TextField::Software, "Transfer desk"}};

BroadcastChunk MakeBroadcastChunk() {
    std::vector<std::byte> bytes(BroadcastChunk::kFixedBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::byte>('a' + i % 26);  // every fixed field non-empty
    BroadcastChunk chunk = *BroadcastChunk::FromBytes(bytes);
    chunk.SetTimeReference(kTimeReference);
    chunk.SetCodingHistory(kHistory);
    return chunk;
}

// An input written by the sound library through the program's own writer.
void WriteWithLibrary(const std::filesystem::path& path, const FormatCase& c) {
    CreateStatus status = CreateStatus::Failed;
    auto writer = SoundWriter::CreateWithChannels(
        path, SoundFormat::Make(c.header, c.encoding, 44100, 2), 2, "", status);
    ASSERT_TRUE(writer);
    SoundMetadata metadata{.texts = kTexts, .broadcast = std::nullopt};
    if (c.broadcast) metadata.broadcast = MakeBroadcastChunk();
    writer->SetMetadata(metadata);
    ASSERT_TRUE(writer->Write(TransferSignal(kFrames, 44100)));
    ASSERT_TRUE(writer->Close());
}

// The same with FFmpeg, from a plain WAV.
void WriteWithFfmpeg(const std::filesystem::path& path, const FormatCase& c) {
    const auto plain = path.parent_path() / "plain.wav";
    WriteSoundFile(plain, Wav16(), TransferSignal(kFrames, 44100));
    std::string command = "ffmpeg -nostdin -loglevel error -y -i '" + plain.string() + "' ";
    for (const TextEntry& entry : kTexts) {
        const std::string key = entry.field == TextField::TrackNumber
                                    ? "track"
                                    : std::string(TextFieldName(entry.field));
        command += "-metadata " + key + "='" + entry.value + "' ";
    }
    command += "-metadata time_reference=" + std::to_string(kTimeReference) +
               " -metadata originator=Archive -metadata 'coding_history=" + kHistory + "' " +
               c.ffmpegArguments + " '" + path.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0)
        << command << "\n(FFmpeg comes with scripts/install-deps.sh)";
}

SoundMetadata MetadataOf(const std::filesystem::path& path) {
    auto reader = SoundReader::Open(path);
    EXPECT_TRUE(reader) << path;
    return reader ? reader->Metadata() : SoundMetadata{};
}

const std::string* TextOf(const SoundMetadata& metadata, TextField field) {
    for (const TextEntry& entry : metadata.texts) {
        if (entry.field == field) return &entry.value;
    }
    return nullptr;
}

class KeepMetadata : public ::testing::TestWithParam<std::tuple<FormatCase, bool>> {};

TEST_P(KeepMetadata, TextsAndBroadcastChunkReachTheOutput) {
    const auto& [c, ffmpeg] = GetParam();
    const TempFolder folder;
    const auto input = folder / (std::string("side") + c.extension);
    if (ffmpeg) {
        WriteWithFfmpeg(input, c);
    } else {
        WriteWithLibrary(input, c);
    }
    const SoundMetadata in = MetadataOf(input);
    ASSERT_TRUE(TextOf(in, TextField::Title)) << "the writer stored no title";
    ASSERT_EQ(in.broadcast.has_value(), c.broadcast);

    std::filesystem::create_directory(folder / "out");
    RunRequest request;
    request.input = input;
    request.output = NameOutputFor(input, (folder / "out").string());
    request.archive = {.align = false, .keepMetadata = true, .settingsText = kSettingsText};
    RunSummary summary;
    request.summary = &summary;
    RunObserver quiet;
    ASSERT_EQ(ProcessFile(request, quiet), RunResult::RunOk);

    auto reader = SoundReader::Open(summary.output);
    ASSERT_TRUE(reader);
    const SoundMetadata out = reader->Metadata();
    EXPECT_EQ(reader->Comment(), kOutputComment);
    ASSERT_TRUE(summary.metadata.has_value());
    for (const TextEntry& entry : in.texts) {
        if (entry.field == TextField::Comment) continue;
        const std::string name(TextFieldName(entry.field));
        const std::string* kept = TextOf(out, entry.field);
        ASSERT_TRUE(kept) << name;
        // The library names itself after a software text it writes.
        EXPECT_TRUE(kept->starts_with(entry.value)) << name << ": " << *kept;
        EXPECT_NE(std::find(summary.metadata->kept.begin(), summary.metadata->kept.end(), name),
                  summary.metadata->kept.end())
            << name;
    }
    if (!c.broadcast) return;

    ASSERT_TRUE(out.broadcast.has_value());
    const std::vector<std::byte>& before = in.broadcast->Bytes();
    const std::vector<std::byte>& after = out.broadcast->Bytes();
    // Every fixed field but the time reference (bytes 338 to 345) unchanged.
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 338, after.begin()));
    EXPECT_TRUE(std::equal(before.begin() + 346, before.begin() + BroadcastChunk::kFixedBytes,
                           after.begin() + 346));
    EXPECT_EQ(out.broadcast->TimeReference(), kTimeReference - kKernelDelay);
    const std::string bits = c.encoding == SampleEncoding::Pcm24 ? "24" : "16";
    std::string history = in.broadcast->CodingHistory();
    if (!history.ends_with("\n")) history += "\r\n";
    EXPECT_EQ(out.broadcast->CodingHistory(),
              history + "A=PCM,F=44100,W=" + bits +
                  ",M=mono,T=Sonorel 4.2; click 5, noise 5; delayed 3162 samples\r\n");
}

INSTANTIATE_TEST_SUITE_P(Formats, KeepMetadata,
                         ::testing::Combine(::testing::ValuesIn(kFormats), ::testing::Bool()),
                         [](const auto& testInfo) {
                             return std::string(std::get<0>(testInfo.param).name) +
                                    (std::get<1>(testInfo.param) ? "ByFfmpeg" : "ByLibrary");
                         });

TEST(KeepMetadata, TimeReferenceMovesToTheOutputsFirstSample) {
    constexpr int kRate = 44100;
    constexpr std::uint64_t kDay = 86400ull * kRate;
    struct Case {
        std::uint64_t input;
        bool aligned;
        std::uint64_t output;
    };
    for (const Case& c : {Case{88200, false, 88200 - 3162}, Case{88200, true, 88200},
                          Case{1000, false, kDay + 1000 - 3162},  // starts the day before
                          Case{0, false, 0}}) {                   // not set
        EXPECT_EQ(OutputTimeReference(c.input, kRate, c.aligned), c.output) << c.input;
    }
}

}  // namespace
}  // namespace sonorel
