#include "soundfile/memory_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>

namespace sonorel {
namespace {

MemoryStream& StreamOf(void* userData) {
    return *static_cast<MemoryStream*>(userData);
}

sf_count_t Length(void* userData) {
    return static_cast<sf_count_t>(StreamOf(userData).bytes.size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* userData) {
    MemoryStream& s = StreamOf(userData);
    const sf_count_t size = static_cast<sf_count_t>(s.bytes.size());
    sf_count_t base = 0;
    switch (whence) {
        case SEEK_SET:
            base = 0;
            break;
        case SEEK_CUR:
            base = s.position;
            break;
        case SEEK_END:
            base = size;
            break;
        default:
            return -1;
    }
    // Refuse positions before the start, and offsets whose sum would overflow.
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
    s.position = base + offset;
    return s.position;
}

sf_count_t Read(void* destination, sf_count_t count, void* userData) {
    MemoryStream& s = StreamOf(userData);
    const sf_count_t size = static_cast<sf_count_t>(s.bytes.size());
    if (count <= 0 || s.position >= size) return 0;
    const sf_count_t n = std::min(count, size - s.position);
    std::memcpy(destination, s.bytes.data() + s.position, static_cast<std::size_t>(n));
    s.position += n;
    return n;
}

// Writes at the position, growing the bytes; a gap left by a seek past the
// end reads as zeros, as in a file.
sf_count_t Write(const void* source, sf_count_t count, void* userData) {
    MemoryStream& s = StreamOf(userData);
    if (count <= 0) return 0;
    if (s.position > INT64_MAX - count) return 0;
    const auto end = static_cast<std::size_t>(s.position + count);
    try {
        if (end > s.bytes.size()) s.bytes.resize(end);
    } catch (const std::exception&) {
        return 0;  // out of memory: the library sees a failed write
    }
    std::memcpy(s.bytes.data() + s.position, source, static_cast<std::size_t>(count));
    s.position += count;
    return count;
}

sf_count_t Tell(void* userData) {
    return StreamOf(userData).position;
}

}  // namespace

SF_VIRTUAL_IO* MemoryStream::Callbacks() {
    static SF_VIRTUAL_IO callbacks{Length, Seek, Read, Write, Tell};
    return &callbacks;
}

}  // namespace sonorel
