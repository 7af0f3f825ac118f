#include "soundfile/memory_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

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

sf_count_t Write(const void*, sf_count_t, void*) {
    return 0;
}  // read-only

sf_count_t Tell(void* userData) {
    return StreamOf(userData).position;
}

}  // namespace

SF_VIRTUAL_IO* MemoryStream::Callbacks() {
    static SF_VIRTUAL_IO callbacks{Length, Seek, Read, Write, Tell};
    return &callbacks;
}

}  // namespace sonorel
