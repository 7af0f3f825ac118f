#include "pipeline/carried_metadata.h"

#include <algorithm>

#include "engine/block_frame.h"
#include "settings/product.h"

namespace sonorel {
namespace {

constexpr std::uint64_t kSecondsPerDay = 86400;
constexpr const char* kBroadcastName = "bext";

// EBU R 98: A= coding algorithm, W= word length in bits.
std::string_view CodingAlgorithm(SampleEncoding encoding) {
    switch (encoding) {
        case SampleEncoding::Ulaw:
            return "ULAW";
        case SampleEncoding::Alaw:
            return "ALAW";
        default:
            return "PCM";
    }
}

int WordLengthBits(SampleEncoding encoding) {
    switch (encoding) {
        case SampleEncoding::Pcm16:
            return 16;
        case SampleEncoding::Pcm24:
            return 24;
        case SampleEncoding::Pcm32:
        case SampleEncoding::Float32:
            return 32;
        case SampleEncoding::Float64:
            return 64;
        default:
            return 8;
    }
}

}  // namespace

std::string CodingHistoryLine(const SoundFormat& output, std::string_view settingsText,
                              bool aligned) {
    std::string line = "A=" + std::string(CodingAlgorithm(output.Encoding())) +
                       ",F=" + std::to_string(output.sampleRate) +
                       ",W=" + std::to_string(WordLengthBits(output.Encoding())) +
                       ",M=mono,T=" + kProductNameAndVersion;
    if (!settingsText.empty()) line += "; " + std::string(settingsText);
    line += aligned ? "; aligned" : "; delayed " + std::to_string(kKernelDelay) + " samples";
    return line + "\r\n";
}

std::uint64_t OutputTimeReference(std::uint64_t input, int sampleRate, bool aligned) {
    if (aligned || input == 0) return input;
    const std::uint64_t day = kSecondsPerDay * static_cast<std::uint64_t>(std::max(sampleRate, 1));
    const std::uint64_t delay = kKernelDelay;
    return input >= delay ? input - delay : input + day - delay;
}

SoundMetadata CarryMetadata(const SoundMetadata& input, const SoundFormat& output,
                            std::string_view settingsText, bool aligned) {
    SoundMetadata carried;
    for (const TextEntry& entry : input.texts) {
        if (entry.field != TextField::Comment) carried.texts.push_back(entry);
    }
    if (input.broadcast) {
        BroadcastChunk chunk = *input.broadcast;
        std::string history = chunk.CodingHistory();
        if (!history.empty() && history.back() != '\n') history += "\r\n";
        history += CodingHistoryLine(output, settingsText, aligned);
        chunk.SetCodingHistory(history);
        chunk.SetTimeReference(
            OutputTimeReference(chunk.TimeReference(), output.sampleRate, aligned));
        carried.broadcast = std::move(chunk);
    }
    // A marked moment of the input is where its sound is in the output.
    for (CuePoint cue : input.cues) {
        if (!aligned) cue.positionFrames += static_cast<std::uint32_t>(kKernelDelay);
        carried.cues.push_back(std::move(cue));
    }
    carried.ixml = input.ixml;
    carried.otherInfo = input.otherInfo;
    return carried;
}

MetadataOutcome DescribeOutcome(const SoundMetadata& input, const StoredMetadata& stored) {
    MetadataOutcome outcome;
    for (const TextEntry& entry : input.texts) {
        const bool kept =
            std::find(stored.texts.begin(), stored.texts.end(), entry.field) != stored.texts.end();
        (kept ? outcome.kept : outcome.dropped).emplace_back(TextFieldName(entry.field));
    }
    if (input.broadcast)
        (stored.broadcast ? outcome.kept : outcome.dropped).emplace_back(kBroadcastName);
    if (!input.cues.empty()) (stored.cues ? outcome.kept : outcome.dropped).emplace_back("cue");
    if (input.ixml) (stored.ixml ? outcome.kept : outcome.dropped).emplace_back("iXML");
    for (const RawChunk& field : input.otherInfo)
        (stored.otherInfo ? outcome.kept : outcome.dropped).push_back("INFO:" + field.id);
    return outcome;
}

}  // namespace sonorel
