#include "resources/help_viewer.h"

#include <iterator>

#include <wx/accel.h>
#include <wx/html/helpdlg.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/notebook.h>
#include <wx/splitter.h>
#include <wx/treectrl.h>

namespace sonorel {

namespace {

// The longest topic title, "Wizard, Preview, Go! and the small buttons",
// needs about 330 pixels beside the tree's lines; the pages beside it want
// at least as much again.
const wxSize kViewerSize(960, 640);
constexpr int kContentsWidthPx = 380;

// Escape and Ctrl+W close the viewer, as its close box does.
void AddClosingKeys(wxTopLevelWindow& window) {
    const wxAcceleratorEntry keys[] = {
        {wxACCEL_NORMAL, WXK_ESCAPE, wxID_CLOSE},
        {wxACCEL_CTRL, 'W', wxID_CLOSE},
    };
    window.SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(keys)), keys));
    window.Bind(
        wxEVT_MENU, [&window](wxCommandEvent&) { window.Close(); }, wxID_CLOSE);
}

// The pages of the navigation notebook get their size only once the window
// is on the screen; until then their lists and tree are a few pixels
// square, too small for GTK's scroll bars, which complain on stderr. Sized
// and laid out beforehand, they are shown at once as they will stay.
void LayOutPages(wxWindow& window) {
    window.Layout();
    if (auto* book = dynamic_cast<wxNotebook*>(&window)) {
        for (size_t i = 0; i < book->GetPageCount(); ++i)
            book->GetPage(i)->SetSize(book->GetClientSize());
    }
    for (wxWindow* child : window.GetChildren())
        LayOutPages(*child);
}

void Arrange(wxTopLevelWindow& window, wxHtmlHelpWindow& help) {
    AddClosingKeys(window);
    window.SetSize(kViewerSize);
    if (wxSplitterWindow* split = help.GetSplitterWindow(); split != nullptr && split->IsSplit())
        split->SetSashPosition(kContentsWidthPx);
    LayOutPages(window);
}

}  // namespace

HelpViewer::HelpViewer(int style, wxWindow* parent) : wxHtmlHelpController(style, parent) {}

void HelpViewer::ShowContents() {
    DisplayContents();
    if (wxHtmlHelpWindow* help = GetHelpWindow(); help != nullptr && help->GetTreeCtrl()) {
        wxTreeCtrl* tree = help->GetTreeCtrl();
        // The root is hidden; its books are what the user unfolds.
        wxTreeItemIdValue cookie;
        for (wxTreeItemId book = tree->GetFirstChild(tree->GetRootItem(), cookie); book.IsOk();
             book = tree->GetNextChild(tree->GetRootItem(), cookie))
            tree->Expand(book);
    }
}

wxHtmlHelpFrame* HelpViewer::CreateHelpFrame(wxHtmlHelpData* data) {
    wxHtmlHelpFrame* frame = wxHtmlHelpController::CreateHelpFrame(data);
    Arrange(*frame, *frame->GetHelpWindow());
    return frame;
}

wxHtmlHelpDialog* HelpViewer::CreateHelpDialog(wxHtmlHelpData* data) {
    wxHtmlHelpDialog* dialog = wxHtmlHelpController::CreateHelpDialog(data);
    Arrange(*dialog, *dialog->GetHelpWindow());
    return dialog;
}

}  // namespace sonorel
