#pragma once
// One row per file of a Go! for the summary shown after it: how the file
// ended, where its output went, what the kernel repaired and how long it
// took.

#include <array>
#include <cstdint>
#include <vector>

#include <wx/string.h>

#include "pipeline/run_result.h"
#include "pipeline/run_summary.h"

namespace sonorel {

enum class BatchEnding { Restored, Failed, Cancelled, NotStarted };

struct BatchRow {
    wxString input;  // the full path
    BatchEnding ending = BatchEnding::NotStarted;
    wxString why;                          // for a failed file: the program's message
    wxString output;                       // the file the run made (or began); empty if none
    std::array<std::int64_t, 2> clicks{};  // clicks repaired in the left and the right wall
    double seconds = 0.0;                  // the run, wall clock
    wxString picture;                      // the picture written beside the output, if any
};

// The row of a file that ran, from its result, whether the user cancelled
// it, the message Go! showed for a failure, and its run's summary.
BatchRow RowOfRun(const wxString& input, RunResult result, bool cancelled, const wxString& why,
                  const RunSummary& summary, const wxString& picture);

// The row of a file left out after the user stopped the batch.
BatchRow RowNotStarted(const wxString& input);

// The Result column: "restored", "failed: WHY", "cancelled", "not started".
wxString EndingText(const BatchRow& row);

// The summary's line under the table: "3 files: 2 restored, 1 failed."
wxString TotalsText(const std::vector<BatchRow>& rows);

}  // namespace sonorel
