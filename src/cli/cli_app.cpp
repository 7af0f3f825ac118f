#include "cli/cli_app.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "cli/archive_records.h"
#include "cli/cli_options.h"
#include "cli/help_text.h"
#include "cli/input_tree.h"
#include "cli/skip_existing.h"
#include "pipeline/playback.h"
#include "pipeline/result_messages.h"
#include "settings/settings_text.h"

namespace sonorel {

namespace {

namespace fs = std::filesystem;

int Refuse(std::ostream& err, const std::string& message) {
    err << kCliName << ": " << message << "\nTry '" << kCliName
        << " --help' for more information.\n";
    return kExitRefused;
}

// The file a run made, or the name it was to take.
fs::path OutputOrFirstChoice(const BatchItem& item, const FileOutcome& outcome) {
    return outcome.output.empty() ? item.request.output.Candidate(0) : outcome.output;
}

// Output names follow the list order, whichever job finishes first: each
// input gets the first name that neither exists now nor went to an earlier
// input of the list.
void ReserveNamesInListOrder(std::vector<BatchItem>& items) {
    std::vector<OutputNaming> namings;
    std::vector<std::size_t> owners;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].skipAs.empty()) continue;
        namings.push_back(items[i].request.output);
        owners.push_back(i);
    }
    ReserveOutputNames(namings);
    for (std::size_t n = 0; n < namings.size(); ++n)
        items[owners[n]].request.output = namings[n];
}

// --skip-existing: an input is skipped when its own name (the first choice,
// after the inputs before it in the list took theirs) is a finished output.
void SkipFinishedOutputs(std::vector<BatchItem>& items, bool aligned) {
    std::vector<OutputNaming> own;
    own.reserve(items.size());
    for (const BatchItem& item : items) {
        own.push_back(item.request.output);
        // Beside its input ("-o ."), the first name is the input itself.
        std::error_code ec;
        if (fs::equivalent(own.back().Candidate(0), item.request.input, ec)) {
            own.back().firstCandidate = 1;
        }
    }
    ReserveOutputNames(own, false);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const fs::path firstChoice = own[i].Candidate(own[i].firstCandidate);
        if (IsFinishedOutput(items[i].request.input, firstChoice, aligned, items[i].request.raw)) {
            items[i].skipAs = firstChoice;
        }
    }
}

// Whether new files can be made in `folder`; otherwise `error` says why.
bool CheckWritable(const std::string& folder, std::string& error) {
    if (::access(folder.c_str(), W_OK | X_OK) == 0) return true;
    error = "output folder \"" + folder + "\" is not writable: " + std::strerror(errno);
    return false;
}

// The folder as an absolute, normalised path ("~/" at the start means the
// home folder), or a refusal when it is not an existing folder. `what` names
// it in the refusal.
std::optional<std::string> ResolveFolder(const std::string& text, const std::string& what,
                                         std::string& error) {
    fs::path folder = text;
    if (text == "~" || text.starts_with("~/")) {
        if (const char* home = std::getenv("HOME"); home && *home) {
            folder = fs::path(home) / text.substr(text.size() > 1 ? 2 : 1);
        }
    }
    std::error_code ec;
    folder = fs::absolute(folder, ec).lexically_normal();
    if (ec) {
        error = what + " \"" + text + "\" cannot be resolved: " + ec.message();
        return std::nullopt;
    }
    const fs::file_status status = fs::status(folder, ec);
    if (status.type() == fs::file_type::not_found) {
        error = what + " \"" + folder.string() +
                "\" does not exist; create it first (for example with mkdir -p)";
        return std::nullopt;
    }
    if (ec) {
        error = what + " \"" + folder.string() + "\" cannot be examined: " + ec.message();
        return std::nullopt;
    }
    if (status.type() != fs::file_type::directory) {
        error = what + " \"" + folder.string() + "\" is not a folder";
        return std::nullopt;
    }
    std::string resolved = folder.string();
    // lexically_normal keeps a trailing separator; the naming rule wants the folder.
    if (resolved.size() > 1 && resolved.back() == '/') resolved.pop_back();
    return resolved;
}

// The output folder: "." is kept, it means beside each input.
std::optional<std::string> ResolveOutputFolder(const std::string& text, std::string& error) {
    if (text == ".") return text;
    std::optional<std::string> folder = ResolveFolder(text, "output folder", error);
    if (folder && !CheckWritable(*folder, error)) return std::nullopt;
    return folder;
}

// Makes the output folders of a mirrored tree; false, having said why, when
// one cannot be made.
bool CreateMirroredFolders(const std::vector<BatchItem>& items, std::ostream& err) {
    for (const BatchItem& item : items) {
        std::error_code ec;
        const fs::path& folder = item.request.output.folder;
        if (folder.empty() || fs::is_directory(folder, ec)) continue;
        fs::create_directories(folder, ec);
        if (ec) {
            Refuse(err,
                   "output folder \"" + folder.string() + "\" cannot be created: " + ec.message());
            return false;
        }
    }
    return true;
}

