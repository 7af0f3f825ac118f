#pragma once
// The texts sonorel-cli prints on request: --help, --version and
// --list-categories. Ranges and defaults come from the settings table, so
// the help cannot drift from what the parser accepts.

#include <string>

namespace sonorel {

std::string HelpText(int defaultJobs);
std::string VersionText();
std::string CategoryListText();

}  // namespace sonorel
