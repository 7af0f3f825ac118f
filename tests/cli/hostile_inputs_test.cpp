// The built sonorel-cli, run as a child process over a corpus made here of
// what a shared archive disk, a careless script or a damaged file can throw
// at it: things that are not regular files, damaged and impossible headers,
// damaged samples, odd names, an output folder that goes away or fills up,
// names taken before it gets to them, a closed standard output, signals
// while it reads, writes and plays.
//
// For every case: it ends by itself (the hang guard is generous and is not
// a time it must meet), never by a signal, with the documented exit status;
// every input is accounted for, on standard output as restored or on
// standard error with its message; nothing that existed before is changed;
// and every output it leaves is a well-formed WAV file whose header states
// exactly the data it holds, with samples finite and within +-0.999.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "cli/child_process.h"
#include "soundfile/sound_file.h"
#include "support/alsa_capture.h"
#include "support/files.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"
#include "support/test_signals.h"
#include "support/wav_layout.h"

namespace sonorel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using clitest::ChildOptions;
using clitest::ChildRun;
using test::TempFolder;

constexpr int kAllDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kRefused = 2;
// 128 + the signal, as a shell reports a command that a signal ended.
constexpr int kAfterSigint = 130;
constexpr int kAfterSigterm = 143;

// The folder of one case: inputs in `in`, outputs in `out`, the program run
// from the case's folder.
struct Corpus {
    fs::path root;
    fs::path in() const { return root / "in"; }
    fs::path out() const { return root / "out"; }
};

// ---- Inputs ----------------------------------------------------------------

std::string Le(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    return text;
}

// A canonical WAV header with every field under the test's control.
struct WavFields {
    std::uint16_t formatTag = 1;  // 1 integer PCM, 3 float
    std::uint16_t channels = 2;
    std::uint32_t sampleRate = 44100;
    std::uint16_t bits = 16;
    std::uint32_t fmtBytes = 16;
    std::int64_t dataBytes = -1;  // -1: the payload's true size
};

std::string Wav(const WavFields& f, const std::string& payload) {
    const std::uint32_t blockAlign = f.channels * f.bits / 8;
    const std::uint64_t data = f.dataBytes < 0 ? payload.size() : f.dataBytes;
    return "RIFF" + Le(4 + 8 + 16 + 8 + payload.size(), 4) + "WAVE" + "fmt " + Le(f.fmtBytes, 4) +
           Le(f.formatTag, 2) + Le(f.channels, 2) + Le(f.sampleRate, 4) +
           Le(std::uint64_t{f.sampleRate} * blockAlign, 4) + Le(blockAlign, 2) + Le(f.bits, 2) +
           "data" + Le(data, 4) + payload;
}

// A transfer-like stereo signal as 16-bit little-endian samples.
std::string Pcm16(std::int64_t frames) {
    std::string bytes;
    for (const float v : test::TransferSignal(frames, 44100, 3)) {
        bytes += Le(static_cast<std::uint16_t>(std::lround(v * 32767.0f)), 2);
    }
    return bytes;
}

// The same as floats, with damage sprinkled through it: NaN, infinities,
// the largest floats and a denormal.
std::string DamagedFloats(std::int64_t frames) {
    std::vector<float> samples = test::TransferSignal(frames, 44100, 5);
    const float damage[] = {std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::max(),
                            -std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::denorm_min(),
                            1e30f};
    for (std::size_t i = 0; i < samples.size(); i += 997)
        samples[i] = damage[(i / 997) % std::size(damage)];
    std::string bytes;
    for (const float v : samples)
        bytes += Le(std::bit_cast<std::uint32_t>(v), 4);
    return bytes;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A valid 16-bit stereo WAV of `seconds`.
fs::path Transfer(const fs::path& path, double seconds) {
    WriteBytes(path, Wav({}, Pcm16(static_cast<std::int64_t>(seconds * 44100))));
    return path;
}

void MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);  // the socket file stays
}

// ---- Checks ----------------------------------------------------------------

// Every file and what it holds, to show that nothing existing was changed.
std::map<fs::path, std::vector<unsigned char>> Snapshot(const fs::path& folder) {
    std::map<fs::path, std::vector<unsigned char>> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file()) files[entry.path()] = test::ReadBytes(entry.path());
    }
    return files;
}

