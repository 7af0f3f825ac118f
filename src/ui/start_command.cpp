// Go!: every listed file, in list order, into the output folder.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/listbox.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include "pipeline/process_file.h"
#include "pipeline/run_threads.h"
#include "soundfile/sound_file.h"
#include "ui/batch_progress.h"
#include "ui/batch_rows.h"
#include "ui/gui_run_observer.h"
#include "ui/kept_records.h"
#include "ui/my_event_frame.h"
#include "ui/run_reporting.h"

namespace sonorel {
namespace {

// Environment variables, "." and "..", a leading "~", relative to the
// working folder: everything the toolkit normalises except case folding.
constexpr int kFolderNormalisation = wxPATH_NORM_ENV_VARS | wxPATH_NORM_DOTS | wxPATH_NORM_TILDE |
                                     wxPATH_NORM_ABSOLUTE | wxPATH_NORM_LONG | wxPATH_NORM_SHORTCUT;

wxString AbsoluteFolder(const wxString& typed) {
    wxFileName folder = wxFileName::DirName(typed);
    folder.Normalize(kFolderNormalisation);
    return folder.GetPath();
}

// False when the user declined to create a missing folder, or creating it
// failed; the run then does not start.
bool EnsureFolder(wxWindow* parent, const wxString& folder) {
    if (wxFileName::DirExists(folder)) return true;
    if (wxMessageBox("Output folder does not exist. Create it?\n" + folder, "Create new folder?",
                     wxOK | wxCANCEL | wxICON_QUESTION, parent) != wxOK) {
        return false;
    }
    // Every missing parent too, with permissions 0777 less the umask.
    std::error_code error;
    std::filesystem::create_directories(ToPath(folder), error);
    if (error) {
        // The user has just asked for the folder: say that it did not happen,
        // and why, rather than leave the button looking dead.
        wxMessageBox("Output folder could not be created.\n" + folder + "\n" +
                         wxString::FromUTF8(error.message()),
                     "Sonorel stopped", wxOK | wxICON_EXCLAMATION, parent);
        return false;
    }
    return true;
}

// How long each input plays, for the time left of the batch; 0 for one that
// cannot be opened now (its run will say why).
std::vector<double> AudioSeconds(const std::vector<std::filesystem::path>& inputs) {
    std::vector<double> seconds;
    seconds.reserve(inputs.size());
    for (const std::filesystem::path& input : inputs) {
        const std::unique_ptr<SoundReader> reader = SoundReader::Open(input);
        const bool known = reader && reader->Format().sampleRate > 0;
        seconds.push_back(known ? static_cast<double>(reader->Format().frames) /
                                      reader->Format().sampleRate
                                : 0.0);
    }
    return seconds;
}

}  // namespace

void MyEventFrame::OnStart(wxCommandEvent&) {
    const int count = static_cast<int>(file_list->GetCount());
    if (count == 0) return;

    wxString folder = output_text->GetValue();
    if (folder != ".") {
        folder = AbsoluteFolder(folder);
        output_text->SetValue(folder);
        if (!EnsureFolder(this, folder)) return;
    }
    const std::string folderText(static_cast<const char*>(folder.fn_str()));

    KeptRecords records(ReadRecordChoices(), static_cast<std::size_t>(count));
    std::vector<wxString> recordProblems;
    std::vector<BatchRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    // The request of file i, its settings read when it starts.
    const auto prepare = [&](int i) {
        RunRequest request;
        request.kind = RunKind::Restore;
        request.input = ToPath(InputPath(static_cast<unsigned>(i)));
        // The run creates the first free name exclusively, so nothing that
        // appears meanwhile is ever overwritten.
        request.output = NameOutputFor(request.input, folderText);
        const RestorationSettings settings = ReadSettings();
        request.params = settings.Convert();
        request.threads = ThreadsForOneFileAtATime();
        records.Prepare(static_cast<std::size_t>(i), settings, request);
        return request;
    };
    const auto finish = [&](int i, const RunRequest& request, bool started, RunResult result) {
        for (const std::string& problem :
             records.Finish(static_cast<std::size_t>(i), request, started, result)) {
            recordProblems.push_back(InputPath(static_cast<unsigned>(i)) + ": " +
                                     wxString::FromUTF8(problem));
        }
    };

    // One file shows the dialog as it always was; several show the batch too.
    std::optional<BatchProgress> batch;
    if (count > 1) {
        std::vector<std::filesystem::path> inputs;
        inputs.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            inputs.push_back(ToPath(InputPath(static_cast<unsigned>(i))));
        batch.emplace(AudioSeconds(inputs), BatchProgress::Clock::now());
    }

    file_list->SetSelection(wxNOT_FOUND);
    int next = 0;
    for (; next < count; ++next) {
        const int i = next;
        status_line->SetStatusText(ProcessingStatus(i + 1, count), 0);
        file_list->SetFirstItem(i);
        file_list->SetSelection(i);
        file_list->Refresh();
        file_list->Update();
        status_line->Update();

        const wxString input = InputPath(static_cast<unsigned>(i));
        const RunRequest request = prepare(i);
        GuiRunObserver observer(this, progress_hook);
        if (batch) {
            batch->BeginFile(static_cast<std::size_t>(i));
            observer.FollowBatch(&*batch);
        }
        std::filesystem::path created;
        const RunResult result = ProcessFile(request, observer, &created);
        finish(i, request, true, result);

        file_list->Deselect(i);
        const wxString failure = StartFailureText(result, input);
        rows.push_back(RowOfRun(
            input, result, observer.Cancelled(), failure,
            records.Summary(static_cast<std::size_t>(i)),
            wxString(records.Picture(static_cast<std::size_t>(i)).c_str(), *wxConvFileName)));
        // An incomplete output is named, for the user to keep or delete it.
        const wxString named = result == RunResult::RunIncomplete && !created.empty()
                                   ? wxString(created.c_str(), *wxConvFileName)
                                   : input;
        if (!failure.empty() && !ReportFailure(this, failure, named, i + 1 < count,
                                               "Sonorel stopped", wxICON_EXCLAMATION)) {
            ++next;
            break;
        }
    }
    // Files the user chose not to process still get their report line.
    for (int i = next; i < count; ++i) {
        finish(i, prepare(i), false, RunResult::RunOk);
        rows.push_back(RowNotStarted(InputPath(static_cast<unsigned>(i))));
    }

    status_line->SetStatusText("Processing finished.", 0);
    // Nothing is selected now; Deselect and Remove follow.
    EnableSelectionButtons();
    if (!recordProblems.empty()) {
        wxString text = "Some records could not be written:";
        for (const wxString& problem : recordProblems)
            text += "\n" + problem;
        wxMessageBox(text, "Sonorel stopped", wxOK | wxICON_EXCLAMATION, this);
    }
    if (summary_check->GetValue()) {
        MyEventSummary summary(this, std::move(rows), folder, open_with_desktop);
        summary.ShowModal();
    }
}

}  // namespace sonorel
