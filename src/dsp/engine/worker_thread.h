#pragma once
// A thread that runs one job each time it is asked: for the kernel, its
// second channel (kernel.h, worker_job.h); for the per-file run, the
// analysis of one block while the next is read.
//
// Start(job) offers one run of `job`; Finish() returns once that run is
// over. Every Start is followed by a Finish before the next Start, both on
// the same (owning) thread. Whichever thread claims the offered run first
// does it: when the worker has not taken it up by the time the owner calls
// Finish (on a busy machine the worker may not even be scheduled), the
// owner runs the job itself rather than wait, so two threads are never much
// slower than one. The job must therefore give the same result on either
// thread. The handoff spins briefly on atomics, since the other side is
// usually about to answer (a block is about 100 us of work), and then
// sleeps on a condition variable, so an idle worker costs nothing. Neither
// call allocates.
//
// Memory order: what the owner wrote before Start() is visible to the job,
// and what the job wrote is visible to the owner after Finish() (release
// stores of the request and completion counters, acquire loads of them; the
// claim is a compare-and-exchange on its own counter).
//
// The destructor stops and joins the thread; it must not run between a
// Start and its Finish.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace sonorel {

// The counters and the waiting of the handoff, whatever the job.
class WorkerHandoff {
  protected:
    // Claims run `request` for the calling thread; false if the other
    // thread already has.
    bool Claim(std::uint64_t request);
    // Waits until counter differs from `seen` (or the thread is stopping,
    // for the worker's own wait); returns its value.
    std::uint64_t AwaitChange(const std::atomic<std::uint64_t>& counter, std::uint64_t seen);
    void Wake();

    std::atomic<std::uint64_t> requested_{0};
    std::atomic<std::uint64_t> claimed_{0};
    std::atomic<std::uint64_t> completed_{0};
    std::atomic<bool> stopping_{false};

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

// Job: copyable, and callable as const.
template <typename Job>
class WorkerThread : private WorkerHandoff {
  public:
    // Starts the thread (setup: may allocate, and throws std::system_error
    // where the system refuses a thread).
    WorkerThread() : thread_([this] { Run(); }) {}
    ~WorkerThread() {
        stopping_.store(true, std::memory_order_release);
        Wake();
        thread_.join();
    }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // The job is copied: it names the data it works on, which must stay
    // put until Finish returns.
    void Start(const Job& job) {
        job_.emplace(job);
        requested_.fetch_add(1, std::memory_order_release);
        Wake();
    }

    void Finish() {
        const std::uint64_t target = requested_.load(std::memory_order_relaxed);
        if (Claim(target)) {
            (*job_)();
            return;
        }
        std::uint64_t done = completed_.load(std::memory_order_acquire);
        while (done != target)
            done = AwaitChange(completed_, done);
    }

  private:
    void Run() {
        std::uint64_t served = 0;
        for (;;) {
            const std::uint64_t wanted = AwaitChange(requested_, served);
            if (wanted == served) return;  // stopping, with nothing asked for
            served = wanted;
            if (Claim(served)) {
                (*job_)();
                completed_.store(served, std::memory_order_release);
                Wake();
            }
        }
    }

    // Written by the owner before the request is published, read by
    // whichever thread claims the run.
    std::optional<Job> job_;
    std::thread thread_;
};

}  // namespace sonorel
