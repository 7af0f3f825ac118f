// Catalogue data: field names, the 'bext' chunk's edited fields, and which
// header types keep what.

#include "soundfile/sound_metadata.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace sonorel {
namespace {

// Byte offsets in the fixed part of a 'bext' chunk (little-endian values).
constexpr std::size_t kTimeReferenceLow = 338;
constexpr std::size_t kTimeReferenceHigh = 342;

std::uint32_t ReadLittle32(const std::vector<std::byte>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<std::uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

void WriteLittle32(std::vector<std::byte>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::byte>((value >> (8 * i)) & 0xffu);
}

int HeaderOf(int formatCode) {
    return formatCode & SF_FORMAT_TYPEMASK;
}

}  // namespace

std::string_view TextFieldName(TextField field) {
    // In the order of the enumeration.
    static constexpr std::array<std::string_view, kTextFields.size()> kNames{
        "title", "copyright", "software", "artist",      "comment",
        "date",  "album",     "license",  "tracknumber", "genre"};
    return kNames[static_cast<std::size_t>(field)];
}

std::optional<BroadcastChunk> BroadcastChunk::FromBytes(std::vector<std::byte> bytes) {
    if (bytes.size() < kFixedBytes) return std::nullopt;
    return BroadcastChunk(std::move(bytes));
}

std::string BroadcastChunk::CodingHistory() const {
    const auto begin = bytes_.begin() + kFixedBytes;
    const auto end = std::find(begin, bytes_.end(), std::byte{0});
    std::string history(static_cast<std::size_t>(end - begin), '\0');
    std::memcpy(history.data(), &*begin, history.size());
    return history;
}

void BroadcastChunk::SetCodingHistory(std::string_view history) {
    bytes_.resize(kFixedBytes + history.size());
    std::memcpy(bytes_.data() + kFixedBytes, history.data(), history.size());
}

std::uint64_t BroadcastChunk::TimeReference() const {
    return (std::uint64_t{ReadLittle32(bytes_, kTimeReferenceHigh)} << 32) |
           ReadLittle32(bytes_, kTimeReferenceLow);
}

void BroadcastChunk::SetTimeReference(std::uint64_t samples) {
    WriteLittle32(bytes_, kTimeReferenceLow, static_cast<std::uint32_t>(samples));
    WriteLittle32(bytes_, kTimeReferenceHigh, static_cast<std::uint32_t>(samples >> 32));
}

bool CanStoreText(int formatCode, TextField field) {
    switch (HeaderOf(formatCode)) {
        case SF_FORMAT_WAV:
        case SF_FORMAT_WAVEX:
        case SF_FORMAT_RF64:
            return field != TextField::License;
        case SF_FORMAT_AIFF:
            return field == TextField::Title || field == TextField::Copyright ||
                   field == TextField::Software || field == TextField::Artist ||
                   field == TextField::Comment;
        case SF_FORMAT_FLAC:
        case SF_FORMAT_OGG:
        case SF_FORMAT_CAF:
            return true;
        default:
            return false;
    }
}

bool CanStoreBroadcastChunk(int formatCode) {
    const int header = HeaderOf(formatCode);
    return header == SF_FORMAT_WAV || header == SF_FORMAT_WAVEX || header == SF_FORMAT_RF64;
}

bool CanStoreRiffChunks(int formatCode) {
    return CanStoreBroadcastChunk(formatCode);
}

}  // namespace sonorel
