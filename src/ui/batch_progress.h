#pragma once
// Where a Go! over several files stands: file k of n, the fraction of the
// whole batch done, and the time left. The time left is the audio still to
// do at the speed the batch has gone so far, so a long file ahead counts for
// what it is and not as one more file.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace sonorel {

class BatchProgress {
  public:
    using Clock = std::chrono::steady_clock;

    // `audioSeconds`: the length of each file of the batch, in list order (0
    // for one whose length could not be read). The batch starts at `start`.
    BatchProgress(std::vector<double> audioSeconds, Clock::time_point start);

    // File `index` is the one running now; the ones before it are done.
    void BeginFile(std::size_t index);

    // The whole batch's fraction done (0 to 1) when the current file is
    // `fileFraction` done.
    double Fraction(double fileFraction) const;

    // Seconds left at `now`, or none before there is a speed to go by.
    std::optional<double> SecondsLeft(double fileFraction, Clock::time_point now) const;

    // "File 2 of 5 - 40 % of the batch - about 1 min 20 s left"; the time is
    // left out while it cannot be told yet.
    std::string Line(double fileFraction, Clock::time_point now) const;

  private:
    std::vector<double> audioSeconds_;
    double totalSeconds_ = 0.0;
    double doneSeconds_ = 0.0;  // the files before the current one
    std::size_t current_ = 0;
    Clock::time_point start_;
};

// "about 45 s", "about 1 min 20 s", "about 2 h 05 min".
std::string DurationText(double seconds);

}  // namespace sonorel
