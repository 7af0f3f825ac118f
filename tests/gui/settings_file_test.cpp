// The configuration file: defaults on a first start, what Load accepts,
// clamps and refuses, that every exit writes all nineteen keys and the
// window's place, and the settings snapshot read from the controls.

#include <unistd.h>

#include <cstdlib>
#include <iterator>
#include <string>

#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/radiobox.h>
#include <wx/slider.h>
#include <wx/textctrl.h>

#include "gui_fixture.h"
#include "ui/settings_store.h"

namespace sonorel::test {
namespace {

using SettingsFileTest = MainWindowTest;

// The nineteen settings keys, the method, the records, then the window's
// place and size.
const char* const kAllKeys[] = {
    "Click",    "Noise",    "Distortion", "Bass",         "Treble",       "Hiss",
    "Rumble",   "Duration", "Gain",       "Function",     "Phasing",      "Original",
    "Category", "Playback", "Hissiness",  "Scratchiness", "Roughness",    "Output",
    "Input",    "Method",   "Picture",    "Report",       "Align",        "Metadata",
    "Summary",  "WindowX",  "WindowY",    "WindowWidth",  "WindowHeight", "WindowMaximized",
};

TEST_F(SettingsFileTest, FileLivesInTheXdgConfigFolder) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(configHome, nullptr);
    EXPECT_EQ(SettingsPath(), std::filesystem::path(configHome) / "Sonorel.conf");
}

TEST_F(SettingsFileTest, FirstStartShowsDefaultsAndExitWritesAllKeys) {
    Open();
    const RestorationSettings defaults;
    const RestorationSettings shown = frame->ReadSettings();
    for (const SliderRange& range : kSliderRanges) {
        EXPECT_EQ(shown.Get(range.slider), range.defaultValue) << range.key;
        EXPECT_EQ(shown.Get(range.slider), defaults.Get(range.slider)) << range.key;
    }
    EXPECT_EQ(shown.channel_function, ChannelFunction::MonoEnhancer);
    EXPECT_FALSE(shown.anti_phase);
    EXPECT_FALSE(shown.keep_original_level);
    EXPECT_EQ(frame->OutputFolder(), "");
    EXPECT_EQ(frame->wizard_answers.category, -1);

    CloseAndDestroy();
    const std::map<std::string, std::string> keys = ReadSettingsKeys();
    EXPECT_EQ(keys.size(), std::size(kAllKeys));
    for (const char* key : kAllKeys)
        EXPECT_EQ(keys.count(key), 1u) << key;
    EXPECT_EQ(keys.at("Click"), "5");
    EXPECT_EQ(keys.at("Rumble"), "40");
    EXPECT_EQ(keys.at("Hiss"), "18");
    EXPECT_EQ(keys.at("Duration"), "20");
    EXPECT_EQ(keys.at("Gain"), "0");
    EXPECT_EQ(keys.at("Function"), "0");
    EXPECT_EQ(keys.at("Phasing"), "0");
    EXPECT_EQ(keys.at("Original"), "0");
    for (const char* answer : {"Category", "Playback", "Hissiness", "Scratchiness", "Roughness"}) {
        EXPECT_EQ(keys.at(answer), "-1") << answer;
    }
    EXPECT_EQ(keys.at("Output"), "");
    EXPECT_EQ(keys.at("Input"), std::filesystem::current_path().string());
}

TEST_F(SettingsFileTest, StoredValuesComeBackIntoTheControls) {
    WriteSettings(
        "Click=7\nNoise=2\nDistortion=9\nBass=-4\nTreble=6\nHiss=12\nRumble=80\nDuration=45\n"
        "Gain=-3\nFunction=1\nPhasing=1\nOriginal=1\nCategory=3\nPlayback=0\nHissiness=2\n"
        "Scratchiness=1\nRoughness=0\n");
    Open();
    const RestorationSettings shown = frame->ReadSettings();
    EXPECT_EQ(shown.click_level, 7);
    EXPECT_EQ(shown.noise_level, 2);
    EXPECT_EQ(shown.distortion_level, 9);
    EXPECT_EQ(shown.bass_lift_db, -4);
    EXPECT_EQ(shown.treble_lift_db, 6);
    EXPECT_EQ(shown.hiss_khz, 12);
    EXPECT_EQ(shown.rumble_hz, 80);
    EXPECT_EQ(shown.preview_seconds, 45);
    EXPECT_EQ(shown.output_gain_db, -3);
    EXPECT_EQ(shown.channel_function, ChannelFunction::VocalRemover);
    EXPECT_TRUE(shown.anti_phase);
    EXPECT_TRUE(shown.keep_original_level);
    const WizardAnswers answers = frame->wizard_answers;
    EXPECT_EQ(answers.category, 3);
    EXPECT_EQ(answers.playback, 0);
    EXPECT_EQ(answers.hissiness, 2);
    EXPECT_EQ(answers.scratchiness, 1);
    EXPECT_EQ(answers.roughness, 0);
}

TEST_F(SettingsFileTest, OutOfRangeSlidersAreClampedNotRefused) {
    WriteSettings("Rumble=5\nGain=-40\nHiss=99\nBass=-19\nTreble=18\nDuration=9\n");
    Open();
    EXPECT_EQ(frame->rumble_slider->GetValue(), 10);
    EXPECT_EQ(frame->gain_slider->GetValue(), -12);
    EXPECT_EQ(frame->hiss_slider->GetValue(), 24);
    EXPECT_EQ(frame->bass_slider->GetValue(), -18);
    EXPECT_EQ(frame->treble_slider->GetValue(), 18);
    EXPECT_EQ(frame->duration_slider->GetValue(), 10);
    CloseAndDestroy();

    WriteSettings("Rumble=500\n");
    Open();
    EXPECT_EQ(frame->rumble_slider->GetValue(), 120);
}

TEST_F(SettingsFileTest, ValuesThatAreNotNumbersLeaveTheDefaults) {
    WriteSettings("Click=loud\nNoise=5x\nDistortion=\nHiss=1.5\nPhasing=yes\nCategory=none\n");
    Open();
    EXPECT_EQ(frame->click_slider->GetValue(), 5);
    EXPECT_EQ(frame->noise_slider->GetValue(), 5);
    EXPECT_EQ(frame->distortion_slider->GetValue(), 5);
    EXPECT_EQ(frame->hiss_slider->GetValue(), 18);
    EXPECT_FALSE(frame->phasing_check->GetValue());
    EXPECT_EQ(frame->wizard_answers.category, -1);
}

TEST_F(SettingsFileTest, FunctionOutsideItsTwoItemsIsIgnored) {
    for (const char* stored : {"Function=2\n", "Function=-1\n"}) {
        SCOPED_TRACE(stored);
        WriteSettings(stored);
        Open();
        EXPECT_EQ(frame->function_radio->GetSelection(),
                  static_cast<int>(ChannelFunction::MonoEnhancer));
        CloseAndDestroy();
    }
}

TEST_F(SettingsFileTest, AnyNonZeroNumberTicksACheckBox) {
    WriteSettings("Phasing=7\nOriginal=0\n");
    Open();
    EXPECT_TRUE(frame->phasing_check->GetValue());
    EXPECT_FALSE(frame->original_check->GetValue());
    CloseAndDestroy();
    EXPECT_EQ(ReadSettingsKeys().at("Phasing"), "1");
}

TEST_F(SettingsFileTest, WizardAnswersAreKeptAsReadAndWrittenBack) {
    WriteSettings("Category=99\nPlayback=-7\nHissiness=2\n");
    Open();
    EXPECT_EQ(frame->wizard_answers.category, 99);
    EXPECT_EQ(frame->wizard_answers.playback, -7);
    EXPECT_EQ(frame->wizard_answers.hissiness, 2);
    EXPECT_EQ(frame->wizard_answers.scratchiness, -1);
    CloseAndDestroy();
    const std::map<std::string, std::string> keys = ReadSettingsKeys();
    EXPECT_EQ(keys.at("Category"), "99");
    EXPECT_EQ(keys.at("Playback"), "-7");
    EXPECT_EQ(keys.at("Scratchiness"), "-1");
}

TEST_F(SettingsFileTest, OutputFolderRoundTripsExactly) {
    // Dollar signs, a leading space and backslashes must not be expanded,
    // trimmed or unescaped on the way through the file.
    const wxString folder = " $HOME/78s \\ \"restored\" ";
    Open();
    frame->output_text->SetValue(folder);
    CloseAndDestroy();
    Open();
    EXPECT_EQ(frame->OutputFolder(), folder);
}

TEST_F(SettingsFileTest, InputFolderBecomesTheWorkingDirectory) {
    WriteSettings("Input=" + Folder().string() + "\n");
    Open();
    EXPECT_EQ(std::filesystem::current_path(), Folder());
}

TEST_F(SettingsFileTest, InputFolderThatIsGoneLeavesTheWorkingDirectoryAndIsOverwritten) {
    const std::filesystem::path before = std::filesystem::current_path();
    WriteSettings("Input=" + Missing("folder").string() + "\n");
    Open();
    EXPECT_EQ(std::filesystem::current_path(), before);
    CloseAndDestroy();
    EXPECT_EQ(ReadSettingsKeys().at("Input"), before.string());
}

TEST_F(SettingsFileTest, CloseButtonAndCloseBoxBothSaveEveryKey) {
    Open();
    frame->click_slider->SetValue(9);
    Click(frame->exit_button);
    frame = nullptr;
    wxTheApp->ProcessIdle();
    ASSERT_TRUE(wxTopLevelWindows.IsEmpty()) << "Close did not destroy the window";
    EXPECT_EQ(ReadSettingsKeys().size(), std::size(kAllKeys));
    EXPECT_EQ(ReadSettingsKeys().at("Click"), "9");

    Open();
    frame->click_slider->SetValue(2);
    CloseAndDestroy();  // Close(), as the title bar's close box does
    ASSERT_TRUE(wxTopLevelWindows.IsEmpty());
    EXPECT_EQ(ReadSettingsKeys().at("Click"), "2");
}

TEST_F(SettingsFileTest, UnchangedSettingsAreStillWrittenAtExit) {
    Open();
    CloseAndDestroy();
    // A file trimmed to one key while nothing else changes: the next exit
    // still writes all nineteen, and the window's place.
    WriteSettings("Click=5\n");
    Open();
    std::filesystem::remove(SettingsPath());
    CloseAndDestroy();
    EXPECT_EQ(ReadSettingsKeys().size(), std::size(kAllKeys));
}

TEST_F(SettingsFileTest, WindowComesBackWhereItWasLeftIfThatFitsTheScreen) {
    Open();
    const wxSize fitted = frame->GetMinSize();
    const wxRect screen = wxDisplay(0u).GetClientArea();
    const wxRect left(screen.x + 12, screen.y + 9, fitted.x + 3, fitted.y + 2);
    if (!screen.Contains(left)) GTEST_SKIP() << "the screen is smaller than the window";
    frame->SetSize(left);
    CloseAndDestroy();
    const std::map<std::string, std::string> keys = ReadSettingsKeys();
    EXPECT_EQ(keys.at("WindowX"), std::to_string(left.x));
    EXPECT_EQ(keys.at("WindowWidth"), std::to_string(left.width));
    EXPECT_EQ(keys.at("WindowMaximized"), "0");

    const struct {
        const char* what;
        wxRect stored;
        bool applied;
    } kCases[] = {
        {"as left", left, true},
        {"off the screen", wxRect(screen.GetRight() + 1, left.y, left.width, left.height), false},
        {"partly off it",
         wxRect(screen.GetRight() - left.width / 2, left.y, left.width, left.height), false},
        {"larger than it", wxRect(screen.x, screen.y, screen.width + 1, left.height), false},
        {"smaller than the layout", wxRect(left.x, left.y, fitted.x - 1, fitted.y), false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        WriteSettings(wxString::Format("WindowX=%d\nWindowY=%d\nWindowWidth=%d\nWindowHeight=%d\n",
                                       c.stored.x, c.stored.y, c.stored.width, c.stored.height)
                          .utf8_string());
        Open();
        if (c.applied) {
            EXPECT_EQ(frame->GetRect(), c.stored);
        } else {
            EXPECT_EQ(frame->GetSize(), fitted);
        }
        CloseAndDestroy();
    }
}

TEST_F(SettingsFileTest, MissingConfigFolderIsCreatedAtExit) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(saved, nullptr);
    const std::string previous = saved;
    const std::filesystem::path nested = Folder() / "new" / "config";
    setenv("XDG_CONFIG_HOME", nested.c_str(), 1);
    Open();
    CloseAndDestroy();
    EXPECT_TRUE(std::filesystem::exists(nested / "Sonorel.conf"));
    setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
}

TEST_F(SettingsFileTest, SettingsAreReadFromTheControlsWhenAsked) {
    Open();
    frame->click_slider->SetValue(0);
    frame->gain_slider->SetValue(6);
    frame->hiss_slider->SetValue(10);
    frame->function_radio->SetSelection(static_cast<int>(ChannelFunction::VocalRemover));
    frame->original_check->SetValue(true);
    const RestorationSettings settings = frame->ReadSettings();
    EXPECT_EQ(settings.click_level, 0);
    EXPECT_EQ(settings.output_gain_db, 6);
    EXPECT_EQ(settings.hiss_khz, 10);
    EXPECT_EQ(settings.channel_function, ChannelFunction::VocalRemover);
    EXPECT_TRUE(settings.keep_original_level);
    EXPECT_FALSE(settings.anti_phase);
    // Nothing else in the window moved and nothing was written yet.
    EXPECT_EQ(StatusText(), "Select input files and output folder...");
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

}  // namespace
}  // namespace sonorel::test
