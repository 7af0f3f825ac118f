#pragma once
// What a preview plays: the restored sound, the original as the kernel hears
// it, or what the restoration removed. The user switches between them while
// the preview plays; the switch takes effect at the next chunk, which begins
// with a short crossfade from the previous source.
//
// All three are sample-aligned: the original is stored kernel-delay samples
// late (block_sink.h), so sample k of each is the same moment of the record.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace sonorel {

enum class PreviewSource : int { Restored, Original, Removed };
inline constexpr int kPreviewSourceCount = 3;

// The name the playing dialog shows for each source.
inline constexpr std::array<std::string_view, kPreviewSourceCount> kPreviewSourceNames{
    "Restored", "Original", "Removed"};

inline std::string_view NameOf(PreviewSource source) {
    return kPreviewSourceNames[static_cast<std::size_t>(source)];
}

// The source after `source`, in the order above, back to the first after the
// last: what the playing dialog's key and button step to.
constexpr PreviewSource NextSource(PreviewSource source) {
    return static_cast<PreviewSource>((static_cast<int>(source) + 1) % kPreviewSourceCount);
}

// Length of the crossfade at the start of the chunk after a switch: 2.9 ms
// at 44100 Hz, short enough to keep the switch immediate, long enough to
// keep it from clicking.
inline constexpr int kPreviewCrossfadeSamples = 128;

// Sample j of the crossfade from `from` to `to`: linear in integers, so it
// is the same on every machine; sample kPreviewCrossfadeSamples - 1 is `to`.
constexpr std::int16_t CrossfadeSample(std::int16_t from, std::int16_t to, int j) {
    constexpr int n = kPreviewCrossfadeSamples;
    return static_cast<std::int16_t>((from * (n - 1 - j) + to * (j + 1)) / n);
}

// What the restoration removed: the original brought to the restored level,
// less the restored, truncated toward zero and held within 16 bits.
inline std::int16_t RemovedSample(std::int16_t original, std::int16_t restored,
                                  float originalGain) {
    const float removed = originalGain * static_cast<float>(original) - restored;
    return static_cast<std::int16_t>(std::clamp(removed, -32768.0f, 32767.0f));
}

}  // namespace sonorel
