#include "cli/cli_app.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "cli/archive_records.h"
#include "cli/cli_options.h"
#include "cli/help_text.h"
#include "pipeline/playback.h"
#include "pipeline/result_messages.h"

namespace sonorel {

namespace {

namespace fs = std::filesystem;

int Refuse(std::ostream& err, const std::string& message) {
    err << kCliName << ": " << message << "\nTry '" << kCliName
        << " --help' for more information.\n";
    return kExitRefused;
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
    return ResolveFolder(text, "output folder", error);
}

// Prints each file's outcome in list order and counts the failures.
class Reporter : public BatchEvents {
  public:
    Reporter(const CliContext& context, ProgressBoard& board, RunKind kind, bool quiet,
             ArchiveRecords* records)
        : context_(context), board_(board), kind_(kind), quiet_(quiet), records_(records) {}

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
        } else if (outcome.result == RunResult::RunOk) {
            if (quiet_) return;
            board_.Print(context_.out, kind_ == RunKind::Preview
                                           ? name + ": preview played"
                                           : name + " -> " + outcome.output.string());
        } else {
            ++failures_;
            const std::string_view message = ResultMessage(outcome.result, kind_);
            std::string line = name + ": ";
            line += message.empty()
                        ? "failed with result " + std::to_string(static_cast<int>(outcome.result))
                        : std::string(message);
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
    std::optional<std::string> folder;
    if (!preview) {
        std::string error;
        folder = ResolveOutputFolder(*options.outputFolder, error);
        if (!folder) return Refuse(context.err, error);
    }

    std::optional<fs::path> pictureFolder;
    if (options.pictureFolder) {
        std::string error;
        const std::optional<std::string> resolved =
            ResolveFolder(*options.pictureFolder, "picture folder", error);
        if (!resolved) return Refuse(context.err, error);
        pictureFolder = *resolved;
    }
    // Last of the checks: it may create the report file.
    std::unique_ptr<ArchiveRecords> records;
    if (!preview) {
        std::string error;
        records = ArchiveRecords::Open(options, pictureFolder, options.inputs.size(), error);
        if (!records) return Refuse(context.err, error);
    }
    // A preview plays through the one sound output: one file at a time.
    const int jobs = preview ? 1 : options.jobs.value_or(DefaultJobCount());
    const int threads = options.threadsPerFile.value_or(
        ThreadsPerFile(DefaultJobCount(), jobs, options.inputs.size()));

    std::vector<BatchItem> items;
    items.reserve(options.inputs.size());
    const RunParameters params = options.settings.Convert();
    for (const std::string& input : options.inputs) {
        BatchItem item;
        item.displayName = input;
        item.request.input = input;
        item.request.params = params;
        item.request.threads = threads;
        if (preview) {
            item.request.kind = RunKind::Preview;
        } else {
            item.request.kind = RunKind::Restore;
            item.request.output = NameOutputFor(input, *folder);
            records->Prepare(items.size(), item.request);
        }
        items.push_back(std::move(item));
    }

    const bool bars = context.errIsTerminal && !options.quiet;
    ProgressBoard board(bars ? &context.err : nullptr, context.terminalColumns);
    Reporter reporter(context, board, preview ? RunKind::Preview : RunKind::Restore, options.quiet,
                      records.get());
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
    return reporter.Failures() > 0 ? kExitSomeFailed : kExitAllDone;
}

}  // namespace sonorel
