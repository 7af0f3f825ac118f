#pragma once
// The application object: sets up the toolkit's services and opens the
// main window. The event loop then runs until that window is closed.

#include <wx/app.h>
#include <wx/arrstr.h>

namespace sonorel {

class MyEventFrame;

class MyApp : public wxApp {
  public:
    bool OnInit() override;
    // Sound files may be named on the command line; they start in the list.
    void OnInitCmdLine(wxCmdLineParser& parser) override;
    bool OnCmdLineParsed(wxCmdLineParser& parser) override;

  private:
    MyEventFrame* frame = nullptr;  // owned by the toolkit
    wxArrayString files_from_command_line;
};

}  // namespace sonorel
