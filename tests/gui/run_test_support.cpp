#include "run_test_support.h"

#include <algorithm>

#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include "pipeline/process_file.h"
#include "pipeline/thread_priority.h"
#include "support/run_helpers.h"

namespace sonorel::test {
namespace {

bool HasLabel(const wxWindow& window, const wxString& text) {
    for (const wxWindow* child : window.GetChildren()) {
        const auto* label = dynamic_cast<const wxStaticText*>(child);
        if (label != nullptr && label->GetLabel() == text) return true;
        if (HasLabel(*child, text)) return true;
    }
    return false;
}

// Each seed plays a tune of its own as well as noise of its own.
double PitchHz(unsigned seed) {
    return 330.0 + 40.0 * seed;
}

// Marks a dialog as seen, so that a new dialog (which may reuse an address)
// is told from the one before.
int seenMark = 0;

}  // namespace

void WriteStereo(const std::filesystem::path& path, std::int64_t frames, unsigned seed) {
    WriteSoundFile(path, Wav16(kRate, 2), TransferSignal(frames, kRate, seed, 2, PitchHz(seed)));
}

void WriteMono(const std::filesystem::path& path, std::int64_t frames) {
    WriteSoundFile(path, Wav16(kRate, 1), TransferSignal(frames, kRate, 1, 1, PitchHz(1)));
}

std::filesystem::path ReferenceStart(const std::filesystem::path& input,
                                     const std::filesystem::path& folder,
                                     const RunParameters& params) {
    std::filesystem::create_directories(folder);
    const StartOutcome run = RunStart(input, folder, params);
    EXPECT_EQ(run.result, RunResult::RunOk);
    return run.output;
}

RunResult ReferencePreview(const std::filesystem::path& input, const RunParameters& params,
                           PreviewBuffer& preview) {
    RunRequest request;
    request.kind = RunKind::Preview;
    request.input = input;
    request.params = params;
    request.preview = &preview;
    RunObserver quiet;
    return ProcessFile(request, quiet);
}

RunWatcher::RunWatcher(MyEventFrame* frame) : frame_(frame) {
    frame_->progress_hook = [this](wxProgressDialog& dialog, ProgressKind kind,
                                   std::int64_t value) {
        if (dialog.GetClientData() != &seenMark) {
            dialog.SetClientData(&seenMark);
            ProgressView view;
            view.kind = kind;
            view.title = dialog.GetTitle();
            view.message = dialog.GetMessage();
            view.range = dialog.GetRange();
            view.showsRemainingTime = HasLabel(dialog, "Remaining time:");
            view.showsElapsedTime = HasLabel(dialog, "Elapsed time:");
            view.hasCancel = dialog.FindWindow(wxID_CANCEL) != nullptr;
            view.parentIsMainWindow = dialog.GetParent() == frame_;
            view.mainWindowEnabled = frame_->IsEnabled();
            view.busyCursor = wxIsBusy();
            view.status = frame_->status_line->GetStatusText(0);
            wxArrayInt selected;
            frame_->file_list->GetSelections(selected);
            view.selection.assign(selected.begin(), selected.end());
            std::sort(view.selection.begin(), view.selection.end());
            view.topEntry = frame_->file_list->GetTopItem();
            view.niceDuring = CurrentThreadNice();
            displays_.push_back(view);
        }
        const int display = static_cast<int>(displays_.size()) - 1;
        displays_.back().values.push_back(value);
        if (display == cancelDisplay_ && value == cancelValue_) {
            wxWindow* cancel = dialog.FindWindow(wxID_CANCEL);
            ASSERT_NE(cancel, nullptr);
            wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
            click.SetEventObject(cancel);
            cancel->GetEventHandler()->ProcessEvent(click);
        }
    };
}

RunWatcher::~RunWatcher() {
    frame_->progress_hook = nullptr;
}

void RunWatcher::CancelAt(int display, std::int64_t value) {
    cancelDisplay_ = display;
    cancelValue_ = value;
}

std::vector<wxString> RunWatcher::Labels(ProgressKind kind) const {
    std::vector<wxString> labels;
    for (const ProgressView& view : displays_) {
        if (view.kind == kind) labels.push_back(view.message);
    }
    return labels;
}

wxString AboutFile(const wxString& sentence, const std::filesystem::path& file) {
    return sentence + "\n" + wxString::FromUTF8(file.string());
}

DialogAnswers::Answer MessageBox(const wxString& message, const wxString& caption, long style,
                                 int reply) {
    return [=](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        EXPECT_NE(box, nullptr) << "expected a message box \"" << message << "\"";
        if (box == nullptr) return reply;
        EXPECT_EQ(box->GetMessage(), message);
        EXPECT_EQ(box->GetTitle(), caption);
        constexpr long kButtonsAndIcons = wxOK | wxCANCEL | wxYES_NO | wxICON_QUESTION |
                                          wxICON_EXCLAMATION | wxICON_INFORMATION | wxICON_ERROR;
        EXPECT_EQ(box->GetMessageDialogStyle() & kButtonsAndIcons, style)
            << "for \"" << message << "\"";
        return reply;
    };
}

}  // namespace sonorel::test
