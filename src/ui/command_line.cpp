#include "ui/command_line.h"

#include <wx/cmdline.h>
#include <wx/filename.h>

namespace sonorel {

void DescribeCommandLine(wxCmdLineParser& parser) {
    parser.AddParam("sound files to list", wxCMD_LINE_VAL_STRING,
                    wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
}

wxArrayString FilesFromCommandLine(const wxCmdLineParser& parser) {
    wxArrayString files;
    for (size_t i = 0; i < parser.GetParamCount(); ++i) {
        wxFileName file(parser.GetParam(i));
        file.MakeAbsolute();
        files.Add(file.GetFullPath());
    }
    return files;
}

}  // namespace sonorel
