#include "settings/presets.h"

#include <charconv>

#include "settings/equals_ignoring_case.h"

namespace sonorel {

const std::array<PresetRow, kPresetCount> PresetTable{{
    {"Acoustic / Flat", 3, 4, 3, -13, 13, 4, 80, 0, false},
    {"Acoustic / Flat (vertical cut)", 3, 4, 3, -13, 13, 4, 80, 0, true},
    {"Brunswick", 2, 4, 3, -5, 13, 8, 40, 0, false},
    {"Brunswick (late) / Parlophone", 1, 3, 2, 0, 13, 16, 40, 0, false},
    {"Capitol / Mercury", 1, 3, 2, 0, 0, 12, 40, 0, false},
    {"Columbia", 2, 4, 3, -6, 4, 10, 40, 0, false},
    {"Columbia (late)", 1, 3, 2, -2, -1, 12, 40, 0, false},
    {"Decca", 2, 4, 3, -1, 0, 10, 40, 0, false},
    {"Decca ffrr / EMI (late)", 1, 3, 2, -4, 8, 16, 40, 0, false},
    {"EMI", 1, 3, 2, -6, 13, 10, 40, 0, false},
    {"Generic American 1930s", 3, 4, 3, -3, 13, 10, 40, 0, false},
    {"Generic post-1953", 1, 3, 2, -3, 3, 16, 40, 0, false},
    {"HMV", 3, 4, 3, -6, 13, 8, 40, 0, false},
    {"HMV (late) / Columbia (UK)", 1, 3, 2, -5, 13, 16, 40, 0, false},
    {"MGM", 1, 3, 2, 1, 0, 16, 40, 0, false},
    {"Parlophone (early)", 3, 4, 3, 0, 13, 6, 40, 0, false},
    {"Victor pre-1936", 3, 4, 3, -2, 3, 8, 40, 0, false},
    {"Victor 1936-1947", 3, 4, 3, 0, 3, 10, 40, 0, false},
    {"Victor post-1947", 1, 3, 2, 0, 3, 16, 40, 0, false},
    {"Columbia 33 / 45 rpm", 2, 2, 2, -1, -2, 16, 20, 0, false},
    {"Decca ffrr 33 / 45 rpm", 2, 2, 2, -2, 2, 18, 20, 0, false},
    {"EMI 33 / 45 rpm", 2, 2, 2, -1, 1, 16, 20, 0, false},
    {"NARTB 33 / 45 rpm", 2, 2, 2, 2, -2, 18, 20, 0, false},
    {"RIAA / CCIR 33 / 45 rpm", 1, 2, 2, 0, 0, 18, 20, 0, false},
}};

namespace {

// Floor division; the wizard's terms are never negative, but the rule is a floor.
int FloorDiv(int a, int b) {
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::optional<int> ParseIndex(std::string_view text, int count) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
    if (value < 0 || value >= count) return std::nullopt;
    return value;
}

}  // namespace

void ApplyPreset(const WizardAnswers& answers, RestorationSettings& settings) {
    const PresetRow& t = PresetTable[answers.category];
    const int e = answers.playback;
    const int h = answers.hissiness;
    const int k = answers.scratchiness;
    const int w = answers.roughness;
    const int s = FloorDiv(h + 2 * w, 2);

    // Equalisation bases: the table assumes RIAA / CCIR playback; a flat
    // transfer needs the standard 13 dB tilt back, a matched one none at all.
    int bassBase = t.bassDb;
    int trebleBase = t.trebleDb;
    if (e == 0) {
        bassBase = t.bassDb + 13;
        trebleBase = t.trebleDb - 13;
    } else if (e == 2) {
        bassBase = 0;
        trebleBase = 0;
    }

    // In the order the wizard has always set its controls.
    settings.click_level = ClampToRange(Slider::Click, t.click + 2 * k);
    settings.noise_level = ClampToRange(Slider::Noise, t.noise + h);
    settings.distortion_level = ClampToRange(Slider::Distortion, t.distortion + 2 * w);
    settings.bass_lift_db = ClampToRange(Slider::Bass, bassBase - s);
    settings.treble_lift_db = ClampToRange(Slider::Treble, trebleBase + s);
    settings.hiss_khz =
        ClampToRange(Slider::Hiss, t.hissKhz + FloorDiv(24 - 2 * k - 4 * h - 6 * w, 8));
    settings.rumble_hz = ClampToRange(Slider::Rumble, t.rumbleHz);
    settings.output_gain_db = ClampToRange(Slider::Gain, t.levelDb);
    settings.anti_phase = t.antiPhase;
}

std::optional<int> FindCategory(std::string_view text) {
    if (auto index = ParseIndex(text, kPresetCount)) return index;
    for (int i = 0; i < kPresetCount; ++i) {
        if (EqualsIgnoringCase(PresetTable[i].category, text)) return i;
    }
    return std::nullopt;
}

std::optional<int> FindChoice(const std::array<std::string_view, 3>& choices,
                              std::string_view text) {
    if (auto index = ParseIndex(text, 3)) return index;
    for (int i = 0; i < 3; ++i) {
        if (EqualsIgnoringCase(choices[i], text)) return i;
    }
    return std::nullopt;
}

}  // namespace sonorel
