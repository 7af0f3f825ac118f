#include "cli/cli_options.h"

#include <sched.h>

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <thread>
#include <utility>
#include <variant>

#include "cli/wizard_option.h"
#include "settings/equals_ignoring_case.h"
#include "settings/presets.h"

namespace sonorel {

namespace {

// A whole decimal number with an optional sign, nothing else around it.
std::optional<long long> ParseWholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string RangeHint(const SliderRange& r) {
    return "give a whole number from " + std::to_string(r.minimum) + " to " +
           std::to_string(r.maximum) + " (" + std::string(r.group) + ", default " +
           std::to_string(r.defaultValue) + ")";
}

// Walks the arguments; each handler reads its value through TakeValue so that
// "--click 7" and "--click=7" behave alike.
class Parser {
  public:
    explicit Parser(std::span<const std::string> args) : args_(args) {}

    ParsedCommandLine Run() {
        bool optionsEnded = false;
        while (next_ < args_.size() && result_.Ok()) {
            const std::string& arg = args_[next_++];
            if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
                result_.options.inputs.push_back(arg);
            } else if (arg == "--") {
                optionsEnded = true;
            } else if (arg.starts_with("--")) {
                LongOption(arg);
                if (finished_) return result_;
            } else {
                ShortOption(arg);
                if (finished_) return result_;
            }
        }
        if (result_.Ok()) CheckCompleteness();
        return result_;
    }

  private:
    void Fail(std::string message) {
        if (result_.Ok()) result_.error = std::move(message);
    }

    void Finish(CliAction action) {
        result_.options.action = action;
        finished_ = true;
    }

    // The value of the current option: the text after "=", or the next argument.
    std::optional<std::string> TakeValue(const std::string& display,
                                         const std::optional<std::string>& attached,
                                         const std::string& whatItTakes) {
        if (attached) return attached;
        if (next_ < args_.size()) return args_[next_++];
        Fail("option " + display + " needs a value: " + whatItTakes);
        return std::nullopt;
    }

    void RefuseAttachedValue(const std::string& name, const std::optional<std::string>& attached) {
        if (attached) Fail("option --" + name + " takes no value");
    }

    void LongOption(const std::string& arg) {
        std::string name = arg.substr(2);
        std::optional<std::string> attached;
        if (const std::size_t eq = name.find('='); eq != std::string::npos) {
            attached = name.substr(eq + 1);
            name.resize(eq);
        }

        for (const SliderRange& r : kSliderRanges) {
            if (name == r.option) {
                SliderOption(r, attached);
                return;
            }
        }

        CliOptions& o = result_.options;
        if (name == "help" || name == "version" || name == "list-categories") {
            RefuseAttachedValue(name, attached);
            Finish(name == "help"      ? CliAction::Help
                   : name == "version" ? CliAction::Version
                                       : CliAction::ListCategories);
        } else if (name == "function") {
            FunctionOption(attached);
        } else if (name == "method") {
            MethodOption(attached);
        } else if (name == "anti-phase" || name == "no-anti-phase") {
            RefuseAttachedValue(name, attached);
            o.settings.anti_phase = (name == "anti-phase");
        } else if (name == "keep-level" || name == "no-keep-level") {
            RefuseAttachedValue(name, attached);
            o.settings.keep_original_level = (name == "keep-level");
        } else if (name == "wizard") {
            WizardOption(attached);
        } else if (name == "output") {
            OutputOption("--output", attached);
        } else if (name == "jobs") {
            CountOption("--jobs", attached, result_.options.jobs);
        } else if (name == "threads-per-file") {
            CountOption("--threads-per-file", attached, result_.options.threadsPerFile);
        } else if (name == "preview") {
            RefuseAttachedValue(name, attached);
            o.action = CliAction::Preview;
        } else if (name == "quiet") {
            RefuseAttachedValue(name, attached);
            o.quiet = true;
        } else if (name == "report") {
            o.reportFile = PathValue("--report", attached, "the report file (JSON Lines)");
        } else if (name == "picture") {
            o.pictureFolder = PathValue("--picture", attached, "the folder for the pictures");
        } else if (name == "format") {
            FormatOption(attached);
        } else if (name == "bits") {
            BitsOption(attached);
        } else if (name == "recursive") {
            RefuseAttachedValue(name, attached);
            o.recursive = true;
        } else if (name == "dry-run") {
            RefuseAttachedValue(name, attached);
            o.dryRun = true;
        } else if (name == "share") {
            ShareOption(attached);
        } else if (name == "skip-existing") {
            RefuseAttachedValue(name, attached);
            o.skipExisting = true;
        } else if (name == "raw") {
            RefuseAttachedValue(name, attached);
            o.raw = true;
        } else if (name == "align") {
            RefuseAttachedValue(name, attached);
            o.align = true;
        } else if (name == "keep-metadata" || name == "no-metadata") {
            RefuseAttachedValue(name, attached);
            o.keepMetadata = name == "keep-metadata";
            o.keepMetadataGiven = o.keepMetadata;
        } else {
            Fail("unknown option \"" + arg + "\"");
        }
    }

