#include "pipeline/output_naming.h"

namespace sonorel {

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

std::unique_ptr<SoundWriter> CreateFirstFreeOutput(const OutputNaming& naming,
                                                   const SoundFormat& format,
                                                   const std::string& comment,
                                                   std::filesystem::path& chosen,
                                                   CreateStatus& status) {
    status = CreateStatus::Failed;
    for (int k = 0; k < kMaxOutputCandidates; ++k) {
        chosen = naming.Candidate(k);
        std::unique_ptr<SoundWriter> writer = SoundWriter::Create(chosen, format, comment, status);
        if (status != CreateStatus::Exists) return writer;
    }
    return nullptr;
}

}  // namespace sonorel