// --dry-run: per input, what it is, the output it would get and the
// settings, or why it would be refused. Creates nothing. Exit 1 when some
// input would fail.
int PrintDryRun(const std::vector<BatchItem>& items, const CliOptions& options,
                const CliContext& context, std::size_t notSound) {
    const std::string settings = DescribeSettings(options.settings);
    int refused = 0;
    for (const BatchItem& item : items) {
        const std::string cause = InputCause(item.request.input, item.request.raw);
        if (!cause.empty()) {
            ++refused;
            context.err << item.displayName << ": would be refused: " << cause << "\n";
            continue;
        }
        const std::unique_ptr<SoundReader> reader =
            SoundReader::Open(item.request.input, {}, item.request.raw);
        const SoundFormat& f = reader->Format();
        context.out << item.displayName;
        if (!item.skipAs.empty()) {
            context.out << ": would be skipped, " << item.skipAs.string()
                        << " is already restored\n";
            continue;
        }
        if (options.action == CliAction::Preview) {
            context.out << ": would be previewed";
        } else {
            context.out
                << " -> "
                << item.request.output.Candidate(item.request.output.firstCandidate).string();
        }
        context.out << " (" << f.HeaderName() << ", " << f.EncodingName() << ", " << f.sampleRate
                    << " Hz, " << f.frames << " frames; " << settings << ")\n";
    }
    if (notSound > 0 && !options.quiet) {
        context.err << kCliName << ": " << notSound
                    << " files that are not sound files would be skipped\n";
    }
    return refused > 0 ? kExitSomeFailed : kExitAllDone;
}

// Prints each file's outcome in list order and counts the failures.
class Reporter : public BatchEvents {
  public:
    // `done` receives the lines of the files restored or skipped.
    Reporter(const CliContext& context, std::ostream& done, ProgressBoard& board, RunKind kind,
             bool quiet, ArchiveRecords* records)
        : context_(context),
          done_(done),
          board_(board),
          kind_(kind),
          quiet_(quiet),
          records_(records) {}

    void FileDone(std::size_t index, const BatchItem& item, const FileOutcome& outcome) override {
        const int failuresBefore = failures_;
        PrintOutcome(item, outcome);
        if (records_ == nullptr) return;
        const std::vector<std::string> problems = records_->Finish(index, item, outcome);
        for (const std::string& problem : problems)
            board_.Print(context_.err, item.displayName + ": " + problem);
        // A file counts once, however many things went wrong with it.
        if (!problems.empty() && failures_ == failuresBefore) ++failures_;
    }

    void PrintOutcome(const BatchItem& item, const FileOutcome& outcome) {
        const std::string& name = item.displayName;
        if (!outcome.started) {
            ++failures_;
            board_.Print(context_.err, name + ": not started (cancelled)");
        } else if (!outcome.internalError.empty()) {
            ++failures_;
            board_.Print(context_.err, name + ": internal error: " + outcome.internalError);
        } else if (outcome.skipped) {
            if (quiet_) return;
            board_.Print(done_,
                         name + ": skipped, " + outcome.output.string() + " is already restored");
        } else if (outcome.result == RunResult::RunOk) {
            if (quiet_) return;
            board_.Print(done_, kind_ == RunKind::Preview
                                    ? name + ": preview played"
                                    : name + " -> " + outcome.output.string());
        } else {
            ++failures_;
            const std::string message =
                ExplainedResultMessage(outcome.result, kind_, item.request.input, item.request.raw,
                                       OutputOrFirstChoice(item, outcome));
            std::string line = name + ": ";
            line += message.empty()
                        ? "failed with result " + std::to_string(static_cast<int>(outcome.result))
                        : message;
            // Say which shorter file was left behind.
            if (!outcome.output.empty()) line += " (" + outcome.output.string() + ")";
            board_.Print(context_.err, line);
        }
    }

    void CancelSeen() override {
        if (quiet_) return;
        board_.Print(context_.err,
                     std::string(kCliName) +
                         ": cancelling: the running files stop at the next block and no "
                         "further file starts (Ctrl-C again ends at once)");
    }

    int Failures() const { return failures_; }

  private:
    const CliContext& context_;
    std::ostream& done_;
    ProgressBoard& board_;
    RunKind kind_;
    bool quiet_;
    ArchiveRecords* records_;
    int failures_ = 0;
};

}  // namespace

