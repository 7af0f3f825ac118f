#include "cli/progress_line.h"

#include <algorithm>
#include <cmath>

namespace sonorel {

namespace {

constexpr int kMinBarColumns = 10;
constexpr int kMaxBarColumns = 40;

std::string TwoDigits(long long n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string Bar(std::int64_t value, std::int64_t maximum, int columns) {
    const double fraction =
        maximum > 0 ? std::clamp(double(value) / double(maximum), 0.0, 1.0) : 0.0;
    const int filled = static_cast<int>(fraction * columns);
    return "[" + std::string(filled, '#') + std::string(columns - filled, '.') + "]";
}

std::string Percent(std::int64_t value, std::int64_t maximum) {
    const long long percent =
        maximum > 0 ? std::clamp<long long>(value * 100 / maximum, 0, 100) : 0;
    std::string text = std::to_string(percent) + "%";
    return std::string(4 - std::min<std::size_t>(text.size(), 4), ' ') + text;
}

// Cuts to at most `bytes`, never inside a UTF-8 sequence.
void TruncateUtf8(std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    text.resize(bytes);
}

}  // namespace

std::string FormatClock(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0.0) return "-:--";
    const long long total = static_cast<long long>(seconds);
    const long long hours = total / 3600;
    const long long minutes = (total / 60) % 60;
    const long long secs = total % 60;
    if (hours > 0) return std::to_string(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(secs);
    return std::to_string(minutes) + ":" + TwoDigits(secs);
}

std::string FormatProgressLine(const ProgressSnapshot& s, int widthColumns) {
    const std::size_t width = static_cast<std::size_t>(std::max(widthColumns, 2) - 1);

    std::string name = s.name;
    if (name.size() > kMaxNameColumns) {
        TruncateUtf8(name, kMaxNameColumns - 3);
        name += "...";
    }
    const std::string elapsed = FormatClock(s.elapsedSeconds) + " elapsed";

    std::string tail;
    bool withBar = false;
    switch (s.phase) {
        case ProgressPhase::Waiting:
            tail = "starting";
            break;
        case ProgressPhase::Analysing:
            tail = "analysing  " + elapsed;
            break;
        case ProgressPhase::Processing: {
            // The rate so far, projected over what is left.
            const double remaining =
                s.value > 0 ? s.phaseElapsedSeconds * double(s.maximum - s.value) / double(s.value)
                            : -1.0;
            tail = Percent(s.value, s.maximum) + "  " + elapsed + "  " + FormatClock(remaining) +
                   " left";
            withBar = true;
            break;
        }
        case ProgressPhase::Playing:
            tail = Percent(s.value, s.maximum) + "  playing  " + elapsed;
            withBar = true;
            break;
    }

    if (name.size() < s.nameColumns && s.nameColumns <= kMaxNameColumns) {
        name.append(s.nameColumns - name.size(), ' ');
    }
    std::string line = name + "  ";
    if (withBar) {
        const int room = static_cast<int>(width) - static_cast<int>(line.size() + tail.size()) - 3;
        if (room >= kMinBarColumns) {
            line += Bar(s.value, s.maximum, std::min(room, kMaxBarColumns)) + " ";
        }
    }
    line += tail;
    TruncateUtf8(line, width);
    return line;
}

}  // namespace sonorel
