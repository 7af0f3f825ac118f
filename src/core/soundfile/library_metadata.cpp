#include "soundfile/library_metadata.h"

#include <array>
#include <cstring>

namespace sonorel {
namespace {

// The library's string type of each field, in the order of the enumeration.
int LibraryStringType(TextField field) {
    static constexpr std::array<int, kTextFields.size()> kTypes{
        SF_STR_TITLE, SF_STR_COPYRIGHT, SF_STR_SOFTWARE, SF_STR_ARTIST,      SF_STR_COMMENT,
        SF_STR_DATE,  SF_STR_ALBUM,     SF_STR_LICENSE,  SF_STR_TRACKNUMBER, SF_STR_GENRE};
    return kTypes[static_cast<std::size_t>(field)];
}

SF_CHUNK_INFO BroadcastChunkInfo() {
    SF_CHUNK_INFO info{};
    std::memcpy(info.id, "bext", 4);
    info.id_size = 4;
    return info;
}

std::optional<BroadcastChunk> ReadBroadcastChunk(SNDFILE* file) {
    SF_CHUNK_INFO wanted = BroadcastChunkInfo();
    SF_CHUNK_ITERATOR* chunk = sf_get_chunk_iterator(file, &wanted);
    if (chunk == nullptr) return std::nullopt;
    SF_CHUNK_INFO info = wanted;
    if (sf_get_chunk_size(chunk, &info) != SF_ERR_NO_ERROR) return std::nullopt;
    std::vector<std::byte> bytes(info.datalen);
    info.data = bytes.data();
    if (sf_get_chunk_data(chunk, &info) != SF_ERR_NO_ERROR) return std::nullopt;
    return BroadcastChunk::FromBytes(std::move(bytes));
}

}  // namespace

SoundMetadata ReadLibraryMetadata(SNDFILE* file) {
    SoundMetadata metadata;
    for (TextField field : kTextFields) {
        const char* value = sf_get_string(file, LibraryStringType(field));
        if (value != nullptr && *value != '\0') metadata.texts.push_back({field, value});
    }
    metadata.broadcast = ReadBroadcastChunk(file);
    return metadata;
}

StoredMetadata WriteLibraryMetadata(SNDFILE* file, int formatCode, const SoundMetadata& metadata) {
    StoredMetadata written;
    for (const TextEntry& entry : metadata.texts) {
        if (CanStoreText(formatCode, entry.field) &&
            sf_set_string(file, LibraryStringType(entry.field), entry.value.c_str()) == 0) {
            written.texts.push_back(entry.field);
        }
    }
    if (metadata.broadcast && CanStoreBroadcastChunk(formatCode)) {
        // Written as the chunk it is: the library's own 'bext' support would
        // add a coding-history line of its own.
        std::vector<std::byte> bytes = metadata.broadcast->Bytes();
        if (bytes.size() % 2 != 0) bytes.push_back(std::byte{0});  // chunks have even sizes
        SF_CHUNK_INFO info = BroadcastChunkInfo();
        info.datalen = static_cast<unsigned>(bytes.size());
        info.data = bytes.data();
        written.broadcast = sf_set_chunk(file, &info) == SF_ERR_NO_ERROR;
    }
    return written;
}

}  // namespace sonorel
