// Preview: the start of each selected file (or of every file) processed with
// the current settings and played.

#include <algorithm>
#include <memory>

#include <wx/listbox.h>
#include <wx/statusbr.h>

#include "pipeline/playback.h"
#include "pipeline/process_file.h"
#include "pipeline/run_threads.h"
#include "portaudio/portaudio_output.h"
#include "ui/gui_run_observer.h"
#include "ui/my_event_frame.h"
#include "ui/run_reporting.h"

namespace sonorel {

void MyEventFrame::OnPreview(wxCommandEvent&) {
    wxArrayInt entries;
    file_list->GetSelections(entries);
    if (entries.empty()) {
        for (unsigned i = 0; i < file_list->GetCount(); ++i)
            entries.push_back(static_cast<int>(i));
    }
    std::sort(entries.begin(), entries.end());
    const int count = static_cast<int>(entries.size());

    std::unique_ptr<PlaybackOutput> soundCard;
    PlaybackOutput* line = preview_output;
    if (line == nullptr) {
        soundCard = MakePortAudioOutput();
        line = soundCard.get();
    }

    for (int k = 0; k < count; ++k) {
        const int entry = entries[k];
        status_line->SetStatusText(ProcessingStatus(k + 1, count), 0);
        // Scrolled into view; the selection stays as the user made it.
        file_list->SetFirstItem(entry);
        file_list->Refresh();
        file_list->Update();
        status_line->Update();

        const wxString input = InputPath(static_cast<unsigned>(entry));
        RunRequest request;
        request.kind = RunKind::Preview;
        request.input = ToPath(input);
        request.params = ReadSettings().Convert();
        request.threads = ThreadsForOneFileAtATime();
        PreviewBuffer preview;
        request.preview = &preview;
        GuiRunObserver observer(this, progress_hook);
        RunResult result = ProcessFile(request, observer);
        if (result == RunResult::RunOk) result = PlayPreview(*line, observer, preview);

        const wxString failure = PreviewFailureText(result, input);
        if (!failure.empty() && !ReportFailure(this, failure, input, k + 1 < count,
                                               "Preview stopped", wxICON_INFORMATION)) {
            break;
        }
    }
    status_line->SetStatusText("Preview finished.", 0);
}

}  // namespace sonorel
