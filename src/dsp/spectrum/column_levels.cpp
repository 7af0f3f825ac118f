#include "spectrum/column_levels.h"

#include <algorithm>
#include <cmath>

namespace sonorel {
namespace {

// The first sample of column c of `columns` over `length` samples: the
// first n with n x columns / length >= c.
std::int64_t ColumnStart(std::int64_t c, std::int64_t columns, std::int64_t length) {
    return (c * length + columns - 1) / columns;
}

float Db(double amplitude, float floorDb) {
    return amplitude > 0.0 ? std::max(floorDb, static_cast<float>(20.0 * std::log10(amplitude)))
                           : floorDb;
}

}  // namespace

ColumnLevels::ColumnLevels(std::int64_t lengthSamples, int columns)
    : length_(std::max<std::int64_t>(lengthSamples, 1)),
      columns_(static_cast<std::size_t>(std::max(columns, 1))) {
    columnEnd_ = ColumnStart(1, Columns(), length_);
}

void ColumnLevels::Push(std::span<const float> samples) {
    std::size_t next = 0;
    const auto count = static_cast<std::size_t>(
        std::clamp<std::int64_t>(length_ - pushed_, 0, static_cast<std::int64_t>(samples.size())));
    while (next < count) {
        while (pushed_ >= columnEnd_) {
            ++column_;
            columnEnd_ = ColumnStart(column_ + 1, Columns(), length_);
        }
        // The samples of this call that fall in the current column, in one
        // tight loop.
        const auto take = static_cast<std::size_t>(
            std::min<std::int64_t>(columnEnd_ - pushed_, static_cast<std::int64_t>(count - next)));
        double sum = 0.0;
        float peak = 0.0f;
        for (std::size_t i = next; i < next + take; ++i) {
            sum += static_cast<double>(samples[i]) * samples[i];
            peak = std::max(peak, std::abs(samples[i]));
        }
        Column& column = columns_[static_cast<std::size_t>(column_)];
        column.sumOfSquares += sum;
        column.peak = std::max(column.peak, peak);
        column.samples += static_cast<std::int64_t>(take);
        pushed_ += static_cast<std::int64_t>(take);
        next += take;
    }
}

int ColumnLevels::CoveredColumns() const {
    return pushed_ == 0 ? 0 : static_cast<int>((pushed_ - 1) * Columns() / length_) + 1;
}

float ColumnLevels::RmsDb(int column) const {
    const Column& c = columns_[static_cast<std::size_t>(column)];
    return c.samples == 0 ? kFloorDb : Db(std::sqrt(c.sumOfSquares / c.samples), kFloorDb);
}

float ColumnLevels::PeakDb(int column) const {
    return Db(columns_[static_cast<std::size_t>(column)].peak, kFloorDb);
}

}  // namespace sonorel
