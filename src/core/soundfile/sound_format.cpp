// Named parts of the sound library's format codes.

#include <sndfile.h>

#include <array>
#include <cstdio>
#include <utility>

#include "soundfile/sound_file.h"

namespace sonorel {
namespace {

constexpr std::array<std::pair<HeaderType, int>, 10> kHeaderCodes{{
    {HeaderType::Wav, SF_FORMAT_WAV},
    {HeaderType::WavEx, SF_FORMAT_WAVEX},
    {HeaderType::Aiff, SF_FORMAT_AIFF},
    {HeaderType::Au, SF_FORMAT_AU},
    {HeaderType::Raw, SF_FORMAT_RAW},
    {HeaderType::Flac, SF_FORMAT_FLAC},
    {HeaderType::Caf, SF_FORMAT_CAF},
    {HeaderType::W64, SF_FORMAT_W64},
    {HeaderType::Rf64, SF_FORMAT_RF64},
    {HeaderType::Ogg, SF_FORMAT_OGG},
}};

struct EncodingCode {
    SampleEncoding encoding;
    int code;
    int bytesPerSample;
};

constexpr std::array<EncodingCode, 9> kEncodingCodes{{
    {SampleEncoding::PcmS8, SF_FORMAT_PCM_S8, 1},
    {SampleEncoding::PcmU8, SF_FORMAT_PCM_U8, 1},
    {SampleEncoding::Pcm16, SF_FORMAT_PCM_16, 2},
    {SampleEncoding::Pcm24, SF_FORMAT_PCM_24, 3},
    {SampleEncoding::Pcm32, SF_FORMAT_PCM_32, 4},
    {SampleEncoding::Float32, SF_FORMAT_FLOAT, 4},
    {SampleEncoding::Float64, SF_FORMAT_DOUBLE, 8},
    {SampleEncoding::Ulaw, SF_FORMAT_ULAW, 1},
    {SampleEncoding::Alaw, SF_FORMAT_ALAW, 1},
}};

// Header types whose comment the library writes and reads back (measured
// with libsndfile 1.2: WAV, WAVEX, AIFF, FLAC, CAF, RF64, OGG and MPEG keep
// it; AU, raw, W64 and the older formats refuse it).
constexpr std::array<int, 8> kCommentCapable{SF_FORMAT_WAV,  SF_FORMAT_WAVEX, SF_FORMAT_AIFF,
                                             SF_FORMAT_FLAC, SF_FORMAT_CAF,   SF_FORMAT_RF64,
                                             SF_FORMAT_OGG,  SF_FORMAT_MPEG};

// The library's name of a header type or encoding code; the code in hex
// when the library does not know it.
std::string LibraryFormatName(int code) {
    SF_FORMAT_INFO info{};
    info.format = code;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name != nullptr) {
        return info.name;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04x", static_cast<unsigned>(code));
    return hex;
}

}  // namespace

bool SoundFormat::IsLossy() const {
    switch (code & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_VORBIS:
        case SF_FORMAT_OPUS:
        case SF_FORMAT_MPEG_LAYER_I:
        case SF_FORMAT_MPEG_LAYER_II:
        case SF_FORMAT_MPEG_LAYER_III:
            return true;
        default:
            return false;
    }
}

SoundFormat SoundFormat::Converted(OutputHeader header, OutputBits bits) const {
    SoundFormat out = *this;
    if (header == OutputHeader::Same && bits == OutputBits::Same) return out;
    int type = code & SF_FORMAT_TYPEMASK;
    int subtype = code & SF_FORMAT_SUBMASK;
    int endian = code & SF_FORMAT_ENDMASK;
    if (header != OutputHeader::Same) {
        type = header == OutputHeader::Wav ? SF_FORMAT_WAV : SF_FORMAT_FLAC;
        endian = 0;
        const bool flacHolds = subtype == SF_FORMAT_PCM_S8 || subtype == SF_FORMAT_PCM_16 ||
                               subtype == SF_FORMAT_PCM_24;
        const bool wavHolds = flacHolds || subtype == SF_FORMAT_PCM_U8 ||
                              subtype == SF_FORMAT_PCM_32 || subtype == SF_FORMAT_FLOAT ||
                              subtype == SF_FORMAT_DOUBLE || subtype == SF_FORMAT_ULAW ||
                              subtype == SF_FORMAT_ALAW;
        if (!(header == OutputHeader::Wav ? wavHolds : flacHolds)) subtype = SF_FORMAT_PCM_24;
    }
    switch (bits) {
        case OutputBits::Same:
            break;
        case OutputBits::Pcm16:
            subtype = SF_FORMAT_PCM_16;
            break;
        case OutputBits::Pcm24:
            subtype = SF_FORMAT_PCM_24;
            break;
        case OutputBits::Float:
            subtype = SF_FORMAT_FLOAT;
            break;
    }
    out.code = type | subtype | endian;
    out.headerless = type == SF_FORMAT_RAW;
    return out;
}

SoundFormat SoundFormat::Make(HeaderType header, SampleEncoding encoding, int sampleRate,
                              int channels, ByteOrder order) {
    SoundFormat f;
    for (const auto& [type, code] : kHeaderCodes) {
        if (type == header) f.code |= code;
    }
    for (const EncodingCode& e : kEncodingCodes) {
        if (e.encoding == encoding) f.code |= e.code;
    }
    if (header == HeaderType::Ogg && encoding == SampleEncoding::Other) f.code |= SF_FORMAT_VORBIS;
    if (order == ByteOrder::Little) f.code |= SF_ENDIAN_LITTLE;
    if (order == ByteOrder::Big) f.code |= SF_ENDIAN_BIG;
    f.headerless = header == HeaderType::Raw;
    f.sampleRate = sampleRate;
    f.channels = channels;
    return f;
}

HeaderType SoundFormat::Header() const {
    for (const auto& [type, typeCode] : kHeaderCodes) {
        if ((code & SF_FORMAT_TYPEMASK) == typeCode) return type;
    }
    return HeaderType::Other;
}

SampleEncoding SoundFormat::Encoding() const {
    for (const EncodingCode& e : kEncodingCodes) {
        if ((code & SF_FORMAT_SUBMASK) == e.code) return e.encoding;
    }
    return SampleEncoding::Other;
}

ByteOrder SoundFormat::Order() const {
    switch (code & SF_FORMAT_ENDMASK) {
        case SF_ENDIAN_LITTLE:
            return ByteOrder::Little;
        case SF_ENDIAN_BIG:
            return ByteOrder::Big;
        default:
            return ByteOrder::Default;
    }
}

std::string SoundFormat::HeaderName() const {
    return LibraryFormatName(code & SF_FORMAT_TYPEMASK);
}

std::string SoundFormat::EncodingName() const {
    return LibraryFormatName(code & SF_FORMAT_SUBMASK);
}

int SoundFormat::BytesPerSample() const {
    // FLAC stores PCM sample sizes but compresses them.
    if ((code & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC) return 0;
    for (const EncodingCode& e : kEncodingCodes) {
        if ((code & SF_FORMAT_SUBMASK) == e.code) return e.bytesPerSample;
    }
    return 0;
}

bool SoundFormat::CanStoreComment() const {
    for (int capable : kCommentCapable) {
        if ((code & SF_FORMAT_TYPEMASK) == capable) return true;
    }
    return false;
}

}  // namespace sonorel
