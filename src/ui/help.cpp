#include "ui/help.h"

#include <wx/filename.h>
#include <wx/html/helpctrl.h>

#include "resources/help_book.h"
#include "resources/help_viewer.h"

namespace sonorel {

HelpBook::HelpBook(wxWindow* parent) : parent_(parent) {}

HelpBook::~HelpBook() = default;

bool HelpBook::Load() {
    if (loaded_) return true;
    if (ReportMissingHelpBook(parent_)) return false;
    AddHelpBookHandlers();
    if (!viewer_) viewer_ = std::make_unique<HelpViewer>(wxHF_DEFAULT_STYLE, parent_);
    // A damaged book is reported by the viewer's own message.
    loaded_ = viewer_->AddBook(wxFileName(FindHelpBook()));
    return loaded_;
}

void HelpBook::ShowContents() {
    if (Load()) viewer_->ShowContents();
}

}  // namespace sonorel
