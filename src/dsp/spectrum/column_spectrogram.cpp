#include "spectrum/column_spectrogram.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/fft_planner.h"

namespace sonorel {
namespace {

constexpr std::int64_t kShortestHop = ColumnSpectrogram::kFrameLength / 4;
constexpr std::int64_t kLongestHop = ColumnSpectrogram::kFrameLength;

// One plan for every spectrogram of the process, run through the new-array
// execute function on each object's own (equally aligned) buffers.
fftw_plan FramePlan() {
    static const fftw_plan plan = [] {
        const std::lock_guard lock(FftPlannerLock());
        double* in = fftw_alloc_real(ColumnSpectrogram::kFrameLength);
        fftw_complex* out = fftw_alloc_complex(ColumnSpectrogram::kBins);
        fftw_plan made =
            fftw_plan_dft_r2c_1d(ColumnSpectrogram::kFrameLength, in, out, FFTW_ESTIMATE);
        fftw_free(out);
        fftw_free(in);
        return made;
    }();
    return plan;
}

}  // namespace

ColumnSpectrogram::ColumnSpectrogram(std::int64_t lengthSamples, int columns, int rows)
    : length_(std::max<std::int64_t>(lengthSamples, 1)),
      columns_(std::max(columns, 1)),
      rows_(std::max(rows, 1)),
      hop_(std::clamp<std::int64_t>(length_ / columns_, kShortestHop, kLongestHop)),
      window_(kFrameLength),
      ring_(kFrameLength, 0.0f),
      rowOfBin_(kBins),
      framesInColumn_(columns_, 0),
      levels_(static_cast<std::size_t>(columns_) * rows_, 0.0f) {
    for (int n = 0; n < kFrameLength; ++n) {
        window_[n] =
            static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / kFrameLength));
    }
    for (int k = 0; k < kBins; ++k) {
        rowOfBin_[k] = std::min(rows_ - 1, static_cast<int>(std::int64_t{k} * rows_ / kBins));
    }
    FramePlan();
    frame_ = fftw_alloc_real(kFrameLength);
    spectrum_ = fftw_alloc_complex(kBins);
}

ColumnSpectrogram::~ColumnSpectrogram() {
    fftw_free(frame_);
    fftw_free(spectrum_);
}

void ColumnSpectrogram::Push(std::span<const float> samples) {
    const std::int64_t room = length_ - pushed_;
    const std::size_t count = static_cast<std::size_t>(
        std::clamp<std::int64_t>(room, 0, static_cast<std::int64_t>(samples.size())));
    for (std::size_t i = 0; i < count; ++i)
        Advance(samples[i]);
    pushed_ += static_cast<std::int64_t>(count);
}

void ColumnSpectrogram::Advance(float sample) {
    ring_[ringNext_] = sample;
    ringNext_ = (ringNext_ + 1) % kFrameLength;
    ++position_;
    // The frame centred on nextCentre_ is complete when half a frame after
    // its centre has gone in.
    if (position_ == nextCentre_ + kFrameLength / 2) AnalyseFrame();
}

void ColumnSpectrogram::AnalyseFrame() {
    for (int n = 0; n < kFrameLength; ++n)
        frame_[n] = ring_[(ringNext_ + n) % kFrameLength] * window_[n];
    auto* out = static_cast<fftw_complex*>(spectrum_);
    fftw_execute_dft_r2c(FramePlan(), frame_, out);
    const int column = static_cast<int>(nextCentre_ * columns_ / length_);
    float* rows = &levels_[static_cast<std::size_t>(column) * rows_];
    // Each row takes its loudest bin, so that a tone keeps its level
    // however many bins share a row.
    float loudest = 0.0f;
    for (int k = 0; k < kBins; ++k) {
        const auto power = static_cast<float>(out[k][0] * out[k][0] + out[k][1] * out[k][1]);
        loudest = std::max(loudest, power);
        if (k + 1 == kBins || rowOfBin_[k + 1] != rowOfBin_[k]) {
            rows[rowOfBin_[k]] += loudest;
            loudest = 0.0f;
        }
    }
    ++framesInColumn_[column];
    nextCentre_ += hop_;
}

void ColumnSpectrogram::Finish() {
    // The frames centred on pushed samples, with silence after the last.
    while (nextCentre_ < pushed_)
        Advance(0.0f);
    coveredColumns_ = pushed_ == 0 ? 0 : static_cast<int>((pushed_ - 1) * columns_ / length_) + 1;

    // A full-scale sine under the Hann window peaks at kFrameLength / 4.
    const double fullScale = kFrameLength / 4.0;
    const double scale = 1.0 / (fullScale * fullScale);
    for (int c = 0; c < columns_; ++c) {
        if (framesInColumn_[c] == 0) continue;
        for (int r = 0; r < rows_; ++r) {
            float& level = levels_[static_cast<std::size_t>(c) * rows_ + r];
            const double power = level * scale / framesInColumn_[c];
            level = power > 0.0 ? std::max(kFloorDb, static_cast<float>(10.0 * std::log10(power)))
                                : kFloorDb;
        }
    }
    // Columns between frame centres show the nearest column that has one.
    int lastFilled = -1;
    for (int c = 0; c < coveredColumns_; ++c) {
        if (framesInColumn_[c] > 0) {
            lastFilled = c;
            continue;
        }
        int next = c + 1;
        while (next < coveredColumns_ && framesInColumn_[next] == 0)
            ++next;
        const bool nextExists = next < coveredColumns_;
        const int source =
            lastFilled < 0 || (nextExists && next - c < c - lastFilled) ? next : lastFilled;
        if (source < 0 || source >= coveredColumns_) continue;
        std::copy_n(&levels_[static_cast<std::size_t>(source) * rows_], rows_,
                    &levels_[static_cast<std::size_t>(c) * rows_]);
    }
}

}  // namespace sonorel
