#include "cli/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace sonorel {

bool StandardErrorIsTerminal() {
    if (!isatty(STDERR_FILENO)) return false;
    const char* term = std::getenv("TERM");
    return term && *term && std::strcmp(term, "dumb") != 0;
}

int TerminalColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

}  // namespace sonorel
