#include "soundfile/library_metadata.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

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

SF_CHUNK_INFO ChunkInfo(const char* id) {
    SF_CHUNK_INFO info{};
    std::memcpy(info.id, id, 4);
    info.id_size = 4;
    return info;
}

// The data of every chunk with this id, in file order.
std::vector<std::vector<std::byte>> ReadChunks(SNDFILE* file, const char* id) {
    std::vector<std::vector<std::byte>> chunks;
    SF_CHUNK_INFO wanted = ChunkInfo(id);
    for (SF_CHUNK_ITERATOR* chunk = sf_get_chunk_iterator(file, &wanted); chunk != nullptr;
         chunk = sf_next_chunk_iterator(chunk)) {
        SF_CHUNK_INFO info = wanted;
        if (sf_get_chunk_size(chunk, &info) != SF_ERR_NO_ERROR) continue;
        std::vector<std::byte> bytes(info.datalen);
        info.data = bytes.data();
        if (sf_get_chunk_data(chunk, &info) == SF_ERR_NO_ERROR) chunks.push_back(std::move(bytes));
    }
    return chunks;
}

bool SetChunk(SNDFILE* file, const char* id, std::vector<std::byte> bytes) {
    if (bytes.size() % 2 != 0) bytes.push_back(std::byte{0});  // chunks have even sizes
    SF_CHUNK_INFO info = ChunkInfo(id);
    info.datalen = static_cast<unsigned>(bytes.size());
    info.data = bytes.data();
    return sf_set_chunk(file, &info) == SF_ERR_NO_ERROR;
}

// INFO fields the library reads as its text fields (and writes itself).
bool IsLibraryInfoField(std::string_view id) {
    static constexpr std::array<std::string_view, 11> kRead{
        "INAM", "ICOP", "ISFT", "IART", "ICMT", "ICRD", "IPRD", "IGNR", "ITRK", "IPRT", "ILIC"};
    return std::find(kRead.begin(), kRead.end(), id) != kRead.end();
}

std::uint32_t Le32(const std::vector<std::byte>& bytes, std::size_t at) {
    return std::to_integer<std::uint32_t>(bytes[at]) |
           std::to_integer<std::uint32_t>(bytes[at + 1]) << 8 |
           std::to_integer<std::uint32_t>(bytes[at + 2]) << 16 |
           std::to_integer<std::uint32_t>(bytes[at + 3]) << 24;
}