    // -o FOLDER, -oFOLDER, -j N, -jN, -q, -h, -V.
    void ShortOption(const std::string& arg) {
        const char letter = arg[1];
        std::optional<std::string> attached;
        if (arg.size() > 2) attached = arg.substr(2);
        switch (letter) {
            case 'o':
                OutputOption("-o", attached);
                return;
            case 'j':
                CountOption("-j", attached, result_.options.jobs);
                return;
            default:
                break;
        }
        if (attached) {
            Fail("unknown option \"" + arg + "\"");
            return;
        }
        switch (letter) {
            case 'q':
                result_.options.quiet = true;
                return;
            case 'r':
                result_.options.recursive = true;
                return;
            case 'h':
                Finish(CliAction::Help);
                return;
            case 'V':
                Finish(CliAction::Version);
                return;
            default:
                Fail("unknown option \"" + arg + "\"");
        }
    }

    void SliderOption(const SliderRange& r, const std::optional<std::string>& attached) {
        const std::string display = "--" + std::string(r.option);
        const auto text = TakeValue(display, attached, RangeHint(r));
        if (!text) return;
        const std::optional<long long> value = ParseWholeNumber(*text);
        if (!value) {
            Fail(display + " \"" + *text + "\" is not a whole number: " + RangeHint(r));
        } else if (*value < r.minimum || *value > r.maximum) {
            Fail(display + " " + *text + " is out of range: " + RangeHint(r));
        } else {
            result_.options.settings.Set(r.slider, static_cast<int>(*value));
        }
    }

    // An option whose value is one of a few names (any letter case).
    template <typename Value>
    void ChoiceOption(const std::string& display, const std::optional<std::string>& attached,
                      const std::string& hint, const std::string& what,
                      std::initializer_list<std::pair<const char*, Value>> names, Value& target) {
        const auto text = TakeValue(display, attached, hint);
        if (!text) return;
        for (const auto& [name, value] : names) {
            if (EqualsIgnoringCase(*text, name)) {
                target = value;
                return;
            }
        }
        Fail(display + " \"" + *text + "\" is not " + what + ": give " + hint);
    }

    void FunctionOption(const std::optional<std::string>& attached) {
        ChoiceOption(
            "--function", attached, "mono (Mono Enhancer, the default) or vocal (Vocal Remover)",
            "a channel function",
            {{"mono", ChannelFunction::MonoEnhancer}, {"vocal", ChannelFunction::VocalRemover}},
            result_.options.settings.channel_function);
    }

    void MethodOption(const std::optional<std::string>& attached) {
        ChoiceOption(
            "--method", attached, "classic (the default) or enhanced", "a restoration method",
            {{"classic", RestorationMethod::Classic}, {"enhanced", RestorationMethod::Enhanced}},
            result_.options.settings.method);
    }

    void WizardOption(const std::optional<std::string>& attached) {
        const auto text = TakeValue("--wizard", attached, "CATEGORY,EQ,HISS,CLICKS,WEAR");
        if (!text) return;
        auto parsed = ParseWizardAnswers(*text);
        if (auto* message = std::get_if<std::string>(&parsed)) {
            Fail(*message);
            return;
        }
        ApplyPreset(std::get<WizardAnswers>(parsed), result_.options.settings);
    }

    void OutputOption(const std::string& display, const std::optional<std::string>& attached) {
        result_.options.outputFolder =
            PathValue(display, attached, "the output folder (\".\": beside each input)");
    }

    // A file or folder name; never empty.
    std::optional<std::string> PathValue(const std::string& display,
                                         const std::optional<std::string>& attached,
                                         const std::string& whatItTakes) {
        auto text = TakeValue(display, attached, whatItTakes);
        if (text && text->empty()) {
            Fail("option " + display + " needs a name, not an empty text: " + whatItTakes);
            return std::nullopt;
        }
        return text;
    }

