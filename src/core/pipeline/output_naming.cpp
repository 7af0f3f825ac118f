#include "pipeline/output_naming.h"

#include <set>
#include <system_error>

#include "soundfile/no_replace_rename.h"

namespace sonorel {
namespace {

// Temporary names tried for one output before giving up; more would only be
// left by that many killed runs of the same file.
constexpr int kMaxPartialAttempts = 1000;

// The longest file name (in bytes) of the usual file systems.
constexpr std::size_t kMaxNameBytes = 255;

// Taken by anything, a dangling link included.
bool Taken(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() !=
           std::filesystem::file_type::not_found;
}

}  // namespace

std::filesystem::path OutputNaming::Candidate(int k) const {
    std::string name = base;
    if (k > 0) name += "-" + std::to_string(k);
    name += extension;
    return folder / name;
}

OutputNaming NameOutputFor(const std::filesystem::path& input,
                           const std::string& outputFolderText) {
    OutputNaming naming;
    naming.folder =
        outputFolderText == "." ? input.parent_path() : std::filesystem::path(outputFolderText);
    // A leading dot starts a hidden name, not an extension: ".profile" has
    // base ".profile" and no extension; "side1.wav" has base "side1".
    naming.base = input.stem().string();
    naming.extension = input.extension().string();
    return naming;
}

void ReserveOutputNames(std::span<OutputNaming> namings, bool countExisting) {
    std::set<std::filesystem::path> reserved;
    for (OutputNaming& naming : namings) {
        int k = naming.firstCandidate;
        while (k + 1 < kMaxOutputCandidates &&
               (reserved.contains(naming.Candidate(k).lexically_normal()) ||
                (countExisting && Taken(naming.Candidate(k))))) {
            ++k;
        }
        naming.firstCandidate = k;
        reserved.insert(naming.Candidate(k).lexically_normal());
    }
}

std::filesystem::path PartialName(const std::filesystem::path& finalName, int attempt) {
    std::string name = "." + finalName.filename().string();
    std::string suffix = attempt > 0 ? "." + std::to_string(attempt) : std::string();
    suffix += ".partial";
    // A final name near the file system's limit gets a shortened partial
    // name, cut at a character boundary (the exclusive creation keeps it
    // distinct from any other).
    if (name.size() + suffix.size() > kMaxNameBytes) {
        std::size_t keep = kMaxNameBytes - suffix.size();
        while (keep > 1 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
            --keep;
        name.resize(keep);
    }
    return finalName.parent_path() / (name + suffix);
}

std::unique_ptr<SoundWriter> CreateFirstFreeOutput(const OutputNaming& naming,
                                                   const SoundFormat& format,
                                                   const std::string& comment,
                                                   std::filesystem::path& chosen,
                                                   CreateStatus& status) {
    status = CreateStatus::Exists;
    int k = naming.firstCandidate;
    while (k < kMaxOutputCandidates && Taken(naming.Candidate(k)))
        ++k;
    if (k >= kMaxOutputCandidates) {
        chosen = naming.Candidate(kMaxOutputCandidates - 1);
        return nullptr;
    }
    chosen = naming.Candidate(k);
    std::unique_ptr<SoundWriter> writer;
    for (int attempt = 0; attempt < kMaxPartialAttempts; ++attempt) {
        writer = SoundWriter::Create(PartialName(chosen, attempt), format, comment, status);
        if (status != CreateStatus::Exists) break;
    }
    if (!writer) {
        if (status == CreateStatus::Exists) status = CreateStatus::Failed;
        return nullptr;
    }
    writer->CommitOnClose([naming, k](const std::filesystem::path& written) {
        for (int j = k; j < kMaxOutputCandidates; ++j) {
            std::filesystem::path final = naming.Candidate(j);
            switch (RenameWithoutReplacing(written, final)) {
                case RenameStatus::Renamed:
                    return final;
                case RenameStatus::Exists:
                    continue;
                case RenameStatus::Failed:
                    return std::filesystem::path();
            }
        }
        return std::filesystem::path();
    });
    return writer;
}

}  // namespace sonorel
