#pragma once
// The analysis pass of a run: every complete 7060-frame block from the start
// of the file, DC-blocked and measured (channel_analysis.h), and given to
// the enhanced method's own analysis when that method runs. The frames after
// the last complete block are not measured.
//
// With two threads, each block is measured on a worker while the calling
// thread reads the next one. The blocks are still measured one after
// another, in file order, so the figures are those of one thread.

#include <array>
#include <cstdint>

#include "analysis/channel_analysis.h"
#include "enhanced/enhanced_analysis.h"
#include "pipeline/run_observer.h"
#include "soundfile/sound_file.h"

namespace sonorel {

enum class AnalysisOutcome { Measured, ReadFailed, Stopped };

// The pass's fixed-size buffers, part of a run's storage: two blocks as
// read (one being measured, one being read) and the high-passed copy.
struct AnalysisBuffers {
    struct Block {
        std::array<float, kAnalysisBlockFrames> left;
        std::array<float, kAnalysisBlockFrames> right;
    };
    std::array<Block, 2> read;
    Block highPassed;
};

// Reads from the reader's current position (the start of the file).
// `enhanced` may be null. threads: 1, or 2 and more for a worker.
AnalysisOutcome MeasureChannels(SoundReader& reader, AnalysisBuffers& buffers,
                                EnhancedAnalysis* enhanced, RunObserver& observer, int threads,
                                ChannelStats& stats);

}  // namespace sonorel
