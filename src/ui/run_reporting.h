#pragma once
// What Go! and Preview share around their per-file runs: the status text of
// the file in hand, each command's words for a failed run, and the question
// that follows a failure.

#include <filesystem>

#include <wx/string.h>

#include "pipeline/run_result.h"

class wxWindow;

namespace sonorel {

inline constexpr const char* kInputGoneMessage = "Input file no longer exists";

// "Processing 2 of 5..." for file `number` (from 1) of `count`.
wxString ProcessingStatus(int number, int count);

// The message for a result of Go! on the file `input`, empty for RunOk and
// unknown values. An input that could not be opened because it is gone says
// that it no longer exists.
wxString StartFailureText(RunResult result, const wxString& input);

// The same for Preview: no output file there, so "no output" is a playback
// problem and "incomplete" a cancel.
wxString PreviewFailureText(RunResult result, const wxString& input);

// After a failure of the file `input` with message `text`: when more files
// follow, asks "Continue Sonorel?" and returns whether the answer was Yes;
// after the last file, only reports it in a box captioned `stoppedCaption`
// with `stoppedIcon` (wxICON_EXCLAMATION, wxICON_INFORMATION) and returns
// false. The full path of `named` (the input, or the incomplete output)
// follows the sentence on a line of its own.
bool ReportFailure(wxWindow* parent, const wxString& text, const wxString& named, bool moreFollow,
                   const wxString& stoppedCaption, long stoppedIcon);

// A list entry or a typed folder as a path, in the file system's encoding.
std::filesystem::path ToPath(const wxString& text);

}  // namespace sonorel
