#include "ui/my_event_frame.h"

#include <iterator>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/fileconf.h>
#include <wx/listbox.h>
#include <wx/radiobox.h>
#include <wx/slider.h>
#include <wx/textctrl.h>

#include "resources/icons.h"
#include "settings/product.h"
#include "ui/control_ids.h"
#include "ui/dnd_file.h"
#include "ui/settings_store.h"
#include "wizard/set_clamped.h"

namespace sonorel {

namespace {

// F1 opens the help as the Help button does; Ctrl+Q and Ctrl+W close the
// window as the Close button does.
const wxAcceleratorEntry kShortcuts[] = {
    {wxACCEL_NORMAL, WXK_F1, ID_HELP_BUTTON},
    {wxACCEL_CTRL, 'Q', ID_EXIT_BUTTON},
    {wxACCEL_CTRL, 'W', ID_EXIT_BUTTON},
};

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(MyEventFrame, snl_frame)
    EVT_BUTTON(ID_ADD_BUTTON, MyEventFrame::OnAddFiles)
    EVT_BUTTON(ID_DESELECT_BUTTON, MyEventFrame::OnDeselectAll)
    EVT_BUTTON(ID_REMOVE_BUTTON, MyEventFrame::OnRemove)
    EVT_BUTTON(ID_REMOVE_ALL_BUTTON, MyEventFrame::OnRemoveAll)
    EVT_BUTTON(ID_BROWSE_BUTTON, MyEventFrame::OnBrowse)
    EVT_BUTTON(ID_HELP_BUTTON, MyEventFrame::OnHelp)
    EVT_BUTTON(ID_INFO_BUTTON, MyEventFrame::OnAbout)
    EVT_BUTTON(ID_WIZARD_BUTTON, MyEventFrame::OnWizard)
    EVT_BUTTON(ID_PREVIEW_BUTTON, MyEventFrame::OnPreview)
    EVT_BUTTON(ID_GO_BUTTON, MyEventFrame::OnStart)
    EVT_BUTTON(ID_EXIT_BUTTON, MyEventFrame::OnExit)
    EVT_TEXT(ID_OUTPUT_TEXT, MyEventFrame::OnOutputFolderChanged)
    EVT_LISTBOX(ID_FILE_LIST, MyEventFrame::OnListSelect)
    EVT_LISTBOX(ID_PRESET_CHOICE, MyEventFrame::OnPresetChosen)
    EVT_BUTTON(ID_SAVE_PRESET_BUTTON, MyEventFrame::OnSavePreset)
    EVT_BUTTON(ID_DELETE_PRESET_BUTTON, MyEventFrame::OnDeletePreset)
    // The keyboard shortcuts of kShortcuts.
    EVT_MENU(ID_HELP_BUTTON, MyEventFrame::OnHelp)
    EVT_MENU(ID_EXIT_BUTTON, MyEventFrame::OnExit)
wxEND_EVENT_TABLE()
    // clang-format on

    MyEventFrame::MyEventFrame()
    : snl_frame(kProductName, wxDefaultSize) {
    // The laid-out size is the smallest the window may get.
    SetMinSize(GetSize());
    SetIcons(AppIcons());
    LoadSettings();
    file_list->SetDropTarget(new DnDFile(this));
    file_list->Bind(wxEVT_MOTION, &MyEventFrame::OnListMotion, this);
    file_list->Bind(wxEVT_LEAVE_WINDOW, &MyEventFrame::OnListLeave, this);
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(kShortcuts)), kShortcuts));

    // The list is empty, so this first refresh always applies.
    had_files = true;
    UpdateStatus();
    FocusOutputFolder();
    add_button->SetDefault();
}

MyEventFrame::~MyEventFrame() {
    SaveSettings();
}

RestorationSettings MyEventFrame::ReadSettings() const {
    RestorationSettings settings;
    for (const SliderRange& range : kSliderRanges) {
        settings.Set(range.slider, SliderFor(range.slider)->GetValue());
    }
    settings.channel_function =
        function_radio->GetSelection() == static_cast<int>(ChannelFunction::VocalRemover)
            ? ChannelFunction::VocalRemover
            : ChannelFunction::MonoEnhancer;
    settings.anti_phase = phasing_check->GetValue();
    settings.keep_original_level = original_check->GetValue();
    settings.method = method_radio->GetSelection() == static_cast<int>(RestorationMethod::Enhanced)
                          ? RestorationMethod::Enhanced
                          : RestorationMethod::Classic;
    return settings;
}

RecordChoices MyEventFrame::ReadRecordChoices() const {
    return {.picture = picture_check->GetValue(),
            .report = report_check->GetValue(),
            .align = align_check->GetValue(),
            .keepMetadata = metadata_check->GetValue()};
}

std::array<std::pair<const char*, wxCheckBox*>, 5> MyEventFrame::RecordChecks() const {
    return {{{kPictureKey, picture_check},
             {kReportKey, report_check},
             {kAlignKey, align_check},
             {kMetadataKey, metadata_check},
             {kSummaryKey, summary_check}}};
}

wxString MyEventFrame::OutputFolder() const {
    return output_text->GetValue();
}

void MyEventFrame::ShowSettings(const RestorationSettings& settings) {
    for (const SliderRange& range : kSliderRanges) {
        SetClamped(SliderFor(range.slider), settings.Get(range.slider));
    }
    function_radio->SetSelection(static_cast<int>(settings.channel_function));
    phasing_check->SetValue(settings.anti_phase);
    original_check->SetValue(settings.keep_original_level);
    method_radio->SetSelection(static_cast<int>(settings.method));
}

}  // namespace sonorel
