#pragma once
// What a preview run leaves for playback: the restored start of the file as
// 16-bit samples, in whole chunks of 7064 (playback.h plays it).

#include <cstdint>
#include <string>
#include <vector>

namespace sonorel {

struct PreviewBuffer {
    std::vector<std::int16_t> samples;  // sized once by the run; `stored` of them are filled
    std::int64_t stored = 0;
    int sampleRate = 0;
    std::string label;  // the input's file name without folder and extension
};

}  // namespace sonorel
