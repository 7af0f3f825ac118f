#include "run_test_support.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include "pipeline/output_naming.h"
#include "pipeline/process_file.h"
#include "pipeline/thread_priority.h"

namespace sonorel::test {
namespace {

std::vector<float> Signal(std::int64_t frames, int channels, unsigned seed) {
    std::uint32_t state = 2463534242u ^ seed;
    auto noise = [&state] {  // xorshift32, uniform in [-1, 1)
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    };
    std::vector<float> samples(static_cast<std::size_t>(frames * channels));
    const double pitchHz = 330.0 + 40.0 * seed;
    for (std::int64_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / kRate;
        const double swell = 0.35 + 0.25 * std::sin(2.0 * std::numbers::pi * 0.7 * t);
        for (int c = 0; c < channels; ++c) {
            double value = swell * (0.7 * std::sin(2.0 * std::numbers::pi * pitchHz * t) +
                                    0.3 * std::sin(2.0 * std::numbers::pi * 1250.0 * t + c));
            value += 0.01 * noise();
            if ((f + 997 * c) % 4409 == 0) value += c == 0 ? 0.5 : -0.5;  // a click
            samples[static_cast<std::size_t>(f * channels + c)] = static_cast<float>(value);
        }
    }
    return samples;
}

void Write(const std::filesystem::path& path, int channels, std::int64_t frames, unsigned seed) {
    CreateStatus status = CreateStatus::Failed;
    const SoundFormat format =
        SoundFormat::Make(HeaderType::Wav, SampleEncoding::Pcm16, kRate, channels);
    auto writer = SoundWriter::CreateWithChannels(path, format, channels, "", status);
    ASSERT_TRUE(writer) << "cannot create test input " << path;
    ASSERT_TRUE(writer->Write(Signal(frames, channels, seed)));
    ASSERT_TRUE(writer->Close());
}

bool HasLabel(const wxWindow& window, const wxString& text) {
    for (const wxWindow* child : window.GetChildren()) {
        const auto* label = dynamic_cast<const wxStaticText*>(child);
        if (label != nullptr && label->GetLabel() == text) return true;
        if (HasLabel(*child, text)) return true;
    }
    return false;
}

// Marks a dialog as seen, so that a new dialog (which may reuse an address)
// is told from the one before.
int seenMark = 0;

}  // namespace

void WriteStereo(const std::filesystem::path& path, std::int64_t frames, unsigned seed) {
    Write(path, 2, frames, seed);
}

void WriteMono(const std::filesystem::path& path, std::int64_t frames) {
    Write(path, 1, frames, 1);
}

MonoOutput ReadOutput(const std::filesystem::path& path) {
    MonoOutput output;
    auto reader = SoundReader::Open(path);
    if (!reader) return output;
    output.opened = true;
    output.format = reader->Format();
    output.comment = reader->Comment();
    output.samples.resize(static_cast<std::size_t>(output.format.frames));
    std::vector<float> unused(output.samples.size());
    if (reader->Read(output.samples, unused, output.format.frames) != output.format.frames) {
        output.opened = false;
    }
    return output;
}

std::filesystem::path ReferenceStart(const std::filesystem::path& input,
                                     const std::filesystem::path& folder,
                                     const RunParameters& params) {
    std::filesystem::create_directories(folder);
    RunRequest request;
    request.input = input;
    request.output = NameOutputFor(input, folder.string());
    request.params = params;
    RunObserver quiet;
    std::filesystem::path created;
    EXPECT_EQ(ProcessFile(request, quiet, &created), RunOk);
    return created;
}

std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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

bool CapturingOutput::Open(int sampleRate, std::int64_t) {
    const std::lock_guard lock(mutex_);
    ++opens_;
    sampleRate_ = sampleRate;
    return openSucceeds;
}

bool CapturingOutput::Write(std::span<const std::int16_t> chunk) {
    std::unique_lock lock(mutex_);
    released_.wait(lock, [this] { return !held_; });
    samples_.insert(samples_.end(), chunk.begin(), chunk.end());
    return true;
}

void CapturingOutput::Close(bool) {}

void CapturingOutput::HoldWrites() {
    const std::lock_guard lock(mutex_);
    held_ = true;
}

void CapturingOutput::ReleaseWrites() {
    {
        const std::lock_guard lock(mutex_);
        held_ = false;
    }
    released_.notify_all();
}

int CapturingOutput::Opens() const {
    const std::lock_guard lock(mutex_);
    return opens_;
}

int CapturingOutput::SampleRate() const {
    const std::lock_guard lock(mutex_);
    return sampleRate_;
}

std::vector<std::int16_t> CapturingOutput::Samples() const {
    const std::lock_guard lock(mutex_);
    return samples_;
}

}  // namespace sonorel::test
