#pragma once
// Playback tests on the real sound path: ALSA pointed at a configuration of
// the test's own, inside a death-test child so that the configuration is in
// place before PortAudio first starts and nothing outside the child sees it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sonorel::test {

// ALSA's default device as the `file` plugin, which writes every sample it is
// given to `capture` (raw, as the program sent it) and passes it on to the
// `null` device.
std::string AlsaCaptureConfig(const std::filesystem::path& capture);

// A default device on a sound card that is not there: no device at all.
inline constexpr const char* kAlsaNoDeviceConfig = "pcm.!default { type hw card 29 }\n";

// Writes `config` to `file` and points ALSA (and nothing else: JACK is kept
// from starting or finding a server) at it, for this process only.
void UseAlsaConfig(const std::filesystem::path& file, const std::string& config);

// A capture of little-endian 16-bit samples, read back.
std::vector<std::int16_t> ReadCapture(const std::filesystem::path& capture);

// Leaves a death-test child at once, with 0 when it passed: no leak report or
// static destructor of the audio or toolkit libraries can change the result.
[[noreturn]] void ExitChild(bool passed);

}  // namespace sonorel::test
