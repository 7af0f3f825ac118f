#pragma once
// What an output keeps of its input's catalogue data when asked to: every
// text field but the comment (the output's comment is the program's own) and
// the Broadcast WAV 'bext' chunk, whose coding history gains one line in the
// EBU form for this processing and whose time reference moves to the
// output's first sample.

#include <cstdint>
#include <string>
#include <string_view>

#include "pipeline/run_summary.h"
#include "soundfile/sound_file.h"

namespace sonorel {

// `settingsText` describes the settings ("click 5, noise 5, ...").
SoundMetadata CarryMetadata(const SoundMetadata& input, const SoundFormat& output,
                            std::string_view settingsText, bool aligned);

// "A=PCM,F=44100,W=16,M=mono,T=Sonorel 4.2; click 5, ...; delayed 3162
// samples" and CR LF; "aligned" instead of the delay for aligned outputs.
std::string CodingHistoryLine(const SoundFormat& output, std::string_view settingsText,
                              bool aligned);

// The output's first sample in samples since midnight. An aligned output
// starts where the input does; otherwise its first sample is kKernelDelay
// samples before the input's first, on the day before if need be. 0, which
// most files carry for "not set", stays 0.
std::uint64_t OutputTimeReference(std::uint64_t input, int sampleRate, bool aligned);

// Names of what the output kept of `input`, and of what it could not keep.
MetadataOutcome DescribeOutcome(const SoundMetadata& input, const StoredMetadata& stored);

}  // namespace sonorel
