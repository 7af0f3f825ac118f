#pragma once
// Where the ticks of a picture's axes go and what they say: round steps
// that give a handful of ticks whatever the file's length or sample rate.

#include <string>
#include <vector>

namespace sonorel {

struct Tick {
    double value;  // seconds, or kHz
    std::string label;
};

// Ticks from 0 to `seconds`, at most `most` of them, labelled m:ss (h:mm:ss
// from an hour on, with tenths where the step is below a second).
std::vector<Tick> TimeTicks(double seconds, int most);

// Ticks from 0 to `kiloHertz` in whole or half kHz, at most `most`.
std::vector<Tick> FrequencyTicks(double kiloHertz, int most);

// "1:05.3": a duration as the title line gives it.
std::string MinutesSeconds(double seconds, bool tenths);

}  // namespace sonorel