int RunCli(std::span<const std::string> args, const CliContext& context) {
    const ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.Ok()) return Refuse(context.err, parsed.error);
    const CliOptions& options = parsed.options;

    switch (options.action) {
        case CliAction::Help:
            context.out << HelpText(DefaultJobCount());
            return kExitAllDone;
        case CliAction::Version:
            context.out << VersionText();
            return kExitAllDone;
        case CliAction::ListCategories:
            context.out << CategoryListText();
            return kExitAllDone;
        case CliAction::Restore:
        case CliAction::Preview:
            break;
    }

    const bool preview = options.action == CliAction::Preview;
    const RawInput raw = options.raw ? RawInput::Always : RawInput::ByName;
    std::optional<std::string> folder;
    if (!preview) {
        std::string error;
        folder = ResolveOutputFolder(*options.outputFolder, error);
        if (!folder) return Refuse(context.err, error);
    }
    std::string expandError;
    const std::optional<InputList> inputs = ExpandInputs(
        options.inputs, options.recursive,
        Share{.index = options.shareIndex, .count = options.shareCount}, raw, expandError);
    if (!inputs) return Refuse(context.err, expandError);

    std::optional<fs::path> pictureFolder;
    if (options.pictureFolder && !options.dryRun) {
        std::string error;
        const std::optional<std::string> resolved =
            ResolveFolder(*options.pictureFolder, "picture folder", error);
        if (!resolved) return Refuse(context.err, error);
        pictureFolder = *resolved;
    }
    // Last of the checks: it may create the report file.
    std::unique_ptr<ArchiveRecords> records;
    if (!preview && !options.dryRun) {
        std::string error;
        records =
            ArchiveRecords::Open(options, pictureFolder, inputs->files.size(), context.out, error);
        if (!records) return Refuse(context.err, error);
    }
    // A preview plays through the one sound output: one file at a time.
    const int jobs = preview ? 1 : options.jobs.value_or(DefaultJobCount());
    const int threads = options.threadsPerFile.value_or(
        ThreadsPerFile(DefaultJobCount(), jobs, inputs->files.size()));

    std::vector<BatchItem> items;
    items.reserve(inputs->files.size());
    const RunParameters params = options.settings.Convert();
    for (const InputFile& input : inputs->files) {
        BatchItem item;
        item.displayName = input.path;
        item.request.input = input.path;
        item.request.raw = raw;
        item.request.params = params;
        item.request.threads = threads;
        if (preview) {
            item.request.kind = RunKind::Preview;
        } else {
            item.request.kind = RunKind::Restore;
            item.request.output = NameOutputFor(input.path, *folder);
            // A converted output is named for what it is.
            if (options.header == OutputHeader::Wav) item.request.output.extension = ".wav";
            if (options.header == OutputHeader::Flac) item.request.output.extension = ".flac";
            // "-o ." writes beside each input, which mirrors any tree already.
            if (*folder != ".") item.request.output.folder /= input.subfolder;
            if (records) records->Prepare(items.size(), item.request);
        }
        items.push_back(std::move(item));
    }
    if (!preview) {
        if (options.skipExisting) SkipFinishedOutputs(items, options.align);
        ReserveNamesInListOrder(items);
    }
    // Under -r: what is not a sound file is named once and counted.
    if (!options.quiet) {
        for (const std::string& name : inputs->notSound)
            context.err << name << ": skipped: " << DescribeOpenProblem(OpenProblem::NotSound)
                        << "\n";
    }
    if (options.dryRun) return PrintDryRun(items, options, context, inputs->notSound.size());
    if (!preview && !CreateMirroredFolders(items, context.err)) return kExitRefused;
    // With the report on standard output, nothing else goes there.
    std::ostream& doneStream =
        records && records->ReportsToStandardOutput() ? context.err : context.out;
    const bool bars = context.errIsTerminal && !options.quiet;
    ProgressBoard board(bars ? &context.err : nullptr, context.terminalColumns);
    Reporter reporter(context, doneStream, board, preview ? RunKind::Preview : RunKind::Restore,
                      options.quiet, records.get());
    // A preview is processed into its buffer, then played on the sound output.
    const FileRunner processThenPlay = [&context](const RunRequest& request, RunObserver& observer,
                                                  std::filesystem::path* created) {
        if (context.previewOutput == nullptr) return RunResult::RunNoOutput;
        PreviewBuffer buffer;
        RunRequest into = request;
        into.preview = &buffer;
        const RunResult result = context.runner(into, observer, created);
        if (result != RunResult::RunOk) return result;
        return PlayPreview(*context.previewOutput, observer, buffer);
    };
    RunBatch(items, jobs, preview ? processThenPlay : context.runner, board, context.cancel,
             reporter);

    if (reporter.Failures() > 0 && items.size() > 1) {
        // Failed, cancelled or never started: what the exit status 1 is about.
        board.Print(context.err, std::string(kCliName) + ": " +
                                     std::to_string(reporter.Failures()) + " of " +
                                     std::to_string(items.size()) + " files were not " +
                                     (preview ? "played to the end" : "restored"));
    }
    if (!inputs->notSound.empty() && !options.quiet) {
        board.Print(context.err, std::string(kCliName) + ": " +
                                     std::to_string(inputs->notSound.size()) +
                                     " files that are not sound files were skipped");
    }
    return reporter.Failures() > 0 ? kExitSomeFailed : kExitAllDone;
}

}  // namespace sonorel
