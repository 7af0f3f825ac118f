// Files named on the command line: every one, in order, made absolute
// against the working directory the program started in; an unknown option
// is refused.

#include <wx/cmdline.h>

#include <filesystem>
#include <vector>

#include "gui_fixture.h"
#include "ui/command_line.h"

namespace sonorel::test {
namespace {

struct CommandLineCase {
    std::vector<const char*> arguments;  // after the program's name
    bool accepted;
    std::vector<std::filesystem::path> files;  // relative ones from the working directory
};

TEST(CommandLineTest, NamedFilesAreListedWithAbsolutePaths) {
    const std::filesystem::path here = std::filesystem::current_path();
    const CommandLineCase kCases[] = {
        {{}, true, {}},
        {{"side1.wav", "/music/side2.WAV", "../up.aiff"},
         true,
         {here / "side1.wav", "/music/side2.WAV", here.parent_path() / "up.aiff"}},
        {{"--", "-odd.wav"}, true, {here / "-odd.wav"}},
        {{"--bogus", "side1.wav"}, false, {}},
    };
    for (const CommandLineCase& c : kCases) {
        std::vector<const char*> argv{"sonorel"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        wxCmdLineParser parser(static_cast<int>(argv.size()), const_cast<char**>(argv.data()));
        DescribeCommandLine(parser);
        ASSERT_EQ(parser.Parse(false) == 0, c.accepted) << argv.size() - 1 << " argument(s)";
        if (!c.accepted) continue;
        wxArrayString expected;
        for (const std::filesystem::path& file : c.files)
            expected.Add(wxString::FromUTF8(file.lexically_normal().string()));
        EXPECT_EQ(FilesFromCommandLine(parser), expected);
    }
}

}  // namespace
}  // namespace sonorel::test
