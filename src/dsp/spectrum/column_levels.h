#pragma once
// The level of a signal of known length over time, in a fixed number of
// columns, filled while the signal streams through: per column the RMS and
// the peak of the samples that fall in it, in dB relative to full scale.
// The constructor allocates; Push allocates nothing.

#include <cstdint>
#include <span>
#include <vector>

namespace sonorel {

class ColumnLevels {
  public:
    ColumnLevels(std::int64_t lengthSamples, int columns);

    // The next samples, in order from sample 0; samples past the length are
    // ignored.
    void Push(std::span<const float> samples);

    int Columns() const { return static_cast<int>(columns_.size()); }
    // Columns 0 .. CoveredColumns() - 1 hold pushed samples.
    int CoveredColumns() const;
    float RmsDb(int column) const;   // at least kFloorDb
    float PeakDb(int column) const;  // at least kFloorDb

    static constexpr float kFloorDb = -200.0f;

  private:
    struct Column {
        double sumOfSquares = 0.0;
        float peak = 0.0f;
        std::int64_t samples = 0;
    };
    std::int64_t length_;
    std::vector<Column> columns_;
    std::int64_t pushed_ = 0;
    int column_ = 0;              // the column of the next sample
    std::int64_t columnEnd_ = 0;  // the first sample of the column after it
};

}  // namespace sonorel