// A LIST chunk's data of type `type` ("INFO", "adtl") holding `fields`.
// The library pads the chunks it is given to a multiple of 4 bytes, and its
// own reader takes pad bytes inside a list for a damaged field, so the last
// field is lengthened with NULs (the end of its text) to fill it exactly.
std::vector<std::byte> ListChunk(const char* type, std::vector<RawChunk> fields) {
    std::size_t total = 4;
    for (const RawChunk& field : fields)
        total += 8 + field.bytes.size() + field.bytes.size() % 2;
    if (!fields.empty() && total % 4 != 0) {
        std::vector<std::byte>& last = fields.back().bytes;
        last.resize(last.size() + last.size() % 2 + 2, std::byte{0});
    }
    std::vector<std::byte> list;
    const auto put = [&list](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::byte*>(data);
        list.insert(list.end(), bytes, bytes + size);
    };
    put(type, 4);
    for (const RawChunk& field : fields) {
        put(field.id.data(), 4);
        const auto size = static_cast<std::uint32_t>(field.bytes.size());
        const std::array<std::uint8_t, 4> le{
            static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
            static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
        put(le.data(), 4);
        put(field.bytes.data(), field.bytes.size());
        if (size % 2 != 0) list.push_back(std::byte{0});
    }
    return list;
}

// The fields of every LIST chunk of type `type`, id and data.
std::vector<RawChunk> ListFields(SNDFILE* file, const char* type) {
    std::vector<RawChunk> fields;
    for (const std::vector<std::byte>& list : ReadChunks(file, "LIST")) {
        if (list.size() < 4 || std::memcmp(list.data(), type, 4) != 0) continue;
        for (std::size_t at = 4; at + 8 <= list.size();) {
            const std::string id(reinterpret_cast<const char*>(list.data() + at), 4);
            const std::size_t size = Le32(list, at + 4);
            if (size > list.size() - at - 8) break;  // damaged: keep what came before
            fields.push_back(
                {id, std::vector<std::byte>(list.begin() + at + 8, list.begin() + at + 8 + size)});
            at += 8 + size + size % 2;
        }
    }
    return fields;
}

// The labels of the cue points ('labl' fields of an adtl list: the cue id,
// then the text and a NUL).
void ReadCueLabels(SNDFILE* file, std::vector<CuePoint>& cues) {
    for (const RawChunk& field : ListFields(file, "adtl")) {
        if (field.id != "labl" || field.bytes.size() < 4) continue;
        const auto id = static_cast<std::int32_t>(Le32(field.bytes, 0));
        const char* text = reinterpret_cast<const char*>(field.bytes.data() + 4);
        const std::string label(text, strnlen(text, field.bytes.size() - 4));
        for (CuePoint& cue : cues) {
            if (cue.id == id) cue.label = label;
        }
    }
}

std::vector<std::byte> LabelBytes(const CuePoint& cue) {
    std::vector<std::byte> bytes(4 + cue.label.size() + 1, std::byte{0});
    const auto id = static_cast<std::uint32_t>(cue.id);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::byte>(id >> (8 * i));
    std::memcpy(bytes.data() + 4, cue.label.data(), cue.label.size());
    return bytes;
}

// The fields of the INFO lists that the library leaves aside, id and data.
std::vector<RawChunk> ReadOtherInfo(SNDFILE* file) {
    std::vector<RawChunk> fields = ListFields(file, "INFO");
    std::erase_if(fields, [](const RawChunk& field) { return IsLibraryInfoField(field.id); });
    return fields;
}

std::vector<CuePoint> ReadCues(SNDFILE* file) {
    std::vector<CuePoint> cues;
    std::uint32_t count = 0;
    if (sf_command(file, SFC_GET_CUE_COUNT, &count, sizeof count) == SF_FALSE || count == 0) {
        return cues;
    }
    SF_CUES all{};
    if (sf_command(file, SFC_GET_CUE, &all, sizeof all) == SF_FALSE) return cues;
    const std::uint32_t stored = std::min<std::uint32_t>(all.cue_count, 100);
    for (std::uint32_t i = 0; i < stored; ++i) {
        const SF_CUE_POINT& point = all.cue_points[i];
        cues.push_back({.id = point.indx,
                        .positionFrames = point.sample_offset,
                        .label = std::string(point.name, strnlen(point.name, sizeof point.name))});
    }
    return cues;
}

bool WriteCues(SNDFILE* file, const std::vector<CuePoint>& cues) {
    SF_CUES all{};
    all.cue_count = static_cast<std::uint32_t>(std::min<std::size_t>(cues.size(), 100));
    for (std::uint32_t i = 0; i < all.cue_count; ++i) {
        SF_CUE_POINT& point = all.cue_points[i];
        point.indx = cues[i].id;
        point.position = cues[i].positionFrames;
        point.sample_offset = cues[i].positionFrames;
        std::memcpy(&point.fcc_chunk, "data", 4);
        std::strncpy(point.name, cues[i].label.c_str(), sizeof point.name - 1);
    }
    if (sf_command(file, SFC_SET_CUE, &all, sizeof all) != SF_TRUE ||
        all.cue_count != cues.size()) {
        return false;
    }
    // The library writes the points, not their labels.
    std::vector<RawChunk> labels;
    for (const CuePoint& cue : cues) {
        if (!cue.label.empty()) labels.push_back({"labl", LabelBytes(cue)});
    }
    return labels.empty() || SetChunk(file, "LIST", ListChunk("adtl", std::move(labels)));
}

}  // namespace

SoundMetadata ReadLibraryMetadata(SNDFILE* file) {
    SoundMetadata metadata;
    for (TextField field : kTextFields) {
        const char* value = sf_get_string(file, LibraryStringType(field));
        if (value != nullptr && *value != '\0') metadata.texts.push_back({field, value});
    }
    metadata.broadcast = ReadBroadcastChunk(file);
    metadata.cues = ReadCues(file);
    ReadCueLabels(file, metadata.cues);
    if (std::vector<std::vector<std::byte>> ixml = ReadChunks(file, "iXML"); !ixml.empty()) {
        metadata.ixml = RawChunk{"iXML", std::move(ixml.front())};
    }
    metadata.otherInfo = ReadOtherInfo(file);
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
    if (CanStoreRiffChunks(formatCode)) {
        if (!metadata.cues.empty()) written.cues = WriteCues(file, metadata.cues);
        if (metadata.ixml) written.ixml = SetChunk(file, "iXML", metadata.ixml->bytes);
        if (!metadata.otherInfo.empty()) {
            written.otherInfo = SetChunk(file, "LIST", ListChunk("INFO", metadata.otherInfo));
        }
    }
    return written;
}

}  // namespace sonorel
