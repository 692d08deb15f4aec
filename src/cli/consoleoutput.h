#pragma once
// How harvestline-cli uses its standard output and standard error: decided once, from the flags
// and from what the two streams lead to.
#include <QByteArray>

namespace hl::cli {

// --progress / --no-progress; Automatic: the bar on a terminal only.
enum class ProgressChoice { Automatic, Shown, Hidden };

// What the process's streams lead to and what its environment asks for.
struct StreamFacts {
    bool stdoutTerminal = false;
    bool stderrTerminal = false;
    bool dumbTerminal = true;   // TERM is "dumb", empty or unset: no escape codes
    bool colourAllowed = false; // NO_COLOR is unset or empty
};

// Reads them from the process.
StreamFacts ReadStreamFacts();

enum class BarStyle {
    None,
    InPlace, // one line on standard error, redrawn in place with escape codes
    Lines,   // a plain line per update, for logs that are not terminals
};

struct ConsoleOutput {
    bool downloadLog = true;           // Download Log lines on standard output
    BarStyle bar = BarStyle::None;     // the progress bar on standard error
    bool closingLines = false;         // the summary and "Elapsed Time: ... sec" lines at the end
    bool colourOutput = false;         // skipped lines on standard output are dim
    bool colourErrors = false;         // error lines on standard error are red
    bool outputSharesTerminal = false; // standard output is a terminal too: its lines clear the bar
};

// quiet: --quiet (no Download Log lines, no bar unless --progress asks for one).
ConsoleOutput ChooseConsoleOutput(bool quiet, ProgressChoice progress, const StreamFacts& facts);

enum class Paint { Plain, Dim, Red };

// line wrapped in the escape codes of paint.
QByteArray Painted(const QByteArray& line, Paint paint);

} // namespace hl::cli
