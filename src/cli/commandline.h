#pragma once
// The command line of harvestline-cli. Parsing starts from a set of defaults (the window's, or
// later those of a settings file) and lets every flag given override them.
#include "cli/consoleoutput.h"
#include "engine/downloadoptions.h"
#include "grabber/grabscope.h"
#include "platform/exception.h"

#include <QString>
#include <QStringList>

namespace hl::cli {

// A command line that cannot be used; the message says why.
HL_DECLARE_EXCEPTION(UsageError, Exception);

struct CommandLine {
    DownloadOptions options;
    RunSettings run;
    QString inputFile;     // "-": standard input; empty: none
    QStringList urls;      // URLs given as arguments, after those of the input file
    QString proxyListFile; // proxy lines as in the proxy editor; empty: none
    QString logFile;       // also append Download Log lines here
    QString errorLogFile;  // also append Error Log lines here
    int waitSeconds = 0;   // pause between the URLs of a sequential run; 0: none
    int everySeconds = 0;  // run again this long after each run ended, until Ctrl-C; 0: once
    bool help = false;
    bool quiet = false; // no Download Log lines on standard output
    ProgressChoice progress = ProgressChoice::Automatic;
    QString grabUrl;      // --grab: print the links of this page instead of downloading; empty: none
    QString grabContains; // --contains: the grab's "Contains:" filter
    GrabScope grabScope = GrabScope::AllDomainNames; // --scope
    bool version = false;
};

// The defaults: the window's options, saving to the current folder, a sequential run.
CommandLine DefaultCommandLine();

// Parses arguments (without the program name) over defaults. Throws UsageError.
CommandLine ParseCommandLine(const QStringList& arguments, const CommandLine& defaults);

// The text of --help.
QString HelpText();

} // namespace hl::cli
