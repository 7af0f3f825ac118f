// The built main window against the table of its controls: ids in creation
// order, kinds, labels, ranges, defaults, tooltips, groups and initial
// states, plus the layout's resizing rules and the artwork.

#include <gtk/gtk.h>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/hyperlink.h>
#include <wx/listbox.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include <vector>

#include "gui_fixture.h"
#include "resources/icons.h"
#include "settings/product.h"

namespace sonorel::test {
namespace {

struct SliderRow {
    int id;
    const char* group;
    int minimum;
    int maximum;
    int value;
    const char* tooltip;
};

const SliderRow kSliders[] = {
    {1001, "Click Remover", 0, 10, 5, "Adjust the sensitivity of the click suppressor"},
    {1002, "Silence Enhancer", 0, 10, 5, "Adjust the suppression of noise during quiet periods"},
    {1003, "Rejuvenator", 0, 10, 5, "Adjust the suppression of distortion during loud periods"},
    {1004, "Output Level (dB)", -12, 12, 0, "Adjust the level of the output"},
    {1005, "Rumble Filter (Hz)", 10, 120, 40, "Set the rumble frequency to be removed"},
    {1006, "Hiss Filter (kHz)", 4, 24, 18, "Set the highest frequency to be retained"},
    {1007, "Bass Lift (dB)", -18, 18, 0, "Adjust the bass lift"},
    {1008, "Treble Lift (dB)", -18, 18, 0, "Adjust the treble lift"},
    {1009, "Preview Time (s)", 10, 60, 20, "Adjust the duration of the preview samples"},
};

struct ControlRow {
    int id;
    const char* label;  // button or check-box label; empty for bitmap buttons
    const char* group;  // label of the innermost box around it, or empty
    bool enabled;
    const char* tooltip;
};

const ControlRow kControls[] = {
    {1011, "Anti-Phase Signal Channels", "Options", true,
     "Select only for vertical-cut (\"hill-and-dale\") recordings played on unmodified "
     "(lateral-cut) equipment!"},
    {1012, "Keep Original Signal Level", "Options", true,
     "Select to keep output level proportional to input"},
    {1013, "", "Input Files", true, "List of files to be processed"},
    {1014, "Add", "Input Files", true, "Add file(s) to the list"},
    {1015, "Deselect All", "Input Files", false, "Clear all file selection(s)"},
    {1016, "Remove", "Input Files", false, "Remove the selected file(s) from the list"},
    {1017, "Remove All", "Input Files", false, "Empty the list"},
    {1018, "", "Output Folder", true, "Folder to store output files (use \".\" for same as input)"},
    {1019, "", "Output Folder", true, "Browse for output folder"},
    {1021, "", "", true, "How to use Sonorel"},
    {1022, "", "", true, "Information about Sonorel"},
    {1023, "", "", true, "Close Sonorel"},
    {1024, "Wizard", "", true, "Choose from a selection of preset settings"},
    {1025, "Preview", "", false, "Preview the start of each file... there might be a short delay!"},
    {1026, "Go!", "", false, "Start processing... this may take some time!"},
};

// The label of the innermost labelled box around `control`, or "".
wxString GroupIn(wxSizer* sizer, wxWindow* control, const wxString& group) {
    for (wxSizerItem* item : sizer->GetChildren()) {
        if (item->GetWindow() == control) return group;
        if (wxSizer* inner = item->GetSizer()) {
            auto* box = dynamic_cast<wxStaticBoxSizer*>(inner);
            const wxString found =
                GroupIn(inner, control, box != nullptr ? box->GetStaticBox()->GetLabel() : group);
            if (found != "?") return found;
        }
    }
    return "?";  // not in this sizer
}

wxString GroupOf(wxWindow* control) {
    return GroupIn(control->GetParent()->GetSizer(), control, "");
}

using LayoutTest = MainWindowTest;

TEST_F(LayoutTest, SlidersHaveTheirGroupRangeDefaultStyleAndTooltip) {
    Open();
    for (const SliderRow& row : kSliders) {
        SCOPED_TRACE(row.group);
        auto* slider = dynamic_cast<wxSlider*>(frame->FindWindow(row.id));
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(GroupOf(slider), wxString(row.group));
        EXPECT_EQ(slider->GetMin(), row.minimum);
        EXPECT_EQ(slider->GetMax(), row.maximum);
        EXPECT_EQ(slider->GetValue(), row.value);
        EXPECT_EQ(slider->GetToolTipText(), row.tooltip);
        EXPECT_TRUE(slider->HasFlag(wxSL_HORIZONTAL));
        EXPECT_TRUE(slider->HasFlag(wxSL_LABELS));
        EXPECT_TRUE(slider->HasFlag(wxSL_TOP));
    }
}

TEST_F(LayoutTest, OtherControlsHaveTheirLabelGroupStateAndTooltip) {
    Open();
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.id);
        wxWindow* control = frame->FindWindow(row.id);
        ASSERT_NE(control, nullptr);
        if (*row.label != '\0') {
            EXPECT_EQ(wxControl::RemoveMnemonics(control->GetLabel()), row.label);
        } else if (dynamic_cast<wxBitmapButton*>(control) != nullptr) {
            // A screen reader names a picture-only button by its tooltip.
            EXPECT_STREQ(
                atk_object_get_name(gtk_widget_get_accessible(GTK_WIDGET(control->GetHandle()))),
                row.tooltip);
        }
        EXPECT_EQ(GroupOf(control), wxString(row.group));
        EXPECT_EQ(control->IsEnabled(), row.enabled);
        EXPECT_EQ(control->GetToolTipText(), row.tooltip);
    }
}

