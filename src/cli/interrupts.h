#pragma once
// Ctrl-C for harvestline-cli: the first one asks the run to stop, the second ends the process at
// once (exit status 130).
#include <QtGlobal>

namespace hl::cli {

// Installs the SIGINT handler.
void InstallInterruptHandler();
// Whether Ctrl-C has been pressed since the handler was installed.
bool InterruptRequested();
// Sleeps ms milliseconds unless Ctrl-C is pressed; false (soon after the press) when it was.
bool SleepUnlessInterrupted(qint64 ms);

} // namespace hl::cli
