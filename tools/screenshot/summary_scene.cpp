// The batch summary after a Go! over two synthetic transfers, with a picture
// of each file kept: docs/batch-summary.png.

#include <string>
#include <system_error>

#include <wx/checkbox.h>
#include <wx/modalhook.h>
#include <wx/textctrl.h>

#include "screenshot/scenes.h"
#include "screenshot/transfers.h"
#include "ui/my_event_frame.h"
#include "ui/my_event_summary.h"

namespace sonorel::screenshot {
namespace {

constexpr double kInputSeconds = 20.0;

class Summary : public Scene, public wxModalDialogHook {
  public:
    explicit Summary(std::filesystem::path picture) : picture_(std::move(picture)) {}

    ~Summary() override {
        std::error_code ignored;
        if (!work_.empty()) std::filesystem::remove_all(work_, ignored);
    }

    bool Start(Session& session) override {
        session_ = &session;
        if (!MakeInputs()) return false;
        MyEventFrame* frame = session.OpenMainWindow();
        frame->AddFiles(inputs_);
        frame->output_text->SetValue(wxString::FromUTF8((work_ / "Restored").string()));
        frame->picture_check->SetValue(true);
        frame->summary_check->SetValue(true);
        Register();
        Session::After(kWindowSettleMs, [frame] {
            Session::Click(frame->go_button);
            frame->Close();
        });
        return true;
    }

  protected:
    int Enter(wxDialog* dialog) override {
        if (auto* summary = dynamic_cast<MyEventSummary*>(dialog)) {
            Session::After(kWindowSettleMs, [this, summary] {
                session_->PictureOf(*summary, picture_);
                summary->EndModal(wxID_CLOSE);
            });
        }
        return wxID_NONE;  // shown as usual
    }
    void Exit(wxDialog*) override {}

  private:
    bool MakeInputs() {
        return MakeTransfers(*session_, "sonorel-summary", kInputSeconds, work_, inputs_);
    }

    std::filesystem::path picture_;
    std::filesystem::path work_;
    wxArrayString inputs_;
    Session* session_ = nullptr;
};

}  // namespace

std::unique_ptr<Scene> SummaryScene(std::filesystem::path picture) {
    return std::make_unique<Summary>(std::move(picture));
}

}  // namespace sonorel::screenshot
