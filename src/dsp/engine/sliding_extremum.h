#pragma once
// Sliding-window minimum and maximum by the van Herk / Gil-Werman method:
// cut the array into blocks of the window's width; the window starting at j
// spans at most two blocks, so its extremum is that of the suffix of the
// first block from j and the prefix of the next block up to j + width - 1.
// Three branch-free passes, whatever the width. The result is exactly the
// direct minimum or maximum: values are only compared and copied.

#include <algorithm>
#include <cassert>
#include <span>

namespace sonorel {

// out[j] = pick of values[j .. j + width - 1] for every j from 0 to
// values.size() - width, where pick(a, b) is std::min or std::max of two
// values. prefix and suffix are caller scratch of values.size().
template <typename Pick>
void SlidingExtremum(std::span<const double> values, int width, std::span<double> out,
                     std::span<double> prefix, std::span<double> suffix, Pick pick) {
    const int count = static_cast<int>(values.size());
    assert(width >= 1 && width <= count);
    assert(static_cast<int>(out.size()) >= count - width + 1);
    assert(static_cast<int>(prefix.size()) >= count && static_cast<int>(suffix.size()) >= count);
    for (int start = 0; start < count; start += width) {
        const int end = std::min(start + width, count);
        prefix[start] = values[start];
        for (int i = start + 1; i < end; ++i)
            prefix[i] = pick(prefix[i - 1], values[i]);
        suffix[end - 1] = values[end - 1];
        for (int i = end - 2; i >= start; --i)
            suffix[i] = pick(suffix[i + 1], values[i]);
    }
    for (int j = 0; j + width <= count; ++j)
        out[j] = pick(suffix[j], prefix[j + width - 1]);
}

struct PickMin {
    double operator()(double a, double b) const { return b < a ? b : a; }
};
struct PickMax {
    double operator()(double a, double b) const { return b > a ? b : a; }
};

}  // namespace sonorel
