#include "picture/picture_tap.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "engine/block_frame.h"
#include "picture/axis_ticks.h"
#include "picture/picture_file.h"
#include "picture/picture_renderer.h"
#include "report/report_line.h"

namespace sonorel {
namespace {

std::string PerChannel(const char* what, const RunSummary& summary,
                       std::int64_t ChannelCounts::*count) {
    return std::string(what) + " L " + std::to_string(summary.channels[0].*count) + " / R " +
           std::to_string(summary.channels[1].*count);
}

// Duration and rate, the kernel's counts, speed and result.
std::string Figures(const RunSummary& summary, const TapSetup& setup) {
    const double seconds = static_cast<double>(setup.inputFrames) / setup.sampleRate;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g kHz", setup.sampleRate / 1000.0);
    std::string line = MinutesSeconds(seconds, true) + " at " + rate;
    line += "   " + PerChannel("clicks", summary, &ChannelCounts::clicksDetected);
    line += "   " + PerChannel("repaired samples", summary, &ChannelCounts::samplesRepaired);
    line += "   " + PerChannel("failed solves", summary, &ChannelCounts::failedSolves);
    if (summary.seconds > 0.0) {
        char speed[48];
        std::snprintf(speed, sizeof speed, "   %.0fx real time", seconds / summary.seconds);
        line += speed;
    }
    return line + "   result: " + std::string(ResultName(summary.result));
}

}  // namespace

struct PictureTap::Columns {
    explicit Columns(const TapSetup& s)
        : setup(s),
          inputSpectrum(s.inputFrames, kPictureColumns, kPictureRows),
          outputSpectrum(s.inputFrames, kPictureColumns, kPictureRows),
          inputLevels(s.inputFrames, kPictureColumns),
          outputLevels(s.inputFrames, kPictureColumns),
          clicks{std::vector<std::uint8_t>(kPictureColumns, 0),
                 std::vector<std::uint8_t>(kPictureColumns, 0)} {}

    TapSetup setup;
    ColumnSpectrogram inputSpectrum;
    ColumnSpectrogram outputSpectrum;
    ColumnLevels inputLevels;
    ColumnLevels outputLevels;
    std::array<std::vector<std::uint8_t>, 2> clicks;  // left, right: per column
    std::array<float, kBlockLength> mid{};
};

PictureTap::PictureTap(PictureRequest request) : request_(std::move(request)) {}
PictureTap::~PictureTap() = default;

void PictureTap::Begin(const TapSetup& setup) {
    columns_ = std::make_unique<Columns>(setup);
    written_.clear();
    error_.clear();
}

void PictureTap::Block(const TapBlock& block) {
    Columns& c = *columns_;
    const std::int64_t length = c.setup.inputFrames;
    const std::int64_t first = block.index * kBlockLength;

    // The input's mid signal: what the two channels share, or with
    // anti-phase what they carry in opposite polarity.
    if (first < length) {
        const float sign = c.setup.antiPhase ? -1.0f : 1.0f;
        const auto count =
            static_cast<std::size_t>(std::min<std::int64_t>(kBlockLength, length - first));
        for (std::size_t i = 0; i < count; ++i)
            c.mid[i] = 0.5f * (block.left[i] + sign * block.right[i]);
        const std::span<const float> mid(c.mid.data(), count);
        c.inputSpectrum.Push(mid);
        c.inputLevels.Push(mid);
    }

    // Output sample i is input frame first + i - the kernel's delay.
    const auto skip = static_cast<std::size_t>(
        std::clamp<std::int64_t>(c.setup.outputDelayFrames - first, 0, kBlockLength));
    const std::span<const float> out = block.out.subspan(skip);
    c.outputSpectrum.Push(out);
    c.outputLevels.Push(out);

    // New flag d is input frame first + d - the flags' lag.
    for (int channel = 0; channel < 2; ++channel) {
        const auto& flags = block.counts.clicks[channel].newFlags;
        for (int d = 0; d < kBlockLength; ++d) {
            if (flags[d] == 0) continue;
            const std::int64_t frame = first + d - c.setup.flagLagFrames;
            if (frame < 0 || frame >= length) continue;
            c.clicks[channel][static_cast<std::size_t>(frame * kPictureColumns / length)] = 1;
        }
    }
}

void PictureTap::End(const RunSummary& summary) {
    if (!columns_) return;
    Columns& c = *columns_;
    c.inputSpectrum.Finish();
    c.outputSpectrum.Finish();

    PictureContent content;
    content.title = request_.inputName;
    content.settingsLine = request_.settingsText;
    if (summary.aligned) content.settingsLine += ", aligned";
    content.figuresLine = Figures(summary, c.setup);
    content.sampleRate = c.setup.sampleRate;
    content.lengthFrames = c.setup.inputFrames;
    content.input = {&c.inputSpectrum, &c.inputLevels,
                     c.setup.antiPhase ? "input: (L - R) / 2" : "input: (L + R) / 2"};
    content.output = {&c.outputSpectrum, &c.outputLevels, "restored output"};
    content.clicksLeft = c.clicks[0];
    content.clicksRight = c.clicks[1];

    std::vector<unsigned char> png;
    if (RenderPicture(content, png, error_)) {
        const std::string name = summary.output.empty()
                                     ? std::filesystem::path(request_.inputName).stem().string()
                                     : summary.output.stem().string();
        written_ = WriteNewPicture(request_.folder, name, png, error_);
    }
    columns_.reset();
}

}  // namespace sonorel
