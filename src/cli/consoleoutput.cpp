#include "cli/consoleoutput.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace hl::cli {

namespace {

bool variableSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

StreamFacts ReadStreamFacts() {
    StreamFacts facts;
    facts.stdoutTerminal = ::isatty(STDOUT_FILENO) == 1;
    facts.stderrTerminal = ::isatty(STDERR_FILENO) == 1;
    const char* term = std::getenv("TERM");
    facts.dumbTerminal = !term || !*term || std::strcmp(term, "dumb") == 0;
    facts.colourAllowed = !variableSet("NO_COLOR");
    return facts;
}

ConsoleOutput ChooseConsoleOutput(bool quiet, ProgressChoice progress, const StreamFacts& facts) {
    const bool escapesOnOutput = facts.stdoutTerminal && !facts.dumbTerminal;
    const bool escapesOnErrors = facts.stderrTerminal && !facts.dumbTerminal;
    ConsoleOutput output;
    output.downloadLog = !quiet;
    switch (progress) {
    case ProgressChoice::Automatic:
        output.bar = escapesOnErrors && !quiet ? BarStyle::InPlace : BarStyle::None;
        break;
    case ProgressChoice::Shown:
        output.bar = escapesOnErrors ? BarStyle::InPlace : BarStyle::Lines;
        break;
    case ProgressChoice::Hidden:
        output.bar = BarStyle::None;
        break;
    }
    output.closingLines = output.bar != BarStyle::None || (facts.stderrTerminal && !quiet);
    output.colourOutput = escapesOnOutput && facts.colourAllowed;
    output.colourErrors = escapesOnErrors && facts.colourAllowed;
    output.outputSharesTerminal = output.bar == BarStyle::InPlace && facts.stdoutTerminal;
    return output;
}

QByteArray Painted(const QByteArray& line, Paint paint) {
    switch (paint) {
    case Paint::Plain:
        return line;
    case Paint::Dim:
        return "\x1b[2m" + line + "\x1b[0m";
    case Paint::Red:
        return "\x1b[31m" + line + "\x1b[0m";
    }
    return line;
}

} // namespace hl::cli
