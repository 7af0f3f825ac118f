#pragma once
// The restoration kernel: 883 stereo frames in, 883 restored mono samples out.
//
// Per block: click repair of each channel (click_repair.h), least-squares
// estimate of each channel from the other (estimator.h), weighted mix,
// crossfade with the previous block's tail, hiss low-pass unless bypassed,
// bass and treble shelves, clamp to +-kOutputBound (output_stage.h).
//
// Lifecycle: Prepare once per file with the parameters derived for it and
// the filters designed for it (setup: may allocate), then ProcessBlock once
// per block, in file order. Prepare ends with Reset, which zeroes everything
// the kernel carries from block to block (filter states, histories, flags,
// coefficients, tail), so every file starts from the same state.
//
// Delay: kKernelDelay = 3162 samples, not compensated. Output sample i of
// block n is input frame 883 n + i - 3162, so the first three blocks of every
// file are exactly 0 (block_frame.h derives the figure).
//
// Drain: after the last block the last 3162 input frames are still inside.
// kDrainBlocks (4) calls of DrainBlock, each a block of silence in, bring
// them out.
//
// Real-time contract: ProcessBlock and DrainBlock allocate nothing, lock
// nothing, never fail and always write all 883 samples, each within
// +-kOutputBound. The input is assumed finite (the per-file run replaces NaN
// and infinity); a non-finite sample never reaches the output, which then
// holds 0. All storage has a fixed size: what is carried from block to block
// and the block's channel buffers and estimates live in the object (about
// 100 KB: allocate it once per run), the stages' working arrays on the
// calling thread's stack (under 200 KB).
//
// Counts: every block also leaves behind what it did (LastBlockCounts), as a
// by-product of the stages that costs a few integer operations per sample.
// Each channel's counts are written by the thread that does that channel's
// work; LastBlockCounts is read on the calling thread after ProcessBlock.
//
// Threading: one thread at a time calls an object. Objects are independent,
// so several files can be restored at once on several threads; the shared
// tables and FFT plans are read-only once Prepare has made them.
//
// Inside a block the work falls into three steps: the calling thread puts
// each channel's history in front of its buffer; then each channel's job
// (channel_work.h: RepairClicks, then Estimate) runs on its own
// ChannelState and a read-only view of the other channel's history in
// front of the other's buffer; then Mix. Each job writes only its own
// ChannelState and counts, so the two are independent, and their order
// does not matter.
//
// Prepared with two threads, the object owns one worker thread (started by
// the first such Prepare, which may then throw std::system_error; stopped
// by the destructor or a one-thread Prepare): per block, the right channel's
// ChannelWork runs on the worker while the calling thread does the left's
// (or on the calling thread too, when the worker has not taken it up by
// then), and Mix waits for both (worker_thread.h describes the handoff; the
// worker's stack holds its stage arrays). The output is bit for bit that of
// one thread, and a block still allocates nothing; it may wait for the
// worker, which is the only blocking.
//
// Pipelined: a whole pass may instead call ProcessBlockPipelined for every
// block (and DrainBlockPipelined for the drain), then FinishPipelined once.
// Each call does its block's channel work and gives back the output of the
// block before; FinishPipelined gives the last block's. With two threads the
// worker then runs the previous block's output stage (mix, crossfade,
// filters) before its channel, so the calling thread's share, its channel
// and the reading and writing around the call, is about as long as the
// worker's. The output is bit for bit that of ProcessBlock: the same stages
// on the same states, each channel keeping two estimates by block parity.
// The two ways are not mixed within a pass (Reset starts either).

#include <array>
#include <memory>
#include <optional>
#include <span>

#include "engine/block_counts.h"
#include "engine/block_frame.h"
#include "engine/channel_work.h"
#include "engine/kernel_params.h"
#include "engine/kernel_state.h"
#include "engine/worker_job.h"
#include "engine/worker_thread.h"
#include "filters/tone_filters.h"

namespace sonorel {

class RestorationKernel {
  public:
    RestorationKernel() = default;
    ~RestorationKernel();
    RestorationKernel(const RestorationKernel&) = delete;
    RestorationKernel& operator=(const RestorationKernel&) = delete;

    // Takes this file's parameters and filters, makes sure the shared tables
    // and FFT plans exist, starts or stops the worker thread (threads: 1, or
    // 2 and more for two), and resets.
    void Prepare(const KernelParams& params, const ToneFilters& filters, int threads = 1);

    // Zeroes everything carried from block to block.
    void Reset();

    // left and right are this block's samples of input channel 0 and 1.
    void ProcessBlock(std::span<const float, kBlockLength> left,
                      std::span<const float, kBlockLength> right,
                      std::span<float, kBlockLength> out);

    // ProcessBlock with silence in.
    void DrainBlock(std::span<float, kBlockLength> out);

    // This block's channel work, and the previous block's output into
    // previousOut; false (previousOut untouched) for the first block.
    bool ProcessBlockPipelined(std::span<const float, kBlockLength> left,
                               std::span<const float, kBlockLength> right,
                               std::span<float, kBlockLength> previousOut);
    bool DrainBlockPipelined(std::span<float, kBlockLength> previousOut);
    // The output of the last block given; false when there is none.
    bool FinishPipelined(std::span<float, kBlockLength> out);

    // What the last block's channel work did (ProcessBlock, DrainBlock or
    // their pipelined forms): each channel's new click flags, clicks and
    // repaired samples, and failed solves.
    const KernelBlockCounts& LastBlockCounts() const { return counts_; }

  private:
    // The job of `channel` for this block, with its input.
    ChannelJob JobOf(Channel channel, std::span<const float, kBlockLength> input);
    // The output stage of the block whose estimates are those of `parity`.
    OutputJob OutputJobOf(int parity, std::span<float, kBlockLength> out);
    // Both channels' work for this block, on the worker (with `output`
    // first) and the calling thread.
    void RunChannels(std::span<const float, kBlockLength> left,
                     std::span<const float, kBlockLength> right,
                     const std::optional<OutputJob>& output);

    KernelParams params_;
    ToneFilters filters_;
    KernelState state_{};
    KernelBlockCounts counts_{};
    int parity_ = 0;        // which of each channel's estimates this block writes
    bool pending_ = false;  // a pipelined block's output is still to be made
    // With two threads: the worker, which runs the right channel's job.
    std::unique_ptr<WorkerThread<WorkerJob>> worker_;
};

}  // namespace sonorel