// A well-formed WAV output: its sizes agree with the file, it opens, and its
// samples are finite and within +-0.999.
::testing::AssertionResult WellFormedOutput(const fs::path& path) {
    const auto bytes = test::ReadBytes(path);
    const auto layout = test::ParseWav(bytes);
    if (!layout) return ::testing::AssertionFailure() << path << " is not a WAV file";
    if (layout->riffBytes != bytes.size() - 8 ||
        layout->dataOffset + layout->dataBytes != bytes.size()) {
        return ::testing::AssertionFailure() << path << ": the header does not match the file";
    }
    const auto reader = SoundReader::Open(path);
    if (!reader) return ::testing::AssertionFailure() << path << " does not open";
    const SampleEncoding encoding = reader->Format().Encoding();
    const int width = reader->Format().BytesPerSample();
    if (reader->Format().channels != 1 || layout->dataBytes % width != 0) {
        return ::testing::AssertionFailure() << path << " is not whole mono frames";
    }
    for (std::uint64_t at = layout->dataOffset; at < bytes.size(); at += width) {
        const std::uint32_t raw = test::ReadLe32(bytes, at);
        float v = 0.0f;
        if (encoding == SampleEncoding::Float32) {
            v = std::bit_cast<float>(raw);
        } else if (encoding == SampleEncoding::Pcm16) {
            v = static_cast<float>(static_cast<std::int16_t>(raw & 0xffff)) / 32768.0f;
        } else {
            return ::testing::AssertionFailure() << path << ": unexpected encoding";
        }
        if (!(std::abs(v) <= 0.999f)) {
            return ::testing::AssertionFailure() << path << ": sample " << v << " at byte " << at;
        }
    }
    return ::testing::AssertionSuccess();
}

// ---- The cases -------------------------------------------------------------

// The command line after the program name: options, then the inputs.
struct Command {
    std::vector<std::string> options;
    std::vector<std::string> inputs;
};

Command Restore(std::vector<std::string> inputs) {
    return {{"-o", "out"}, std::move(inputs)};
}

struct HostileCase {
    const char* name;
    // Makes the inputs and anything else the case needs.
    std::function<Command(const Corpus&)> make;
    int expectedStatus;
    // Part of what standard error must say, when the case is about a message.
    std::string saysOnError = "";
    ChildOptions options = {};
    std::function<void(const Corpus&, pid_t, const std::atomic<bool>&)> whileRunning = nullptr;
    bool playsSound = false;  // on ALSA's file plugin, into the case's folder
};

// Test lists show the case's name, not its bytes.
void PrintTo(const HostileCase& hostileCase, std::ostream* os) {
    *os << hostileCase.name;
}

ChildOptions FileSizeLimit(rlim_t bytes) {
    ChildOptions options;
    options.fileSizeLimit = bytes;
    return options;
}

ChildOptions StdoutClosed() {
    ChildOptions options;
    options.stdoutClosed = true;
    return options;
}

// Sends `signalNumber` once `condition` holds.
std::function<void(const Corpus&, pid_t, const std::atomic<bool>&)> SignalWhen(
    int signalNumber, std::function<bool(const Corpus&)> condition) {
    return [=](const Corpus& corpus, pid_t pid, const std::atomic<bool>& ended) {
        if (clitest::WaitFor([&] { return condition(corpus); }, ended)) ::kill(pid, signalNumber);
    };
}