    // A count of jobs or threads, 1 to kMaxJobs.
    void CountOption(const std::string& display, const std::optional<std::string>& attached,
                     std::optional<int>& count) {
        const std::string hint = "a whole number from 1 to " + std::to_string(kMaxJobs);
        const auto text = TakeValue(display, attached, hint);
        if (!text) return;
        const std::optional<long long> value = ParseWholeNumber(*text);
        if (!value) {
            Fail(display + " \"" + *text + "\" is not a whole number: give " + hint);
        } else if (*value < 1 || *value > kMaxJobs) {
            Fail(display + " " + *text + " is out of range: give " + hint);
        } else {
            count = static_cast<int>(*value);
        }
    }

    void FormatOption(const std::optional<std::string>& attached) {
        ChoiceOption("--format", attached, "same (the input's, the default), wav or flac",
                     "an output format",
                     {{"same", OutputHeader::Same},
                      {"wav", OutputHeader::Wav},
                      {"flac", OutputHeader::Flac}},
                     result_.options.header);
    }

    void BitsOption(const std::optional<std::string>& attached) {
        ChoiceOption("--bits", attached, "same (the input's, the default), 16, 24 or float",
                     "a sample format",
                     {{"same", OutputBits::Same},
                      {"16", OutputBits::Pcm16},
                      {"24", OutputBits::Pcm24},
                      {"float", OutputBits::Float}},
                     result_.options.bits);
    }

    // --share K/N, 1 <= K <= N <= kMaxShares.
    void ShareOption(const std::optional<std::string>& attached) {
        const std::string hint =
            "K/N, the K-th of N shares, 1 <= K <= N <= " + std::to_string(kMaxShares) +
            " (for example 2/8)";
        const auto text = TakeValue("--share", attached, hint);
        if (!text) return;
        const std::size_t slash = text->find('/');
        const std::optional<long long> index =
            slash == std::string::npos ? std::nullopt : ParseWholeNumber(text->substr(0, slash));
        const std::optional<long long> count =
            slash == std::string::npos ? std::nullopt : ParseWholeNumber(text->substr(slash + 1));
        if (!index || !count || *index < 1 || *count < *index || *count > kMaxShares) {
            Fail("--share \"" + *text + "\" is not a share: give " + hint);
            return;
        }
        result_.options.shareIndex = static_cast<int>(*index);
        result_.options.shareCount = static_cast<int>(*count);
    }

    void CheckCompleteness() {
        const CliOptions& o = result_.options;
        if (o.inputs.empty()) {
            Fail("no input files given");
        } else if (o.action == CliAction::Restore && !o.outputFolder) {
            Fail(
                "no output folder given: add -o FOLDER (or -o . to write each output beside its "
                "input)");
        } else if (o.header == OutputHeader::Flac && o.bits == OutputBits::Float) {
            Fail(
                "--bits float cannot be stored in FLAC, which holds whole numbers: give "
                "--bits 16 or 24, or --format wav");
        } else if (o.action == CliAction::Preview) {
            const char* archiveOption = o.dryRun                         ? "--dry-run"
                                        : o.skipExisting                 ? "--skip-existing"
                                        : o.header != OutputHeader::Same ? "--format"
                                        : o.bits != OutputBits::Same     ? "--bits"
                                        : o.reportFile                   ? "--report"
                                        : o.pictureFolder                ? "--picture"
                                        : o.align                        ? "--align"
                                        : o.keepMetadataGiven            ? "--keep-metadata"
                                                                         : nullptr;
            if (archiveOption != nullptr) {
                Fail(std::string(archiveOption) +
                     " is about restored files and does nothing with --preview: leave one of "
                     "the two out");
            }
        }
    }

    std::span<const std::string> args_;
    std::size_t next_ = 0;
    bool finished_ = false;
    ParsedCommandLine result_;
};

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::string> args) {
    return Parser(args).Run();
}

int DefaultJobCount() {
    // The cores this process may run on (taskset, container limits), as nproc
    // counts them; all cores of the machine when that cannot be asked.
    int cores = 0;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) cores = CPU_COUNT(&allowed);
    if (cores <= 0) cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, kMaxJobs);
}

int ThreadsPerFile(int cores, int jobs, std::size_t files) {
    const std::size_t atOnce = std::clamp<std::size_t>(files, 1, static_cast<std::size_t>(jobs));
    return std::max(1, cores / static_cast<int>(atOnce));
}

}  // namespace sonorel
