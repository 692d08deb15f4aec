#pragma once
// Ctrl-C for harvestline-cli: the first one asks the run to stop, the second ends the process at
// once (exit status 130).
namespace hl::cli {

// Installs the SIGINT handler.
void InstallInterruptHandler();
// Whether Ctrl-C has been pressed since the handler was installed.
bool InterruptRequested();

} // namespace hl::cli
