#pragma once
// The width of the terminal on standard error, kept up to date when the terminal is resized.
namespace hl::cli {

// Starts watching for SIGWINCH. The handler only raises a flag: every blocking call of the engine
// retries after a signal.
void WatchTerminalResizes();
// Whether the terminal was resized since the last call.
bool TakeTerminalResized();
// The terminal's column count; 80 when standard error is no terminal or gives none.
int TerminalColumns();

} // namespace hl::cli
