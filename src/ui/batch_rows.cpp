#include "ui/batch_rows.h"

namespace sonorel {

BatchRow RowOfRun(const wxString& input, RunResult result, bool cancelled, const wxString& why,
                  const RunSummary& summary, const wxString& picture) {
    BatchRow row;
    row.input = input;
    if (result == RunResult::RunOk) {
        row.ending = BatchEnding::Restored;
    } else if (result == RunResult::RunIncomplete && cancelled) {
        row.ending = BatchEnding::Cancelled;
    } else {
        row.ending = BatchEnding::Failed;
        row.why = why;
    }
    row.output = wxString(summary.output.c_str(), *wxConvFileName);
    for (std::size_t wall = 0; wall < row.clicks.size(); ++wall)
        row.clicks[wall] = summary.channels[wall].clicksDetected;
    row.seconds = summary.seconds;
    row.picture = picture;
    return row;
}

BatchRow RowNotStarted(const wxString& input) {
    BatchRow row;
    row.input = input;
    return row;
}

wxString EndingText(const BatchRow& row) {
    switch (row.ending) {
        case BatchEnding::Restored:
            return "restored";
        case BatchEnding::Failed:
            return "failed: " + row.why;
        case BatchEnding::Cancelled:
            return "cancelled";
        case BatchEnding::NotStarted:
            break;
    }
    return "not started";
}

wxString TotalsText(const std::vector<BatchRow>& rows) {
    std::array<int, 4> counts{};
    for (const BatchRow& row : rows)
        ++counts[static_cast<std::size_t>(row.ending)];
    static constexpr std::array<const char*, 4> kNames = {"restored", "failed", "cancelled",
                                                          "not started"};
    wxString text = wxString::Format(rows.size() == 1 ? "%zu file:" : "%zu files:", rows.size());
    const char* separator = " ";
    for (std::size_t ending = 0; ending < counts.size(); ++ending) {
        if (counts[ending] == 0) continue;
        text += wxString::Format("%s%d %s", separator, counts[ending], kNames[ending]);
        separator = ", ";
    }
    return text + ".";
}

}  // namespace sonorel
