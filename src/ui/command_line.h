#pragma once
// Sound files named on the command line ("sonorel side1.wav side2.wav", which
// is also how a file manager's "Open with Sonorel" starts the program) go
// into the file list as if added with Add. The toolkit parses the command
// line and answers unknown options with its usage message.

#include <wx/arrstr.h>

class wxCmdLineParser;

namespace sonorel {

// Adds the optional, repeatable FILE parameter to the toolkit's options.
void DescribeCommandLine(wxCmdLineParser& parser);

// The files named, made absolute against the working directory now: the
// settings loaded with the main window may move the working directory.
wxArrayString FilesFromCommandLine(const wxCmdLineParser& parser);

}  // namespace sonorel
