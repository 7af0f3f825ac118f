// Preview on PortAudio's default output, with ALSA pointed at a configuration
// of the test's own. Each case runs in a child process that starts the test
// program afresh (the "threadsafe" death-test style: a forked copy of a
// process with a display connection and toolkit threads is not usable), so
// the configuration is in place before PortAudio first starts and nothing
// outside the child sees it. The child reports through its exit code and
// explains a failure on its standard error.

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>
#include <wx/statusbr.h>

#include "gui_fixture.h"
#include "pipeline/playback.h"
#include "pipeline/process_file.h"
#include "run_test_support.h"
#include "support/alsa_capture.h"

namespace sonorel::test {
namespace {

class PreviewPlaybackTest : public MainWindowTest {
  protected:
    // Runs in the child: points ALSA at `config`, kept in the test's folder.
    void UseAlsa(const std::string& config) { UseAlsaConfig(Folder() / "asound.conf", config); }

    // Leaves the child at once, after removing its own temporary folders
    // (its test folder and the settings folder its test program made), which
    // no destructor will.
    [[noreturn]] void LeaveChild(bool passed) {
        std::error_code ignored;
        std::filesystem::remove_all(Folder(), ignored);
        if (const char* settings = std::getenv("XDG_CONFIG_HOME")) {
            std::filesystem::remove_all(settings, ignored);
        }
        ExitChild(passed);
    }

    // A listed 1.5 s input previewed for the shortest time: 9 chunks.
    void ListInput() {
        Open();
        WriteStereo(Folder() / "take.wav");
        frame->AddFiles(Paths({Folder() / "take.wav"}));
        frame->duration_slider->SetValue(10);
    }
};

TEST_F(PreviewPlaybackTest, DefaultOutputPlaysExactlyThePreviewSamples) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // ALSA's default device becomes the `file` plugin, which writes
            // every sample it is given to the capture and passes it on to the
            // `null` device.
            const auto capture = Folder() / "capture.raw";
            UseAlsa(AlsaCaptureConfig(capture));
            ListInput();
            FakePlaybackOutput reference;
            PreviewBuffer preview;
            RunResult referenceResult =
                ReferencePreview(Folder() / "take.wav", frame->ReadSettings().Convert(), preview);
            RunObserver quiet;
            if (referenceResult == RunResult::RunOk) {
                referenceResult = PlayPreview(reference, quiet, preview);
            }

            DialogAnswers answers;  // none expected
            Click(frame->preview_button);

            const auto played = ReadCapture(capture);
            const auto expected = reference.Samples();
            const bool passed = referenceResult == RunResult::RunOk && answers.ShownCount() == 0 &&
                                expected.size() == 9u * 7064u && played == expected &&
                                frame->status_line->GetStatusText(0) == "Preview finished.";
            if (!passed) {
                std::fprintf(stderr, "reference %d, %zu samples; played %zu; %d box(es)\n",
                             static_cast<int>(referenceResult), expected.size(), played.size(),
                             answers.ShownCount());
            }
            LeaveChild(passed);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(PreviewPlaybackTest, NoAudioDeviceIsAProblemPlayingPreview) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            UseAlsa(kAlsaNoDeviceConfig);
            ListInput();
            wxString message;
            wxString caption;
            DialogAnswers answers;
            answers.Expect([&](wxDialog* dialog) {
                if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
                    message = box->GetMessage();
                    caption = box->GetTitle();
                }
                return static_cast<int>(wxID_OK);
            });
            Click(frame->preview_button);

            const bool passed =
                answers.ShownCount() == 1 &&
                message == AboutFile("Problem playing preview.", Folder() / "take.wav") &&
                caption == "Preview stopped" &&
                frame->status_line->GetStatusText(0) == "Preview finished.";
            if (!passed) {
                std::fprintf(stderr, "%d box(es): \"%s\" \"%s\"\n", answers.ShownCount(),
                             message.utf8_str().data(), caption.utf8_str().data());
            }
            LeaveChild(passed);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace sonorel::test
