#pragma once
// The inputs of the scenes that run Go!: two synthetic 16-bit transfers,
// side-a.wav and side-b.wav, in a temporary folder with an empty "Restored"
// folder beside them for the outputs.

#include <filesystem>

#include <wx/arrstr.h>

#include "screenshot/session.h"

namespace sonorel::screenshot {

// Makes the folder (named after `prefix`) and the two files of `seconds`
// each. False when that failed; the session has been told why. `folder` is
// set as soon as it exists, so the caller can remove it either way.
bool MakeTransfers(Session& session, const char* prefix, double seconds,
                   std::filesystem::path& folder, wxArrayString& inputs);

}  // namespace sonorel::screenshot
