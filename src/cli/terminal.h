#pragma once
// What sonorel-cli needs to know about the terminal: whether standard error
// is one (progress lines are drawn only then) and how wide it is.

namespace sonorel {

// True when standard error is a terminal that understands cursor movement
// (not TERM=dumb).
bool StandardErrorIsTerminal();

// The width of the terminal on standard error; 80 when it cannot be asked.
int TerminalColumns();

}  // namespace sonorel