std::uintmax_t SizeOr0(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

const std::string kBadInput = ": Input file could not be opened or is too short";
const std::string kNotStereo = ": Input file should be (but is not) stereo";
const std::string kIncomplete = ": Output file is incomplete";

// Not regular files: refused before any read, nothing created.
std::vector<HostileCase> NotRegularFiles() {
    return {
        {"Fifo",
         [](const Corpus& c) {
             ::mkfifo((c.in() / "fifo.wav").c_str(), 0600);
             return Restore({"in/fifo.wav"});
         },
         kSomeFailed, "in/fifo.wav" + kBadInput},
        {"DevZero", [](const Corpus&) { return Restore({"/dev/zero"}); }, kSomeFailed,
         "/dev/zero" + kBadInput},
        {"Folder",
         [](const Corpus& c) {
             fs::create_directory(c.in() / "folder.wav");
             return Restore({"in/folder.wav"});
         },
         kRefused, "in/folder.wav: it is a folder: give -r (--recursive)"},
        {"Socket",
         [](const Corpus& c) {
             MakeSocket(c.in() / "socket.wav");
             return Restore({"in/socket.wav"});
         },
         kSomeFailed, "in/socket.wav" + kBadInput},
        {"LinkToAFifo",
         [](const Corpus& c) {
             ::mkfifo((c.in() / "fifo").c_str(), 0600);
             fs::create_symlink(c.in() / "fifo", c.in() / "fifo-link.wav");
             return Restore({"in/fifo-link.wav"});
         },
         kSomeFailed, "in/fifo-link.wav" + kBadInput},
        {"LinkToAFolder",
         [](const Corpus& c) {
             fs::create_directory(c.in() / "folder");
             fs::create_symlink(c.in() / "folder", c.in() / "folder-link.wav");
             return Restore({"in/folder-link.wav"});
         },
         kRefused, "in/folder-link.wav: it is a folder: give -r (--recursive)"},
    };
}

// Damaged and impossible files.
std::vector<HostileCase> DamagedFiles() {
    const std::string ok = Pcm16(10000);
    return {
        {"Empty",
         [](const Corpus& c) {
             WriteBytes(c.in() / "empty.wav", "");
             return Restore({"in/empty.wav"});
         },
         kSomeFailed, "in/empty.wav" + kBadInput},
        {"TenBytes",
         [](const Corpus& c) {
             WriteBytes(c.in() / "ten.wav", std::string("RIFF\x10\0\0\0WA", 10));
             return Restore({"in/ten.wav"});
         },
         kSomeFailed, "in/ten.wav" + kBadInput},
        {"HeaderCutShort",
         [ok](const Corpus& c) {
             WriteBytes(c.in() / "cut.wav", Wav({}, ok).substr(0, 30));
             return Restore({"in/cut.wav"});
         },
         kSomeFailed, "in/cut.wav" + kBadInput},
        {"DataClaimsFourGigabytes",
         [ok](const Corpus& c) {
             WriteBytes(c.in() / "huge.wav", Wav({.dataBytes = 0xfffffff0}, ok));
             return Restore({"in/huge.wav"});
         },
         kAllDone},
        {"FormatChunkClaimsFourGigabytes",
         [ok](const Corpus& c) {
             WriteBytes(c.in() / "fmt.wav", Wav({.fmtBytes = 0xfffffff0}, ok));
             return Restore({"in/fmt.wav"});
         },
         kSomeFailed, "in/fmt.wav" + kBadInput},
        {"ImpossibleRates",
         [ok](const Corpus& c) {
             WriteBytes(c.in() / "rate0.wav", Wav({.sampleRate = 0}, ok));
             WriteBytes(c.in() / "rate1.wav", Wav({.sampleRate = 1}, ok));
             WriteBytes(c.in() / "rate-max.wav", Wav({.sampleRate = 0xffffffff}, ok));
             return Restore({"in/rate0.wav", "in/rate1.wav", "in/rate-max.wav"});
         },
         kSomeFailed},
        {"ZeroAndManyChannels",
         [ok](const Corpus& c) {
             WriteBytes(c.in() / "none.wav", Wav({.channels = 0}, ok));
             WriteBytes(c.in() / "wide.wav", Wav({.channels = 65535}, ok));
             test::WriteSoundFile(c.in() / "eight.wav", test::Wav16(44100, 8),
                                  test::TransferSignal(10000, 44100, 1, 8));
             return Restore({"in/none.wav", "in/wide.wav", "in/eight.wav"});
         },
         kSomeFailed, "in/eight.wav" + kNotStereo},
        {"NanInfinityAndHugeFloats",
         [](const Corpus& c) {
             WriteBytes(c.in() / "damaged.wav",
                        Wav({.formatTag = 3, .bits = 32}, DamagedFloats(30000)));
             return Restore({"in/damaged.wav"});
         },
         kAllDone},
        {"NonAsciiAndLongNames",
         [](const Corpus& c) {
             Transfer(c.in() / "Ça – 録音 ñ.wav", 0.5);
             Transfer(c.in() / (std::string(246, 'x') + ".wav"), 0.5);
             return Restore({"in/Ça – 録音 ñ.wav", "in/" + std::string(246, 'x') + ".wav"});
         },
         kAllDone},
        {"LongestNameBesideItself",
         // 251 + ".wav": the input's own name is taken, and "-1" makes the
         // next name one byte too long for the file system.
         [](const Corpus& c) {
             Transfer(c.in() / (std::string(251, 'y') + ".wav"), 0.5);
             return Command{{"-o", "."}, {"in/" + std::string(251, 'y') + ".wav"}};
         },
         kSomeFailed, ": Output file could not be opened"},
    };
}

// Trouble with the output, the standard streams and signals.
std::vector<HostileCase> TroubleWhileRunning() {
    return {
        {"NamesTakenBeforeTheRun",
         [](const Corpus& c) {
             Transfer(c.in() / "a.wav", 0.5);
             WriteBytes(c.out() / "a.wav", "precious");
             fs::create_symlink(c.root / "nowhere", c.out() / "a-1.wav");
             fs::create_directory(c.out() / "a-2.wav");
             return Restore({"in/a.wav"});
         },
         kAllDone, ""},
        {"OutputFolderRemovedMidBatch",
         [](const Corpus& c) {
             Command command{{"-j", "1", "-o", "out"}, {}};
             for (int i = 0; i < 6; ++i) {
                 command.inputs.push_back(
                     Transfer(c.in() / ("f" + std::to_string(i) + ".wav"), 2).string());
             }
             return command;
         },
         kSomeFailed,
         ": Output file could not be opened",
         {},
         [](const Corpus& c, pid_t, const std::atomic<bool>& ended) {
             if (clitest::WaitFor([&] { return !fs::is_empty(c.out()); }, ended)) {
                 fs::remove_all(c.out());
             }
         }},
        {"FileSizeLimitReached",
         [](const Corpus& c) {
             return Restore({Transfer(c.in() / "long.wav", 10).string(),
                             Transfer(c.in() / "short.wav", 1).string()});
         },
         kSomeFailed, "long.wav" + kIncomplete, FileSizeLimit(300000)},
        {"StandardOutputClosed",
         [](const Corpus& c) {
             return Restore(
                 {Transfer(c.in() / "a.wav", 1).string(), Transfer(c.in() / "b.wav", 1).string()});
         },
         kAllDone, "", StdoutClosed()},
        {"TermWhileAnalysing",
         [](const Corpus& c) { return Restore({Transfer(c.in() / "long.wav", 60).string()}); },
         kAfterSigterm,
         "long.wav" + kIncomplete,
         {},
         SignalWhen(SIGTERM,
                    [](const Corpus& c) { return fs::exists(c.out() / ".long.wav.partial"); })},
        {"InterruptWhileWriting",
         [](const Corpus& c) { return Restore({Transfer(c.in() / "long.wav", 60).string()}); },
         kAfterSigint,
         "long.wav" + kIncomplete,
         {},
         SignalWhen(
             SIGINT,
             [](const Corpus& c) { return SizeOr0(c.out() / ".long.wav.partial") > 200000; })},
        {"InterruptWhilePlaying",
         [](const Corpus& c) {
             return Command{{"--preview", "--preview-time", "20"},
                            {Transfer(c.in() / "take.wav", 25).string()}};
         },
         kAfterSigint,
         "take.wav: Preview cancelled",
         {},
         SignalWhen(SIGINT, [](const Corpus& c) { return fs::exists(c.root / "playing"); }),
         true},
    };
}

std::vector<HostileCase> AllCases() {
    std::vector<HostileCase> cases = NotRegularFiles();
    for (auto&& group : {DamagedFiles(), TroubleWhileRunning()})
        cases.insert(cases.end(), group.begin(), group.end());
    return cases;
}

class HostileInputs : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInputs, EndCleanlyWithTheDocumentedStatusAndWellFormedOutputs) {
    const HostileCase& c = GetParam();
    const TempFolder folder;
    const Corpus corpus{folder.Path()};
    fs::create_directory(corpus.in());
    fs::create_directory(corpus.out());
    ChildOptions options = c.options;
    if (c.playsSound) {
        // The child's own ALSA configuration: the file plugin, writing what
        // is played into the case's folder; no sound server is looked for.
        // The plugin's null device takes samples at once, so the capture goes
        // through a pipe whose reader starts two seconds late: the playback
        // is then still going when the case's signal comes ("playing" marks
        // that the line is open).
        std::ofstream(corpus.root / "asound.conf")
            << test::AlsaCaptureConfig("|touch " + (corpus.root / "playing").string() +
                                       "; sleep 2; exec cat > " + (corpus.root / "sound").string());
        options.environment = {"ALSA_CONFIG_PATH=" + (corpus.root / "asound.conf").string(),
                               "JACK_NO_START_SERVER=1",
                               "JACK_DEFAULT_SERVER=sonorel-test-no-such-server"};
    }
    const Command command = c.make(corpus);
    std::vector<std::string> args = command.options;
    args.insert(args.end(), command.inputs.begin(), command.inputs.end());
    const auto before = Snapshot(corpus.out());