TEST_F(LayoutTest, ControlsAreTheRightKindsWithTheRightStyles) {
    Open();
    EXPECT_EQ(frame->status_line->GetId(), 1000);
    EXPECT_EQ(frame->status_line->GetFieldsCount(), 1);
    EXPECT_TRUE(frame->status_line->HasFlag(wxST_SIZEGRIP));

    ASSERT_EQ(frame->function_radio->GetId(), 1010);
    EXPECT_EQ(frame->function_radio->GetLabel(), "Function");
    ASSERT_EQ(frame->function_radio->GetCount(), 2u);
    EXPECT_EQ(frame->function_radio->GetString(0), "Mono Enhancer");
    EXPECT_EQ(frame->function_radio->GetString(1), "Vocal Remover");
    EXPECT_EQ(frame->function_radio->GetColumnCount(), 1u);
    EXPECT_EQ(frame->function_radio->GetSelection(), 0);
    EXPECT_EQ(frame->function_radio->GetToolTipText(),
              "Choose whether to enhance or suppress components common to left and right "
              "channels");

    EXPECT_TRUE(frame->file_list->HasFlag(wxLB_EXTENDED));
    EXPECT_TRUE(frame->file_list->HasFlag(wxLB_HSCROLL));
    EXPECT_EQ(frame->file_list->GetCount(), 0u);
    EXPECT_TRUE(frame->output_text->IsSingleLine());

    EXPECT_EQ(frame->web_link->GetId(), 1020);
    EXPECT_EQ(frame->web_link->GetLabel(), "Visit the Sonorel website");
    EXPECT_EQ(frame->web_link->GetURL(), kWebAddress);
    EXPECT_EQ(frame->web_link->GetToolTipText(), "");

    for (wxBitmapButton* button :
         {frame->browse_button, frame->help_button, frame->info_button, frame->exit_button}) {
        EXPECT_EQ(button->GetBitmap().GetLogicalSize(), wxSize(16, 16));
    }
}

TEST_F(LayoutTest, ChildrenAreCreatedInIdOrderWithoutGaps) {
    Open();
    std::vector<int> ids;
    for (wxWindow* child : frame->GetChildren()) {
        if (child->GetId() >= 1000) ids.push_back(child->GetId());
    }
    // In tab order: the added Method choice (1030) follows the options, and
    // the records (1031-1035) come last.
    std::vector<int> expected;
    for (int id = 1000; id <= 1035; ++id) {
        if (id == 1030) continue;
        expected.push_back(id);
        if (id == 1012) expected.push_back(1030);  // after Keep Original Signal Level
    }
    EXPECT_EQ(ids, expected);
}

TEST_F(LayoutTest, WindowIsTitledAndCannotShrinkBelowItsFittedSize) {
    Open();
    EXPECT_EQ(frame->GetTitle(), "Sonorel");
    const wxSize fitted = frame->GetSize();
    EXPECT_EQ(frame->GetMinSize(), fitted);
    EXPECT_TRUE(frame->GetIcons().GetIconCount() >= 4);
}

TEST_F(LayoutTest, GrowingTheWindowWidensTheRightColumnOnly) {
    Open();
    const wxSize sliderBefore = frame->click_slider->GetSize();
    const wxSize listBefore = frame->file_list->GetSize();
    frame->SetSize(frame->GetSize() + wxSize(200, 150));
    frame->Layout();
    EXPECT_EQ(frame->click_slider->GetSize(), sliderBefore);
    EXPECT_EQ(frame->file_list->GetSize(), listBefore + wxSize(200, 150));
}

TEST(ArtworkTest, AppIconComesInFourSquareSizes) {
    const wxIconBundle icons = AppIcons();
    ASSERT_EQ(icons.GetIconCount(), 4u);
    for (const int sizePx : {16, 24, 32, 48}) {
        const wxIcon icon = icons.GetIconOfExactSize(wxSize(sizePx, sizePx));
        EXPECT_TRUE(icon.IsOk()) << sizePx << " px";
    }
}

TEST(ArtworkTest, ButtonPicturesAreDrawnNotBlank) {
    for (const ButtonIcon which :
         {ButtonIcon::Browse, ButtonIcon::Help, ButtonIcon::Info, ButtonIcon::Exit}) {
        const wxImage image = ButtonBitmap(which).GetBitmap(wxSize(16, 16)).ConvertToImage();
        ASSERT_EQ(image.GetSize(), wxSize(16, 16));
        int opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (!image.HasAlpha() || image.GetAlpha(x, y) > 128) ++opaque;
            }
        }
        // Each picture covers a fair part of its square; a failed SVG parse
        // gives an empty one.
        EXPECT_GT(opaque, 40) << static_cast<int>(which);
    }
}

}  // namespace
}  // namespace sonorel::test
