#pragma once
// What the tests of Go! and Preview share: real sound files made in code, a
// watcher on the progress dialogs of a command and answers for its message
// boxes. The sound line that keeps what Preview plays, reading outputs back
// and listing folders come from the shared test support.

#include <cstdint>
#include <filesystem>
#include <vector>

#include <wx/string.h>

#include "gui_fixture.h"
#include "pipeline/preview_buffer.h"
#include "pipeline/run_observer.h"
#include "pipeline/run_result.h"
#include "settings/restoration_settings.h"
#include "support/fake_playback_output.h"
#include "support/files.h"
#include "support/sound_files.h"

namespace sonorel::test {

inline constexpr int kRate = 44100;
// A second and a half: 75 processing blocks of 883 frames, the last one
// partly past the end.
inline constexpr std::int64_t kInputFrames = 66150;
inline constexpr std::int64_t kInputBlocks = 75;

// A 16-bit stereo WAV of `frames` frames: two swelling tones, a little noise
// and a few clicks, different for each seed.
void WriteStereo(const std::filesystem::path& path, std::int64_t frames = kInputFrames,
                 unsigned seed = 1);
// The same signal as a mono WAV.
void WriteMono(const std::filesystem::path& path, std::int64_t frames = kInputFrames);

// A Start run of `input` straight through the per-file run, into `folder`:
// what Go! should produce with these settings. Returns the created file.
std::filesystem::path ReferenceStart(const std::filesystem::path& input,
                                     const std::filesystem::path& folder,
                                     const RunParameters& params);
// A Preview run of `input` straight through the per-file run, into `preview`:
// what Preview should play with these settings.
RunResult ReferencePreview(const std::filesystem::path& input, const RunParameters& params,
                           PreviewBuffer& preview);

// One progress dialog as the watcher saw it at its first move.
struct ProgressView {
    ProgressKind kind = ProgressKind::Processing;
    wxString title;
    wxString message;
    int range = 0;
    bool showsRemainingTime = false;
    bool showsElapsedTime = false;
    bool hasCancel = false;
    bool parentIsMainWindow = false;
    bool mainWindowEnabled = true;  // false: the dialog is application-modal
    bool busyCursor = false;
    wxString status;             // the main window's status line
    std::vector<int> selection;  // the selected entries of the file list
    int topEntry = -1;           // the first visible entry
    int niceDuring = 0;          // the thread's nice value
    std::vector<std::int64_t> values;
};

// Installs itself as the main window's progress hook for its lifetime and
// records every progress dialog of the commands; can press a dialog's real
// Cancel button.
class RunWatcher {
  public:
    explicit RunWatcher(MyEventFrame* frame);
    ~RunWatcher();
    RunWatcher(const RunWatcher&) = delete;
    RunWatcher& operator=(const RunWatcher&) = delete;

    // Presses Cancel on the `display`-th dialog (from 0, counting both kinds)
    // just before it moves to `value`.
    void CancelAt(int display, std::int64_t value);

    const std::vector<ProgressView>& Displays() const { return displays_; }
    // The messages (labels) of the dialogs of one kind, in order.
    std::vector<wxString> Labels(ProgressKind kind) const;

  private:
    MyEventFrame* frame_;
    std::vector<ProgressView> displays_;
    int cancelDisplay_ = -1;
    std::int64_t cancelValue_ = 0;
};

// A message of Go! or Preview about one file: the sentence, then the file's
// full path on a line of its own.
wxString AboutFile(const wxString& sentence, const std::filesystem::path& file);

// An answer for a message box that checks its text, caption and style
// (buttons and icon) and gives `reply` (wxID_OK, wxID_YES, ...).
DialogAnswers::Answer MessageBox(const wxString& message, const wxString& caption, long style,
                                 int reply);

}  // namespace sonorel::test
