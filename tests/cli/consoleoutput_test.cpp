// Which of the tool's outputs each combination of flags and streams gets.
#include "cli/consoleoutput.h"

#include <gtest/gtest.h>

namespace hl::cli {
namespace {

TEST(ConsoleOutput, FollowsTheFlagsAndWhatTheStreamsLeadTo) {
    const StreamFacts pipes{false, false, true, true};
    const StreamFacts terminal{true, true, false, true};
    const StreamFacts noColour{true, true, false, false};
    const StreamFacts dumb{true, true, true, true};
    const StreamFacts outputPiped{false, true, false, true};
    using P = ProgressChoice;
    using B = BarStyle;
    const struct {
        const char* name;
        bool quiet;
        ProgressChoice progress;
        StreamFacts facts;
        ConsoleOutput expected; // downloadLog, bar, closingLines, colourOutput, colourErrors, shared
    } cases[] = {
        {"pipes", false, P::Automatic, pipes, {true, B::None, false, false, false, false}},
        {"pipes, quiet", true, P::Automatic, pipes, {false, B::None, false, false, false, false}},
        {"pipes, progress", false, P::Shown, pipes, {true, B::Lines, true, false, false, false}},
        {"pipes, quiet progress", true, P::Shown, pipes, {false, B::Lines, true, false, false, false}},
        {"terminal", false, P::Automatic, terminal, {true, B::InPlace, true, true, true, true}},
        {"terminal, no progress", false, P::Hidden, terminal, {true, B::None, true, true, true, false}},
        {"terminal, quiet", true, P::Automatic, terminal, {false, B::None, false, true, true, false}},
        {"terminal, NO_COLOR", false, P::Automatic, noColour, {true, B::InPlace, true, false, false, true}},
        {"dumb terminal", false, P::Automatic, dumb, {true, B::None, true, false, false, false}},
        {"dumb terminal, progress", false, P::Shown, dumb, {true, B::Lines, true, false, false, false}},
        {"output piped", false, P::Automatic, outputPiped, {true, B::InPlace, true, false, true, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ConsoleOutput output = ChooseConsoleOutput(c.quiet, c.progress, c.facts);
        EXPECT_EQ(output.downloadLog, c.expected.downloadLog);
        EXPECT_EQ(output.bar, c.expected.bar);
        EXPECT_EQ(output.closingLines, c.expected.closingLines);
        EXPECT_EQ(output.colourOutput, c.expected.colourOutput);
        EXPECT_EQ(output.colourErrors, c.expected.colourErrors);
        EXPECT_EQ(output.outputSharesTerminal, c.expected.outputSharesTerminal);
    }
}

} // namespace
} // namespace hl::cli