    const ChildRun run = clitest::RunChild(
        SONOREL_CLI_PROGRAM, args, corpus.root, options,
        c.whileRunning
            ? [&](pid_t pid, const std::atomic<bool>& ended) { c.whileRunning(corpus, pid, ended); }
            : clitest::WhileRunning());

    ASSERT_FALSE(run.hung) << "still running after the hang guard; stderr:\n" << run.err;
    ASSERT_TRUE(run.exited) << "ended by signal " << run.signal << "; stderr:\n" << run.err;
    EXPECT_EQ(run.status, c.expectedStatus) << run.err;
    if (run.status != kAllDone) {
        EXPECT_FALSE(run.err.empty());
    }
    if (!c.saysOnError.empty()) {
        EXPECT_NE(run.err.find(c.saysOnError), std::string::npos) << run.err;
    }
    // Nothing lost: each input is listed as done, or with its message.
    for (const std::string& input : command.inputs) {
        const bool listedDone = run.out.find(input) != std::string::npos;
        const bool listedFailed = run.err.find(input + ": ") != std::string::npos;
        EXPECT_TRUE(listedDone != listedFailed || options.stdoutClosed) << input << "\n" << run.err;
    }

    for (const auto& [path, bytes] : before) {
        EXPECT_EQ(test::ReadBytes(path), bytes) << path << " was changed";
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(corpus.out(), ec)) {
        if (entry.is_regular_file() && !before.contains(entry.path())) {
            EXPECT_TRUE(WellFormedOutput(entry.path()));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SonorelCli, HostileInputs, ::testing::ValuesIn(AllCases()),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// With no sound device and no sound server, a preview says so in one line:
// none of the sound libraries' own chatter reaches standard error.
TEST(PreviewWithoutSound, SaysWhyInOneLine) {
    const TempFolder folder;
    const Corpus corpus{folder.Path()};
    fs::create_directory(corpus.in());
    Transfer(corpus.in() / "take.wav", 1.0);
    // The default device is a sound card that is not there.
    std::ofstream(corpus.root / "asound.conf")
        << "pcm.!default { type hw card 99 }\nctl.!default { type hw card 99 }\n";
    ChildOptions options;
    options.environment = {"ALSA_CONFIG_PATH=" + (corpus.root / "asound.conf").string(),
                           "JACK_NO_START_SERVER=1",
                           "JACK_DEFAULT_SERVER=sonorel-test-no-such-server"};
    const ChildRun run =
        clitest::RunChild(SONOREL_CLI_PROGRAM, {"--preview", "--preview-time", "10", "in/take.wav"},
                          corpus.root, options);
    ASSERT_TRUE(run.exited) << run.err;
    EXPECT_EQ(run.status, kSomeFailed);
    EXPECT_EQ(run.err,
              "in/take.wav: Problem playing preview: no sound output could be opened, or it "
              "stopped taking sound\n");
}

}  // namespace
}  // namespace sonorel
