#pragma once
// The spectrogram of a signal of known length, squeezed into a fixed number
// of columns and rows while the signal streams through: its memory depends
// on the picture's size, not on the signal's length.
//
// Frames of 1024 samples under a periodic Hann window are centred every
// `hop` samples from sample 0 (samples before 0 and after the last one count
// as 0), hop = length / columns kept within 256..1024: a long signal costs
// one transform per 1024 samples, a short one at most one per 256. A frame
// belongs to the column that holds its centre; a column's level in a row is
// the mean over its frames of the power of the row's loudest bin, and a
// column that no centre fell in shows its nearest neighbour's. Rows split
// 0 Hz to half the sample rate evenly. Levels are in dB relative to a
// full-scale sine, which reads 0 dB at its frequency.
//
// Lifecycle: the constructor allocates (and makes the process's one plan of
// this size on first use, under the FFT planner lock); Push and Finish
// allocate nothing.

#include <cstdint>
#include <span>
#include <vector>

namespace sonorel {

class ColumnSpectrogram {
  public:
    static constexpr int kFrameLength = 1024;
    static constexpr int kBins = kFrameLength / 2 + 1;

    ColumnSpectrogram(std::int64_t lengthSamples, int columns, int rows);
    ~ColumnSpectrogram();
    ColumnSpectrogram(const ColumnSpectrogram&) = delete;
    ColumnSpectrogram& operator=(const ColumnSpectrogram&) = delete;

    // The next samples, in order from sample 0. Samples past the length are
    // ignored.
    void Push(std::span<const float> samples);

    // Analyses the frames centred on pushed samples that still wait for
    // later ones, and turns the sums into levels. Call once, after the last
    // Push.
    void Finish();

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    // Columns 0 .. CoveredColumns() - 1 hold pushed sound; the rest none.
    int CoveredColumns() const { return coveredColumns_; }
    // After Finish: the level of a covered column in a row (row 0 holds the
    // lowest frequencies), at least kFloorDb.
    float LevelDb(int column, int row) const {
        return levels_[static_cast<std::size_t>(column) * rows_ + row];
    }

    static constexpr float kFloorDb = -200.0f;

  private:
    void Advance(float sample);
    void AnalyseFrame();

    std::int64_t length_;
    int columns_;
    int rows_;
    std::int64_t hop_;
    std::vector<float> window_;
    std::vector<float> ring_;  // the last kFrameLength samples, oldest at ringNext_
    std::size_t ringNext_ = 0;
    std::int64_t pushed_ = 0;      // samples through Push
    std::int64_t position_ = 0;    // samples through the ring, zeros of Finish included
    std::int64_t nextCentre_ = 0;  // centre of the next frame
    std::vector<int> rowOfBin_;
    std::vector<int> framesInColumn_;
    std::vector<float> levels_;  // per column and row: summed power, then dB
    double* frame_ = nullptr;    // FFT input, aligned for the plan
    void* spectrum_ = nullptr;   // FFT output (fftw_complex), aligned for the plan
    int coveredColumns_ = 0;
};

}  // namespace sonorel
