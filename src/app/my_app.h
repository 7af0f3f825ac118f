#pragma once
// The application object: sets up the toolkit's services and opens the
// main window. The event loop then runs until that window is closed.

#include <wx/app.h>

namespace sonorel {

class MyEventFrame;

class MyApp : public wxApp {
  public:
    bool OnInit() override;

  private:
    MyEventFrame* frame = nullptr;  // owned by the toolkit
};

}  // namespace sonorel
