#pragma once
// Draws the picture of one run as PNG: the input's mid signal and the
// restored output as spectrograms one above the other on one time axis, a
// level strip under each, the clicks that each channel's detector found
// along the time axis, one colour key for both spectrograms and a title.
// It knows nothing of where its data came from.
//
// Layout, in pixels: a picture kPictureWidth wide whose plots have one
// column per pixel (kPictureColumns) and one spectrogram row per pixel
// (kPictureRows), so nothing is resampled when it is drawn.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "spectrum/column_levels.h"
#include "spectrum/column_spectrogram.h"

namespace sonorel {

inline constexpr int kPictureWidth = 1600;
inline constexpr int kPictureColumns = 1430;
inline constexpr int kPictureRows = 256;

struct PicturePanel {
    const ColumnSpectrogram* spectrum = nullptr;
    const ColumnLevels* levels = nullptr;
    std::string label;
};

struct PictureContent {
    std::string title;         // the file's name
    std::string settingsLine;  // the settings
    std::string figuresLine;   // the run's main figures
    int sampleRate = 0;
    std::int64_t lengthFrames = 0;
    PicturePanel input;
    PicturePanel output;
    // Per column: nonzero where the channel's detector found a click.
    std::span<const std::uint8_t> clicksLeft;
    std::span<const std::uint8_t> clicksRight;
};

// The picture as PNG bytes; false, with `error` saying why, when drawing fails.
bool RenderPicture(const PictureContent& content, std::vector<unsigned char>& png,
                   std::string& error);

}  // namespace sonorel
