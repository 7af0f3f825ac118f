#pragma once
// The settings wizard's preset table and the rule that turns its five
// answers into nine settings. The desktop program's wizard and sonorel-cli's
// --wizard option both go through ApplyPreset.

#include <array>
#include <optional>
#include <string_view>

#include "settings/restoration_settings.h"

namespace sonorel {

struct PresetRow {
    std::string_view category;  // the "Recording Category" choice text
    int click;                  // click base
    int noise;                  // noise base
    int distortion;             // distortion base
    int bassDb;                 // as recorded with RIAA / CCIR playback
    int trebleDb;
    int hissKhz;
    int rumbleHz;
    int levelDb;  // output level
    bool antiPhase;
};

inline constexpr int kPresetCount = 24;
extern const std::array<PresetRow, kPresetCount> PresetTable;

// Choice texts of the four three-way questions, index 0, 1, 2.
inline constexpr std::array<std::string_view, 3> kPlaybackChoices{"Flat", "RIAA / CCIR",
                                                                  "Matched to recording"};
inline constexpr std::array<std::string_view, 3> kHissChoices{"Good as new", "Noisy when quiet",
                                                              "Seriously hissy"};
inline constexpr std::array<std::string_view, 3> kClicksChoices{
    "Just a few big ones", "Some big, some small", "Clicks throughout"};
inline constexpr std::array<std::string_view, 3> kWearChoices{"Hardly used", "A bit rough",
                                                              "All worn out"};

// Initial selections when no answer has been stored.
inline constexpr int kDefaultCategory = 23;
inline constexpr int kDefaultAnswer = 1;

// Sets click, noise, distortion, bass, treble, hiss, rumble, output level
// (each clamped to its slider's range) and anti-phase from the answers;
// leaves the preview time, the channel function and "Keep Original Signal
// Level" alone. answers.category must lie in 0..23 and the other four in
// 0..2.
void ApplyPreset(const WizardAnswers& answers, RestorationSettings& settings);

// Finds a choice by its zero-based index ("3") or its text, case-insensitive.
std::optional<int> FindCategory(std::string_view text);
std::optional<int> FindChoice(const std::array<std::string_view, 3>& choices,
                              std::string_view text);

}  // namespace sonorel
