// The settings wizard: the dialog against the table of its controls, the
// answers it preselects, what OK and Cancel do to the main window, the
// settings file afterwards, and its Help button. The dialog is answered by
// the modal hook, which sets the radio boxes as a user would and ends the
// dialog with OK or Cancel.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/html/helpdlg.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/radiobox.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/textctrl.h>

#include "gui_fixture.h"
#include "wizard/my_event_presets.h"
#include "wizard/set_clamped.h"

namespace sonorel::test {
namespace {

// Category, Playback EQ, Background Hiss, Pops'n'Clicks, Wear'n'Tear.
using Answers = std::array<int, 5>;
// Click Remover, Silence Enhancer, Rejuvenator, Bass, Treble, Hiss, Rumble,
// Output Level: the eight sliders the wizard sets, in the order it sets them.
using Sliders = std::array<int, 8>;

constexpr Answers kFirstUse{23, 1, 1, 1, 1};

std::array<wxRadioBox*, 5> Questions(const MyEventPresets& wizard) {
    return {wizard.category_radio, wizard.playback_radio, wizard.hiss_radio, wizard.clicks_radio,
            wizard.wear_radio};
}

Answers Shown(const MyEventPresets& wizard) {
    Answers shown{};
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = Questions(wizard)[i]->GetSelection();
    return shown;
}

void Select(MyEventPresets& wizard, const Answers& answers) {
    for (std::size_t i = 0; i < answers.size(); ++i)
        Questions(wizard)[i]->SetSelection(answers[i]);
}

// Selects each question's choice by its text, as the user reads it.
void SelectTexts(MyEventPresets& wizard, const std::array<const char*, 5>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        wxRadioBox* question = Questions(wizard)[i];
        const int index = question->FindString(texts[i], true);
        ASSERT_NE(index, wxNOT_FOUND) << question->GetLabel() << ": " << texts[i];
        question->SetSelection(index);
    }
}

class WizardTest : public MainWindowTest {
  protected:
    // Presses Wizard; `user` gets the dialog as it opened and returns the id
    // it is ended with.
    void RunWizard(const std::function<int(MyEventPresets&)>& user) {
        DialogAnswers answers;
        answers.Expect([&](wxDialog* dialog) {
            auto* wizard = dynamic_cast<MyEventPresets*>(dialog);
            EXPECT_NE(wizard, nullptr) << "not the wizard: " << dialog->GetTitle();
            if (wizard == nullptr) return static_cast<int>(wxID_CANCEL);
            return user(*wizard);
        });
        Click(frame->wizard_button);
    }

    void Accept(const Answers& answers) {
        RunWizard([&](MyEventPresets& wizard) {
            Select(wizard, answers);
            return static_cast<int>(wxID_OK);
        });
    }

    // The answers the next opening of the wizard shows.
    Answers ShownOnOpening() {
        Answers shown{};
        RunWizard([&](MyEventPresets& wizard) {
            shown = Shown(wizard);
            return static_cast<int>(wxID_CANCEL);
        });
        return shown;
    }

    Answers Stored() const {
        return {frame->wizard_answers.category, frame->wizard_answers.playback,
                frame->wizard_answers.hissiness, frame->wizard_answers.scratchiness,
                frame->wizard_answers.roughness};
    }

    Sliders WizardSliders() const {
        return {frame->click_slider->GetValue(),      frame->noise_slider->GetValue(),
                frame->distortion_slider->GetValue(), frame->bass_slider->GetValue(),
                frame->treble_slider->GetValue(),     frame->hiss_slider->GetValue(),
                frame->rumble_slider->GetValue(),     frame->gain_slider->GetValue()};
    }

