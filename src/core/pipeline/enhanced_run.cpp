#include "pipeline/enhanced_run.h"

#include <cmath>

#include "engine/block_frame.h"

namespace sonorel {

int KernelDelayOf(RestorationMethod method) {
    return method == RestorationMethod::Enhanced ? kEnhancedDelay : kKernelDelay;
}

int ClickFlagLagOf(RestorationMethod method) {
    static_assert(kMarkLatency < kEnhancedDelay);
    return method == RestorationMethod::Enhanced ? kEnhancedDelay : kNewFlagLag;
}

void EnhancedRun::BeginAnalysis(const CascadeCoeffs& rumble, const RunParameters& settings) {
    analysis.Prepare(rumble, settings.antiPhase);
}

void EnhancedRun::Prepare(const RunParameters& settings, const ToneFilters& filters,
                          int sampleRate) {
    figures = analysis.Finish(sampleRate);
    params = DeriveEnhancedParams({.clickAmount = settings.clickAmount,
                                   .noiseAmount = settings.noiseAmount,
                                   .distortionAmount = settings.distortionAmount,
                                   .outputGain = settings.outputGain,
                                   .keepOriginalLevel = settings.keepOriginalLevel,
                                   .antiPhase = settings.antiPhase,
                                   .mode = settings.channelFunction},
                                  figures.loudestRms);
    kernel.Prepare(params, figures.profile, filters);
    previous = DeclickCounts{};
    blocksRun = 0;
}

void EnhancedRun::CountBlock() {
    const DeclickCounts& now = kernel.Counts();
    for (int c = 0; c < 2; ++c) {
        blockCounts.clicks[c].clicksDetected =
            static_cast<int>(now.ticks[c] - previous.ticks[c] + now.scratches - previous.scratches);
        blockCounts.clicks[c].samplesRepaired =
            static_cast<int>(now.samplesRepaired[c] - previous.samplesRepaired[c]);
        kernel.TakeRepairMarks(blocksRun * kBlockLength - kEnhancedDelay, c,
                               blockCounts.clicks[c].newFlags);
    }
    previous = now;
    ++blocksRun;
}

void EnhancedRun::ProcessBlock(std::span<const float, kBlockLength> left,
                               std::span<const float, kBlockLength> right,
                               std::span<float, kBlockLength> out) {
    kernel.ProcessBlock(left, right, out);
    CountBlock();
}

void EnhancedRun::DrainBlock(std::span<float, kBlockLength> out) {
    kernel.DrainBlock(out);
    CountBlock();
}

EnhancedDerived DescribeEnhanced(const EnhancedRun& run) {
    return {.clickThreshold = run.params.clickThreshold,
            .suppressionDb = -20.0 * std::log10(run.params.gainFloor),
            .differenceWeight = run.params.differenceWeight,
            .levelGain = run.params.levelGain,
            .leftNoiseDb = run.figures.profile.leftNoiseDb,
            .rightNoiseDb = run.figures.profile.rightNoiseDb,
            .quietSegments = run.figures.quietSegments};
}

}  // namespace sonorel
