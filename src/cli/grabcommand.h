#pragma once
// harvestline-cli --grab: the URL Grabber without a window.
#include "cli/commandline.h"

namespace hl::cli {

// Probes, fetches and scans the page at commandLine.grabUrl as the grabber window does ("http://"
// put in front when it does not begin with "http"; the agent, time-outs and compression of the
// options), and prints every link the pipeline keeps on its own line to standard output, leaving
// out links already printed and the lines of the input file, if one was given. Returns 0 when the
// page was fetched, 1 when not (the error on standard error). Throws UsageError when the input file
// cannot be read.
int RunGrab(const CommandLine& commandLine);

} // namespace hl::cli
