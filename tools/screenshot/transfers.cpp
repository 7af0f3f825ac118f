#include "screenshot/transfers.h"

#include <stdlib.h>

#include <string>

#include "example_transfer.h"

namespace sonorel::screenshot {

bool MakeTransfers(Session& session, const char* prefix, double seconds,
                   std::filesystem::path& folder, wxArrayString& inputs) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        session.Fail("cannot make a temporary folder " + pattern);
        return false;
    }
    folder = pattern;
    std::filesystem::create_directories(folder / "Restored");
    for (const char* name : {"side-a.wav", "side-b.wav"}) {
        example::TransferOptions options;
        options.seconds = seconds;
        options.seed = inputs.size() + 1;
        const auto samples = example::SynthesiseTransfer(options);
        std::string error;
        if (!example::WriteWav16(folder / name, 2, options.sampleRate, samples, error)) {
            session.Fail(error);
            return false;
        }
        inputs.Add(wxString::FromUTF8((folder / name).string()));
    }
    return true;
}

}  // namespace sonorel::screenshot
