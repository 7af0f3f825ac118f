#include "report/report_line.h"

#include <unistd.h>

#include <array>
#include <ctime>
#include <nlohmann/json.hpp>

#include "settings/product.h"

namespace sonorel {
namespace {

using Json = nlohmann::ordered_json;

Json Path(const std::filesystem::path& path) {
    return path.empty() ? Json(nullptr) : Json(path.string());
}

Json Text(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

// 2024-05-01T12:34:56Z
std::string UtcTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text.data();
}

Json Settings(const ReportEntry& entry) {
    Json settings = Json::object();
    for (const SliderRange& r : kSliderRanges)
        settings[std::string(r.option)] = entry.settings.Get(r.slider);
    settings["function"] =
        entry.settings.channel_function == ChannelFunction::VocalRemover ? "vocal" : "mono";
    settings["method"] =
        entry.settings.method == RestorationMethod::Enhanced ? "enhanced" : "classic";
    settings["anti-phase"] = entry.settings.anti_phase;
    settings["keep-level"] = entry.settings.keep_original_level;
    settings["align"] = entry.align;
    settings["keep-metadata"] = entry.keepMetadata;
    return settings;
}

Json Format(const SoundFormat& format) {
    return {{"header", format.HeaderName()},
            {"encoding", format.EncodingName()},
            {"sample_rate", format.sampleRate},
            {"channels", format.channels},
            {"frames", format.frames}};
}

Json Enhanced(const EnhancedDerived& e) {
    return {{"click_threshold", e.clickThreshold},     {"suppression_db", e.suppressionDb},
            {"difference_weight", e.differenceWeight}, {"level_gain", e.levelGain},
            {"left_noise_db", e.leftNoiseDb},          {"right_noise_db", e.rightNoiseDb},
            {"quiet_segments", e.quietSegments}};
}

Json Derived(const DerivedParameters& derived) {
    if (derived.enhanced) {
        return {{"enhanced", Enhanced(*derived.enhanced)}, {"hiss_low_pass", derived.hissLowPass}};
    }
    const KernelParams& k = derived.kernel;
    return {{"wL", k.wL},
            {"wR", k.wR},
            {"nfL", k.nfL},
            {"nfR", k.nfR},
            {"click", k.click},
            {"rejuv", k.rejuv},
            {"hiss_low_pass", derived.hissLowPass}};
}

Json Counts(const RunSummary& summary) {
    const auto perChannel = [&summary](std::int64_t ChannelCounts::*count) {
        return Json{{"left", summary.channels[0].*count}, {"right", summary.channels[1].*count}};
    };
    return {{"blocks", summary.blocks},
            {"output_frames", summary.outputFrames},
            {"clicks_detected", perChannel(&ChannelCounts::clicksDetected)},
            {"samples_repaired", perChannel(&ChannelCounts::samplesRepaired)},
            {"failed_solves", perChannel(&ChannelCounts::failedSolves)}};
}

// Seconds of input per second of processing, for a file restored whole.
Json RealTimeFactor(const RunSummary& summary) {
    if (summary.result != RunResult::RunOk || !summary.input || summary.seconds <= 0.0 ||
        summary.input->sampleRate <= 0) {
        return nullptr;
    }
    const double inputSeconds =
        static_cast<double>(summary.input->frames) / summary.input->sampleRate;
    return inputSeconds / summary.seconds;
}

}  // namespace

std::string_view ResultName(RunResult result) {
    switch (result) {
        case RunResult::RunOk:
            return "ok";
        case RunResult::RunNotStereo:
            return "not-stereo";
        case RunResult::RunBadInput:
            return "bad-input";
        case RunResult::RunNoOutput:
            return "no-output";
        case RunResult::RunIncomplete:
            return "incomplete";
    }
    return "unknown";
}

std::string ReportLine(const ReportEntry& entry) {
    const RunSummary* s = entry.summary;
    Json line = {{"version", kProductNameAndVersion},
                 {"input", entry.input.string()},
                 {"output", s ? Path(s->output) : Path(entry.skippedOutput)},
                 {"picture", Path(entry.picture)},
                 {"input_sha256", Text(entry.inputSha256)},
                 {"output_sha256", Text(entry.outputSha256)},
                 {"result", entry.result},
                 {"message", entry.message},
                 {"format", s && s->input ? Format(*s->input) : Json(nullptr)},
                 {"lossy_again", entry.lossyAgain},
                 {"settings", Settings(entry)},
                 {"derived", s && s->derived ? Derived(*s->derived) : Json(nullptr)},
                 {"counts", s ? Counts(*s) : Json(nullptr)},
                 {"metadata", s && s->metadata ? Json{{"kept", s->metadata->kept},
                                                      {"dropped", s->metadata->dropped}}
                                               : Json(nullptr)},
                 {"seconds", s ? Json(s->seconds) : Json(nullptr)},
                 {"realtime_factor", s ? RealTimeFactor(*s) : Json(nullptr)},
                 {"host", entry.host},
                 {"finished", UtcTime(entry.finished)}};
    return line.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string HostName() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0) return {};
    return name.data();
}

}  // namespace sonorel
