#pragma once
// Drives the kernel over whole signals, as the per-file run does.

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/kernel.h"
#include "filters/shelf.h"

namespace sonorel::test {

struct KernelRun {
    explicit KernelRun(unsigned sampleRate = 44100, unsigned rumbleHz = 40, unsigned hissHz = 18000)
        : state(std::make_unique<KernelState>()) {
        hissActive = DesignToneFilters(filters, sampleRate, rumbleHz, hissHz);
        InitKernelTables(*state);
    }

    void SetShelves(int bassDb, int trebleDb, int sampleRate = 44100) {
        const ShelfCoeffs c = DesignShelves(bassDb, trebleDb, sampleRate);
        params.bp = c.bp;
        params.bz = c.bz;
        params.tp = c.tp;
        params.tz = c.tz;
        params.g = c.g;
    }

    // Whole blocks only; a signal's last partial block is padded with zeros.
    std::vector<float> Process(const std::vector<float>& left, const std::vector<float>& right) {
        std::vector<float> output;
        std::array<float, kBlockLength> l{};
        std::array<float, kBlockLength> r{};
        std::array<float, kBlockLength> out{};
        for (std::size_t start = 0; start < left.size(); start += kBlockLength) {
            const std::size_t count = std::min<std::size_t>(kBlockLength, left.size() - start);
            l.fill(0.0f);
            r.fill(0.0f);
            std::copy_n(left.begin() + start, count, l.begin());
            std::copy_n(right.begin() + start, count, r.begin());
            ProcessBlock(*state, l, r, params, filters, hissActive ? &state->hissState : nullptr,
                         bassState, trebleState, out);
            output.insert(output.end(), out.begin(), out.end());
        }
        return output;
    }

    std::unique_ptr<KernelState> state;
    ToneFilters filters;
    bool hissActive = false;
    KernelParams params{.wL = 0.5f,
                        .wR = 0.5f,
                        .nfL = 1e-4f,
                        .nfR = 1e-4f,
                        .click = 0.25f,
                        .rejuv = 0.25f * 0.09039548f};
    float bassState = 0.0f;
    float trebleState = 0.0f;
};

}  // namespace sonorel::test
