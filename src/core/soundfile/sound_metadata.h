#pragma once
// A sound file's catalogue data: the text fields the sound library reads and
// writes, and the Broadcast WAV extension chunk ('bext') as stored.
//
// Which fields an output keeps depends on its header type (measured with
// libsndfile 1.2): WAV, WAVEX and RF64 store every text field but the
// licence; AIFF the title, copyright, software, artist and comment; FLAC,
// Ogg and CAF all of them; W64, AU and raw files none. Only WAV, WAVEX and
// RF64 store a 'bext' chunk. The library appends " (libsndfile-1.2.0)" to
// a software text it writes unless the text already names it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonorel {

// The order is that of kTextFields, which tables of names follow.
enum class TextField {
    Title,
    Copyright,
    Software,
    Artist,
    Comment,
    Date,
    Album,
    License,
    TrackNumber,
    Genre,
};
inline constexpr std::array<TextField, 10> kTextFields{
    TextField::Title,       TextField::Copyright, TextField::Software, TextField::Artist,
    TextField::Comment,     TextField::Date,      TextField::Album,    TextField::License,
    TextField::TrackNumber, TextField::Genre};

// "title", "copyright", "software", "artist", "comment", "date", "album",
// "license", "tracknumber", "genre".
std::string_view TextFieldName(TextField field);

struct TextEntry {
    TextField field;
    std::string value;

    bool operator==(const TextEntry&) const = default;
};

// The data of a 'bext' chunk: 602 bytes of fixed fields (description,
// originator, dates, time reference, version, UMID, loudness, reserved),
// then the coding history, lines of text ending in CR LF. Kept as bytes so
// that every field passes unchanged apart from the two that are edited.
class BroadcastChunk {
  public:
    static constexpr std::size_t kFixedBytes = 602;

    // nullopt when the bytes are too short for the fixed fields.
    static std::optional<BroadcastChunk> FromBytes(std::vector<std::byte> bytes);

    const std::vector<std::byte>& Bytes() const { return bytes_; }

    std::string CodingHistory() const;  // up to its first NUL, if any
    void SetCodingHistory(std::string_view history);

    // The first sample's position, in samples since midnight.
    std::uint64_t TimeReference() const;
    void SetTimeReference(std::uint64_t samples);

  private:
    explicit BroadcastChunk(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}
    std::vector<std::byte> bytes_;
};

// A marked position ('cue ' chunk, with its label where the file has one).
struct CuePoint {
    std::int32_t id = 0;
    std::uint32_t positionFrames = 0;
    std::string label;
    bool operator==(const CuePoint&) const = default;
};

// A chunk passed on as bytes: the iXML chunk, and the fields of an INFO
// list that the library does not read (their four-letter ids and values,
// as stored).
struct RawChunk {
    std::string id;
    std::vector<std::byte> bytes;
    bool operator==(const RawChunk&) const = default;
};

struct SoundMetadata {
    std::vector<TextEntry> texts;  // in kTextFields order, only fields that are set
    std::optional<BroadcastChunk> broadcast;
    std::vector<CuePoint> cues = {};       // in the file's order
    std::optional<RawChunk> ixml = {};     // id "iXML"
    std::vector<RawChunk> otherInfo = {};  // INFO fields beyond the text fields, e.g. "ICMS"
};

// What an output was given of the metadata offered to it.
struct StoredMetadata {
    std::vector<TextField> texts;
    bool broadcast = false;
    bool cues = false;
    bool ixml = false;
    bool otherInfo = false;
};

// Whether an output of this format code keeps the field / a 'bext' chunk.
bool CanStoreText(int formatCode, TextField field);
bool CanStoreBroadcastChunk(int formatCode);
// Cue points, iXML and INFO fields: WAV and its kin only.
bool CanStoreRiffChunks(int formatCode);

}  // namespace sonorel
