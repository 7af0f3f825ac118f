#include "picture/axis_ticks.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace sonorel {
namespace {

// The smallest step of `steps` that gives at most `most` ticks over `span`.
double StepFor(double span, int most, const double* steps, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (span / steps[i] < most) return steps[i];
    }
    return steps[count - 1] * std::ceil(span / (steps[count - 1] * most));
}

}  // namespace

std::string MinutesSeconds(double seconds, bool tenths) {
    const long tenthsTotal = std::lround(std::max(seconds, 0.0) * 10.0);
    const long whole = tenthsTotal / 10;
    const long hours = whole / 3600;
    const long minutes = whole / 60 % 60;
    const long secs = whole % 60;
    char text[48];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", hours, minutes, secs);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", minutes, secs);
    }
    std::string result = text;
    if (tenths) result += "." + std::to_string(tenthsTotal % 10);
    return result;
}

std::vector<Tick> TimeTicks(double seconds, int most) {
    static constexpr std::array<double, 17> kSteps{0.1, 0.2, 0.5, 1,   2,   5,    10,   15,  30,
                                                   60,  120, 300, 600, 900, 1800, 3600, 7200};
    const double step = StepFor(seconds, most, kSteps.data(), kSteps.size());
    std::vector<Tick> ticks;
    for (int i = 0; i * step <= seconds + 1e-9; ++i)
        ticks.push_back({i * step, MinutesSeconds(i * step, step < 1.0)});
    return ticks;
}

std::vector<Tick> FrequencyTicks(double kiloHertz, int most) {
    static constexpr std::array<double, 6> kSteps{0.5, 1, 2, 5, 10, 20};
    const double step = StepFor(kiloHertz, most, kSteps.data(), kSteps.size());
    std::vector<Tick> ticks;
    for (int i = 0; i * step <= kiloHertz + 1e-9; ++i) {
        const double value = i * step;
        char text[16];
        std::snprintf(text, sizeof text, step < 1.0 ? "%.1f" : "%.0f", value);
        ticks.push_back({value, text});
    }
    return ticks;
}

}  // namespace sonorel
