#pragma once
// The processing pass's input, read and decoded on a thread of its own
// while the kernel works on earlier blocks: a ring of kReadAheadBlocks
// fixed slots, filled in file order by the reading thread and taken in the
// same order by the run's thread. Nothing is allocated per block.
//
// Contract: one reading thread (started by the constructor, which may
// throw std::system_error) and one taking thread (the owner). Next() waits
// for the next block and returns its slot, or null when its read failed
// (no block after it is read); the slot stays the owner's until Release().
// Every Next() that returned a slot is followed by one Release() before the
// next Next(). The reader is not touched by the owner until the destructor,
// which stops the thread and joins it, has returned.
//
// Memory order: a slot's samples and result are written by the reading
// thread before it publishes the slot under the mutex, and read by the
// owner after it has seen the publication under the same mutex; a
// released slot is refilled only after the release has been seen the same
// way.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "engine/block_frame.h"
#include "soundfile/sound_file.h"

namespace sonorel {

// Blocks read ahead of the kernel: enough to ride out a reading thread
// that is scheduled late on a busy machine, small enough to stay in cache.
inline constexpr int kReadAheadBlocks = 8;

struct ReadSlot {
    std::array<float, kBlockLength> left;
    std::array<float, kBlockLength> right;
    bool ok = false;  // the read succeeded
};

class ReadAhead {
  public:
    // Reads `blocks` blocks of 883 frames from the reader's current place.
    ReadAhead(SoundReader& reader, std::int64_t blocks);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    const ReadSlot* Next();
    void Release();

  private:
    void Run();

    SoundReader& reader_;
    const std::int64_t blocks_;
    std::array<ReadSlot, kReadAheadBlocks> slots_{};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t filled_ = 0;    // blocks published by the reading thread
    std::int64_t released_ = 0;  // blocks given back by the owner
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything above exists
};

}  // namespace sonorel
