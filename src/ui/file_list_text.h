#pragma once
// How the file list shows its entries. Full paths are often wider than the
// list, and a list cut off at the right hides the one part that tells the
// files apart, so each entry shows its file name first and its folder after
// it; the full path is what the entry stands for (Go!, Preview) and what its
// tooltip shows.

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxListBox;

namespace sonorel {

// The list's tooltip away from its rows.
inline constexpr const char* kFileListTooltip = "List of files to be processed";

// "side1.wav — /home/user/78s" for /home/user/78s/side1.wav.
wxString EntryText(const wxString& path);

// The caption of the list's group: "Input Files", with the number of listed
// files once there are any ("Input Files (12)").
wxString InputFilesCaption(unsigned count);

// The middle of entry `entry` where the list shows it, in the list's own
// coordinates, as its hit test finds it (so neither the row height nor the
// frame around the rows is assumed); wxDefaultPosition when the entry is not
// in view. For what points at an entry: the GUI tests, the screenshots.
wxPoint EntryMiddle(const wxListBox& list, int entry);

}  // namespace sonorel
