#pragma once
// Window ids of the main window, in the order its children are created:
// the status bar first, then every control from the top left to the bottom
// right. The static event table and the tests key on these values.

namespace sonorel {

enum ControlId : int {
    ID_STATUS_LINE = 1000,
    ID_CLICK_SLIDER = 1001,
    ID_NOISE_SLIDER = 1002,
    ID_DISTORTION_SLIDER = 1003,
    ID_GAIN_SLIDER = 1004,
    ID_RUMBLE_SLIDER = 1005,
    ID_HISS_SLIDER = 1006,
    ID_BASS_SLIDER = 1007,
    ID_TREBLE_SLIDER = 1008,
    ID_DURATION_SLIDER = 1009,
    ID_FUNCTION_RADIO = 1010,
    ID_PHASING_CHECK = 1011,
    ID_ORIGINAL_CHECK = 1012,
    ID_FILE_LIST = 1013,
    ID_ADD_BUTTON = 1014,
    ID_DESELECT_BUTTON = 1015,
    ID_REMOVE_BUTTON = 1016,
    ID_REMOVE_ALL_BUTTON = 1017,
    ID_OUTPUT_TEXT = 1018,
    ID_BROWSE_BUTTON = 1019,
    ID_WEB_LINK = 1020,
    ID_HELP_BUTTON = 1021,
    ID_INFO_BUTTON = 1022,
    ID_EXIT_BUTTON = 1023,
    ID_WIZARD_BUTTON = 1024,
    ID_PREVIEW_BUTTON = 1025,
    ID_GO_BUTTON = 1026,
    // Added after the stated controls, so that their ids keep their places.
    ID_PRESET_CHOICE = 1027,
    ID_SAVE_PRESET_BUTTON = 1028,
    ID_DELETE_PRESET_BUTTON = 1029,
    ID_METHOD_RADIO = 1030,
    // Records, below the presets.
    ID_PICTURE_CHECK = 1031,
    ID_REPORT_CHECK = 1032,
    ID_ALIGN_CHECK = 1033,
    ID_METADATA_CHECK = 1034,
    ID_SUMMARY_CHECK = 1035,
};

}  // namespace sonorel
