#include "protocols/ftpreply.h"
#include "protocols/idexceptions.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

FtpReply parse(const QStringList& lines, int* consumed = nullptr) {
    FtpReplyParser parser;
    int used = 0;
    for (const auto& line : lines) {
        ++used;
        if (parser.addLine(line)) break;
    }
    if (consumed) *consumed = used;
    EXPECT_TRUE(parser.complete());
    return parser.reply();
}

struct ReplyCase {
    const char* name;
    QStringList lines;
    int code;
    QStringList text;
    int linesUsed;
};

TEST(FtpReplyParser, AssemblesSingleAndMultiLineReplies) {
    const ReplyCase cases[] = {
        {"single line", {"220 Service ready", "331 next"}, 220, {"Service ready"}, 1},
        {"code alone", {"200"}, 200, {""}, 1},
        {"multi-line with indented lines",
         {"211-Features:", " MDTM", " REST STREAM", "211 End", "200 next"},
         211,
         {"Features:", "MDTM", "REST STREAM", "End"},
         4},
        {"dash lines with the code lose it",
         {"230-Welcome", "230-to the server", "230 Logged in"},
         230,
         {"Welcome", "to the server", "Logged in"},
         3},
        {"ends at the bare code", {"220-Hello", "there", "220"}, 220, {"Hello", "there", ""}, 3},
        {"another code inside does not end it",
         {"220-Hello", "331 not the end", "220 Ready"},
         220,
         {"Hello", "331 not the end", "Ready"},
         3},
        {"empty lines are skipped", {"", "220-Hello", "", "220 Ready"}, 220, {"Hello", "Ready"}, 4},
        {"not a reply", {"  garbage here"}, -1, {"garbage here"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int used = 0;
        const FtpReply reply = parse(c.lines, &used);
        EXPECT_EQ(reply.code, c.code);
        EXPECT_EQ(reply.text, c.text);
        EXPECT_EQ(used, c.linesUsed);
    }
}

TEST(FtpReplyParser, CutsOffARunawayReply) {
    FtpReplyParser parser;
    EXPECT_FALSE(parser.addLine(QStringLiteral("220-Welcome")));
    for (int i = 2; i <= FtpReplyParser::kMaxLines; ++i)
        ASSERT_FALSE(parser.addLine(QStringLiteral("more")));
    EXPECT_THROW(parser.addLine(QStringLiteral("220 End")), EIdFTPReplyTooLong);
}

TEST(FtpReply, ErrorTextEndsEveryLineWithCrLf) {
    EXPECT_EQ(ftpReplyErrorText(parse({"550 No such file."})), "No such file.\r\n");
    EXPECT_EQ(ftpReplyErrorText(parse({"530-Login incorrect.", " Try again", "530 Bye"})),
              "Login incorrect.\r\nTry again\r\nBye\r\n");
}

TEST(FtpReply, FeatureListIsTheInnerLinesOfA211Or221Reply) {
    const QStringList features =
        ftpFeatureList(parse({"211-Extensions:", " SIZE", " REST STREAM", " UTF8", "211 End"}));
    EXPECT_EQ(features, QStringList({"SIZE", "REST STREAM", "UTF8"}));
    EXPECT_TRUE(ftpHasFeature(features, QStringLiteral("rest")));
    EXPECT_TRUE(ftpHasFeature(features, QStringLiteral("UTF8")));
    EXPECT_FALSE(ftpHasFeature(features, QStringLiteral("UTF")));
    EXPECT_FALSE(ftpHasFeature(features, QStringLiteral("PRET")));
    EXPECT_TRUE(ftpFeatureList(parse({"500 FEAT not understood"})).isEmpty());
    EXPECT_TRUE(ftpFeatureList(parse({"211 No features"})).isEmpty());
}

TEST(FtpReply, SizeReadsTheNumberOfA213Reply) {
    const struct {
        const char* line;
        qint64 size;
    } cases[] = {
        {"213 1234", 1234},
        {"213   77  ", 77},
        {"213 9223372036854775807", 9223372036854775807LL},
        {"213 File size 4096", -1}, // only the first word is dropped
        {"213 size 4096", 4096},
        {"213 12a", -1},
        {"213 -5", -1},
        {"213 99999999999999999999", -1},
        {"213 ", -1},
        {"550 No such file.", -1},
        {"212 1234", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ftpSizeFromReply(parse({QString::fromLatin1(c.line)})), c.size);
    }
}

} // namespace
} // namespace hl