    // Every setting control: the nine sliders, Function and the two boxes.
    std::vector<int> AllControls() const {
        std::vector<int> values;
        values.reserve(kSliderCount + 3);
        for (const SliderRange& range : kSliderRanges)
            values.push_back(frame->SliderFor(range.slider)->GetValue());
        values.push_back(frame->function_radio->GetSelection());
        values.push_back(frame->phasing_check->GetValue());
        values.push_back(frame->original_check->GetValue());
        return values;
    }

    // Every slider at its maximum, so that a value the wizard fails to set
    // shows (no preset puts any slider there).
    void MoveSlidersToTheirMaximum() {
        for (const SliderRange& range : kSliderRanges)
            frame->SliderFor(range.slider)->SetValue(range.maximum);
    }
};

TEST_F(WizardTest, FirstUseOpensOnTheDefaultsAndOkAppliesThem) {
    Open();
    EXPECT_EQ(Stored(), (Answers{-1, -1, -1, -1, -1}));
    Answers shown{};
    RunWizard([&](MyEventPresets& wizard) {
        shown = Shown(wizard);
        return static_cast<int>(wxID_OK);
    });
    EXPECT_EQ(shown, kFirstUse);
    EXPECT_EQ(WizardSliders(), (Sliders{3, 3, 4, -1, 1, 19, 20, 0}));
    EXPECT_FALSE(frame->phasing_check->GetValue());
    EXPECT_EQ(Stored(), kFirstUse);
}

struct PresetCase {
    std::array<const char*, 5> choices;
    Sliders sliders;
    bool antiPhase;
};

// Expected values worked by hand from the preset table and the rule. The
// last two cases give hiss, clicks and wear different answers, so that a
// question read into the wrong answer shows.
const PresetCase kPresetCases[] = {
    {{"Acoustic / Flat (vertical cut)", "Flat", "Seriously hissy", "Clicks throughout",
      "All worn out"},
     {7, 6, 7, -3, 3, 4, 80, 0},
     true},
    {{"Victor pre-1936", "Matched to recording", "Good as new", "Just a few big ones",
      "Hardly used"},
     {3, 4, 3, 0, 0, 11, 40, 0},
     false},
    {{"NARTB 33 / 45 rpm", "Flat", "Good as new", "Just a few big ones", "Hardly used"},
     {2, 2, 2, 15, -15, 21, 20, 0},
     false},
    // S = (2 + 2*1) / 2 = 2; hiss term (24 - 0 - 8 - 6) / 8 = 1.
    {{"HMV (late) / Columbia (UK)", "RIAA / CCIR", "Seriously hissy", "Just a few big ones",
      "A bit rough"},
     {1, 5, 4, -7, 15, 17, 40, 0},
     false},
    // S = (0 + 2*1) / 2 = 1; hiss term (24 - 4 - 0 - 6) / 8 = 1.
    {{"Columbia (late)", "Flat", "Good as new", "Clicks throughout", "A bit rough"},
     {5, 3, 4, 10, -13, 13, 40, 0},
     false},
};

TEST_F(WizardTest, ChosenPresetSetsTheEightSlidersAndTheAntiPhaseBox) {
    Open();
    for (const PresetCase& example : kPresetCases) {
        SCOPED_TRACE(example.choices[0]);
        MoveSlidersToTheirMaximum();
        frame->phasing_check->SetValue(!example.antiPhase);
        RunWizard([&](MyEventPresets& wizard) {
            SelectTexts(wizard, example.choices);
            return static_cast<int>(wxID_OK);
        });
        EXPECT_EQ(WizardSliders(), example.sliders);
        EXPECT_EQ(frame->phasing_check->GetValue(), example.antiPhase);
    }
}

TEST_F(WizardTest, OnlyTheVerticalCutCategoryLeavesTheAntiPhaseBoxTicked) {
    Open();
    for (int category = 0; category < 24; ++category) {
        SCOPED_TRACE(category);
        frame->phasing_check->SetValue(true);
        Accept({category, 1, 1, 1, 1});
        EXPECT_EQ(frame->phasing_check->GetValue(), category == 1);
    }
}

TEST_F(WizardTest, PreviewTimeFunctionAndKeepOriginalLevelAreLeftAlone) {
    Open();
    frame->duration_slider->SetValue(37);
    frame->function_radio->SetSelection(static_cast<int>(ChannelFunction::VocalRemover));
    frame->original_check->SetValue(true);
    Accept({1, 0, 2, 2, 2});
    EXPECT_EQ(frame->duration_slider->GetValue(), 37);
    EXPECT_EQ(frame->function_radio->GetSelection(),
              static_cast<int>(ChannelFunction::VocalRemover));
    EXPECT_TRUE(frame->original_check->GetValue());

    frame->original_check->SetValue(false);
    frame->function_radio->SetSelection(static_cast<int>(ChannelFunction::MonoEnhancer));
    Accept({16, 2, 0, 0, 0});
    EXPECT_EQ(frame->duration_slider->GetValue(), 37);
    EXPECT_EQ(frame->function_radio->GetSelection(),
              static_cast<int>(ChannelFunction::MonoEnhancer));
    EXPECT_FALSE(frame->original_check->GetValue());
}

TEST_F(WizardTest, ReopeningShowsTheAnswersOfTheLastOkNotOfACancel) {
    Open();
    const Answers given{5, 0, 2, 0, 1};
    Accept(given);
    EXPECT_EQ(Stored(), given);
    EXPECT_EQ(ShownOnOpening(), given);

    RunWizard([](MyEventPresets& wizard) {
        Select(wizard, {12, 2, 1, 2, 0});
        return static_cast<int>(wxID_CANCEL);
    });
    EXPECT_EQ(Stored(), given);
    EXPECT_EQ(ShownOnOpening(), given);
}

TEST_F(WizardTest, CancelChangesNoControlAndNoAnswer) {
    Open();
    frame->click_slider->SetValue(9);
    frame->hiss_slider->SetValue(5);
    frame->bass_slider->SetValue(-11);
    frame->phasing_check->SetValue(true);
    const std::vector<int> before = AllControls();
    const wxString statusBefore = StatusText();

    RunWizard([](MyEventPresets& wizard) {
        Select(wizard, {0, 0, 0, 0, 0});
        return static_cast<int>(wxID_CANCEL);
    });
    EXPECT_EQ(AllControls(), before);
    EXPECT_EQ(Stored(), (Answers{-1, -1, -1, -1, -1}));
    EXPECT_EQ(StatusText(), statusBefore);
}

struct StoredCase {
    Answers stored;
    Answers shown;
};

// Each question has its own number of choices: 24 categories, three of
// everything else. One past the end, -1 and stray values fall back to the
// first-use selection question by question.
const StoredCase kStoredCases[] = {
    {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},    {{23, 2, 2, 2, 2}, {23, 2, 2, 2, 2}},
    {{24, 3, 3, 3, 3}, kFirstUse},         {{-1, -1, -1, -1, -1}, kFirstUse},
    {{99, 0, -7, 2, 3}, {23, 0, 1, 2, 1}}, {{7, 3, 0, -1, 2}, {7, 1, 0, 1, 2}},
};

TEST_F(WizardTest, StoredAnswersArePreselectedOnlyWithinTheirChoices) {
    Open();
    for (const StoredCase& example : kStoredCases) {
        SCOPED_TRACE(testing::PrintToString(example.stored));
        frame->wizard_answers.category = example.stored[0];
        frame->wizard_answers.playback = example.stored[1];
        frame->wizard_answers.hissiness = example.stored[2];
        frame->wizard_answers.scratchiness = example.stored[3];
        frame->wizard_answers.roughness = example.stored[4];
        EXPECT_EQ(ShownOnOpening(), example.shown);
        // Opening and cancelling leaves even an unusable answer as it was.
        EXPECT_EQ(Stored(), example.stored);
    }
}

TEST_F(WizardTest, OutOfRangeAnswersFromTheSettingsFileAreIgnoredThenReplacedByOk) {
    WriteSettings("Category=99\nPlayback=-1\nHissiness=0\n");
    Open();
    EXPECT_EQ(ShownOnOpening(), (Answers{23, 1, 0, 1, 1}));
    Accept({22, 0, 0, 0, 0});
    CloseAndDestroy();
    const std::map<std::string, std::string> keys = ReadSettingsKeys();
    EXPECT_EQ(keys.at("Category"), "22");
    EXPECT_EQ(keys.at("Playback"), "0");
}

TEST_F(WizardTest, AnswersAndPresetAreSavedAtExitAndComeBack) {
    Open();
    frame->duration_slider->SetValue(45);
    Accept({1, 0, 2, 2, 2});
    CloseAndDestroy();

    const std::map<std::string, std::string> keys = ReadSettingsKeys();
    const std::map<std::string, std::string> expected{
        {"Category", "1"},  {"Playback", "0"}, {"Hissiness", "2"}, {"Scratchiness", "2"},
        {"Roughness", "2"}, {"Click", "7"},    {"Noise", "6"},     {"Distortion", "7"},
        {"Bass", "-3"},     {"Treble", "3"},   {"Hiss", "4"},      {"Rumble", "80"},
        {"Gain", "0"},      {"Phasing", "1"},  {"Duration", "45"},
    };
    for (const auto& [key, value] : expected) {
        ASSERT_EQ(keys.count(key), 1u) << key;
        EXPECT_EQ(keys.at(key), value) << key;
    }

    Open();
    EXPECT_EQ(Stored(), (Answers{1, 0, 2, 2, 2}));
    EXPECT_EQ(WizardSliders(), (Sliders{7, 6, 7, -3, 3, 4, 80, 0}));
    EXPECT_TRUE(frame->phasing_check->GetValue());
    EXPECT_EQ(ShownOnOpening(), (Answers{1, 0, 2, 2, 2}));
}

TEST_F(WizardTest, OkRefreshesTheStatusLineAndCancelDoesNot) {
    Open();
    Type("out");
    ASSERT_EQ(StatusText(), "Select the input files...");
    // Listed and selected behind the status line's back: only a refresh
    // brings the line, Go! and Remove up to date.
    frame->AppendInputFile(wxString::FromUTF8(MakeFile("a.wav").string()));
    frame->file_list->SetSelection(0);
    ASSERT_FALSE(frame->go_button->IsEnabled());
    ASSERT_FALSE(frame->remove_button->IsEnabled());

    RunWizard([](MyEventPresets&) { return static_cast<int>(wxID_CANCEL); });
    EXPECT_EQ(StatusText(), "Select the input files...");
    EXPECT_FALSE(frame->go_button->IsEnabled());

    Accept(kFirstUse);
    EXPECT_EQ(StatusText(), "Ready to go!");
    EXPECT_TRUE(frame->preview_button->IsEnabled());
    EXPECT_TRUE(frame->go_button->IsEnabled());
    EXPECT_TRUE(frame->remove_all_button->IsEnabled());
    EXPECT_TRUE(frame->deselect_button->IsEnabled());
    EXPECT_TRUE(frame->remove_button->IsEnabled());
}

struct QuestionRow {
    const char* label;
    std::vector<const char*> choices;
    int selected;
    const char* tooltip;
};

// In the order of the preset table, which the wizard's rule indexes.
const char* const kCategories[] = {"Acoustic / Flat",
                                   "Acoustic / Flat (vertical cut)",
                                   "Brunswick",
                                   "Brunswick (late) / Parlophone",
                                   "Capitol / Mercury",
                                   "Columbia",
                                   "Columbia (late)",
                                   "Decca",
                                   "Decca ffrr / EMI (late)",
                                   "EMI",
                                   "Generic American 1930s",
                                   "Generic post-1953",
                                   "HMV",
                                   "HMV (late) / Columbia (UK)",
                                   "MGM",
                                   "Parlophone (early)",
                                   "Victor pre-1936",
                                   "Victor 1936-1947",
                                   "Victor post-1947",
                                   "Columbia 33 / 45 rpm",
                                   "Decca ffrr 33 / 45 rpm",
                                   "EMI 33 / 45 rpm",
                                   "NARTB 33 / 45 rpm",
                                   "RIAA / CCIR 33 / 45 rpm"};

const QuestionRow kQuestions[] = {
    {"Recording Category",
     {std::begin(kCategories), std::end(kCategories)},
     23,
     "Type of original recording (78 rpm unless otherwise noted, use \"Acoustic / Flat\" for "
     "cylinders, \"RIAA / CCIR\" for tapes)"},
    {"Playback EQ",
     {"Flat", "RIAA / CCIR", "Matched to recording"},
     1,
     "What equalisation was applied when digitising? Most record players use RIAA / CCIR."},
    {"Background Hiss",
     {"Good as new", "Noisy when quiet", "Seriously hissy"},
     1,
     "How loud is any steady background noise?"},
    {"Pops'n'Clicks",
     {"Just a few big ones", "Some big, some small", "Clicks throughout"},
     1,
     "How audible are any clicks and pops?"},
    {"Wear'n'Tear",
     {"Hardly used", "A bit rough", "All worn out"},
     1,
     "How distorted are the louder sections?"},
};

struct ButtonRow {
    int id;
    const char* label;
};

// The toolkit's OK and Cancel ids, and the wizard's own Help id.
const ButtonRow kButtons[] = {{5100, "OK"}, {5101, "Cancel"}, {1005, "Help"}};

TEST_F(WizardTest, DialogHasItsQuestionsChoicesTooltipsAndButtons) {
    Open();
    RunWizard([](MyEventPresets& wizard) {
        EXPECT_EQ(wizard.GetId(), 1000);
        EXPECT_EQ(wizard.GetTitle(), "Sonorel Settings Wizard");
        EXPECT_EQ(wizard.GetParent(), wxTheApp->GetTopWindow());
        EXPECT_EQ(wizard.GetWindowStyleFlag() & wxDEFAULT_DIALOG_STYLE,
                  static_cast<long>(wxDEFAULT_DIALOG_STYLE));
        EXPECT_EQ(wizard.GetForegroundColour(), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
        EXPECT_EQ(wizard.GetBackgroundColour(), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));

        // Children in creation order: the five questions, then the buttons.
        std::vector<wxWindow*> expectedChildren;
        for (std::size_t i = 0; i < std::size(kQuestions); ++i) {
            const QuestionRow& row = kQuestions[i];
            wxRadioBox* question = Questions(wizard)[i];
            SCOPED_TRACE(row.label);
            expectedChildren.push_back(question);
            EXPECT_EQ(question->GetLabel(), row.label);
            EXPECT_EQ(question->GetCount(), row.choices.size());
            for (unsigned item = 0; item < row.choices.size() && item < question->GetCount();
                 ++item) {
                EXPECT_EQ(question->GetString(item), row.choices[item]) << item;
            }
            EXPECT_EQ(question->GetSelection(), row.selected);
            EXPECT_EQ(question->GetToolTipText(), row.tooltip);
        }
        const wxButton* buttons[] = {wizard.ok_button, wizard.cancel_button,
                                     wizard.wizard_help_button};
        for (std::size_t i = 0; i < std::size(kButtons); ++i) {
            SCOPED_TRACE(kButtons[i].label);
            EXPECT_EQ(buttons[i]->GetId(), kButtons[i].id);
            EXPECT_EQ(buttons[i]->GetLabel(), kButtons[i].label);
            EXPECT_TRUE(buttons[i]->IsEnabled());
            expectedChildren.push_back(const_cast<wxButton*>(buttons[i]));
        }
        EXPECT_EQ(wizard.GetDefaultItem(), wizard.ok_button);

        std::vector<wxWindow*> children(wizard.GetChildren().begin(), wizard.GetChildren().end());
        EXPECT_EQ(children, expectedChildren);
        return static_cast<int>(wxID_CANCEL);
    });
}

// Where each category's radio button is, in the box's own coordinates:
// the top-left-most point at which the box reports that item, on a 4 px
// grid (items are at least a line of text apart, far more than 4 px).
std::vector<wxPoint> ItemCorners(const wxRadioBox* box) {
    constexpr int kStepPx = 4;
    const wxPoint none(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    std::vector<wxPoint> corners(box->GetCount(), none);
    const wxSize size = box->GetSize();
    for (int y = 0; y < size.y; y += kStepPx) {
        for (int x = 0; x < size.x; x += kStepPx) {
            const int item = box->GetItemFromPoint(box->ClientToScreen(wxPoint(x, y)));
            if (item == wxNOT_FOUND) continue;
            wxPoint& corner = corners[static_cast<std::size_t>(item)];
            corner.x = std::min(corner.x, x);
            corner.y = std::min(corner.y, y);
        }
    }
    return corners;
}

TEST_F(WizardTest, CategoriesReadDownThreeColumnsOfEight) {
    Open();
    RunWizard([](MyEventPresets& wizard) {
        // Shown without its modal loop, so that the toolkit places the items.
        wizard.Show();
        wxYield();
        const std::vector<wxPoint> corners = ItemCorners(wizard.category_radio);
        wizard.Hide();
        for (std::size_t item = 0; item < corners.size(); ++item) {
            SCOPED_TRACE(item);
            EXPECT_NE(corners[item].x, std::numeric_limits<int>::max()) << "item not found";
            if (item % 8 > 0) {
                EXPECT_EQ(corners[item].x, corners[item - 1].x);
                EXPECT_GT(corners[item].y, corners[item - 1].y);
            }
            if (item >= 8) {
                EXPECT_EQ(corners[item].y, corners[item - 8].y);
                EXPECT_GT(corners[item].x, corners[item - 8].x);
            }
        }
        return static_cast<int>(wxID_CANCEL);
    });
}

TEST_F(WizardTest, QuestionsSitSideBySideUnderTheCategoryWithTheButtonsCentredBelow) {
    Open();
    RunWizard([](MyEventPresets& wizard) {
        const wxRect category = wizard.category_radio->GetRect();
        const wxRect playback = wizard.playback_radio->GetRect();
        const wxRect hiss = wizard.hiss_radio->GetRect();
        const wxRect clicks = wizard.clicks_radio->GetRect();
        const wxRect wear = wizard.wear_radio->GetRect();
        const wxSize client = wizard.GetClientSize();

        // 5-pixel margins: the category box and the row of questions start
        // 5 px in from the left and top; the questions are 5 px apart.
        EXPECT_EQ(category.GetTopLeft(), wxPoint(5, 5));
        EXPECT_EQ(playback.GetTopLeft(), wxPoint(5, category.GetBottom() + 1 + 5));
        EXPECT_EQ(hiss.x, playback.GetRight() + 1 + 5);
        EXPECT_EQ(clicks.x, hiss.GetRight() + 1 + 5);
        EXPECT_EQ(wear.x, clicks.GetRight() + 1 + 5);
        for (const wxRect& question : {hiss, clicks, wear})
            EXPECT_EQ(question.y, playback.y);
        // Wear'n'Tear takes whatever width the row has left.
        EXPECT_EQ(wear.GetRight() + 1, client.x - 5);

        const wxRect ok = wizard.ok_button->GetRect();
        const wxRect cancel = wizard.cancel_button->GetRect();
        const wxRect help = wizard.wizard_help_button->GetRect();
        EXPECT_GT(ok.y, playback.GetBottom());
        EXPECT_EQ(cancel.y, ok.y);
        EXPECT_EQ(help.y, ok.y);
        EXPECT_LT(ok.x, cancel.x);
        EXPECT_LT(cancel.x, help.x);
        // Centred: equal space on both sides, to the pixel that an odd
        // difference leaves over.
        const int leftSpace = ok.x;
        const int rightSpace = client.x - (help.GetRight() + 1);
        EXPECT_LE(std::abs(leftSpace - rightSpace), 1);
        // Fitted: the buttons' 5 + 5 px borders end at the bottom edge.
        EXPECT_EQ(help.GetBottom() + 1 + 10, client.y);
        return static_cast<int>(wxID_CANCEL);
    });
}

TEST_F(WizardTest, HelpShowsTheWizardTopicAndTheWizardCarriesOn) {
    Open();
    // The program registers no image handlers at start (this suite's main
    // does); the help must still be able to show the page's picture.
    wxImage::RemoveHandler("PNG file");
    DialogAnswers answers;
    wxString helpPage;
    MyEventPresets* openWizard = nullptr;
    bool helpOverTheWizard = false;
    answers.Expect([&](wxDialog* dialog) {
        auto* wizard = dynamic_cast<MyEventPresets*>(dialog);
        EXPECT_NE(wizard, nullptr);
        if (wizard == nullptr) return static_cast<int>(wxID_CANCEL);
        openWizard = wizard;
        Select(*wizard, {1, 0, 2, 2, 2});
        Click(wizard->wizard_help_button);
        // Help did not end the wizard, nor change its answers.
        EXPECT_EQ(wizard->GetReturnCode(), 0);
        EXPECT_EQ(Shown(*wizard), (Answers{1, 0, 2, 2, 2}));
        return static_cast<int>(wxID_OK);
    });
    answers.Expect([&](wxDialog* dialog) {
        auto* help = dynamic_cast<wxHtmlHelpDialog*>(dialog);
        EXPECT_NE(help, nullptr) << "not the help: " << dialog->GetTitle();
        if (help == nullptr) return static_cast<int>(wxID_CANCEL);
        helpOverTheWizard = openWizard != nullptr && help->GetParent() == openWizard;
        helpPage = help->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage();
        return static_cast<int>(wxID_CANCEL);
    });
    Click(frame->wizard_button);

    EXPECT_EQ(answers.ShownCount(), 2);
    EXPECT_TRUE(helpPage.EndsWith("wizard.html")) << helpPage;
    EXPECT_NE(wxImage::FindHandler(wxBITMAP_TYPE_PNG), nullptr);
    EXPECT_TRUE(helpOverTheWizard);
    EXPECT_EQ(WizardSliders(), (Sliders{7, 6, 7, -3, 3, 4, 80, 0}));
    EXPECT_EQ(Stored(), (Answers{1, 0, 2, 2, 2}));
}

struct ClampCase {
    Slider slider;
    int value;
    int expected;
};

const ClampCase kClampCases[] = {
    {Slider::Hiss, 2, 4},     {Slider::Hiss, 30, 24},   {Slider::Hiss, 10, 10},
    {Slider::Bass, -40, -18}, {Slider::Bass, 18, 18},   {Slider::Rumble, 9, 10},
    {Slider::Click, 11, 10},  {Slider::Gain, -12, -12}, {Slider::Gain, 13, 12},
};

TEST_F(WizardTest, SetClampedKeepsToTheSlidersOwnRange) {
    Open();
    for (const ClampCase& example : kClampCases) {
        wxSlider* slider = frame->SliderFor(example.slider);
        SCOPED_TRACE(testing::Message()
                     << slider->GetMin() << ".." << slider->GetMax() << " <- " << example.value);
        SetClamped(slider, example.value);
        EXPECT_EQ(slider->GetValue(), example.expected);
    }
}

}  // namespace
}  // namespace sonorel::test
