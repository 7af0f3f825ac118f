#pragma once
// Drives the kernel over whole signals, as the per-file run does.

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/kernel.h"
#include "settings/kernel_inputs.h"

namespace sonorel::test {

struct KernelRun {
    explicit KernelRun(unsigned rate = 44100, unsigned rumbleHz = 40, unsigned hissHz = 18000)
        : sampleRate(rate),
          tone{.rumbleHz = rumbleHz, .hissHz = hissHz},
          kernel(std::make_unique<RestorationKernel>()) {}

    // Whole blocks only; a signal's last partial block is padded with zeros.
    // The first call prepares the kernel with `params`, `tone` and `threads`;
    // `pipelined` drives it as the per-file run does, one block behind.
    std::vector<float> Process(const std::vector<float>& left, const std::vector<float>& right) {
        if (!prepared) {
            kernel->Prepare(params, DesignToneFilters(sampleRate, tone), threads);
            prepared = true;
        }
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
            if (!pipelined) {
                kernel->ProcessBlock(l, r, out);
                output.insert(output.end(), out.begin(), out.end());
            } else if (kernel->ProcessBlockPipelined(l, r, out)) {
                output.insert(output.end(), out.begin(), out.end());
            }
        }
        if (pipelined && kernel->FinishPipelined(out))
            output.insert(output.end(), out.begin(), out.end());
        return output;
    }

    unsigned sampleRate;
    ToneSettings tone;
    KernelParams params{.wL = 0.5f,
                        .wR = 0.5f,
                        .nfL = 1e-4f,
                        .nfR = 1e-4f,
                        .click = ClickSensitivity(0.5f),
                        .rejuv = RelativeRegularisation(0.5f)};
    int threads = 1;
    bool pipelined = false;
    std::unique_ptr<RestorationKernel> kernel;
    bool prepared = false;
};

}  // namespace sonorel::test
