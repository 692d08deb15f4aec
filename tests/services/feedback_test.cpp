#include "services/emailaddress.h"
#include "services/feedback.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(EmailAddress, TheWholeTextMustMatchTheAddressPattern) {
    const struct {
        const char* address;
        bool valid;
    } cases[] = {
        {"ann@example.de", true}, {"a.b+tag_1-x@mail-host.co.uk", true},
        {"ann@host.d3", true},    {"ann@host.x-y.de", true},
        {"ann@host", false},  // no dot after the "@" part
        {"ann@host.", false}, // nor a label after it
        {"ann@.de", false},       {"@host.de", false},
        {"ann@@host.de", false},  {"ann smith@host.de", false},
        {"ann@host.de ", false}, // the caller trims: white space is not part of an address
        {"ann@host.de\n", false}, {"ann@h\u00F6st.de", false},
        {"ANN@HOST.DE", true},    {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidEmailAddress(QString::fromUtf8(c.address)), c.valid) << c.address;
}

TEST(FeedbackRequest, OpinionLineThenMessageAndTheAddressOnlyWhenGiven) {
    EXPECT_EQ(FeedbackText(Opinion::Like, QStringLiteral("Great")), QStringLiteral("I like it!\rGreat"));
    EXPECT_EQ(FeedbackText(Opinion::Dislike, QStringLiteral("Slow")), QStringLiteral("I dislike it!\rSlow"));
    EXPECT_EQ(FeedbackText(Opinion::None, QStringLiteral("Hm")), QStringLiteral("Hm"));

    const ProgramIdentity identity{QStringLiteral("LUMBRIX - Harvestline"), QStringLiteral("1.0"),
                                   QStringLiteral("Harvestline")};
    EXPECT_EQ(FeedbackFields(identity, QStringLiteral("I like it!\rGreat"), QStringLiteral("a@b.cd")),
              QStringList({"cmd=feedback", "appname=LUMBRIX - Harvestline", "version=1.0",
                           "feedback=I like it!\rGreat", "email=a@b.cd"}));
    EXPECT_EQ(FeedbackFields(identity, QStringLiteral("x"), QString()),
              QStringList({"cmd=feedback", "appname=LUMBRIX - Harvestline", "version=1.0", "feedback=x"}));
}

} // namespace
} // namespace hl
