#include "ui/batch_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <utility>

namespace sonorel {
namespace {

// Before this much of the batch has gone by, the speed says too little.
constexpr double kLeastElapsedSeconds = 1.0;

}  // namespace

BatchProgress::BatchProgress(std::vector<double> audioSeconds, Clock::time_point start)
    : audioSeconds_(std::move(audioSeconds)),
      totalSeconds_(std::accumulate(audioSeconds_.begin(), audioSeconds_.end(), 0.0)),
      start_(start) {}

void BatchProgress::BeginFile(std::size_t index) {
    current_ = std::min(index, audioSeconds_.size());
    doneSeconds_ = std::accumulate(
        audioSeconds_.begin(), audioSeconds_.begin() + static_cast<std::ptrdiff_t>(current_), 0.0);
}

double BatchProgress::Fraction(double fileFraction) const {
    const double count = static_cast<double>(audioSeconds_.size());
    fileFraction = std::clamp(fileFraction, 0.0, 1.0);
    // Files whose length is unknown count alike.
    if (totalSeconds_ <= 0.0)
        return count == 0.0 ? 1.0 : (static_cast<double>(current_) + fileFraction) / count;
    const double current = current_ < audioSeconds_.size() ? audioSeconds_[current_] : 0.0;
    return std::min(1.0, (doneSeconds_ + fileFraction * current) / totalSeconds_);
}

std::optional<double> BatchProgress::SecondsLeft(double fileFraction, Clock::time_point now) const {
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double done = Fraction(fileFraction);
    if (elapsed < kLeastElapsedSeconds || done <= 0.0) return std::nullopt;
    return elapsed * (1.0 - done) / done;
}

std::string BatchProgress::Line(double fileFraction, Clock::time_point now) const {
    const int percent = static_cast<int>(std::floor(100.0 * Fraction(fileFraction)));
    char text[96];
    std::snprintf(text, sizeof text, "File %zu of %zu - %d %% of the batch",
                  std::min(current_ + 1, audioSeconds_.size()), audioSeconds_.size(), percent);
    std::string line = text;
    if (const std::optional<double> left = SecondsLeft(fileFraction, now))
        line += " - " + DurationText(*left) + " left";
    return line;
}

std::string DurationText(double seconds) {
    const long long whole = std::llround(std::max(0.0, seconds));
    char text[48];
    if (whole < 60) {
        std::snprintf(text, sizeof text, "about %lld s", whole);
    } else if (whole < 3600) {
        std::snprintf(text, sizeof text, "about %lld min %02lld s", whole / 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "about %lld h %02lld min", whole / 3600, whole / 60 % 60);
    }
    return text;
}

}  // namespace sonorel
