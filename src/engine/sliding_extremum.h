#pragma once
// Sliding-window minimum and maximum by a monotone queue (each value enters
// and leaves the queue once, so a whole array costs O(n) comparisons however
// wide the window). The result is exactly the direct minimum or maximum:
// values are only compared and copied, never combined.

#include <cassert>
#include <span>

namespace sonorel {

// out[j] = the best of values[j .. j + window - 1], for every j from 0 to
// values.size() - window, where `better(a, b)` says a is strictly better
// (std::less for a minimum, std::greater for a maximum). `queue` is caller
// scratch with room for values.size() indices.
template <typename Better>
void SlidingExtremum(std::span<const double> values, int window, std::span<double> out,
                     std::span<int> queue, Better better) {
    const int count = static_cast<int>(values.size());
    assert(window >= 1 && window <= count);
    assert(static_cast<int>(out.size()) >= count - window + 1);
    assert(static_cast<int>(queue.size()) >= count);
    // queue[head .. tail) holds indices whose values get strictly worse from
    // head to tail; the head is the best of the current window.
    int head = 0;
    int tail = 0;
    for (int i = 0; i < count; ++i) {
        while (tail > head && !better(values[queue[tail - 1]], values[i]))
            --tail;
        queue[tail++] = i;
        if (queue[head] <= i - window) ++head;
        if (i >= window - 1) out[i - window + 1] = values[queue[head]];
    }
}

}  // namespace sonorel
