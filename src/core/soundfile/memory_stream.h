#pragma once
// Bytes in memory seen by the sound library as a file: read by an in-memory
// reader, written (growing as needed) by an in-memory writer.

#include <sndfile.h>

#include <cstddef>
#include <vector>

namespace sonorel {

struct MemoryStream {
    std::vector<std::byte> bytes;
    sf_count_t position = 0;

    // The callbacks for sf_open_virtual; user data is the MemoryStream.
    static SF_VIRTUAL_IO* Callbacks();
};

}  // namespace sonorel
