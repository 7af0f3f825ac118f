// The file list of a long session of transfers, in a window widened as a
// user would: each line shows the file's name before its folder, the
// caption counts the files, and the pointer rests on a line whose tooltip
// shows the full path: docs/file-list.png.

#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "screenshot/scenes.h"
#include "ui/file_list_text.h"
#include "ui/my_event_frame.h"

namespace sonorel::screenshot {
namespace {

// GTK shows a tooltip half a second after the pointer stops.
constexpr int kTooltipSettleMs = 1500;
constexpr int kHoveredRow = 5;  // the last: its tooltip covers no other line

const char* const kPaths[] = {
    "/home/user/Music/Transfers/1927 Victor 78s, box 3 (shellac, lateral)/side-a-take-2.wav",
    "/home/user/Music/Transfers/1927 Victor 78s, box 3 (shellac, lateral)/side-b-take-1.wav",
    "/home/user/Music/Transfers/Edison Blue Amberol cylinders, 1912-1914/Moonlight Bay.WAV",
    "/home/user/Music/Transfers/Edison Blue Amberol cylinders, 1912-1914/Silver Threads.WAV",
    "/home/user/Music/Transfers/HMV Plum Label, unsorted/waltz-1931.aiff",
    "/home/user/Music/Transfers/HMV Plum Label, unsorted/foxtrot-1931.flac",
};

class FileList : public Scene {
  public:
    explicit FileList(std::filesystem::path picture) : picture_(std::move(picture)) {}

    bool Start(Session& session) override {
        MyEventFrame* frame = session.OpenMainWindow();
        frame->SetSize(frame->GetMinSize() + wxSize(280, 40));
        // Entries are put in directly: the files need not exist for a picture.
        for (const char* path : kPaths)
            frame->AppendInputFile(wxString::FromUTF8(path));
        frame->output_text->SetValue("/home/user/Music/Restored");
        frame->UpdateStatus();

        Session::After(kWindowSettleMs, [this, &session, frame] {
            wxUIActionSimulator().MouseMove(
                frame->file_list->ClientToScreen(EntryMiddle(*frame->file_list, kHoveredRow)));
            Session::After(kTooltipSettleMs, [this, &session, frame] {
                session.Picture(frame->GetScreenRect(), picture_);
                frame->Close();
            });
        });
        return true;
    }

  private:
    std::filesystem::path picture_;
};

}  // namespace

std::unique_ptr<Scene> FileListScene(std::filesystem::path picture) {
    return std::make_unique<FileList>(std::move(picture));
}

}  // namespace sonorel::screenshot
